#pragma once
// The walk of a distribution's equation statements, described once as data
// and run by one engine in both passes: the counting pass registers each
// instance's group and references, the emission pass hands each instance's
// stream to the runtime, and the two cannot disagree because they read the
// same description.
//
// A description is a flat program of items, in the notation of the walk:
//   Block(method, axis, ...) { ... }    runs when the axis' domain holds the method
//   If(condition) item                  runs the one item that follows when it holds
//   Group() ... End()                   a braced group of items
//   Sections() ... End()                s over the own domain's sections (B, N, h)
//   Elements() ... End()                e over the section's elements
//   ElementStart() ... End()            b over the one-element set of the start node
//   Nodes(from, to) ... End()           k over a range of own-axis nodes
//   Cross(axis, set) ... End()          c over a cross domain's full node range,
//                                       closed interior or integrated range
//   Row(statement, stencil, at, ...)    one equation instance
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "vq_domain.h"
#include "vq_grid_faults.h"
#include "vq_methods.h"
#include "vq_stencils.h"

namespace brantel::walk {

enum class Code : uint8_t { Block, Group, End, If, Sections, Elements, ElementStart, Nodes, Cross, Row };

enum class Condition : uint8_t {
  UsedAbove,     // the own axis' HIGHESTORDER...DERIVATIVEUSED above the argument
  FirstSection,  // s = 1
  LaterSection,  // s != 1
  StartNotZero,  // b != 0
  HighestIs,     // the own axis' HIGHESTORDER...DERIVATIVE equal to the argument
  Has,           // INTEGRALS holds a keyword of the chain the argument names
};

// An own-axis node: a base plus an offset.
enum class NodeBase : uint8_t { Zero, SectionStart, SectionEnd, ElementStart, Node };
struct NodeExpr {
  NodeBase base;
  int offset;
};
constexpr NodeExpr Zero() { return {NodeBase::Zero, 0}; }
constexpr NodeExpr B(int offset = 0) { return {NodeBase::SectionStart, offset}; }   // BASE
constexpr NodeExpr L(int offset = 0) { return {NodeBase::SectionEnd, offset}; }     // BASE + NODECOUNT
constexpr NodeExpr J(int offset = 0) { return {NodeBase::ElementStart, offset}; }   // element start b
constexpr NodeExpr K(int offset = 0) { return {NodeBase::Node, offset}; }           // node loop k

enum class CrossSet : uint8_t { Full, ClosedInterior, Integrated };

struct Op {
  Code code;
  Condition condition;
  CrossSet set;
  uint8_t axis;       // Block, Cross, Row: an axis (0 x, 1 y, 2 z)
  uint8_t target;     // Row: the array it defines
  uint8_t integrand;  // Row: the array its weights apply to
  int argument;       // Block: method; If: threshold or keyword chain; Row: statement
  int stencil;        // Row: one-dimensional statement whose stencil it applies
  int group;          // Row: its group number
  NodeExpr from, to;  // Nodes: the range; Row: from is the node it defines
};

constexpr Op Block(int method, int axis) {
  return Op{Code::Block, {}, {}, static_cast<uint8_t>(axis), 0, 0, method, 0, 0, {}, {}};
}
constexpr Op Group() { return Op{Code::Group, {}, {}, 0, 0, 0, 0, 0, 0, {}, {}}; }
constexpr Op End() { return Op{Code::End, {}, {}, 0, 0, 0, 0, 0, 0, {}, {}}; }
constexpr Op If(Condition condition, int argument = 0) {
  return Op{Code::If, condition, {}, 0, 0, 0, argument, 0, 0, {}, {}};
}
constexpr Op Sections() { return Op{Code::Sections, {}, {}, 0, 0, 0, 0, 0, 0, {}, {}}; }
constexpr Op Elements() { return Op{Code::Elements, {}, {}, 0, 0, 0, 0, 0, 0, {}, {}}; }
constexpr Op ElementStart() { return Op{Code::ElementStart, {}, {}, 0, 0, 0, 0, 0, 0, {}, {}}; }
constexpr Op Nodes(NodeExpr from, NodeExpr to) { return Op{Code::Nodes, {}, {}, 0, 0, 0, 0, 0, 0, from, to}; }
constexpr Op Cross(int axis, CrossSet set) {
  return Op{Code::Cross, {}, set, static_cast<uint8_t>(axis), 0, 0, 0, 0, 0, {}, {}};
}
constexpr Op Row(int statement, int stencil, int group, NodeExpr at, int axis, int target, int integrand) {
  return Op{Code::Row, {}, {}, static_cast<uint8_t>(axis), static_cast<uint8_t>(target),
            static_cast<uint8_t>(integrand), statement, stencil, group, at, {}};
}

// Where each item ends: the index after it.
namespace detail {
constexpr int ItemEnd(const Op* ops, int size, int at) {
  switch (ops[at].code) {
    case Code::Row:
    case Code::End:
      return at + 1;
    case Code::If:
      return ItemEnd(ops, size, at + 1);
    default: {
      int next = at + 1;
      while (next < size && ops[next].code != Code::End) next = ItemEnd(ops, size, next);
      return next + 1;
    }
  }
}
}  // namespace detail

template <size_t N>
constexpr std::array<int, N> ItemEnds(const std::array<Op, N>& ops) {
  std::array<int, N> ends{};
  for (int i = 0; i < static_cast<int>(N); ++i) ends[static_cast<size_t>(i)] = detail::ItemEnd(ops.data(), N, i);
  return ends;
}

struct Program {
  const Op* ops;
  const int* ends;
  int size;
};

// What the engine asks of the distribution it walks.
class Subject {
 public:
  virtual VQ_DOMAIN& Domain(int axis) = 0;
  virtual int UsedOrder(int axis) = 0;      // HIGHESTORDER<A>DERIVATIVEUSED
  virtual int HighestOrder(int axis) = 0;   // HIGHESTORDER<A>DERIVATIVE
  virtual bool Has(int chain) = 0;          // the keyword test on INTEGRALS
  // The element of an array at (x, y, z) indices, as many as the
  // distribution has dimensions.
  virtual VQ_VarParam& Element(int array, const int* index) = 0;

