#include "vq_container.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "vq_equations.h"
#include "vq_error.h"
#include "vq_format.h"
#include "vq_procedures.h"
#include "vq_recorder.h"

namespace {

// The operators the runtime knows are those every stream is made of.
bool KnownOperator(int code) { return vq_rt::stream_numbers::IsUsual(code); }

// The rare paths of the per-token calls, kept out of them so that they stay
// small: errors, and the recorder of tests and the host.
[[noreturn, gnu::cold, gnu::noinline]] void RaiseUnknownOperator(VQ_ModelType& model, int op) {
  vq_rt::Raise("%s: unknown operator code %d", model.DisplayName().c_str(), op);
}
[[noreturn, gnu::cold, gnu::noinline]] void RaiseUnnamedEquation(VQ_ModelType& model) {
  vq_rt::Raise("%s: an equation needs a name", model.DisplayName().c_str());
}
[[noreturn, gnu::cold, gnu::noinline]] void RaiseBeforeGroupLimits(VQ_ModelType& model, VQ_VarParam& reference) {
  vq_rt::Raise("%s: a variable (%s) was registered before any SetGroupLimits", model.DisplayName().c_str(),
               reference.DisplayName().c_str());
}
[[gnu::cold, gnu::noinline]] void RecordGroupLimits(VQ_ModelType& model, int group) {
  vq_rt::RecordCall(vq_rt::EventKind::SetGroupLimits, &model).Numbers(group);
}
[[gnu::cold, gnu::noinline]] void RecordNonZero(VQ_ModelType& model, VQ_VarParam& reference) {
  vq_rt::RecordCall(vq_rt::EventKind::AddNonZero, &model).Object(&reference).Name(reference.DisplayName());
}
[[gnu::cold, gnu::noinline]] void RecordEquation(VQ_ModelType& model, const char* name, int counter, int group) {
  vq_rt::RecordCall(vq_rt::EventKind::AddEquation, &model).Name(name).Numbers(counter, group);
}
[[gnu::cold, gnu::noinline]] void RecordReal(VQ_ModelType& model, double value, int equation) {
  vq_rt::RecordCall(vq_rt::EventKind::AddTermReal, &model).Real(value).Numbers(0, equation);
}
[[gnu::cold, gnu::noinline]] void RecordReference(VQ_ModelType& model, VQ_VarParam& reference, int equation) {
  vq_rt::RecordCall(vq_rt::EventKind::AddTermReference, &model)
      .Object(&reference)
      .Name(reference.DisplayName())
      .Numbers(0, equation);
}

}  // namespace

VQ_Container::VQ_Container() = default;
VQ_Container::VQ_Container(const VQ_Container& other) : VQ_Type(other) {}
VQ_Container& VQ_Container::operator=(const VQ_Container& other) {
  VQ_Type::operator=(other);
  return *this;
}

VQ_Container::~VQ_Container() {
  // Members have removed themselves by now; whatever is left was registered
  // from outside and outlives this owner.
  std::vector<VQ_Containable*> remaining;
  remaining.swap(m_Properties);
  for (VQ_Containable* property : remaining) property->Detach();
  delete m_State;
}

void VQ_Container::SetDims() {
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::SetDims)) vq_rt::RecordCall(vq_rt::EventKind::SetDims, this);
}

long VQ_Container::ExecuteAssignments(int a, int b) {
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::ExecuteAssignments)) vq_rt::RecordCall(vq_rt::EventKind::ExecuteAssignments, this).Numbers(a, b);
  if (m_State && m_State->base.overrideAssignments) return m_State->base.assignments;
  return 0;
}

void VQ_Container::InitialiseInternalIndexSet(VQ_Set& set, VQ_Value* value, int pass) {
  if (value == nullptr) vq_rt::Raise("%s: index set given no value", set.DisplayName().c_str());
  set.StoreAssigned(*value);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::InitialiseInternalIndexSet))
    vq_rt::RecordCall(vq_rt::EventKind::InitialiseInternalIndexSet, this)
        .Object(&set)
        .Name(set.Name())
        .Text(vq_rt::FormatValue(set.v()))
        .Numbers(value->TagB(), value->TagA(), value->Ordinal(), pass);
}

