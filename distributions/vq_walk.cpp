#include "vq_walk.h"

#include <climits>

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

// Stencils reach from a row's node to the ends of its section (finite
// differences) or of its element (collocation); a grid of the domain's own
// making always suits, one with other values may not. Each method's rows
// reach exactly one element (its inner points and one more intervals), so a
// grid of whole elements with the method's own inner points leaves no
// section too short for them.
GridFault UnsuitableGrid(VQ_DOMAIN& domain) {
  if (GridFault fault = FindGridFault(domain)) return fault;
  const char* method = KnownMethod((*domain.DISCRETIZATIONMETHOD).v());
  if (method == nullptr) return {};
  if ((*domain.NUMPOLYPOINTS).v() != OwnPolyPoints(method))
    return Fault(*domain.NUMPOLYPOINTS, "inner points per element do not suit %s, whose stencils take %d", method,
                 OwnPolyPoints(method));
  return {};
}

// Every array of a distribution spans the nodes of its domains together:
// their product may not pass the nodes of the largest grid of one domain.
// The domain with the most nodes answers for it, through the input that
// gave its largest section its nodes.
GridFault CheckDomains(Subject& subject, int axes) {
  for (int axis = 0; axis < axes; ++axis)
    if (GridFault fault = UnsuitableGrid(subject.Domain(axis))) return fault;
  long long nodes = 1;
  int largest = 0;
  for (int axis = 0; axis < axes; ++axis) {
    const long long along = subject.Domain(axis).ENDNODE.v() + 1LL;
    nodes *= along;  // each at most kMaxEndNode + 1: no overflow over three axes
    if (along > subject.Domain(largest).ENDNODE.v() + 1LL) largest = axis;
  }
  if (nodes <= kMaxNodes) return {};
  VQ_DOMAIN& domain = subject.Domain(largest);
  const long long others = nodes / (domain.ENDNODE.v() + 1LL);
  const VQ_VarParam* source = &domain.ENDNODE;
  if (!domain.ENDNODE.HasUserValue()) {
    VQ_SECTIONDATAMODEL* widest = &(*domain.SECTION)(1);
    for (int s = 2; s <= (*domain.NUMSECTIONS).v(); ++s)
      if ((*domain.SECTION)(s).NODECOUNT.v() > widest->NODECOUNT.v()) widest = &(*domain.SECTION)(s);
    source = &NodeCountSource(domain, *widest);
  }
  return Fault(*source, "takes the distribution to %lld nodes over its domains, more than the %lld a distribution "
               "may have: beside the %lld nodes of the others its domain may have at most %lld node intervals",
               nodes, kMaxNodes, others, kMaxNodes / others - 1);
}

int CountWalk(VQ_ModelType& model, const Program& program, Subject& subject, int axes, int groupBase, int& count) {
  if (const GridFault fault = CheckDomains(subject, axes))
    return model.RefuseCount(*fault.property, fault.value, fault.reason.c_str());
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