 protected:
  ~Subject() = default;
};

// A distribution's arrays by their number in its rows, so that one look-up
// routine serves them all. VALUE, a replaceable member, enters when first
// looked up, as its instance may be made then.
template <class Base, std::size_t N>
struct ArraysByNumber {
  ArraysByNumber(std::initializer_list<std::pair<int, Base*>> numbered) {
    for (const auto& [number, array] : numbered) arrays[static_cast<std::size_t>(number)] = array;
  }
  std::array<Base*, N> arrays{};
  template <class Member>
  Base& At(int array, Member& value) {
    Base*& entry = arrays[static_cast<std::size_t>(array)];
    if (entry == nullptr) entry = &*value;
    return *entry;
  }
};

// The equation name of a statement: "VQ_Eqn" followed by its number.
const char* EquationName(int statement);

// {0} ∪ INTERIOR ∪ {end}: the nodes of a domain at which a second derivative
// across it is taken.
VQ_IntSetValue ClosedInterior(const XUValue& interior, int end);
VQ_IntSetValue ClosedInterior(VQ_DOMAIN& domain);

// The position of the walk at one equation instance.
struct Position {
  int axis = 0;
  VQ_DOMAIN* domain = nullptr;
  int section = 0, base = 0, count = 0;  // s, B, N
  VQ_SECTIONDATAMODEL* sectionData = nullptr;  // SECTION(s)
  VQ_REALPARAMETER* step = nullptr;      // h
  int element = 0, start = 0, node = 0;  // e, b, k
  int cross[3] = {0, 0, 0};
};

// Runs a program, calling pass.Row(op, position, subject) for every
// instance. The pass reads loop values with its Read(). Run on a
// distribution's own subject type, its element look-ups are direct calls.
template <class Pass, class SubjectT = Subject>
class Engine {
 public:
  Engine(const Program& program, SubjectT& subject, Pass& pass) : m_Program(program), m_Subject(subject), m_Pass(pass) {}
  void Run() { Items(0, m_Program.size); }

 private:
  void Items(int from, int to) {
    for (int at = from; at < to;) {
      Item(at);
      at = m_Program.ends[at];
    }
  }

  // The body of a loop, group or block: up to its End.
  void Body(int at) { Items(at + 1, m_Program.ends[at] - 1); }

  void Loop(int at, VQ_IntSetValue set, int& variable) {
    VQ_IntegerSetIter it(std::move(set));
    // Most loops of a grid hold one row: it is made straight from here.
    const Op& first = m_Program.ops[at + 1];
    if (m_Program.ends[at] == at + 3 && first.code == Code::Row) {
      while (it.Next()) {
        variable = Pass::Read(it);
        m_Pass.Row(first, Node(first.from), m_At, m_Subject);
      }
      return;
    }
    while (it.Next()) {
      variable = Pass::Read(it);
      Body(at);
    }
  }

  int Node(const NodeExpr& e) const {
    switch (e.base) {
      case NodeBase::SectionStart: return m_At.base + e.offset;
      case NodeBase::SectionEnd: return m_At.base + m_At.count + e.offset;
      case NodeBase::ElementStart: return m_At.start + e.offset;
      case NodeBase::Node: return m_At.node + e.offset;
      default: return e.offset;
    }
  }