VQ_COMPONENTLISTNAME* VQ_Container::ComponentList() { return nullptr; }
VQ_VarParamProp* VQ_Container::IsConnected() { return nullptr; }
const char* VQ_Container::VQ_DefaultDESCRIPTION() const {
  static const char kId[] = "Container\tV8.4";
  return kId;
}
bool VQ_Container::ContainerDerivesFrom(const char* signature) {
  return signature != nullptr && XUValue::CompareCI(signature, VQ_DefaultDESCRIPTION()) == 0;
}

int VQ_Container::PropertyCount() const { return static_cast<int>(m_Properties.size()); }
VQ_Containable* VQ_Container::PropertyAt(int index) const {
  if (index < 0 || index >= PropertyCount()) return nullptr;
  return m_Properties[static_cast<size_t>(index)];
}
VQ_Containable* VQ_Container::FindProperty(const char* name) const {
  if (name == nullptr) return nullptr;
  for (VQ_Containable* property : m_Properties)
    if (XUValue::CompareCI(property->Name(), name) == 0) return property;
  return nullptr;
}

vq_rt::ContainerState& VQ_Container::MakeState() {
  m_State = new vq_rt::ContainerState();
  return *m_State;
}

void VQ_Container::AppendProperty(VQ_Containable* property) { m_Properties.push_back(property); }
void VQ_Container::RemoveProperty(VQ_Containable* property) {
  m_Properties.erase(std::remove(m_Properties.begin(), m_Properties.end(), property), m_Properties.end());
}

// ---------------------------------------------------------------------------

int VQ_ModelType::m_stLastGroup = 0;

VQ_ModelType::VQ_ModelType() = default;
VQ_ModelType::VQ_ModelType(const VQ_ModelType& other) : VQ_Container(other) {}
VQ_ModelType& VQ_ModelType::operator=(const VQ_ModelType& other) {
  VQ_Container::operator=(other);
  return *this;
}
VQ_ModelType::~VQ_ModelType() = default;

int VQ_ModelType::SetUpEquations() {
  vq_rt::ContainerState& state = State();
  state.counted.clear();
  state.countedReferences.clear();
  state.countOpen = false;
  state.localEqnCountSet = false;
  state.countRefusal.clear();
  int result = state.base.overrideSetUp ? state.base.setUp : 0;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::SetUpEquations)) vq_rt::RecordCall(vq_rt::EventKind::SetUpEquations, this).Numbers(result);
  return result;
}

int VQ_ModelType::JacPattern(int*& p, int*& q, VQ_EquationType** types) {
  vq_rt::ContainerState& state = State();
  int result = state.base.overrideJacPattern ? state.base.jacPattern : state.firstEquation;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::JacPattern)) vq_rt::RecordCall(vq_rt::EventKind::JacPattern, this).Numbers(result);
  return result;
}

int VQ_ModelType::Residuals(double*, int, int) { return 0; }
int VQ_ModelType::Jacobian(double*, int, int) { return 0; }

namespace {
[[gnu::noinline]] void SetGroupLimitsAtLength(VQ_ModelType& model, int group) {
  vq_rt::ContainerState& state = model.State();
  state.countedReferences.StartEquation();
  state.counted.push_back(group, state.countedReferences.size());
  state.countOpen = true;
  if (group > VQ_ModelType::m_stLastGroup) VQ_ModelType::m_stLastGroup = group;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::SetGroupLimits)) [[unlikely]]
    RecordGroupLimits(model, group);
}
}  // namespace

void VQ_ModelType::SetGroupLimits(int group) {
  // Quick where the equation continues the group of the one before.
  vq_rt::ContainerState* state = StateIfAny();
  if (state == nullptr || group > m_stLastGroup || !state->countedReferences.HasRoomToStart() ||
      !state->counted.PushToRun(group, state->countedReferences.size())) [[unlikely]]
    return SetGroupLimitsAtLength(*this, group);
  state->countedReferences.StartEquationInRoom();
  state->countOpen = true;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::SetGroupLimits)) [[unlikely]]
    return RecordGroupLimits(*this, group);
}

