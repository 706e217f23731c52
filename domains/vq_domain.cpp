#include "vq_domain.h"

#include "vq_methods.h"

const char* VQ_DOMAIN::VQ_ContainerId() {
  static const char kSignature[] = "Model DOMAIN\tV8.4";
  return kSignature;
}

VQ_DOMAIN::VQ_DOMAIN(bool bConstruct)
    : USERNOTES(true),
      INPUTSIGNAL(true),
      OUTPUTSIGNAL(true),
      DISCRETIZATIONMETHOD(true),
      NUMSECTIONS(true),
      MINNODECOUNT(true),
      NUMPOLYPOINTS(true),
      HIGHESTORDERDERIVATIVE(true),
      ENDNODE(true) {
  if (bConstruct) Construct();
}

VQ_DOMAIN::~VQ_DOMAIN() = default;

VQ_DOMAIN& VQ_DOMAIN::operator=(const VQ_DOMAIN& other) {
  AssignBase(other);
  SECTION = other.SECTION;
  VQ_SECTION_SET1 = other.VQ_SECTION_SET1;
  LENGTH = other.LENGTH;
  SPACINGPREFERENCE = other.SPACINGPREFERENCE;
  VALUE = other.VALUE;
  VQ_VALUE_SET1 = other.VQ_VALUE_SET1;
  USERNOTES = other.USERNOTES;
  INPUTSIGNAL = other.INPUTSIGNAL;
  OUTPUTSIGNAL = other.OUTPUTSIGNAL;
  DISCRETIZATIONMETHOD = other.DISCRETIZATIONMETHOD;
  NUMSECTIONS = other.NUMSECTIONS;
  MINNODECOUNT = other.MINNODECOUNT;
  NUMPOLYPOINTS = other.NUMPOLYPOINTS;
  POLYPOINT = other.POLYPOINT;
  VQ_POLYPOINT_SET1 = other.VQ_POLYPOINT_SET1;
  HIGHESTORDERDERIVATIVE = other.HIGHESTORDERDERIVATIVE;
  INTERIOR = other.INTERIOR;
  ENDNODE = other.ENDNODE;
  AssignBookkeeping(other);
  return *this;
}

// Each index set right before the array it sizes.
void VQ_DOMAIN::Construct() {
  Register(VQ_SECTION_SET1, "VQ_SECTION_SET1");
  Register(SECTION, "SECTION");
  Register(LENGTH, "LENGTH", "Domain length");
  Register(SPACINGPREFERENCE, "SPACINGPREFERENCE", "Preferred node spacing for domain");
  Register(VQ_VALUE_SET1, "VQ_VALUE_SET1");
  Register(VALUE, "VALUE", "DO NOT EDIT - Location of each node in domain");
  Register(USERNOTES, "USERNOTES");
  RegisterControlPort(INPUTSIGNAL, "INPUTSIGNAL", kDirectionIn);
  RegisterControlPort(OUTPUTSIGNAL, "OUTPUTSIGNAL", kDirectionOut);
  Register(DISCRETIZATIONMETHOD, "DISCRETIZATIONMETHOD", "Method used to calculate partial derivatives");
  Register(NUMSECTIONS, "NUMSECTIONS", "Number of sections in the domain");
  Register(MINNODECOUNT, "MINNODECOUNT");
  Register(NUMPOLYPOINTS, "NUMPOLYPOINTS");
  Register(VQ_POLYPOINT_SET1, "VQ_POLYPOINT_SET1");
  Register(POLYPOINT, "POLYPOINT");
  Register(HIGHESTORDERDERIVATIVE, "HIGHESTORDERDERIVATIVE");
  Register(INTERIOR, "INTERIOR");
  Register(ENDNODE, "ENDNODE", "DO NOT EDIT - Index of the rightmost element in domain");
}

void VQ_DOMAIN::BindArrays() {
  (*SECTION).SetDim(VQ_SECTION_SET1);
  (*VALUE).SetDim(VQ_VALUE_SET1);
  (*POLYPOINT).SetDim(VQ_POLYPOINT_SET1);
}

const char* VQ_DOMAIN::ElementsMadeBy(const VQ_Matrix& array) {
  if (&array == &*SECTION) return "raise NUMSECTIONS";
  if (&array == &*VALUE) return "lay more node intervals";
  if (&array == &POLYPOINT) return "choose a method with more inner points";
  return nullptr;
}

double VQ_DOMAIN::Sigma42968240(VQ_IntegerSetIter& it) {
  double sum = 0.0;
  for (VQ_IntegerSetIter j(VQ_IntSetValue(1, it.v() - 1)); j.Next();) sum += Section(j.v()).NODECOUNT.v();
  return sum;
}

double VQ_DOMAIN::Sigma42987192() {
  double sum = 0.0;
  for (VQ_IntegerSetIter j(VQ_IntSetValue(1, (*NUMSECTIONS).v())); j.Next();) sum += Section(j.v()).NODECOUNT.v();
  return sum;
}

double VQ_DOMAIN::Sigma42988192() {
  double sum = 0.0;
  for (VQ_IntegerSetIter j(VQ_IntSetValue(1, (*NUMSECTIONS).v())); j.Next();) sum += Section(j.v()).NODECOUNT.v();
  return sum;
}

// Returned by value: each call has its own result, whatever other domains
// ask in between.
VQ_SetValue VQ_DOMAIN::UnionFn42975016(VQ_IntegerSetIter& it) {
  VQ_SetValue result(XUValue::kSet);
  const int s = it.v();
  int terms = 0;
  for (VQ_IntegerSetIter e(VQ_IntSetValue(1, Section(s).NUMELEMENTS.v())); e.Next();) {
    const int start = Section(s).BASE.v() + (e.v() - 1) * ((*NUMPOLYPOINTS).v() + 1);
    for (VQ_IntegerSetIter n(VQ_IntSetValue(VQ_OneElement{}, start)); n.Next();) {
      VQ_SetValue term(VQ_IntSetValue(n.v() + 1, n.v() + (*NUMPOLYPOINTS).v()));
      if (terms == 0) result = term;
      else result += term;
      ++terms;
    }
  }
  return result;
}

VQ_SetValue VQ_DOMAIN::UnionFn42986752() {
  VQ_SetValue result(XUValue::kSet);
  int terms = 0;
  for (VQ_IntegerSetIter s(VQ_IntSetValue(1, (*NUMSECTIONS).v())); s.Next();) {
    VQ_SetValue term((*Section(s.v()).INTERIOR).v());
    if (terms == 0) result = term;
    else result += term;
    ++terms;
  }
  return result;
}

bool VQ_DOMAIN::UniformLayout() { return brantel::UniformLayout((*DISCRETIZATIONMETHOD).v()); }

BRANTEL_DEFINE_FACTORY(DOMAIN)
