#include "vq_distribution3d.h"

#include "vq_assignments.h"
#include "vq_integrals.h"
#include "vq_walk_3d.h"

namespace {

using brantel::walk::Array3D;
using brantel::walk::ClosedInterior;
using brantel::walk::Chain3D;

int Held(Chain3D chain, VQ_STRINGSET& integrals) {
  return brantel::Held(brantel::walk::kChains3D[chain], (*integrals).v());
}

// The distribution as the walk sees it.
class Subject3D final : public brantel::walk::Subject {
 public:
  explicit Subject3D(VQ_DISTRIBUTION3D& d) : m_D(d) {}
  VQ_DOMAIN& Domain(int axis) override { return axis == 0 ? *m_D.XDOMAIN : axis == 1 ? *m_D.YDOMAIN : *m_D.ZDOMAIN; }
  int UsedOrder(int axis) override {
    return (axis == 0   ? m_D.HIGHESTORDERXDERIVATIVEUSED
            : axis == 1 ? m_D.HIGHESTORDERYDERIVATIVEUSED
                        : m_D.HIGHESTORDERZDERIVATIVEUSED)
        .v();
  }
  int HighestOrder(int axis) override {
    return (axis == 0   ? m_D.HIGHESTORDERXDERIVATIVE
            : axis == 1 ? m_D.HIGHESTORDERYDERIVATIVE
                        : m_D.HIGHESTORDERZDERIVATIVE)
        .v();
  }
  bool Has(int chain) override { return Held(static_cast<Chain3D>(chain), m_D.INTEGRALS) != 0; }
  VQ_VarParam& Element(int array, const int* index) override {
    return static_cast<VQ_VarParam&>(*m_Arrays.At(array, m_D.VALUE).Find(index[0], index[1], index[2]));
  }

 private:
  VQ_DISTRIBUTION3D& m_D;
  brantel::walk::ArraysByNumber<VQ_BASE_III, brantel::walk::kIdxdydz3D + 1> m_Arrays{
      {brantel::walk::kDdx3D, &m_D.DDX},         {brantel::walk::kDdy3D, &m_D.DDY},
      {brantel::walk::kDdz3D, &m_D.DDZ},         {brantel::walk::kD2dx23D, &m_D.D2DX2},
      {brantel::walk::kD2dy23D, &m_D.D2DY2},     {brantel::walk::kD2dz23D, &m_D.D2DZ2},
      {brantel::walk::kIdx3D, &m_D.IDX},         {brantel::walk::kIdy3D, &m_D.IDY},
      {brantel::walk::kIdz3D, &m_D.IDZ},         {brantel::walk::kIdxdy3D, &m_D.IDXDY},
      {brantel::walk::kIdxdz3D, &m_D.IDXDZ},     {brantel::walk::kIdydz3D, &m_D.IDYDZ},
      {brantel::walk::kIdxdydz3D, &m_D.IDXDYDZ}};
};


// The integral arrays with their index sets, in assignment order, and the
// chain that switches each array's x set on.
struct Integral {
  VQ_DISTRIBUTION3D::ValueArray VQ_DISTRIBUTION3D::*array;
  VQ_INTEGERSET VQ_DISTRIBUTION3D::*x;
  VQ_INTEGERSET VQ_DISTRIBUTION3D::*y;
  VQ_INTEGERSET VQ_DISTRIBUTION3D::*z;
  Chain3D chain;
};
using D = VQ_DISTRIBUTION3D;
constexpr Integral kIntegrals[] = {
    {&D::IDX, &D::VQ_IDX_SET1, &D::VQ_IDX_SET2, &D::VQ_IDX_SET3, brantel::walk::kChainIdx3D},
    {&D::IDY, &D::VQ_IDY_SET1, &D::VQ_IDY_SET2, &D::VQ_IDY_SET3, brantel::walk::kChainIdy3D},
    {&D::IDZ, &D::VQ_IDZ_SET1, &D::VQ_IDZ_SET2, &D::VQ_IDZ_SET3, brantel::walk::kChainIdz3D},
    {&D::IDXDY, &D::VQ_IDXDY_SET1, &D::VQ_IDXDY_SET2, &D::VQ_IDXDY_SET3, brantel::walk::kChainIdxdy3D},
    {&D::IDXDZ, &D::VQ_IDXDZ_SET1, &D::VQ_IDXDZ_SET2, &D::VQ_IDXDZ_SET3, brantel::walk::kChainIdxdz3D},
    {&D::IDYDZ, &D::VQ_IDYDZ_SET1, &D::VQ_IDYDZ_SET2, &D::VQ_IDYDZ_SET3, brantel::walk::kChainIdydz3D},
    {&D::IDXDYDZ, &D::VQ_IDXDYDZ_SET1, &D::VQ_IDXDYDZ_SET2, &D::VQ_IDXDYDZ_SET3, brantel::walk::kChainIdxdydz3D},
};
constexpr int kFirstIntegralOrdinal = 20;

}  // namespace

