// A refused pass over a distribution and its domains: the nodes a
// distribution may lay over all its domains, and a refusal by any model
// leaving every model as it was.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/distribution_fixture.h"
#include "vq_format.h"

namespace {

using Settings = std::vector<std::pair<std::string, std::string>>;
struct Case {
  Settings sets;
  std::string error;
};

// Every value the distribution and its domains hold, by path.
std::map<std::string, std::string> Values(VQ_Container& root) {
  std::map<std::string, std::string> values;
  for (const vq_rt::ValueEntry& entry : vq_rt::CollectValues(root)) values[entry.path] = vq_rt::FormatValue(entry.value);
  return values;
}

// What a model holds: every object reachable from it and every value.
struct Held {
  std::set<const void*> objects;
  std::map<std::string, std::string> values;
  bool operator==(const Held&) const = default;
};
Held HeldBy(VQ_Container& root) {
  Held held{{}, Values(root)};
  for (const VQ_Containable* object : vq_rt::Reachable(root)) held.objects.insert(object);
  return held;
}
void ExpectSame(const Held& after, const Held& before, const std::string& what) {
  EXPECT_EQ(after.values, before.values) << what;
  EXPECT_EQ(after.objects.size(), before.objects.size()) << what;
  EXPECT_TRUE(after.objects == before.objects) << what;
}

// Drives the defaults, then the settings: the pass is refused with the
// case's error and every value other than the ones set stays as it was;
// the refused pass itself leaves every object and value as it found them.
template <class Fixture>
void ExpectRefusedAndUnchanged(const Case& c) {
  Fixture f;
  f.Run();
  std::map<std::string, std::string> before = Values(f.d);
  for (const auto& [path, value] : c.sets) f.Set(path, value);
  const Held set = HeldBy(f.d);
  EXPECT_EQ(f.RunError(), c.error);
  ExpectSame(HeldBy(f.d), set, c.error);
  std::map<std::string, std::string> after = Values(f.d);
  for (const auto& [path, value] : c.sets) before.erase(path), after.erase(path);
  EXPECT_EQ(after, before) << c.error;
}

// A refusal, of a setting or of a pass, leaves behind no object it made:
// the default instances of a section's replaceable members (LOCATION,
// SPACINGPREFERENCE, SPACINGUSED), made on first touch, go with the values.
TEST(ModelRefusals, NothingMadeOutlivesARefusal) {
  struct Step {
    std::string path, value;
    bool refused;
  };
  struct Scenario {
    VQ_ModelType* (*factory)();
    std::vector<Step> steps;
  } scenarios[] = {
      {DISTRIBUTION1DFactory,
       {{"XDOMAIN.SECTION(4).ELEMENTLENGTH", "0.125", false}, {"XDOMAIN.SECTION(4).SPACINGPREFERENCE", "", true}}},
      {DISTRIBUTION1DFactory, {{"XDOMAIN.SECTION(3).LOCATION", "x", true}, {"XDOMAIN.SECTION(2).SPACINGUSED", "", true}}},
      {DOMAINFactory, {{"NUMSECTIONS", "4", false}, {"SECTION(2).ELEMENTLENGTH", "0.0", false}}},
      {DOMAINFactory, {{"NUMSECTIONS", "3", false}, {"SECTION(3).LOCATION", "2.0", false}}},
      {DOMAINFactory, {{"NUMSECTIONS", "2", false}, {"SECTION(2).SPACINGPREFERENCE", "-1", false}}},
  };
  for (const Scenario& scenario : scenarios) {
    VQ_ModelType* model = scenario.factory();
    if (auto* distribution = dynamic_cast<VQ_DISTRIBUTION1D*>(model)) {
      VQ_ModelType* domain = DOMAINFactory();
      distribution->XDOMAIN.Link(domain);
      domain->Release();
    }
    for (const Step& step : scenario.steps) {
      const Held before = HeldBy(*model);
      bool refused = false;
      try {
        vq_rt::SetUserValueAtPath(*model, step.path, step.value);
      } catch (const VQ_Error&) {
        refused = true;
      }
      EXPECT_EQ(refused, step.refused) << step.path;
      if (refused) ExpectSame(HeldBy(*model), before, step.path);
    }
    // Then a pass over what was set, refused or not, once the arrays are
    // bound to their index sets (which makes the arrays themselves).
    vq_rt::Driver driver(*model);
    driver.SetDims();
    const Held before = HeldBy(*model);
    std::string error;
    try {
      driver.Run();
    } catch (const VQ_Error& e) {
      error = e.what();
    }
    if (!error.empty()) ExpectSame(HeldBy(*model), before, error);
    model->Release();
  }
}

TEST(ModelRefusals, TwoDomainsAreRefusedTogether) {
  const Case cases[] = {
      // One domain refuses after the other has laid its new grid.
      {{{"XDOMAIN.NUMSECTIONS", "3"}, {"YDOMAIN.LENGTH", "0"}}, "YDOMAIN.LENGTH: 0.0 must be finite and greater than 0"},
      {{{"YDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.ENDNODE", "9"}},
       "XDOMAIN.ENDNODE: 9 is not 8, the node intervals of all sections"},
      // Each grid is sound, their product is too large to lay: the domain
      // with the most nodes answers, through the input that gave them.
      {{{"XDOMAIN.SECTION(1).NODECOUNT", "10000"}, {"YDOMAIN.SECTION(1).NODECOUNT", "1000"}},
       "XDOMAIN.SECTION(1).NODECOUNT: 10000 takes the distribution to 10011001 nodes over its domains, more than the "
       "10000001 a distribution may have: beside the 1001 nodes of the others its domain may have at most 9989 node "
       "intervals"},
      // Small enough a grid for a 32-bit process to lay.
      {{{"XDOMAIN.SECTION(1).NODECOUNT", "2500000"}, {"YDOMAIN.SECTION(1).NODECOUNT", "3"}},
       "XDOMAIN.SECTION(1).NODECOUNT: 2500000 takes the distribution to 10000004 nodes over its domains, more than "
       "the 10000001 a distribution may have: beside the 4 nodes of the others its domain may have at most 2499999 "
       "node intervals"},
      {{{"XDOMAIN.NUMSECTIONS", "2"}, {"YDOMAIN.SPACINGPREFERENCE", "2.5e-7"}},
       "YDOMAIN.SPACINGPREFERENCE: 2.5e-07 takes the distribution to 68000017 nodes over its domains, more than the "
       "10000001 a distribution may have: beside the 17 nodes of the others its domain may have at most 588234 node "
       "intervals"},
  };
  for (const Case& c : cases) ExpectRefusedAndUnchanged<Distribution2DFixture>(c);
}

TEST(ModelRefusals, ThreeDomainsAreRefusedTogether) {
  const Case cases[] = {
      {{{"XDOMAIN.NUMSECTIONS", "2"}, {"ZDOMAIN.SPACINGPREFERENCE", "0"}},
       "ZDOMAIN.SPACINGPREFERENCE: 0.0 must be finite and greater than 0"},
      // 216 nodes along each axis are too many (215 are the most).
      {{{"XDOMAIN.SECTION(1).NODECOUNT", "215"},
        {"YDOMAIN.SECTION(1).NODECOUNT", "215"},
        {"ZDOMAIN.SECTION(1).NODECOUNT", "215"}},
       "XDOMAIN.SECTION(1).NODECOUNT: 215 takes the distribution to 10077696 nodes over its domains, more than the "
       "10000001 a distribution may have: beside the 46656 nodes of the others its domain may have at most 213 node "
       "intervals"},
      {{{"ZDOMAIN.ENDNODE", "250"}, {"ZDOMAIN.SECTION(1).NODECOUNT", "250"}, {"YDOMAIN.SECTION(1).NODECOUNT", "240"},
        {"XDOMAIN.SECTION(1).NODECOUNT", "200"}},
       "ZDOMAIN.ENDNODE: 250 takes the distribution to 12158691 nodes over its domains, more than the 10000001 a "
       "distribution may have: beside the 48441 nodes of the others its domain may have at most 205 node "
       "intervals"},
  };
  for (const Case& c : cases) ExpectRefusedAndUnchanged<Distribution3DFixture>(c);
}

// The counting pass holds to the same bound when the domains change after
// the assignments, and takes a grid of exactly as many nodes as one domain
// may have (10000001 = 11 x 909091). No derivative is used and no integral
// asked for, so a grid that is taken walks no row over the arrays sized for
// the first grid.
TEST(ModelRefusals, CountingAGridTooLargeIsRefused) {
  struct Case {
    const char* xIntervals;
    const char* yIntervals;
    std::string error;
  } cases[] = {
      {"10000", "1000",
       "XDOMAIN.SECTION(1).NODECOUNT: 10000 takes the distribution to 10011001 nodes over its domains, more than the "
       "10000001 a distribution may have: beside the 1001 nodes of the others its domain may have at most 9989 node "
       "intervals"},
      {"10", "909090", "(no error)"},
      {"10", "909091",
       "YDOMAIN.SECTION(1).NODECOUNT: 909091 takes the distribution to 10000012 nodes over its domains, more than "
       "the 10000001 a distribution may have: beside the 11 nodes of the others its domain may have at most 909090 "
       "node intervals"},
  };
  for (const Case& c : cases) {
    Distribution2DFixture f;
    f.Set("HIGHESTORDERXDERIVATIVEUSED", "0");
    f.Set("HIGHESTORDERYDERIVATIVEUSED", "0");
    vq_rt::Driver driver(f.d);
    driver.SetDims();
    driver.ExecuteAssignments();
    f.Set("XDOMAIN.SECTION(1).NODECOUNT", c.xIntervals);
    f.Set("YDOMAIN.SECTION(1).NODECOUNT", c.yIntervals);
    f.X().ExecuteAssignments(1, 0);
    f.Domain(1).ExecuteAssignments(1, 0);
    std::string error = "(no error)";
    try {
      driver.SetUpEquations();
    } catch (const VQ_Error& e) {
      error = e.what();
    }
    EXPECT_EQ(error, c.error) << c.xIntervals << " x " << c.yIntervals;
    EXPECT_EQ(f.d.m_OwnEqnCount, 0) << c.error;
  }
}

// A domain is named by the reference that first linked it, from the
// instance that holds the reference; unlinked, by its type again.
TEST(ModelRefusals, LinkedDomainsAreNamedByTheirReference) {
  Distribution2DFixture f;
  VQ_DOMAIN& x = f.X();
  x.AddRef();
  EXPECT_EQ((*x.LENGTH).DisplayName(), "XDOMAIN.LENGTH");
  EXPECT_EQ((*x.SECTION)(1).NODECOUNT.DisplayName(), "XDOMAIN.SECTION(1).NODECOUNT");
  f.d.YDOMAIN.Link(&x);  // the same domain at both references keeps its first name
  EXPECT_EQ(x.ENDNODE.DisplayName(), "XDOMAIN.ENDNODE");
  f.d.XDOMAIN.Link(nullptr);
  f.d.YDOMAIN.Link(nullptr);
  EXPECT_EQ(x.ENDNODE.DisplayName(), "DOMAIN.ENDNODE");
  x.Release();
}

}  // namespace