namespace {
[[gnu::noinline]] void AddNonZeroAtLength(VQ_ModelType& model, VQ_VarParam& reference) {
  vq_rt::ContainerState& state = model.State();
  if (!state.countOpen) [[unlikely]]
    RaiseBeforeGroupLimits(model, reference);
  state.countedReferences.Add(state.ColumnOf(reference));
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddNonZero)) [[unlikely]]
    RecordNonZero(model, reference);
}
}  // namespace

void VQ_ModelType::AddNonZero(VQ_VarParam& reference) {
  // The usual reference calls nothing: a variable with its column, no
  // recorder. Anything else takes the whole path, from the start.
  vq_rt::ContainerState* state = StateIfAny();
  if (state == nullptr || !state->countOpen) [[unlikely]]
    return AddNonZeroAtLength(*this, reference);
  const int column = state->KnownColumn(reference);
  if (column < 0) [[unlikely]]
    return AddNonZeroAtLength(*this, reference);
  state->countedReferences.Add(column);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddNonZero)) [[unlikely]]
    return RecordNonZero(*this, reference);
}

int VQ_ModelType::SetLocalEqnCount(int count) {
  vq_rt::ContainerState& state = State();
  state.localEqnCount = count;
  state.localEqnCountSet = true;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::SetLocalEqnCount)) vq_rt::RecordCall(vq_rt::EventKind::SetLocalEqnCount, this).Numbers(count);
  return count;
}

namespace {
[[gnu::noinline]] void AddEquationAtLength(VQ_ModelType& model, const char* name, int& counter, int group) {
  if (name == nullptr) [[unlikely]]
    RaiseUnnamedEquation(model);
  vq_rt::ContainerState& state = model.State();
  state.StartEquation(state.InternName(name), group, counter);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddEquation)) [[unlikely]]
    RecordEquation(model, name, counter, group);
  ++counter;
}
}  // namespace

void VQ_ModelType::AddEquation(const char* name, int& counter, int group) {
  // Quick where the name was met lately and the equation continues the
  // run of the one before.
  vq_rt::ContainerState* state = StateIfAny();
  uint32_t nameId = 0;
  if (state == nullptr || name == nullptr || !state->RecentNameId(name, nameId) ||
      !state->emitted.AppendToRun(nameId, group, counter, state->stream.Size())) [[unlikely]]
    return AddEquationAtLength(*this, name, counter, group);
  state->stream.StartEquation();
  state->openEquation = counter++;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddEquation)) [[unlikely]]
    return RecordEquation(*this, name, counter - 1, group);
}

int VQ_ModelType::RefuseCount(const VQ_VarParamProp& property, long long value, const char* reason) {
  State().countRefusal =
      vq_rt::OneLine(property.DisplayName() + ": " + std::to_string(value) + " " + (reason ? reason : "is refused"));
  return -1;
}

int VQ_ModelType::RefuseCount(const VQ_VarParamProp& property, const XUValue& value, const char* reason) {
  State().countRefusal = vq_rt::OneLine(property.DisplayName() + ": " + vq_rt::UserValue(value) +
                                        " " + (reason ? reason : "is refused"));
  return -1;
}

void VQ_ModelType::ConfirmEmittedCount(int counted, int emitted) {
  if (counted != emitted)
    vq_rt::Raise("%s: the emission pass gave %d equations where the counting pass counted %d", DisplayName().c_str(),
                 emitted, counted);
}

int VQ_ModelType::GroupLimitRecords() { return static_cast<int>(State().counted.size()); }

void VQ_ModelType::ConfirmGroupLimitRecords(const char* level, int counted, int records) {
  if (counted != records)
    vq_rt::Raise("%s: class level %s counted %d equations with %d SetGroupLimits calls; every equation needs one "
                 "of its own, before its AddNonZero calls",
                 DisplayName().c_str(), vq_rt::SignatureName(level).c_str(), counted, records);
}

