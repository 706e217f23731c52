// The one-dimensional distribution: its type, index sets, the walk of its
// statements and the streams they hand to the runtime.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "support/distribution_fixture.h"
#include "support/recording.h"
#include "support/walk_text.h"
#include "vq_format.h"
#include "vq_integrals.h"
#include "vq_walk_1d.h"

namespace {

using namespace brantel;

// x: b BASE, b+n its end, j the element start, k the node loop.
const WalkNotation kNotation1D{"b", "b+n", "j", "k", {"VALUE", "DDX", "D2DX2", "IDX"}, {""}};

TEST(Streams1D, EveryStatementMatchesItsStream) {
  const std::map<int, std::string> golden = {
#include "data/streams_1d.inc"
  };
  ASSERT_EQ(golden.size(), 90u);
  for (const auto& [statement, stream] : golden) EXPECT_EQ(StatementText(walk::Walk1D(), kNotation1D, statement), stream) << statement;
}

// The walk of a configuration: every instance as statement@node.
TEST(Walk1D, OrdersOfTheWorkedConfigurations) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> sets;
    std::string walk;
  } cases[] = {
      {"BFD1, two sections of four nodes, second derivatives and integrals",
       {{"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.SPACINGPREFERENCE", "0.125"}, {"HIGHESTORDERXDERIVATIVEUSED", "2"},
        {"INTEGRALS", "idx"}},
       "1@0 2@0 3@1 3@2 3@3 3@4 3@5 3@6 3@7 3@8 4@1 4@2 4@3 4@5 4@6 4@7 5@4 "
       "6@1 6@2 6@3 6@4 6@5 6@6 6@7 6@8"},
      {"UBFD4, one section of eight nodes",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "UBFD4"}, {"HIGHESTORDERXDERIVATIVEUSED", "2"}, {"INTEGRALS", "idx"}},
       "1@0 48@0 49@1 50@2 51@3 51@4 51@5 51@6 51@7 52@8 53@1 54@2 55@3 55@4 55@5 55@6 55@7 "
       "57@1 58@2 59@3 60@4 57@5 58@6 59@7 60@8"},
      {"OCFE3, two elements, junction rows on",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "OCFE3"}, {"XDOMAIN.SPACINGPREFERENCE", "0.16667"},
        {"HIGHESTORDERXDERIVATIVE", "2"}, {"INTEGRALS", "idx"}},
       "1@0 68@0 69@1 70@2 71@3 69@4 70@5 71@6 73@1 74@2 72@3 73@4 74@5 75@1 76@2 77@3 75@4 76@5 77@6"},
      {"OCFE2, two sections of one element, no integrals",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "ocfe2"}, {"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.SPACINGPREFERENCE", "0.25"},
        {"HIGHESTORDERXDERIVATIVE", "2"}},
       "61@0 62@1 63@2 65@1 62@3 63@4 64@2 65@3"},
      {"BFD2, first derivatives only",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "BFD2"}, {"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.SPACINGPREFERENCE", "0.125"}},
       "7@0 8@1 9@2 9@3 9@4 8@5 9@6 9@7 9@8"},
      {"OCFE3 with the highest order 3: no junction rows",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "OCFE3"}, {"XDOMAIN.SPACINGPREFERENCE", "0.16667"},
        {"HIGHESTORDERXDERIVATIVE", "3"}},
       "68@0 69@1 70@2 71@3 69@4 70@5 71@6 73@1 74@2 73@4 74@5"},
      {"no derivatives used", {{"HIGHESTORDERXDERIVATIVEUSED", "0"}, {"INTEGRALS", "idx"}},
       "1@0 6@1 6@2 6@3 6@4 6@5 6@6 6@7 6@8"},
      {"a method of no block: only the start row",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "BFD1"}, {"XDOMAIN.HIGHESTORDERDERIVATIVE", "0"}}, ""},
  };
  for (const Case& c : cases) {
    Distribution1DFixture f;
    for (const auto& [path, value] : c.sets) f.Set(path, value);
    f.Run();
    EXPECT_EQ(f.Walk(), c.walk) << c.what;
    // The runtime's count summed over every model driven: one an instance.
    EXPECT_EQ(f.equations, c.walk.empty() ? 0 : 1 + static_cast<int>(std::count(c.walk.begin(), c.walk.end(), ' ')))
        << c.what;
  }
}

