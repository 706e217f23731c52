// Domains, sections and their parameter types: the node grid.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>

#include "support/recording.h"
#include "vq_inspect.h"
#include "vq_instances.h"

namespace {

// A domain made by its factory, released at the end.
struct Domain {
  explicit Domain(VQ_ModelType* (*factory)() = DOMAINFactory) : model(factory()), d(dynamic_cast<VQ_DOMAIN&>(*model)) {}
  ~Domain() { model->Release(); }
  void Set(const std::string& path, const std::string& value) {
    vq_rt::SetUserValueFromText(vq_rt::ResolvePath(d, path), path, value);
  }
  long Assign() { return d.ExecuteAssignments(1, 0); }
  // The error of the settings and an assignment pass after them; "" when
  // they are taken.
  std::string AssignError(const std::vector<std::pair<std::string, std::string>>& sets = {}) {
    try {
      for (const auto& [path, value] : sets) Set(path, value);
      Assign();
    } catch (const VQ_Error& e) {
      return e.what();
    }
    return "";
  }
  VQ_SECTIONDATAMODEL& S(int s) { return (*d.SECTION)(s); }
  double X(int node) { return (*d.VALUE)(node).v(); }
  VQ_ModelType* model;
  VQ_DOMAIN& d;
};

std::vector<int> Elements(const XUValue& set) {
  std::vector<int> out;
  for (int i = 0; i < set.SetSize(); ++i) out.push_back(set.IntegerAt(i));
  return out;
}

std::vector<int> Range(int lo, int hi) {
  std::vector<int> out;
  for (int i = lo; i <= hi; ++i) out.push_back(i);
  return out;
}

// The default grid of every method: one section, LENGTH 1.0, spacing 0.125.
TEST(DomainGrid, DefaultGridOfEveryMethodBitExact) {
  const double third = (1.0 / 9) * 3;  // OCFE3: nine intervals, elements of three
  struct Case {
    const char* method;
    int minimum, points, nodes, elements;
    double elementLength;
    std::vector<double> positions;
    std::vector<double> coordinates;  // VALUE(0) .. VALUE(ENDNODE)
  };
  std::vector<double> eighths = {0.0, 0.125, 0.25, 0.375, 0.5, 0.625, 0.75, 0.875, 1.0};
  std::vector<Case> cases = {
      {"BFD1", 2, 0, 8, 8, 0.125, {}, eighths},
      {"BFD2", 2, 1, 8, 4, 0.125, {0.5}, eighths},
      {"FFD1", 2, 0, 8, 8, 0.125, {}, eighths},
      {"FFD2", 2, 1, 8, 4, 0.125, {0.5}, eighths},
      {"CFD2", 2, 1, 8, 4, 0.125, {0.5}, eighths},
      {"CFD4", 4, 3, 8, 2, 0.125, {0.25, 0.5, 0.75}, eighths},
      {"UBFD4", 4, 3, 8, 2, 0.125, {0.25, 0.5, 0.75}, eighths},
      {"OCFE2", 2, 1, 8, 4, 0.25, {0.5}, eighths},
      {"OCFE3", 3, 2, 9, 3, third, {0.21132, 0.78868},
       {0.0, third * ((0.21132 + 1.0) - 1.0), third * ((0.78868 + 1.0) - 1.0), third * 1.0,
        third * ((0.21132 + 2.0) - 1.0), third * ((0.78868 + 2.0) - 1.0), third * 2.0,
        third * ((0.21132 + 3.0) - 1.0), third * ((0.78868 + 3.0) - 1.0), third * 3.0}},
      {"OCFE4", 4, 3, 8, 2, 0.5, {0.1127, 0.5, 0.8873},
       {0.0, 0.05635000000000001, 0.25, 0.5 * ((0.8873 + 1.0) - 1.0), 0.5, 0.5 * ((0.1127 + 2.0) - 1.0), 0.75,
        0.5 * ((0.8873 + 2.0) - 1.0), 1.0}},
  };
  for (const Case& c : cases) {
    Domain g;
    g.Set("DISCRETIZATIONMETHOD", c.method);
    EXPECT_EQ(g.Assign(), 0);
    VQ_SECTIONDATAMODEL& s = g.S(1);
    EXPECT_EQ(g.d.MINNODECOUNT.v(), c.minimum) << c.method;
    EXPECT_EQ(g.d.NUMPOLYPOINTS.v(), c.points) << c.method;
    for (size_t p = 0; p < c.positions.size(); ++p) EXPECT_EQ((*g.d.POLYPOINT)(static_cast<int>(p) + 1).v(), c.positions[p]);
    EXPECT_EQ(s.NODECOUNT.v(), c.nodes) << c.method;
    EXPECT_EQ(s.NUMELEMENTS.v(), c.elements) << c.method;
    EXPECT_EQ(s.BASE.v(), 0);
    EXPECT_EQ(s.LENGTH.v(), 1.0);
    EXPECT_EQ((*s.SPACINGUSED).v(), 1.0 / c.nodes) << c.method;
    EXPECT_EQ(s.ELEMENTLENGTH.v(), c.elementLength) << c.method;
    EXPECT_EQ(g.d.ENDNODE.v(), c.nodes);
    EXPECT_EQ(Elements(s.INTERIOR.v()), Range(1, c.nodes - 1)) << c.method;
    EXPECT_EQ(Elements(g.d.INTERIOR.v()), Range(1, c.nodes - 1)) << c.method;
    EXPECT_EQ(Elements(g.d.VQ_VALUE_SET1.v()), Range(0, c.nodes)) << c.method;
    ASSERT_EQ(c.coordinates.size(), static_cast<size_t>(c.nodes + 1));
    for (int n = 0; n <= c.nodes; ++n) EXPECT_EQ(g.X(n), c.coordinates[static_cast<size_t>(n)]) << c.method << " node " << n;
  }
}

TEST(DomainGrid, MethodNamesIgnoreCaseAndUnknownNamesAssignNoMethodDefaults) {
  Domain lower;
  lower.Set("DISCRETIZATIONMETHOD", "ocfe3");
  lower.Assign();
  EXPECT_EQ(lower.S(1).NODECOUNT.v(), 9);
  EXPECT_EQ(lower.d.ENDNODE.v(), 9);
  EXPECT_THROW(lower.Set("DISCRETIZATIONMETHOD", "CFD9"), VQ_Error);  // not one of the ten
}

// A section takes the node count nearest to its length over its spacing,
// rounded up to whole elements, and at least the method's minimum.
TEST(DomainGrid, NodeCountsFromTheSpacing) {
  struct Case {
    const char* method;
    const char* spacing;
    int nodes, elements;
  } cases[] = {
      {"OCFE3", "0.6", 3, 1},   // 2 nodes, below the minimum of 3: the minimum exactly
      {"BFD1", "0.15", 7, 7},   // 6.67 intervals: the nearest count, not the truncated 6
      {"OCFE2", "0.15", 8, 4},  // 7, then whole elements of two
  };
  for (const Case& c : cases) {
    Domain g;
    g.Set("DISCRETIZATIONMETHOD", c.method);
    g.Set("SPACINGPREFERENCE", c.spacing);
    g.Assign();
    EXPECT_EQ(g.S(1).NODECOUNT.v(), c.nodes) << c.method << " " << c.spacing;
    EXPECT_EQ(g.S(1).NUMELEMENTS.v(), c.elements) << c.method << " " << c.spacing;
    EXPECT_EQ(g.d.ENDNODE.v(), c.nodes) << c.method << " " << c.spacing;
  }
}

// With several sections the first call already gives the grid of the fixed
// point: each section's length uses the next section's new location. A first
// section that starts elsewhere than at 0 takes the later ones with it.
TEST(DomainGrid, SeveralSectionsAreRightOnTheFirstCall) {
  struct Case {
    int sections;
    const char* first;  // the first section's location, "" for the default
  } cases[] = {{2, ""}, {3, ""}, {2, "0.5"}, {3, "0.5"}};
  for (const auto& [sections, first] : cases) {
    Domain g;
    g.Set("NUMSECTIONS", std::to_string(sections));
    if (*first) g.Set("SECTION(1).LOCATION", first);
    const std::string where = std::to_string(sections) + " sections from " + (*first ? first : "0");
    ASSERT_EQ(g.AssignError(), "") << where;
    const double origin = *first ? std::stod(first) : 0.0;
    const double width = 1.0 / sections;
    int base = 0;
    for (int s = 1; s <= sections; ++s) {
      EXPECT_DOUBLE_EQ((*g.S(s).LOCATION).v(), origin + width * (s - 1)) << where;
      EXPECT_DOUBLE_EQ(g.S(s).LENGTH.v(), width) << where << ", section " << s;
      EXPECT_EQ(g.S(s).BASE.v(), base);
      base += g.S(s).NODECOUNT.v();
    }
    EXPECT_EQ(g.d.ENDNODE.v(), base);
    EXPECT_EQ(base, 8 * sections);  // the default spacing is an eighth of a section
    const int end = g.d.ENDNODE.v();
    g.Assign();  // the fixed point
    EXPECT_EQ(g.d.ENDNODE.v(), end);
    for (int n = 0; n <= end; ++n) EXPECT_DOUBLE_EQ(g.X(n), origin + n / (8.0 * sections)) << where;
  }
  // After a change of LENGTH the first call uses the new locations.
  Domain g;
  g.Set("NUMSECTIONS", "2");
  g.Assign();
  g.Set("LENGTH", "2.0");
  g.Assign();
  EXPECT_EQ((*g.S(2).LOCATION).v(), 1.0);
  EXPECT_EQ(g.S(1).LENGTH.v(), 1.0);
  EXPECT_EQ(g.S(2).LENGTH.v(), 1.0);
}

TEST(DomainGrid, InteriorByHighestOrderDerivative) {
  struct Case {
    const char* method;
    const char* highest;
    std::function<bool(int)> interior;
  } cases[] = {
      {"BFD1", "1", [](int n) { return n >= 1 && n <= 15; }},
      {"BFD1", "2", [](int n) { return n >= 1 && n <= 15 && n != 8; }},  // junction S(2).BASE left out
      {"OCFE2", "1", [](int n) { return n >= 1 && n <= 15; }},
      {"OCFE2", "2", [](int n) { return n % 2 == 1; }},  // only the element midpoints
      {"CFD2", "2", [](int n) { return n >= 1 && n <= 15 && n != 8; }},
  };
  for (const Case& c : cases) {
    Domain g;
    g.Set("DISCRETIZATIONMETHOD", c.method);
    g.Set("NUMSECTIONS", "2");
    g.Set("HIGHESTORDERDERIVATIVE", c.highest);
    g.Assign();
    ASSERT_EQ(g.d.ENDNODE.v(), 16) << c.method;
    std::vector<int> expected;
    for (int n = 0; n <= 16; ++n)
      if (c.interior(n)) expected.push_back(n);
    EXPECT_EQ(Elements(g.d.INTERIOR.v()), expected) << c.method << " order " << c.highest;
  }
}

// A section that ends at 0 ends there give or take rounding of its inputs
// (-a + a * n / n): the coordinates are judged against the magnitudes that
// went into them, not the result alone.
TEST(DomainGrid, SectionsEndingAtZeroAreTaken) {
  char text[32];
  auto shown = [&](double x) { return std::string(text, static_cast<size_t>(std::snprintf(text, sizeof text, "%.17g", x))); };
  for (const char* method : {"BFD1", "CFD4", "OCFE3"})
    for (double a : {0.1, 1.0, 2.0})
      for (int intervals : {11, 19, 49})
        for (int sections : {1, 2}) {  // [-a, 0] and [-a, a]
          Domain g;
          const std::string what = std::string(method) + " a=" + shown(a) + " n=" + std::to_string(intervals) +
                                   " sections=" + std::to_string(sections);
          EXPECT_EQ(g.AssignError({{"DISCRETIZATIONMETHOD", method},
                                   {"SECTION(1).LOCATION", shown(-a)},
                                   {"LENGTH", shown(a * sections)},
                                   {"NUMSECTIONS", std::to_string(sections)},
                                   {"SPACINGPREFERENCE", shown(a / intervals)}}),
                    "")
              << what;
          const int end = g.d.ENDNODE.v();
          EXPECT_GE(end, intervals * sections) << what;
          EXPECT_NEAR(g.X(g.S(1).NODECOUNT.v()), 0.0, 1e-15 * a) << what;
          EXPECT_NEAR(g.X(end), a * (sections - 1), 1e-15 * a) << what;
          for (int n = 1; n <= end; ++n) ASSERT_GT(g.X(n), g.X(n - 1)) << what << " node " << n;
        }
}

// Every refused input names the domain, the property and the value, and the
// grid already computed stays as it was.
TEST(DomainGrid, RefusedInputsLeaveThePreviousGrid) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> sets;
    std::string message;
  } cases[] = {
      {{{"LENGTH", "0"}}, "DOMAIN.LENGTH: 0.0 must be finite and greater than 0"},
      {{{"LENGTH", "-2"}}, "DOMAIN.LENGTH: -2.0 must be finite and greater than 0"},
      {{{"SPACINGPREFERENCE", "0"}}, "DOMAIN.SPACINGPREFERENCE: 0.0 must be finite and greater than 0"},
      {{{"SPACINGPREFERENCE", "1e-9"}},
       "DOMAIN.SPACINGPREFERENCE: 1e-09 gives more than the 10000000 node intervals a grid may have"},
      {{{"SECTION(1).SPACINGPREFERENCE", "1e-9"}},
       "DOMAIN.SECTION(1).SPACINGPREFERENCE: 1e-09 gives more than the 10000000 node intervals a grid may have"},
      {{{"NUMSECTIONS", "2"}, {"SPACINGPREFERENCE", "8e-8"}},
       "DOMAIN.SPACINGPREFERENCE: 8e-08 takes the grid to 12500000 node intervals, more than the 10000000 node "
       "intervals a grid may have"},
      {{{"NUMSECTIONS", "10001"}}, "DOMAIN.NUMSECTIONS: 10001 is more than the 10000 sections a domain may have"},
      {{{"DISCRETIZATIONMETHOD", "OCFE2"}, {"NUMSECTIONS", "6000000"}},
       "DOMAIN.NUMSECTIONS: 6000000 is more than the 10000 sections a domain may have"},
      {{{"NUMSECTIONS", "10000"}, {"MINNODECOUNT", "1001"}},
       "DOMAIN.MINNODECOUNT: 1001 node intervals in each of 10000 sections give more than the 10000000 node "
       "intervals a grid may have"},
      {{{"MINNODECOUNT", "10000001"}},
       "DOMAIN.MINNODECOUNT: 10000001 node intervals in a section give more than the 10000000 node intervals a "
       "grid may have"},
      {{{"NUMSECTIONS", "3"}, {"SECTION(1).NODECOUNT", "8"}, {"MINNODECOUNT", "5000001"}},
       "DOMAIN.MINNODECOUNT: 5000001 node intervals in each of 2 sections give more than the 10000000 node "
       "intervals a grid may have"},
      {{{"NUMSECTIONS", "2"}, {"SECTION(2).NODECOUNT", "9999999"}},
       "DOMAIN.SECTION(2).NODECOUNT: 9999999 takes the grid to 10000007 node intervals, more than the 10000000 node "
       "intervals a grid may have"},
      {{{"NUMPOLYPOINTS", "1"}},
       "DOMAIN.NUMPOLYPOINTS: 1 inner points per element do not suit BFD1, whose stencils take 0"},
      {{{"DISCRETIZATIONMETHOD", "OCFE2"}, {"NUMPOLYPOINTS", "2"}},
       "DOMAIN.NUMPOLYPOINTS: 2 inner points per element do not suit OCFE2, whose stencils take 1"},
      // A minimum node count is judged where a section takes it.
      {{{"SPACINGPREFERENCE", "4"}, {"MINNODECOUNT", "0"}},
       "DOMAIN.MINNODECOUNT: 0 leaves section 1 with 0 node intervals, not a whole number (at least 1) of elements "
       "of 1 intervals"},
      {{{"DISCRETIZATIONMETHOD", "OCFE2"}, {"SPACINGPREFERENCE", "0.5"}, {"MINNODECOUNT", "3"}},
       "DOMAIN.MINNODECOUNT: 3 leaves section 1 with 3 node intervals, not a whole number (at least 1) of elements "
       "of 2 intervals"},
      {{{"NUMSECTIONS", "2"}, {"SECTION(2).LOCATION", "0.0"}},
       "DOMAIN.SECTION(2).LOCATION: 0.0 must lie beyond the location of the section before"},
      {{{"NUMSECTIONS", "2"}, {"SECTION(2).LOCATION", "1.5"}},
       "DOMAIN.SECTION(2).LOCATION: 1.5 must lie before the end of the domain"},
      {{{"SECTION(1).SPACINGPREFERENCE", "0"}},
       "DOMAIN.SECTION(1).SPACINGPREFERENCE: 0.0 must be finite and greater than 0"},
      {{{"DISCRETIZATIONMETHOD", "CFD4"}, {"SECTION(1).NODECOUNT", "6"}},
       "DOMAIN.SECTION(1).NODECOUNT: 6 is not a whole number (at least 1) of elements of 4 intervals"},
  };
  for (const Case& c : cases) {
    Domain g;
    g.Assign();
    ASSERT_EQ(g.d.ENDNODE.v(), 8);
    EXPECT_EQ(g.AssignError(c.sets), c.message);
    EXPECT_EQ(g.d.ENDNODE.v(), 8) << c.message;
    EXPECT_EQ(g.S(1).NUMELEMENTS.v(), 8) << c.message;
    EXPECT_EQ((*g.d.LENGTH).HasValueIn(VQ_VarParam::kAssigned) ? 1.0 : 0.0, 1.0);
    EXPECT_EQ(g.X(3), 0.375) << c.message;
    EXPECT_EQ(Elements(g.d.INTERIOR.v()), Range(1, 7)) << c.message;
  }
  // Bounds the parameter types declare are refused when the value is set.
  Domain g;
  EXPECT_THROW(g.Set("NUMSECTIONS", "0"), VQ_Error);
  EXPECT_THROW(g.Set("NUMPOLYPOINTS", "-1"), VQ_Error);
}