void VQ_ModelType::AddEquation(VQ_EquationType* object, int& counter, int group) {
  if (object == nullptr) vq_rt::Raise("%s: an equation object is missing", DisplayName().c_str());
  vq_rt::ContainerState& state = State();
  state.equationObjects.push_back(object);
  state.StartEquation(state.InternNameText(object->Name()), group, counter);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddEquation))
    RecordEquation(*this, object->Name(), counter, group);
  ++counter;
}

void VQ_ModelType::AddProcCall(VQ_ProcedureType* procedure, int group) {
  State().procCalls.push_back(vq_rt::ProcCall{procedure, group});
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddProcCall))
    vq_rt::RecordCall(vq_rt::EventKind::AddProcCall, this)
        .Object(procedure)
        .Name(procedure != nullptr ? procedure->Name() : "null")
        .Numbers(group);
}

namespace {

[[noreturn, gnu::cold, gnu::noinline]] void RaiseNotOpen(VQ_ModelType& model, const vq_rt::ContainerState& state,
                                                        int equation) {
  if (state.emitted.empty())
    vq_rt::Raise("%s: stream term for equation %d before any AddEquation", model.DisplayName().c_str(), equation);
  vq_rt::Raise("%s: stream term for equation %d while equation %d is open", model.DisplayName().c_str(), equation,
               state.emitted.back().index);
}

// The equation a term belongs to must be the one open.
void OpenEquation(VQ_ModelType& model, vq_rt::ContainerState& state, int equation) {
  if (state.openEquation != equation) [[unlikely]]
    RaiseNotOpen(model, state, equation);
}

[[gnu::cold, gnu::noinline]] void RecordToken(VQ_ModelType& model, vq_rt::EventKind kind, long long value,
                                              int equation) {
  vq_rt::RecordCall(kind, &model).Numbers(value, equation);
}

[[noreturn, gnu::cold, gnu::noinline]] void RaiseReference(VQ_ModelType& model, const vq_rt::ContainerState& state,
                                                          VQ_VarParam& reference) {
  if (!state.patternWindow)
    vq_rt::Raise("%s: a reference term (%s) with no pattern buffer", model.DisplayName().c_str(),
                 reference.DisplayName().c_str());
  vq_rt::Raise("%s: the emission pass refers to more variables than the counting pass registered (at %s)",
               model.DisplayName().c_str(), reference.DisplayName().c_str());
}

}  // namespace

void VQ_ModelType::StreamReset() {
  vq_rt::ContainerState& state = State();
  state.stream.Clear();
  state.emitted.clear();
  state.openEquation = vq_rt::ContainerState::kNoEquationOpen;
  state.ReleaseEquationObjects();
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::ResetExpressions)) vq_rt::RecordCall(vq_rt::EventKind::ResetExpressions, this);
}

// Each token call has a quick path that calls nothing: the model's state
// made, its equation open, room in the stream, the recorder off. Anything
// else takes the call's whole path, from the start.
namespace {
[[gnu::noinline]] void AddOperatorAtLength(VQ_ModelType& model, EOp op, int equation) {
  if (!KnownOperator(op)) [[unlikely]]
    RaiseUnknownOperator(model, op);
  vq_rt::ContainerState& state = model.State();
  OpenEquation(model, state, equation);
  state.stream.AddOperator(op);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddOp)) [[unlikely]]
    RecordToken(model, vq_rt::EventKind::AddOp, op, equation);
}
[[gnu::noinline]] void AddIntegerAtLength(VQ_ModelType& model, int value, int equation) {
  vq_rt::ContainerState& state = model.State();
  OpenEquation(model, state, equation);
  state.stream.AddInteger(value);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddTermInteger)) [[unlikely]]
    RecordToken(model, vq_rt::EventKind::AddTermInteger, value, equation);
}
[[gnu::noinline]] void AddRealAtLength(VQ_ModelType& model, double value, int equation) {
  vq_rt::ContainerState& state = model.State();
  OpenEquation(model, state, equation);
  state.stream.AddReal(value);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddTermReal)) [[unlikely]]
    RecordReal(model, value, equation);
}
[[gnu::noinline]] void AddReferenceAtLength(VQ_ModelType& model, VQ_VarParam& reference, int*& p, int*& q,
                                            int equation) {
  vq_rt::ContainerState& state = model.State();
  // Without a window patternEnd is null, so one test covers both faults.
  if (p >= state.patternEnd || !state.patternWindow) [[unlikely]]
    RaiseReference(model, state, reference);
  OpenEquation(model, state, equation);
  state.stream.AddReference(state.ColumnOf(reference));
  // The cursors only count the references; nothing is kept behind them.
  ++p;
  ++q;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddTermReference)) [[unlikely]]
    RecordReference(model, reference, equation);
}
// The state of a model whose equation `equation` is open and whose stream
// has room for a token; null for any other.
vq_rt::ContainerState* ReadyFor(VQ_ModelType& model, int equation) {
  vq_rt::ContainerState* state = model.StateIfAny();
  if (state == nullptr || state->openEquation != equation || !state->stream.HasRoomForToken()) [[unlikely]]
    return nullptr;
  return state;
}
}  // namespace

