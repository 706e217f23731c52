#include "vq_grid_faults.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "vq_methods.h"

namespace brantel {

namespace {

// Rounding leaves a coordinate a few units in the last place of its inputs
// away; anything further is a different grid. The tolerance is judged
// against the magnitudes that went into a value (`scale`), not the result
// alone: a section from -0.1 ends at 0 give or take 1e-17.
constexpr double kRounding = 1e-12;

bool Same(double a, double b, double scale) {
  return std::fabs(a - b) <= kRounding * std::fmax(scale, std::fmax(std::fabs(a), std::fabs(b)));
}

// An integer set as the report writes it ({1..7}, {1, 3, 5}), which --set
// reads back. Made here: a string must be freed by the module that made it.
std::string ShownSet(const XUValue& set) {
  std::string text = "{";
  for (int run = 0; run < set.RunCount(); ++run) {
    const int lo = set.RunLow(run), hi = set.RunHigh(run);
    text += (run ? ", " : "") + std::to_string(lo);
    if (hi > lo) text += (hi - 1 == lo ? ", " : "..") + std::to_string(hi);
  }
  return text + "}";
}

// The interior the method's rows need: every node strictly inside the
// section, or for a collocation layout with a second derivative only the
// inner points of its elements.
VQ_IntSetValue SectionInteriorRule(VQ_DOMAIN& domain, VQ_SECTIONDATAMODEL& section, int s) {
  const int base = section.BASE.v();
  if (domain.HIGHESTORDERDERIVATIVE.v() >= 2 && (*domain.NUMPOLYPOINTS).v() != 0 &&
      !UniformLayout((*domain.DISCRETIZATIONMETHOD).v())) {
    VQ_IntegerSetIter it(VQ_IntSetValue(VQ_OneElement{}, s));
    it.Next();
    return VQ_IntSetValue(domain.UnionFn42975016(it));
  }
  return VQ_IntSetValue(base + 1, base + section.NODECOUNT.v() - 1);
}

// The input that set where the nodes of a section lie: its length and
// location, else what gave it its node count.
VQ_VarParam& CoordinateSource(VQ_DOMAIN& domain, VQ_SECTIONDATAMODEL& section) {
  if (section.LENGTH.HasUserValue()) return section.LENGTH;
  if ((*domain.LENGTH).HasUserValue()) return *domain.LENGTH;
  if ((*section.LOCATION).HasUserValue()) return *section.LOCATION;
  return NodeCountSource(domain, section);
}

// A user value on an element of a one-dimensional array whose index lies
// outside lo..hi, named as a value outside the laid index sets is; the
// index values in use are sorted, so only the ends are looked at.
GridFault OutsideFault(VQ_Matrix& array, long long lo, long long hi, const char* name, const char* madeBy) {
  const XUValue* indices = array.IndexValues(0);
  if (indices == nullptr) return {};
  auto check = [&](int slot) -> GridFault {
    VQ_Type* element = array.ElementAtSlot(slot);
    const VQ_VarParam* param = element ? vq_rt::FirstUserValue(*element) : nullptr;
    if (param == nullptr) return {};
    return Fault(*param, VQ_OUTSIDE_ELEMENT_REASON, name, ShownSet(VQ_IntSetValue(static_cast<int>(lo), static_cast<int>(hi))).c_str(), madeBy);
  };
  const int size = std::min(indices->SetSize(), array.ElementSlots());
  for (int slot = 0; slot < size && indices->IntegerAt(slot) < lo; ++slot)
    if (GridFault fault = check(slot)) return fault;
  for (int slot = size - 1; slot >= 0 && indices->IntegerAt(slot) > hi; --slot)
    if (GridFault fault = check(slot)) return fault;
  return {};
}

// The node's coordinate where the user gave one, without making the node.
const VQ_REALPARAMETER* UserCoordinate(VQ_Matrix& values, long long node) {
  const XUValue* indices = values.IndexValues(0);
  if (indices == nullptr) return nullptr;
  const int size = std::min(indices->SetSize(), values.ElementSlots());
  int slot = -1;
  if (size > 0 && indices->IntegerAt(0) == node) slot = 0;
  for (int s = size - 1; slot < 0 && s >= 0 && indices->IntegerAt(s) >= node; --s)
    if (indices->IntegerAt(s) == node) slot = s;
  auto* value = slot < 0 ? nullptr : dynamic_cast<VQ_REALPARAMETER*>(values.ElementAtSlot(slot));
  return value != nullptr && value->HasUserValue() ? value : nullptr;
}

}  // namespace

std::string Shown(double x) {
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, x).ptr;
  std::string shown(text, end);
  if (std::isfinite(x) && shown.find_first_of(".e") == std::string::npos) shown += ".0";
  return shown;
}

