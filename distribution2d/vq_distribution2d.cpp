#include "vq_distribution2d.h"

#include "vq_assignments.h"
#include "vq_integrals.h"
#include "vq_walk_2d.h"

namespace {

using brantel::walk::ClosedInterior;

using brantel::walk::Array2D;

int Held(brantel::walk::Chain2D chain, VQ_STRINGSET& integrals) {
  return brantel::Held(brantel::walk::kChains2D[chain], (*integrals).v());
}

// The distribution as the walk sees it.
class Subject2D final : public brantel::walk::Subject {
 public:
  explicit Subject2D(VQ_DISTRIBUTION2D& d) : m_D(d) {}
  VQ_DOMAIN& Domain(int axis) override { return axis == 0 ? *m_D.XDOMAIN : *m_D.YDOMAIN; }
  int UsedOrder(int axis) override {
    return (axis == 0 ? m_D.HIGHESTORDERXDERIVATIVEUSED : m_D.HIGHESTORDERYDERIVATIVEUSED).v();
  }
  int HighestOrder(int axis) override {
    return (axis == 0 ? m_D.HIGHESTORDERXDERIVATIVE : m_D.HIGHESTORDERYDERIVATIVE).v();
  }
  bool Has(int chain) override { return Held(static_cast<brantel::walk::Chain2D>(chain), m_D.INTEGRALS) != 0; }
  VQ_VarParam& Element(int array, const int* index) override {
    return static_cast<VQ_VarParam&>(*m_Arrays.At(array, m_D.VALUE).Find(index[0], index[1]));
  }

 private:
  VQ_DISTRIBUTION2D& m_D;
  brantel::walk::ArraysByNumber<VQ_BASE_II, brantel::walk::kIdxdy2D + 1> m_Arrays{
      {brantel::walk::kDdx2D, &m_D.DDX},     {brantel::walk::kDdy2D, &m_D.DDY},
      {brantel::walk::kD2dx22D, &m_D.D2DX2}, {brantel::walk::kD2dy22D, &m_D.D2DY2},
      {brantel::walk::kIdx2D, &m_D.IDX},     {brantel::walk::kIdy2D, &m_D.IDY},
      {brantel::walk::kIdxdy2D, &m_D.IDXDY}};
};


}  // namespace

const char* VQ_DISTRIBUTION2D::VQ_ContainerId() {
  static const char kSignature[] = "Model DISTRIBUTION2D\tV8.4";
  return kSignature;
}

VQ_DISTRIBUTION2D::VQ_DISTRIBUTION2D(bool bConstruct)
    : USERNOTES(true),
      INPUTSIGNAL(true),
      OUTPUTSIGNAL(true),
      HIGHESTORDERXDERIVATIVE(true),
      HIGHESTORDERYDERIVATIVE(true),
      HIGHESTORDERXDERIVATIVEUSED(true),
      HIGHESTORDERYDERIVATIVEUSED(true),
      INTEGRALS(true) {
  if (bConstruct) Construct();
}

VQ_DISTRIBUTION2D::~VQ_DISTRIBUTION2D() = default;

VQ_DISTRIBUTION2D& VQ_DISTRIBUTION2D::operator=(const VQ_DISTRIBUTION2D& other) {
  AssignBase(other);
  XDOMAIN = other.XDOMAIN;
  YDOMAIN = other.YDOMAIN;
  VALUE = other.VALUE;
  VQ_VALUE_SET1 = other.VQ_VALUE_SET1;
  VQ_VALUE_SET2 = other.VQ_VALUE_SET2;
  USERNOTES = other.USERNOTES;
  INPUTSIGNAL = other.INPUTSIGNAL;
  OUTPUTSIGNAL = other.OUTPUTSIGNAL;
  HIGHESTORDERXDERIVATIVE = other.HIGHESTORDERXDERIVATIVE;
  HIGHESTORDERYDERIVATIVE = other.HIGHESTORDERYDERIVATIVE;
  HIGHESTORDERXDERIVATIVEUSED = other.HIGHESTORDERXDERIVATIVEUSED;
  HIGHESTORDERYDERIVATIVEUSED = other.HIGHESTORDERYDERIVATIVEUSED;
  INTEGRALS = other.INTEGRALS;
  DDX = other.DDX;
  VQ_DDX_SET1 = other.VQ_DDX_SET1;
  VQ_DDX_SET2 = other.VQ_DDX_SET2;
  DDY = other.DDY;
  VQ_DDY_SET1 = other.VQ_DDY_SET1;
  VQ_DDY_SET2 = other.VQ_DDY_SET2;
  D2DX2 = other.D2DX2;
  VQ_D2DX2_SET1 = other.VQ_D2DX2_SET1;
  VQ_D2DX2_SET2 = other.VQ_D2DX2_SET2;
  D2DY2 = other.D2DY2;
  VQ_D2DY2_SET1 = other.VQ_D2DY2_SET1;
  IDX = other.IDX;
  VQ_IDX_SET1 = other.VQ_IDX_SET1;
  VQ_IDX_SET2 = other.VQ_IDX_SET2;
  IDY = other.IDY;
  VQ_IDY_SET1 = other.VQ_IDY_SET1;
  VQ_IDY_SET2 = other.VQ_IDY_SET2;
  IDXDY = other.IDXDY;
  VQ_IDXDY_SET1 = other.VQ_IDXDY_SET1;
  VQ_IDXDY_SET2 = other.VQ_IDXDY_SET2;
  AssignBookkeeping(other);
  return *this;
}

