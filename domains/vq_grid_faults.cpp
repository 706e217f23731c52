#include "vq_grid_faults.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "vq_methods.h"

namespace brantel {

namespace {

// Two coordinates are one where they differ by rounding only.
bool Same(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::fmax(std::fabs(a), std::fabs(b)); }

// A coordinate as the runtime writes real values: the shortest text that
// reads back as it, with ".0" on a whole number. Made here, not by the
// runtime: a string must be freed by the module that made it.
std::string Shown(double x) {
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, x).ptr;
  std::string shown(text, end);
  if (std::isfinite(x) && shown.find_first_of(".e") == std::string::npos) shown += ".0";
  return shown;
}

// Of two nodes out of order, the one the user set answers for it; the
// library's own coordinates are laid in order.
VQ_REALPARAMETER& Answerable(VQ_DOMAIN& domain, int node, int next) {
  VQ_REALPARAMETER& later = (*domain.VALUE)(next);
  VQ_REALPARAMETER& earlier = (*domain.VALUE)(node);
  return later.HasUserValue() || !earlier.HasUserValue() ? later : earlier;
}

// A user value on an element of a one-dimensional array whose index lies
// outside lo..hi; the index values in use are sorted, so only the ends are
// looked at.
GridFault OutsideFault(VQ_Matrix& array, long long lo, long long hi) {
  const XUValue* indices = array.IndexValues(0);
  if (indices == nullptr) return {};
  auto check = [&](int slot) -> GridFault {
    VQ_Type* element = array.ElementAtSlot(slot);
    const VQ_VarParam* param = element ? vq_rt::FirstUserValue(*element) : nullptr;
    return param ? Fault(*param, "belongs to an element the model does not have") : GridFault{};
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

GridFault CountFault(VQ_DOMAIN& domain, long long nodes) {
  if (domain.ENDNODE.HasUserValue() && domain.ENDNODE.v() != nodes)
    return Fault(domain.ENDNODE, "is not %lld, the node intervals of all sections", nodes);
  const int sections = (*domain.NUMSECTIONS).v();
  if (GridFault fault = OutsideFault(*domain.SECTION, 1, sections)) return fault;
  if (GridFault fault = OutsideFault(*domain.VALUE, 0, nodes)) return fault;
  const double first = (*(*domain.SECTION)(1).LOCATION).v();
  if (const VQ_REALPARAMETER* x = UserCoordinate(*domain.VALUE, 0); x && !Same(x->v(), first))
    return Fault(*x, "is not %s, where section 1 begins", Shown(first).c_str());
  VQ_SECTIONDATAMODEL& last = (*domain.SECTION)(sections);
  const double end = (*last.LOCATION).v() + last.LENGTH.v();
  if (const VQ_REALPARAMETER* x = UserCoordinate(*domain.VALUE, nodes); x && !Same(x->v(), end))
    return Fault(*x, "is not %s, where section %d ends", Shown(end).c_str(), sections);
  return {};
}

GridFault SectionFault(VQ_DOMAIN& domain, VQ_SECTIONDATAMODEL& section, long long before) {
  const int interval = (*domain.NUMPOLYPOINTS).v() + 1;
  const int count = section.NODECOUNT.v();
  if (count < 1 || count % interval != 0)
    return Fault(section.NODECOUNT, "is not a whole number (at least 1) of elements of %d intervals", interval);
  if (section.NUMELEMENTS.v() != count / interval)
    return Fault(section.NUMELEMENTS, "elements do not fill the %d node intervals of the section", count);
  if (section.BASE.v() != before)
    return Fault(section.BASE, "is not %lld, the node intervals of the sections before it", before);
  const double length = section.LENGTH.v();
  if (!Same((*section.SPACINGUSED).v() * count, length))
    return Fault(*section.SPACINGUSED, "does not divide the section's length %s into its %d node intervals",
                 Shown(length).c_str(), count);
  const bool wide = (*domain.NUMPOLYPOINTS).v() != 0 && !UniformLayout((*domain.DISCRETIZATIONMETHOD).v());
  const double element = (*section.SPACINGUSED).v() * (wide ? interval : 1);
  if (!Same(section.ELEMENTLENGTH.v(), element))
    return Fault(section.ELEMENTLENGTH, "is not %s, the element length the section's spacing gives",
                 Shown(element).c_str());
  return {};
}

GridFault Fault(const VQ_VarParam& property, const char* format, ...) {
  GridFault fault;
  fault.property = &property;
  property.GetValue(fault.value);
  char reason[256];
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
    if (GridFault fault = SectionFault(domain, section, nodes)) return fault;
    nodes += section.NODECOUNT.v();
    if (nodes > kMaxEndNode)
      return Fault(section.NODECOUNT, "takes the grid to %lld node intervals, " BRANTEL_CAP, nodes);
    // Where the section ends, the next begins (the last: the domain ends).
    const double end = (*section.LOCATION).v() + section.LENGTH.v();
    const bool last = s == sections;
    const double next = last ? first + (*domain.LENGTH).v() : (*(*domain.SECTION)(s + 1).LOCATION).v();
    if (!Same(end, next))
      return Fault(section.LENGTH, "ends the section at %s, not at %s where the %s", Shown(end).c_str(),
                   Shown(next).c_str(), last ? "domain ends" : "next section begins");
  }
  if (domain.ENDNODE.v() != nodes)
    return Fault(domain.ENDNODE, "is not %lld, the node intervals of all sections", nodes);
  return {};
}

GridFault FindCoordinateFault(VQ_DOMAIN& domain) {
  for (int s = 1; s <= (*domain.NUMSECTIONS).v(); ++s) {
    VQ_SECTIONDATAMODEL& section = (*domain.SECTION)(s);
    const int base = section.BASE.v();
    const double location = (*section.LOCATION).v();
    if (!Same((*domain.VALUE)(base).v(), location))
      return Fault((*domain.VALUE)(base), "is not %s, where section %d begins", Shown(location).c_str(), s);
    double previous = (*domain.VALUE)(base).v();
    for (int n = base + 1; n <= base + section.NODECOUNT.v(); ++n) {
      const double x = (*domain.VALUE)(n).v();
      if (!(x > previous))
        return Fault(Answerable(domain, n - 1, n), "puts nodes %d and %d out of order (%s, %s)", n - 1, n,
                     Shown(previous).c_str(), Shown(x).c_str());
      previous = x;
    }
    const double end = location + section.LENGTH.v();
    if (!Same((*domain.VALUE)(base + section.NODECOUNT.v()).v(), end))
      return Fault((*domain.VALUE)(base + section.NODECOUNT.v()), "is not %s, where section %d ends",
                   Shown(end).c_str(), s);
  }
  return {};
}

}  // namespace brantel
