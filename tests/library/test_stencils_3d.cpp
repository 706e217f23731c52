// The three-dimensional streams checked numerically: VALUE sampled from a
// product of polynomials in x, y and z, the derivative and integral arrays
// set to the exact values, every emitted row evaluated; the pairing of the
// two passes; and that every element of the index sets is defined.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <set>

#include "support/distribution_fixture.h"
#include "support/polynomials.h"
#include "support/stencil_checks.h"
#include "support/walk_text.h"
#include "vq_walk_3d.h"

namespace {

const char* const kMethods[] = {"BFD1", "BFD2", "FFD1", "FFD2", "CFD2", "CFD4", "UBFD4", "OCFE2", "OCFE3", "OCFE4"};
const char* const kAxes[] = {"XDOMAIN", "YDOMAIN", "ZDOMAIN"};

int StencilOf(const EmittedRow& row) { return RowOf(brantel::walk::Walk3D(), std::stoi(row.name.substr(6)))->stencil; }

// x on method m, y and z on two others; two sections on every axis, of
// lengths and spacings of their own (and one of a single interval on a
// first-order method), second derivatives and all seven
// integrals; `order` is every domain's highest.
void Configure(Distribution3DFixture& f, int m, const char* order) {
  for (int a = 0; a < 3; ++a) {
    const std::string axis = kAxes[a];
    f.Set(axis + ".DISCRETIZATIONMETHOD", kMethods[(m + 4 * a) % 10]);
    f.Set(axis + ".HIGHESTORDERDERIVATIVE", order);
    f.Set(axis + ".NUMSECTIONS", "2");
    f.Set(axis + ".LENGTH", a == 0 ? "1" : a == 1 ? "0.7" : "1.3");
    f.Set(axis + ".SPACINGPREFERENCE", "0.5");
    EndInOneIntervalSection(f, axis, kMethods[(m + 4 * a) % 10], 2);
  }
  f.Set("HIGHESTORDERXDERIVATIVEUSED", "2");
  f.Set("HIGHESTORDERYDERIVATIVEUSED", "2");
  f.Set("HIGHESTORDERZDERIVATIVEUSED", "2");
  f.Set("INTEGRALS", "idx,idy,idz,idxdy,idxdz,idydz,idxdydz");
}

// Every element (i, j, k) of a three-dimensional array's declared sets.
template <class Visit>
void ForEachElement(VQ_Matrix& array, Visit visit) {
  for (VQ_IntegerSetIter i(array.DeclaredSet(0)->v()); i.Next();)
    for (VQ_IntegerSetIter j(array.DeclaredSet(1)->v()); j.Next();)
      for (VQ_IntegerSetIter k(array.DeclaredSet(2)->v()); k.Next();) visit(i.v(), j.v(), k.v());
}

// A factor along one axis: the value, a derivative or the integral over the
// interval that ends at the node (0 at node 0).
enum class Along { Value, D1, D2, Interval };

struct Factor {
  const Polynomial& p;
  const std::vector<double>& at;
  double operator()(Along what, int n) const {
    switch (what) {
      case Along::D1: return p.D1(at[n]);
      case Along::D2: return p.D2(at[n]);
      case Along::Interval: return n > 0 ? p.Antiderivative(at[n]) - p.Antiderivative(at[n - 1]) : 0.0;
      default: return p.P(at[n]);
    }
  }
};

// VALUE = p(x) q(y) r(z), the others exact.
void Sample(Distribution3DFixture& f, const std::array<Polynomial, 3>& p) {
  VQ_DISTRIBUTION3D& d = f.d;
  const std::vector<double> x = Coordinates(*d.XDOMAIN), y = Coordinates(*d.YDOMAIN), z = Coordinates(*d.ZDOMAIN);
  const Factor fx{p[0], x}, fy{p[1], y}, fz{p[2], z};
  using A = Along;
  auto fill = [&](auto& array, A ax, A ay, A az) {
    ForEachElement(array, [&](int i, int j, int k) { array(i, j, k).SetValue(fx(ax, i) * fy(ay, j) * fz(az, k)); });
  };
  fill(*d.VALUE, A::Value, A::Value, A::Value);
  fill(d.DDX, A::D1, A::Value, A::Value);
  fill(d.DDY, A::Value, A::D1, A::Value);
  fill(d.DDZ, A::Value, A::Value, A::D1);
  fill(d.D2DX2, A::D2, A::Value, A::Value);
  fill(d.D2DY2, A::Value, A::D2, A::Value);
  fill(d.D2DZ2, A::Value, A::Value, A::D2);
  fill(d.IDX, A::Interval, A::Value, A::Value);
  fill(d.IDY, A::Value, A::Interval, A::Value);
  fill(d.IDZ, A::Value, A::Value, A::Interval);
  fill(d.IDXDY, A::Interval, A::Interval, A::Value);
  fill(d.IDXDZ, A::Interval, A::Value, A::Interval);
  fill(d.IDYDZ, A::Value, A::Interval, A::Interval);
  fill(d.IDXDYDZ, A::Interval, A::Interval, A::Interval);
}

TEST(Stencils3D, ResidualsVanishOnPolynomialsUpToTheirDegree) {
  for (int m = 0; m < 10; ++m) {
    for (const char* order : {"1", "2"}) {
      Distribution3DFixture f;
      Configure(f, m, order);
      f.Run();
      std::vector<EmittedRow> rows = f.Rows();
      ASSERT_FALSE(rows.empty());
      for (int degree = 0; degree <= 4; ++degree) {
        Sample(f, {Polynomial{degree}, Polynomial{degree, 0.7, -0.9}, Polynomial{degree, 1.1, 0.6}});
        for (const EmittedRow& row : rows) {
          const int stencil = StencilOf(row);
          if (StencilDegree(stencil) < degree) continue;
          EXPECT_LT(RelativeResidual(f.d.State(), row), CollocationStencil(stencil) ? 1e-3 : 1e-12)
              << kMethods[m] << " order " << order << ", degree " << degree << ": " << row.Where();
        }
      }
    }
  }
}

TEST(Stencils3D, BothPassesAgreeInstanceByInstance) {
  for (int m = 0; m < 10; ++m) {
    Distribution3DFixture f;
    Configure(f, m, "2");
    f.Run();
    ExpectBothPassesAgree(f.Rows(), f.d.State(), f.d.m_OwnNonZeroCount, kMethods[m]);
  }
}

// With second-order domains every index-set element has one defining
// equation; a first derivative two at its own axis' junctions, for the
// cross nodes its junction rows visit (the closed interior of an earlier
// axis, every node of a later one); no reference leaves the sets.
TEST(Stencils3D, EveryIndexSetElementIsDefinedOnce) {
  for (int m = 0; m < 10; ++m) {
    Distribution3DFixture f;
    Configure(f, m, "2");
    f.Run();
    VQ_DISTRIBUTION3D& d = f.d;
    std::map<const VQ_VarParam*, int> definitions = DefiningEquations(f.Rows(), kMethods[m]);
    const std::set<int> xJ = JunctionNodes(*d.XDOMAIN), yJ = JunctionNodes(*d.YDOMAIN), zJ = JunctionNodes(*d.ZDOMAIN);
    auto check = [&](const char* name, auto& array, auto expected) {
      int elements = 0;
      ForEachElement(array, [&](int i, int j, int k) {
        ++elements;
        EXPECT_EQ(definitions[&array(i, j, k)], expected(i, j, k))
            << kMethods[m] << " " << name << "(" << i << "," << j << "," << k << ")";
      });
      EXPECT_GT(elements, 0) << kMethods[m] << " " << name;
    };
    auto once = [](int, int, int) { return 1; };
    check("DDX", d.DDX, [&](int i, int, int) { return xJ.count(i) ? 2 : 1; });
    check("DDY", d.DDY, [&](int i, int j, int) { return yJ.count(j) && InClosedInterior(*d.XDOMAIN, i) ? 2 : 1; });
    check("DDZ", d.DDZ, [&](int i, int j, int k) {
      return zJ.count(k) && InClosedInterior(*d.XDOMAIN, i) && InClosedInterior(*d.YDOMAIN, j) ? 2 : 1;
    });
    check("D2DX2", d.D2DX2, once);
    check("D2DY2", d.D2DY2, once);
    check("D2DZ2", d.D2DZ2, once);
    check("IDX", d.IDX, once);
    check("IDY", d.IDY, once);
    check("IDZ", d.IDZ, once);
    check("IDXDY", d.IDXDY, once);
    check("IDXDZ", d.IDXDZ, once);
    check("IDYDZ", d.IDYDZ, once);
    check("IDXDYDZ", d.IDXDYDZ, once);
  }
}

}  // namespace
