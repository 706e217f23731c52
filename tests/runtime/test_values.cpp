// Set values, tagged values and set iterators of the runtime.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>
#include <random>
#include <set>

#include "vq_error.h"
#include "vq_format.h"
#include "vq_value.h"

namespace {

std::vector<int> Elements(const XUValue& set) {
  std::vector<int> out;
  for (int i = 0; i < set.SetSize(); ++i) out.push_back(set.IntegerAt(i));
  return out;
}

TEST(IntegerSets, RangesAndTheOneElementIdiom) {
  struct Case {
    int lo, hi;
    std::vector<int> expected;
  } cases[] = {
      {0, 3, {0, 1, 2, 3}},
      {5, 5, {5}},
      {1, 0, {}},
      {0, -8, {}},
      // The smallest int as upper bound is the one-element idiom.
      {3, INT_MIN, {3}},
      {0, INT_MIN, {0}},
      {-7, INT_MIN, {-7}},
      {INT_MIN, INT_MIN, {INT_MIN}},
      {INT_MAX - 1, INT_MAX, {INT_MAX - 1, INT_MAX}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Elements(VQ_IntSetValue(c.lo, c.hi)), c.expected) << c.lo << ".." << c.hi;
  }
  EXPECT_EQ(Elements(VQ_IntSetValue(VQ_OneElement{}, 7)), std::vector<int>{7});
  EXPECT_EQ(VQ_IntSetValue(static_cast<const char*>(nullptr)).SetSize(), 0);
  EXPECT_EQ(Elements(VQ_IntSetValue("1, 4..6, 9")), (std::vector<int>{1, 4, 5, 6, 9}));
}

TEST(IntegerSets, UnionIntersectionAndMembership) {
  VQ_IntSetValue a(1, 5);
  a += VQ_IntSetValue(8, 9);
  a += 7;  // joins 8..9, leaving the gap at 6
  EXPECT_EQ(Elements(a), (std::vector<int>{1, 2, 3, 4, 5, 7, 8, 9}));
  EXPECT_EQ(a.RunCount(), 2);
  a += 6;
  EXPECT_EQ(a.RunCount(), 1);
  VQ_IntSetValue b(0, 100);
  b *= VQ_IntSetValue(4, 7);
  EXPECT_EQ(Elements(b), (std::vector<int>{4, 5, 6, 7}));
  EXPECT_EQ(b >= 4, 1);
  EXPECT_EQ(b >= 8, 0);
  // A set of kind unknown takes the kind of what is added to it.
  VQ_SetValue result(XUValue::kSet);
  result += VQ_IntSetValue(2, 3);
  EXPECT_EQ(result.Type(), XUValue::kIntSet);
  EXPECT_EQ(Elements(result), (std::vector<int>{2, 3}));
  VQ_IntSetValue empty;
  empty *= VQ_IntSetValue(1, 5);
  EXPECT_EQ(empty.SetSize(), 0);
}

// Positions as the array bases use them, against a plain ordered set.
TEST(IntegerSets, PositionsMatchAnOrderedSetUnderRandomInsertion) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(-50, 50);
  VQ_IntSetValue set;
  std::set<int> reference;
  for (int step = 0; step < 400; ++step) {
    int value = pick(random);
    int position = -1;
    bool held = set.SetContains(value, position) != 0;
    auto it = reference.lower_bound(value);
    ASSERT_EQ(held, it != reference.end() && *it == value);
    ASSERT_EQ(position, static_cast<int>(std::distance(reference.begin(), it)));
    if (!held) {
      set.SetAddAtOffset(value, position);
      reference.insert(value);
    }
  }
  EXPECT_EQ(Elements(set), std::vector<int>(reference.begin(), reference.end()));
  int position = 0;
  EXPECT_THROW(set.SetAddAtOffset(*reference.begin(), 0), VQ_Error);
  ASSERT_FALSE(set.SetContains(1000, position));
  EXPECT_THROW(set.SetAddAtOffset(1000, 0), VQ_Error);  // not where it belongs
}

// A union's elements and every position, against a plain ordered set; its
// runs as few as the elements allow.
void ExpectSameSet(const XUValue& set, const std::set<int>& reference, const std::string& what) {
  ASSERT_EQ(Elements(set), std::vector<int>(reference.begin(), reference.end())) << what;
  EXPECT_EQ(set.SetSize(), static_cast<int>(reference.size())) << what;
  int runs = 0;
  for (auto it = reference.begin(); it != reference.end(); ++it) runs += it == reference.begin() || *std::prev(it) + 1 != *it;
  EXPECT_EQ(set.RunCount(), runs) << what;
  if (reference.empty()) return;
  for (int v = *reference.begin() - 5; v <= *reference.rbegin() + 5; ++v) {
    int position = -1;
    const bool held = set.SetContains(v, position) != 0;
    auto it = reference.lower_bound(v);
    ASSERT_EQ(held, it != reference.end() && *it == v) << what << " " << v;
    ASSERT_EQ(position, static_cast<int>(std::distance(reference.begin(), it))) << what << " " << v;
  }
}

