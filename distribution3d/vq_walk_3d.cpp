#include "vq_walk_3d.h"

namespace brantel::walk {

namespace {

constexpr int kX = 0;
constexpr int kY = 1;
constexpr int kZ = 2;

// The rows of one method along its own axis, each naming the
// one-dimensional statement whose stencil it applies. The three blocks of a
// method share them; only the axis and the cross loops differ.
struct RowSpec {
  bool loop;      // a node loop [at..to] with its row at k, or one row at `at`
  NodeExpr at, to;
  int twin;
};
constexpr RowSpec One(NodeExpr at, int twin) { return {false, at, {}, twin}; }
constexpr RowSpec Loop(NodeExpr from, NodeExpr to, int twin) { return {true, from, to, twin}; }

struct MethodShape {
  bool collocation;  // rows by element (at b+1, ...) rather than by section
  int firstSection;  // the first-section row at B
  std::array<RowSpec, 4> first;
  int firstCount;
  std::array<RowSpec, 3> second;
  int secondCount;
  int junction;  // at B of a later section, or at a start node b != 0
  std::array<int, 4> integral;  // rows at b+1, ...; one row at k+1 over [B..L-1] when by interval
  int integralCount;
  bool integralByInterval;
};

constexpr MethodShape kShapes[] = {
    // BFD1
    {false, 2, {Loop(B(1), L(), 3)}, 1, {Loop(B(1), L(-1), 4)}, 1, 5, {6}, 1, true},
    // BFD2
    {false, 7, {One(B(1), 8), Loop(B(2), L(), 9)}, 2, {Loop(B(1), L(-1), 10)}, 1, 11, {12, 13}, 2, false},
    // FFD1
    {false, 14, {Loop(B(1), L(-1), 15), One(L(), 16)}, 2, {Loop(B(1), L(-1), 17)}, 1, 18, {19}, 1, true},
    // FFD2
    {false, 20, {Loop(B(1), L(-2), 21), One(L(-1), 22), One(L(), 23)}, 3, {Loop(B(1), L(-1), 24)}, 1, 25, {26, 27},
     2, false},
    // CFD2
    {false, 28, {Loop(B(1), L(-1), 29), One(L(), 30)}, 2, {Loop(B(1), L(-1), 31)}, 1, 32, {33, 34}, 2, false},
    // CFD4
    {false, 35, {One(B(1), 36), Loop(B(2), L(-2), 37), One(L(-1), 38), One(L(), 39)}, 4,
     {One(B(1), 40), Loop(B(2), L(-2), 41), One(L(-1), 42)}, 3, 43, {44, 45, 46, 47}, 4, false},
    // UBFD4
    {false, 48, {One(B(1), 49), One(B(2), 50), Loop(B(3), L(-1), 51), One(L(), 52)}, 4,
     {One(B(1), 53), One(B(2), 54), Loop(B(3), L(-1), 55)}, 3, 56, {57, 58, 59, 60}, 4, false},
    // OCFE2
    {true, 61, {One(J(1), 62), One(J(2), 63)}, 2, {One(J(1), 65)}, 1, 64, {66, 67}, 2, false},
    // OCFE3
    {true, 68, {One(J(1), 69), One(J(2), 70), One(J(3), 71)}, 3, {One(J(1), 73), One(J(2), 74)}, 2, 72,
     {75, 76, 77}, 3, false},
    // OCFE4
    {true, 78, {One(J(1), 79), One(J(2), 80), One(J(3), 81), One(J(4), 82)}, 4,
     {One(J(1), 84), One(J(2), 85), One(J(3), 86)}, 3, 83, {87, 88, 89, 90}, 4, false},
};

// Blocks whose first-derivative cross loops put the earlier cross axis
// outside, and blocks whose second-derivative and junction loops put the
// later one outside; every other block does the opposite.
constexpr bool FirstEarlierOutside(int method, int axis) {
  switch (method) {
    case 6: return axis != kZ;  // UBFD4 X, Y
    case 7: return axis != kX;  // OCFE2 Y, Z
    case 8: case 9: return true;
    default: return false;
  }
}
constexpr bool SecondLaterOutside(int method, int axis) { return axis == kX && (method == 0 || method == 2); }

constexpr int EarlierCross(int axis) { return axis == kX ? kY : kX; }
constexpr int LaterCross(int axis) { return axis == kZ ? kY : kZ; }

constexpr uint8_t FirstDerivative(int axis) { return static_cast<uint8_t>(kDdx3D + axis); }
constexpr uint8_t SecondDerivative(int axis) { return static_cast<uint8_t>(kD2dx23D + axis); }

// The integral families of each own axis: the array defined, its integrand,
// the keyword chain, and the cross axes along which the integrand is
// already integrated (their loops start at node 1).
struct Family {
  uint8_t target, integrand;
  Chain3D chain;
  bool integratedX, integratedY;
};
constexpr Family kFamilies[3][4] = {
    {{kIdx3D, kValue3D, kChainIdx3D, false, false}},
    {{kIdy3D, kValue3D, kChainIdy3D, false, false}, {kIdxdy3D, kIdx3D, kChainIdxdy3D, true, false}},
    {{kIdz3D, kValue3D, kChainIdz3D, false, false},
     {kIdxdz3D, kIdx3D, kChainIdxdz3D, true, false},
     {kIdydz3D, kIdy3D, kChainIdydz3D, false, true},
     {kIdxdydz3D, kIdxdy3D, kChainIdxdydz3D, true, true}},
};
constexpr int kFamilyCount[3] = {1, 2, 4};

constexpr int kCapacity = 4096;

class Builder {
 public:
  constexpr void Add(Op op) { m_Ops[static_cast<size_t>(m_Size++)] = op; }
  constexpr int Size() const { return m_Size; }
  constexpr const Op& At(int i) const { return m_Ops[static_cast<size_t>(i)]; }
  constexpr int Statement() const { return m_Statement; }