// The grid a domain lays, in the values a distribution reads.
struct Grid {
  int end, points, minimum;
  std::vector<int> counts, elements;
  std::vector<double> coordinates;
  std::vector<int> interior;
  bool operator==(const Grid&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Grid& g) {
  return out << "end " << g.end << " points " << g.points << " minimum " << g.minimum;
}
Grid GridOf(Domain& g) {
  Grid grid{g.d.ENDNODE.v(), g.d.NUMPOLYPOINTS.v(), g.d.MINNODECOUNT.v(), {}, {}, {}, Elements(g.d.INTERIOR.v())};
  for (int s = 1; s <= (*g.d.NUMSECTIONS).v(); ++s) {
    grid.counts.push_back(g.S(s).NODECOUNT.v());
    grid.elements.push_back(g.S(s).NUMELEMENTS.v());
  }
  for (int n = 0; n <= grid.end; ++n) grid.coordinates.push_back(g.X(n));
  return grid;
}

// Values the generator computes may be the user's own, as long as they
// describe the grid they belong to: sections of whole elements numbered in
// order, adjoining, with nodes that strictly increase. A value that
// describes no grid is refused and the previous grid stays.
TEST(DomainGrid, ComputedValuesOfTheUsersOwnDescribeTheirGrid) {
  using Sets = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    Sets sets;
    std::string error;  // empty: taken
  } cases[] = {
      {{{"ENDNODE", "8"}, {"SECTION(1).BASE", "0"}, {"SECTION(1).NODECOUNT", "8"}}, ""},
      {{{"SECTION(1).LENGTH", "1.0"}, {"SECTION(1).SPACINGUSED", "0.125"}, {"SECTION(1).ELEMENTLENGTH", "0.125"}}, ""},
      {{{"VALUE(3)", "0.375"}, {"VALUE(8)", "1.0"}}, ""},
      // Inner points within 0.0001 of the method's own: the five-digit
      // constants and full-precision Gauss points alike.
      {{{"DISCRETIZATIONMETHOD", "OCFE3"}, {"POLYPOINT(1)", "0.21132486540518713"}, {"POLYPOINT(2)", "0.7886751345948129"}},
       ""},
      {{{"DISCRETIZATIONMETHOD", "OCFE4"}, {"POLYPOINT(1)", "0.1127016653792583"}, {"POLYPOINT(3)", "0.8872983346207417"}},
       ""},
      {{{"DISCRETIZATIONMETHOD", "BFD2"}, {"POLYPOINT(1)", "0.50005"}}, ""},
      // Interiors as the grid lays them, in the form the report writes.
      {{{"INTERIOR", "1..7"}, {"SECTION(1).INTERIOR", "1..7"}}, ""},
      {{{"DISCRETIZATIONMETHOD", "OCFE2"}, {"HIGHESTORDERDERIVATIVE", "2"}, {"INTERIOR", "1, 3, 5, 7"}}, ""},
      {{{"ENDNODE", "20000000"}}, "DOMAIN.ENDNODE: 20000000 is more than the 10000000 node intervals a grid may have"},
      {{{"ENDNODE", "-5"}}, "DOMAIN.ENDNODE: -5 is not 8, the node intervals of all sections"},
      {{{"NUMSECTIONS", "2"}, {"SECTION(2).BASE", "2147483647"}},
       "DOMAIN.SECTION(2).BASE: 2147483647 is not 8, the node intervals of the sections before it"},
      {{{"SECTION(1).NUMELEMENTS", "4"}},
       "DOMAIN.SECTION(1).NUMELEMENTS: 4 is not 8, the elements of 1 intervals that fill the section's 8 node "
       "intervals"},
      {{{"SECTION(1).SPACINGUSED", "0.2"}},
       "DOMAIN.SECTION(1).SPACINGUSED: 0.2 is not 0.125, the spacing the grid gives (the section's length 1.0 over "
       "its 8 node intervals)"},
      {{{"SECTION(1).ELEMENTLENGTH", "0.2"}},
       "DOMAIN.SECTION(1).ELEMENTLENGTH: 0.2 is not 0.125, the element length the section's spacing gives"},
      // Sections that overlap or leave a gap.
      {{{"NUMSECTIONS", "3"}, {"SECTION(1).LENGTH", "0.5"}},
       "DOMAIN.SECTION(1).LENGTH: 0.5 ends the section at 0.5, not at 0.3333333333333333 where the next section "
       "begins"},
      {{{"SECTION(1).LENGTH", "0.5"}}, "DOMAIN.SECTION(1).LENGTH: 0.5 ends the section at 0.5, not at 1.0 where the domain ends"},
      // A coordinate the equations do not use: every node is where the grid
      // puts it, not only in order.
      {{{"VALUE(1)", "0.01"}}, "DOMAIN.VALUE(1): 0.01 is not 0.125, the coordinate the grid gives node 1"},
      {{{"VALUE(3)", "0.3"}, {"VALUE(4)", "0.45"}},
       "DOMAIN.VALUE(3): 0.3 is not 0.375, the coordinate the grid gives node 3"},
      {{{"VALUE(4)", "0.25"}}, "DOMAIN.VALUE(4): 0.25 is not 0.5, the coordinate the grid gives node 4"},
      {{{"VALUE(4)", "0.375"}}, "DOMAIN.VALUE(4): 0.375 is not 0.5, the coordinate the grid gives node 4"},
      {{{"VALUE(3)", "0.5"}, {"VALUE(4)", "0.45"}},
       "DOMAIN.VALUE(3): 0.5 is not 0.375, the coordinate the grid gives node 3"},
      {{{"NUMSECTIONS", "2"}, {"VALUE(12)", "0.85"}},
       "DOMAIN.VALUE(12): 0.85 is not 0.75, the coordinate the grid gives node 12"},
      {{{"VALUE(0)", "0.1"}}, "DOMAIN.VALUE(0): 0.1 is not 0.0, where section 1 begins"},
      {{{"VALUE(8)", "0.9"}}, "DOMAIN.VALUE(8): 0.9 is not 1.0, the coordinate the grid gives node 8"},
      // An interior the rows do not define, the domain's or a section's.
      {{{"INTERIOR", "0..8"}}, "DOMAIN.INTERIOR: {0..8} is not {1..7}, the interior nodes the grid gives"},
      {{{"INTERIOR", "1,2"}}, "DOMAIN.INTERIOR: {1, 2} is not {1..7}, the interior nodes the grid gives"},
      {{{"NUMSECTIONS", "2"}, {"HIGHESTORDERDERIVATIVE", "2"}, {"INTERIOR", "1..15"}},
       "DOMAIN.INTERIOR: {1..15} is not {1..7, 9..15}, the interior nodes the grid gives"},
      {{{"DISCRETIZATIONMETHOD", "OCFE2"}, {"HIGHESTORDERDERIVATIVE", "2"}, {"SECTION(1).INTERIOR", "1..7"}},
       "DOMAIN.SECTION(1).INTERIOR: {1..7} is not {1, 3, 5, 7}, the interior nodes the grid gives section 1"},
      // Inner points the method's weights were not made for.
      {{{"DISCRETIZATIONMETHOD", "BFD2"}, {"POLYPOINT(1)", "0.3"}},
       "DOMAIN.POLYPOINT(1): 0.3 is not within 0.0001 of 0.5, the fraction of an element at which BFD2 puts inner "
       "point 1 (its fractions: 0.5)"},
      {{{"DISCRETIZATIONMETHOD", "OCFE2"}, {"POLYPOINT(1)", "1.5"}},
       "DOMAIN.POLYPOINT(1): 1.5 is not within 0.0001 of 0.5, the fraction of an element at which OCFE2 puts inner "
       "point 1 (its fractions: 0.5)"},
      {{{"DISCRETIZATIONMETHOD", "OCFE4"}, {"POLYPOINT(2)", "0.6"}},
       "DOMAIN.POLYPOINT(2): 0.6 is not within 0.0001 of 0.5, the fraction of an element at which OCFE4 puts inner "
       "point 2 (its fractions: 0.1127, 0.5, 0.8873)"},
      // A thin section far from 0 runs half its length past the domain's end.
      {{{"SECTION(1).LOCATION", "1000"}, {"LENGTH", "1e-6"}, {"SECTION(1).LENGTH", "1.5e-6"}},
       "DOMAIN.SECTION(1).LENGTH: 1.5e-06 ends the section at 1000.0000015, not at 1000.000001 where the domain "
       "ends"},
      // Nodes rounding cannot tell apart: the input that put them there.
      {{{"SECTION(1).LOCATION", "10000"}, {"LENGTH", "1e-12"}},
       "DOMAIN.LENGTH: 1e-12 puts nodes 0 and 1 of section 1 at 10000.0 and 10000.0, not in increasing order: its "
       "node spacing 1.2126596023639043e-13 is finer than the 1.8189894035458565e-12 that coordinates near 10000.0 "
       "resolve"},
      // An overflow on the way to the sections' locations is the length's.
      {{{"LENGTH", "1e308"}, {"NUMSECTIONS", "3"}},
       "DOMAIN.LENGTH: 1e+308 takes the sections' locations beyond the largest real number"},
      {{{"LENGTH", "1e308"}, {"SECTION(1).LOCATION", "1e308"}},
       "DOMAIN.LENGTH: 1e+308 takes the sections' locations beyond the largest real number"},
  };
  for (const Case& c : cases) {
    Domain g;
    g.Assign();
    EXPECT_EQ(g.AssignError(c.sets), c.error);
    if (c.error.empty()) continue;
    EXPECT_EQ(Elements(g.d.VQ_VALUE_SET1.v()), Range(0, 8)) << c.error;
    EXPECT_EQ(Elements(g.d.VQ_SECTION_SET1.v()), Range(1, 1)) << c.error;
    if (!g.d.INTERIOR.HasUserValue()) {
      EXPECT_EQ(Elements(g.d.INTERIOR.v()), Range(1, 7)) << c.error;
    }
  }
}

