#include "vq_driver.h"

#include "vq_error.h"
#include "vq_inspect.h"
#include "vq_links.h"
#include "vq_matrix.h"

namespace vq_rt {

Driver::Driver(VQ_ModelType& root, DriveOptions options) : m_Root(root), m_Options(options) {}
Driver::~Driver() = default;

void Driver::Collect() {
  std::vector<VQ_Containable*> reachable = Reachable(m_Root, false);
  std::vector<VQ_ModelType*> linked, held;
  for (VQ_Containable* object : reachable) {
    auto* model = dynamic_cast<VQ_ModelType*>(object);
    if (model == nullptr || model == &m_Root) continue;
    // A top-level instance reached through a reference goes before the
    // root: the root reads what its assignments compute.
    bool topLevel = model->GetRole() == VQ_Containable::Role::Free;
    (topLevel ? linked : held).push_back(model);
  }
  m_Models = linked;
  m_Models.push_back(&m_Root);
  m_Models.insert(m_Models.end(), held.begin(), held.end());
}

void Driver::SetDims() {
  Collect();
  for (VQ_ModelType* model : m_Models) model->SetDims();
}

// One transaction over every model: a refusal by any of them puts back what
// the models before it assigned, index sets included.
void Driver::ExecuteAssignments() {
  Collect();
  VQ_AssignmentTransaction transaction;
  for (VQ_ModelType* model : m_Models) model->ExecuteAssignments(m_Options.assignA, m_Options.assignB);
  transaction.Commit();
}

void Driver::SetUpEquations() {
  Collect();
  VQ_ModelType::m_stLastGroup = 0;
  m_Equations = 0;
  m_NonZeros = 0;
  VQ_StrictLookups strict;
  for (VQ_ModelType* model : m_Models) {
    int result = model->SetUpEquations();
    ContainerState& state = model->State();
    if (result < 0 && !state.countRefusal.empty()) Raise("%s", state.countRefusal.c_str());
    if (result < 0) Raise("%s: the counting pass failed (status %d)", model->DisplayName().c_str(), result);
    m_Equations += state.localEqnCountSet ? state.localEqnCount : 0;
    m_NonZeros += state.countedReferences.size();
  }
}

void Driver::JacPattern() {
  int first = 0;
  VQ_StrictLookups strict;
  for (VQ_ModelType* model : m_Models) {
    ContainerState& state = model->State();
    int counted = state.localEqnCountSet ? state.localEqnCount : 0;
    state.firstEquation = first;
    PatternWindow window(*model, state.countedReferences.size());
    // The count is known: the records grow once, not by doubling and copying.
    if (counted > 0) state.emitted.reserve(static_cast<size_t>(counted));
    int counter = model->JacPattern(window.p(), window.q(), nullptr);
    int emitted = static_cast<int>(model->State().emitted.size());
    if (counter - first != counted || emitted != counted)
      Raise("%s: the emission pass gave %d equations where the counting pass counted %d",
            model->DisplayName().c_str(), emitted, counted);
    if (window.Used() != state.countedReferences.size())
      Raise("%s: the emission pass referred to %zu variables where the counting pass registered %zu",
            model->DisplayName().c_str(), window.Used(), state.countedReferences.size());
    CheckPairing(*model);
    first = counter;
  }
}

namespace {
// The digest of the emission pass where each equation ends, against what
// the counting pass kept of its own there: the first that differs.
[[noreturn]] void RaiseUnpaired(VQ_ModelType& model, const ContainerState& state) {
  using namespace reference_digest;
  const size_t equations = state.emitted.size();
  if (equations != state.counted.size())
    Raise("%s: the emission pass gave %zu equations where the counting pass counted %zu",
          model.DisplayName().c_str(), equations, state.counted.size());
  if (equations == 0)
    Raise("%s: the emission pass referred to other variables than the counting pass registered",
          model.DisplayName().c_str());
  uint64_t digest = kEmpty;
  size_t k = 0;
  size_t references = 0;
  for (; k < equations; ++k) {
    const EmittedEquation equation = state.emitted[k];
    digest = WithEquation(digest);
    references = 0;
    StreamToken token;
    for (Stream::Reader read(state.stream, equation.firstToken, equation.firstToken + state.StreamLength(equation));
         read.Next(token);)
      if (token.kind() == StreamToken::Kind::Reference) {
        // A variable gone since has no column: -1 stands for it, as no column is.
        digest = WithReference(digest, token.reference() != nullptr ? token.reference()->KnownPatternId() : -1);
        ++references;
      }
    if (Kept(digest) != state.countedReferences.KeptEnd(k)) break;
  }
  if (k == equations) k = equations - 1;  // all but the digest's remaining bits agree: the last one
  const EmittedEquation equation = state.emitted[k];
  const size_t registered = state.ReferenceCount(state.counted[k]);
  if (references != registered)
    Raise("%s: equation %s (number %zu of the emission pass) refers to %zu variables where the counting pass "
          "registered %zu for it",
          model.DisplayName().c_str(), state.EquationName(equation), k + 1, references, registered);
  Raise("%s: equation %s (number %zu of the emission pass) refers to other variables, or to them in another "
        "order, than the counting pass registered for it",
        model.DisplayName().c_str(), state.EquationName(equation), k + 1);
}
}  // namespace

void CheckPairing(VQ_ModelType& model) {
  const ContainerState& state = model.State();
  if (state.stream.Digest() != state.countedReferences.Digest() ||
      state.emitted.size() != state.counted.size()) [[unlikely]]
    RaiseUnpaired(model, state);
}

void Driver::Run() {
  SetDims();
  ExecuteAssignments();
  SetUpEquations();
  JacPattern();
}

}  // namespace vq_rt
