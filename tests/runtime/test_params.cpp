// Parameters, variables and sets: value layers, bounds and valid sets.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "vq_container.h"
#include "vq_error.h"
#include "vq_format.h"
#include "vq_memory.h"
#include "vq_recorder.h"

namespace {

// A parameter type with default hooks, as the library's parameter types
// declare them.
class MethodParameter : public VQ_STRINGPARAMETER {
 public:
  explicit MethodParameter(bool construct) : VQ_STRINGPARAMETER(false) {
    if (construct) InitializeSystemAttributes();
  }
  VQ_Value* VQ_DefaultVALUE() const override {
    static VQ_Value value("BFD1", 0u);
    return &value;
  }
  VQ_Value* VQ_DefaultVALID() const override {
    static VQ_Value valid(VQ_StrSetValue("BFD1\"OCFE2\""), 0u);
    return &valid;
  }
};

class CountParameter : public VQ_INTEGERPARAMETER {
 public:
  CountParameter() : VQ_INTEGERPARAMETER(false) { InitializeSystemAttributes(); }
  VQ_Value* VQ_DefaultVALUE() const override {
    static VQ_Value value(1, 0u);
    return &value;
  }
  VQ_Value* VQ_DefaultLOWER() const override {
    static VQ_Value lower(1, 0u);
    return &lower;
  }
};

class Owner : public VQ_ModelTypeEx2 {
 public:
  const char* VQ_DefaultDESCRIPTION() const override { return "Model OWNER\tV8.4"; }
};

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const VQ_Error& error) {
    return error.what();
  }
  return "(no error)";
}

TEST(Parameters, UserValueWinsOverAssignedOverTypeDefault) {
  Owner owner;
  CountParameter sections;
  sections.AddProperty(&owner, "NUMSECTIONS", nullptr, 0, false);
  EXPECT_EQ(sections.v(), 1);
  VQ_Value assigned(3, 0u, 5u, 12);
  EXPECT_EQ(sections.Assign(&assigned), VQ_ASSIGN_OK);
  EXPECT_EQ(sections.v(), 3);
  XUValue user;
  user.SetInteger(4);
  sections.SetUserValue(user);
  EXPECT_EQ(sections.Assign(&assigned), VQ_ASSIGN_OVERRIDDEN);
  EXPECT_EQ(sections.v(), 4);
  EXPECT_EQ(sections.fv(), sections.v());
  sections.ClearUserValue();
  EXPECT_EQ(sections.v(), 3);
}

TEST(Parameters, BoundsAndValidSetsRefuseWithTheNameAndTheValue) {
  Owner owner;
  CountParameter sections;
  MethodParameter method(true);
  sections.AddProperty(&owner, "NUMSECTIONS", nullptr, 0, false);
  method.AddProperty(&owner, "DISCRETIZATIONMETHOD", nullptr, 0, false);
  EXPECT_STREQ(method.v(), "BFD1");

  XUValue zero;
  zero.SetInteger(0);
  EXPECT_EQ(ErrorOf([&] { sections.SetUserValue(zero); }), "OWNER.NUMSECTIONS: 0 is below the lower bound 1");
  VQ_Value assignedZero(0, 0u, 0u, 1);
  EXPECT_THROW(sections.Assign(&assignedZero), VQ_Error);
  EXPECT_EQ(sections.v(), 1);  // nothing half-written

  XUValue wrong;
  wrong.SetString("CFD9");
  EXPECT_EQ(ErrorOf([&] { method.SetUserValue(wrong); }),
            "OWNER.DISCRETIZATIONMETHOD: \"CFD9\" is not one of the valid values {\"BFD1\", \"OCFE2\"}");
  XUValue lower;
  lower.SetString("ocfe2");
  method.SetUserValue(lower);
  EXPECT_STREQ(method.v(), "ocfe2");

  XUValue fraction;
  fraction.SetReal(2.5);
  EXPECT_EQ(ErrorOf([&] { sections.SetUserValue(fraction); }), "OWNER.NUMSECTIONS: 2.5 is not an integer");
}

TEST(Parameters, WithoutInitialisedAttributesNothingIsProposed) {
  MethodParameter method(false);
  EXPECT_STREQ(method.v(), "");
  XUValue any;
  any.SetString("anything");
  method.SetUserValue(any);  // no valid set was read
  EXPECT_STREQ(method.v(), "anything");
}