// Elements whose values the domain holds, by array.
int ElementsHeld(VQ_Matrix& array) {
  int held = 0;
  for (int slot = 0; slot < array.ElementSlots(); ++slot) held += array.ElementAtSlot(slot) != nullptr;
  return held;
}

// A value for an element the domain does not have once its index sets are
// laid is refused; one set before the pass that lays them is not. Refused
// settings and passes leave no element behind.
TEST(DomainGrid, ValuesForElementsTheDomainDoesNotHave) {
  Domain g;
  g.d.SetDims();  // binds the arrays to their index sets
  g.Set("NUMSECTIONS", "3");
  g.Set("SECTION(3).NODECOUNT", "4");
  EXPECT_NO_THROW(g.Assign());
  EXPECT_EQ(g.d.ENDNODE.v(), 20);
  g.Set("NUMSECTIONS", "1");
  EXPECT_EQ(g.AssignError(),
            "DOMAIN.SECTION(3).NODECOUNT: 4 belongs to an element the model does not have: SECTION has the elements "
            "{1}; raise NUMSECTIONS, or clear the value");
  EXPECT_EQ(g.d.ENDNODE.v(), 20);

  Domain phantom;
  phantom.d.SetDims();
  phantom.Assign();
  phantom.Set("SECTION(99999999).NODECOUNT", "5");
  EXPECT_THROW(phantom.Assign(), VQ_Error);

  Domain clean;
  clean.Assign();
  for (const char* path : {"SECTION(7).NODECOUNT", "SECTION(7).NOSUCHPROPERTY", "VALUE(40)"})
    EXPECT_THROW(vq_rt::SetUserValueAtPath(clean.d, path, "x"), VQ_Error) << path;
  EXPECT_EQ(ElementsHeld(*clean.d.SECTION), 1);
  EXPECT_EQ(ElementsHeld(*clean.d.VALUE), 9);
  clean.Set("NUMSECTIONS", "3");
  clean.Set("SECTION(1).LENGTH", "0.5");
  EXPECT_THROW(clean.Assign(), VQ_Error);  // after sections 2 and 3 and their nodes were made
  EXPECT_EQ(ElementsHeld(*clean.d.SECTION), 1);
  EXPECT_EQ(ElementsHeld(*clean.d.VALUE), 9);
}