TEST(Walk1D, GroupsFollowTheMethod) {
  const char* methods[] = {"BFD1", "BFD2", "FFD1", "FFD2", "CFD2", "CFD4", "UBFD4", "OCFE2", "OCFE3", "OCFE4"};
  for (int m = 0; m < 10; ++m) {
    Distribution1DFixture f;
    f.Set("XDOMAIN.DISCRETIZATIONMETHOD", methods[m]);
    f.Set("INTEGRALS", "idx");
    f.Set("HIGHESTORDERXDERIVATIVEUSED", "2");
    f.Run();
    std::vector<EmittedRow> rows = f.Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].name, "VQ_Eqn1");
    EXPECT_EQ(rows[0].group, 1);
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i].group, 2 + m) << methods[m] << " " << rows[i].name;
    EXPECT_EQ(f.d.m_OwnEqnCount, static_cast<int>(rows.size()));
  }
}

// The calls of both passes for a tiny grid: BFD1 over two nodes.
TEST(Walk1D, CallSequenceOfATinyFiniteDifferenceCase) {
  Distribution1DFixture f;
  f.Set("XDOMAIN.SPACINGPREFERENCE", "0.5");
  f.Set("INTEGRALS", "idx");
  vq_rt::Driver driver(f.d);
  driver.SetDims();
  driver.ExecuteAssignments();
  VQ_ModelType::m_stLastGroup = 0;
  std::vector<std::string> counting;
  for (const std::string& event : Recorded([&] { f.d.SetUpEquations(); }))
    if (event.rfind("Add", 0) != 0 || event.rfind("AddNonZero", 0) == 0) counting.push_back(event);  // not the arrays' own
  EXPECT_EQ(counting, (std::vector<std::string>{
                          "SetUpEquations -> 0",
                          "SetGroupLimits 1", "AddNonZero DISTRIBUTION1D.IDX(0)",
                          "SetGroupLimits 2", "AddNonZero DISTRIBUTION1D.DDX(0)", "AddNonZero XDOMAIN.SECTION(1).ELEMENTLENGTH",
                          "AddNonZero DISTRIBUTION1D.VALUE(0)", "AddNonZero DISTRIBUTION1D.VALUE(1)",
                          "SetGroupLimits 2", "AddNonZero DISTRIBUTION1D.DDX(1)", "AddNonZero XDOMAIN.SECTION(1).ELEMENTLENGTH",
                          "AddNonZero DISTRIBUTION1D.VALUE(0)", "AddNonZero DISTRIBUTION1D.VALUE(1)",
                          "SetGroupLimits 2", "AddNonZero DISTRIBUTION1D.DDX(2)", "AddNonZero XDOMAIN.SECTION(1).ELEMENTLENGTH",
                          "AddNonZero DISTRIBUTION1D.VALUE(1)", "AddNonZero DISTRIBUTION1D.VALUE(2)",
                          "SetGroupLimits 2", "AddNonZero DISTRIBUTION1D.IDX(1)", "AddNonZero XDOMAIN.SECTION(1).ELEMENTLENGTH",
                          "AddNonZero DISTRIBUTION1D.VALUE(0)", "AddNonZero DISTRIBUTION1D.VALUE(1)",
                          "SetGroupLimits 2", "AddNonZero DISTRIBUTION1D.IDX(2)", "AddNonZero XDOMAIN.SECTION(1).ELEMENTLENGTH",
                          "AddNonZero DISTRIBUTION1D.VALUE(1)", "AddNonZero DISTRIBUTION1D.VALUE(2)",
                          "SetLocalEqnCount 6",
                      }));
  vq_rt::PatternWindow window(f.d, 21);
  std::vector<std::string> emission = Recorded([&] { f.d.JacPattern(window.p(), window.q(), nullptr); });
  EXPECT_EQ(emission, (std::vector<std::string>{
                          "ResetExpressions", "JacPattern -> 0",
                          "AddEquation VQ_Eqn1 counter=0 group=1", "AddOp 1 eqn=0", "AddTerm ref DISTRIBUTION1D.IDX(0) eqn=0",
                          "AddEquation VQ_Eqn2 counter=1 group=2", "AddOp 19 eqn=1", "AddOp 21 eqn=1",
                          "AddTerm ref DISTRIBUTION1D.DDX(0) eqn=1", "AddTerm ref XDOMAIN.SECTION(1).ELEMENTLENGTH eqn=1",
                          "AddOp 20 eqn=1", "AddTerm ref DISTRIBUTION1D.VALUE(0) eqn=1",
                          "AddTerm ref DISTRIBUTION1D.VALUE(1) eqn=1",
                          "AddEquation VQ_Eqn3 counter=2 group=2", "AddOp 19 eqn=2", "AddOp 21 eqn=2",
                          "AddTerm ref DISTRIBUTION1D.DDX(1) eqn=2", "AddTerm ref XDOMAIN.SECTION(1).ELEMENTLENGTH eqn=2",
                          "AddOp 20 eqn=2", "AddTerm ref DISTRIBUTION1D.VALUE(0) eqn=2",
                          "AddTerm ref DISTRIBUTION1D.VALUE(1) eqn=2",
                          "AddEquation VQ_Eqn3 counter=3 group=2", "AddOp 19 eqn=3", "AddOp 21 eqn=3",
                          "AddTerm ref DISTRIBUTION1D.DDX(2) eqn=3", "AddTerm ref XDOMAIN.SECTION(1).ELEMENTLENGTH eqn=3",
                          "AddOp 20 eqn=3", "AddTerm ref DISTRIBUTION1D.VALUE(1) eqn=3",
                          "AddTerm ref DISTRIBUTION1D.VALUE(2) eqn=3",
                          "AddEquation VQ_Eqn6 counter=4 group=2", "AddOp 20 eqn=4", "AddTerm ref DISTRIBUTION1D.IDX(1) eqn=4",
                          "AddOp 21 eqn=4", "AddTerm ref XDOMAIN.SECTION(1).ELEMENTLENGTH eqn=4", "AddOp 19 eqn=4",
                          "AddOp 21 eqn=4", "AddTerm double 0.5 eqn=4", "AddTerm ref DISTRIBUTION1D.VALUE(0) eqn=4",
                          "AddOp 21 eqn=4", "AddTerm double 0.5 eqn=4", "AddTerm ref DISTRIBUTION1D.VALUE(1) eqn=4",
                          "AddEquation VQ_Eqn6 counter=5 group=2", "AddOp 20 eqn=5", "AddTerm ref DISTRIBUTION1D.IDX(2) eqn=5",
                          "AddOp 21 eqn=5", "AddTerm ref XDOMAIN.SECTION(1).ELEMENTLENGTH eqn=5", "AddOp 19 eqn=5",
                          "AddOp 21 eqn=5", "AddTerm double 0.5 eqn=5", "AddTerm ref DISTRIBUTION1D.VALUE(1) eqn=5",
                          "AddOp 21 eqn=5", "AddTerm double 0.5 eqn=5", "AddTerm ref DISTRIBUTION1D.VALUE(2) eqn=5",
                      }));
  EXPECT_EQ(f.d.m_OwnNonZeroCount, 21);
}