int NearestNodeCount(double estimate) {
  const double limit = static_cast<double>(kMaxEndNode + 1);
  if (!(estimate > -limit)) return std::isnan(estimate) ? 0 : -static_cast<int>(limit);
  if (!(estimate < limit)) return static_cast<int>(limit);
  return static_cast<int>(estimate >= 0.0 ? estimate + 0.5 : estimate - 0.5);
}

ElementLayout LayoutOf(VQ_DOMAIN& domain, VQ_SECTIONDATAMODEL& section) {
  return {UniformLayout((*domain.DISCRETIZATIONMETHOD).v()), (*domain.NUMPOLYPOINTS).v() + 1,
          section.ELEMENTLENGTH.v(), (*section.LOCATION).v()};
}

VQ_VarParam& NodeCountSource(VQ_DOMAIN& domain, VQ_SECTIONDATAMODEL& section) {
  if (section.NODECOUNT.HasUserValue()) return section.NODECOUNT;
  const int k = NearestNodeCount(section.LENGTH.v() / (*section.SPACINGPREFERENCE).v());
  if (k < domain.MINNODECOUNT.v() || k < 1) return domain.MINNODECOUNT;
  if ((*section.SPACINGPREFERENCE).HasUserValue()) return *section.SPACINGPREFERENCE;
  if ((*domain.SPACINGPREFERENCE).HasUserValue()) return *domain.SPACINGPREFERENCE;
  return *domain.NUMSECTIONS;
}

GridFault CountFault(VQ_DOMAIN& domain, long long nodes) {
  if (domain.ENDNODE.HasUserValue() && domain.ENDNODE.v() != nodes)
    return Fault(domain.ENDNODE, "is not %lld, the node intervals of all sections", nodes);
  const int sections = (*domain.NUMSECTIONS).v();
  if (GridFault fault = OutsideFault(*domain.SECTION, 1, sections, "SECTION", domain.ElementsMadeBy(*domain.SECTION)))
    return fault;
  if (GridFault fault = OutsideFault(*domain.VALUE, 0, nodes, "VALUE", domain.ElementsMadeBy(*domain.VALUE)))
    return fault;
  VQ_SECTIONDATAMODEL& firstSection = (*domain.SECTION)(1);
  const double first = (*firstSection.LOCATION).v();
  if (const VQ_REALPARAMETER* x = UserCoordinate(*domain.VALUE, 0);
      x && !Same(x->v(), first, std::fabs(first) + std::fabs(firstSection.LENGTH.v())))
    return Fault(*x, "is not %s, where section 1 begins", Shown(first).c_str());
  VQ_SECTIONDATAMODEL& last = (*domain.SECTION)(sections);
  const double end = (*last.LOCATION).v() + last.LENGTH.v();
  if (const VQ_REALPARAMETER* x = UserCoordinate(*domain.VALUE, nodes);
      x && !Same(x->v(), end, std::fabs((*last.LOCATION).v()) + std::fabs(last.LENGTH.v())))
    return Fault(*x, "is not %s, the coordinate the grid gives node %lld", Shown(end).c_str(), nodes);
  return {};
}

GridFault SectionFault(VQ_DOMAIN& domain, VQ_SECTIONDATAMODEL& section, int s, long long before) {
  const int interval = (*domain.NUMPOLYPOINTS).v() + 1;
  const int count = section.NODECOUNT.v();
  if (count < 1 || count % interval != 0)
    return Fault(section.NODECOUNT, "is not a whole number (at least 1) of elements of %d intervals", interval);
  if (section.NUMELEMENTS.v() != count / interval)
    return Fault(section.NUMELEMENTS, "is not %d, the elements of %d intervals that fill the section's %d node intervals",
                 count / interval, interval, count);
  if (section.BASE.v() != before)
    return Fault(section.BASE, "is not %lld, the node intervals of the sections before it", before);
  const double length = section.LENGTH.v();
  const double spacing = length / count;
  if (!Same((*section.SPACINGUSED).v(), spacing, std::fabs(spacing)))
    return Fault(*section.SPACINGUSED, "is not %s, the spacing the grid gives (the section's length %s over its %d node "
                 "intervals)", Shown(spacing).c_str(), Shown(length).c_str(), count);
  const bool wide = (*domain.NUMPOLYPOINTS).v() != 0 && !UniformLayout((*domain.DISCRETIZATIONMETHOD).v());
  const double element = (*section.SPACINGUSED).v() * (wide ? interval : 1);
  if (!Same(section.ELEMENTLENGTH.v(), element, std::fabs(element)))
    return Fault(section.ELEMENTLENGTH, "is not %s, the element length the section's spacing gives",
                 Shown(element).c_str());
  // The grid's own interior always suits; only a user's is compared, as the
  // rule's set costs a term per element.
  if (section.INTERIOR.HasUserValue()) {
    const VQ_IntSetValue rule = SectionInteriorRule(domain, section, s);
    if (!section.INTERIOR.v().Equals(rule))
      return Fault(section.INTERIOR, "is not %s, the interior nodes the grid gives section %d",
                   ShownSet(rule).c_str(), s);
  }
  return {};
}

