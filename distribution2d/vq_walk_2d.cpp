#include "vq_walk_2d.h"

namespace brantel::walk {

namespace {

constexpr int kX = 0;
constexpr int kY = 1;

// Rows of an x-block (own axis x) and of a y-block (own axis y), by the
// array they define and the one-dimensional statement whose stencil they
// apply along their axis.
constexpr Op DX(int statement, int twin, int group, NodeExpr at) {
  return Row(statement, twin, group, at, kX, kDdx2D, kValue2D);
}
constexpr Op D2X(int statement, int twin, int group, NodeExpr at) {
  return Row(statement, twin, group, at, kX, kD2dx22D, kValue2D);
}
constexpr Op IX(int statement, int twin, int group, NodeExpr at) {
  return Row(statement, twin, group, at, kX, kIdx2D, kValue2D);
}
constexpr Op DY(int statement, int twin, int group, NodeExpr at) {
  return Row(statement, twin, group, at, kY, kDdy2D, kValue2D);
}
constexpr Op D2Y(int statement, int twin, int group, NodeExpr at) {
  return Row(statement, twin, group, at, kY, kD2dy22D, kValue2D);
}
constexpr Op IY(int statement, int twin, int group, NodeExpr at) {
  return Row(statement, twin, group, at, kY, kIdy2D, kValue2D);
}
// IDX integrated along y into IDXDY.
constexpr Op IXY(int statement, int twin, int group, NodeExpr at) {
  return Row(statement, twin, group, at, kY, kIdxdy2D, kIdx2D);
}

constexpr Op Used(int above) { return If(Condition::UsedAbove, above); }
constexpr Op Has(Chain2D chain) { return If(Condition::Has, chain); }
constexpr Op FirstSection() { return If(Condition::FirstSection); }
constexpr Op LaterSection() { return If(Condition::LaterSection); }
constexpr Op StartNotZero() { return If(Condition::StartNotZero); }
constexpr Op Highest2() { return If(Condition::HighestIs, 2); }
// Cross loops over the other axis: its full node range A, its closed
// interior S, or the integrated range [1..ENDNODE].
constexpr Op A(int axis) { return Cross(axis, CrossSet::Full); }
constexpr Op S(int axis) { return Cross(axis, CrossSet::ClosedInterior); }
constexpr Op Integrated(int axis) { return Cross(axis, CrossSet::Integrated); }

// Methods first, axes second: the x-block of a method, then its y-block,
// then the next method. First-derivative and integral parts loop over the
// cross nodes outermost; second-derivative parts over the sections.
constexpr std::array kProgram = {
    // The integral start rows.
    Has(kChainIdxOrIdxdy), A(kY), Row(1, 1, 1, Zero(), kX, kIdx2D, kValue2D), End(),
    Has(kChainIdy), A(kX), Row(2, 1, 2, Zero(), kY, kIdy2D, kValue2D), End(),
    Has(kChainIdxdy), Group(),
      A(kY), Row(3, 1, 3, Zero(), kX, kIdxdy2D, kIdx2D), End(),
      Integrated(kX), Row(4, 1, 3, Zero(), kY, kIdxdy2D, kIdx2D), End(),
    End(),

    // BFD1
    Block(0, kX),
      Used(0), A(kY), Sections(), FirstSection(), DX(5, 2, 4, B()), Nodes(B(1), L()), DX(6, 3, 4, K()), End(), End(), End(),
      Used(1), Sections(), S(kY), Nodes(B(1), L(-1)), D2X(7, 4, 4, K()), End(), End(),
        A(kY), LaterSection(), DX(8, 5, 4, B()), End(), End(),
      Has(kChainIdxOrIdxdy), A(kY), Sections(), Nodes(B(), L(-1)), IX(9, 6, 4, K(1)), End(), End(), End(),
    End(),
    Block(0, kY),
      Used(0), A(kX), Sections(), FirstSection(), DY(10, 2, 5, B()), Nodes(B(1), L()), DY(11, 3, 5, K()), End(), End(), End(),
      Used(1), Sections(), S(kX), Nodes(B(1), L(-1)), D2Y(12, 4, 5, K()), End(), End(),
        LaterSection(), S(kX), DY(13, 5, 5, B()), End(), End(),
      Has(kChainIdy), A(kX), Sections(), Nodes(B(), L(-1)), IY(14, 6, 5, K(1)), End(), End(), End(),
      Has(kChainIdxdy), Integrated(kX), Sections(), Nodes(B(), L(-1)), IXY(15, 6, 5, K(1)), End(), End(), End(),
    End(),

    // BFD2
    Block(1, kX),
      Used(0), A(kY), Sections(), FirstSection(), DX(16, 7, 6, B()), DX(17, 8, 6, B(1)), Nodes(B(2), L()),
        DX(18, 9, 6, K()), End(), End(), End(),
      Used(1), Sections(), S(kY), Nodes(B(1), L(-1)), D2X(19, 10, 6, K()), End(), End(),
        A(kY), LaterSection(), DX(20, 11, 6, B()), End(), End(),
      Has(kChainIdxOrIdxdy), A(kY), Sections(), Elements(), ElementStart(), IX(21, 12, 6, J(1)), IX(22, 13, 6, J(2)),
        End(), End(), End(), End(),
    End(),
    Block(1, kY),
      Used(0), A(kX), Sections(), FirstSection(), DY(23, 7, 7, B()), DY(24, 8, 7, B(1)), Nodes(B(2), L()),
        DY(25, 9, 7, K()), End(), End(), End(),
      Used(1), Sections(), S(kX), Nodes(B(1), L(-1)), D2Y(26, 10, 7, K()), End(), End(),
        LaterSection(), S(kX), DY(27, 11, 7, B()), End(), End(),
      Has(kChainIdy), A(kX), Sections(), Elements(), ElementStart(), IY(28, 12, 7, J(1)), IY(29, 13, 7, J(2)),
        End(), End(), End(), End(),
      Has(kChainIdxdy), Integrated(kX), Sections(), Elements(), ElementStart(), IXY(30, 12, 7, J(1)),
        IXY(31, 13, 7, J(2)), End(), End(), End(), End(),
    End(),

    // FFD1
    Block(2, kX),
      Used(0), A(kY), Sections(), FirstSection(), DX(32, 14, 8, B()), Nodes(B(1), L(-1)), DX(33, 15, 8, K()), End(),
        DX(34, 16, 8, L()), End(), End(),
      Used(1), Sections(), S(kY), Nodes(B(1), L(-1)), D2X(35, 17, 8, K()), End(), End(),
        A(kY), LaterSection(), DX(36, 18, 8, B()), End(), End(),
      Has(kChainIdxOrIdxdy), A(kY), Sections(), Nodes(B(), L(-1)), IX(37, 19, 8, K(1)), End(), End(), End(),
    End(),
    Block(2, kY),
      Used(0), A(kX), Sections(), FirstSection(), DY(38, 14, 9, B()), Nodes(B(1), L(-1)), DY(39, 15, 9, K()), End(),
        DY(40, 16, 9, L()), End(), End(),
      Used(1), Sections(), S(kX), Nodes(B(1), L(-1)), D2Y(41, 17, 9, K()), End(), End(),
        LaterSection(), S(kX), DY(42, 18, 9, B()), End(), End(),
      Has(kChainIdy), A(kX), Sections(), Nodes(B(), L(-1)), IY(43, 19, 9, K(1)), End(), End(), End(),
      Has(kChainIdxdy), Integrated(kX), Sections(), Nodes(B(), L(-1)), IXY(44, 19, 9, K(1)), End(), End(), End(),
    End(),

    // FFD2
    Block(3, kX),
      Used(0), A(kY), Sections(), FirstSection(), DX(45, 20, 10, B()), Nodes(B(1), L(-2)), DX(46, 21, 10, K()), End(),
        DX(47, 22, 10, L(-1)), DX(48, 23, 10, L()), End(), End(),
      Used(1), Sections(), S(kY), Nodes(B(1), L(-1)), D2X(49, 24, 10, K()), End(), End(),
        A(kY), LaterSection(), DX(50, 25, 10, B()), End(), End(),
      Has(kChainIdxOrIdxdy), A(kY), Sections(), Elements(), ElementStart(), IX(51, 26, 10, J(1)), IX(52, 27, 10, J(2)),
        End(), End(), End(), End(),
    End(),
    Block(3, kY),
      Used(0), A(kX), Sections(), FirstSection(), DY(53, 20, 11, B()), Nodes(B(1), L(-2)), DY(54, 21, 11, K()), End(),
        DY(55, 22, 11, L(-1)), DY(56, 23, 11, L()), End(), End(),
      Used(1), Sections(), S(kX), Nodes(B(1), L(-1)), D2Y(57, 24, 11, K()), End(), End(),
        LaterSection(), S(kX), DY(58, 25, 11, B()), End(), End(),
      Has(kChainIdy), A(kX), Sections(), Elements(), ElementStart(), IY(59, 26, 11, J(1)), IY(60, 27, 11, J(2)),
        End(), End(), End(), End(),
      Has(kChainIdxdy), Integrated(kX), Sections(), Elements(), ElementStart(), IXY(61, 26, 11, J(1)),
        IXY(62, 27, 11, J(2)), End(), End(), End(), End(),
    End(),

    // CFD2
    Block(4, kX),
      Used(0), A(kY), Sections(), FirstSection(), DX(63, 28, 12, B()), Nodes(B(1), L(-1)), DX(64, 29, 12, K()), End(),
        DX(65, 30, 12, L()), End(), End(),
      Used(1), Sections(), S(kY), Nodes(B(1), L(-1)), D2X(66, 31, 12, K()), End(), End(),
        A(kY), LaterSection(), DX(67, 32, 12, B()), End(), End(),
      Has(kChainIdxOrIdxdy), A(kY), Sections(), Elements(), ElementStart(), IX(68, 33, 12, J(1)), IX(69, 34, 12, J(2)),
        End(), End(), End(), End(),
    End(),
    Block(4, kY),
      Used(0), A(kX), Sections(), FirstSection(), DY(70, 28, 13, B()), Nodes(B(1), L(-1)), DY(71, 29, 13, K()), End(),
        DY(72, 30, 13, L()), End(), End(),
      Used(1), Sections(), S(kX), Nodes(B(1), L(-1)), D2Y(73, 31, 13, K()), End(), End(),
        LaterSection(), S(kX), DY(74, 32, 13, B()), End(), End(),
      Has(kChainIdy), A(kX), Sections(), Elements(), ElementStart(), IY(75, 33, 13, J(1)), IY(76, 34, 13, J(2)),
        End(), End(), End(), End(),
      Has(kChainIdxdy), Integrated(kX), Sections(), Elements(), ElementStart(), IXY(77, 33, 13, J(1)),
        IXY(78, 34, 13, J(2)), End(), End(), End(), End(),
    End(),

    // CFD4
    Block(5, kX),
      Used(0), A(kY), Sections(), FirstSection(), DX(79, 35, 14, B()), DX(80, 36, 14, B(1)), Nodes(B(2), L(-2)),
        DX(81, 37, 14, K()), End(), DX(82, 38, 14, L(-1)), DX(83, 39, 14, L()), End(), End(),
      Used(1), Sections(), S(kY), D2X(84, 40, 14, B(1)), Nodes(B(2), L(-2)), D2X(85, 41, 14, K()), End(),
        D2X(86, 42, 14, L(-1)), End(), A(kY), LaterSection(), DX(87, 43, 14, B()), End(), End(),
      Has(kChainIdxOrIdxdy), A(kY), Sections(), Elements(), ElementStart(), IX(88, 44, 14, J(1)), IX(89, 45, 14, J(2)),
        IX(90, 46, 14, J(3)), IX(91, 47, 14, J(4)), End(), End(), End(), End(),
    End(),
    Block(5, kY),
      Used(0), A(kX), Sections(), FirstSection(), DY(92, 35, 15, B()), DY(93, 36, 15, B(1)), Nodes(B(2), L(-2)),
        DY(94, 37, 15, K()), End(), DY(95, 38, 15, L(-1)), DY(96, 39, 15, L()), End(), End(),
      Used(1), Sections(), S(kX), D2Y(97, 40, 15, B(1)), Nodes(B(2), L(-2)), D2Y(98, 41, 15, K()), End(),
        D2Y(99, 42, 15, L(-1)), End(), LaterSection(), Group(), S(kX), DY(100, 43, 15, B()), End(), End(), End(),
      Has(kChainIdy), A(kX), Sections(), Elements(), ElementStart(), IY(101, 44, 15, J(1)), IY(102, 45, 15, J(2)),
        IY(103, 46, 15, J(3)), IY(104, 47, 15, J(4)), End(), End(), End(), End(),
      Has(kChainIdxdy), Integrated(kX), Sections(), Elements(), ElementStart(), IXY(105, 44, 15, J(1)),
        IXY(106, 45, 15, J(2)), IXY(107, 46, 15, J(3)), IXY(108, 47, 15, J(4)), End(), End(), End(), End(),
    End(),

    // UBFD4
    Block(6, kX),
      Used(0), A(kY), Sections(), FirstSection(), DX(109, 48, 16, B()), DX(110, 49, 16, B(1)), DX(111, 50, 16, B(2)),
        Nodes(B(3), L(-1)), DX(112, 51, 16, K()), End(), DX(113, 52, 16, L()), End(), End(),
      Used(1), Sections(), S(kY), D2X(114, 53, 16, B(1)), D2X(115, 54, 16, B(2)), Nodes(B(3), L(-1)),
        D2X(116, 55, 16, K()), End(), End(), A(kY), LaterSection(), DX(117, 56, 16, B()), End(), End(),
      Has(kChainIdxOrIdxdy), A(kY), Sections(), Elements(), ElementStart(), IX(118, 57, 16, J(1)),
        IX(119, 58, 16, J(2)), IX(120, 59, 16, J(3)), IX(121, 60, 16, J(4)), End(), End(), End(), End(),
    End(),
    Block(6, kY),
      Used(0), A(kX), Sections(), FirstSection(), DY(122, 48, 17, B()), DY(123, 49, 17, B(1)), DY(124, 50, 17, B(2)),
        Nodes(B(3), L(-1)), DY(125, 51, 17, K()), End(), DY(126, 52, 17, L()), End(), End(),
      Used(1), Sections(), S(kX), D2Y(127, 53, 17, B(1)), D2Y(128, 54, 17, B(2)), Nodes(B(3), L(-1)),
        D2Y(129, 55, 17, K()), End(), End(), LaterSection(), Group(), S(kX), DY(130, 56, 17, B()), End(), End(), End(),
      Has(kChainIdy), A(kX), Sections(), Elements(), ElementStart(), IY(131, 57, 17, J(1)), IY(132, 58, 17, J(2)),
        IY(133, 59, 17, J(3)), IY(134, 60, 17, J(4)), End(), End(), End(), End(),
      Has(kChainIdxdy), Integrated(kX), Sections(), Elements(), ElementStart(), IXY(135, 57, 17, J(1)),
        IXY(136, 58, 17, J(2)), IXY(137, 59, 17, J(3)), IXY(138, 60, 17, J(4)), End(), End(), End(), End(),
    End(),

    // OCFE2: the junction row after the second-derivative row along x,
    // before it along y.
    Block(7, kX),
      Used(0), A(kY), Sections(), FirstSection(), DX(139, 61, 18, B()), Elements(), ElementStart(),
        DX(140, 62, 18, J(1)), DX(141, 63, 18, J(2)), End(), End(), End(), End(),
      Used(1), Sections(), Elements(), ElementStart(), S(kY), D2X(142, 65, 18, J(1)), End(),
        A(kY), StartNotZero(), Highest2(), DX(143, 64, 18, J()), End(), End(), End(), End(),
      Has(kChainIdxOrIdxdy), A(kY), Sections(), Elements(), ElementStart(), IX(144, 66, 18, J(1)),
        IX(145, 67, 18, J(2)), End(), End(), End(), End(),
    End(),
    Block(7, kY),
      Used(0), A(kX), Sections(), FirstSection(), DY(146, 61, 19, B()), Elements(), ElementStart(),
        DY(147, 62, 19, J(1)), DY(148, 63, 19, J(2)), End(), End(), End(), End(),
      Used(1), Sections(), Elements(), ElementStart(), StartNotZero(), Highest2(), S(kX), DY(149, 64, 19, J()), End(),
        S(kX), D2Y(150, 65, 19, J(1)), End(), End(), End(), End(),
      Has(kChainIdy), A(kX), Sections(), Elements(), ElementStart(), IY(151, 66, 19, J(1)), IY(152, 67, 19, J(2)),
        End(), End(), End(), End(),
      Has(kChainIdxdy), Integrated(kX), Sections(), Elements(), ElementStart(), IXY(153, 66, 19, J(1)),
        IXY(154, 67, 19, J(2)), End(), End(), End(), End(),
    End(),

    // OCFE3: the junction row first along x, last along y.
    Block(8, kX),
      Used(0), A(kY), Sections(), FirstSection(), DX(155, 68, 20, B()), Elements(), ElementStart(),
        DX(156, 69, 20, J(1)), DX(157, 70, 20, J(2)), DX(158, 71, 20, J(3)), End(), End(), End(), End(),
      Used(1), Sections(), Elements(), ElementStart(), StartNotZero(), Highest2(), A(kY), DX(159, 72, 20, J()), End(),
        S(kY), D2X(160, 73, 20, J(1)), D2X(161, 74, 20, J(2)), End(), End(), End(), End(),
      Has(kChainIdxOrIdxdy), A(kY), Sections(), Elements(), ElementStart(), IX(162, 75, 20, J(1)),
        IX(163, 76, 20, J(2)), IX(164, 77, 20, J(3)), End(), End(), End(), End(),
    End(),
    Block(8, kY),
      Used(0), A(kX), Sections(), FirstSection(), DY(165, 68, 21, B()), Elements(), ElementStart(),
        DY(166, 69, 21, J(1)), DY(167, 70, 21, J(2)), DY(168, 71, 21, J(3)), End(), End(), End(), End(),
      Used(1), Sections(), Elements(), ElementStart(), S(kX), D2Y(169, 73, 21, J(1)), D2Y(170, 74, 21, J(2)), End(),
        StartNotZero(), Highest2(), S(kX), DY(171, 72, 21, J()), End(), End(), End(), End(),
      Has(kChainIdy), A(kX), Sections(), Elements(), ElementStart(), IY(172, 75, 21, J(1)), IY(173, 76, 21, J(2)),
        IY(174, 77, 21, J(3)), End(), End(), End(), End(),
      Has(kChainIdxdy), Integrated(kX), Sections(), Elements(), ElementStart(), IXY(175, 75, 21, J(1)),
        IXY(176, 76, 21, J(2)), IXY(177, 77, 21, J(3)), End(), End(), End(), End(),
    End(),

    // OCFE4: the junction row first along x, last along y.
    Block(9, kX),
      Used(0), A(kY), Sections(), FirstSection(), DX(178, 78, 22, B()), Elements(), ElementStart(),
        DX(179, 79, 22, J(1)), DX(180, 80, 22, J(2)), DX(181, 81, 22, J(3)), DX(182, 82, 22, J(4)), End(), End(),
        End(), End(),
      Used(1), Sections(), Elements(), ElementStart(), StartNotZero(), Highest2(), A(kY), DX(183, 83, 22, J()), End(),
        S(kY), D2X(184, 84, 22, J(1)), D2X(185, 85, 22, J(2)), D2X(186, 86, 22, J(3)), End(), End(), End(), End(),
      Has(kChainIdxOrIdxdy), A(kY), Sections(), Elements(), ElementStart(), IX(187, 87, 22, J(1)),
        IX(188, 88, 22, J(2)), IX(189, 89, 22, J(3)), IX(190, 90, 22, J(4)), End(), End(), End(), End(),
    End(),
    Block(9, kY),
      Used(0), A(kX), Sections(), FirstSection(), DY(191, 78, 23, B()), Elements(), ElementStart(),
        DY(192, 79, 23, J(1)), DY(193, 80, 23, J(2)), DY(194, 81, 23, J(3)), DY(195, 82, 23, J(4)), End(), End(),
        End(), End(),
      Used(1), Sections(), Elements(), ElementStart(), S(kX), D2Y(196, 84, 23, J(1)), D2Y(197, 85, 23, J(2)),
        D2Y(198, 86, 23, J(3)), End(), StartNotZero(), Highest2(), S(kX), DY(199, 83, 23, J()), End(), End(), End(),
        End(),
      Has(kChainIdy), A(kX), Sections(), Elements(), ElementStart(), IY(200, 87, 23, J(1)), IY(201, 88, 23, J(2)),
        IY(202, 89, 23, J(3)), IY(203, 90, 23, J(4)), End(), End(), End(), End(),
      Has(kChainIdxdy), Integrated(kX), Sections(), Elements(), ElementStart(), IXY(204, 87, 23, J(1)),
        IXY(205, 88, 23, J(2)), IXY(206, 89, 23, J(3)), IXY(207, 90, 23, J(4)), End(), End(), End(), End(),
    End(),
};

constexpr auto kEnds = ItemEnds(kProgram);
constexpr Program kWalk{kProgram.data(), kEnds.data(), static_cast<int>(kProgram.size())};

}  // namespace

const Program& Walk2D() { return kWalk; }

}  // namespace brantel::walk