  // The twelve integral start rows: each defines a start face's element as
  // zero, the earlier axis' loop outside.
  constexpr void StartRows() {
    m_Statement = 1;
    StartFamily(kChainIdx3D, 1, {{kX, kIdx3D, false, false}});
    StartFamily(kChainIdy3D, 2, {{kY, kIdy3D, false, false}});
    StartFamily(kChainIdz3D, 3, {{kZ, kIdz3D, false, false}});
    StartFamily(kChainIdxdy3D, 4, {{kX, kIdxdy3D, false, false}, {kY, kIdxdy3D, true, false}});
    StartFamily(kChainIdxdz3D, 5, {{kX, kIdxdz3D, false, false}, {kZ, kIdxdz3D, true, false}});
    StartFamily(kChainIdydz3D, 6, {{kY, kIdydz3D, false, false}, {kZ, kIdydz3D, false, true}});
    StartFamily(kChainIdxdydz3D, 7,
                {{kX, kIdxdydz3D, false, false}, {kY, kIdxdydz3D, true, false}, {kZ, kIdxdydz3D, true, true}});
  }

  // The block of method m along `axis`, in group 8 + 3m + axis.
  constexpr void MethodBlock(int m, int axis) {
    const MethodShape& shape = kShapes[m];
    const int group = 8 + 3 * m + axis;
    const int earlier = EarlierCross(axis), later = LaterCross(axis);
    Add(Block(m, axis));

    // First derivatives over the full cross ranges.
    Add(If(Condition::UsedAbove, 0));
    const bool earlierOutside = FirstEarlierOutside(m, axis);
    Add(Cross(earlierOutside ? earlier : later, CrossSet::Full));
    Add(Cross(earlierOutside ? later : earlier, CrossSet::Full));
    Add(Sections());
    Add(If(Condition::FirstSection));
    AddRow(shape.firstSection, group, B(), axis, FirstDerivative(axis), kValue3D);
    if (shape.collocation) {
      Add(Elements());
      Add(ElementStart());
    }
    for (int i = 0; i < shape.firstCount; ++i)
      AddRowSpec(shape.first[static_cast<size_t>(i)], group, axis, FirstDerivative(axis));
    if (shape.collocation) Close(2);
    Close(3);

    // Second derivatives over the closed cross interiors, then the junction
    // row: over a cross axis' closed interior when it comes before the own
    // axis, its full range when after.
    Add(If(Condition::UsedAbove, 1));
    Add(Sections());
    if (shape.collocation) {
      Add(Elements());
      Add(ElementStart());
    }
    const bool laterOutside = SecondLaterOutside(m, axis);
    const int outer = laterOutside ? later : earlier, inner = laterOutside ? earlier : later;
    Add(Cross(outer, CrossSet::ClosedInterior));
    Add(Cross(inner, CrossSet::ClosedInterior));
    for (int i = 0; i < shape.secondCount; ++i)
      AddRowSpec(shape.second[static_cast<size_t>(i)], group, axis, SecondDerivative(axis));
    Close(2);
    if (shape.collocation) {
      Add(If(Condition::StartNotZero));
      Add(If(Condition::HighestIs, 2));
    } else {
      Add(If(Condition::LaterSection));
    }
    Add(Cross(outer, outer < axis ? CrossSet::ClosedInterior : CrossSet::Full));
    Add(Cross(inner, inner < axis ? CrossSet::ClosedInterior : CrossSet::Full));
    AddRow(shape.junction, group, shape.collocation ? J() : B(), axis, FirstDerivative(axis), kValue3D);
    Close(2);
    if (shape.collocation) Close(2);
    Close(1);

    // Integral families, the later cross axis outside.
    for (int f = 0; f < kFamilyCount[axis]; ++f) {
      const Family& family = kFamilies[axis][f];
      Add(If(Condition::Has, family.chain));
      Add(Cross(later, Integrated(family, later) ? CrossSet::Integrated : CrossSet::Full));
      Add(Cross(earlier, Integrated(family, earlier) ? CrossSet::Integrated : CrossSet::Full));
      Add(Sections());
      if (shape.integralByInterval) {
        Add(Nodes(B(), L(-1)));
        AddRow(shape.integral[0], group, K(1), axis, family.target, family.integrand);
        Close(1);
      } else {
        Add(Elements());
        Add(ElementStart());
        for (int i = 0; i < shape.integralCount; ++i)
          AddRow(shape.integral[static_cast<size_t>(i)], group, J(i + 1), axis, family.target, family.integrand);
        Close(2);
      }
      Close(3);
    }
    Close(1);
  }

