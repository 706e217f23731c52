#include "vq_distribution1d.h"

#include "vq_assignments.h"
#include "vq_integrals.h"
#include "vq_walk_1d.h"

namespace {

// The distribution as the walk sees it.
class Subject1D final : public brantel::walk::Subject {
 public:
  explicit Subject1D(VQ_DISTRIBUTION1D& d) : m_D(d) {}
  VQ_DOMAIN& Domain(int) override { return *m_D.XDOMAIN; }
  int UsedOrder(int) override { return m_D.HIGHESTORDERXDERIVATIVEUSED.v(); }
  int HighestOrder(int) override { return m_D.HIGHESTORDERXDERIVATIVE.v(); }
  bool Has(int chain) override { return brantel::Held(brantel::walk::kChains1D[chain], (*m_D.INTEGRALS).v()) != 0; }
  VQ_VarParam& Element(int array, const int* index) override {
    return static_cast<VQ_VarParam&>(*m_Arrays.At(array, m_D.VALUE).Find(index[0]));
  }

 private:
  VQ_DISTRIBUTION1D& m_D;
  brantel::walk::ArraysByNumber<VQ_BASE_I, brantel::walk::kIdx1D + 1> m_Arrays{
      {brantel::walk::kDdx1D, &m_D.DDX}, {brantel::walk::kD2dx21D, &m_D.D2DX2}, {brantel::walk::kIdx1D, &m_D.IDX}};
};

}  // namespace

const char* VQ_DISTRIBUTION1D::VQ_ContainerId() {
  static const char kSignature[] = "Model DISTRIBUTION1D\tV8.4";
  return kSignature;
}

VQ_DISTRIBUTION1D::VQ_DISTRIBUTION1D(bool bConstruct)
    : USERNOTES(true),
      INPUTSIGNAL(true),
      OUTPUTSIGNAL(true),
      HIGHESTORDERXDERIVATIVE(true),
      HIGHESTORDERXDERIVATIVEUSED(true),
      INTEGRALS(true) {
  if (bConstruct) Construct();
}

VQ_DISTRIBUTION1D::~VQ_DISTRIBUTION1D() = default;

VQ_DISTRIBUTION1D& VQ_DISTRIBUTION1D::operator=(const VQ_DISTRIBUTION1D& other) {
  AssignBase(other);
  XDOMAIN = other.XDOMAIN;
  VALUE = other.VALUE;
  VQ_VALUE_SET1 = other.VQ_VALUE_SET1;
  USERNOTES = other.USERNOTES;
  INPUTSIGNAL = other.INPUTSIGNAL;
  OUTPUTSIGNAL = other.OUTPUTSIGNAL;
  HIGHESTORDERXDERIVATIVE = other.HIGHESTORDERXDERIVATIVE;
  HIGHESTORDERXDERIVATIVEUSED = other.HIGHESTORDERXDERIVATIVEUSED;
  INTEGRALS = other.INTEGRALS;
  DDX = other.DDX;
  VQ_DDX_SET1 = other.VQ_DDX_SET1;
  D2DX2 = other.D2DX2;
  VQ_D2DX2_SET1 = other.VQ_D2DX2_SET1;
  IDX = other.IDX;
  VQ_IDX_SET1 = other.VQ_IDX_SET1;
  AssignBookkeeping(other);
  return *this;
}