// Each index set right before the array it sizes.
void VQ_DISTRIBUTION2D::Construct() {
  Register(XDOMAIN, "XDOMAIN");
  Register(YDOMAIN, "YDOMAIN");
  Register(VQ_VALUE_SET1, "VQ_VALUE_SET1");
  Register(VQ_VALUE_SET2, "VQ_VALUE_SET2");
  Register(VALUE, "VALUE", "Variable value at a node point");
  Register(USERNOTES, "USERNOTES");
  RegisterControlPort(INPUTSIGNAL, "INPUTSIGNAL", kDirectionIn);
  RegisterControlPort(OUTPUTSIGNAL, "OUTPUTSIGNAL", kDirectionOut);
  Register(HIGHESTORDERXDERIVATIVE, "HIGHESTORDERXDERIVATIVE");
  Register(HIGHESTORDERYDERIVATIVE, "HIGHESTORDERYDERIVATIVE");
  Register(HIGHESTORDERXDERIVATIVEUSED, "HIGHESTORDERXDERIVATIVEUSED");
  Register(HIGHESTORDERYDERIVATIVEUSED, "HIGHESTORDERYDERIVATIVEUSED");
  Register(INTEGRALS, "INTEGRALS", "Integrals to be calculated. Valid values: idx, idy, idxdy");
  Register(VQ_DDX_SET1, "VQ_DDX_SET1");
  Register(VQ_DDX_SET2, "VQ_DDX_SET2");
  Register(DDX, "DDX", "1st-order partial deriv wrt x");
  Register(VQ_DDY_SET1, "VQ_DDY_SET1");
  Register(VQ_DDY_SET2, "VQ_DDY_SET2");
  Register(DDY, "DDY", "1st-order partial deriv wrt y");
  Register(VQ_D2DX2_SET1, "VQ_D2DX2_SET1");
  Register(VQ_D2DX2_SET2, "VQ_D2DX2_SET2");
  Register(D2DX2, "D2DX2", "2nd-order partial deriv wrt x");
  Register(VQ_D2DY2_SET1, "VQ_D2DY2_SET1");
  Register(D2DY2, "D2DY2", "2nd-order partial deriv wrt y");
  Register(VQ_IDX_SET1, "VQ_IDX_SET1");
  Register(VQ_IDX_SET2, "VQ_IDX_SET2");
  Register(IDX, "IDX", "integral of distributed variable wrt x");
  Register(VQ_IDY_SET1, "VQ_IDY_SET1");
  Register(VQ_IDY_SET2, "VQ_IDY_SET2");
  Register(IDY, "IDY", "integral of distributed variable wrt y");
  Register(VQ_IDXDY_SET1, "VQ_IDXDY_SET1");
  Register(VQ_IDXDY_SET2, "VQ_IDXDY_SET2");
  Register(IDXDY, "IDXDY", "integral of distributed variable wrt x and y");
}

void VQ_DISTRIBUTION2D::BindArrays() {
  (*VALUE).SetDim(VQ_VALUE_SET1, VQ_VALUE_SET2);
  DDX.SetDim(VQ_DDX_SET1, VQ_DDX_SET2);
  DDY.SetDim(VQ_DDY_SET1, VQ_DDY_SET2);
  D2DX2.SetDim(VQ_D2DX2_SET1, VQ_D2DX2_SET2);
  D2DY2.SetDim(VQ_D2DY2_SET1, (*YDOMAIN).INTERIOR);
  IDX.SetDim(VQ_IDX_SET1, VQ_IDX_SET2);
  IDY.SetDim(VQ_IDY_SET1, VQ_IDY_SET2);
  IDXDY.SetDim(VQ_IDXDY_SET1, VQ_IDXDY_SET2);
}

// The grids the domains laid are judged before any index set is sized by
// them: a refusal here leaves the distribution and its domains as they were.
void VQ_DISTRIBUTION2D::CheckAssignments(int, int) {
  Subject2D subject(*this);
  if (const brantel::GridFault fault = brantel::walk::CheckDomains(subject, 2)) fault.Raise();
}