const char* VQ_DISTRIBUTION3D::VQ_ContainerId() {
  static const char kSignature[] = "Model DISTRIBUTION3D\tV8.4";
  return kSignature;
}

VQ_DISTRIBUTION3D::VQ_DISTRIBUTION3D(bool bConstruct)
    : USERNOTES(true),
      INPUTSIGNAL(true),
      OUTPUTSIGNAL(true),
      HIGHESTORDERXDERIVATIVE(true),
      HIGHESTORDERYDERIVATIVE(true),
      HIGHESTORDERZDERIVATIVE(true),
      HIGHESTORDERXDERIVATIVEUSED(true),
      HIGHESTORDERYDERIVATIVEUSED(true),
      HIGHESTORDERZDERIVATIVEUSED(true),
      INTEGRALS(true) {
  if (bConstruct) Construct();
}

VQ_DISTRIBUTION3D::~VQ_DISTRIBUTION3D() = default;

VQ_DISTRIBUTION3D& VQ_DISTRIBUTION3D::operator=(const VQ_DISTRIBUTION3D& other) {
  AssignBase(other);
  XDOMAIN = other.XDOMAIN;
  YDOMAIN = other.YDOMAIN;
  ZDOMAIN = other.ZDOMAIN;
  VALUE = other.VALUE;
  VQ_VALUE_SET1 = other.VQ_VALUE_SET1;
  VQ_VALUE_SET2 = other.VQ_VALUE_SET2;
  VQ_VALUE_SET3 = other.VQ_VALUE_SET3;
  USERNOTES = other.USERNOTES;
  INPUTSIGNAL = other.INPUTSIGNAL;
  OUTPUTSIGNAL = other.OUTPUTSIGNAL;
  HIGHESTORDERXDERIVATIVE = other.HIGHESTORDERXDERIVATIVE;
  HIGHESTORDERYDERIVATIVE = other.HIGHESTORDERYDERIVATIVE;
  HIGHESTORDERZDERIVATIVE = other.HIGHESTORDERZDERIVATIVE;
  HIGHESTORDERXDERIVATIVEUSED = other.HIGHESTORDERXDERIVATIVEUSED;
  HIGHESTORDERYDERIVATIVEUSED = other.HIGHESTORDERYDERIVATIVEUSED;
  HIGHESTORDERZDERIVATIVEUSED = other.HIGHESTORDERZDERIVATIVEUSED;
  INTEGRALS = other.INTEGRALS;
  DDX = other.DDX;
  VQ_DDX_SET1 = other.VQ_DDX_SET1;
  VQ_DDX_SET2 = other.VQ_DDX_SET2;
  VQ_DDX_SET3 = other.VQ_DDX_SET3;
  DDY = other.DDY;
  VQ_DDY_SET1 = other.VQ_DDY_SET1;
  VQ_DDY_SET2 = other.VQ_DDY_SET2;
  VQ_DDY_SET3 = other.VQ_DDY_SET3;
  DDZ = other.DDZ;
  VQ_DDZ_SET1 = other.VQ_DDZ_SET1;
  VQ_DDZ_SET2 = other.VQ_DDZ_SET2;
  VQ_DDZ_SET3 = other.VQ_DDZ_SET3;
  D2DX2 = other.D2DX2;
  VQ_D2DX2_SET1 = other.VQ_D2DX2_SET1;
  VQ_D2DX2_SET2 = other.VQ_D2DX2_SET2;
  VQ_D2DX2_SET3 = other.VQ_D2DX2_SET3;
  D2DY2 = other.D2DY2;
  VQ_D2DY2_SET1 = other.VQ_D2DY2_SET1;
  VQ_D2DY2_SET3 = other.VQ_D2DY2_SET3;
  D2DZ2 = other.D2DZ2;
  VQ_D2DZ2_SET1 = other.VQ_D2DZ2_SET1;
  VQ_D2DZ2_SET2 = other.VQ_D2DZ2_SET2;
  IDX = other.IDX;
  VQ_IDX_SET1 = other.VQ_IDX_SET1;
  VQ_IDX_SET2 = other.VQ_IDX_SET2;
  VQ_IDX_SET3 = other.VQ_IDX_SET3;
  IDY = other.IDY;
  VQ_IDY_SET1 = other.VQ_IDY_SET1;
  VQ_IDY_SET2 = other.VQ_IDY_SET2;
  VQ_IDY_SET3 = other.VQ_IDY_SET3;
  IDZ = other.IDZ;
  VQ_IDZ_SET1 = other.VQ_IDZ_SET1;
  VQ_IDZ_SET2 = other.VQ_IDZ_SET2;
  VQ_IDZ_SET3 = other.VQ_IDZ_SET3;
  IDXDY = other.IDXDY;
  VQ_IDXDY_SET1 = other.VQ_IDXDY_SET1;
  VQ_IDXDY_SET2 = other.VQ_IDXDY_SET2;
  VQ_IDXDY_SET3 = other.VQ_IDXDY_SET3;
  IDXDZ = other.IDXDZ;
  VQ_IDXDZ_SET1 = other.VQ_IDXDZ_SET1;
  VQ_IDXDZ_SET2 = other.VQ_IDXDZ_SET2;
  VQ_IDXDZ_SET3 = other.VQ_IDXDZ_SET3;
  IDYDZ = other.IDYDZ;
  VQ_IDYDZ_SET1 = other.VQ_IDYDZ_SET1;
  VQ_IDYDZ_SET2 = other.VQ_IDYDZ_SET2;
  VQ_IDYDZ_SET3 = other.VQ_IDYDZ_SET3;
  IDXDYDZ = other.IDXDYDZ;
  VQ_IDXDYDZ_SET1 = other.VQ_IDXDYDZ_SET1;
  VQ_IDXDYDZ_SET2 = other.VQ_IDXDYDZ_SET2;
  VQ_IDXDYDZ_SET3 = other.VQ_IDXDYDZ_SET3;
  AssignBookkeeping(other);
  return *this;
}

