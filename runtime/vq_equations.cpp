#include "vq_equations.h"

#include <algorithm>
#include <cstdint>
#include <new>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/mman.h>
#endif

#include "vq_error.h"
#include "vq_memory.h"
#include "vq_params.h"
#include "vq_procedures.h"

namespace vq_rt {

ContainerState::ContainerState() = default;
ContainerState::~ContainerState() { ReleaseEquationObjects(); }

void EquationRuns::clear() {
  m_Offsets.Clear();
  m_Runs.clear();
}

void EquationRuns::StartRun(int group, int index, uint32_t high) {
  m_Runs.push_back(Run{m_Offsets.Size(), group, index, high});
}

const EquationRuns::Run& EquationRuns::RunOf(size_t equation) const {
  // The last run first: a pass and the readers after it go in order.
  if (equation >= m_Runs.back().first) return m_Runs.back();
  auto after = std::upper_bound(m_Runs.begin(), m_Runs.end(), equation,
                                [](size_t e, const Run& run) { return e < run.first; });
  return *(after - 1);
}

void EquationRuns::Check(uint32_t position, uint64_t offset) const {
  if (position >= m_Offsets.Size() || Offset(position) != offset)
    Raise("an equation asked of a model that did not make it");
}

void EmittedEquations::clear() {
  m_Runs.clear();
  m_Names.clear();
  m_WideNames.clear();
  m_Procedures.clear();
}

void EmittedEquations::reserve(size_t equations) {
  m_Runs.reserve(equations);
  m_Names.reserve(equations);
}

void EmittedEquations::AppendWideName(uint32_t nameId) {
  if (m_WideNames.empty()) m_WideNames.assign(m_Names.begin(), m_Names.end());
  m_WideNames.push_back(nameId);
  m_Names.clear();
  m_Names.shrink_to_fit();
}

const ProcedureExpression* EmittedEquations::ProcedureAt(size_t k) const {
  const auto found = std::lower_bound(m_Procedures.begin(), m_Procedures.end(), k,
                                      [](const ProcedureExpression& e, size_t p) { return e.equation < p; });
  return found != m_Procedures.end() && found->equation == k ? &*found : nullptr;
}

EmittedEquation EmittedEquations::operator[](size_t k) const {
  const EquationRuns::Entry entry = m_Runs.At(k);
  return EmittedEquation{m_WideNames.empty() ? m_Names[k] : m_WideNames[k], ProcedureAt(k) != nullptr,
                         entry.group, entry.index, entry.offset, static_cast<uint32_t>(k)};
}

size_t ContainerState::StreamLength(const EmittedEquation& equation) const {
  emitted.Runs().Check(equation.position, equation.firstToken);
  return static_cast<size_t>(emitted.Runs().End(equation.position, stream.Size()) - equation.firstToken);
}

size_t ContainerState::TokenCount(const EmittedEquation& equation) const {
  return stream.Tokens(equation.firstToken, equation.firstToken + StreamLength(equation));
}

size_t ContainerState::ReferenceCount(const CountedEquation& equation) const {
  counted.Runs().Check(equation.position, equation.firstReference);
  return static_cast<size_t>(counted.Runs().End(equation.position, countedReferences.size()) - equation.firstReference);
}

const ProcedureExpression* ContainerState::ProcedureOf(const EmittedEquation& equation) const {
  if (!equation.hasProcedure) return nullptr;
  emitted.Runs().Check(equation.position, equation.firstToken);
  return emitted.ProcedureAt(equation.position);
}

void ContainerState::ReleaseEquationObjects() {
  std::vector<VQ_EquationType*> objects;
  objects.swap(equationObjects);
  for (VQ_EquationType* object : objects) delete object;
  procCalls.clear();
}

int ContainerState::ColumnOf(VQ_VarParam& reference) {
  // Read before the look-up: a column given back meanwhile makes it stale.
  const uint32_t forgotten = g_singleColumnsForgotten.load(std::memory_order_relaxed);
  const int column = reference.PatternId();
  if (PooledColumn(&reference) < 0) lastSingle = SingleReference{&reference, column, forgotten};
  return column;
}

uint32_t ContainerState::InternNameText(const char* name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<uint32_t>(i);
  names.emplace_back(name);
  nameKeys.push_back(nullptr);  // never matched by pointer
  return static_cast<uint32_t>(names.size() - 1);
}

uint32_t ContainerState::InternName(const char* name) {
  // Names are literals repeated across the instances of one statement, so
  // the pointer is checked first, the recent ones before all others.
  RecentName& recent = recentNames[RecentNameSlot(name)];
  if (recent.key == name) [[likely]]
    return recent.index;
  uint32_t index = 0;
  for (index = static_cast<uint32_t>(nameKeys.size()); index-- > 0;)
    if (nameKeys[index] == name) break;
  if (index == UINT32_MAX) index = InternNameText(name);
  nameKeys[index] = name;
  recent = RecentName{name, index};  // only once the name is in
  return index;
}

namespace {
// Address space without memory behind it, for cursors that only count.
void* Reserve(size_t bytes) {
#if defined(_WIN32)
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE, PAGE_NOACCESS);
#else
  void* range = mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  return range == MAP_FAILED ? nullptr : range;
#endif
}
void Unreserve(void* range, size_t bytes) {
#if defined(_WIN32)
  (void)bytes;
  VirtualFree(range, 0, MEM_RELEASE);
#else
  munmap(range, bytes);
#endif
}
}  // namespace

PatternWindow::PatternWindow(VQ_ModelType& model, size_t entries) : m_Model(model) {
  // One entry at least, so the cursors point into the range; both cursors
  // share it, as neither is written through.
  const size_t count = entries == 0 ? 1 : entries;
  if (count > static_cast<size_t>(PTRDIFF_MAX) / sizeof(int))
    Raise("%s: no room for a pattern of %zu entries", model.DisplayName().c_str(), entries);
  m_ReservedBytes = count * sizeof(int);
  m_Reserved = Reserve(m_ReservedBytes);
  if (m_Reserved == nullptr) throw std::bad_alloc();
  m_Start = m_P = m_Q = static_cast<int*>(m_Reserved);
  ContainerState& state = model.State();
  state.patternWindow = true;
  state.patternEnd = m_Start + entries;
}

PatternWindow::~PatternWindow() {
  ContainerState& state = m_Model.State();
  state.patternWindow = false;
  state.patternEnd = nullptr;
  Unreserve(m_Reserved, m_ReservedBytes);
}

}  // namespace vq_rt