// An input no section takes plays no part in the grid, and is not refused.
TEST(DomainGrid, InputsNoSectionTakesAreNotJudged) {
  using Sets = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    Sets common, extra;
  } cases[] = {
      {{{"DISCRETIZATIONMETHOD", "BFD1"}}, {{"MINNODECOUNT", "0"}}},
      {{{"DISCRETIZATIONMETHOD", "BFD1"}}, {{"MINNODECOUNT", "1"}}},
      {{{"DISCRETIZATIONMETHOD", "BFD2"}}, {{"MINNODECOUNT", "0"}}},
      {{{"DISCRETIZATIONMETHOD", "BFD2"}}, {{"MINNODECOUNT", "1"}}},
      {{{"DISCRETIZATIONMETHOD", "OCFE3"}}, {{"MINNODECOUNT", "2"}}},
      // Every section has a spacing of its own.
      {{{"NUMSECTIONS", "2"}, {"SECTION(1).SPACINGPREFERENCE", "0.0625"}, {"SECTION(2).SPACINGPREFERENCE", "0.125"}},
       {{"SPACINGPREFERENCE", "1e-12"}}},
      {{{"SECTION(1).SPACINGPREFERENCE", "0.1"}}, {{"SPACINGPREFERENCE", "0"}}},
      // A section's own node count decides: neither spacing nor minimum counts.
      {{{"SECTION(1).NODECOUNT", "8"}}, {{"SPACINGPREFERENCE", "1e-9"}}},
      {{{"SECTION(1).NODECOUNT", "8"}}, {{"SPACINGPREFERENCE", "-1"}}},
      {{{"SECTION(1).NODECOUNT", "8"}}, {{"SECTION(1).SPACINGPREFERENCE", "0"}}},
      {{{"SECTION(1).NODECOUNT", "8"}}, {{"MINNODECOUNT", "20000000"}}},
      {{{"NUMSECTIONS", "2"}, {"SECTION(1).NODECOUNT", "6"}, {"SECTION(2).NODECOUNT", "4"}},
       {{"MINNODECOUNT", "9000000"}}},
  };
  for (const Case& c : cases) {
    Domain plain, given;
    for (const auto& [path, value] : c.common) {
      plain.Set(path, value);
      given.Set(path, value);
    }
    for (const auto& [path, value] : c.extra) given.Set(path, value);
    plain.Assign();
    plain.Assign();
    EXPECT_NO_THROW(given.Assign()) << c.extra[0].first << "=" << c.extra[0].second;
    given.Assign();
    Grid expected = GridOf(plain);
    Grid got = GridOf(given);
    got.minimum = expected.minimum;  // the one value that differs
    EXPECT_EQ(got, expected) << c.extra[0].first << "=" << c.extra[0].second;
  }
  // A minimum of 1 that sections do take: two sections of one interval each.
  Domain one;
  one.Set("NUMSECTIONS", "2");
  one.Set("MINNODECOUNT", "1");
  one.Set("SPACINGPREFERENCE", "1.0");
  one.Assign();
  one.Assign();
  EXPECT_EQ(GridOf(one).counts, (std::vector<int>{1, 1}));
  EXPECT_EQ(GridOf(one).coordinates, (std::vector<double>{0.0, 0.5, 1.0}));
}

