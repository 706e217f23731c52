#pragma once
// A log of every call the model library makes into the runtime, for tests
// that assert the exact sequence a type produces. Off unless enabled.
#include <string>
#include <vector>

#include "vq_api.h"

namespace vq_rt {

enum class EventKind {
  AddProperty,
  UnsetIsToBeExported,
  HostPortType,
  SetDims,
  SetDim,
  ExecuteAssignments,
  InitialiseInternalIndexSet,
  Assign,
  SetUpEquations,
  SetGroupLimits,
  AddNonZero,
  SetLocalEqnCount,
  JacPattern,
  ResetExpressions,
  AddEquation,
  AddOp,
  AddTermInteger,
  AddTermReal,
  AddTermReference,
  AddRef,
  AddNullEntries,
  AddIndexToString,
  AddElement,
  SetDirection,
  AssignFlags,
  PortCount,
  GetPort,
  DumpStructure,
  AddProcExpression,
  AddProcCall,
};

struct KYV_API Event {
  EventKind kind;
  const void* subject = nullptr;  // the object called
  const void* object = nullptr;   // a property or reference involved
  std::string name;               // property name or equation name
  std::string text;               // description or value, when hasText
  bool hasText = false;
  long long a = 0, b = 0, c = 0, d = 0;
  double real = 0.0;

  Event();
  Event(const Event&);
  Event& operator=(const Event&);
  ~Event();
};

class KYV_API Recorder {
 public:
  static void Enable(bool on);
  static bool Enabled() { return s_enabled; }
  // Whether a call of this kind would be kept: checked before an event is
  // built, so a watched long run pays only for what it keeps.
  static bool Enabled(EventKind kind) {
    return s_enabled && (s_kept == 0 || (s_kept & (1ull << static_cast<unsigned>(kind))) != 0);
  }
  static void Clear();
  static const std::vector<Event>& Events();
  static void Add(const Event& event);
  // While a selection is set only events of its kinds are kept, so a long
  // run can be watched for a few kinds; an empty selection keeps all.
  static void KeepOnly(const std::vector<EventKind>& kinds);

 private:
  static bool s_enabled;
  static unsigned long long s_kept;
};

// Records one call when it goes out of scope:
//   if (Recorder::Enabled(EventKind::AddOp)) RecordCall(EventKind::AddOp, this).Numbers(op, equation);
class KYV_API RecordCall {
 public:
  RecordCall(EventKind kind, const void* subject);
  ~RecordCall();
  RecordCall(const RecordCall&) = delete;
  RecordCall& operator=(const RecordCall&) = delete;
  RecordCall& Object(const void* object);
  RecordCall& Name(const std::string& name);
  RecordCall& Text(const std::string& text);
  RecordCall& Numbers(long long a, long long b = 0, long long c = 0, long long d = 0);
  RecordCall& Real(double value);

 private:
  Event m_Event;
};

// One line per event, such as
// "AddProperty USERNOTES desc=null dir=0 flag=0 form=plain".
KYV_API std::string Describe(const Event& event);
KYV_API std::vector<std::string> DescribeAll();

}  // namespace vq_rt
