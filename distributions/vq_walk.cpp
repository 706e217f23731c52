#include "vq_walk.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace brantel::walk {

namespace {

constexpr int kMaxStatement = 379;

// "VQ_Eqn1" to "VQ_Eqn379", made at compile time.
struct Names {
  std::array<std::array<char, 12>, kMaxStatement + 1> text{};
  constexpr Names() {
    for (int n = 1; n <= kMaxStatement; ++n) {
      auto& name = text[static_cast<size_t>(n)];
      const char prefix[] = "VQ_Eqn";
      size_t at = 0;
      for (; prefix[at]; ++at) name[at] = prefix[at];
      char digits[4] = {};
      int count = 0;
      for (int rest = n; rest > 0; rest /= 10) digits[count++] = static_cast<char>('0' + rest % 10);
      while (count > 0) name[at++] = digits[--count];
    }
  }
};
constexpr Names kNames;

}  // namespace

const char* EquationName(int statement) { return kNames.text[static_cast<size_t>(statement)].data(); }

VQ_IntSetValue ClosedInterior(const XUValue& interior, int end) {
  VQ_IntSetValue inner{VQ_SetValue(interior)};
  inner += end;
  VQ_IntSetValue closed(0, INT_MIN);  // {0}
  closed += inner;
  return closed;
}

VQ_IntSetValue ClosedInterior(VQ_DOMAIN& domain) { return ClosedInterior((*domain.INTERIOR).v(), domain.ENDNODE.v()); }

VQ_VarParam& Reference(const StreamItem& item, const Op& row, int node, const Position& at, Subject& subject) {
  if (item.kind == StreamItem::Step) return *at.step;
  int index[3] = {at.cross[0], at.cross[1], at.cross[2]};
  if (item.kind == StreamItem::Defined) {
    index[row.axis] = node;
    return subject.Element(row.target, index);
  }
  index[row.axis] = node + item.integer;
  return subject.Element(row.integrand, index);
}

void CountPass::Row(const Op& row, int node, const Position& at, Subject& subject) {
  m_Model.SetGroupLimits(m_GroupBase + row.group);
  ++m_Count;
  const StreamTemplate& stream = StreamOf(row.stencil);
  for (int i = 0; i < stream.count; ++i) {
    const StreamItem& item = stream.items[static_cast<size_t>(i)];
    if (item.kind >= StreamItem::Defined) m_Model.AddNonZero(Reference(item, row, node, at, subject));
  }
}

void EmitPass::Row(const Op& row, int node, const Position& at, Subject& subject) {
  m_Model.AddEquation(EquationName(row.argument), m_Counter, m_GroupBase + row.group);
  const int equation = m_Counter - 1;
  const StreamTemplate& stream = StreamOf(row.stencil);
  for (int i = 0; i < stream.count; ++i) {
    const StreamItem& item = stream.items[static_cast<size_t>(i)];
    switch (item.kind) {
      case StreamItem::Op: m_Stream.AddOp(static_cast<EOp>(item.integer), equation); break;
      case StreamItem::Integer: m_Stream.AddTerm(item.integer, equation); break;
      case StreamItem::Real: m_Stream.AddTerm(item.real, equation); break;
      default: m_Stream.AddTerm(Reference(item, row, node, at, subject), m_P, m_Q, equation); break;
    }
  }
}

namespace {

// The node intervals a section needs for a method's rows to stay inside it:
// first-order rows touch only the node and its neighbour, second-order and
// fourth-order ones reach two and four intervals, collocation one element.
struct StencilReach {
  const char* method;
  int intervals;
};
constexpr StencilReach kStencilReach[] = {
    {"BFD1", 1}, {"FFD1", 1}, {"BFD2", 2},  {"FFD2", 2},  {"CFD2", 2},
    {"CFD4", 4}, {"UBFD4", 4}, {"OCFE2", 2}, {"OCFE3", 3}, {"OCFE4", 4},
};

int IntervalsNeeded(const char* method) {
  for (const StencilReach& reach : kStencilReach)
    if (std::strcmp(reach.method, method) == 0) return reach.intervals;
  return 1;
}

}  // namespace

// Stencils reach from a row's node to the ends of its section (finite
// differences) or of its element (collocation); a grid of the domain's own
// making always suits, one with other values may not.
int CheckGrid(VQ_ModelType& model, VQ_DOMAIN& domain, const char* reference) {
  const char* method = KnownMethod((*domain.DISCRETIZATIONMETHOD).v());
  if (method == nullptr) return 0;
  char reason[192];
  // With several domains the reason says which reference holds the grid.
  auto refuse = [&](const VQ_VarParamProp& property, long long value) {
    if (reference != nullptr) {
      const size_t used = std::strlen(reason);
      std::snprintf(reason + used, sizeof reason - used, " (%s)", reference);
    }
    return model.RefuseCount(property, value, reason);
  };
  const int points = (*domain.NUMPOLYPOINTS).v();
  if (points != OwnPolyPoints(method)) {
    std::snprintf(reason, sizeof reason, "inner points per element do not suit %s, whose stencils take %d", method,
                  OwnPolyPoints(method));
    return refuse(*domain.NUMPOLYPOINTS, points);
  }
  const int needed = IntervalsNeeded(method);
  long long nodes = 0;
  const int sections = (*domain.NUMSECTIONS).v();
  for (int s = 1; s <= sections; ++s) {
    VQ_SECTIONDATAMODEL& section = (*domain.SECTION)(s);
    const int count = section.NODECOUNT.v();
    if (count < needed) {
      std::snprintf(reason, sizeof reason, "is fewer than the %d node intervals the %s stencils need", needed, method);
      return refuse(section.NODECOUNT, count);
    }
    if (count % (points + 1) != 0) {
      std::snprintf(reason, sizeof reason, "is not a whole number of elements of %d intervals", points + 1);
      return refuse(section.NODECOUNT, count);
    }
    if (section.NUMELEMENTS.v() != count / (points + 1)) {
      std::snprintf(reason, sizeof reason, "elements do not fill the %d node intervals of the section", count);
      return refuse(section.NUMELEMENTS, section.NUMELEMENTS.v());
    }
    if (section.BASE.v() != nodes) {
      std::snprintf(reason, sizeof reason, "is not %lld, the node intervals of the sections before it", nodes);
      return refuse(section.BASE, section.BASE.v());
    }
    nodes += count;
  }
  if (domain.ENDNODE.v() != nodes) {
    std::snprintf(reason, sizeof reason, "is not %lld, the node intervals of all sections", nodes);
    return refuse(domain.ENDNODE, domain.ENDNODE.v());
  }
  return 0;
}

int CountWalk(VQ_ModelType& model, const Program& program, Subject& subject, int groupBase, int& count,
              std::initializer_list<DomainReference> domains) {
  for (const auto& [domain, reference] : domains)
    if (const int refused = CheckGrid(model, *domain, reference); refused < 0) return refused;
  VQ_StrictLookups strict;
  CountPass pass(model, groupBase, count);
  Engine<CountPass>(program, subject, pass).Run();
  return 0;
}

void EmitWalk(VQ_ModelType& model, VQ_ModelExtensions& stream, const Program& program, Subject& subject, int groupBase,
              int& counter, int*& p, int*& q) {
  VQ_StrictLookups strict;
  EmitPass pass(model, stream, groupBase, counter, p, q);
  Engine<EmitPass>(program, subject, pass).Run();
}

}  // namespace brantel::walk