  bool Holds(const Op& op) {
    switch (op.condition) {
      case Condition::UsedAbove: return m_Subject.UsedOrder(m_At.axis) > op.argument;
      case Condition::FirstSection: return m_At.section == 1;
      case Condition::LaterSection: return m_At.section != 1;
      case Condition::StartNotZero: return m_At.start != 0;
      case Condition::HighestIs: return m_Subject.HighestOrder(m_At.axis) == op.argument;
      case Condition::Has: return m_Subject.Has(op.argument);
    }
    return false;
  }

  void Item(int at) {
    const Op& op = m_Program.ops[at];
    switch (op.code) {
      case Code::Row:
        m_Pass.Row(op, Node(op.from), m_At, m_Subject);
        return;
      case Code::If:
        if (Holds(op)) Item(at + 1);
        return;
      case Code::Group:
        Body(at);
        return;
      case Code::Block: {
        VQ_DOMAIN& domain = m_Subject.Domain(op.axis);
        if (XUValue::CompareCI(kMethodNames[static_cast<size_t>(op.argument)],
                               Pass::Read(*domain.DISCRETIZATIONMETHOD)) != 0)
          return;
        const Position outer = m_At;
        m_At.axis = op.axis;
        m_At.domain = &domain;
        Body(at);
        m_At = outer;
        return;
      }
      case Code::Sections: {
        const int sections = Pass::Read(*m_At.domain->NUMSECTIONS);
        for (VQ_IntegerSetIter it(VQ_IntSetValue(1, sections)); it.Next();) {
          m_At.section = Pass::Read(it);
          VQ_SECTIONDATAMODEL& section = (*m_At.domain->SECTION)(m_At.section);
          m_At.sectionData = &section;
          m_At.base = Pass::Read(section.BASE);
          m_At.count = Pass::Read(section.NODECOUNT);
          m_At.step = &*section.ELEMENTLENGTH;
          Body(at);
        }
        return;
      }
      case Code::Elements: {
        VQ_SECTIONDATAMODEL& section = *m_At.sectionData;
        Loop(at, VQ_IntSetValue(1, Pass::Read(section.NUMELEMENTS)), m_At.element);
        return;
      }
      case Code::ElementStart: {
        // The section the loop over sections looked up, not looked up again
        // per element.
        VQ_SECTIONDATAMODEL& section = *m_At.sectionData;
        const int start = Pass::Read(section.BASE) + (m_At.element - 1) * (Pass::Read(*m_At.domain->NUMPOLYPOINTS) + 1);
        Loop(at, VQ_IntSetValue(VQ_OneElement{}, start), m_At.start);
        return;
      }
      case Code::Nodes:
        Loop(at, VQ_IntSetValue(Node(op.from), Node(op.to)), m_At.node);
        return;
      case Code::Cross:
        Loop(at, CrossValues(op), m_At.cross[op.axis]);
        return;
      case Code::End:
        return;
    }
  }

  VQ_IntSetValue CrossValues(const Op& op) {
    VQ_DOMAIN& cross = m_Subject.Domain(op.axis);
    const int end = Pass::Read(cross.ENDNODE);
    switch (op.set) {
      case CrossSet::Integrated: return VQ_IntSetValue(1, end);
      case CrossSet::ClosedInterior: return ClosedInterior((*cross.INTERIOR).v(), end);
      default: return VQ_IntSetValue(0, end);
    }
  }

  const Program& m_Program;
  SubjectT& m_Subject;
  Pass& m_Pass;
  Position m_At;
};

// Reads as the counting pass does.
struct CountReads {
  static int Read(const VQ_IntegerSetIter& it) { return it.v(); }
  static int Read(const VQ_INTEGERPARAMETER& p) { return p.v(); }
  static const char* Read(const VQ_STRINGPARAMETER& p) { return p.v(); }
};
// Reads as the emission pass does.
struct EmitReads {
  static int Read(const VQ_IntegerSetIter& it) { return it.fv(); }
  static int Read(const VQ_INTEGERPARAMETER& p) { return p.fv(); }
  static const char* Read(const VQ_STRINGPARAMETER& p) { return p.fv(); }
};

// The variable a stream item refers to at one instance.
template <class SubjectT>
VQ_VarParam& Reference(const StreamItem& item, const Op& row, int node, const Position& at, SubjectT& subject) {
  if (item.kind == StreamItem::Step) return *at.step;
  int index[3] = {at.cross[0], at.cross[1], at.cross[2]};
  if (item.kind == StreamItem::Defined) {
    index[row.axis] = node;
    return subject.Element(row.target, index);
  }
  index[row.axis] = node + item.integer;
  return subject.Element(row.integrand, index);
}

// The counting pass: per instance its group, the count, and its references
// in the order its stream will carry them.
class CountPass : public CountReads {
 public:
  CountPass(VQ_ModelType& model, int groupBase, int& count) : m_Model(model), m_GroupBase(groupBase), m_Count(count) {}
  template <class SubjectT>
  void Row(const Op& row, int node, const Position& at, SubjectT& subject) {
    m_Model.SetGroupLimits(m_GroupBase + row.group);
    ++m_Count;
    const StreamTemplate& references = ReferencesOf(row.stencil);
    for (int i = 0; i < references.count; ++i)
      m_Model.AddNonZero(Reference(references.items[static_cast<size_t>(i)], row, node, at, subject));
  }