TEST(Sets, InternalSetTakesEachPassAndStringSetTakesOneString) {
  Owner owner;
  VQ_INTEGERSET nodes;
  VQ_STRINGSET integrals(true);
  nodes.AddProperty(&owner, "VQ_VALUE_SET1", nullptr, 0, false);
  integrals.AddProperty(&owner, "INTEGRALS", nullptr, 0, false);
  EXPECT_EQ(nodes.v().SetSize(), 0);
  VQ_Value range(VQ_IntSetValue(0, 8), 0u, 1u, 1);
  owner.InitialiseInternalIndexSet(nodes, &range, 0);
  EXPECT_EQ(nodes.v().SetSize(), 9);
  VQ_Value none("None", 0u, 1u, 7);
  integrals.Assign(&none);
  EXPECT_EQ(integrals.v().SetSize(), 1);
  EXPECT_EQ(integrals.v() >= "idx", 0);
}

TEST(Variables, HoldAValueAndADerivativeIsAVariable) {
  VQ_PARTIALDERIVATIVE* derivative = vq_rt::New<VQ_PARTIALDERIVATIVE>(true);
  ASSERT_NE(derivative, nullptr);
  derivative->SetValue(2.5);
  EXPECT_EQ(derivative->Real(), 2.5);
  EXPECT_TRUE(derivative->IsSolverVariable());
  derivative->AddRef();
  long long live = vq_rt::GetHeapStats().liveBlocks;
  derivative->Release();  // back to the runtime heap
  EXPECT_EQ(vq_rt::GetHeapStats().liveBlocks, live - 1);
}

// Columns of the equation pattern: one per live variable, the same every
// time it is asked, whether the variable is on the heap or a member, and
// still one of its own after others were freed and their room reused; each
// column leads back to its variable.
TEST(Variables, EveryLiveVariableHasAColumnOfItsOwn) {
  const long long live = vq_rt::GetHeapStats().liveBlocks;
  std::vector<VQ_REALVARIABLE*> made;
  VQ_REALVARIABLE member(true);
  for (int i = 0; i < 20000; ++i) made.push_back(vq_rt::New<VQ_REALVARIABLE>(true));
  for (size_t i = 0; i < made.size(); i += 3) {
    made[i]->AddRef();
    made[i]->Release();
    made[i] = vq_rt::New<VQ_PARTIALDERIVATIVE>(true);
  }
  std::map<int, const VQ_REALVARIABLE*> owners;
  made.push_back(&member);
  for (VQ_REALVARIABLE* variable : made) {
    const int column = variable->PatternId();
    EXPECT_GE(column, 0);
    EXPECT_EQ(variable->PatternId(), column);
    EXPECT_EQ(vq_rt::ObjectAtColumn(column), static_cast<VQ_VarParam*>(variable)) << "column " << column;
    EXPECT_TRUE(owners.emplace(column, variable).second) << "column " << column << " given twice";
  }
  made.pop_back();
  for (VQ_REALVARIABLE* variable : made) {
    variable->AddRef();
    variable->Release();
  }
  EXPECT_EQ(vq_rt::GetHeapStats().liveBlocks, live);
}

// Emptied slabs go back to the system and their room is taken again: the
// variables made there have columns of their own that lead back to them.
TEST(Variables, ColumnsHoldWhenTheRoomOfFreedVariablesIsTakenAgain) {
  const long long live = vq_rt::GetHeapStats().liveBlocks;
  for (int round = 0; round < 3; ++round) {
    std::vector<VQ_REALVARIABLE*> made;
    for (int i = 0; i < 40000; ++i) made.push_back(vq_rt::New<VQ_REALVARIABLE>(true));
    std::map<int, const VQ_REALVARIABLE*> owners;
    for (VQ_REALVARIABLE* variable : made) {
      const int column = variable->PatternId();
      ASSERT_EQ(vq_rt::ObjectAtColumn(column), static_cast<VQ_VarParam*>(variable)) << "round " << round;
      ASSERT_TRUE(owners.emplace(column, variable).second) << "round " << round << ", column " << column;
    }
    for (VQ_REALVARIABLE* variable : made) {
      variable->AddRef();
      variable->Release();
    }
  }
  EXPECT_EQ(vq_rt::GetHeapStats().liveBlocks, live);
}

