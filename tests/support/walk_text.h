#pragma once
// A statement of a distribution's walk written out as text, in the letters
// the reader of that distribution's streams uses, from the walk's own data.
#include <map>
#include <string>
#include <vector>

#include "vq_format.h"
#include "vq_walk.h"

struct WalkNotation {
  const char* sectionStart;  // BASE
  const char* sectionEnd;    // BASE + NODECOUNT
  const char* elementStart;
  const char* node;          // the own-axis node loop
  std::vector<const char*> arrays;  // by array id
  std::vector<const char*> cross;   // the cross loop letter of each axis
};

inline const brantel::walk::Op* RowOf(const brantel::walk::Program& program, int statement) {
  for (int i = 0; i < program.size; ++i)
    if (program.ops[i].code == brantel::walk::Code::Row && program.ops[i].argument == statement) return &program.ops[i];
  return nullptr;
}

inline std::string NodeText(const WalkNotation& notation, brantel::walk::NodeExpr at, int extra) {
  using brantel::walk::NodeBase;
  const int offset = at.offset + extra;
  std::string base;
  switch (at.base) {
    case NodeBase::SectionStart: base = notation.sectionStart; break;
    case NodeBase::SectionEnd: base = notation.sectionEnd; break;
    case NodeBase::ElementStart: base = notation.elementStart; break;
    case NodeBase::Node: base = notation.node; break;
    case NodeBase::Zero: return std::to_string(offset);
  }
  if (offset > 0) return base + "+" + std::to_string(offset);
  if (offset < 0) return base + std::to_string(offset);
  return base;
}

// An element with the row's node in its own axis' place and the cross
// letters in the others.
inline std::string ElementText(const WalkNotation& notation, int array, const brantel::walk::Op& row, int extra) {
  std::string text = std::string(notation.arrays[static_cast<size_t>(array)]) + "(";
  for (size_t axis = 0; axis < notation.cross.size(); ++axis) {
    if (axis > 0) text += ",";
    text += axis == row.axis ? NodeText(notation, row.from, extra) : notation.cross[axis];
  }
  return text + ")";
}

// A statement's stream, or only its variables, as the walk places them.
inline std::string StatementText(const brantel::walk::Program& program, const WalkNotation& notation, int statement,
                                 bool variablesOnly = false) {
  using brantel::StreamItem;
  const brantel::walk::Op* row = RowOf(program, statement);
  if (row == nullptr) return "(no row)";
  static const std::map<int, std::string> kOps = {{1, "op1"}, {19, "+"}, {20, "-"}, {21, "*"}, {22, "/"}, {40, "sq"}};
  std::string text;
  const brantel::StreamTemplate& stream = brantel::StreamOf(row->stencil);
  for (int i = 0; i < stream.count; ++i) {
    const StreamItem& item = stream.items[static_cast<size_t>(i)];
    if (variablesOnly && item.kind < StreamItem::Defined) continue;
    std::string token;
    switch (item.kind) {
      case StreamItem::Op: token = kOps.at(item.integer); break;
      case StreamItem::Integer: token = std::to_string(item.integer); break;
      case StreamItem::Real: token = vq_rt::FormatDouble(item.real); break;
      case StreamItem::Defined: token = ElementText(notation, row->target, *row, 0); break;
      case StreamItem::Step: token = "h"; break;
      case StreamItem::Integrand: token = ElementText(notation, row->integrand, *row, item.integer); break;
    }
    text += (text.empty() ? "" : " ") + token;
  }
  return text;
}
