// The three-dimensional distribution's walk as data: what each statement
// defines and refers to, and the stream it hands to the runtime.
#include <gtest/gtest.h>

#include <map>

#include "vq_format.h"
#include "vq_walk_3d.h"

namespace {

using namespace brantel;

const walk::Op* RowOf(int statement) {
  const walk::Program& program = walk::Walk3D();
  for (int i = 0; i < program.size; ++i)
    if (program.ops[i].code == walk::Code::Row && program.ops[i].argument == statement) return &program.ops[i];
  return nullptr;
}

std::string NodeText(walk::NodeExpr at, int extra) {
  const int offset = at.offset + extra;
  std::string base;
  switch (at.base) {
    case walk::NodeBase::SectionStart: base = "B"; break;
    case walk::NodeBase::SectionEnd: base = "L"; break;
    case walk::NodeBase::ElementStart: base = "b"; break;
    case walk::NodeBase::Node: base = "n"; break;
    case walk::NodeBase::Zero: return std::to_string(offset);
  }
  if (offset > 0) return base + "+" + std::to_string(offset);
  if (offset < 0) return base + std::to_string(offset);
  return base;
}

// An element with the row's node in its own axis' place and the cross loop
// letters i, j, k in the others.
std::string ElementText(int array, const walk::Op& row, int extra) {
  static const char* const kArrays[] = {"VALUE", "DDX",   "DDY",   "DDZ",   "D2DX2", "D2DY2", "D2DZ2",
                                        "IDX",   "IDY",   "IDZ",   "IDXDY", "IDXDZ", "IDYDZ", "IDXDYDZ"};
  std::string index[3] = {"i", "j", "k"};
  index[row.axis] = NodeText(row.from, extra);
  return std::string(kArrays[array]) + "(" + index[0] + "," + index[1] + "," + index[2] + ")";
}

// A statement's stream, or only its variables, named as the walk places them.
std::string Rendered(int statement, bool variablesOnly) {
  const walk::Op* row = RowOf(statement);
  if (row == nullptr) return "(no row)";
  std::string text;
  const StreamTemplate& stream = StreamOf(row->stencil);
  for (int i = 0; i < stream.count; ++i) {
    const StreamItem& item = stream.items[static_cast<size_t>(i)];
    std::string token;
    switch (item.kind) {
      case StreamItem::Op: {
        static const std::map<int, std::string> kOps = {{1, "op1"}, {19, "+"}, {20, "-"}, {21, "*"}, {22, "/"}, {40, "sq"}};
        token = kOps.at(item.integer);
        break;
      }
      case StreamItem::Integer: token = std::to_string(item.integer); break;
      case StreamItem::Real: token = vq_rt::FormatDouble(item.real); break;
      case StreamItem::Defined: token = ElementText(row->target, *row, 0); break;
      case StreamItem::Step: token = "h"; break;
      case StreamItem::Integrand: token = ElementText(row->integrand, *row, item.integer); break;
    }
    if (variablesOnly && item.kind < StreamItem::Defined) continue;
    text += (text.empty() ? "" : " ") + token;
  }
  return text;
}

TEST(Walk3D, EveryStatementRegistersItsVariablesInStreamOrder) {
  const std::map<int, std::string> golden = {
#include "data/registrations_3d.inc"
  };
  ASSERT_EQ(golden.size(), 379u);
  for (const auto& [statement, variables] : golden) EXPECT_EQ(Rendered(statement, true), variables) << statement;
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