 private:
  VQ_ModelType& m_Model;
  int m_GroupBase;
  int& m_Count;
};

// The emission pass: per instance its equation and its stream.
class EmitPass : public EmitReads {
 public:
  EmitPass(VQ_ModelType& model, VQ_ModelExtensions& stream, int groupBase, int& counter, int*& p, int*& q)
      : m_Model(model), m_Stream(stream), m_GroupBase(groupBase), m_Counter(counter), m_P(p), m_Q(q) {}
  template <class SubjectT>
  void Row(const Op& row, int node, const Position& at, SubjectT& subject) {
    m_Model.AddEquation(EquationName(row.argument), m_Counter, m_GroupBase + row.group);
    const int equation = m_Counter - 1;
    const StreamTemplate& stream = StreamOf(row.stencil);
    for (int i = 0; i < stream.count; ++i) {
      // Operators and references first: they are most of every stream.
      const StreamItem& item = stream.items[static_cast<size_t>(i)];
      if (item.kind == StreamItem::Op)
        m_Stream.AddOp(static_cast<EOp>(item.integer), equation);
      else if (item.kind >= StreamItem::Defined)
        m_Stream.AddTerm(Reference(item, row, node, at, subject), m_P, m_Q, equation);
      else if (item.kind == StreamItem::Real)
        m_Stream.AddTerm(item.real, equation);
      else
        m_Stream.AddTerm(item.integer, equation);
    }
  }

 private:
  VQ_ModelType& m_Model;
  VQ_ModelExtensions& m_Stream;
  int m_GroupBase;
  int& m_Counter;
  int*& m_P;
  int*& m_Q;
};

// The nodes of the largest grid of one domain: a distribution lays no more
// over all its domains together.
constexpr long long kMaxNodes = kMaxEndNode + 1;

// The first value of a domain's grid that describes no grid or that its
// method's stencils cannot use (they would reach outside their sections or
// elements); empty when it suits.
GridFault UnsuitableGrid(VQ_DOMAIN& domain);
// The same over the distribution's domains (axes of them, x first), and
// more nodes over all of them than a distribution may have.
GridFault CheckDomains(Subject& subject, int axes);

// What gives a distribution's array more elements, for the refusal of a
// user value outside them: every array but VALUE and the derivatives holds
// an integral.
inline const char* ElementsMadeBy(const VQ_Matrix& array, const VQ_Matrix& value,
                                  std::initializer_list<const VQ_Matrix*> derivatives) {
  if (&array == &value) return "lay more nodes in the distribution's domains";
  for (const VQ_Matrix* derivative : derivatives)
    if (&array == derivative) return "raise the derivative order or lay more nodes in the distribution's domains";
  return "request the integral in INTEGRALS or lay more nodes in the distribution's domains";
}

// A distribution's two passes over its walk. Counting first checks the
// domains and returns a refusal as a negative result; during both passes a
// look-up outside an array's index set is an error, not a new unknown.
template <class SubjectT>
int CountWalk(VQ_ModelType& model, const Program& program, SubjectT& subject, int axes, int groupBase, int& count) {
  if (const GridFault fault = CheckDomains(subject, axes))
    return model.RefuseCount(*fault.property, fault.value, fault.reason.c_str());
  VQ_StrictLookups strict;
  CountPass pass(model, groupBase, count);
  Engine<CountPass, SubjectT>(program, subject, pass).Run();
  return 0;
}
template <class SubjectT>
void EmitWalk(VQ_ModelType& model, VQ_ModelExtensions& stream, const Program& program, SubjectT& subject,
              int groupBase, int& counter, int*& p, int*& q) {
  VQ_StrictLookups strict;
  EmitPass pass(model, stream, groupBase, counter, p, q);
  Engine<EmitPass, SubjectT>(program, subject, pass).Run();
}

}  // namespace brantel::walk