// Unions in ascending order (appended, touching or apart) and out of order
// (merged): first sets that share or abut an end element, either way round,
// then random ones.
TEST(IntegerSets, UnionsMatchAnOrderedSet) {
  struct Case {
    std::vector<std::pair<int, int>> ranges;  // joined in this order
  } cases[] = {
      {{{-1, 0}, {0, 3}}},   // share an end element, ascending
      {{{-1, -1}, {0, 3}}},  // abut, ascending
      {{{0, 3}, {3, 5}}},
      {{{0, 3}, {4, 5}}},
      {{{0, 3}, {-1, 0}}},   // share, out of order
      {{{0, 3}, {-3, -1}}},  // abut, out of order
      {{{0, 3}, {5, 6}, {4, 4}}},
      {{{0, 3}, {5, 6}, {3, 5}}},
      {{{-1, 2}, {0, 5}}},   // overlap
  };
  for (const Case& c : cases) {
    VQ_SetValue set(XUValue::kSet);
    std::set<int> reference;
    std::string what;
    for (const auto& [lo, hi] : c.ranges) {
      set += VQ_IntSetValue(lo, hi);
      for (int v = lo; v <= hi; ++v) reference.insert(v);
      what += "{" + std::to_string(lo) + ".." + std::to_string(hi) + "}";
    }
    ExpectSameSet(set, reference, what);
  }
  std::mt19937 random(5);
  for (bool ascending : {true, false}) {
    VQ_SetValue set(XUValue::kSet);
    std::set<int> reference;
    int next = -20;
    std::uniform_int_distribution<int> gap(0, 2), width(0, 3), anywhere(-20, 60);
    for (int step = 0; step < 60; ++step) {
      const int lo = ascending ? next + gap(random) : anywhere(random);
      const int hi = lo + width(random);
      next = hi + 1;
      set += VQ_IntSetValue(lo, hi);
      for (int v = lo; v <= hi; ++v) reference.insert(v);
    }
    ExpectSameSet(set, reference, ascending ? "ascending" : "anywhere");
  }
}

// A set of one run keeps it in place, a set of more on the heap: copies,
// assignments and swaps between the two forms keep every element.
TEST(IntegerSets, CopiesAndSwapsKeepEveryRunInEitherForm) {
  const auto make = [](std::vector<std::pair<int, int>> ranges) {
    VQ_IntSetValue set(1, 0);
    for (const auto& [lo, hi] : ranges) set += VQ_IntSetValue(lo, hi);
    return set;
  };
  const std::vector<VQ_IntSetValue> sets = {make({}), make({{4, 9}}), make({{0, 1}, {5, 7}, {10, 10}}),
                                            make({{-3, -3}, {2, 2}})};
  for (size_t a = 0; a < sets.size(); ++a) {
    for (size_t b = 0; b < sets.size(); ++b) {
      const std::vector<int> first = Elements(sets[a]), second = Elements(sets[b]);
      VQ_IntSetValue x(sets[a]), y(sets[b]);
      EXPECT_EQ(Elements(x), first) << a;
      x.Swap(y);
      EXPECT_EQ(Elements(x), second) << a << " swapped with " << b;
      EXPECT_EQ(Elements(y), first) << a << " swapped with " << b;
      x = y;
      y = sets[b];
      EXPECT_EQ(Elements(x), first) << b << " assigned " << a;
      EXPECT_EQ(Elements(y), second) << a << " assigned " << b;
      x += VQ_IntSetValue(20, 21);  // the copy grows on its own
      EXPECT_EQ(Elements(y), second) << a << ", " << b;
      EXPECT_EQ(Elements(sets[a]), first) << a;
      const VQ_IntSetValue& same = x;
      x = same;
      EXPECT_EQ(x.SetSize(), static_cast<int>(first.size()) + 2) << a << " assigned to itself";
    }
  }
  VQ_IntegerSetIter it(VQ_IntSetValue(3, 5));  // the iterator takes the set over
  std::vector<int> walked;
  while (it.Next()) walked.push_back(it.v());
  EXPECT_EQ(walked, (std::vector<int>{3, 4, 5}));
}