// The calls of both passes for one OCFE2 element, no integrals.
TEST(Walk1D, CallSequenceOfATinyCollocationCase) {
  Distribution1DFixture f;
  f.Set("XDOMAIN.DISCRETIZATIONMETHOD", "OCFE2");
  f.Set("XDOMAIN.SPACINGPREFERENCE", "0.5");
  f.Run();
  std::vector<EmittedRow> rows = f.Rows();
  std::vector<std::string> text;
  for (const EmittedRow& row : rows) {
    std::string line = row.name + " [" + std::to_string(row.group) + "]";
    for (const std::string& token : row.tokens) line += " " + token;
    text.push_back(line);
  }
  EXPECT_EQ(text, (std::vector<std::string>{
                      "VQ_Eqn61 [9] + * DDX(0) XDOMAIN.SECTION(1).ELEMENTLENGTH - VALUE(2) + * -3.0 VALUE(0) * 4.0 VALUE(1)",
                      "VQ_Eqn62 [9] + * DDX(1) XDOMAIN.SECTION(1).ELEMENTLENGTH - VALUE(0) VALUE(2)",
                      "VQ_Eqn63 [9] - * DDX(2) XDOMAIN.SECTION(1).ELEMENTLENGTH + - VALUE(0) * 4.0 VALUE(1) * 3.0 VALUE(2)",
                  }));
}

