#include "vq_equations.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

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

StreamToken StreamToken::Reference(VQ_VarParam* reference) {
  auto bits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(reference));
  if ((bits & 3u) != 0 || reference == nullptr) Raise("a reference term needs an aligned, non-null variable");
  return StreamToken(bits);
}

WordChunks::WordChunks() = default;
// The tail points into the list's own chunks, so it is placed afresh.
WordChunks::WordChunks(const WordChunks& other) { CopyFrom(other); }
WordChunks& WordChunks::operator=(const WordChunks& other) {
  if (this != &other) {
    FreeChunks();
    CopyFrom(other);
  }
  return *this;
}
WordChunks::~WordChunks() { FreeChunks(); }

void WordChunks::FreeChunks() {
  for (const Chunk& chunk : m_Chunks) FreeScattered(chunk.words, chunk.capacity * sizeof(uint32_t));
  m_Chunks.clear();
  Clear();
}

void WordChunks::CopyFrom(const WordChunks& other) {
  try {
    m_Chunks.reserve(other.m_Chunks.size());
    for (size_t i = 0; i * kChunk < other.m_Size; ++i) {
      const Chunk& from = other.m_Chunks[i];
      Chunk chunk{static_cast<uint32_t*>(AllocateScattered(from.capacity * sizeof(uint32_t))), from.capacity};
      std::memcpy(chunk.words, from.words, std::min(from.capacity, other.m_Size - i * kChunk) * sizeof(uint32_t));
      m_Chunks.push_back(chunk);
    }
  } catch (...) {
    FreeChunks();  // a copy that fails leaves an empty list, not a leak
    throw;
  }
  m_Size = other.m_Size;
  PlaceTail();
}

void WordChunks::PlaceTail() {
  m_Tail = m_TailEnd = nullptr;
  if ((m_Size & (kChunk - 1)) == 0) return;  // the next word starts a chunk
  const Chunk& chunk = m_Chunks[m_Size >> kChunkBits];
  m_Tail = chunk.words + (m_Size & (kChunk - 1));
  m_TailEnd = chunk.words + chunk.capacity;
}

void WordChunks::StartChunk() {
  constexpr size_t kFirstWords = 64;
  const size_t index = m_Size >> kChunkBits;
  const size_t offset = m_Size & (kChunk - 1);
  if (index == m_Chunks.size()) {
    m_Chunks.push_back(Chunk{nullptr, 0});
  }
  Chunk& chunk = m_Chunks[index];
  if (offset == chunk.capacity) {
    const size_t capacity = index == 0 ? std::min(kChunk, std::max(kFirstWords, 2 * chunk.capacity)) : kChunk;
    auto* words = static_cast<uint32_t*>(AllocateScattered(capacity * sizeof(uint32_t)));
    if (offset > 0) std::memcpy(words, chunk.words, offset * sizeof(uint32_t));
    FreeScattered(chunk.words, chunk.capacity * sizeof(uint32_t));
    chunk = Chunk{words, capacity};
  }
  m_Tail = chunk.words + offset;
  m_TailEnd = chunk.words + chunk.capacity;
}

Stream::Stream() = default;
Stream::Stream(const Stream& other) = default;
Stream& Stream::operator=(const Stream& other) = default;
Stream::~Stream() = default;

void Stream::Clear() {
  m_Tokens.Clear();
  m_Reals.clear();
  m_Wide.clear();
}

void Stream::AddReal(double value) {
  const auto bits = std::bit_cast<uint64_t>(value);
  uint32_t& recent = m_Recent[(bits * 0x9E3779B97F4A7C15ull) >> (64 - kRecentBits)];
  // Equal bits, so -0.0 and 0.0 stay apart and a NaN keeps its payload.
  uint32_t index = recent;
  if (index >= m_Reals.size() || std::bit_cast<uint64_t>(m_Reals[index]) != bits) {
    index = static_cast<uint32_t>(m_Reals.size());
    m_Reals.push_back(value);
    recent = index;
  }
  if (index < (uint32_t{1} << kSmallBits)) m_Tokens.Push((index << 3) | kRealTag);
  else AddWide(StreamToken::RealConstant(index));
}

void Stream::AddReference(VQ_VarParam* reference) {
  if (reference == nullptr) Raise("a reference term needs a variable");
  AddReference(reference->PatternId());
}

void Stream::AddWide(StreamToken token) {
  const size_t index = m_Wide.size();
  if (index >= (size_t{1} << kSmallBits)) Raise("a stream holds more wide terms than it can number");
  m_Wide.push_back(token);
  m_Tokens.Push((static_cast<uint32_t>(index) << 3) | kWideTag);
}