// A domain whose method changes after a pass lays the new method's grid, as
// a new domain would: what the library assigned for the old method does not
// stay behind. A user's own value that does not suit is still refused.
TEST(DomainGrid, ChangingTheMethodGivesTheNewMethodsGrid) {
  struct Case {
    const char* from;
    const char* to;
  } cases[] = {{"CFD4", "BFD1"}, {"OCFE3", "FFD1"}, {"BFD1", "OCFE4"}, {"OCFE4", "CFD2"}, {"UBFD4", "BFD1"}};
  for (const Case& c : cases) {
    Domain changed, fresh;
    changed.Set("DISCRETIZATIONMETHOD", c.from);
    changed.Assign();
    changed.Set("DISCRETIZATIONMETHOD", c.to);
    EXPECT_NO_THROW(changed.Assign()) << c.from << " -> " << c.to;
    changed.Assign();
    fresh.Set("DISCRETIZATIONMETHOD", c.to);
    fresh.Assign();
    fresh.Assign();
    EXPECT_EQ(GridOf(changed), GridOf(fresh)) << c.from << " -> " << c.to;
  }
  Domain user;
  user.Set("DISCRETIZATIONMETHOD", "CFD4");
  user.Set("NUMPOLYPOINTS", "3");
  user.Assign();
  user.Set("DISCRETIZATIONMETHOD", "BFD1");
  EXPECT_EQ(user.AssignError(),
            "DOMAIN.NUMPOLYPOINTS: 3 inner points per element do not suit BFD1, whose stencils take 0");
  EXPECT_EQ(user.d.ENDNODE.v(), 8);
  EXPECT_EQ(user.S(1).NUMELEMENTS.v(), 2);  // the CFD4 grid stays
}