void VQ_DISTRIBUTION2D::AssignIndexSets(int a, int b, int pass) {
  brantel::AssignmentStatements put(*this, a, b);
  VQ_DOMAIN& x = *XDOMAIN;
  VQ_DOMAIN& y = *YDOMAIN;
  const int xe = x.ENDNODE.v();
  const int ye = y.ENDNODE.v();
  const int ux = HIGHESTORDERXDERIVATIVEUSED.v();
  const int uy = HIGHESTORDERYDERIVATIVEUSED.v();
  put.IndexSet(VQ_VALUE_SET1, VQ_IntSetValue(0, xe), 1, pass);
  put.IndexSet(VQ_VALUE_SET2, VQ_IntSetValue(0, ye), 2, pass);
  put.IndexSet(VQ_DDX_SET1, VQ_IntSetValue(0, (ux > 0 ? 1 : 0) * xe), 3, pass);
  put.IndexSet(VQ_DDX_SET2, VQ_IntSetValue(0, ye), 4, pass);
  // DDY's first set spans x nodes too; the y order gates it.
  put.IndexSet(VQ_DDY_SET1, VQ_IntSetValue(0, (uy > 0 ? 1 : 0) * xe), 5, pass);
  put.IndexSet(VQ_DDY_SET2, VQ_IntSetValue(0, ye), 6, pass);
  VQ_IntSetValue d2dx2(1, (ux > 1 ? 1 : 0) * xe);
  put.IndexSet(VQ_D2DX2_SET1, static_cast<XUValue&>(d2dx2 *= VQ_SetValue((*x.INTERIOR).v())), 7, pass);
  VQ_IntSetValue acrossY = ClosedInterior(y);
  put.IndexSet(VQ_D2DX2_SET2, static_cast<XUValue&>(acrossY), 8, pass);
  VQ_IntSetValue d2dy2(0, (uy > 1 ? 1 : 0) * xe);
  put.IndexSet(VQ_D2DY2_SET1, static_cast<XUValue&>(d2dy2 *= ClosedInterior(x)), 9, pass);
  // An integral not asked for gets [0..-XE]: empty unless the domain is one node.
  const int idx = Held(brantel::walk::kChainIdxOrIdxdy, INTEGRALS);
  const int idy = Held(brantel::walk::kChainIdy, INTEGRALS);
  const int idxdy = Held(brantel::walk::kChainIdxdy, INTEGRALS);
  put.IndexSet(VQ_IDX_SET1, VQ_IntSetValue(0, (2 * idx - 1) * xe), 10, pass);
  put.IndexSet(VQ_IDX_SET2, VQ_IntSetValue(0, ye), 11, pass);
  put.IndexSet(VQ_IDY_SET1, VQ_IntSetValue(0, (2 * idy - 1) * xe), 12, pass);
  put.IndexSet(VQ_IDY_SET2, VQ_IntSetValue(0, ye), 13, pass);
  put.IndexSet(VQ_IDXDY_SET1, VQ_IntSetValue(0, (2 * idxdy - 1) * xe), 14, pass);
  put.IndexSet(VQ_IDXDY_SET2, VQ_IntSetValue(0, ye), 15, pass);
}

void VQ_DISTRIBUTION2D::AssignDefaults(int a, int b) {
  brantel::AssignmentStatements put(*this, a, b);
  put.Assign(HIGHESTORDERXDERIVATIVE, (*XDOMAIN).HIGHESTORDERDERIVATIVE.v(), 16);
  put.Assign(HIGHESTORDERYDERIVATIVE, (*YDOMAIN).HIGHESTORDERDERIVATIVE.v(), 17);
  put.Assign(HIGHESTORDERXDERIVATIVEUSED, HIGHESTORDERXDERIVATIVE.v(), 18);
  put.Assign(HIGHESTORDERYDERIVATIVEUSED, HIGHESTORDERYDERIVATIVE.v(), 19);
  put.Assign(*INTEGRALS, "None", 20);
}

// Both passes walk one description.
int VQ_DISTRIBUTION2D::CountOwnEquations(int& count) {
  Subject2D subject(*this);
  return brantel::walk::CountWalk(*this, brantel::walk::Walk2D(), subject, 2, m_GroupBase, count);
}

void VQ_DISTRIBUTION2D::EmitOwnEquations(int& counter, int*& p, int*& q) {
  Subject2D subject(*this);
  brantel::walk::EmitWalk(*this, *this, brantel::walk::Walk2D(), subject, m_GroupBase, counter, p, q);
}

const char* VQ_DISTRIBUTION2D::ElementsMadeBy(const VQ_Matrix& array) {
  return brantel::walk::ElementsMadeBy(array, *VALUE, {&DDX, &DDY, &D2DX2, &D2DY2});
}

BRANTEL_DEFINE_FACTORY(DISTRIBUTION2D)
