#include "vq_stencils.h"

#include "kyvexp.h"

namespace brantel {

namespace {

using F = Form;

// The stencils, each once; weights at offsets from the defined node.
// Finite differences: integer weights but the trapezoid's 0.5.
constexpr Stencil kStart{F::StartRow, 0, {}};
constexpr Stencil kForward1{F::Dh, 2, {W(0, -1), W(1, 1)}};
constexpr Stencil kBackward1{F::Dh, 2, {W(-1, -1), W(0, 1)}};
constexpr Stencil kSecond3{F::D2h2, 3, {W(-1, 1), W(0, -2), W(1, 1)}};
constexpr Stencil kTrapezoid{F::IntegralH, 2, {R(-1, 0.5), R(0, 0.5)}};
constexpr Stencil kForward2{F::TwoDh, 3, {W(0, -3), W(1, 4), W(2, -1)}};
constexpr Stencil kCentral2{F::TwoDh, 2, {W(-1, -1), W(1, 1)}};
constexpr Stencil kBackward2{F::TwoDh, 3, {W(-2, 1), W(-1, -4), W(0, 3)}};
constexpr Stencil kParabola1{F::IntegralOverC12H, 3, {W(-1, 5), W(0, 8), W(1, -1)}};
constexpr Stencil kParabola2{F::IntegralOverC12H, 3, {W(-2, -1), W(-1, 8), W(0, 5)}};
// Fourth order: five-point stencils over the first and last nodes of a
// section, central ones between.
constexpr Stencil kFirst4At0{F::TwentyFourDh, 5, {W(0, -50), W(1, 96), W(2, -72), W(3, 32), W(4, -6)}};
constexpr Stencil kFirst4At1{F::TwentyFourDh, 5, {W(-1, -6), W(0, -20), W(1, 36), W(2, -12), W(3, 2)}};
constexpr Stencil kFirst4Central{F::TwentyFourDh, 4, {W(-2, 2), W(-1, -16), W(1, 16), W(2, -2)}};
constexpr Stencil kFirst4At3{F::TwentyFourDh, 5, {W(-3, -2), W(-2, 12), W(-1, -36), W(0, 20), W(1, 6)}};
constexpr Stencil kFirst4At4{F::TwentyFourDh, 5, {W(-4, 6), W(-3, -32), W(-2, 72), W(-1, -96), W(0, 50)}};
constexpr Stencil kSecond4At1{F::TwelveD2h2, 5, {W(-1, 11), W(0, -20), W(1, 6), W(2, 4), W(3, -1)}};
constexpr Stencil kSecond4Central{F::TwelveD2h2, 5, {W(-2, -1), W(-1, 16), W(0, -30), W(1, 16), W(2, -1)}};
constexpr Stencil kSecond4At3{F::TwelveD2h2, 5, {W(-3, -1), W(-2, 4), W(-1, 6), W(0, -20), W(1, 11)}};
constexpr Stencil kQuartic1{F::IntegralC720H, 5, {W(-1, 251), W(0, 646), W(1, -264), W(2, 106), W(3, -19)}};
constexpr Stencil kQuartic2{F::IntegralC720H, 5, {W(-2, -19), W(-1, 346), W(0, 456), W(1, -74), W(2, 11)}};
constexpr Stencil kQuartic3{F::IntegralC720H, 5, {W(-3, 11), W(-2, -74), W(-1, 456), W(0, 346), W(1, -19)}};
constexpr Stencil kQuartic4{F::IntegralC720H, 5, {W(-4, -19), W(-3, 106), W(-2, -264), W(-1, 646), W(0, 251)}};
// Orthogonal collocation: every weight a double, with at most five decimals
// as stored (0.04166, not 0.04167).
constexpr Stencil kOcfe2First0{F::Dh, 3, {R(0, -3.0), R(1, 4.0), R(2, -1.0)}};
constexpr Stencil kOcfe2First1{F::Dh, 2, {R(-1, -1.0), R(1, 1.0)}};
constexpr Stencil kOcfe2First2{F::Dh, 3, {R(-2, 1.0), R(-1, -4.0), R(0, 3.0)}};
constexpr Stencil kOcfe2Second1{F::D2h2, 3, {R(-1, 4.0), R(0, -8.0), R(1, 4.0)}};
constexpr Stencil kOcfe2Integral1{F::IntegralH, 3, {R(-1, 0.20833), R(0, 0.33333), R(1, -0.04166)}};
constexpr Stencil kOcfe2Integral2{F::IntegralH, 3, {R(-2, -0.04166), R(-1, 0.33333), R(0, 0.20833)}};
constexpr Stencil kOcfe3First0{F::Dh, 4, {R(0, -7.0), R(1, 8.19615), R(2, -2.19615), R(3, 1.0)}};
constexpr Stencil kOcfe3First1{F::Dh, 4, {R(-1, -2.73205), R(0, 1.73205), R(1, 1.73205), R(2, -0.73205)}};
constexpr Stencil kOcfe3First2{F::Dh, 4, {R(-2, 0.73205), R(-1, -1.73205), R(0, -1.73205), R(1, 2.73205)}};
constexpr Stencil kOcfe3First3{F::Dh, 4, {R(-3, -1.0), R(-2, 2.19615), R(-1, -8.19615), R(0, 7.0)}};
constexpr Stencil kOcfe3Second1{F::D2h2, 4, {R(-1, 16.3923), R(0, -24.0), R(1, 12.0), R(2, -4.3923)}};
constexpr Stencil kOcfe3Second2{F::D2h2, 4, {R(-2, -4.3923), R(-1, 12.0), R(0, -24.0), R(1, 16.3923)}};
constexpr Stencil kOcfe3Integral1{F::IntegralH, 4, {R(-1, 0.08978), R(0, 0.12972), R(1, -0.01462), R(2, 0.00645)}};
constexpr Stencil kOcfe3Integral2{F::IntegralH, 4, {R(-2, -0.09623), R(-1, 0.3849), R(0, 0.3849), R(1, -0.09623)}};
constexpr Stencil kOcfe3Integral3{F::IntegralH, 4, {R(-3, 0.00645), R(-2, -0.01462), R(-1, 0.12972), R(0, 0.08978)}};
constexpr Stencil kOcfe4First0{
    F::Dh, 5, {R(0, -13.0), R(1, 14.78831), R(2, -2.66667), R(3, 1.87836), R(4, -1.0)}};
constexpr Stencil kOcfe4First1{
    F::Dh, 5, {R(-1, -5.32379), R(0, 3.87298), R(1, 2.06559), R(2, -1.29099), R(3, 0.67621)}};
constexpr Stencil kOcfe4First2{F::Dh, 4, {R(-2, 1.5), R(-1, -3.22749), R(1, 3.22749), R(2, -1.5)}};
constexpr Stencil kOcfe4First3{
    F::Dh, 5, {R(-3, -0.67621), R(-2, 1.29099), R(-1, -2.06559), R(0, -3.87298), R(1, 5.32379)}};
constexpr Stencil kOcfe4First4{
    F::Dh, 5, {R(-4, 1.0), R(-3, -1.87836), R(-2, 2.66667), R(-1, -14.78831), R(0, 13.0)}};
constexpr Stencil kOcfe4Second1{
    F::D2h2, 5, {R(-1, 53.2379), R(0, -73.33333), R(1, 26.66666), R(2, -13.33333), R(3, 6.7621)}};
constexpr Stencil kOcfe4Second2{
    F::D2h2, 5, {R(-2, -6.0), R(-1, 16.66667), R(0, -21.33334), R(1, 16.66667), R(2, -6.0)}};
constexpr Stencil kOcfe4Second3{
    F::D2h2, 5, {R(-3, 6.7621), R(-2, -13.33333), R(-1, 26.66666), R(0, -73.33333), R(1, 53.2379)}};
constexpr Stencil kOcfe4Integral1{
    F::IntegralH, 5, {R(-1, 0.04824), R(0, 0.06788), R(1, -0.00499), R(2, 0.00333), R(3, -0.00176)}};
constexpr Stencil kOcfe4Integral2{
    F::IntegralH, 5, {R(-2, -0.07949), R(-1, 0.27272), R(0, 0.22722), R(1, -0.06616), R(2, 0.03301)}};
constexpr Stencil kOcfe4Integral3{
    F::IntegralH, 5, {R(-3, 0.03301), R(-2, -0.06616), R(-1, 0.22722), R(0, 0.27272), R(1, -0.07949)}};
constexpr Stencil kOcfe4Integral4{
    F::IntegralH, 5, {R(-4, -0.00176), R(-3, 0.00333), R(-2, -0.00499), R(-1, 0.06788), R(0, 0.04824)}};

// Statement number to stencil.
constexpr std::array<Stencil, kStatements1D + 1> kStencils = {
    kStart,  // unused
    kStart,
    // BFD1: 2 to 6
    kForward1, kBackward1, kSecond3, kForward1, kTrapezoid,
    // BFD2: 7 to 13
    kForward2, kCentral2, kBackward2, kSecond3, kForward2, kParabola1, kParabola2,
    // FFD1: 14 to 19
    kForward1, kForward1, kBackward1, kSecond3, kForward1, kTrapezoid,
    // FFD2: 20 to 27
    kForward2, kForward2, kCentral2, kBackward2, kSecond3, kForward2, kParabola1, kParabola2,
    // CFD2: 28 to 34
    kForward2, kCentral2, kBackward2, kSecond3, kForward2, kParabola1, kParabola2,
    // CFD4: 35 to 47
    kFirst4At0, kFirst4At1, kFirst4Central, kFirst4At3, kFirst4At4, kSecond4At1, kSecond4Central, kSecond4At3,
    kFirst4At0, kQuartic1, kQuartic2, kQuartic3, kQuartic4,
    // UBFD4: 48 to 60
    kFirst4At0, kFirst4At1, kFirst4Central, kFirst4At3, kFirst4At4, kSecond4At1, kSecond4Central, kSecond4At3,
    kFirst4At0, kQuartic1, kQuartic2, kQuartic3, kQuartic4,
    // OCFE2: 61 to 67
    kOcfe2First0, kOcfe2First1, kOcfe2First2, kOcfe2First0, kOcfe2Second1, kOcfe2Integral1, kOcfe2Integral2,
    // OCFE3: 68 to 77
    kOcfe3First0, kOcfe3First1, kOcfe3First2, kOcfe3First3, kOcfe3First0, kOcfe3Second1, kOcfe3Second2,
    kOcfe3Integral1, kOcfe3Integral2, kOcfe3Integral3,
    // OCFE4: 78 to 90
    kOcfe4First0, kOcfe4First1, kOcfe4First2, kOcfe4First3, kOcfe4First4, kOcfe4First0, kOcfe4Second1,
    kOcfe4Second2, kOcfe4Second3, kOcfe4Integral1, kOcfe4Integral2, kOcfe4Integral3, kOcfe4Integral4,
};

// --- The layout rule, evaluated at compile time. ---

constexpr bool Negative(const Weight& w) { return w.real ? w.value < 0.0 : w.integer < 0; }
constexpr bool MinusOne(const Weight& w) { return w.real ? w.value == -1.0 : w.integer == -1; }
constexpr bool UnitMagnitude(const Weight& w) {
  return w.real ? (w.value == 1.0 || w.value == -1.0) : (w.integer == 1 || w.integer == -1);
}

class Builder {
 public:
  constexpr void Op(int code) { Push({StreamItem::Op, code, 0.0}); }
  constexpr void Integer(int value) { Push({StreamItem::Integer, value, 0.0}); }
  constexpr void Real(double value) { Push({StreamItem::Real, 0, value}); }
  constexpr void Defined() { Push({StreamItem::Defined, 0, 0.0}); }
  constexpr void Step() { Push({StreamItem::Step, 0, 0.0}); }
  constexpr void Integrand(int offset) { Push({StreamItem::Integrand, offset, 0.0}); }
  constexpr void Constant(const Weight& w, bool magnitude) {
    if (w.real) Real(magnitude && w.value < 0.0 ? -w.value : w.value);
    else Integer(magnitude && w.integer < 0 ? -w.integer : w.integer);
  }
  // A term: the first with its signed weight, the others with its magnitude.
  constexpr void Term(const Weight& w, bool first) {
    const bool bare = first ? (MinusOne(w) ? false : UnitMagnitude(w)) : UnitMagnitude(w);
    if (!bare) {
      Op(EOp_Multiply);
      Constant(w, !first);
    }
    Integrand(w.offset);
  }
  // The sum of terms [0, count): its joins, last join outermost, then the terms.
  constexpr void Sum(const std::array<Weight, kMaxWeights>& terms, int count) {
    for (int i = count - 1; i >= 1; --i) Op(Negative(terms[static_cast<size_t>(i)]) ? EOp_Subtract : EOp_Add);
    for (int i = 0; i < count; ++i) Term(terms[static_cast<size_t>(i)], i == 0);
  }
  constexpr StreamTemplate Done() const { return m_Template; }