StreamToken Stream::Decode(uint32_t bits) const {
  if ((bits & 1u) == 0)
    return StreamToken(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(ObjectAtColumn(static_cast<int>(bits >> 1)))));
  // Arithmetic shift: small values keep their sign.
  const int value = static_cast<int32_t>(bits) >> 3;
  switch (bits & 7u) {
    case kOperatorTag: return StreamToken::Operator(value);
    case kIntegerTag: return StreamToken::IntegerConstant(value);
    case kRealTag: return StreamToken::RealConstant(bits >> 3);
    default: return m_Wide[bits >> 3];
  }
}

ContainerState::ContainerState() = default;
ContainerState::~ContainerState() { ReleaseEquationObjects(); }

void EquationRuns::clear() {
  m_Offsets.Clear();
  m_Runs.clear();
}

void EquationRuns::StartRun(int group, int index) {
  m_Runs.push_back(Run{m_Offsets.Size(), group, index});
  m_LastGroup = group;
}

const EquationRuns::Run& EquationRuns::RunOf(size_t equation) const {
  // The last run first: a pass and the readers after it go in order.
  if (equation >= m_Runs.back().first) return m_Runs.back();
  auto after = std::upper_bound(m_Runs.begin(), m_Runs.end(), equation,
                                [](size_t e, const Run& run) { return e < run.first; });
  return *(after - 1);
}

void EquationRuns::Check(uint32_t position, uint32_t offset) const {
  if (position >= m_Offsets.Size() || m_Offsets.At(position) != offset)
    Raise("an equation asked of a model that did not make it");
}

CountedEquation CountedEquations::at(size_t k) const {
  if (k >= size()) throw std::out_of_range("no counted equation " + std::to_string(k));
  return (*this)[k];
}

void EmittedEquations::clear() {
  m_Runs.clear();
  m_Names.clear();
  m_WideNames.clear();
  m_WithProcedure.clear();
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

EmittedEquation EmittedEquations::operator[](size_t k) const {
  const auto position = static_cast<uint32_t>(k);
  const bool marked = std::binary_search(m_WithProcedure.begin(), m_WithProcedure.end(), position);
  return EmittedEquation{m_WideNames.empty() ? m_Names[k] : m_WideNames[k], marked, m_Runs.Group(k), m_Runs.Index(k),
                         m_Runs.Offset(k), position};
}

EmittedEquation EmittedEquations::at(size_t k) const {
  if (k >= size()) throw std::out_of_range("no emitted equation " + std::to_string(k));
  return (*this)[k];
}

size_t ContainerState::TokenCount(const EmittedEquation& equation) const {
  emitted.Runs().Check(equation.position, equation.firstToken);
  return emitted.Runs().End(equation.position, stream.Size()) - equation.firstToken;
}

size_t ContainerState::ReferenceCount(const CountedEquation& equation) const {
  counted.Runs().Check(equation.position, equation.firstReference);
  return counted.Runs().End(equation.position, countedReferences.size()) - equation.firstReference;
}

const ProcedureExpression* ContainerState::ProcedureOf(const EmittedEquation& equation) const {
  if (!equation.hasProcedure) return nullptr;
  emitted.Runs().Check(equation.position, equation.firstToken);
  const uint32_t position = equation.position;
  // Expressions are made in the order of their equations.
  auto found = std::lower_bound(procedureExpressions.begin(), procedureExpressions.end(), position,
                                [](const ProcedureExpression& e, uint32_t p) { return e.equation < p; });
  return found != procedureExpressions.end() && found->equation == position ? &*found : nullptr;
}

void ContainerState::ReleaseEquationObjects() {
  std::vector<VQ_EquationType*> objects;
  objects.swap(equationObjects);
  for (VQ_EquationType* object : objects) delete object;
  procCalls.clear();
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
  // the pointer is checked first, the last one found before all others.
  if (lastNameKey < nameKeys.size() && nameKeys[lastNameKey] == name) return lastNameKey;
  for (size_t i = nameKeys.size(); i-- > 0;)
    if (nameKeys[i] == name) return lastNameKey = static_cast<uint32_t>(i);
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) {
      nameKeys[i] = name;
      return lastNameKey = static_cast<uint32_t>(i);
    }
  names.emplace_back(name);
  nameKeys.push_back(name);
  return lastNameKey = static_cast<uint32_t>(names.size() - 1);
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