// Each index set right before the array it sizes.
void VQ_DISTRIBUTION3D::Construct() {
  Register(XDOMAIN, "XDOMAIN");
  Register(YDOMAIN, "YDOMAIN");
  Register(ZDOMAIN, "ZDOMAIN");
  Register(VQ_VALUE_SET1, "VQ_VALUE_SET1");
  Register(VQ_VALUE_SET2, "VQ_VALUE_SET2");
  Register(VQ_VALUE_SET3, "VQ_VALUE_SET3");
  Register(VALUE, "VALUE", "Variable value at a node point");
  Register(USERNOTES, "USERNOTES");
  RegisterControlPort(INPUTSIGNAL, "INPUTSIGNAL", kDirectionIn);
  RegisterControlPort(OUTPUTSIGNAL, "OUTPUTSIGNAL", kDirectionOut);
  Register(HIGHESTORDERXDERIVATIVE, "HIGHESTORDERXDERIVATIVE");
  Register(HIGHESTORDERYDERIVATIVE, "HIGHESTORDERYDERIVATIVE");
  Register(HIGHESTORDERZDERIVATIVE, "HIGHESTORDERZDERIVATIVE");
  Register(HIGHESTORDERXDERIVATIVEUSED, "HIGHESTORDERXDERIVATIVEUSED");
  Register(HIGHESTORDERYDERIVATIVEUSED, "HIGHESTORDERYDERIVATIVEUSED");
  Register(HIGHESTORDERZDERIVATIVEUSED, "HIGHESTORDERZDERIVATIVEUSED");
  Register(INTEGRALS, "INTEGRALS",
           "Integrals to be calculated. Valid values: idx, idy, idz, idxdy, idxdz, idydz, idxdydz");
  Register(VQ_DDX_SET1, "VQ_DDX_SET1");
  Register(VQ_DDX_SET2, "VQ_DDX_SET2");
  Register(VQ_DDX_SET3, "VQ_DDX_SET3");
  Register(DDX, "DDX", "1st-order partial deriv wrt x");
  Register(VQ_DDY_SET1, "VQ_DDY_SET1");
  Register(VQ_DDY_SET2, "VQ_DDY_SET2");
  Register(VQ_DDY_SET3, "VQ_DDY_SET3");
  Register(DDY, "DDY", "1st-order partial deriv wrt y");
  Register(VQ_DDZ_SET1, "VQ_DDZ_SET1");
  Register(VQ_DDZ_SET2, "VQ_DDZ_SET2");
  Register(VQ_DDZ_SET3, "VQ_DDZ_SET3");
  Register(DDZ, "DDZ", "1st-order partial deriv wrt z");
  Register(VQ_D2DX2_SET1, "VQ_D2DX2_SET1");
  Register(VQ_D2DX2_SET2, "VQ_D2DX2_SET2");
  Register(VQ_D2DX2_SET3, "VQ_D2DX2_SET3");
  Register(D2DX2, "D2DX2", "2nd-order partial deriv wrt x");
  Register(VQ_D2DY2_SET1, "VQ_D2DY2_SET1");
  Register(VQ_D2DY2_SET3, "VQ_D2DY2_SET3");
  Register(D2DY2, "D2DY2", "2nd-order partial deriv wrt y");
  Register(VQ_D2DZ2_SET1, "VQ_D2DZ2_SET1");
  Register(VQ_D2DZ2_SET2, "VQ_D2DZ2_SET2");
  Register(D2DZ2, "D2DZ2", "2nd-order partial deriv wrt z");
  Register(VQ_IDX_SET1, "VQ_IDX_SET1");
  Register(VQ_IDX_SET2, "VQ_IDX_SET2");
  Register(VQ_IDX_SET3, "VQ_IDX_SET3");
  Register(IDX, "IDX", "integral of distributed variable wrt x");
  Register(VQ_IDY_SET1, "VQ_IDY_SET1");
  Register(VQ_IDY_SET2, "VQ_IDY_SET2");
  Register(VQ_IDY_SET3, "VQ_IDY_SET3");
  Register(IDY, "IDY", "integral of distributed variable wrt y");
  Register(VQ_IDZ_SET1, "VQ_IDZ_SET1");
  Register(VQ_IDZ_SET2, "VQ_IDZ_SET2");
  Register(VQ_IDZ_SET3, "VQ_IDZ_SET3");
  Register(IDZ, "IDZ", "integral of distributed variable wrt z");
  Register(VQ_IDXDY_SET1, "VQ_IDXDY_SET1");
  Register(VQ_IDXDY_SET2, "VQ_IDXDY_SET2");
  Register(VQ_IDXDY_SET3, "VQ_IDXDY_SET3");
  Register(IDXDY, "IDXDY", "integral of distributed variable wrt x and y");
  Register(VQ_IDXDZ_SET1, "VQ_IDXDZ_SET1");
  Register(VQ_IDXDZ_SET2, "VQ_IDXDZ_SET2");
  Register(VQ_IDXDZ_SET3, "VQ_IDXDZ_SET3");
  Register(IDXDZ, "IDXDZ", "integral of distributed variable wrt x and z");
  Register(VQ_IDYDZ_SET1, "VQ_IDYDZ_SET1");
  Register(VQ_IDYDZ_SET2, "VQ_IDYDZ_SET2");
  Register(VQ_IDYDZ_SET3, "VQ_IDYDZ_SET3");
  Register(IDYDZ, "IDYDZ", "integral of distributed variable wrt y and z");
  Register(VQ_IDXDYDZ_SET1, "VQ_IDXDYDZ_SET1");
  Register(VQ_IDXDYDZ_SET2, "VQ_IDXDYDZ_SET2");
  Register(VQ_IDXDYDZ_SET3, "VQ_IDXDYDZ_SET3");
  Register(IDXDYDZ, "IDXDYDZ", "integral of distributed variable wrt x, y and z");
}