// A variable inside a heap block, not at its start, is not the block's
// object: it takes a column of its own, apart from its block's and its
// neighbours', in every block size the heap pools (runtime objects in
// steps of 8 bytes, other blocks in steps of 16).
TEST(Variables, AVariableInsideABlockHasAColumnOfItsOwn) {
  for (size_t bytes = sizeof(VQ_REALVARIABLE) + 8; bytes <= 256; bytes += 8) {
    for (size_t offset = 8; offset + sizeof(VQ_REALVARIABLE) <= bytes; offset += 8) {
      void* blocks[3] = {vq_rt::AllocateObject(bytes), vq_rt::AllocateObject(bytes), vq_rt::AllocateObject(bytes)};
      auto* inside = new (static_cast<char*>(blocks[1]) + offset) VQ_REALVARIABLE(true);
      const int column = inside->PatternId();
      EXPECT_EQ(vq_rt::ObjectAtColumn(column), static_cast<VQ_VarParam*>(inside)) << bytes << " bytes, at " << offset;
      for (void* block : blocks) EXPECT_NE(column, vq_rt::PooledColumn(block)) << bytes << " bytes, at " << offset;
      inside->~VQ_REALVARIABLE();
      for (void* block : blocks) MyFree(block);
    }
  }
}

// The heap's own blocks keep the 16-byte alignment operator new promises;
// runtime objects, which need no more than 8, take their size in steps of
// 8: a variable element takes 40 bytes, not 48. (Where the heap does not
// pool, as under the sanitizers or on Windows, blocks are the C heap's.)
TEST(Heap, ObjectsTakeStepsOfEightOtherBlocksKeepSixteen) {
  for (size_t bytes = 0; bytes <= 300; ++bytes) {
    void* block = MyAllocate(bytes);
    void* object = vq_rt::AllocateObject(bytes);
    std::uint64_t offset = 0;
    if (vq_rt::g_slabArena.Holds(block, offset)) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u) << bytes << " bytes";
    }
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(object) % 8, 0u) << bytes << " bytes";
    MyFree(block);
    MyFree(object);
  }
  auto* element = vq_rt::New<VQ_REALVARIABLE>(true);
  std::uint64_t offset = 0;
  if (vq_rt::g_slabArena.Holds(element, offset)) {  // the heap pools here (not under the sanitizers)
    EXPECT_EQ(vq_rt::g_slabArena.shapes[offset >> vq_rt::SlabArena::kSlabBits].blockBytes, sizeof(VQ_REALVARIABLE));
    // A request too large for any block is refused, not rounded into a small one.
    for (size_t bytes : {SIZE_MAX, SIZE_MAX - 7}) {
      EXPECT_EQ(MyAllocate(bytes), nullptr) << bytes;
      EXPECT_EQ(vq_rt::AllocateObject(bytes), nullptr) << bytes;
    }
  }
  element->AddRef();
  element->Release();
}

// Names are kept in place up to 6 characters and on the heap beyond;
// each reads back whole whatever it replaced, its own text included.
TEST(Registration, ANameReadsBackWholeWhateverItsLength) {
  const std::string longer(40, 'L');
  const std::vector<std::string> texts = {"", "(3)", "(100,100,100)", "123456", "1234567", longer, "X", longer + "M", ""};
  vq_rt::CompactName name;
  EXPECT_STREQ(name.c_str(), "");
  for (const std::string& text : texts) {
    name.Assign(text.c_str());
    EXPECT_EQ(name.c_str(), text);
    EXPECT_EQ(name.empty(), text.empty());
    name.Assign(name.c_str());
    EXPECT_EQ(name.c_str(), text) << "assigned its own text";
  }
}