// A path is read whole: an index ends its step, and anything after it other
// than a dot is refused with the path named, not ignored.
TEST(DomainPaths, StepsAreReadWholeAndStrayTextIsRefused) {
  Domain g;
  g.Set("NUMSECTIONS", "2");
  g.Assign();
  EXPECT_EQ(&vq_rt::ResolvePath(g.d, "SECTION(2).LOCATION"), &*g.S(2).LOCATION);
  EXPECT_EQ(&vq_rt::ResolvePath(g.d, "section (2).location"), &*g.S(2).LOCATION);
  EXPECT_EQ(&vq_rt::ResolvePath(g.d, "VALUE(3)"), &(*g.d.VALUE)(3));
  for (const std::string bad : {"SECTION(1)(2).LOCATION", "VALUE(3)xyz)", "VALUE(3))", "VALUE(3", "VALUE)",
                                "SECTION(1)LOCATION", "SECTION(1)..LOCATION", "SECTION(1).", ".LENGTH", "(1)",
                                "VALUE(3 4)", "VALUE(3) ", "SECTION(\"1)\").LOCATION"}) {
    std::string error = "(no error)";
    try {
      vq_rt::ResolvePath(g.d, bad);
    } catch (const VQ_Error& e) {
      error = e.what();
    }
    EXPECT_NE(error.find(bad.substr(0, bad.find_first_of("(."))), std::string::npos) << bad << ": " << error;
    EXPECT_NE(error, "(no error)") << bad;
  }
  // Nothing was set through a refused path.
  EXPECT_EQ((*g.S(1).LOCATION).v(), 0.0);
  EXPECT_EQ(g.X(3), 0.1875);
}

