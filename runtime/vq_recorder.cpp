#include "vq_recorder.h"

#include "vq_format.h"

namespace vq_rt {

bool Recorder::s_enabled = false;
unsigned long long Recorder::s_kept = 0;

namespace {
std::vector<Event>& Log() {
  static std::vector<Event> events;
  return events;
}

// Bit k set: events of kind k are kept; no bit set: all are.

const char* FormName(long long form) {
  switch (form) {
    case 1: return "plain";
    case 2: return "virtual";
    case 3: return "external";
    default: return "none";
  }
}
}  // namespace

Event::Event() : kind(EventKind::AddRef) {}
Event::Event(const Event&) = default;
Event& Event::operator=(const Event&) = default;
Event::~Event() = default;

void Recorder::Enable(bool on) { s_enabled = on; }
void Recorder::Clear() { Log().clear(); }
const std::vector<Event>& Recorder::Events() { return Log(); }
void Recorder::Add(const Event& event) {
  if (s_kept != 0 && !(s_kept & (1ull << static_cast<unsigned>(event.kind)))) return;
  Log().push_back(event);
}

void Recorder::KeepOnly(const std::vector<EventKind>& kinds) {
  s_kept = 0;
  for (EventKind kind : kinds) s_kept |= 1ull << static_cast<unsigned>(kind);
}

RecordCall::RecordCall(EventKind kind, const void* subject) {
  m_Event.kind = kind;
  m_Event.subject = subject;
}
RecordCall::~RecordCall() { Recorder::Add(m_Event); }
RecordCall& RecordCall::Object(const void* object) {
  m_Event.object = object;
  return *this;
}
RecordCall& RecordCall::Name(const std::string& name) {
  m_Event.name = name;
  return *this;
}
RecordCall& RecordCall::Text(const std::string& text) {
  m_Event.text = text;
  m_Event.hasText = true;
  return *this;
}
RecordCall& RecordCall::Numbers(long long a, long long b, long long c, long long d) {
  m_Event.a = a;
  m_Event.b = b;
  m_Event.c = c;
  m_Event.d = d;
  return *this;
}
RecordCall& RecordCall::Real(double value) {
  m_Event.real = value;
  return *this;
}

std::string Describe(const Event& e) {
  auto n = [](long long v) { return std::to_string(v); };
  switch (e.kind) {
    case EventKind::AddProperty:
      return "AddProperty " + e.name + " desc=" + (e.hasText ? "\"" + e.text + "\"" : std::string("null")) +
             " dir=" + n(e.a) + " flag=" + n(e.b) + " form=" + FormName(e.c);
    case EventKind::UnsetIsToBeExported: return "UnsetIsToBeExported " + e.name;
    case EventKind::HostPortType: return "HostPortType " + e.name + " " + n(e.a);
    case EventKind::SetDims: return "SetDims";
    case EventKind::SetDim: return "SetDim " + e.name + " " + e.text;
    case EventKind::ExecuteAssignments: return "ExecuteAssignments a=" + n(e.a) + " b=" + n(e.b);
    case EventKind::InitialiseInternalIndexSet:
      return "InitialiseInternalIndexSet " + e.name + " " + e.text + " b=" + n(e.a) + " a=" + n(e.b) +
             " ordinal=" + n(e.c) + " pass=" + n(e.d);
    case EventKind::Assign:
      return "Assign " + e.name + " " + e.text + " b=" + n(e.a) + " a=" + n(e.b) + " ordinal=" + n(e.c);
    case EventKind::SetUpEquations: return "SetUpEquations -> " + n(e.a);
    case EventKind::SetGroupLimits: return "SetGroupLimits " + n(e.a);
    case EventKind::AddNonZero: return "AddNonZero " + e.name;
    case EventKind::SetLocalEqnCount: return "SetLocalEqnCount " + n(e.a);
    case EventKind::JacPattern: return "JacPattern -> " + n(e.a);
    case EventKind::ResetExpressions: return "ResetExpressions";
    case EventKind::AddEquation: return "AddEquation " + e.name + " counter=" + n(e.a) + " group=" + n(e.b);
    case EventKind::AddOp: return "AddOp " + n(e.a) + " eqn=" + n(e.b);
    case EventKind::AddTermInteger: return "AddTerm int " + n(e.a) + " eqn=" + n(e.b);
    case EventKind::AddTermReal: return "AddTerm double " + FormatDouble(e.real) + " eqn=" + n(e.b);
    case EventKind::AddTermReference: return "AddTerm ref " + e.name + " eqn=" + n(e.b);
    case EventKind::AddRef: return "AddRef -> " + n(e.a);
    case EventKind::AddNullEntries: return "AddNullEntries(" + n(e.a) + ", " + n(e.b) + ", " + n(e.c) + ")";
    case EventKind::AddIndexToString: return "AddIndexToString " + e.text + " " + n(e.a);
    case EventKind::AddElement: return "AddElement " + e.name + " at " + n(e.a);
    case EventKind::SetDirection: return "SetDirection " + e.name + " " + n(e.a);
    case EventKind::AssignFlags: return "AssignFlags " + e.name + " " + n(e.a);
    case EventKind::PortCount: return "PortCount " + e.name + " flag=" + n(e.a) + " -> " + n(e.b);
    case EventKind::GetPort: return "GetPort " + e.name + " index=" + n(e.a) + " flag=" + n(e.b);
    case EventKind::DumpStructure: return "DumpStructure " + e.name + " ports=" + n(e.a);
    case EventKind::AddProcExpression:
      return "AddProcExpression " + e.name + " output=" + n(e.a) + " eqn=" + n(e.b);
    case EventKind::AddProcCall: return "AddProcCall " + e.name + " group=" + n(e.a);
  }
  return "?";
}

std::vector<std::string> DescribeAll() {
  std::vector<std::string> lines;
  for (const Event& event : Log()) lines.push_back(Describe(event));
  return lines;
}

}  // namespace vq_rt