// Each index set right before the array it sizes.
void VQ_DISTRIBUTION1D::Construct() {
  Register(XDOMAIN, "XDOMAIN");
  Register(VQ_VALUE_SET1, "VQ_VALUE_SET1");
  Register(VALUE, "VALUE", "Variable value at a node point");
  Register(USERNOTES, "USERNOTES");
  RegisterControlPort(INPUTSIGNAL, "INPUTSIGNAL", kDirectionIn);
  RegisterControlPort(OUTPUTSIGNAL, "OUTPUTSIGNAL", kDirectionOut);
  Register(HIGHESTORDERXDERIVATIVE, "HIGHESTORDERXDERIVATIVE");
  Register(HIGHESTORDERXDERIVATIVEUSED, "HIGHESTORDERXDERIVATIVEUSED");
  Register(INTEGRALS, "INTEGRALS", "Integrals to be calculated. Valid value: idx");
  Register(VQ_DDX_SET1, "VQ_DDX_SET1");
  Register(DDX, "DDX", "1st-order partial deriv wrt x");
  Register(VQ_D2DX2_SET1, "VQ_D2DX2_SET1");
  Register(D2DX2, "D2DX2", "2nd-order partial deriv wrt x");
  Register(VQ_IDX_SET1, "VQ_IDX_SET1");
  Register(IDX, "IDX", "integral of distributed variable over X domain");
}

void VQ_DISTRIBUTION1D::BindArrays() {
  (*VALUE).SetDim(VQ_VALUE_SET1);
  DDX.SetDim(VQ_DDX_SET1);
  D2DX2.SetDim(VQ_D2DX2_SET1);
  IDX.SetDim(VQ_IDX_SET1);
}

// The grids the domains laid are judged before any index set is sized by
// them: a refusal here leaves the distribution and its domains as they were.
void VQ_DISTRIBUTION1D::CheckAssignments(int, int) {
  Subject1D subject(*this);
  if (const brantel::GridFault fault = brantel::walk::CheckDomains(subject, 1)) fault.Raise();
}

void VQ_DISTRIBUTION1D::AssignIndexSets(int a, int b, int pass) {
  brantel::AssignmentStatements put(*this, a, b);
  VQ_DOMAIN& x = *XDOMAIN;
  put.IndexSet(VQ_VALUE_SET1, VQ_IntSetValue(0, x.ENDNODE.v()), 1, pass);
  put.IndexSet(VQ_DDX_SET1, VQ_IntSetValue(0, (HIGHESTORDERXDERIVATIVEUSED.v() > 0 ? 1 : 0) * x.ENDNODE.v()), 2, pass);
  VQ_SetValue interior((*x.INTERIOR).v());
  VQ_IntSetValue second(1, (HIGHESTORDERXDERIVATIVEUSED.v() > 1 ? 1 : 0) * x.ENDNODE.v());
  put.IndexSet(VQ_D2DX2_SET1, static_cast<XUValue&>(second *= interior), 3, pass);
  const int held = brantel::Held(brantel::walk::kChains1D[brantel::walk::kIdxChain1D], (*INTEGRALS).v());
  put.IndexSet(VQ_IDX_SET1, VQ_IntSetValue(0, (2 * held - 1) * x.ENDNODE.v()), 4, pass);
}

void VQ_DISTRIBUTION1D::AssignDefaults(int a, int b) {
  brantel::AssignmentStatements put(*this, a, b);
  put.Assign(HIGHESTORDERXDERIVATIVE, (*XDOMAIN).HIGHESTORDERDERIVATIVE.v(), 5);
  put.Assign(HIGHESTORDERXDERIVATIVEUSED, HIGHESTORDERXDERIVATIVE.v(), 6);
  put.Assign(*INTEGRALS, "None", 7);
}

// Both passes walk one description.
int VQ_DISTRIBUTION1D::CountOwnEquations(int& count) {
  Subject1D subject(*this);
  return brantel::walk::CountWalk(*this, brantel::walk::Walk1D(), subject, 1, m_GroupBase, count);
}

void VQ_DISTRIBUTION1D::EmitOwnEquations(int& counter, int*& p, int*& q) {
  Subject1D subject(*this);
  brantel::walk::EmitWalk(*this, *this, brantel::walk::Walk1D(), subject, m_GroupBase, counter, p, q);
}

const char* VQ_DISTRIBUTION1D::ElementsMadeBy(const VQ_Matrix& array) {
  return brantel::walk::ElementsMadeBy(array, *VALUE, {&DDX, &D2DX2});
}

BRANTEL_DEFINE_FACTORY(DISTRIBUTION1D)
