// Set-indexed array bases, the array templates and their instances.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <tuple>
#include <type_traits>
#include <vector>

#include "vq_instances.h"
#include "support/recording.h"

namespace {

using RealArray2 = VQ_ARRAY_II<VQ_REALVARIABLE, VQ_REALVARIABLE>;
using DerivArray3 = VQ_ARRAY_III<VQ_PARTIALDERIVATIVE, VQ_PARTIALDERIVATIVE>;

// Fills a 2 by 3 block: values 10, 20 in dimension 0; 1, 3, 5 in dimension 1.
void TwoByThree(RealArray2& a) {
  for (int i : {10, 20})
    for (int j : {1, 3, 5}) a(i, j);
}

// The growth of the block, as golden data: the AddNullEntries calls of each
// look-up and the shape it leaves.
TEST(ArrayBases, BlockGrowth) {
  struct Case {
    const char* what;
    std::function<void(RealArray2&)> prepare;
    int i, j;
    std::vector<std::string> expected;
    int slots;
  } cases[] = {
      {"first look-up of an empty array", [](RealArray2&) {}, 1, 1,
       {"AddNullEntries(0, 0, 1)", "AddIndexToString 1 0", "AddIndexToString 1 1", "AddElement (1,1) at 0"}, 1},
      {"new value in dimension 1", TwoByThree, 10, 4,
       {"AddNullEntries(2, 3, 1)", "AddIndexToString 10 0", "AddIndexToString 4 1", "AddElement (10,4) at 2"}, 8},
      {"new value in dimension 0", TwoByThree, 15, 3,
       {"AddNullEntries(1, 2, 3)", "AddIndexToString 15 0", "AddIndexToString 3 1", "AddElement (15,3) at 4"}, 9},
      {"new values in both dimensions", TwoByThree, 15, 4,
       {"AddNullEntries(2, 3, 1)", "AddNullEntries(1, 2, 4)", "AddIndexToString 15 0", "AddIndexToString 4 1",
        "AddElement (15,4) at 6"},
       12},
      {"existing element", TwoByThree, 20, 3, {}, 6},
  };
  for (const Case& c : cases) {
    RealArray2 a;
    c.prepare(a);
    VQ_REALVARIABLE* element = nullptr;
    EXPECT_EQ(Recorded([&] { element = &a(c.i, c.j); }), c.expected) << c.what;
    EXPECT_EQ(a.ElementSlots(), c.slots) << c.what;
    EXPECT_EQ(&a(c.i, c.j), element) << c.what;
  }
}

TEST(ArrayBases, ElementsKeepTheirCombinationsWhenTheBlockGrows) {
  RealArray2 a;
  std::map<std::pair<int, int>, VQ_REALVARIABLE*> made;
  for (auto [i, j] : {std::pair{5, 5}, {1, 9}, {5, 1}, {3, 3}, {1, 1}}) made[{i, j}] = &a(i, j);
  for (const auto& [key, element] : made) {
    EXPECT_EQ(&a(key.first, key.second), element);
    EXPECT_EQ(std::string(element->Name()), "(" + std::to_string(key.first) + "," + std::to_string(key.second) + ")");
  }
  EXPECT_EQ(a.ElementSlots(), 3 * 4);
  EXPECT_NE(&a(3, 5), &a(5, 3));  // the first value always indexes the first dimension
}

// Random look-ups of 2-, 3- and 4-index arrays against a plain map, values
// inserted out of order, integer and string dimensions mixed.
template <class Array, class... Args>
void CheckAgainstMap(std::mt19937& random, int lookups) {
  Array array;
  std::map<std::tuple<std::string, std::string, std::string, std::string>, VQ_Type*> reference;
  std::uniform_int_distribution<int> pick(-6, 6);
  auto key = [](auto... v) {
    std::string parts[4];
    int n = 0;
    ((parts[n++] = [](auto x) {
       if constexpr (std::is_same_v<decltype(x), int>) return std::to_string(x);
       else return std::string(x);
     }(v)),
     ...);
    return std::make_tuple(parts[0], parts[1], parts[2], parts[3]);
  };
  static const char* const kNames[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m"};
  for (int step = 0; step < lookups; ++step) {
    auto draw = [&](auto tag) {
      int value = pick(random);
      if constexpr (std::is_same_v<decltype(tag), int>) return value;
      else return kNames[value + 6];
    };
    auto args = std::make_tuple(draw(Args{})...);
    VQ_Type* found = std::apply([&](auto... v) { return array.Find(v...); }, args);
    auto k = std::apply(key, args);
    auto [it, inserted] = reference.emplace(k, found);
    ASSERT_EQ(it->second, found) << "step " << step;
  }
  int expectedSlots = 1;
  for (int d = 0; d < array.Dimensions(); ++d) {
    std::set<std::string> values;
    for (const auto& entry : reference) {
      const std::string parts[4] = {std::get<0>(entry.first), std::get<1>(entry.first), std::get<2>(entry.first),
                                    std::get<3>(entry.first)};
      values.insert(parts[d]);
    }
    expectedSlots *= static_cast<int>(values.size());
  }
  EXPECT_EQ(array.ElementSlots(), expectedSlots);
  int elements = 0;
  for (int slot = 0; slot < array.ElementSlots(); ++slot) elements += array.ElementAtSlot(slot) != nullptr;
  EXPECT_EQ(elements, static_cast<int>(reference.size()));
}

// Concrete arrays over the bases, for the randomised test.
template <class Base>
class Elements : public Base {
 public:
  VQ_Type* NewElement() override { return vq_rt::New<VQ_REALVARIABLE>(true); }
};

TEST(ArrayBases, RandomLookupsAgreeWithAMap) {
  std::mt19937 random(11);
  CheckAgainstMap<Elements<VQ_BASE_II>, int, int>(random, 400);
  CheckAgainstMap<Elements<VQ_BASE_IS>, int, const char*>(random, 400);
  CheckAgainstMap<Elements<VQ_BASE_SIS>, const char*, int, const char*>(random, 600);
  CheckAgainstMap<Elements<VQ_BASE_III>, int, int, int>(random, 600);
  CheckAgainstMap<Elements<VQ_BASE_IISS>, int, int, const char*, const char*>(random, 800);
  CheckAgainstMap<Elements<VQ_BASE_SSSS>, const char*, const char*, const char*, const char*>(random, 800);
}

TEST(ArrayBases, NewElementsFillsTheBlockBackwards) {
  RealArray2 a;
  EXPECT_EQ(a.NewElements(), 0);
  a(1, 1);
  a.Find(2, 2);  // leaves a 2 by 2 block with (1,1) and (2,2)
  std::vector<std::string> events = Recorded([&] { EXPECT_EQ(a.NewElements(), 2); });
  std::vector<std::string> made;
  for (const std::string& e : events)
    if (e.rfind("AddElement", 0) == 0) made.push_back(e);
  EXPECT_EQ(made, (std::vector<std::string>{"AddElement (2,1) at 2", "AddElement (1,2) at 1"}));
  EXPECT_EQ(a.NewElements(), 0);
}

TEST(ArrayBases, CreateMissingArrayElementReadsTheIndexText) {
  RealArray2 a;
  a.CreateMissingArrayElement("3,4)");
  ASSERT_EQ(a.ElementSlots(), 1);
  EXPECT_STREQ(a.ElementAtSlot(0)->Name(), "(3,4)");
  a.CreateMissingArrayElement("3,4) trailing text is not read");
  EXPECT_EQ(a.ElementSlots(), 1);
  for (const char* bad : {"x,4)", "3,y)", "3)", "3,4", "3;4)"}) {
    a.CreateMissingArrayElement(bad);
    EXPECT_EQ(a.ElementSlots(), 1) << bad;
  }
  Elements<VQ_BASE_IS> named;
  named.CreateMissingArrayElement("2, inlet)");
  EXPECT_STREQ(named.ElementAtSlot(0)->Name(), "(2,inlet)");
}

TEST(ArrayBases, AStringIndexMustFitItsBuffer) {
  Elements<VQ_BASE_SS> a;
  const std::string fits(127, 'f'), tooLong(128, 'x');
  a.CreateMissingArrayElement(("a," + fits + ")").c_str());
  EXPECT_EQ(a.ElementSlots(), 1);
  a.CreateMissingArrayElement(("a," + tooLong + ")").c_str());
  a.CreateMissingArrayElement((tooLong + ",a)").c_str());
  EXPECT_EQ(a.ElementSlots(), 1);  // refused, not cut short
}

TEST(ArrayBases, CopiesOwnTheirElementsAndKeepTheShape) {
  RealArray2 a;
  TwoByThree(a);
  RealArray2 copy(a);
  EXPECT_EQ(copy.ElementSlots(), 6);
  EXPECT_EQ(copy.NewElements(), 6);  // none shared
  for (int slot = 0; slot < 6; ++slot) EXPECT_NE(copy.ElementAtSlot(slot), a.ElementAtSlot(slot));
  EXPECT_STREQ(copy(20, 5).Name(), "(20,5)");
  RealArray2 assigned;
  assigned(7, 7);
  assigned = a;
  EXPECT_EQ(assigned.ElementSlots(), 6);
  EXPECT_EQ(&assigned(10, 1), &assigned(10, 1));
  EXPECT_EQ(assigned.ElementSlots(), 6);  // (10, 1) is a known combination
}

TEST(ArrayBases, ARefusedElementIsAnErrorAndNothingIsStored) {
  RealArray2 a;
  vq_rt::RefuseAllocations(1);
  EXPECT_THROW(a(1, 2), VQ_Error);
  EXPECT_EQ(a.ElementAtSlot(0), nullptr);
  EXPECT_NE(&a(1, 2), nullptr);  // served on the next attempt
  vq_rt::RefuseAllocations(1);
  EXPECT_THROW(a.Find(1, 3), VQ_Error);
  EXPECT_EQ(a.ElementSlots(), 2);  // the block has room for (1,3), but holds no element there
  EXPECT_EQ(a.ElementAtSlot(1), nullptr);
}

TEST(ArrayBases, ValuesOutsideTheDeclaredSetsAreAcceptedOutsideTheEquationPasses) {
  VQ_INTEGERSET rows, columns;
  RealArray2 a;
  a.SetDim(rows, columns);
  EXPECT_EQ(a.DeclaredSet(0), &rows);
  EXPECT_EQ(a.DeclaredSet(1), &columns);
  EXPECT_NE(&a(99, -4), nullptr);
  VQ_StrictLookups strict;
  EXPECT_THROW(a(98, -4), VQ_Error);
}

int ElementsHeld(const VQ_Matrix& a) {
  int held = 0;
  for (int slot = 0; slot < a.ElementSlots(); ++slot) held += a.ElementAtSlot(slot) != nullptr;
  return held;
}

// The first look-up of an empty array whose every dimension declares values
// takes those values and all their slots at once; a value outside them
// grows the block as before, and an empty declared set lays nothing.
TEST(ArrayBases, FirstLookUpLaysTheDeclaredSets) {
  struct Case {
    const char* what;
    int lastColumn;  // columns declared 1..lastColumn; none when 0
    std::vector<std::string> first, outside;
    int slots;
  } cases[] = {
      {"declared sets", 4,
       {"AddNullEntries(0, 0, 12)", "AddIndexToString 2 0", "AddIndexToString 3 1", "AddElement (2,3) at 10"},
       {"AddNullEntries(4, 4, 1)", "AddIndexToString 2 0", "AddIndexToString 7 1", "AddElement (2,7) at 14"}, 15},
      {"an empty declared set", 0,
       {"AddNullEntries(0, 0, 1)", "AddIndexToString 2 0", "AddIndexToString 3 1", "AddElement (2,3) at 0"},
       {"AddNullEntries(1, 1, 1)", "AddIndexToString 2 0", "AddIndexToString 7 1", "AddElement (2,7) at 1"}, 2},
  };
  for (const Case& c : cases) {
    VQ_INTEGERSET rows, columns;
    rows.SetUserValue(VQ_IntSetValue(0, 2));
    if (c.lastColumn > 0) columns.SetUserValue(VQ_IntSetValue(1, c.lastColumn));
    RealArray2 a;
    a.SetDim(rows, columns);
    VQ_REALVARIABLE* element = nullptr;
    EXPECT_EQ(Recorded([&] { element = &a(2, 3); }), c.first) << c.what;
    VQ_REALVARIABLE* outside = nullptr;
    EXPECT_EQ(Recorded([&] { outside = &a(2, 7); }), c.outside) << c.what;
    EXPECT_EQ(a.ElementSlots(), c.slots) << c.what;
    EXPECT_EQ(&a(2, 3), element) << c.what;
    EXPECT_EQ(&a(2, 7), outside) << c.what;
    EXPECT_EQ(ElementsHeld(a), 2) << c.what;
  }
}

// Indices outside the declared sets (a user's own values before the sets are
// laid) stop the block from growing by combinations once it would be mostly
// empty; values inside them never do. Either way every element is found by
// its indices, and a copy keeps them as combinations without elements.
TEST(ArrayBases, IndicesOutsideTheDeclaredSetsDoNotBlowUpTheBlock) {
  struct Case {
    const char* what;
    int declared;  // each dimension declares 0..declared - 1; none when 0
    int diagonal;  // (i,i,i) looked up for i below this
    long long slotsAtLeast, slotsAtMost;
  };
  const Case cases[] = {
      // Grown by combinations up to about a million slots, then by elements:
      // far below the 400^3 a dense block would need.
      {"no declared sets", 0, 400, 401, 1100000},
      {"inside the declared sets", 104, 104, 104LL * 104 * 104, 104LL * 104 * 104},
  };
  for (const Case& c : cases) {
    VQ_INTEGERSET x, y, z;
    DerivArray3 a;
    if (c.declared > 0) {
      for (VQ_INTEGERSET* set : {&x, &y, &z}) set->SetUserValue(VQ_IntSetValue(0, c.declared - 1));
      a.SetDim(x, y, z);
    }
    std::vector<VQ_PARTIALDERIVATIVE*> made;
    for (int i = 0; i < c.diagonal; ++i) made.push_back(&a(i, i, i));
    VQ_PARTIALDERIVATIVE* beyond = &a(5000, 6, 7);  // outside whatever is declared
    EXPECT_GE(a.ElementSlots(), c.slotsAtLeast) << c.what;
    EXPECT_LE(a.ElementSlots(), c.slotsAtMost) << c.what;
    EXPECT_EQ(ElementsHeld(a), c.diagonal + 1) << c.what;
    for (int i = 0; i < c.diagonal; ++i) {
      ASSERT_EQ(&a(i, i, i), made[static_cast<size_t>(i)]) << c.what << " " << i;
      const std::string index = std::to_string(i);
      ASSERT_EQ(std::string(made[static_cast<size_t>(i)]->Name()), "(" + index + "," + index + "," + index + ")");
    }
    EXPECT_EQ(&a(5000, 6, 7), beyond) << c.what;
    EXPECT_EQ(ElementsHeld(a), c.diagonal + 1) << c.what;

    DerivArray3 copy(a);
    EXPECT_EQ(ElementsHeld(copy), 0) << c.what;
    EXPECT_NE(&copy(3, 3, 3), made[3]) << c.what;
    EXPECT_STREQ(copy(5000, 6, 7).Name(), "(5000,6,7)") << c.what;
    EXPECT_STREQ(copy(-1, -1, -1).Name(), "(-1,-1,-1)") << c.what;
    EXPECT_STREQ(copy(1, 200000, -1).Name(), "(1,200000,-1)") << c.what;  // too wide to keep in place
    EXPECT_EQ(&copy(3, 3, 3), &copy(3, 3, 3)) << c.what;
    EXPECT_EQ(ElementsHeld(copy), 4) << c.what;
  }
}

TEST(ArrayTemplates, AccessAndElementFactories) {
  RealArray2 a;
  EXPECT_EQ(&*a, &a);
  EXPECT_EQ(&a.v(), &a);
  VQ_Type* first = a.NewElement();
  VQ_Type* second = a.NewElement();
  EXPECT_NE(first, second);
  EXPECT_NE(dynamic_cast<VQ_REALVARIABLE*>(first), nullptr);
  delete first;
  delete second;
  DerivArray3 d;
  EXPECT_NE(dynamic_cast<VQ_PARTIALDERIVATIVE*>(&d(1, 2, 3)), nullptr);
  EXPECT_NE(&d(1, 2, 3), &d(3, 2, 1));
  VQ_ARRAY_S<VQ_CONTROLPORT, VQ_CONTROLPORT> ports;
  EXPECT_TRUE(ports("inlet").ContainerDerivesFrom("Port CONTROLPORT\tV8.4"));
  vq_rt::RefuseAllocations(1);
  EXPECT_EQ(ports.NewElement(), nullptr);
}

TEST(References, TypeNamesAndDefaultInstances) {
  VQ_External<VQ_GENERICMODEL> model;
  VQ_Virtual<VQ_GENERICMODEL> member;
  EXPECT_STREQ(model.ExternalTypeName(), "Model GENERICMODEL\tV8.4");
  EXPECT_EQ(member.VirtualBaseType(), model.ExternalTypeName());
  VQ_External<RealArray2> arrayReference;
  VQ_Virtual<DerivArray3> arrayMember;
  EXPECT_EQ(arrayReference.ExternalTypeName(), VQ_Matrix::VQ_ContainerId());
  EXPECT_EQ(arrayMember.VirtualBaseType(), VQ_Matrix::VQ_ContainerId());

  VQ_Type* one = member.NewDefaultVirtual();
  VQ_Type* two = member.NewDefaultVirtual();
  ASSERT_NE(one, nullptr);
  EXPECT_NE(one, two);
  EXPECT_EQ(static_cast<VQ_GENERICMODEL*>(one)->PropertyCount(), 4);  // constructed with its flag set
  EXPECT_EQ(one->RefCount(), 0u);                                       // no reference taken
  delete one;
  delete two;
  VQ_Type* array = arrayMember.NewDefaultVirtual();
  EXPECT_EQ(static_cast<DerivArray3*>(array)->ElementSlots(), 0);
  delete array;
  vq_rt::RefuseAllocations(1);
  EXPECT_EQ(member.NewDefaultVirtual(), nullptr);
}

TEST(References, UnlinkedReferencesRaiseTheRuntimesErrorNamingTheProperty) {
  VQ_GENERICMODEL owner;
  VQ_External<VQ_GENERICMODEL> reference;
  reference.AddProperty(&owner, "OTHER", nullptr, 0, false);
  try {
    *reference;
    FAIL() << "no error";
  } catch (const VQ_Error& error) {
    EXPECT_STREQ(error.what(), "GENERICMODEL.OTHER is not linked to an instance");
  }
  VQ_Virtual<VQ_GENERICMODEL> member;
  member.AddProperty(&owner, "PART", nullptr, 0, false);
  vq_rt::RefuseAllocations(1);
  try {
    *member;
    FAIL() << "no error";
  } catch (const VQ_Error& error) {
    EXPECT_STREQ(error.what(), "GENERICMODEL.PART: no instance of \"GENERICMODEL\" could be made");
  }
  VQ_GENERICMODEL& part = *member;  // made on the next use
  EXPECT_EQ(&*member, &part);
  EXPECT_EQ(part.DisplayName(), "GENERICMODEL.PART");

  VQ_ModelType* linked = GENERICMODELFactory();
  reference.Link(linked);
  linked->Release();  // the reference keeps it alive
  EXPECT_EQ(&*reference, linked);
  EXPECT_EQ(linked->RefCount(), 1u);
}

// Links an instance to a new reference or member of a model, then lets the
// instance go; the refusal, or "" when it was linked.
template <class Reference>
std::string Linking(VQ_Containable* instance) {
  VQ_GENERICMODEL owner;
  Reference reference;
  reference.AddProperty(&owner, "REF", nullptr, 0, false);
  std::string refusal;
  try {
    if constexpr (std::is_base_of_v<VQ_VirtualBase, Reference>) reference.Link(dynamic_cast<VQ_Type*>(instance));
    else reference.Link(instance);
    EXPECT_EQ(reference.LinkedIfAny(), instance);
  } catch (const VQ_Error& e) {
    refusal = e.what();
    EXPECT_EQ(reference.LinkedIfAny(), nullptr);
  }
  instance->Release();
  return refusal;
}

// A reference or member links only an instance of its type or of a type
// derived from it; a refusal names both and links nothing.
TEST(References, ALinkMustMatchTheReferencedType) {
  // Held as a factory's instance is: with one reference.
  auto held = [](VQ_Containable* instance) {
    instance->AddRef();
    return instance;
  };
  auto integer = [&] { return held(vq_rt::New<VQ_INTEGERPARAMETER>(true)); };
  auto real = [&] { return held(vq_rt::New<VQ_REALPARAMETER>(true)); };
  auto angle = [&] { return held(vq_rt::New<VQ_ANGLEPARAMETER>(true)); };
  const std::string refers = "GENERICMODEL.REF refers to a ";
  struct Case {
    std::string refusal, expected;
  } cases[] = {
      {Linking<VQ_External<VQ_ANGLEPARAMETER>>(angle()), ""},
      {Linking<VQ_External<VQ_ANGLEPARAMETER>>(integer()),
       refers + "VQ_ANGLEPARAMETER and cannot be linked to (unnamed), a VQ_INTEGERPARAMETER"},
      {Linking<VQ_External<VQ_LENGTHPARAMETER>>(real()),
       refers + "VQ_LENGTHPARAMETER and cannot be linked to (unnamed), a VQ_REALPARAMETER"},
      {Linking<VQ_External<VQ_INTEGERPARAMETER>>(real()),
       refers + "VQ_INTEGERPARAMETER and cannot be linked to (unnamed), a VQ_REALPARAMETER"},
      {Linking<VQ_External<VQ_DOMAIN>>(LENGTHDOMAINFactory()), ""},
      {Linking<VQ_External<VQ_LENGTHDOMAIN>>(DOMAINFactory()),
       refers + "VQ_LENGTHDOMAIN and cannot be linked to DOMAIN, a VQ_DOMAIN"},
      {Linking<VQ_External<VQ_CONTROLPORT>>(GENERICMODELFactory()),
       refers + "VQ_CONTROLPORT and cannot be linked to GENERICMODEL, a VQ_GENERICMODEL"},
      {Linking<VQ_Virtual<VQ_REALPARAMETER>>(angle()), ""},
      {Linking<VQ_Virtual<VQ_REALPARAMETER>>(integer()),
       refers + "VQ_REALPARAMETER and cannot be linked to (unnamed), a VQ_INTEGERPARAMETER"},
      {Linking<VQ_Virtual<VQ_ANGLEPARAMETER>>(real()),
       refers + "VQ_ANGLEPARAMETER and cannot be linked to (unnamed), a VQ_REALPARAMETER"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.refusal, c.expected);
}

}  // namespace