void VQ_ModelType::StreamOp(EOp op, int equation) {
  vq_rt::ContainerState* state = ReadyFor(*this, equation);
  if (state == nullptr || !state->stream.AddUsualOperatorInRoom(op)) [[unlikely]]
    return AddOperatorAtLength(*this, op, equation);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddOp)) [[unlikely]]
    return RecordToken(*this, vq_rt::EventKind::AddOp, op, equation);
}

void VQ_ModelType::StreamInteger(int value, int equation) {
  vq_rt::ContainerState* state = ReadyFor(*this, equation);
  if (state == nullptr) [[unlikely]]
    return AddIntegerAtLength(*this, value, equation);
  state->stream.AddIntegerInRoom(value);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddTermInteger)) [[unlikely]]
    return RecordToken(*this, vq_rt::EventKind::AddTermInteger, value, equation);
}

void VQ_ModelType::StreamReal(double value, int equation) {
  vq_rt::ContainerState* state = ReadyFor(*this, equation);
  if (state == nullptr || !state->stream.AddRecentRealInRoom(value)) [[unlikely]]
    return AddRealAtLength(*this, value, equation);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddTermReal)) [[unlikely]]
    return RecordReal(*this, value, equation);
}

void VQ_ModelType::StreamReference(VQ_VarParam& reference, int*& p, int*& q, int equation) {
  vq_rt::ContainerState* state = ReadyFor(*this, equation);
  // Without a window patternEnd is null: the cursor test refuses that too.
  if (state == nullptr || p >= state->patternEnd) [[unlikely]]
    return AddReferenceAtLength(*this, reference, p, q, equation);
  const int column = state->KnownColumn(reference);
  if (column < 0) [[unlikely]]
    return AddReferenceAtLength(*this, reference, p, q, equation);
  state->stream.AddReferenceInRoom(column);
  ++p;
  ++q;
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddTermReference)) [[unlikely]]
    return RecordReference(*this, reference, equation);
}

void VQ_ModelType::StreamProcedure(VQ_ProcedureType* procedure, int sequence, int equation, const char* name) {
  vq_rt::ContainerState& state = State();
  if (procedure == nullptr) vq_rt::Raise("%s: a procedure expression without its procedure", DisplayName().c_str());
  if (sequence < 1)
    vq_rt::Raise("%s: procedure %s given output number %d", DisplayName().c_str(), procedure->Name(), sequence);
  OpenEquation(*this, state, equation);
  const vq_rt::EmittedEquation open = state.emitted.back();
  // Marks the equation, adds no token.
  if (state.stream.Size() != open.firstToken || open.hasProcedure)
    vq_rt::Raise("%s: procedure %s expression in equation %d after other terms", DisplayName().c_str(),
                 procedure->Name(), equation);
  state.emitted.MarkProcedure(procedure, sequence);
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::AddProcExpression))
    vq_rt::RecordCall(vq_rt::EventKind::AddProcExpression, this)
        .Object(procedure)
        .Name(name != nullptr ? name : "null")
        .Numbers(sequence, equation);
}

// ---------------------------------------------------------------------------