 private:
  constexpr void Push(StreamItem item) { m_Template.items[static_cast<size_t>(m_Template.count++)] = item; }
  StreamTemplate m_Template{};
};

constexpr void DefiningSide(Builder& b, Form form) {
  switch (form) {
    case F::Dh: b.Op(EOp_Multiply), b.Defined(), b.Step(); break;
    case F::TwoDh: b.Op(EOp_Multiply), b.Integer(2), b.Op(EOp_Multiply), b.Defined(), b.Step(); break;
    case F::TwentyFourDh: b.Op(EOp_Multiply), b.Integer(24), b.Op(EOp_Multiply), b.Defined(), b.Step(); break;
    case F::D2h2: b.Op(EOp_Multiply), b.Defined(), b.Op(EOp_Square), b.Step(); break;
    case F::TwelveD2h2:
      b.Op(EOp_Multiply), b.Integer(12), b.Op(EOp_Multiply), b.Defined(), b.Op(EOp_Square), b.Step();
      break;
    case F::IntegralOverC12H: b.Op(EOp_Divide), b.Defined(), b.Op(EOp_Multiply), b.Real(kC12), b.Step(); break;
    default: b.Defined(); break;  // the integral itself
  }
}

constexpr StreamTemplate Lay(const Stencil& s) {
  Builder b;
  if (s.form == F::StartRow) {
    b.Op(EOp_Code1);
    b.Defined();
    return b.Done();
  }
  std::array<Weight, kMaxWeights> terms = s.weights;
  if (s.count >= 2 && MinusOne(terms[0])) {
    Weight first = terms[0];
    terms[0] = terms[1];
    terms[1] = first;
  }
  const bool sumIsRightSide = s.form != F::IntegralH && s.form != F::IntegralC720H;
  const bool lastJoinMinus = s.count >= 2 && Negative(terms[static_cast<size_t>(s.count - 1)]);
  if (sumIsRightSide && lastJoinMinus) {
    // L + (t - A), t the last term and A the sum before it.
    b.Op(EOp_Add);
    DefiningSide(b, s.form);
    b.Op(EOp_Subtract);
    b.Term(terms[static_cast<size_t>(s.count - 1)], false);
    b.Sum(terms, s.count - 1);
    return b.Done();
  }
  b.Op(EOp_Subtract);
  DefiningSide(b, s.form);
  if (s.form == F::IntegralH) {
    b.Op(EOp_Multiply), b.Step();
  } else if (s.form == F::IntegralC720H) {
    b.Op(EOp_Multiply), b.Real(kC720), b.Op(EOp_Multiply), b.Step();
  }
  b.Sum(terms, s.count);
  return b.Done();
}

constexpr std::array<StreamTemplate, kStatements1D + 1> LayAll() {
  std::array<StreamTemplate, kStatements1D + 1> all{};
  for (size_t i = 1; i < all.size(); ++i) all[i] = Lay(kStencils[i]);
  return all;
}

}  // namespace

constexpr std::array<StreamTemplate, kStatements1D + 1> kStreamTemplates = LayAll();

namespace {
constexpr std::array<StreamTemplate, kStatements1D + 1> ReferencesOfAll() {
  std::array<StreamTemplate, kStatements1D + 1> all{};
  for (size_t i = 0; i < all.size(); ++i)
    for (int k = 0; k < kStreamTemplates[i].count; ++k) {
      const StreamItem& item = kStreamTemplates[i].items[static_cast<size_t>(k)];
      if (item.kind >= StreamItem::Defined) all[i].items[static_cast<size_t>(all[i].count++)] = item;
    }
  return all;
}
}  // namespace

constexpr std::array<StreamTemplate, kStatements1D + 1> kReferenceTemplates = ReferencesOfAll();

const Stencil& StencilOf(int statement) { return kStencils[static_cast<size_t>(statement)]; }
StreamTemplate LayOut(const Stencil& stencil) { return Lay(stencil); }

}  // namespace brantel