void VQ_DISTRIBUTION3D::BindArrays() {
  (*VALUE).SetDim(VQ_VALUE_SET1, VQ_VALUE_SET2, VQ_VALUE_SET3);
  DDX.SetDim(VQ_DDX_SET1, VQ_DDX_SET2, VQ_DDX_SET3);
  DDY.SetDim(VQ_DDY_SET1, VQ_DDY_SET2, VQ_DDY_SET3);
  DDZ.SetDim(VQ_DDZ_SET1, VQ_DDZ_SET2, VQ_DDZ_SET3);
  D2DX2.SetDim(VQ_D2DX2_SET1, VQ_D2DX2_SET2, VQ_D2DX2_SET3);
  D2DY2.SetDim(VQ_D2DY2_SET1, (*YDOMAIN).INTERIOR, VQ_D2DY2_SET3);
  D2DZ2.SetDim(VQ_D2DZ2_SET1, VQ_D2DZ2_SET2, (*ZDOMAIN).INTERIOR);
  for (const Integral& integral : kIntegrals)
    (this->*integral.array).SetDim(this->*integral.x, this->*integral.y, this->*integral.z);
}

// The grids the domains laid are judged before any index set is sized by
// them: a refusal here leaves the distribution and its domains as they were.
void VQ_DISTRIBUTION3D::CheckAssignments(int, int) {
  Subject3D subject(*this);
  if (const brantel::GridFault fault = brantel::walk::CheckDomains(subject, 3)) fault.Raise();
}

