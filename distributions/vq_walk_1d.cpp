#include "vq_walk_1d.h"

namespace brantel::walk {

namespace {

// Rows by the array they define; each applies its own statement's stencil.
constexpr Op D(int statement, int group, NodeExpr at) { return Row(statement, statement, group, at, 0, kDdx1D, kValue1D); }
constexpr Op D2(int statement, int group, NodeExpr at) {
  return Row(statement, statement, group, at, 0, kD2dx21D, kValue1D);
}
constexpr Op I(int statement, int group, NodeExpr at) { return Row(statement, statement, group, at, 0, kIdx1D, kValue1D); }

constexpr Op Used(int above) { return If(Condition::UsedAbove, above); }
constexpr Op HasIdx() { return If(Condition::Has, kIdxChain1D); }
constexpr Op FirstSection() { return If(Condition::FirstSection); }
constexpr Op LaterSection() { return If(Condition::LaterSection); }

// Finite differences: three parts, each with its own section loop, so all
// first-derivative rows of all sections come before the first
// second-derivative row. Collocation: the section loop is outermost.
constexpr std::array kProgram = {
    // The integral start row.
    HasIdx(), I(1, 1, Zero()),

    // BFD1
    Block(0, 0),
    Used(0), Sections(), FirstSection(), D(2, 2, B()), Nodes(B(1), L()), D(3, 2, K()), End(), End(),
    Used(1), Sections(), Nodes(B(1), L(-1)), D2(4, 2, K()), End(), LaterSection(), D(5, 2, B()), End(),
    HasIdx(), Sections(), Nodes(B(), L(-1)), I(6, 2, K(1)), End(), End(),
    End(),

    // BFD2
    Block(1, 0),
    Used(0), Sections(), FirstSection(), D(7, 3, B()), D(8, 3, B(1)), Nodes(B(2), L()), D(9, 3, K()), End(), End(),
    Used(1), Sections(), Nodes(B(1), L(-1)), D2(10, 3, K()), End(), LaterSection(), D(11, 3, B()), End(),
    HasIdx(), Sections(), Elements(), ElementStart(), I(12, 3, J(1)), I(13, 3, J(2)), End(), End(), End(),
    End(),

    // FFD1
    Block(2, 0),
    Used(0), Sections(), FirstSection(), D(14, 4, B()), Nodes(B(1), L(-1)), D(15, 4, K()), End(), D(16, 4, L()),
    End(),
    Used(1), Sections(), Nodes(B(1), L(-1)), D2(17, 4, K()), End(), LaterSection(), D(18, 4, B()), End(),
    HasIdx(), Sections(), Nodes(B(), L(-1)), I(19, 4, K(1)), End(), End(),
    End(),

    // FFD2
    Block(3, 0),
    Used(0), Sections(), FirstSection(), D(20, 5, B()), Nodes(B(1), L(-2)), D(21, 5, K()), End(), D(22, 5, L(-1)),
    D(23, 5, L()), End(),
    Used(1), Sections(), Nodes(B(1), L(-1)), D2(24, 5, K()), End(), LaterSection(), D(25, 5, B()), End(),
    HasIdx(), Sections(), Elements(), ElementStart(), I(26, 5, J(1)), I(27, 5, J(2)), End(), End(), End(),
    End(),

    // CFD2
    Block(4, 0),
    Used(0), Sections(), FirstSection(), D(28, 6, B()), Nodes(B(1), L(-1)), D(29, 6, K()), End(), D(30, 6, L()),
    End(),
    Used(1), Sections(), Nodes(B(1), L(-1)), D2(31, 6, K()), End(), LaterSection(), D(32, 6, B()), End(),
    HasIdx(), Sections(), Elements(), ElementStart(), I(33, 6, J(1)), I(34, 6, J(2)), End(), End(), End(),
    End(),

    // CFD4
    Block(5, 0),
    Used(0), Sections(), FirstSection(), D(35, 7, B()), D(36, 7, B(1)), Nodes(B(2), L(-2)), D(37, 7, K()), End(),
    D(38, 7, L(-1)), D(39, 7, L()), End(),
    Used(1), Sections(), D2(40, 7, B(1)), Nodes(B(2), L(-2)), D2(41, 7, K()), End(), D2(42, 7, L(-1)),
    LaterSection(), D(43, 7, B()), End(),
    HasIdx(), Sections(), Elements(), ElementStart(), I(44, 7, J(1)), I(45, 7, J(2)), I(46, 7, J(3)),
    I(47, 7, J(4)), End(), End(), End(),
    End(),

    // UBFD4
    Block(6, 0),
    Used(0), Sections(), FirstSection(), D(48, 8, B()), D(49, 8, B(1)), D(50, 8, B(2)), Nodes(B(3), L(-1)),
    D(51, 8, K()), End(), D(52, 8, L()), End(),
    Used(1), Sections(), D2(53, 8, B(1)), D2(54, 8, B(2)), Nodes(B(3), L(-1)), D2(55, 8, K()), End(),
    LaterSection(), D(56, 8, B()), End(),
    HasIdx(), Sections(), Elements(), ElementStart(), I(57, 8, J(1)), I(58, 8, J(2)), I(59, 8, J(3)),
    I(60, 8, J(4)), End(), End(), End(),
    End(),

    // OCFE2
    Block(7, 0),
    Sections(),
      Used(0), Group(), FirstSection(), D(61, 9, B()),
        Elements(), ElementStart(), D(62, 9, J(1)), D(63, 9, J(2)), End(), End(), End(),
      Used(1), Elements(), ElementStart(), If(Condition::StartNotZero), If(Condition::HighestIs, 2), D(64, 9, J()),
        D2(65, 9, J(1)), End(), End(),
      HasIdx(), Elements(), ElementStart(), I(66, 9, J(1)), I(67, 9, J(2)), End(), End(),
    End(),
    End(),

    // OCFE3
    Block(8, 0),
    Sections(),
      Used(0), Group(), FirstSection(), D(68, 10, B()),
        Elements(), ElementStart(), D(69, 10, J(1)), D(70, 10, J(2)), D(71, 10, J(3)), End(), End(), End(),
      Used(1), Elements(), ElementStart(), If(Condition::StartNotZero), If(Condition::HighestIs, 2),
        D(72, 10, J()), D2(73, 10, J(1)), D2(74, 10, J(2)), End(), End(),
      HasIdx(), Elements(), ElementStart(), I(75, 10, J(1)), I(76, 10, J(2)), I(77, 10, J(3)), End(), End(),
    End(),
    End(),

    // OCFE4
    Block(9, 0),
    Sections(),
      Used(0), Group(), FirstSection(), D(78, 11, B()),
        Elements(), ElementStart(), D(79, 11, J(1)), D(80, 11, J(2)), D(81, 11, J(3)), D(82, 11, J(4)), End(),
        End(), End(),
      Used(1), Elements(), ElementStart(), If(Condition::StartNotZero), If(Condition::HighestIs, 2),
        D(83, 11, J()), D2(84, 11, J(1)), D2(85, 11, J(2)), D2(86, 11, J(3)), End(), End(),
      HasIdx(), Elements(), ElementStart(), I(87, 11, J(1)), I(88, 11, J(2)), I(89, 11, J(3)), I(90, 11, J(4)),
        End(), End(),
    End(),
    End(),
};

constexpr auto kEnds = ItemEnds(kProgram);
constexpr Program kWalk{kProgram.data(), kEnds.data(), static_cast<int>(kProgram.size())};

}  // namespace

const Program& Walk1D() { return kWalk; }

}  // namespace brantel::walk