TEST(Distribution1D, RegistrationAndIndexSets) {
  VQ_ModelType* model = nullptr;
  std::vector<std::string> events = Recorded([&] { model = DISTRIBUTION1DFactory(); });
  EXPECT_EQ(events, (std::vector<std::string>{
                        "AddProperty XDOMAIN desc=null dir=0 flag=0 form=external",
                        "AddProperty VQ_VALUE_SET1 desc=null dir=0 flag=0 form=plain",
                        "AddProperty VALUE desc=\"Variable value at a node point\" dir=0 flag=0 form=virtual",
                        "AddProperty USERNOTES desc=null dir=0 flag=0 form=plain",
                        "AddProperty INPUTSIGNAL desc=null dir=4 flag=0 form=plain",
                        "UnsetIsToBeExported INPUTSIGNAL",
                        "AddProperty OUTPUTSIGNAL desc=null dir=8 flag=0 form=plain",
                        "UnsetIsToBeExported OUTPUTSIGNAL",
                        "AddProperty HIGHESTORDERXDERIVATIVE desc=null dir=0 flag=0 form=plain",
                        "AddProperty HIGHESTORDERXDERIVATIVEUSED desc=null dir=0 flag=0 form=plain",
                        "AddProperty INTEGRALS desc=\"Integrals to be calculated. Valid value: idx\" dir=0 flag=0 form=plain",
                        "AddProperty VQ_DDX_SET1 desc=null dir=0 flag=0 form=plain",
                        "AddProperty DDX desc=\"1st-order partial deriv wrt x\" dir=0 flag=0 form=plain",
                        "AddProperty VQ_D2DX2_SET1 desc=null dir=0 flag=0 form=plain",
                        "AddProperty D2DX2 desc=\"2nd-order partial deriv wrt x\" dir=0 flag=0 form=plain",
                        "AddProperty VQ_IDX_SET1 desc=null dir=0 flag=0 form=plain",
                        "AddProperty IDX desc=\"integral of distributed variable over X domain\" dir=0 flag=0 form=plain",
                        "AddRef -> 1",
                    }));
  model->Release();

  auto elements = [](const XUValue& set) { return vq_rt::FormatValue(set); };
  struct Case {
    std::vector<std::pair<std::string, std::string>> sets;
    const char* ddx;
    const char* d2dx2;
    const char* idx;
  } cases[] = {
      {{{"HIGHESTORDERXDERIVATIVEUSED", "0"}}, "{0}", "{}", "{}"},
      {{{"HIGHESTORDERXDERIVATIVEUSED", "1"}, {"INTEGRALS", "idx"}}, "{0..8}", "{}", "{0..8}"},
      {{{"HIGHESTORDERXDERIVATIVEUSED", "2"}}, "{0..8}", "{1..7}", "{}"},
      {{{"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.HIGHESTORDERDERIVATIVE", "2"}}, "{0..16}", "{1..7, 9..15}", "{}"},
      {{{"XDOMAIN.DISCRETIZATIONMETHOD", "OCFE2"}, {"XDOMAIN.HIGHESTORDERDERIVATIVE", "2"}}, "{0..8}",
       "{1, 3, 5, 7}", "{}"},
  };
  for (const Case& c : cases) {
    Distribution1DFixture f;
    for (const auto& [path, value] : c.sets) f.Set(path, value);
    f.Run();
    EXPECT_EQ(elements(f.d.VQ_DDX_SET1.v()), c.ddx);
    EXPECT_EQ(elements(f.d.VQ_D2DX2_SET1.v()), c.d2dx2);
    EXPECT_EQ(elements(f.d.VQ_IDX_SET1.v()), c.idx);
    EXPECT_EQ(elements(f.d.VQ_VALUE_SET1.v()), "{0.." + std::to_string(f.X().ENDNODE.v()) + "}");
  }
  // Defaults from the domain, "None" for INTEGRALS.
  Distribution1DFixture f;
  f.Set("XDOMAIN.HIGHESTORDERDERIVATIVE", "2");
  f.Run();
  EXPECT_EQ(f.d.HIGHESTORDERXDERIVATIVE.v(), 2);
  EXPECT_EQ(f.d.HIGHESTORDERXDERIVATIVEUSED.v(), 2);
  EXPECT_EQ(elements((*f.d.INTEGRALS).v()), "{\"None\"}");
  EXPECT_EQ("idx" <= (*f.d.INTEGRALS).v(), 0);
}