// The statements of one call in order: index sets with pass 0, the
// defaults by ordinal, index sets with pass 1.
TEST(DomainGrid, OrdinalsOfOneCall) {
  Domain g;
  g.Set("SPACINGPREFERENCE", "0.5");  // two nodes
  std::vector<std::string> events = Recorded([&] { g.Assign(); });
  std::vector<std::string> ordinals;
  for (const std::string& e : events) {
    size_t at = e.find("ordinal=");
    if (at == std::string::npos) continue;
    std::string ordinal = e.substr(at + 8);
    size_t pass = e.find("pass=");
    ordinals.push_back(pass == std::string::npos ? ordinal.substr(0, ordinal.find(' ')) : "set" + ordinal.substr(0, ordinal.find(' ')));
  }
  EXPECT_EQ(ordinals, (std::vector<std::string>{"set1", "set2", "set3", "4", "5", "6", "24", "25", "27", "28", "31",
                                                "33", "34", "35", "36", "40", "41", "42", "43", "44", "48", "48",
                                                "set1", "set2", "set3"}));
  EXPECT_NE(std::find(events.begin(), events.end(), "ExecuteAssignments a=0 b=0"), events.end());
}

TEST(DomainFunctions, SumsAndUnions) {
  Domain g;
  g.Set("NUMSECTIONS", "2");
  g.Set("DISCRETIZATIONMETHOD", "OCFE2");
  g.Assign();
  VQ_IntegerSetIter first(VQ_IntSetValue(VQ_OneElement{}, 1));
  VQ_IntegerSetIter second(VQ_IntSetValue(VQ_OneElement{}, 2));
  ASSERT_TRUE(first.Next() && second.Next());
  EXPECT_EQ(g.d.Sigma42968240(first), 0.0);
  EXPECT_EQ(g.d.Sigma42968240(second), g.S(1).NODECOUNT.v());
  EXPECT_EQ(g.d.Sigma42987192(), 16.0);
  EXPECT_EQ(g.d.Sigma42988192(), 16.0);

  // BASE 0, NUMELEMENTS 2 with 1, 2 and 0 inner points.
  struct Case {
    int points;
    std::vector<int> expected;
  } cases[] = {{1, {1, 3}}, {2, {1, 2, 4, 5}}, {0, {}}};
  for (const Case& c : cases) {
    Domain u;
    u.S(1).BASE.SetUserValue([] { XUValue v; v.SetInteger(0); return v; }());
    u.S(1).NUMELEMENTS.SetUserValue([] { XUValue v; v.SetInteger(2); return v; }());
    XUValue points;
    points.SetInteger(c.points);
    u.d.NUMPOLYPOINTS.SetUserValue(points);
    EXPECT_EQ(Elements(u.d.UnionFn42975016(first)), c.expected) << c.points;
  }
  // Two results are independent of each other.
  Domain a, b;
  a.Set("NUMSECTIONS", "2");
  a.Set("SPACINGPREFERENCE", "0.125");  // four nodes a section
  a.Assign();
  b.Assign();
  VQ_SetValue ofA = a.d.UnionFn42986752();
  VQ_SetValue ofB = b.d.UnionFn42986752();
  EXPECT_EQ(Elements(ofA), (std::vector<int>{1, 2, 3, 5, 6, 7}));
  EXPECT_EQ(Elements(ofB), Range(1, 7));
}

