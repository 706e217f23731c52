// The two-dimensional distribution: its type, index sets, the walk of its
// statements and the streams they hand to the runtime.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/distribution_fixture.h"
#include "support/recording.h"
#include "support/walk_text.h"
#include "vq_format.h"
#include "vq_walk_2d.h"

namespace {

using namespace brantel;

// x index first; B BASE, B+N its end, b the element start, k the node loop,
// c the cross node.
const WalkNotation kNotation2D{"B", "B+N", "b", "k", {"VALUE", "DDX", "DDY", "D2DX2", "D2DY2", "IDX", "IDY", "IDXDY"},
                               {"c", "c"}};

TEST(Streams2D, EveryStatementMatchesItsStream) {
  const std::map<int, std::string> golden = {
#include "data/streams_2d.inc"
  };
  ASSERT_EQ(golden.size(), 207u);
  for (const auto& [statement, stream] : golden)
    EXPECT_EQ(StatementText(walk::Walk2D(), kNotation2D, statement), stream) << statement;
}

// The totals over all 207 statement streams, counted from the stencils.
TEST(Streams2D, TokenTotalsOverAllStatements) {
  int operators = 0, integers = 0, reals = 0, variables = 0;
  for (int statement = 1; statement <= 207; ++statement) {
    const walk::Op* row = RowOf(walk::Walk2D(), statement);
    ASSERT_NE(row, nullptr) << statement;
    const StreamTemplate& stream = StreamOf(row->stencil);
    for (int i = 0; i < stream.count; ++i) {
      switch (stream.items[static_cast<size_t>(i)].kind) {
        case StreamItem::Op: ++operators; break;
        case StreamItem::Integer: ++integers; break;
        case StreamItem::Real: ++reals; break;
        default: ++variables; break;
      }
    }
  }
  EXPECT_EQ(operators, 1765);
  EXPECT_EQ(integers, 428);
  EXPECT_EQ(reals, 318);
  EXPECT_EQ(variables, 1188);
}

using Settings = std::vector<std::pair<std::string, std::string>>;

void Apply(Distribution2DFixture& f, const Settings& settings) {
  for (const auto& [path, value] : settings) f.Set(path, value);
}

// Only the instances of the given statements, as statement@x,y.
std::string WalkOf(Distribution2DFixture& f, const std::set<int>& statements = {}) {
  std::string text;
  for (const EmittedRow& row : f.Rows())
    if (statements.empty() || statements.count(std::stoi(row.name.substr(6))))
      text += (text.empty() ? "" : " ") + row.Where();
  return text;
}

TEST(Walk2D, OrdersOfTheWorkedConfigurations) {
  struct Case {
    const char* what;
    Settings settings;
    std::set<int> statements;
    std::string walk;
  } cases[] = {
      {"FFD1 along x over two sections of two nodes, first derivatives per y node",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "FFD1"}, {"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.SPACINGPREFERENCE", "0.25"},
        {"YDOMAIN.SPACINGPREFERENCE", "1"}, {"HIGHESTORDERXDERIVATIVEUSED", "1"}, {"HIGHESTORDERYDERIVATIVEUSED", "0"}},
       {},
       "32@0,0 33@1,0 34@2,0 33@3,0 34@4,0 32@0,1 33@1,1 34@2,1 33@3,1 34@4,1 32@0,2 33@1,2 34@2,2 33@3,2 34@4,2"},
      {"FFD2 on the same grid, with integrals",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "FFD2"}, {"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.SPACINGPREFERENCE", "0.25"},
        {"YDOMAIN.SPACINGPREFERENCE", "1"}, {"HIGHESTORDERXDERIVATIVEUSED", "1"}, {"HIGHESTORDERYDERIVATIVEUSED", "0"},
        {"INTEGRALS", "idx"}},
       {45, 46, 47, 48, 51, 52},
       "45@0,0 47@1,0 48@2,0 47@3,0 48@4,0 45@0,1 47@1,1 48@2,1 47@3,1 48@4,1 45@0,2 47@1,2 48@2,2 47@3,2 48@4,2 "
       "51@1,0 52@2,0 51@3,0 52@4,0 51@1,1 52@2,1 51@3,1 52@4,1 51@1,2 52@2,2 51@3,2 52@4,2"},
      {"OCFE3 along x, one element: no junction row at node 0",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "OCFE3"}, {"XDOMAIN.SPACINGPREFERENCE", "0.34"},
        {"HIGHESTORDERXDERIVATIVE", "2"}, {"HIGHESTORDERXDERIVATIVEUSED", "2"}, {"YDOMAIN.SPACINGPREFERENCE", "1"},
        {"HIGHESTORDERYDERIVATIVEUSED", "0"}, {"INTEGRALS", "idx"}},
       {},
       "1@0,0 1@0,1 1@0,2 155@0,0 156@1,0 157@2,0 158@3,0 155@0,1 156@1,1 157@2,1 158@3,1 155@0,2 156@1,2 157@2,2 "
       "158@3,2 160@1,0 161@2,0 160@1,1 161@2,1 160@1,2 161@2,2 162@1,0 163@2,0 164@3,0 162@1,1 163@2,1 164@3,1 "
       "162@1,2 163@2,2 164@3,2"},
      {"OCFE3 along y, two elements: the junction row after the second element's second derivatives",
       {{"YDOMAIN.DISCRETIZATIONMETHOD", "OCFE3"}, {"YDOMAIN.SPACINGPREFERENCE", "0.17"},
        {"HIGHESTORDERYDERIVATIVE", "2"}, {"XDOMAIN.SPACINGPREFERENCE", "1"}, {"HIGHESTORDERXDERIVATIVEUSED", "0"}},
       {169, 170, 171},
       "169@0,1 170@0,2 169@1,1 170@1,2 169@2,1 170@2,2 169@0,4 170@0,5 169@1,4 170@1,5 169@2,4 170@2,5 "
       "171@0,3 171@1,3 171@2,3"},
      {"OCFE3 along y with the highest order 3: the same rows but no junction row",
       {{"YDOMAIN.DISCRETIZATIONMETHOD", "OCFE3"}, {"YDOMAIN.SPACINGPREFERENCE", "0.17"},
        {"HIGHESTORDERYDERIVATIVE", "3"}, {"XDOMAIN.SPACINGPREFERENCE", "1"}, {"HIGHESTORDERXDERIVATIVEUSED", "0"}},
       {169, 170, 171},
       "169@0,1 170@0,2 169@1,1 170@1,2 169@2,1 170@2,2 169@0,4 170@0,5 169@1,4 170@1,5 169@2,4 170@2,5"},
      {"idxdy alone: IDX and IDXDY chains, no IDY",
       {{"XDOMAIN.SPACINGPREFERENCE", "1"}, {"YDOMAIN.SPACINGPREFERENCE", "1"}, {"HIGHESTORDERXDERIVATIVEUSED", "0"},
        {"HIGHESTORDERYDERIVATIVEUSED", "0"}, {"INTEGRALS", "idxdy"}},
       {},
       "1@0,0 1@0,1 1@0,2 3@0,0 3@0,1 3@0,2 4@1,0 4@2,0 9@1,0 9@2,0 9@1,1 9@2,1 9@1,2 9@2,2 "
       "15@1,1 15@1,2 15@2,1 15@2,2"},
      {"a method name in lower case selects its block",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "ocfe2"}, {"XDOMAIN.SPACINGPREFERENCE", "0.5"},
        {"YDOMAIN.SPACINGPREFERENCE", "1"}, {"HIGHESTORDERXDERIVATIVEUSED", "1"}, {"HIGHESTORDERYDERIVATIVEUSED", "0"}},
       {},
       "139@0,0 140@1,0 141@2,0 139@0,1 140@1,1 141@2,1 139@0,2 140@1,2 141@2,2"},
  };
  for (const Case& c : cases) {
    Distribution2DFixture f;
    Apply(f, c.settings);
    f.Run();
    EXPECT_EQ(WalkOf(f, c.statements), c.walk) << c.what;
  }
}

