// The three-dimensional distribution: its type, its registration, the
// binding of its arrays, and the index sets and defaults its assignments
// hand to the runtime.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/distribution_fixture.h"
#include "support/recording.h"
#include "vq_format.h"
#include "vq_memory.h"

namespace {

using Settings = std::vector<std::pair<std::string, std::string>>;

// What the factory registers, in order.
std::vector<std::string> ExpectedRegistrations() {
  const std::vector<std::string> names = {
      "XDOMAIN", "YDOMAIN", "ZDOMAIN", "VQ_VALUE_SET1", "VQ_VALUE_SET2", "VQ_VALUE_SET3", "VALUE", "USERNOTES",
      "INPUTSIGNAL", "OUTPUTSIGNAL", "HIGHESTORDERXDERIVATIVE", "HIGHESTORDERYDERIVATIVE", "HIGHESTORDERZDERIVATIVE",
      "HIGHESTORDERXDERIVATIVEUSED", "HIGHESTORDERYDERIVATIVEUSED", "HIGHESTORDERZDERIVATIVEUSED", "INTEGRALS",
      "VQ_DDX_SET1", "VQ_DDX_SET2", "VQ_DDX_SET3", "DDX", "VQ_DDY_SET1", "VQ_DDY_SET2", "VQ_DDY_SET3", "DDY",
      "VQ_DDZ_SET1", "VQ_DDZ_SET2", "VQ_DDZ_SET3", "DDZ", "VQ_D2DX2_SET1", "VQ_D2DX2_SET2", "VQ_D2DX2_SET3", "D2DX2",
      "VQ_D2DY2_SET1", "VQ_D2DY2_SET3", "D2DY2", "VQ_D2DZ2_SET1", "VQ_D2DZ2_SET2", "D2DZ2",
      "VQ_IDX_SET1", "VQ_IDX_SET2", "VQ_IDX_SET3", "IDX", "VQ_IDY_SET1", "VQ_IDY_SET2", "VQ_IDY_SET3", "IDY",
      "VQ_IDZ_SET1", "VQ_IDZ_SET2", "VQ_IDZ_SET3", "IDZ", "VQ_IDXDY_SET1", "VQ_IDXDY_SET2", "VQ_IDXDY_SET3", "IDXDY",
      "VQ_IDXDZ_SET1", "VQ_IDXDZ_SET2", "VQ_IDXDZ_SET3", "IDXDZ", "VQ_IDYDZ_SET1", "VQ_IDYDZ_SET2", "VQ_IDYDZ_SET3",
      "IDYDZ", "VQ_IDXDYDZ_SET1", "VQ_IDXDYDZ_SET2", "VQ_IDXDYDZ_SET3", "IDXDYDZ"};
  const std::map<std::string, std::string> descriptions = {
      {"VALUE", "Variable value at a node point"},
      {"INTEGRALS", "Integrals to be calculated. Valid values: idx, idy, idz, idxdy, idxdz, idydz, idxdydz"},
      {"DDX", "1st-order partial deriv wrt x"},
      {"DDY", "1st-order partial deriv wrt y"},
      {"DDZ", "1st-order partial deriv wrt z"},
      {"D2DX2", "2nd-order partial deriv wrt x"},
      {"D2DY2", "2nd-order partial deriv wrt y"},
      {"D2DZ2", "2nd-order partial deriv wrt z"},
      {"IDX", "integral of distributed variable wrt x"},
      {"IDY", "integral of distributed variable wrt y"},
      {"IDZ", "integral of distributed variable wrt z"},
      {"IDXDY", "integral of distributed variable wrt x and y"},
      {"IDXDZ", "integral of distributed variable wrt x and z"},
      {"IDYDZ", "integral of distributed variable wrt y and z"},
      {"IDXDYDZ", "integral of distributed variable wrt x, y and z"},
  };
  const std::map<std::string, std::string> forms = {
      {"XDOMAIN", "external"}, {"YDOMAIN", "external"}, {"ZDOMAIN", "external"}, {"VALUE", "virtual"}};
  const std::map<std::string, int> directions = {{"INPUTSIGNAL", 4}, {"OUTPUTSIGNAL", 8}};
  std::vector<std::string> lines;
  for (const std::string& name : names) {
    const auto description = descriptions.find(name);
    const auto form = forms.find(name);
    const auto direction = directions.find(name);
    lines.push_back("AddProperty " + name +
                    " desc=" + (description == descriptions.end() ? "null" : "\"" + description->second + "\"") +
                    " dir=" + std::to_string(direction == directions.end() ? 0 : direction->second) +
                    " flag=0 form=" + (form == forms.end() ? "plain" : form->second));
    if (direction != directions.end()) lines.push_back("UnsetIsToBeExported " + name);
  }
  return lines;
}

TEST(Distribution3D, FactoryRegistersTheSixtySevenThenTakesOneReference) {
  VQ_ModelType* model = nullptr;
  const std::vector<std::string> events = Recorded([&] { model = DISTRIBUTION3DFactory(); });
  ASSERT_NE(model, nullptr);
  std::vector<std::string> expected = ExpectedRegistrations();
  ASSERT_EQ(expected.size(), 67u + 2u);
  expected.push_back("AddRef -> 1");
  EXPECT_EQ(events, expected);
  EXPECT_EQ(model->PropertyCount(), 67);
  model->Release();

  // A heap that refuses: null, and nothing registered or referenced.
  vq_rt::RefuseAllocations(1);
  EXPECT_TRUE(Recorded([&] { model = DISTRIBUTION3DFactory(); }).empty());
  EXPECT_EQ(model, nullptr);

  // Two-phase: nothing until Construct, then the same registrations.
  VQ_DISTRIBUTION3D* later = nullptr;
  EXPECT_TRUE(Recorded([&] { later = vq_rt::New<VQ_DISTRIBUTION3D>(false); }).empty());
  EXPECT_EQ(later->PropertyCount(), 0);
  EXPECT_EQ(Recorded([&] { later->Construct(); }), ExpectedRegistrations());
  delete later;

  // The runtime's default instance is built registered and handed over
  // without a reference.
  VQ_Virtual<VQ_DISTRIBUTION3D> member;
  VQ_Type* made = nullptr;
  EXPECT_EQ(Recorded([&] { made = member.NewDefaultVirtual(); }), ExpectedRegistrations());
  ASSERT_NE(dynamic_cast<VQ_DISTRIBUTION3D*>(made), nullptr);
  delete made;
}

TEST(Distribution3D, SignatureAndDerivation) {
  Distribution3DFixture f;
  EXPECT_STREQ(VQ_DISTRIBUTION3D::VQ_ContainerId(), "Model DISTRIBUTION3D\tV8.4");
  EXPECT_EQ(VQ_DISTRIBUTION3D::VQ_ContainerId(), VQ_DISTRIBUTION3D::VQ_ContainerId());
  EXPECT_EQ(f.d.VQ_DefaultDESCRIPTION(), VQ_DISTRIBUTION3D::VQ_ContainerId());
  struct Case {
    const char* signature;
    bool derives;
  } cases[] = {
      {"Model DISTRIBUTION3D\tV8.4", true},  {"mODEL distribution3d\tv8.4", true},
      {"Model DISTRIBUTION2D\tV8.4", false}, {"Model DISTRIBUTION1D\tV8.4", false},
      {"Model DOMAIN\tV8.4", false},         {"Model DISTRIBUTION3D", false},
      {"", false},                           {nullptr, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(f.d.ContainerDerivesFrom(c.signature), c.derives) << (c.signature ? c.signature : "null");
  EXPECT_STREQ(VQ_External<VQ_DISTRIBUTION3D>().ExternalTypeName(), "Model DISTRIBUTION3D\tV8.4");
  EXPECT_STREQ(VQ_Virtual<VQ_DISTRIBUTION3D>().VirtualBaseType(), "Model DISTRIBUTION3D\tV8.4");
}

// Every dimension is one of the class's own sets, except D2DY2's y and
// D2DZ2's z, which follow the domains' INTERIOR sets themselves.
TEST(Distribution3D, ArraysAreBoundToTheirSets) {
  Distribution3DFixture f;
  vq_rt::Driver(f.d).SetDims();
  VQ_DISTRIBUTION3D& d = f.d;
  struct Binding {
    const char* array;
    VQ_Matrix* matrix;
    VQ_Set* sets[3];
  } bindings[] = {
      {"VALUE", &*d.VALUE, {&d.VQ_VALUE_SET1, &d.VQ_VALUE_SET2, &d.VQ_VALUE_SET3}},
      {"DDX", &d.DDX, {&d.VQ_DDX_SET1, &d.VQ_DDX_SET2, &d.VQ_DDX_SET3}},
      {"DDY", &d.DDY, {&d.VQ_DDY_SET1, &d.VQ_DDY_SET2, &d.VQ_DDY_SET3}},
      {"DDZ", &d.DDZ, {&d.VQ_DDZ_SET1, &d.VQ_DDZ_SET2, &d.VQ_DDZ_SET3}},
      {"D2DX2", &d.D2DX2, {&d.VQ_D2DX2_SET1, &d.VQ_D2DX2_SET2, &d.VQ_D2DX2_SET3}},
      {"D2DY2", &d.D2DY2, {&d.VQ_D2DY2_SET1, &f.Domain(1).INTERIOR, &d.VQ_D2DY2_SET3}},
      {"D2DZ2", &d.D2DZ2, {&d.VQ_D2DZ2_SET1, &d.VQ_D2DZ2_SET2, &f.Domain(2).INTERIOR}},
      {"IDX", &d.IDX, {&d.VQ_IDX_SET1, &d.VQ_IDX_SET2, &d.VQ_IDX_SET3}},
      {"IDY", &d.IDY, {&d.VQ_IDY_SET1, &d.VQ_IDY_SET2, &d.VQ_IDY_SET3}},
      {"IDZ", &d.IDZ, {&d.VQ_IDZ_SET1, &d.VQ_IDZ_SET2, &d.VQ_IDZ_SET3}},
      {"IDXDY", &d.IDXDY, {&d.VQ_IDXDY_SET1, &d.VQ_IDXDY_SET2, &d.VQ_IDXDY_SET3}},
      {"IDXDZ", &d.IDXDZ, {&d.VQ_IDXDZ_SET1, &d.VQ_IDXDZ_SET2, &d.VQ_IDXDZ_SET3}},
      {"IDYDZ", &d.IDYDZ, {&d.VQ_IDYDZ_SET1, &d.VQ_IDYDZ_SET2, &d.VQ_IDYDZ_SET3}},
      {"IDXDYDZ", &d.IDXDYDZ, {&d.VQ_IDXDYDZ_SET1, &d.VQ_IDXDYDZ_SET2, &d.VQ_IDXDYDZ_SET3}},
  };
  for (const Binding& b : bindings)
    for (int dimension = 0; dimension < 3; ++dimension)
      EXPECT_EQ(b.matrix->DeclaredSet(dimension), b.sets[dimension]) << b.array << " dimension " << dimension + 1;
}

// Dimensions and assignments only: the index sets and defaults are complete
// once the assignments have run.
void Assign(Distribution3DFixture& f, const Settings& settings) {
  for (const auto& [path, value] : settings) f.Set(path, value);
  vq_rt::Driver driver(f.d);
  driver.SetDims();
  driver.ExecuteAssignments();
}

std::string Elements(Distribution3DFixture& f, const std::string& set) {
  return vq_rt::FormatValue(dynamic_cast<VQ_Set&>(vq_rt::ResolvePath(f.d, set)).v());
}

// Unless a case says otherwise: three first-order BFD1 domains of eight
// intervals each (INTERIOR {1..7}), orders from the domains, no integrals.
TEST(Distribution3D, IndexSets) {
  struct Case {
    const char* what;
    Settings settings;
    std::map<std::string, std::string> sets;  // by set name, as FormatValue writes them
  } cases[] = {
      {"defaults",
       {},
       {{"VQ_VALUE_SET1", "{0..8}"},   {"VQ_VALUE_SET2", "{0..8}"},   {"VQ_VALUE_SET3", "{0..8}"},
        {"VQ_DDX_SET1", "{0..8}"},     {"VQ_DDY_SET1", "{0..8}"},     {"VQ_DDZ_SET1", "{0..8}"},
        {"VQ_D2DX2_SET1", "{}"},       {"VQ_D2DX2_SET2", "{0..8}"},   {"VQ_D2DX2_SET3", "{0..8}"},
        {"VQ_D2DY2_SET1", "{0}"},      {"VQ_D2DY2_SET3", "{0..8}"},   {"VQ_D2DZ2_SET1", "{0}"},
        {"VQ_D2DZ2_SET2", "{0..8}"},   {"VQ_IDX_SET1", "{}"},         {"VQ_IDY_SET1", "{}"},
        {"VQ_IDZ_SET1", "{}"},         {"VQ_IDXDY_SET1", "{}"},       {"VQ_IDXDZ_SET1", "{}"},
        {"VQ_IDYDZ_SET1", "{}"},       {"VQ_IDXDYDZ_SET1", "{}"},     {"VQ_IDXDYDZ_SET2", "{0..8}"},
        {"VQ_IDXDYDZ_SET3", "{0..8}"}, {"VQ_IDZ_SET2", "{0..8}"},     {"VQ_IDY_SET3", "{0..8}"}}},
      {"no derivatives used: a first-derivative x set keeps node 0, the others stay full",
       {{"HIGHESTORDERXDERIVATIVEUSED", "0"}, {"HIGHESTORDERYDERIVATIVEUSED", "0"}, {"HIGHESTORDERZDERIVATIVEUSED", "0"}},
       {{"VQ_DDX_SET1", "{0}"},
        {"VQ_DDX_SET2", "{0..8}"},
        {"VQ_DDY_SET1", "{0}"},
        {"VQ_DDY_SET2", "{0..8}"},
        {"VQ_DDY_SET3", "{0..8}"},
        {"VQ_DDZ_SET1", "{0}"},
        {"VQ_DDZ_SET3", "{0..8}"},
        {"VQ_D2DX2_SET1", "{}"},
        {"VQ_D2DY2_SET1", "{0}"},
        {"VQ_D2DZ2_SET1", "{0}"}}},
      {"only y's derivatives switched off",
       {{"HIGHESTORDERYDERIVATIVEUSED", "0"}},
       {{"VQ_DDX_SET1", "{0..8}"}, {"VQ_DDY_SET1", "{0}"}, {"VQ_DDZ_SET1", "{0..8}"}}},
      {"second derivatives over first-order domains",
       {{"HIGHESTORDERXDERIVATIVEUSED", "2"}, {"HIGHESTORDERYDERIVATIVEUSED", "2"}, {"HIGHESTORDERZDERIVATIVEUSED", "2"}},
       {{"VQ_D2DX2_SET1", "{1..7}"}, {"VQ_D2DY2_SET1", "{0..8}"}, {"VQ_D2DZ2_SET1", "{0..8}"}}},
      {"second derivatives over domains that leave their junctions out, each its own size",
       {{"XDOMAIN.NUMSECTIONS", "2"},
        {"XDOMAIN.HIGHESTORDERDERIVATIVE", "2"},
        {"YDOMAIN.NUMSECTIONS", "2"},
        {"YDOMAIN.HIGHESTORDERDERIVATIVE", "2"},
        {"YDOMAIN.SPACINGPREFERENCE", "0.25"},
        {"ZDOMAIN.HIGHESTORDERDERIVATIVE", "2"},
        {"ZDOMAIN.SPACINGPREFERENCE", "0.5"}},
       {{"VQ_VALUE_SET1", "{0..16}"},
        {"VQ_VALUE_SET2", "{0..4}"},
        {"VQ_VALUE_SET3", "{0..2}"},
        {"VQ_D2DX2_SET1", "{1..7, 9..15}"},
        {"VQ_D2DX2_SET2", "{0, 1, 3, 4}"},
        {"VQ_D2DX2_SET3", "{0..2}"},
        {"VQ_D2DY2_SET1", "{0..7, 9..16}"},
        {"VQ_D2DY2_SET3", "{0..2}"},
        {"VQ_D2DZ2_SET1", "{0..7, 9..16}"},
        {"VQ_D2DZ2_SET2", "{0, 1, 3, 4}"}}},
      {"only x's second derivatives, over OCFE2: the x set is the inner points",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "OCFE2"}, {"XDOMAIN.HIGHESTORDERDERIVATIVE", "2"}},
       {{"VQ_D2DX2_SET1", "{1, 3, 5, 7}"}, {"VQ_D2DY2_SET1", "{0}"}, {"VQ_D2DZ2_SET1", "{0}"}}},
      {"domains of different sizes: every first set runs over the x nodes",
       {{"XDOMAIN.SPACINGPREFERENCE", "0.5"},
        {"YDOMAIN.SPACINGPREFERENCE", "0.25"},
        {"INTEGRALS", "idx,idy,idz,idxdy,idxdz,idydz,idxdydz"}},
       {{"VQ_DDY_SET1", "{0..2}"},     {"VQ_DDY_SET2", "{0..4}"},     {"VQ_DDY_SET3", "{0..8}"},
        {"VQ_DDZ_SET1", "{0..2}"},     {"VQ_D2DY2_SET3", "{0..8}"},   {"VQ_D2DZ2_SET2", "{0..4}"},
        {"VQ_IDY_SET1", "{0..2}"},     {"VQ_IDZ_SET1", "{0..2}"},     {"VQ_IDZ_SET2", "{0..4}"},
        {"VQ_IDZ_SET3", "{0..8}"},     {"VQ_IDYDZ_SET1", "{0..2}"},   {"VQ_IDYDZ_SET2", "{0..4}"},
        {"VQ_IDXDYDZ_SET1", "{0..2}"}, {"VQ_IDXDYDZ_SET3", "{0..8}"}}},
  };
  for (const Case& c : cases) {
    Distribution3DFixture f;
    Assign(f, c.settings);
    for (const auto& [set, expected] : c.sets) EXPECT_EQ(Elements(f, set), expected) << c.what << ": " << set;
  }
  // A domain of one node is no grid its sections lay: an end node of 0 over
  // eight intervals is refused, and no set is sized by it.
  Distribution3DFixture f;
  Assign(f, {});
  try {
    Assign(f, {{"XDOMAIN.ENDNODE", "0"}, {"INTEGRALS", "idx"}});
    ADD_FAILURE() << "an end node of 0 was taken";
  } catch (const VQ_Error& e) {
    EXPECT_STREQ(e.what(), "XDOMAIN.ENDNODE: 0 is not 8, the node intervals of all sections");
  }
  EXPECT_EQ(Elements(f, "VQ_VALUE_SET1"), "{0..8}");
  EXPECT_EQ(Elements(f, "VQ_IDX_SET1"), "{}");
}

// Each keyword switches on the x sets of the integrals it needs and no
// other; the y and z sets stay full either way.
TEST(Distribution3D, KeywordsSwitchOnTheirIntegrals) {
  const char* const arrays[] = {"IDX", "IDY", "IDZ", "IDXDY", "IDXDZ", "IDYDZ", "IDXDYDZ"};
  const std::map<std::string, std::set<std::string>> cases = {
      {"None", {}},
      {"idx", {"IDX"}},
      {"idy", {"IDY"}},
      {"idz", {"IDZ"}},
      {"idxdy", {"IDX", "IDXDY"}},
      {"idxdz", {"IDX", "IDXDZ"}},
      {"idydz", {"IDY", "IDYDZ"}},
      {"idxdydz", {"IDX", "IDXDY", "IDXDYDZ"}},
      {"idy,idxdz", {"IDX", "IDY", "IDXDZ"}},
      {"idxdy,idydz", {"IDX", "IDY", "IDXDY", "IDYDZ"}},
  };
  for (const auto& [integrals, on] : cases) {
    Distribution3DFixture f;
    Assign(f, {{"XDOMAIN.SPACINGPREFERENCE", "0.25"}, {"INTEGRALS", integrals}});
    for (const std::string array : arrays) {
      const std::string prefix = "VQ_" + array + "_SET";
      EXPECT_EQ(Elements(f, prefix + "1"), on.count(array) ? "{0..4}" : "{}") << integrals << ": " << array;
      EXPECT_EQ(Elements(f, prefix + "2"), "{0..8}") << integrals << ": " << array;
      EXPECT_EQ(Elements(f, prefix + "3"), "{0..8}") << integrals << ": " << array;
    }
  }
}

TEST(Distribution3D, DefaultsComeFromEachDomainAndYieldToUserValues) {
  Distribution3DFixture f;
  Assign(f, {{"YDOMAIN.HIGHESTORDERDERIVATIVE", "2"},
             {"HIGHESTORDERZDERIVATIVE", "0"},
             {"HIGHESTORDERXDERIVATIVEUSED", "2"},
             {"INTEGRALS", "idz"}});
  EXPECT_EQ(f.d.HIGHESTORDERXDERIVATIVE.v(), 1);
  EXPECT_EQ(f.d.HIGHESTORDERYDERIVATIVE.v(), 2);
  EXPECT_EQ(f.d.HIGHESTORDERZDERIVATIVE.v(), 0);
  EXPECT_EQ(f.d.HIGHESTORDERXDERIVATIVEUSED.v(), 2);
  EXPECT_EQ(f.d.HIGHESTORDERYDERIVATIVEUSED.v(), 2);
  EXPECT_EQ(f.d.HIGHESTORDERZDERIVATIVEUSED.v(), 0);
  EXPECT_EQ(Elements(f, "INTEGRALS"), "{\"idz\"}");

  Distribution3DFixture plain;
  Assign(plain, {});
  EXPECT_EQ(plain.d.HIGHESTORDERZDERIVATIVE.v(), 1);
  EXPECT_EQ(plain.d.HIGHESTORDERZDERIVATIVEUSED.v(), 1);
  EXPECT_EQ(Elements(plain, "INTEGRALS"), "{\"None\"}");
}

// A copy carries the members' values, the last ones declared included, and
// the source's bookkeeping.
TEST(Distribution3D, AssignmentCopiesMembersAndBookkeeping) {
  Distribution3DFixture f;
  Assign(f, {{"HIGHESTORDERZDERIVATIVEUSED", "2"}, {"INTEGRALS", "idxdydz"}, {"USERNOTES", "copied"}});
  f.d.m_GroupBase = 100;
  f.d.m_OwnEqnCount = 7;
  f.d.m_OwnNonZeroCount = 21;
  VQ_DISTRIBUTION3D copy;
  copy = f.d;
  EXPECT_EQ(copy.HIGHESTORDERZDERIVATIVEUSED.v(), 2);
  EXPECT_STREQ(copy.USERNOTES.v(), "copied");
  EXPECT_EQ(vq_rt::FormatValue((*copy.INTEGRALS).v()), "{\"idxdydz\"}");
  EXPECT_EQ(vq_rt::FormatValue(copy.VQ_IDXDYDZ_SET1.v()), "{0..8}");
  EXPECT_EQ(vq_rt::FormatValue(copy.VQ_IDXDYDZ_SET3.v()), "{0..8}");
  EXPECT_EQ(&*copy.ZDOMAIN, &f.Domain(2));
  EXPECT_EQ(copy.m_GroupBase, 100);
  EXPECT_EQ(copy.m_OwnEqnCount, 7);
  EXPECT_EQ(copy.m_OwnNonZeroCount, 21);
}

// A recorded assignment call without its value: "Assign NAME b=0 a=1 ordinal=41".
std::string Shape(const std::string& line) {
  const size_t name = line.find(' ') + 1;
  return line.substr(0, line.find(' ', name)) + line.substr(line.find(" b="));
}

// One call hands every set over twice, pass 0 from the values held on entry
// and pass 1 after the seven defaults, each with its ordinal.
TEST(Distribution3D, AssignmentCallsInOrder) {
  Distribution3DFixture f;
  vq_rt::Driver driver(f.d);
  driver.SetDims();
  Recorded([&] { driver.ExecuteAssignments(); });
  // The distribution's own calls: its sets handed over, its members assigned.
  const auto* begin = reinterpret_cast<const char*>(&f.d);
  const void* self = static_cast<VQ_Container*>(&f.d);
  std::vector<std::string> calls;
  for (const vq_rt::Event& e : vq_rt::Recorder::Events()) {
    const auto* at = static_cast<const char*>(e.subject);
    const bool member = at >= begin && at < begin + sizeof(VQ_DISTRIBUTION3D);
    if ((e.kind == vq_rt::EventKind::InitialiseInternalIndexSet && e.subject == self) ||
        (e.kind == vq_rt::EventKind::Assign && member))
      calls.push_back(vq_rt::Describe(e));
  }
  std::vector<std::string> sets;
  for (const std::string& line : ExpectedRegistrations())
    if (line.find("_SET") != std::string::npos) sets.push_back(line.substr(12, line.find(' ', 12) - 12));
  ASSERT_EQ(sets.size(), 40u);
  std::vector<std::string> expected;
  auto handOver = [&](int pass) {
    for (size_t i = 0; i < sets.size(); ++i)
      expected.push_back("InitialiseInternalIndexSet " + sets[i] + " b=0 a=1 ordinal=" + std::to_string(i + 1) +
                         " pass=" + std::to_string(pass));
  };
  handOver(0);
  const char* const defaults[] = {"HIGHESTORDERXDERIVATIVE",     "HIGHESTORDERYDERIVATIVE",
                                  "HIGHESTORDERZDERIVATIVE",     "HIGHESTORDERXDERIVATIVEUSED",
                                  "HIGHESTORDERYDERIVATIVEUSED", "HIGHESTORDERZDERIVATIVEUSED",
                                  "INTEGRALS"};
  int ordinal = 41;
  for (const char* name : defaults)
    expected.push_back(std::string("Assign DISTRIBUTION3D.") + name + " b=0 a=1 ordinal=" + std::to_string(ordinal++));
  handOver(1);
  std::vector<std::string> shapes;
  for (const std::string& call : calls) shapes.push_back(Shape(call));
  EXPECT_EQ(shapes, expected);
  ASSERT_EQ(calls.size(), 87u);
  // The orders in use are unset in pass 0 and defaulted from the domains by pass 1.
  EXPECT_EQ(calls[3], "InitialiseInternalIndexSet VQ_DDX_SET1 {0} b=0 a=1 ordinal=4 pass=0");
  EXPECT_EQ(calls[47 + 3], "InitialiseInternalIndexSet VQ_DDX_SET1 {0..8} b=0 a=1 ordinal=4 pass=1");
  EXPECT_EQ(calls[45], "Assign DISTRIBUTION3D.HIGHESTORDERZDERIVATIVEUSED 1 b=0 a=1 ordinal=46");
  EXPECT_EQ(calls[46], "Assign DISTRIBUTION3D.INTEGRALS {\"None\"} b=0 a=1 ordinal=47");
}

}  // namespace
