// The two-dimensional streams checked numerically: VALUE sampled from a
// product of polynomials in x and y, the derivative and integral arrays set
// to the exact values, every emitted row evaluated; the pairing of the two
// passes; and that every element of the index sets is defined.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "support/distribution_fixture.h"
#include "support/polynomials.h"
#include "support/stencil_checks.h"
#include "support/walk_text.h"
#include "vq_walk_2d.h"

namespace {

const char* const kMethods[] = {"BFD1", "BFD2", "FFD1", "FFD2", "CFD2", "CFD4", "UBFD4", "OCFE2", "OCFE3", "OCFE4"};

// The one-dimensional stencil each statement applies.
int StencilOf(const EmittedRow& row) {
  return RowOf(brantel::walk::Walk2D(), std::stoi(row.name.substr(6)))->stencil;
}

// x on method m, y on another, each of two sections (and one of a single
// interval on a first-order method), with second
// derivatives and all three integrals; `order` is both domains' highest.
void Configure(Distribution2DFixture& f, int m, const char* order) {
  f.Set("XDOMAIN.DISCRETIZATIONMETHOD", kMethods[m]);
  f.Set("YDOMAIN.DISCRETIZATIONMETHOD", kMethods[(m + 3) % 10]);
  for (const char* axis : {"XDOMAIN", "YDOMAIN"}) {
    f.Set(std::string(axis) + ".HIGHESTORDERDERIVATIVE", order);
    f.Set(std::string(axis) + ".NUMSECTIONS", "2");
  }
  f.Set("YDOMAIN.LENGTH", "0.7");
  f.Set("YDOMAIN.SECTION(2).SPACINGPREFERENCE", "0.03");
  EndInOneIntervalSection(f, "XDOMAIN", kMethods[m], 2);
  EndInOneIntervalSection(f, "YDOMAIN", kMethods[(m + 3) % 10], 2);
  f.Set("HIGHESTORDERXDERIVATIVEUSED", "2");
  f.Set("HIGHESTORDERYDERIVATIVEUSED", "2");
  f.Set("INTEGRALS", "idx,idy,idxdy");
}

// Every element (i, j) of a two-dimensional array's declared sets.
template <class Visit>
void ForEachElement(VQ_Matrix& array, Visit visit) {
  for (VQ_IntegerSetIter i(array.DeclaredSet(0)->v()); i.Next();)
    for (VQ_IntegerSetIter j(array.DeclaredSet(1)->v()); j.Next();) visit(i.v(), j.v());
}

// VALUE = p(x) q(y), the others exact.
void Sample(Distribution2DFixture& f, const Polynomial& p, const Polynomial& q) {
  VQ_DISTRIBUTION2D& d = f.d;
  const std::vector<double> x = Coordinates(*d.XDOMAIN), y = Coordinates(*d.YDOMAIN);
  auto cell = [](const Polynomial& r, const std::vector<double>& at, int k) {
    return k > 0 ? r.Antiderivative(at[k]) - r.Antiderivative(at[k - 1]) : 0.0;
  };
  ForEachElement(*d.VALUE, [&](int i, int j) { (*d.VALUE)(i, j).SetValue(p.P(x[i]) * q.P(y[j])); });
  ForEachElement(d.DDX, [&](int i, int j) { d.DDX(i, j).SetValue(p.D1(x[i]) * q.P(y[j])); });
  ForEachElement(d.DDY, [&](int i, int j) { d.DDY(i, j).SetValue(p.P(x[i]) * q.D1(y[j])); });
  ForEachElement(d.D2DX2, [&](int i, int j) { d.D2DX2(i, j).SetValue(p.D2(x[i]) * q.P(y[j])); });
  ForEachElement(d.D2DY2, [&](int i, int j) { d.D2DY2(i, j).SetValue(p.P(x[i]) * q.D2(y[j])); });
  ForEachElement(d.IDX, [&](int i, int j) { d.IDX(i, j).SetValue(cell(p, x, i) * q.P(y[j])); });
  ForEachElement(d.IDY, [&](int i, int j) { d.IDY(i, j).SetValue(p.P(x[i]) * cell(q, y, j)); });
  ForEachElement(d.IDXDY, [&](int i, int j) { d.IDXDY(i, j).SetValue(cell(p, x, i) * cell(q, y, j)); });
}

TEST(Stencils2D, ResidualsVanishOnPolynomialsUpToTheirDegree) {
  for (int m = 0; m < 10; ++m) {
    for (const char* order : {"1", "2"}) {
      Distribution2DFixture f;
      Configure(f, m, order);
      f.Run();
      std::vector<EmittedRow> rows = f.Rows();
      ASSERT_FALSE(rows.empty());
      for (int degree = 0; degree <= 4; ++degree) {
        Sample(f, Polynomial{degree}, Polynomial{degree, 0.7, -0.9});
        for (const EmittedRow& row : rows) {
          const int stencil = StencilOf(row);
          if (StencilDegree(stencil) < degree) continue;
          const double relative = RelativeResidual(f.d.State(), row);
          EXPECT_LT(relative, CollocationStencil(stencil) ? 1e-3 : 1e-12)
              << kMethods[m] << " order " << order << ", degree " << degree << ": " << row.Where();
        }
      }
    }
  }
}

TEST(Stencils2D, BothPassesAgreeInstanceByInstance) {
  for (int m = 0; m < 10; ++m) {
    Distribution2DFixture f;
    Configure(f, m, "2");
    f.Run();
    ExpectBothPassesAgree(f.Rows(), f.d.State(), f.d.m_OwnNonZeroCount, kMethods[m]);
  }
}

// With second-order domains every index-set element has one defining
// equation; DDX two at x junctions (for every y), DDY two at y junctions
// for the x nodes of the closed x interior; no reference leaves the sets.
TEST(Stencils2D, EveryIndexSetElementIsDefinedOnce) {
  for (int m = 0; m < 10; ++m) {
    Distribution2DFixture f;
    Configure(f, m, "2");
    f.Run();
    VQ_DISTRIBUTION2D& d = f.d;
    std::map<const VQ_VarParam*, int> definitions = DefiningEquations(f.Rows(), kMethods[m]);
    const std::set<int> xJunctions = JunctionNodes(*d.XDOMAIN), yJunctions = JunctionNodes(*d.YDOMAIN);
    ASSERT_FALSE(xJunctions.empty());
    ASSERT_FALSE(yJunctions.empty());
    auto check = [&](const char* name, auto& array, auto expected) {
      int elements = 0;
      ForEachElement(array, [&](int i, int j) {
        ++elements;
        EXPECT_EQ(definitions[&array(i, j)], expected(i, j)) << kMethods[m] << " " << name << "(" << i << "," << j << ")";
      });
      EXPECT_GT(elements, 0) << kMethods[m] << " " << name;
    };
    auto once = [](int, int) { return 1; };
    check("DDX", d.DDX, [&](int i, int) { return xJunctions.count(i) ? 2 : 1; });
    check("DDY", d.DDY, [&](int i, int j) { return yJunctions.count(j) && InClosedInterior(*d.XDOMAIN, i) ? 2 : 1; });
    check("D2DX2", d.D2DX2, once);
    check("D2DY2", d.D2DY2, once);
    check("IDX", d.IDX, once);
    check("IDY", d.IDY, once);
    check("IDXDY", d.IDXDY, once);
  }
}

}  // namespace