// Groups never fall along the walk: start rows 1 to 3, then for method m
// its x-block in 4+2m and its y-block in 5+2m, whatever the two methods.
TEST(Walk2D, MethodFirstAxisSecond) {
  const char* methods[] = {"BFD1", "BFD2", "FFD1", "FFD2", "CFD2", "CFD4", "UBFD4", "OCFE2", "OCFE3", "OCFE4"};
  for (int mx = 0; mx < 10; ++mx) {
    const int my = (mx + 7) % 10;
    Distribution2DFixture f;
    Apply(f, {{"XDOMAIN.DISCRETIZATIONMETHOD", methods[mx]}, {"YDOMAIN.DISCRETIZATIONMETHOD", methods[my]},
              {"HIGHESTORDERXDERIVATIVEUSED", "2"}, {"HIGHESTORDERYDERIVATIVEUSED", "2"},
              {"INTEGRALS", "idx,idy,idxdy"}});
    f.Run();
    std::vector<EmittedRow> rows = f.Rows();
    std::set<int> groups;
    for (size_t i = 0; i < rows.size(); ++i) {
      groups.insert(rows[i].group);
      if (i > 0) {
        EXPECT_LE(rows[i - 1].group, rows[i].group) << methods[mx] << "/" << methods[my] << " " << rows[i].Where();
      }
    }
    EXPECT_EQ(groups, (std::set<int>{1, 2, 3, 4 + 2 * mx, 5 + 2 * my})) << methods[mx] << "/" << methods[my];
    EXPECT_EQ(f.d.m_OwnEqnCount, static_cast<int>(rows.size()));
  }
}