void VQ_DISTRIBUTION3D::AssignIndexSets(int a, int b, int pass) {
  brantel::AssignmentStatements put(*this, a, b);
  VQ_DOMAIN& x = *XDOMAIN;
  const int xe = x.ENDNODE.v();
  const int ye = (*YDOMAIN).ENDNODE.v();
  const int ze = (*ZDOMAIN).ENDNODE.v();
  const int ux = HIGHESTORDERXDERIVATIVEUSED.v();
  const int uy = HIGHESTORDERYDERIVATIVEUSED.v();
  const int uz = HIGHESTORDERZDERIVATIVEUSED.v();
  // An array's x set up to xHigh, its y and z sets over every node.
  auto sets = [&](VQ_INTEGERSET& x1, int xHigh, VQ_INTEGERSET& y2, VQ_INTEGERSET& z3, int ordinal) {
    put.IndexSet(x1, VQ_IntSetValue(0, xHigh), ordinal, pass);
    put.IndexSet(y2, VQ_IntSetValue(0, ye), ordinal + 1, pass);
    put.IndexSet(z3, VQ_IntSetValue(0, ze), ordinal + 2, pass);
  };
  sets(VQ_VALUE_SET1, xe, VQ_VALUE_SET2, VQ_VALUE_SET3, 1);
  // Every derivative's first set spans x nodes; its own axis' order gates it.
  sets(VQ_DDX_SET1, (ux > 0 ? 1 : 0) * xe, VQ_DDX_SET2, VQ_DDX_SET3, 4);
  sets(VQ_DDY_SET1, (uy > 0 ? 1 : 0) * xe, VQ_DDY_SET2, VQ_DDY_SET3, 7);
  sets(VQ_DDZ_SET1, (uz > 0 ? 1 : 0) * xe, VQ_DDZ_SET2, VQ_DDZ_SET3, 10);
  VQ_IntSetValue d2dx2(1, (ux > 1 ? 1 : 0) * xe);
  put.IndexSet(VQ_D2DX2_SET1, static_cast<XUValue&>(d2dx2 *= VQ_SetValue((*x.INTERIOR).v())), 13, pass);
  put.IndexSet(VQ_D2DX2_SET2, static_cast<const XUValue&>(ClosedInterior(*YDOMAIN)), 14, pass);
  put.IndexSet(VQ_D2DX2_SET3, static_cast<const XUValue&>(ClosedInterior(*ZDOMAIN)), 15, pass);
  VQ_IntSetValue d2dy2(0, (uy > 1 ? 1 : 0) * xe);
  put.IndexSet(VQ_D2DY2_SET1, static_cast<XUValue&>(d2dy2 *= ClosedInterior(x)), 16, pass);
  put.IndexSet(VQ_D2DY2_SET3, static_cast<const XUValue&>(ClosedInterior(*ZDOMAIN)), 17, pass);
  VQ_IntSetValue d2dz2(0, (uz > 1 ? 1 : 0) * xe);
  put.IndexSet(VQ_D2DZ2_SET1, static_cast<XUValue&>(d2dz2 *= ClosedInterior(x)), 18, pass);
  put.IndexSet(VQ_D2DZ2_SET2, static_cast<const XUValue&>(ClosedInterior(*YDOMAIN)), 19, pass);
  // An integral not asked for gets [0..-XE]: empty unless the domain is one node.
  int ordinal = kFirstIntegralOrdinal;
  for (const Integral& integral : kIntegrals) {
    sets(this->*integral.x, (2 * Held(integral.chain, INTEGRALS) - 1) * xe, this->*integral.y, this->*integral.z,
         ordinal);
    ordinal += 3;
  }
}

