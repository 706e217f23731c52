// The three-dimensional distribution's walk as data: what each statement
// defines and refers to, and the stream it hands to the runtime.
#include <gtest/gtest.h>

#include <map>

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
  for (const auto& [statement, variables] : golden) EXPECT_EQ(StatementText(walk::Walk3D(), kNotation3D, statement, true), variables) << statement;
}

TEST(Walk3D, EveryStatementMatchesItsStream) {
  const std::map<int, std::string> golden = {
#include "data/streams_3d.inc"
  };
  ASSERT_EQ(golden.size(), 379u);
  for (const auto& [statement, stream] : golden) EXPECT_EQ(StatementText(walk::Walk3D(), kNotation3D, statement), stream) << statement;
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

}  // namespace