TEST(Walk2D, InstanceCounts) {
  auto count = [](Distribution2DFixture& f, int group) {
    int n = 0;
    for (const EmittedRow& row : f.Rows()) n += row.group == group;
    return n;
  };
  {
    // Start rows: YE+1, XE+1, YE+1 and XE instances.
    Distribution2DFixture f;
    Apply(f, {{"XDOMAIN.SPACINGPREFERENCE", "0.25"}, {"YDOMAIN.SPACINGPREFERENCE", "0.5"},
              {"INTEGRALS", "idx,idy,idxdy"}});
    f.Run();
    EXPECT_EQ(count(f, 1), 3);
    EXPECT_EQ(count(f, 2), 5);
    EXPECT_EQ(count(f, 3), 3 + 4);
    EXPECT_EQ(WalkOf(f, {4}), "4@1,0 4@2,0 4@3,0 4@4,0");
  }
  {
    // OCFE4 along x, two elements; y five nodes of a first-order domain:
    // 45 first-derivative, 5 junction, 30 second-derivative, 40 integral rows.
    Distribution2DFixture f;
    Apply(f, {{"XDOMAIN.DISCRETIZATIONMETHOD", "OCFE4"}, {"XDOMAIN.SPACINGPREFERENCE", "0.125"},
              {"HIGHESTORDERXDERIVATIVE", "2"}, {"HIGHESTORDERXDERIVATIVEUSED", "2"},
              {"YDOMAIN.SPACINGPREFERENCE", "0.25"}, {"HIGHESTORDERYDERIVATIVEUSED", "0"}, {"INTEGRALS", "idx"}});
    f.Run();
    ASSERT_EQ(f.X().ENDNODE.v(), 8);
    EXPECT_EQ(count(f, 22), 120);
    EXPECT_EQ(WalkOf(f, {183}), "183@4,0 183@4,1 183@4,2 183@4,3 183@4,4");
  }
  {
    // No derivative used and no integral asked for: no instance at all.
    Distribution2DFixture f;
    Apply(f, {{"HIGHESTORDERXDERIVATIVEUSED", "0"}, {"HIGHESTORDERYDERIVATIVEUSED", "0"}});
    f.Run();
    EXPECT_TRUE(f.Rows().empty());
    EXPECT_EQ(f.d.m_OwnEqnCount, 0);
  }
}

// A node that is a section junction on both axes gets the x junction row
// only when x leaves its junctions out of its interior.
TEST(Walk2D, JunctionRowsOnBothAxes) {
  for (const char* order : {"1", "2"}) {
    Distribution2DFixture f;
    Apply(f, {{"XDOMAIN.NUMSECTIONS", "2"},
              {"XDOMAIN.SPACINGPREFERENCE", "0.5"},
              {"XDOMAIN.HIGHESTORDERDERIVATIVE", order},
              {"YDOMAIN.NUMSECTIONS", "2"},
              {"YDOMAIN.SPACINGPREFERENCE", "0.5"},
              {"YDOMAIN.HIGHESTORDERDERIVATIVE", order},
              {"HIGHESTORDERXDERIVATIVEUSED", "2"},
              {"HIGHESTORDERYDERIVATIVEUSED", "2"}});
    f.Run();
    // Sections of two nodes: the junction is node 2 on both axes.
    EXPECT_EQ(WalkOf(f, {8}), "8@2,0 8@2,1 8@2,2 8@2,3 8@2,4") << order;
    const bool junctionsInterior = std::string(order) == "1";
    EXPECT_EQ(WalkOf(f, {13}),
              junctionsInterior ? "13@0,2 13@1,2 13@2,2 13@3,2 13@4,2" : "13@0,2 13@1,2 13@3,2 13@4,2");
  }
}