template <class Base>
VQ_WithExtensions<Base>::VQ_WithExtensions() = default;
template <class Base>
VQ_WithExtensions<Base>::VQ_WithExtensions(const VQ_WithExtensions& other) : Base(other) {}
template <class Base>
VQ_WithExtensions<Base>& VQ_WithExtensions<Base>::operator=(const VQ_WithExtensions& other) {
  Base::operator=(other);
  return *this;
}
template <class Base>
VQ_WithExtensions<Base>::~VQ_WithExtensions() = default;
template <class Base>
void VQ_WithExtensions<Base>::ResetExpressions() {
  this->StreamReset();
}
template <class Base>
void VQ_WithExtensions<Base>::AddOp(EOp op, int equation) {
  this->StreamOp(op, equation);
}
template <class Base>
void VQ_WithExtensions<Base>::AddTerm(int value, int equation) {
  this->StreamInteger(value, equation);
}
template <class Base>
void VQ_WithExtensions<Base>::AddTerm(double value, int equation) {
  this->StreamReal(value, equation);
}
template <class Base>
void VQ_WithExtensions<Base>::AddTerm(VQ_VarParam& reference, int*& p, int*& q, int equation) {
  this->StreamReference(reference, p, q, equation);
}

template <class Base>
void VQ_WithExtensions<Base>::AddProcExpression(VQ_ProcedureType* procedure, int sequence, int equation,
                                                const char* name) {
  this->StreamProcedure(procedure, sequence, equation, name);
}

template class VQ_WithExtensions<VQ_ModelType>;
template class VQ_WithExtensions<VQ_PortType>;

VQ_PortType::VQ_PortType() = default;
VQ_PortType::VQ_PortType(const VQ_PortType& other) : VQ_ModelType(other) {}
VQ_PortType& VQ_PortType::operator=(const VQ_PortType& other) {
  VQ_ModelType::operator=(other);
  return *this;
}
VQ_PortType::~VQ_PortType() = default;

bool VQ_PortType::IsAMultiport() const { return false; }
int VQ_PortType::PortCount(bool) const { return 1; }

VQ_Type* VQ_PortType::GetPort(int& index, bool) {
  // The lowest index is already below zero; lowering it would overflow.
  if (index == INT_MIN || --index < 0) return this;
  return nullptr;
}

void VQ_PortType::DumpStructure() {
  if (vq_rt::Recorder::Enabled(vq_rt::EventKind::DumpStructure))
    vq_rt::RecordCall(vq_rt::EventKind::DumpStructure, this).Name(DisplayName()).Numbers(PortCount(false));
}

VQ_ModelTypeEx::VQ_ModelTypeEx() = default;
VQ_ModelTypeEx::VQ_ModelTypeEx(const VQ_ModelTypeEx& other) = default;
VQ_ModelTypeEx& VQ_ModelTypeEx::operator=(const VQ_ModelTypeEx& other) = default;
VQ_ModelTypeEx::~VQ_ModelTypeEx() = default;

VQ_ModelTypeEx2::VQ_ModelTypeEx2() = default;
VQ_ModelTypeEx2::VQ_ModelTypeEx2(const VQ_ModelTypeEx2& other) = default;
VQ_ModelTypeEx2& VQ_ModelTypeEx2::operator=(const VQ_ModelTypeEx2& other) = default;
VQ_ModelTypeEx2::~VQ_ModelTypeEx2() = default;

VQ_PortTypeEx::VQ_PortTypeEx() = default;
VQ_PortTypeEx::VQ_PortTypeEx(const VQ_PortTypeEx& other) = default;
VQ_PortTypeEx& VQ_PortTypeEx::operator=(const VQ_PortTypeEx& other) = default;
VQ_PortTypeEx::~VQ_PortTypeEx() = default;

VQ_StructureTypeEx::VQ_StructureTypeEx() = default;
VQ_StructureTypeEx::VQ_StructureTypeEx(const VQ_StructureTypeEx& other) = default;
VQ_StructureTypeEx& VQ_StructureTypeEx::operator=(const VQ_StructureTypeEx& other) = default;
VQ_StructureTypeEx::~VQ_StructureTypeEx() = default;