 private:
  struct Face {
    int axis;  // the axis whose index is 0
    uint8_t target;
    bool fromOneX, fromOneY;  // the x (y) loop starts at 1: that line belongs to an earlier face
  };

  static constexpr bool Integrated(const Family& family, int axis) {
    return (axis == kX && family.integratedX) || (axis == kY && family.integratedY);
  }

  constexpr void StartFamily(Chain3D chain, int group, std::initializer_list<Face> faces) {
    Add(If(Condition::Has, chain));
    Add(Group());
    for (const Face& face : faces) {
      const int first = face.axis == kX ? kY : kX, second = face.axis == kZ ? kY : kZ;
      auto set = [&](int axis) {
        return (axis == kX && face.fromOneX) || (axis == kY && face.fromOneY) ? CrossSet::Integrated : CrossSet::Full;
      };
      Add(Cross(first, set(first)));
      Add(Cross(second, set(second)));
      Add(Row(m_Statement++, 1, group, Zero(), face.axis, face.target, face.target));
      Close(2);
    }
    Close(1);
  }

  constexpr void AddRow(int twin, int group, NodeExpr at, int axis, uint8_t target, uint8_t integrand) {
    Add(Row(m_Statement++, twin, group, at, axis, target, integrand));
  }
  constexpr void AddRowSpec(const RowSpec& spec, int group, int axis, uint8_t target) {
    if (spec.loop) {
      Add(Nodes(spec.at, spec.to));
      AddRow(spec.twin, group, K(), axis, target, kValue3D);
      Close(1);
    } else {
      AddRow(spec.twin, group, spec.at, axis, target, kValue3D);
    }
  }
  constexpr void Close(int count) {
    for (int i = 0; i < count; ++i) Add(End());
  }

  std::array<Op, kCapacity> m_Ops{};
  int m_Size = 0;
  int m_Statement = 1;
};

// Start rows first; then methods first, axes second: X, Y and Z block of a
// method before the next method.
constexpr Builder Build() {
  Builder builder;
  builder.StartRows();
  for (int m = 0; m < 10; ++m)
    for (int axis = kX; axis <= kZ; ++axis) builder.MethodBlock(m, axis);
  return builder;
}

constexpr Builder kBuilt = Build();
static_assert(kBuilt.Statement() == 380, "the walk names 379 statements");

constexpr auto kProgram = [] {
  std::array<Op, static_cast<size_t>(kBuilt.Size())> ops{};
  for (int i = 0; i < kBuilt.Size(); ++i) ops[static_cast<size_t>(i)] = kBuilt.At(i);
  return ops;
}();
constexpr auto kEnds = ItemEnds(kProgram);
constexpr Program kWalk{kProgram.data(), kEnds.data(), static_cast<int>(kProgram.size())};

}  // namespace

const Program& Walk3D() { return kWalk; }

}  // namespace brantel::walk