TEST(Distribution2D, Registration) {
  VQ_ModelType* model = nullptr;
  std::vector<std::string> events = Recorded([&] { model = DISTRIBUTION2DFactory(); });
  std::vector<std::string> names;
  for (const std::string& event : events)
    if (event.rfind("AddProperty ", 0) == 0) names.push_back(event.substr(12, event.find(' ', 12) - 12));
  EXPECT_EQ(names, (std::vector<std::string>{
                       "XDOMAIN", "YDOMAIN", "VQ_VALUE_SET1", "VQ_VALUE_SET2", "VALUE", "USERNOTES", "INPUTSIGNAL",
                       "OUTPUTSIGNAL", "HIGHESTORDERXDERIVATIVE", "HIGHESTORDERYDERIVATIVE",
                       "HIGHESTORDERXDERIVATIVEUSED", "HIGHESTORDERYDERIVATIVEUSED", "INTEGRALS", "VQ_DDX_SET1",
                       "VQ_DDX_SET2", "DDX", "VQ_DDY_SET1", "VQ_DDY_SET2", "DDY", "VQ_D2DX2_SET1", "VQ_D2DX2_SET2",
                       "D2DX2", "VQ_D2DY2_SET1", "D2DY2", "VQ_IDX_SET1", "VQ_IDX_SET2", "IDX", "VQ_IDY_SET1",
                       "VQ_IDY_SET2", "IDY", "VQ_IDXDY_SET1", "VQ_IDXDY_SET2", "IDXDY"}));
  auto has = [&](const std::string& event) { return std::find(events.begin(), events.end(), event) != events.end(); };
  EXPECT_TRUE(has("AddProperty XDOMAIN desc=null dir=0 flag=0 form=external"));
  EXPECT_TRUE(has("AddProperty VALUE desc=\"Variable value at a node point\" dir=0 flag=0 form=virtual"));
  EXPECT_TRUE(has("AddProperty OUTPUTSIGNAL desc=null dir=8 flag=0 form=plain"));
  EXPECT_TRUE(has("UnsetIsToBeExported INPUTSIGNAL"));
  EXPECT_TRUE(has("AddProperty INTEGRALS desc=\"Integrals to be calculated. Valid values: idx, idy, idxdy\" dir=0 "
                  "flag=0 form=plain"));
  EXPECT_TRUE(has("AddProperty IDXDY desc=\"integral of distributed variable wrt x and y\" dir=0 flag=0 form=plain"));
  model->Release();

  Distribution2DFixture f;
  EXPECT_EQ(f.d.VQ_DefaultDESCRIPTION(), VQ_DISTRIBUTION2D::VQ_ContainerId());
  EXPECT_TRUE(f.d.ContainerDerivesFrom("MODEL distribution2D\tv8.4"));
  EXPECT_FALSE(f.d.ContainerDerivesFrom("Model DISTRIBUTION1D\tV8.4"));
  EXPECT_STREQ(VQ_Virtual<VQ_DISTRIBUTION2D>().VirtualBaseType(), "Model DISTRIBUTION2D\tV8.4");
}

