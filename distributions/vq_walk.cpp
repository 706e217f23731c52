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

}  // namespace brantel::walk