TEST(Distribution1D, SignatureAndDerivation) {
  Distribution1DFixture f;
  EXPECT_EQ(f.d.VQ_DefaultDESCRIPTION(), VQ_DISTRIBUTION1D::VQ_ContainerId());
  EXPECT_TRUE(f.d.ContainerDerivesFrom("model distribution1d\tv8.4"));
  EXPECT_FALSE(f.d.ContainerDerivesFrom("Model DISTRIBUTION2D\tV8.4"));
  EXPECT_STREQ(VQ_External<VQ_DISTRIBUTION1D>().ExternalTypeName(), "Model DISTRIBUTION1D\tV8.4");
}

// A grid that does not describe itself or suit the method is refused by the
// assignments of the domain or the distribution; nothing is emitted.
TEST(Distribution1D, GridsTheStencilsCannotUseAreRefused) {
  struct Case {
    std::vector<std::pair<std::string, std::string>> sets;
    std::string error;
  };
  std::vector<Case> cases = {
      // First-order rows stay inside a section of one node interval.
      {{{"XDOMAIN.SECTION(1).NODECOUNT", "1"}}, "(no error)"},
      {{{"XDOMAIN.DISCRETIZATIONMETHOD", "FFD1"}, {"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.SECTION(2).NODECOUNT", "1"}},
       "(no error)"},
      {{{"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.MINNODECOUNT", "1"}, {"XDOMAIN.SPACINGPREFERENCE", "1.0"}},
       "(no error)"},
      {{{"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.SECTION(2).BASE", "5"}},
       "XDOMAIN.SECTION(2).BASE: 5 is not 8, the node intervals of the sections before it"},
      {{{"XDOMAIN.SECTION(1).NUMELEMENTS", "3"}},
       "XDOMAIN.SECTION(1).NUMELEMENTS: 3 is not 8, the elements of 1 intervals that fill the section's 8 node "
       "intervals"},
      {{{"XDOMAIN.ENDNODE", "9"}}, "XDOMAIN.ENDNODE: 9 is not 8, the node intervals of all sections"},
      // A section that ends at 0 ends there up to rounding.
      {{{"XDOMAIN.SECTION(1).LOCATION", "-0.1"}, {"XDOMAIN.LENGTH", "0.1"}, {"XDOMAIN.SPACINGPREFERENCE", "0.009"}},
       "(no error)"},
      // Values the rows would not use: an interior that declares rows no
      // statement defines (or leaves out rows that one does), a coordinate
      // and an inner point the stencils' step does not follow.
      {{{"XDOMAIN.INTERIOR", "0,1,2,3,4,5,6,7,8"}, {"HIGHESTORDERXDERIVATIVE", "2"}},
       "XDOMAIN.INTERIOR: {0..8} is not {1..7}, the interior nodes the grid gives"},
      {{{"XDOMAIN.INTERIOR", "1,2"}, {"HIGHESTORDERXDERIVATIVE", "2"}},
       "XDOMAIN.INTERIOR: {1, 2} is not {1..7}, the interior nodes the grid gives"},
      {{{"XDOMAIN.VALUE(1)", "0.01"}}, "XDOMAIN.VALUE(1): 0.01 is not 0.125, the coordinate the grid gives node 1"},
      {{{"XDOMAIN.DISCRETIZATIONMETHOD", "BFD2"}, {"XDOMAIN.POLYPOINT(1)", "0.3"}, {"XDOMAIN.SPACINGPREFERENCE", "0.25"}},
       "XDOMAIN.POLYPOINT(1): 0.3 is not within 0.0001 of 0.5, the fraction of an element at which BFD2 puts inner "
       "point 1 (its fractions: 0.5)"},
  };
  // Every method's rows fit one element: a section of a single element, the
  // shortest a grid of whole elements has, takes every row of the method
  // without a look-up outside the grid.
  const std::pair<const char*, const char*> oneElement[] = {
      {"BFD1", "1"}, {"BFD2", "2"},  {"FFD1", "1"},  {"FFD2", "2"},  {"CFD2", "2"},
      {"CFD4", "4"}, {"UBFD4", "4"}, {"OCFE2", "2"}, {"OCFE3", "3"}, {"OCFE4", "4"},
  };
  for (const auto& [method, intervals] : oneElement)
    cases.push_back({{{"XDOMAIN.DISCRETIZATIONMETHOD", method}, {"XDOMAIN.SECTION(1).NODECOUNT", intervals},
                      {"XDOMAIN.HIGHESTORDERDERIVATIVE", "2"}, {"HIGHESTORDERXDERIVATIVEUSED", "2"},
                      {"INTEGRALS", "idx"}},
                     "(no error)"});
  for (const Case& c : cases) {
    Distribution1DFixture f;
    for (const auto& [path, value] : c.sets) f.Set(path, value);
    const std::string what = c.sets.front().first + "=" + c.sets.front().second;
    EXPECT_EQ(f.RunError(), c.error) << what;
    EXPECT_EQ(f.d.State().emitted.empty(), c.error != "(no error)") << what;
  }
}