TEST(DomainTypes, RegistrationOrderAndDerivedDomains) {
  const std::vector<std::string> registrations = {
      "AddProperty VQ_SECTION_SET1 desc=null dir=0 flag=0 form=plain",
      "AddProperty SECTION desc=null dir=0 flag=0 form=virtual",
      "AddProperty LENGTH desc=\"Domain length\" dir=0 flag=0 form=virtual",
      "AddProperty SPACINGPREFERENCE desc=\"Preferred node spacing for domain\" dir=0 flag=0 form=virtual",
      "AddProperty VQ_VALUE_SET1 desc=null dir=0 flag=0 form=plain",
      "AddProperty VALUE desc=\"DO NOT EDIT - Location of each node in domain\" dir=0 flag=0 form=virtual",
      "AddProperty USERNOTES desc=null dir=0 flag=0 form=plain",
      "AddProperty INPUTSIGNAL desc=null dir=4 flag=0 form=plain",
      "UnsetIsToBeExported INPUTSIGNAL",
      "AddProperty OUTPUTSIGNAL desc=null dir=8 flag=0 form=plain",
      "UnsetIsToBeExported OUTPUTSIGNAL",
      "AddProperty DISCRETIZATIONMETHOD desc=\"Method used to calculate partial derivatives\" dir=0 flag=0 form=plain",
      "AddProperty NUMSECTIONS desc=\"Number of sections in the domain\" dir=0 flag=0 form=plain",
      "AddProperty MINNODECOUNT desc=null dir=0 flag=0 form=plain",
      "AddProperty NUMPOLYPOINTS desc=null dir=0 flag=0 form=plain",
      "AddProperty VQ_POLYPOINT_SET1 desc=null dir=0 flag=0 form=plain",
      "AddProperty POLYPOINT desc=null dir=0 flag=0 form=plain",
      "AddProperty HIGHESTORDERDERIVATIVE desc=null dir=0 flag=0 form=plain",
      "AddProperty INTERIOR desc=null dir=0 flag=0 form=plain",
      "AddProperty ENDNODE desc=\"DO NOT EDIT - Index of the rightmost element in domain\" dir=0 flag=0 form=plain",
  };
  for (auto factory : {DOMAINFactory, LENGTHDOMAINFactory, ANGLEDOMAINFactory}) {
    VQ_ModelType* model = nullptr;
    std::vector<std::string> events = Recorded([&] { model = factory(); });
    events.pop_back();  // AddRef
    EXPECT_EQ(events, registrations) << model->VQ_DefaultDESCRIPTION();
    model->Release();
  }
  Domain length(LENGTHDOMAINFactory), angle(ANGLEDOMAINFactory), plain;
  EXPECT_TRUE(length.d.ContainerDerivesFrom("Model LENGTHDOMAIN\tV8.4"));
  EXPECT_TRUE(length.d.ContainerDerivesFrom("model domain\tv8.4"));
  EXPECT_FALSE(length.d.ContainerDerivesFrom("Model ANGLEDOMAIN\tV8.4"));
  EXPECT_TRUE(angle.d.ContainerDerivesFrom("Model ANGLEDOMAIN\tV8.4"));
  EXPECT_FALSE(angle.d.ContainerDerivesFrom("Model LENGTHDOMAIN\tV8.4"));
  EXPECT_FALSE(plain.d.ContainerDerivesFrom("Model LENGTHDOMAIN\tV8.4"));

  // The same grid, the same ordinals; the a tag of a derived domain is one lower.
  auto assigns = [](Domain& g) {
    g.Set("DISCRETIZATIONMETHOD", "OCFE3");
    std::vector<std::string> out;
    for (const std::string& e : Recorded([&] { g.Assign(); }))
      if (e.rfind("Assign", 0) == 0 || e.rfind("Initialise", 0) == 0 || e.rfind("ExecuteAssignments", 0) == 0) out.push_back(e);
    return out;
  };
  std::vector<std::string> ofPlain = assigns(plain), ofLength = assigns(length);
  ASSERT_EQ(ofPlain.size(), ofLength.size());
  EXPECT_EQ(ofPlain.front(), "ExecuteAssignments a=0 b=0");
  EXPECT_EQ(ofLength.front(), "ExecuteAssignments a=-1 b=0");
  for (size_t i = 1; i < ofPlain.size(); ++i) {
    std::string expected = ofPlain[i];
    size_t name = ofLength[i].find("LENGTHDOMAIN.");
    if (name != std::string::npos) ofLength[i].replace(name, 13, "DOMAIN.");
    size_t at = expected.find(" a=1 ");
    ASSERT_NE(at, std::string::npos) << expected;
    expected.replace(at, 5, " a=0 ");
    EXPECT_EQ(ofLength[i].substr(ofLength[i].find(' ')), expected.substr(expected.find(' ')));
  }
}

TEST(DomainTypes, SectionsAndParameterTypes) {
  VQ_ModelType* made = SECTIONDATAMODELFactory();
  auto* section = dynamic_cast<VQ_SECTIONDATAMODEL*>(made);
  ASSERT_NE(section, nullptr);
  EXPECT_EQ(section->PropertyCount(), 14);
  EXPECT_EQ(section->NODECOUNT.v(), 0);  // no assignments of its own
  EXPECT_EQ(section->ComponentList(), &section->COMPONENTLIST);
  EXPECT_TRUE(section->ContainerDerivesFrom("model sectiondatamodel\tv8.4"));
  EXPECT_TRUE(section->ContainerDerivesFrom("Model GENERICMODEL\tV8.4"));
  EXPECT_FALSE(section->ContainerDerivesFrom("Model DOMAIN\tV8.4"));
  made->Release();

  VQ_ANGLEPARAMETER angle;
  VQ_LENGTHPARAMETER length;
  EXPECT_STREQ(angle.Attribute("PHYSICALQUANTITY")->AsString(), "Angle");
  EXPECT_STREQ(angle.Attribute("BASEUOMNAME")->AsString(), "rad");
  EXPECT_STREQ(length.Attribute("PHYSICALQUANTITY")->AsString(), "Length");
  EXPECT_STREQ(length.Attribute("BASEUOMNAME")->AsString(), "m");
  EXPECT_EQ(angle.VQ_PQRow(), 32);
  EXPECT_EQ(length.VQ_PQRow(), 17);
  EXPECT_EQ(angle.VQ_PQCol(), 1);
  EXPECT_EQ(length.VQ_PQCol(), 1);
  EXPECT_EQ(angle.VQ_DefaultBASEUOMNAME(), VQ_ANGLEPARAMETER(false).VQ_DefaultBASEUOMNAME());

  VQ_DISCRETIZATIONMETHODPARAM_DOMAIN method, unread(false);
  EXPECT_STREQ(method.v(), "BFD1");
  EXPECT_STREQ(unread.v(), "");  // its hooks were not read
  const XUValue& valid = method.VQ_DefaultVALID()->Value();
  ASSERT_EQ(valid.SetSize(), 10);
  EXPECT_STREQ(valid.StringAt(9), "UBFD4");
  EXPECT_EQ(valid >= "BFD1", 1);
  EXPECT_EQ(method.VQ_DefaultVALID(), unread.VQ_DefaultVALID());
  VQ_NUMSECTIONSPARAM_DOMAIN sections;
  VQ_POLYPOINTSPARAM_DOMAIN points;
  EXPECT_EQ(sections.v(), sections.Attribute("LOWER")->AsInteger());
  EXPECT_EQ(points.v(), points.Attribute("LOWER")->AsInteger());
  EXPECT_EQ(sections.v(), 1);
  EXPECT_EQ(points.v(), 0);

  VQ_External<VQ_LENGTHDOMAIN> reference;
  VQ_Virtual<VQ_ANGLEPARAMETER> member;
  EXPECT_STREQ(reference.ExternalTypeName(), "Model LENGTHDOMAIN\tV8.4");
  EXPECT_EQ(member.VirtualBaseType(), VQ_REALPARAMETER::VQ_ContainerId());
  VQ_Virtual<VQ_DOMAIN> domains;
  VQ_Type* made2 = domains.NewDefaultVirtual();
  EXPECT_EQ(static_cast<VQ_DOMAIN*>(made2)->PropertyCount(), 18);
  delete made2;
}

}  // namespace