TEST(Distribution2D, IndexSets) {
  auto elements = [](const XUValue& set) { return vq_rt::FormatValue(set); };
  struct Case {
    const char* what;
    Settings settings;
    std::map<std::string, std::string> sets;  // by name, as FormatValue writes them
  } cases[] = {
      {"defaults: first-order domains of eight intervals, no integrals",
       {},
       {{"VALUE1", "{0..8}"}, {"VALUE2", "{0..8}"}, {"DDX1", "{0..8}"}, {"DDY1", "{0..8}"}, {"D2DX21", "{}"},
        {"D2DX22", "{0..8}"}, {"D2DY21", "{0}"}, {"IDX1", "{}"}, {"IDY1", "{}"}, {"IDXDY1", "{}"}}},
      {"no derivatives used",
       {{"HIGHESTORDERXDERIVATIVEUSED", "0"}, {"HIGHESTORDERYDERIVATIVEUSED", "0"}},
       {{"DDX1", "{0}"}, {"DDY1", "{0}"}, {"D2DX21", "{}"}, {"D2DY21", "{0}"}}},
      {"second derivatives over first-order domains",
       {{"HIGHESTORDERXDERIVATIVEUSED", "2"}, {"HIGHESTORDERYDERIVATIVEUSED", "2"}},
       {{"D2DX21", "{1..7}"}, {"D2DX22", "{0..8}"}, {"D2DY21", "{0..8}"}}},
      {"second derivatives over two-section domains that leave their junctions out",
       {{"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.HIGHESTORDERDERIVATIVE", "2"}, {"YDOMAIN.NUMSECTIONS", "2"},
        {"YDOMAIN.HIGHESTORDERDERIVATIVE", "2"}, {"YDOMAIN.SPACINGPREFERENCE", "0.25"}},
       {{"D2DX21", "{1..7, 9..15}"}, {"D2DX22", "{0, 1, 3, 4}"}, {"D2DY21", "{0..7, 9..16}"}, {"VALUE2", "{0..4}"}}},
      {"idxdy alone", {{"INTEGRALS", "idxdy"}}, {{"IDX1", "{0..8}"}, {"IDY1", "{}"}, {"IDXDY1", "{0..8}"}}},
      {"idy alone", {{"INTEGRALS", "idy"}}, {{"IDX1", "{}"}, {"IDY1", "{0..8}"}, {"IDXDY1", "{}"}, {"IDY2", "{0..8}"}}},
  };
  for (const Case& c : cases) {
    Distribution2DFixture f;
    Apply(f, c.settings);
    f.Run();
    VQ_DISTRIBUTION2D& d = f.d;
    const std::map<std::string, VQ_INTEGERSET*> sets = {
        {"VALUE1", &d.VQ_VALUE_SET1}, {"VALUE2", &d.VQ_VALUE_SET2}, {"DDX1", &d.VQ_DDX_SET1},
        {"DDY1", &d.VQ_DDY_SET1},     {"D2DX21", &d.VQ_D2DX2_SET1}, {"D2DX22", &d.VQ_D2DX2_SET2},
        {"D2DY21", &d.VQ_D2DY2_SET1}, {"IDX1", &d.VQ_IDX_SET1},     {"IDY1", &d.VQ_IDY_SET1},
        {"IDY2", &d.VQ_IDY_SET2},     {"IDXDY1", &d.VQ_IDXDY_SET1}};
    for (const auto& [name, expected] : c.sets)
      EXPECT_EQ(elements(sets.at(name)->v()), expected) << c.what << " " << name;
  }
  // Defaults from the two domains, "None" for INTEGRALS.
  Distribution2DFixture f;
  Apply(f, {{"YDOMAIN.HIGHESTORDERDERIVATIVE", "2"}});
  f.Run();
  EXPECT_EQ(f.d.HIGHESTORDERXDERIVATIVEUSED.v(), 1);
  EXPECT_EQ(f.d.HIGHESTORDERYDERIVATIVE.v(), 2);
  EXPECT_EQ(f.d.HIGHESTORDERYDERIVATIVEUSED.v(), 2);
  EXPECT_EQ(elements((*f.d.INTEGRALS).v()), "{\"None\"}");
}

TEST(Distribution2D, GridsTheStencilsCannotUseAreRefusedNamingTheAxis) {
  Distribution2DFixture f;
  Apply(f, {{"YDOMAIN.SECTION(1).NUMELEMENTS", "3"}});
  EXPECT_EQ(f.RunError(),
            "YDOMAIN.SECTION(1).NUMELEMENTS: 3 is not 8, the elements of 1 intervals that fill the section's 8 node "
            "intervals");
  EXPECT_TRUE(f.d.State().emitted.empty());
  // An interior that would declare D2DY2(x,0) and D2DY2(x,8), which no row
  // defines.
  Distribution2DFixture interior;
  Apply(interior, {{"YDOMAIN.INTERIOR", "0..8"}, {"HIGHESTORDERYDERIVATIVE", "2"}});
  EXPECT_EQ(interior.RunError(), "YDOMAIN.INTERIOR: {0..8} is not {1..7}, the interior nodes the grid gives");
  EXPECT_TRUE(interior.d.State().emitted.empty());
}

}  // namespace
