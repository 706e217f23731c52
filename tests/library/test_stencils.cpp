// Every stencil checked numerically: the runtime's evaluator on the emitted
// equations, with VALUE sampled from polynomials at the domain's node
// coordinates and DDX, D2DX2, IDX set to the exact derivatives and
// integrals; the pairing of the two passes; and that every element of the
// index sets is defined.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "support/distribution_fixture.h"
#include "support/polynomials.h"
#include "support/stencil_checks.h"

namespace {

const char* const kMethods[] = {"BFD1", "BFD2", "FFD1", "FFD2", "CFD2", "CFD4", "UBFD4", "OCFE2", "OCFE3", "OCFE4"};

int Statement(const EmittedRow& row) { return std::stoi(row.name.substr(6)); }

// A grid of one, two or three sections; with three, each has its own spacing
// (and a first-order method one more section, of one interval).
void Configure(Distribution1DFixture& f, const char* method, int sections) {
  f.Set("XDOMAIN.DISCRETIZATIONMETHOD", method);
  f.Set("XDOMAIN.HIGHESTORDERDERIVATIVE", "2");
  f.Set("XDOMAIN.NUMSECTIONS", std::to_string(sections));
  f.Set("INTEGRALS", "idx");
  if (sections == 3) {
    f.Set("XDOMAIN.SECTION(2).SPACINGPREFERENCE", "0.02");
    f.Set("XDOMAIN.SECTION(3).SPACINGPREFERENCE", "0.05");
    EndInOneIntervalSection(f, "XDOMAIN", method, sections);
  }
}

void Sample(Distribution1DFixture& f, const Polynomial& p) {
  VQ_DOMAIN& x = f.X();
  const int end = x.ENDNODE.v();
  for (int k = 0; k <= end; ++k) {
    const double at = (*x.VALUE)(k).v();
    (*f.d.VALUE)(k).SetValue(p.P(at));
    f.d.DDX(k).SetValue(p.D1(at));
    if (f.d.VQ_D2DX2_SET1.v() >= k) f.d.D2DX2(k).SetValue(p.D2(at));
    const double before = k > 0 ? (*x.VALUE)(k - 1).v() : at;
    f.d.IDX(k).SetValue(k > 0 ? p.Antiderivative(at) - p.Antiderivative(before) : 0.0);
  }
}

TEST(Stencils, ResidualsVanishOnPolynomialsUpToTheirDegree) {
  for (const char* method : kMethods) {
    for (int sections : {1, 2, 3}) {
      Distribution1DFixture f;
      Configure(f, method, sections);
      f.Run();
      std::vector<EmittedRow> rows = f.Rows();
      ASSERT_FALSE(rows.empty());
      double worstCollocation = 0.0;
      for (int degree = 0; degree <= 4; ++degree) {
        Sample(f, Polynomial{degree});
        for (const EmittedRow& row : rows) {
          const int statement = Statement(row);
          if (StencilDegree(statement) < degree) continue;
          const double relative = RelativeResidual(f.d.State(), row);
          if (CollocationStencil(statement)) {
            worstCollocation = std::max(worstCollocation, relative);
            EXPECT_LT(relative, 1e-3) << method << " " << sections << " sections, degree " << degree << ": " << row.Where();
          } else {
            EXPECT_LT(relative, 1e-12) << method << " " << sections << " sections, degree " << degree << ": " << row.Where();
          }
        }
      }
      // The collocation constants carry five decimals: close, not exact.
      if (CollocationStencil(Statement(rows.back()))) {
        EXPECT_GT(worstCollocation, 1e-9) << method;
      }
    }
  }
}

TEST(Stencils, BothPassesAgreeInstanceByInstance) {
  for (const char* method : kMethods) {
    for (int sections : {1, 3}) {
      Distribution1DFixture f;
      Configure(f, method, sections);
      f.Run();
      ExpectBothPassesAgree(f.Rows(), f.d.State(), f.d.m_OwnNonZeroCount, method);
    }
  }
}

// In a consistent configuration every element of the DDX, D2DX2 and IDX
// index sets has one defining equation, DDX two at the junctions that get a
// continuity row, and no equation reaches outside the index sets.
TEST(Stencils, EveryIndexSetElementIsDefinedOnce) {
  for (const char* method : kMethods) {
    for (int sections : {1, 3}) {
      Distribution1DFixture f;
      Configure(f, method, sections);
      f.Run();
      std::map<const VQ_VarParam*, int> definitions = DefiningEquations(f.Rows(), method);
      const std::set<int> junctions = JunctionNodes(f.X());
      auto check = [&](const char* name, VQ_INTEGERSET& set, auto& array, bool allowJunctions) {
        VQ_IntegerSetIter it(set.v());
        int elements = 0;
        while (it.Next()) {
          ++elements;
          const int expected = (allowJunctions && junctions.count(it.v())) ? 2 : 1;
          EXPECT_EQ(definitions[&array(it.v())], expected) << method << " " << name << "(" << it.v() << ")";
        }
        EXPECT_GT(elements, 0) << method << " " << name;
      };
      check("DDX", f.d.VQ_DDX_SET1, f.d.DDX, true);
      check("D2DX2", f.d.VQ_D2DX2_SET1, f.d.D2DX2, false);
      check("IDX", f.d.VQ_IDX_SET1, f.d.IDX, false);
    }
  }
}

}  // namespace
