// Two types whose counting passes break the rule that every counted
// equation opens with its own SetGroupLimits: one calls it once for the
// whole loop, the other twice per equation.
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

BRANTEL_EXPORT_TYPE(ONEGROUPPERLOOP)
BRANTEL_EXPORT_TYPE(TWOGROUPSPEREQUATION)