TEST(StringSets, QuotedTextMembershipIgnoresCaseAndPositions) {
  VQ_StrSetValue methods("BFD1\"BFD2\"CFD2\"CFD4\"FFD1\"FFD2\"OCFE2\"OCFE3\"OCFE4\"UBFD4\"");
  ASSERT_EQ(methods.SetSize(), 10);
  EXPECT_STREQ(methods.String(9), "UBFD4");
  EXPECT_EQ(methods >= "ocfe3", 1);
  EXPECT_EQ(methods >= "OCFE5", 0);
  VQ_StrSetValue integrals;
  integrals += "idx";
  integrals += "IDX";
  EXPECT_EQ(integrals.SetSize(), 1);
  int position = -1;
  EXPECT_FALSE(integrals.SetContains("abc", position));
  EXPECT_EQ(position, 0);
  integrals.SetAddAtOffset("abc", position);
  EXPECT_STREQ(integrals.String(0), "abc");
  EXPECT_EQ(XUValue::CompareCI("BFD1", "bfd1"), 0);
  EXPECT_NE(XUValue::CompareCI("BFD1", "BFD2"), 0);
  EXPECT_NE(XUValue::CompareCI(nullptr, "x"), 0);
}

TEST(SetIterators, OwnWhatTheyWalk) {
  VQ_IntegerSetIter* it;
  {
    VQ_IntSetValue temporary(3, 5);
    temporary += 9;
    it = new VQ_IntegerSetIter(temporary);
  }  // the set is gone before the first step
  std::vector<int> seen;
  while (it->Next()) seen.push_back(it->v());
  delete it;
  EXPECT_EQ(seen, (std::vector<int>{3, 4, 5, 9}));

  VQ_IntegerSetIter empty(VQ_IntSetValue(1, 0));
  EXPECT_FALSE(empty.Next());
  VQ_IntegerSetIter top(VQ_IntSetValue(INT_MAX - 1, INT_MAX));
  int count = 0;
  while (top.Next()) ++count;
  EXPECT_EQ(count, 2);

  VQ_StringSetIter names(VQ_StrSetValue("b\"a\""));
  std::vector<std::string> walked;
  while (names.Next()) walked.push_back(names.v());
  EXPECT_EQ(walked, (std::vector<std::string>{"a", "b"}));
}

TEST(TaggedValues, CarryTheirTagsAndOrdinal) {
  VQ_Value value(VQ_IntSetValue(0, 8), 11u, 22u, 3);
  EXPECT_EQ(value.TagB(), 11u);
  EXPECT_EQ(value.TagA(), 22u);
  EXPECT_EQ(value.Ordinal(), 3);
  EXPECT_EQ(value.Value().SetSize(), 9);
  VQ_Value text("None", 0u);
  EXPECT_TRUE(text.IsShortForm());
  EXPECT_STREQ(text.Value().AsString(), "None");
}

TEST(Formatting, DoublesAreShortestAndAlwaysShowTheirKind) {
  const std::vector<std::pair<double, std::string>> cases = {
      {-3.0, "-3.0"}, {0.5, "0.5"}, {0.08333333333333333, "0.08333333333333333"},
      {0.001388888888888889, "0.001388888888888889"}, {1e20, "1e+20"}, {0.05635000000000001, "0.05635000000000001"},
      {123456.0, "123456.0"}, {-1.7976931348623157e308, "-1.7976931348623157e+308"}, {5e-324, "5e-324"},
      {std::nan(""), "nan"}, {-HUGE_VAL, "-inf"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(vq_rt::FormatDouble(value), text);
    char buffer[vq_rt::kDoubleTextSize];
    EXPECT_EQ(vq_rt::FormatDouble(value, buffer), text);
  }
}

TEST(Formatting, IntegerSetsShowRunsAndPairsUpToTheLimitsOfInt) {
  const std::map<std::string, std::string> cases = {
      {"1..7, 9", "{1..7, 9}"},
      {"3, 4", "{3, 4}"},
      {"2147483647", "{2147483647}"},
      {"2147483646, 2147483647", "{2147483646, 2147483647}"},
      {"-2147483648, 2147483647", "{-2147483648, 2147483647}"},
      {"-2147483648, -2147483647", "{-2147483648, -2147483647}"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(vq_rt::FormatValue(VQ_IntSetValue(text.c_str())), shown) << text;
  EXPECT_EQ(vq_rt::FormatValue(VQ_IntSetValue(2147483640, 2147483647)), "{2147483640..2147483647}");
}

}  // namespace