GridFault Fault(const VQ_VarParam& property, const char* format, ...) {
  GridFault fault;
  fault.property = &property;
  property.GetValue(fault.value);
  char reason[320];
  va_list args;
  va_start(args, format);
  std::vsnprintf(reason, sizeof reason, format, args);
  va_end(args);
  fault.reason = reason;
  return fault;
}

GridFault FindGridFault(VQ_DOMAIN& domain) {
  const int sections = (*domain.NUMSECTIONS).v();
  const double first = (*(*domain.SECTION)(1).LOCATION).v();
  long long nodes = 0;
  for (int s = 1; s <= sections; ++s) {
    VQ_SECTIONDATAMODEL& section = (*domain.SECTION)(s);
    if (GridFault fault = SectionFault(domain, section, s, nodes)) return fault;
    nodes += section.NODECOUNT.v();
    if (nodes > kMaxEndNode)
      return Fault(NodeCountSource(domain, section), "takes the grid to %lld node intervals, " BRANTEL_CAP, nodes);
    // Where the section ends, the next begins (the last: the domain ends).
    const double location = (*section.LOCATION).v();
    const double end = location + section.LENGTH.v();
    const bool last = s == sections;
    const double next = last ? first + (*domain.LENGTH).v() : (*(*domain.SECTION)(s + 1).LOCATION).v();
    const double scale = std::fabs(location) + std::fabs(section.LENGTH.v()) + std::fabs(next);
    if (!Same(end, next, scale))
      return Fault(section.LENGTH, "ends the section at %s, not at %s where the %s", Shown(end).c_str(),
                   Shown(next).c_str(), last ? "domain ends" : "next section begins");
  }
  if (domain.ENDNODE.v() != nodes)
    return Fault(domain.ENDNODE, "is not %lld, the node intervals of all sections", nodes);
  if (domain.INTERIOR.HasUserValue()) {
    // The sections' interiors suit by now: their union is the rule's.
    const VQ_IntSetValue rule = domain.HIGHESTORDERDERIVATIVE.v() < 2
                                    ? VQ_IntSetValue(1, static_cast<int>(nodes) - 1)
                                    : VQ_IntSetValue(domain.UnionFn42986752());
    if (!domain.INTERIOR.v().Equals(rule))
      return Fault(domain.INTERIOR, "is not %s, the interior nodes the grid gives", ShownSet(rule).c_str());
  }
  return {};
}

GridFault FindCoordinateFault(VQ_DOMAIN& domain) {
  VQ_DOMAIN::RealArray& value = *domain.VALUE;
  const double first = (*(*domain.SECTION)(1).LOCATION).v();
  const double firstScale = std::fabs(first) + std::fabs((*domain.SECTION)(1).LENGTH.v());
  if (value(0).HasUserValue() && !Same(value(0).v(), first, firstScale))
    return Fault(value(0), "is not %s, where section 1 begins", Shown(first).c_str());
  const int points = (*domain.NUMPOLYPOINTS).v();
  for (int s = 1; s <= (*domain.NUMSECTIONS).v(); ++s) {
    VQ_SECTIONDATAMODEL& section = (*domain.SECTION)(s);
    const ElementLayout layout = LayoutOf(domain, section);
    const double scale = std::fabs(layout.origin) + std::fabs(section.LENGTH.v());
    const int base = section.BASE.v();
    double previous = value(base).v();
    for (int k = 1; k <= section.NUMELEMENTS.v(); ++k) {
      for (int p = 1; p <= points + 1; ++p) {
        const int n = base + (k - 1) * layout.interval + p;
        const double grid = p <= points ? layout.Inner(k, (*domain.POLYPOINT)(p).v()) : layout.End(k);
        VQ_REALPARAMETER& node = value(n);
        const double x = node.v();
        if (node.HasUserValue() && !Same(x, grid, scale))
          return Fault(node, "is not %s, the coordinate the grid gives node %d", Shown(grid).c_str(), n);
        if (!(x > previous)) {
          const double far = std::fabs(x);
          return Fault(CoordinateSource(domain, section),
                       "puts nodes %d and %d of section %d at %s and %s, not in increasing order: its node spacing "
                       "%s is finer than the %s that coordinates near %s resolve",
                       n - 1, n, s, Shown(previous).c_str(), Shown(x).c_str(),
                       Shown((*section.SPACINGUSED).v()).c_str(), Shown(std::nextafter(far, INFINITY) - far).c_str(),
                       Shown(x).c_str());
        }
        previous = x;
      }
    }
  }
  return {};
}

}  // namespace brantel