// An element's integer indices are kept in place while they fit the bits
// their count leaves each, and read back as the text they stand for; those
// that do not fit are refused, leaving the name as it was.
TEST(Registration, IndicesInPlaceReadBackAsTheirText) {
  struct Case {
    std::vector<int> indices;
    bool inPlace;
  } cases[] = {
      {{3}, true},
      {{INT_MIN}, true},
      {{INT_MAX}, true},
      {{(1 << 27) - 1, -(1 << 27)}, true},
      {{1 << 27, 0}, false},
      {{0, -(1 << 27) - 1}, false},
      {{(1 << 17) - 1, -(1 << 17), 0}, true},
      {{1, 2, 1 << 17}, false},
      {{-1, -1, -1}, true},
      {{1, 2, 3, 4}, false},
  };
  for (const Case& c : cases) {
    std::string text = "(";
    for (size_t i = 0; i < c.indices.size(); ++i) text += (i ? "," : "") + std::to_string(c.indices[i]);
    text += ")";
    vq_rt::CompactName name;
    name.Assign("before");
    EXPECT_EQ(name.AssignIndices(c.indices.data(), static_cast<int>(c.indices.size())), c.inPlace) << text;
    EXPECT_EQ(name.c_str(), c.inPlace ? text : std::string("before"));
  }
  // Two names read at once each keep their own text.
  vq_rt::CompactName a, b;
  const int one[] = {1, 2}, two[] = {3, 4};
  ASSERT_TRUE(a.AssignIndices(one, 2) && b.AssignIndices(two, 2));
  EXPECT_EQ(std::string(a.c_str()) + b.c_str(), "(1,2)(3,4)");
  EXPECT_STREQ(a.c_str(), "(1,2)");
}

TEST(Registration, APropertyIsRegisteredOnceUnderAUniqueName) {
  Owner owner;
  VQ_STRINGPARAMETER a(true), b(true);
  a.AddProperty(&owner, "USERNOTES", nullptr, 0, false);
  EXPECT_THROW(a.AddProperty(&owner, "OTHER", nullptr, 0, false), VQ_Error);
  EXPECT_THROW(b.AddProperty(&owner, "usernotes", nullptr, 0, false), VQ_Error);
  EXPECT_THROW(b.AddProperty(nullptr, "X", nullptr, 0, false), VQ_Error);
  EXPECT_EQ(owner.PropertyCount(), 1);
  EXPECT_EQ(owner.FindProperty("userNotes"), &a);
}

}  // namespace

namespace {

// Every error is one line; text a user gave is escaped and cut.
TEST(Errors, OneLineWithUserTextEscapedAndCut) {
  std::string message;
  try {
    vq_rt::Raise("P: \"%s\" is refused", "a\tb\nc\x01");
  } catch (const VQ_Error& e) {
    message = e.what();
  }
  EXPECT_EQ(message, "P: \"a\\tb\\nc\\x01\" is refused");
  EXPECT_EQ(vq_rt::UserText(std::string(100, 'x')), std::string(100, 'x'));
  EXPECT_EQ(vq_rt::UserText(std::string(101, 'x')), std::string(100, 'x') + "...");
  // A character of several bytes is not cut in two.
  EXPECT_EQ(vq_rt::UserText(std::string(99, 'x') + "\xc3\xa9" + "y"), std::string(99, 'x') + "...");
  // Quotes and backslashes cannot close the quotes or fake an escape; bytes
  // that are not UTF-8 are escapes, characters that are stay as they are.
  EXPECT_EQ(vq_rt::UserText("a\"b\\n\xff\xc3\xa9"), "a\\\"b\\\\n\\xff\xc3\xa9");
  EXPECT_EQ(vq_rt::UserText("a\"b\\n", false), "a\"b\\\\n");
  EXPECT_EQ(vq_rt::OneLine("x\xed\xa0\x80y\\"), "x\\xed\\xa0\\x80y\\");
  XUValue said;
  said.SetString("say \"no\" \\");
  EXPECT_EQ(vq_rt::UserValue(said), "\"say \\\"no\\\" \\\\\"");
  MethodParameter method(true);
  XUValue longText;
  longText.SetString(std::string(500, 'Q').c_str());
  try {
    method.SetUserValue(longText);
  } catch (const VQ_Error& e) {
    message = e.what();
  }
  EXPECT_EQ(message.find(std::string(101, 'Q')), std::string::npos) << message;
  EXPECT_NE(message.find(std::string(100, 'Q') + "...\" is not one of the valid values"), std::string::npos) << message;
}

}  // namespace
