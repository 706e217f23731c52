// Two types whose counting passes break the rule that every counted
// equation opens with its own SetGroupLimits: one calls it once for the
// whole loop, the other twice per equation. A third emits its equation's
// references in another order than it registered them.
#include "vq_module_frame.h"

namespace {
// How many times a faulty type calls SetGroupLimits for its two equations.
enum class Records { OnceForTheLoop, TwicePerEquation };

template <class Self, Records kRecords>
class FaultyCount : public VQ_GeneratedLevel<Self, VQ_GENERICMODEL> {
 public:
  void Construct() {
    VQ_GENERICMODEL::Construct();
    this->Register(X, "X");
    this->Register(Y, "Y");
  }
  int CountOwnEquations(int& count) {
    if (kRecords == Records::OnceForTheLoop) this->SetGroupLimits(this->m_GroupBase + 1);
    for (VQ_REALVARIABLE* variable : {&X, &Y}) {
      if (kRecords == Records::TwicePerEquation) {
        this->SetGroupLimits(this->m_GroupBase + 1);
        this->SetGroupLimits(this->m_GroupBase + 1);
      }
      ++count;
      this->AddNonZero(*variable);
    }
    return 0;
  }
  VQ_REALVARIABLE X;
  VQ_REALVARIABLE Y;
};
}  // namespace

class VQ_ONEGROUPPERLOOP : public FaultyCount<VQ_ONEGROUPPERLOOP, Records::OnceForTheLoop> {
 public:
  static const char* VQ_ContainerId() { return "Model ONEGROUPPERLOOP\tV8.4"; }
  explicit VQ_ONEGROUPPERLOOP(bool bConstruct = true) {
    if (bConstruct) Construct();
  }
};

class VQ_TWOGROUPSPEREQUATION : public FaultyCount<VQ_TWOGROUPSPEREQUATION, Records::TwicePerEquation> {
 public:
  static const char* VQ_ContainerId() { return "Model TWOGROUPSPEREQUATION\tV8.4"; }
  explicit VQ_TWOGROUPSPEREQUATION(bool bConstruct = true) {
    if (bConstruct) Construct();
  }
};

class VQ_SWAPPEDREFERENCES : public VQ_GeneratedLevel<VQ_SWAPPEDREFERENCES, VQ_GENERICMODEL> {
 public:
  static const char* VQ_ContainerId() { return "Model SWAPPEDREFERENCES\tV8.4"; }
  explicit VQ_SWAPPEDREFERENCES(bool bConstruct = true) {
    if (bConstruct) Construct();
  }
  void Construct() {
    VQ_GENERICMODEL::Construct();
    Register(X, "X");
    Register(Y, "Y");
  }
  int CountOwnEquations(int& count) {
    SetGroupLimits(m_GroupBase + 1);
    ++count;
    AddNonZero(X);
    AddNonZero(Y);
    return 0;
  }
  void EmitOwnEquations(int& counter, int*& p, int*& q) {
    AddEquation("VQ_Eqn1", counter, m_GroupBase + 1);
    const int equation = counter - 1;
    VQ_ModelExtensions& stream = *this;
    stream.AddOp(EOp_Subtract, equation);
    stream.AddTerm(Y, p, q, equation);
    stream.AddTerm(X, p, q, equation);
  }
  VQ_REALVARIABLE X;
  VQ_REALVARIABLE Y;
};

BRANTEL_EXPORT_TYPE(ONEGROUPPERLOOP)
BRANTEL_EXPORT_TYPE(SWAPPEDREFERENCES)
BRANTEL_EXPORT_TYPE(TWOGROUPSPEREQUATION)
