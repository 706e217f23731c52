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
#include "support/walk_text.h"
#include "vq_walk_2d.h"

namespace {

const char* const kMethods[] = {"BFD1", "BFD2", "FFD1", "FFD2", "CFD2", "CFD4", "UBFD4", "OCFE2", "OCFE3", "OCFE4"};

// The one-dimensional stencil each statement applies.
int StencilOf(const EmittedRow& row) {
  return RowOf(brantel::walk::Walk2D(), std::stoi(row.name.substr(6)))->stencil;
}

// x on method m, y on another, each of two sections, with second
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

std::vector<double> Coordinates(VQ_DOMAIN& domain) {
  std::vector<double> at;
  for (int k = 0; k <= domain.ENDNODE.v(); ++k) at.push_back((*domain.VALUE)(k).v());
  return at;
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

// The k-th counted instance is the k-th emitted one, with the same group
// and the same references in the same order.
TEST(Stencils2D, BothPassesAgreeInstanceByInstance) {
  for (int m = 0; m < 10; ++m) {
    Distribution2DFixture f;
    Configure(f, m, "2");
    f.Run();
    const vq_rt::ContainerState& state = f.d.State();
    ASSERT_EQ(state.counted.size(), state.emitted.size()) << kMethods[m];
    for (const EmittedRow& row : f.Rows()) {
      EXPECT_EQ(row.countedGroup, row.group) << kMethods[m] << " " << row.Where();
      EXPECT_EQ(row.counted, row.references) << kMethods[m] << " " << row.Where();
    }
    EXPECT_EQ(f.d.m_OwnNonZeroCount, static_cast<int>(state.countedReferences.size()));
  }
}

// The nodes of a domain where a junction row defines the first derivative
// a second time: section starts (finite differences) or element starts
// (collocation) other than node 0.
std::set<int> Junctions(VQ_DOMAIN& domain) {
  const bool collocation = std::string((*domain.DISCRETIZATIONMETHOD).v()).rfind("OCFE", 0) == 0;
  std::set<int> junctions;
  for (int s = 1; s <= (*domain.NUMSECTIONS).v(); ++s) {
    VQ_SECTIONDATAMODEL& section = (*domain.SECTION)(s);
    if (!collocation && s > 1) junctions.insert(section.BASE.v());
    for (int e = 1; collocation && e <= section.NUMELEMENTS.v(); ++e) {
      const int start = section.BASE.v() + (e - 1) * ((*domain.NUMPOLYPOINTS).v() + 1);
      if (start != 0) junctions.insert(start);
    }
  }
  return junctions;
}

std::pair<int, int> IndexOf(const VQ_VarParam& element) {
  int i = -1, j = -1;
  std::sscanf(element.Name(), "(%d,%d)", &i, &j);
  return {i, j};
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
    std::map<const VQ_VarParam*, int> definitions;
    for (const EmittedRow& row : f.Rows()) {
      ++definitions[row.references.front()];
      for (const VQ_VarParam* reference : row.references) {
        const VQ_Matrix* array = dynamic_cast<const VQ_Matrix*>(reference->Parent());
        if (array == nullptr) continue;  // h
        const auto [i, j] = IndexOf(*reference);
        EXPECT_TRUE(array->DeclaredSet(0)->v() >= i && array->DeclaredSet(1)->v() >= j)
            << kMethods[m] << " " << reference->DisplayName();
      }
    }
    const std::set<int> xJunctions = Junctions(*d.XDOMAIN), yJunctions = Junctions(*d.YDOMAIN);
    ASSERT_FALSE(xJunctions.empty());
    ASSERT_FALSE(yJunctions.empty());
    const XUValue& closedX = d.VQ_D2DY2_SET1.v();
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
    check("DDY", d.DDY, [&](int i, int j) { return yJunctions.count(j) && (closedX >= i) ? 2 : 1; });
    check("D2DX2", d.D2DX2, once);
    check("D2DY2", d.D2DY2, once);
    check("IDX", d.IDX, once);
    check("IDY", d.IDY, once);
    check("IDXDY", d.IDXDY, once);
  }
}

}  // namespace