void VQ_DISTRIBUTION3D::AssignDefaults(int a, int b) {
  brantel::AssignmentStatements put(*this, a, b);
  put.Assign(HIGHESTORDERXDERIVATIVE, (*XDOMAIN).HIGHESTORDERDERIVATIVE.v(), 41);
  put.Assign(HIGHESTORDERYDERIVATIVE, (*YDOMAIN).HIGHESTORDERDERIVATIVE.v(), 42);
  put.Assign(HIGHESTORDERZDERIVATIVE, (*ZDOMAIN).HIGHESTORDERDERIVATIVE.v(), 43);
  put.Assign(HIGHESTORDERXDERIVATIVEUSED, HIGHESTORDERXDERIVATIVE.v(), 44);
  put.Assign(HIGHESTORDERYDERIVATIVEUSED, HIGHESTORDERYDERIVATIVE.v(), 45);
  put.Assign(HIGHESTORDERZDERIVATIVEUSED, HIGHESTORDERZDERIVATIVE.v(), 46);
  put.Assign(*INTEGRALS, "None", 47);
}

// Both passes walk one description.
int VQ_DISTRIBUTION3D::CountOwnEquations(int& count) {
  Subject3D subject(*this);
  return brantel::walk::CountWalk(*this, brantel::walk::Walk3D(), subject, 3, m_GroupBase, count);
}

void VQ_DISTRIBUTION3D::EmitOwnEquations(int& counter, int*& p, int*& q) {
  Subject3D subject(*this);
  brantel::walk::EmitWalk(*this, *this, brantel::walk::Walk3D(), subject, m_GroupBase, counter, p, q);
}

const char* VQ_DISTRIBUTION3D::ElementsMadeBy(const VQ_Matrix& array) {
  return brantel::walk::ElementsMadeBy(array, *VALUE, {&DDX, &DDY, &DDZ, &D2DX2, &D2DY2, &D2DZ2});
}

BRANTEL_DEFINE_FACTORY(DISTRIBUTION3D)
