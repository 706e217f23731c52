// The three-dimensional distribution's walk as data: what each statement
// defines and refers to, and the stream it hands to the runtime.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <set>

#include "support/distribution_fixture.h"
#include "support/walk_text.h"
#include "vq_walk_3d.h"

namespace {

using namespace brantel;

// (x, y, z) indices; B BASE, L its end, b the element start, n the node
// loop, i, j, k the cross loops.
const WalkNotation kNotation3D{"B", "L", "b", "n",
                               {"VALUE", "DDX", "DDY", "DDZ", "D2DX2", "D2DY2", "D2DZ2", "IDX", "IDY", "IDZ", "IDXDY",
                                "IDXDZ", "IDYDZ", "IDXDYDZ"},
                               {"i", "j", "k"}};

TEST(Walk3D, EveryStatementRegistersItsVariablesInStreamOrder) {
  const std::map<int, std::string> golden = {
#include "data/registrations_3d.inc"
  };
  ASSERT_EQ(golden.size(), 379u);
  for (const auto& [statement, variables] : golden)
    EXPECT_EQ(StatementText(walk::Walk3D(), kNotation3D, statement, true), variables) << statement;
}

TEST(Walk3D, EveryStatementMatchesItsStream) {
  const std::map<int, std::string> golden = {
#include "data/streams_3d.inc"
  };
  ASSERT_EQ(golden.size(), 379u);
  for (const auto& [statement, stream] : golden)
    EXPECT_EQ(StatementText(walk::Walk3D(), kNotation3D, statement), stream) << statement;
}

// Statement numbers rise along the program, each once; groups never fall.
TEST(Walk3D, StatementsAndGroupsRiseAlongTheProgram) {
  const walk::Program& program = walk::Walk3D();
  int last = 0, lastGroup = 0;
  for (int i = 0; i < program.size; ++i) {
    const walk::Op& op = program.ops[i];
    if (op.code != walk::Code::Row) continue;
    EXPECT_EQ(op.argument, last + 1);
    EXPECT_GE(op.group, lastGroup) << op.argument;
    last = op.argument;
    lastGroup = op.group;
  }
  EXPECT_EQ(last, 379);
  EXPECT_EQ(lastGroup, 37);
}

using Settings = std::vector<std::pair<std::string, std::string>>;

void Apply(Distribution3DFixture& f, const Settings& settings) {
  for (const auto& [path, value] : settings) f.Set(path, value);
}

int StatementOf(const EmittedRow& row) { return std::stoi(row.name.substr(6)); }

// Only the instances of the given statements, as statement@i,j,k.
std::string WalkOf(Distribution3DFixture& f, const std::set<int>& statements) {
  std::string text;
  for (const EmittedRow& row : f.Rows())
    if (statements.count(StatementOf(row))) text += (text.empty() ? "" : " ") + row.Where();
  return text;
}

std::map<int, int> InstancesByStatement(Distribution3DFixture& f) {
  std::map<int, int> count;
  for (const EmittedRow& row : f.Rows()) ++count[StatementOf(row)];
  return count;
}

// Small cross domains: two intervals each, no derivatives along them.
const Settings kSmallCross = {{"YDOMAIN.SPACINGPREFERENCE", "0.5"}, {"ZDOMAIN.SPACINGPREFERENCE", "0.5"},
                              {"HIGHESTORDERYDERIVATIVEUSED", "0"}, {"HIGHESTORDERZDERIVATIVEUSED", "0"}};

TEST(Walk3D, WorkedCountsOfAnXBlock) {
  struct Case {
    const char* what;
    Settings settings;
    int endNode;
    std::map<int, int> instances;
    int group, registrations;  // the references the block's rows registered, six a row for OCFE3
  } cases[] = {
      {"BFD1, two sections of four intervals",
       {{"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.SPACINGPREFERENCE", "0.125"}, {"HIGHESTORDERXDERIVATIVEUSED", "2"},
        {"INTEGRALS", "idx"}},
       8,
       {{1, 9}, {13, 9}, {14, 72}, {15, 54}, {16, 9}, {17, 72}},
       8,
       918},
      // The junction rows belong to the highest order 2 alone: here 9 fewer.
      {"OCFE3, two elements, the highest order 3: no junction rows",
       {{"XDOMAIN.DISCRETIZATIONMETHOD", "OCFE3"}, {"XDOMAIN.SPACINGPREFERENCE", "0.16667"},
        {"HIGHESTORDERXDERIVATIVE", "3"}, {"HIGHESTORDERXDERIVATIVEUSED", "2"}},
       6,
       {{283, 9}, {284, 18}, {285, 18}, {286, 18}, {287, 18}, {288, 18}},
       32,
       594},
  };
  for (const Case& c : cases) {
    // Y and Z: two intervals.
    Distribution3DFixture f;
    Apply(f, kSmallCross);
    Apply(f, c.settings);
    f.Run();
    ASSERT_EQ(f.X().ENDNODE.v(), c.endNode) << c.what;
    EXPECT_EQ(InstancesByStatement(f), c.instances) << c.what;
    int registrations = 0;
    for (const EmittedRow& row : f.Rows())
      if (row.group == c.group) registrations += static_cast<int>(row.countedReferences);
    EXPECT_EQ(registrations, c.registrations) << c.what;
  }
}

TEST(Walk3D, StartRowsAndFamiliesFollowTheKeywords) {
  struct Case {
    const char* integrals;
    std::map<int, int> instances;  // with every domain of two intervals, no derivatives
  } cases[] = {
      // Start faces: 9 whole, 6 without a line, 4 without two lines.
      {"idx", {{1, 9}, {17, 18}}},
      {"idxdydz", {{1, 9}, {4, 9}, {5, 6}, {10, 9}, {11, 6}, {12, 4}, {17, 18}, {23, 12}, {31, 8}}},
      {"idydz", {{2, 9}, {8, 9}, {9, 6}, {22, 18}, {30, 12}}},
      {"idxdz", {{1, 9}, {6, 9}, {7, 6}, {17, 18}, {29, 12}}},
      {"idz", {{3, 9}, {28, 18}}},
  };
  for (const Case& c : cases) {
    Distribution3DFixture f;
    Apply(f, kSmallCross);
    Apply(f, {{"XDOMAIN.SPACINGPREFERENCE", "0.5"}, {"HIGHESTORDERXDERIVATIVEUSED", "0"}, {"INTEGRALS", c.integrals}});
    f.Run();
    EXPECT_EQ(InstancesByStatement(f), c.instances) << c.integrals;
  }
}

TEST(Walk3D, OrderOfAFirstBlockOverTwoSections) {
  // X: two sections of two intervals; Y and Z: one node pair each.
  Distribution3DFixture f;
  Apply(f, kSmallCross);
  Apply(f, {{"XDOMAIN.NUMSECTIONS", "2"}, {"XDOMAIN.SPACINGPREFERENCE", "0.25"}, {"HIGHESTORDERXDERIVATIVEUSED", "2"},
            {"YDOMAIN.SPACINGPREFERENCE", "1"}});
  f.Run();
  ASSERT_EQ(f.Domain(1).ENDNODE.v(), 2);
  // Second derivatives per section with z outside, then the section's junction rows.
  std::string expected;
  for (int node : {1, 3})
    for (int k = 0; k <= 2; ++k)
      for (int j = 0; j <= 2; ++j)
        expected += "15@" + std::to_string(node) + "," + std::to_string(j) + "," + std::to_string(k) + " ";
  for (int k = 0; k <= 2; ++k)
    for (int j = 0; j <= 2; ++j) expected += "16@2," + std::to_string(j) + "," + std::to_string(k) + " ";
  expected.pop_back();
  EXPECT_EQ(WalkOf(f, {15, 16}), expected);
  EXPECT_EQ(WalkOf(f, {13, 14}).substr(0, 47), "13@0,0,0 14@1,0,0 14@2,0,0 14@3,0,0 14@4,0,0 13");
}

// Which cross loop is the outer one, part by part, in every block.
TEST(Walk3D, CrossLoopOrderOfEveryBlock) {
  const char* methods[] = {"BFD1", "BFD2", "FFD1", "FFD2", "CFD2", "CFD4", "UBFD4", "OCFE2", "OCFE3", "OCFE4"};
  const char* axes[] = {"XDOMAIN", "YDOMAIN", "ZDOMAIN"};
  const char* used[] = {"HIGHESTORDERXDERIVATIVEUSED", "HIGHESTORDERYDERIVATIVEUSED", "HIGHESTORDERZDERIVATIVEUSED"};
  const char* highest[] = {"HIGHESTORDERXDERIVATIVE", "HIGHESTORDERYDERIVATIVE", "HIGHESTORDERZDERIVATIVE"};
  for (int m = 0; m < 10; ++m) {
    for (int a = 0; a < 3; ++a) {
      Distribution3DFixture f;
      for (int other = 0; other < 3; ++other) {
        f.Set(std::string(axes[other]) + ".DISCRETIZATIONMETHOD", other == a ? methods[m] : "BFD1");
        f.Set(used[other], other == a ? "2" : "0");
        if (other != a) f.Set(std::string(axes[other]) + ".SPACINGPREFERENCE", "0.5");
      }
      f.Set(std::string(axes[a]) + ".NUMSECTIONS", "2");
      f.Set(highest[a], "2");
      f.Set("INTEGRALS", "idx,idy,idz");
      f.Run();
      // The first statement of each part: first-section, second-derivative
      // (first row), junction and first integral row.
      const int earlier = a == 0 ? 1 : 0, later = a == 2 ? 1 : 2;
      const bool firstEarlierOutside = (m == 6 && a != 2) || (m == 7 && a != 0) || m >= 8;
      const bool secondLaterOutside = a == 0 && (m == 0 || m == 2);
      std::vector<EmittedRow> rows = f.Rows();
      std::map<int, std::vector<std::array<int, 3>>> at;  // per statement, the indices in walk order
      std::vector<int> order;
      for (const EmittedRow& row : rows) {
        if (row.group != 8 + 3 * m + a) continue;
        std::array<int, 3> index{};
        const std::string& defined = row.tokens[row.FirstReference()];
        std::sscanf(defined.c_str() + defined.find('('), "(%d,%d,%d)", &index[0], &index[1], &index[2]);
        if (!at.count(StatementOf(row))) order.push_back(StatementOf(row));
        at[StatementOf(row)].push_back(index);
      }
      ASSERT_FALSE(order.empty()) << methods[m] << " " << a;
      // The outer axis is the one whose index changes last between the first
      // two instances that differ in a cross index.
      auto outer = [&](int statement) {
        const auto& seen = at[statement];
        for (size_t i = 1; i < seen.size(); ++i) {
          const bool earlierMoved = seen[i][earlier] != seen[i - 1][earlier];
          const bool laterMoved = seen[i][later] != seen[i - 1][later];
          if (earlierMoved && !laterMoved) return later;  // the inner loop stepped
          if (laterMoved && !earlierMoved) return earlier;
        }
        return -1;
      };
      const std::string where = std::string(methods[m]) + " axis " + std::to_string(a);
      const int first = order.front();
      EXPECT_EQ(outer(first), firstEarlierOutside ? earlier : later) << where << " first derivatives";
      // The second derivatives and the junction row, and the integrals.
      int second = 0, junction = 0, integral = 0;
      for (int statement : order) {
        const walk::Op* row = RowOf(walk::Walk3D(), statement);
        if (row->target == walk::kD2dx23D + a && second == 0) second = statement;
        const walk::NodeBase junctionBase = m >= 7 ? walk::NodeBase::ElementStart : walk::NodeBase::SectionStart;
        if (row->target == walk::kDdx3D + a && row->from.base == junctionBase && row->from.offset == 0 &&
            statement != first)
          junction = statement;
        if (row->target >= walk::kIdx3D && integral == 0) integral = statement;
      }
      ASSERT_NE(second, 0) << where;
      ASSERT_NE(junction, 0) << where;
      ASSERT_NE(integral, 0) << where;
      EXPECT_EQ(outer(second), secondLaterOutside ? later : earlier) << where << " second derivatives";
      EXPECT_EQ(outer(junction), secondLaterOutside ? later : earlier) << where << " junction";
      EXPECT_EQ(outer(integral), later) << where << " integrals";
    }
  }
}

}  // namespace
