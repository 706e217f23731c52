#include "vq_wallprofile.h"

const char* VQ_TEMPERATURE::VQ_ContainerId() {
  static const char kSignature[] = "Variable TEMPERATURE\tV8.4";
  return kSignature;
}

VQ_TEMPERATURE::VQ_TEMPERATURE(bool bConstruct) : VQ_REALVARIABLE(false) {
  if (bConstruct) InitializeSystemAttributes();
}
VQ_TEMPERATURE::~VQ_TEMPERATURE() = default;
VQ_TEMPERATURE& VQ_TEMPERATURE::operator=(const VQ_TEMPERATURE& other) {
  VQ_REALVARIABLE::operator=(other);
  return *this;
}
VQ_Value* VQ_TEMPERATURE::VQ_DefaultPHYSICALQUANTITY() const {
  static VQ_Value Default("Temperature", 0u);
  return &Default;
}
VQ_Value* VQ_TEMPERATURE::VQ_DefaultBASEUOMNAME() const {
  static VQ_Value Default("K", 0u);
  return &Default;
}

// ---------------------------------------------------------------------------

namespace {
constexpr double kDefaultGradient = -25.0;
constexpr int kProfileGroup = 1;
}  // namespace

const char* VQ_WALLPROFILE::VQ_ContainerId() {
  static const char kSignature[] = "Model WALLPROFILE\tV8.4";
  return kSignature;
}

VQ_WALLPROFILE::VQ_WALLPROFILE(bool bConstruct) : GRADIENT(true) {
  if (bConstruct) Construct();
}

VQ_WALLPROFILE::~VQ_WALLPROFILE() = default;

VQ_WALLPROFILE& VQ_WALLPROFILE::operator=(const VQ_WALLPROFILE& other) {
  AssignBase(other);
  XDOMAIN = other.XDOMAIN;
  TSURFACE = other.TSURFACE;
  GRADIENT = other.GRADIENT;
  VQ_T_SET1 = other.VQ_T_SET1;
  T = other.T;
  AssignBookkeeping(other);
  return *this;
}

void VQ_WALLPROFILE::Construct() {
  VQ_GENERICMODEL::Construct();
  Register(XDOMAIN, "XDOMAIN");
  Register(TSURFACE, "TSURFACE", "Temperature at the surface");
  Register(GRADIENT, "GRADIENT", "Temperature gradient through the wall");
  Register(VQ_T_SET1, "VQ_T_SET1");
  Register(T, "T", "Temperature at a node point");
}

void VQ_WALLPROFILE::BindArrays() { T.SetDim(VQ_T_SET1); }

void VQ_WALLPROFILE::AssignIndexSets(int a, int b, int pass) {
  brantel::AssignmentStatements put(*this, a, b);
  put.IndexSet(VQ_T_SET1, VQ_IntSetValue(0, (*XDOMAIN).ENDNODE.v()), 1, pass);
}

void VQ_WALLPROFILE::AssignDefaults(int a, int b) {
  brantel::AssignmentStatements put(*this, a, b);
  put.Assign(GRADIENT, kDefaultGradient, 2);
}

template <class Visit>
void VQ_WALLPROFILE::ForEachProfileEquation(Visit visit) {
  VQ_DOMAIN& x = *XDOMAIN;
  const int end = x.ENDNODE.v();
  for (int k = 0; k <= end; ++k) {
    VQ_VarParam* references[] = {&T(k), &*TSURFACE, &GRADIENT, &(*x.VALUE)(k)};
    visit(references);
  }
}

int VQ_WALLPROFILE::CountOwnEquations(int& count) {
  ForEachProfileEquation([&](VQ_VarParam* (&references)[4]) {
    SetGroupLimits(m_GroupBase + kProfileGroup);
    ++count;
    for (VQ_VarParam* reference : references) AddNonZero(*reference);
  });
  return 0;
}

// - T(k) + TSURFACE * GRADIENT XDOMAIN.VALUE(k)
void VQ_WALLPROFILE::EmitOwnEquations(int& counter, int*& p, int*& q) {
  VQ_ModelExtensions& stream = *this;
  ForEachProfileEquation([&](VQ_VarParam* (&references)[4]) {
    AddEquation("VQ_Eqn1", counter, m_GroupBase + kProfileGroup);
    const int equation = counter - 1;
    stream.AddOp(EOp_Subtract, equation);
    stream.AddTerm(*references[0], p, q, equation);
    stream.AddOp(EOp_Add, equation);
    stream.AddTerm(*references[1], p, q, equation);
    stream.AddOp(EOp_Multiply, equation);
    stream.AddTerm(*references[2], p, q, equation);
    stream.AddTerm(*references[3], p, q, equation);
  });
}

BRANTEL_EXPORT_TYPE(WALLPROFILE)
