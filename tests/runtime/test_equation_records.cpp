// The records of the two passes read back exactly what each equation was
// given, however the groups, counters and names change along a pass.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vq_equations.h"
#include "vq_error.h"

namespace {

struct Made {
  uint32_t name;
  int group;
  int index;
  uint32_t tokens;
  bool procedure = false;
};

TEST(EquationRecords, EveryEquationReadsBackWhatItWasGiven) {
  struct Case {
    const char* what;
    std::vector<Made> equations;
  };
  std::vector<Made> wide;  // names beyond two bytes from the middle on
  for (int k = 0; k < 6; ++k) wide.push_back({k < 3 ? uint32_t(k) : 70000u + k, 1, k, 2});
  const Case cases[] = {
      {"one group, counting up", {{0, 1, 0, 3}, {0, 1, 1, 1}, {1, 1, 2, 4}, {2, 1, 3, 0}}},
      {"groups that change and come back", {{0, 1, 0, 2}, {0, 2, 1, 2}, {0, 2, 2, 2}, {0, 1, 3, 5}, {3, 3, 4, 1}}},
      {"counters that jump, repeat and go back", {{0, 1, 10, 1}, {0, 1, 11, 1}, {0, 1, 5, 2}, {0, 1, 5, 2}, {0, 1, -3, 1}}},
      {"procedures among them", {{0, 1, 0, 2, true}, {0, 1, 1, 3}, {1, 1, 2, 1, true}, {1, 1, 3, 1, true}}},
      {"names beyond two bytes", wide},
  };
  for (const Case& c : cases) {
    vq_rt::ContainerState state;
    uint32_t tokens = 0;
    for (const Made& m : c.equations) {
      state.StartEquation(m.name, m.group, m.index);
      state.counted.push_back(m.group, tokens);
      if (m.procedure) state.emitted.MarkProcedure(nullptr, 1);
      for (uint32_t t = 0; t < m.tokens; ++t) state.stream.AddInteger(1);
      for (uint32_t t = 0; t < m.tokens; ++t) state.countedReferences.Add(7);
      tokens += m.tokens;
    }
    ASSERT_EQ(state.emitted.size(), c.equations.size()) << c.what;
    ASSERT_EQ(state.counted.size(), c.equations.size()) << c.what;
    size_t k = 0;
    for (const vq_rt::EmittedEquation e : state.emitted) {
      const Made& m = c.equations[k];
      const std::string at = std::string(c.what) + ", equation " + std::to_string(k);
      EXPECT_EQ(e.nameId, m.name) << at;
      EXPECT_EQ(e.group, m.group) << at;
      EXPECT_EQ(e.index, m.index) << at;
      EXPECT_EQ(e.hasProcedure, m.procedure) << at;
      EXPECT_EQ(state.TokenCount(e), m.tokens) << at;
      const vq_rt::CountedEquation counted = state.counted[k];
      EXPECT_EQ(counted.group, m.group) << at;
      EXPECT_EQ(state.ReferenceCount(counted), m.tokens) << at;
      ++k;
    }
    EXPECT_EQ(k, c.equations.size()) << c.what;
  }
}

// A name is one entry however it arrives: the same literal again, by turns
// with hundreds of others (more than are remembered as recent), the same
// text at another address, or as text that does not outlive its call.
TEST(EquationRecords, ANameIsOneEntryHoweverItArrives) {
  constexpr int kNames = 300;
  std::vector<std::string> texts, copies;
  for (int n = 0; n < kNames; ++n) texts.push_back("VQ_Eqn" + std::to_string(n));
  copies = texts;  // the same texts at other addresses
  vq_rt::ContainerState state;
  std::vector<uint32_t> ids;
  for (const std::string& text : texts) ids.push_back(state.InternName(text.c_str()));
  for (int round = 0; round < 3; ++round)
    for (int step : {1, 7, 64, 131}) {
      for (int n = 0, k = 0; n < kNames; ++n, k = (k + step) % kNames) {
        ASSERT_EQ(state.InternName(texts[k].c_str()), ids[k]) << "step " << step << ", name " << k;
        ASSERT_EQ(state.InternName(copies[k].c_str()), ids[k]) << "copy, step " << step << ", name " << k;
        ASSERT_EQ(state.InternNameText(texts[k].c_str()), ids[k]) << "text, step " << step << ", name " << k;
      }
    }
  ASSERT_EQ(state.names.size(), static_cast<size_t>(kNames));
  for (int n = 0; n < kNames; ++n) EXPECT_EQ(state.names[ids[n]], texts[n]);
}

// Offsets past 2^32 (a stream of a large grid): each equation's offset and
// end read back whole, whether the offsets cross the boundary within a run
// of one group, at a change of group, or by a step of more than 2^32.
TEST(EquationRecords, OffsetsBeyondThirtyTwoBitsReadBackWhole) {
  constexpr uint64_t kHigh = uint64_t{1} << 32;
  struct Made {
    int group;
    uint64_t offset;
  };
  const std::vector<Made> made = {
      {1, 0},         {1, kHigh - 7},     {1, kHigh - 1},     {1, kHigh},      {1, kHigh + 5},
      {2, kHigh + 9}, {2, 2 * kHigh - 1}, {3, 2 * kHigh + 1}, {3, 5 * kHigh}, {3, 5 * kHigh + 3},
  };
  const uint64_t total = 5 * kHigh + 11;
  vq_rt::EquationRuns counting, emitting;
  for (size_t k = 0; k < made.size(); ++k) {
    counting.AppendInGroup(made[k].group, made[k].offset);
    emitting.Append(made[k].group, 10 + static_cast<int>(k), made[k].offset);
  }
  for (const vq_rt::EquationRuns* runs : {&counting, &emitting}) {
    for (size_t k = 0; k < made.size(); ++k) {
      EXPECT_EQ(runs->Offset(k), made[k].offset) << "equation " << k;
      EXPECT_EQ(runs->Group(k), made[k].group) << "equation " << k;
      EXPECT_EQ(runs->End(k, total), k + 1 < made.size() ? made[k + 1].offset : total) << "equation " << k;
      EXPECT_NO_THROW(runs->Check(static_cast<uint32_t>(k), made[k].offset)) << "equation " << k;
      EXPECT_THROW(runs->Check(static_cast<uint32_t>(k), made[k].offset ^ kHigh), VQ_Error) << "equation " << k;
    }
  }
  for (size_t k = 0; k < made.size(); ++k) EXPECT_EQ(emitting.Index(k), 10 + static_cast<int>(k)) << "equation " << k;
}

// An equation of one model asked of another is refused, not read out of
// another list.
TEST(EquationRecords, AnEquationOfAnotherModelIsRefused) {
  vq_rt::ContainerState made, other;
  for (int k = 0; k < 3; ++k) {
    made.StartEquation(0, 1, k);
    made.stream.AddInteger(k);
  }
  for (int k = 0; k < 2; ++k) {
    other.StartEquation(0, 1, k);
    for (int t = 0; t < 5; ++t) other.stream.AddInteger(t);
  }
  EXPECT_THROW(other.TokenCount(made.emitted[2]), VQ_Error);  // beyond its equations
  EXPECT_THROW(other.TokenCount(made.emitted[1]), VQ_Error);  // its tokens begin elsewhere
  EXPECT_EQ(other.TokenCount(other.emitted[1]), 5u);
  EXPECT_THROW(made.emitted.at(3), std::out_of_range);
  EXPECT_THROW(made.counted.at(0), std::out_of_range);
}

}  // namespace
