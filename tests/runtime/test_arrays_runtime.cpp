// The runtime's one-dimensional arrays and element block.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "vq_error.h"
#include "vq_matrix.h"
#include "vq_memory.h"
#include "vq_params.h"

namespace {

class RealArray : public VQ_BASE_I {
 public:
  VQ_Type* NewElement() override { return vq_rt::New<VQ_REALVARIABLE>(true); }
  int CurrentOffset() const { return m_CurrentOffset; }  // the slot of the last look-up
};

class NameArray : public VQ_BASE_S {
 public:
  VQ_Type* NewElement() override { return vq_rt::New<VQ_REALVARIABLE>(true); }
};

class Owner : public VQ_ModelTypeEx2 {
 public:
  const char* VQ_DefaultDESCRIPTION() const override { return "Model OWNER\tV8.4"; }
};

TEST(ElementBlock, AddNullEntriesInsertsIntoEveryRun) {
  VQ_LongPtrVectorOwnsData block;
  block.AddNullEntries(0, 0, 6);  // an empty block gets 2 by 3 slots
  ASSERT_EQ(block.Elements(), 6);
  block.AddNullEntries(1, 3, 1);  // a value at position 1 of dimension 1
  EXPECT_EQ(block.Elements(), 8);
  block.AddNullEntries(2, 2, 4);  // a value at position 2 of dimension 0
  EXPECT_EQ(block.Elements(), 12);
  EXPECT_THROW(block.AddNullEntries(0, 5, 1), VQ_Error);  // runs of 5 do not tile 12 slots
}

TEST(OneIndexArrays, FindMakesAnElementOnceAndKeepsIndexOrder) {
  Owner owner;
  RealArray values;
  values.AddProperty(&owner, "VALUE", nullptr, 0, false);
  VQ_Type* three = values.Find(3);
  VQ_Type* one = values.Find(1);
  EXPECT_EQ(values.Find(3), three);
  EXPECT_NE(one, three);
  EXPECT_EQ(values.ElementSlots(), 2);
  EXPECT_EQ(values.ElementAtSlot(0), one);  // slots follow the index order
  EXPECT_EQ(three->DisplayName(), "OWNER.VALUE(3)");
  values.Find(2);
  EXPECT_EQ(values.ElementAtSlot(1)->DisplayName(), "OWNER.VALUE(2)");
}

TEST(OneIndexArrays, ElementByTextAndReadIndex) {
  RealArray values;
  EXPECT_EQ(&values.ElementByText("7)"), values.Find(7));
  EXPECT_THROW(values.ElementByText("x)"), VQ_Error);
  EXPECT_THROW(values.ElementByText("7"), VQ_Error);  // the closing parenthesis is required

  const char* text = " 12 , 4)";
  int first = 0, second = 0;
  ASSERT_TRUE(VQ_Matrix::ReadIndex(text, first, ','));
  ASSERT_TRUE(VQ_Matrix::ReadIndex(text, second, ')'));
  EXPECT_EQ(first, 12);
  EXPECT_EQ(second, 4);

  char buffer[8];
  const char* fits = "abcdefg)";
  EXPECT_TRUE(VQ_Matrix::ReadIndex(fits, buffer, sizeof buffer, ')'));
  EXPECT_STREQ(buffer, "abcdefg");
  const char* tooLong = "abcdefgh)";
  const char* before = tooLong;
  EXPECT_FALSE(VQ_Matrix::ReadIndex(tooLong, buffer, sizeof buffer, ')'));
  EXPECT_EQ(tooLong, before);  // nothing consumed, nothing cut
}

// OWNER.VALUE over the index set VQ_VALUE_SET1, declared as `declared`.
struct DeclaredArray {
  explicit DeclaredArray(const VQ_IntSetValue& declared) {
    nodes.AddProperty(&owner, "VQ_VALUE_SET1", nullptr, 0, false);
    values.AddProperty(&owner, "VALUE", nullptr, 0, false);
    values.SetDim(nodes);
    VQ_Value wrapped(declared, 0u, 0u, 1);
    owner.InitialiseInternalIndexSet(nodes, &wrapped, 1);
  }
  Owner owner;
  VQ_INTEGERSET nodes;
  RealArray values;
};

TEST(OneIndexArrays, StrictLookupsRefuseElementsOutsideTheDeclaredSet) {
  DeclaredArray array(VQ_IntSetValue(0, 4));
  RealArray& values = array.values;
  values.Find(9);  // outside the passes anything goes
  {
    VQ_StrictLookups strict;
    EXPECT_NE(values.Find(4), nullptr);
    EXPECT_NE(values.Find(9), nullptr);  // exists already
    try {
      values.Find(-1);
      FAIL() << "no error";
    } catch (const VQ_Error& error) {
      EXPECT_STREQ(error.what(), "OWNER.VALUE(-1) lies outside the declared index set VQ_VALUE_SET1");
    }
  }
}

// An index set of many runs, as the interior of collocation elements: each
// index finds its own element whatever order the look-ups come in, and an
// index between the runs is refused during the passes.
TEST(OneIndexArrays, LookUpsInASetOfManyRunsFindTheirOwnElements) {
  VQ_IntSetValue interior;  // 1..3, 5..7, ..., 37..39: elements of four intervals
  for (int element = 0; element < 10; ++element)
    for (int node = 1; node <= 3; ++node) interior += 4 * element + node;
  DeclaredArray array(interior);
  RealArray& values = array.values;
  std::vector<VQ_Type*> first(40, nullptr);
  for (int index = 1; index < 40; ++index)
    if (index % 4 != 0) first[static_cast<size_t>(index)] = values.Find(index);
  EXPECT_EQ(values.ElementSlots(), 30);
  const std::vector<std::vector<int>> orders = {
      {1, 2, 3, 5, 6, 7, 9},           // along the runs
      {39, 38, 37, 35, 34, 33, 3},     // backwards
      {5, 37, 1, 22, 23, 6, 7, 9, 5},  // jumping about
  };
  VQ_StrictLookups strict;
  for (const auto& order : orders)
    for (int index : order) {
      EXPECT_EQ(values.Find(index), first[static_cast<size_t>(index)]) << index;
      EXPECT_EQ(values.ElementAtSlot(values.CurrentOffset()), first[static_cast<size_t>(index)]) << index;
    }
  for (int outside : {0, 4, 20, 40, -3}) EXPECT_THROW(values.Find(outside), VQ_Error) << outside;
  EXPECT_EQ(values.Find(7)->DisplayName(), "OWNER.VALUE(7)");
}

TEST(OneIndexArrays, CopiesGetTheirOwnBlockOfTheSameShape) {
  RealArray values;
  values.Find(1);
  values.Find(2);
  RealArray copy(values);
  EXPECT_EQ(copy.ElementSlots(), 2);
  EXPECT_EQ(copy.ElementAtSlot(0), nullptr);
  VQ_Type* made = copy.Find(2);
  EXPECT_NE(made, values.Find(2));
  EXPECT_EQ(copy.ElementSlots(), 2);
  RealArray assigned;
  assigned.Find(5);
  assigned = values;
  EXPECT_EQ(assigned.ElementSlots(), 2);
  EXPECT_EQ(assigned.NewElements(), 2);
  EXPECT_EQ(assigned.NewElements(), 0);
}

TEST(OneIndexArrays, StringIndices) {
  NameArray ports;
  VQ_Type* a = ports.Find("Inlet");
  EXPECT_EQ(ports.Find("inlet"), a);  // string indices ignore case
  ports.CreateMissingArrayElement("outlet)");
  EXPECT_EQ(ports.ElementSlots(), 2);
  std::string tooLong(200, 'x');
  ports.CreateMissingArrayElement((tooLong + ")").c_str());
  EXPECT_EQ(ports.ElementSlots(), 2);
}

// A transaction that is not committed puts back the values it replaced and
// takes away the elements it made, however often they were assigned.
TEST(OneIndexArrays, AFailedTransactionUndoesAssignmentsAndMadeElements) {
  RealArray values;
  auto* kept = static_cast<VQ_REALVARIABLE*>(values.Find(1));
  VQ_Value before(1.5, 0, 0, 1);
  kept->Assign(&before);
  for (const bool commit : {false, true}) {
    {
      VQ_AssignmentTransaction transaction;
      VQ_Value changed(2.5, 0, 0, 2);
      kept->Assign(&changed);
      auto* made = static_cast<VQ_REALVARIABLE*>(values.Find(2));
      for (double x : {3.5, 4.5}) {
        VQ_Value v(x, 0, 0, 3);
        made->Assign(&v);
      }
      {
        VQ_AssignmentTransaction nested;  // the outermost one does the work
        VQ_Value again(5.5, 0, 0, 4);
        made->Assign(&again);
        kept->Assign(&again);
      }
      if (commit) transaction.Commit();
    }
    EXPECT_EQ(kept->Real(), commit ? 5.5 : 1.5);
    EXPECT_EQ(values.ElementSlots(), 2);
    ASSERT_EQ(values.ElementAtSlot(1) != nullptr, commit);
    if (commit) {
      EXPECT_EQ(static_cast<VQ_REALVARIABLE*>(values.ElementAtSlot(1))->Real(), 5.5);
    }
  }
}

// Each transaction puts back what it replaced, whatever the ones before it
// kept: a value a committed transaction assigned, and an element it made
// and assigned, come back when a later one fails.
TEST(OneIndexArrays, ALaterFailedTransactionPutsBackWhatACommittedOneLeft) {
  RealArray values;
  auto* kept = static_cast<VQ_REALVARIABLE*>(values.Find(1));
  auto assign = [](VQ_REALVARIABLE& variable, double x) {
    VQ_Value value(x, 0, 0, 1);
    variable.Assign(&value);
  };
  assign(*kept, 1.5);
  VQ_REALVARIABLE* made = nullptr;
  {
    VQ_AssignmentTransaction transaction;
    assign(*kept, 2.5);
    made = static_cast<VQ_REALVARIABLE*>(values.Find(2));
    assign(*made, 3.5);
    transaction.Commit();
  }
  for (int round = 0; round < 2; ++round) {
    {
      VQ_AssignmentTransaction transaction;
      assign(*kept, 4.5);
      assign(*made, 5.5);
    }
    EXPECT_EQ(kept->Real(), 2.5) << "round " << round;
    EXPECT_EQ(made->Real(), 3.5) << "round " << round;
    ASSERT_EQ(values.ElementAtSlot(1), made) << "round " << round;
  }
}

// Whatever order a failed transaction made elements in (along the slots,
// against them, apart, or in two arrays by turns, growing a block between
// elements already made), it takes away exactly those, and no memory stays.
TEST(OneIndexArrays, AFailedTransactionTakesAwayEveryElementItMadeInAnyOrder) {
  struct Case {
    const char* what;
    std::vector<int> first, second;  // indices looked up, in turn, in two arrays
  };
  const Case cases[] = {
      {"along the slots", {1, 2, 3, 4, 5, 6}, {}},
      {"against the slots", {6, 5, 4, 3, 2, 1}, {}},
      {"apart and back", {2, 4, 3, 8, 7, 1}, {}},
      {"two arrays by turns", {1, 2, 3, 4}, {1, 2, 3, 4}},
      {"a block grown between", {10, 11, 12, 5, 13, 6}, {20, 19, 30}},
  };
  for (const Case& c : cases)
    for (const bool commit : {false, true}) {
      RealArray first, second;
      VQ_Type* kept = first.Find(9);
      const long long before = vq_rt::GetHeapStats().liveBlocks;
      {
        VQ_AssignmentTransaction transaction;
        for (size_t k = 0; k < std::max(c.first.size(), c.second.size()); ++k) {
          if (k < c.first.size()) first.Find(c.first[k]);
          if (k < c.second.size()) second.Find(c.second[k]);
        }
        if (commit) transaction.Commit();
      }
      auto held = [](const RealArray& array) {
        std::vector<VQ_Type*> elements;
        for (int slot = 0; slot < array.ElementSlots(); ++slot)
          if (array.ElementAtSlot(slot) != nullptr) elements.push_back(array.ElementAtSlot(slot));
        return elements;
      };
      if (commit) {
        EXPECT_EQ(held(first).size(), c.first.size() + (first.Find(9) == kept ? 1u : 0u)) << c.what;
        EXPECT_EQ(held(second).size(), c.second.size()) << c.what;
      } else {
        EXPECT_EQ(held(first), std::vector<VQ_Type*>{kept}) << c.what;
        EXPECT_TRUE(held(second).empty()) << c.what;
        EXPECT_EQ(vq_rt::GetHeapStats().liveBlocks, before) << c.what;
      }
    }
}

}  // namespace