TEST(Distribution1D, EmissionWithoutACountEmitsNothingAndAMismatchIsAnError) {
  Distribution1DFixture f;
  vq_rt::Driver driver(f.d);
  driver.SetDims();
  driver.ExecuteAssignments();
  {
    vq_rt::PatternWindow window(f.d, 0);
    EXPECT_EQ(f.d.JacPattern(window.p(), window.q(), nullptr), 0);
    EXPECT_TRUE(f.d.State().emitted.empty());
  }
  ASSERT_GT(f.d.SetUpEquations(), 0);
  f.Set("HIGHESTORDERXDERIVATIVEUSED", "0");  // the walk changes between the passes
  vq_rt::PatternWindow window(f.d, 100);
  try {
    f.d.JacPattern(window.p(), window.q(), nullptr);
    FAIL() << "no error";
  } catch (const VQ_Error& e) {
    EXPECT_STREQ(e.what(), "DISTRIBUTION1D: the emission pass gave 0 equations where the counting pass counted 9");
  }
}

TEST(Distribution1D, LookUpsOutsideTheIndexSetsAreErrorsDuringThePasses) {
  Distribution1DFixture f;
  f.Run();
  {
    VQ_StrictLookups strict;
    EXPECT_THROW(f.d.D2DX2(3), VQ_Error);  // no second derivatives used
    EXPECT_NO_THROW(f.d.DDX(3));
  }
  EXPECT_NO_THROW(f.d.D2DX2(3));  // outside the passes the array makes it
}

TEST(Distribution1D, KeywordTest) {
  VQ_StrSetValue integrals("idx\"idxdy\"");
  EXPECT_EQ("idx" <= integrals, 1);
  EXPECT_EQ("IDXDY" <= integrals, 1);
  EXPECT_EQ("idy" <= integrals, 0);
  EXPECT_EQ("idx" <= VQ_StrSetValue("None"), 0);
}

}  // namespace
