// The domain's grid: from its length, sections, method and preferred
// spacing, every section's location, length, nodes, elements and interior,
// the domain's interior and end node, and the coordinate of every node.
#include <cmath>
#include <cstdio>

#include "vq_domain.h"
#include "vq_grid_faults.h"
#include "vq_methods.h"

namespace {

using brantel::kMaxEndNode;
constexpr const char* kCapReason = "gives " BRANTEL_CAP;

// x truncated toward zero; x within int range.
int TruncInt(double x) { return static_cast<int>(x); }

bool Positive(double x) { return std::isfinite(x) && x > 0.0; }

// The value a statement's target will hold: the user's own where set,
// otherwise what the statement assigns.
double Effective(VQ_REALPARAMETER& target, double assigned) { return target.HasUserValue() ? target.v() : assigned; }
int Effective(VQ_INTEGERPARAMETER& target, int assigned) { return target.HasUserValue() ? target.v() : assigned; }

}  // namespace

// A method assigns some of the grid's inputs and leaves others at the type's
// default; what an earlier method assigned must not stand in for that.
void VQ_DOMAIN::ForgetOtherMethodsDefaults() {
  const char* method = (*DISCRETIZATIONMETHOD).v();
  if (brantel::MinNodeCountFor(method) == nullptr) MINNODECOUNT.ForgetAssigned();
  if (brantel::PolyPointsFor(method) == nullptr) NUMPOLYPOINTS.ForgetAssigned();
}

// Everything the grid divides by or converts to int is checked before any
// value is assigned; what can only be known section by section is checked in
// the section loop, where a refusal puts back what the call has assigned.
// Inputs are judged by the grid they lead to: a minimum node count or a
// spacing that no section takes is not refused.
void VQ_DOMAIN::CheckAssignments(int, int) {
  ForgetOtherMethodsDefaults();
  const int sections = (*NUMSECTIONS).v();
  if (sections < 1) (*NUMSECTIONS).Refuse(static_cast<long long>(sections), "must be at least 1");
  if (sections > brantel::kMaxSections)
    (*NUMSECTIONS).Refuse(static_cast<long long>(sections), "is " BRANTEL_SECTION_CAP);
  // An end node of the user's own is checked against the grid once laid;
  // one beyond any grid is refused before anything is sized by it.
  if (ENDNODE.HasUserValue() && ENDNODE.v() > kMaxEndNode)
    ENDNODE.Refuse(static_cast<long long>(ENDNODE.v()), "is " BRANTEL_CAP);
  const double length = Effective(*LENGTH, 1.0);
  if (!Positive(length)) (*LENGTH).Refuse(length, "must be finite and greater than 0");
  const double spacing = Effective(*SPACINGPREFERENCE, (length * 0.125) / sections);

  const char* method = brantel::KnownMethod((*DISCRETIZATIONMETHOD).v());
  const brantel::PolyPointRow* pointsRow = brantel::PolyPointsFor((*DISCRETIZATIONMETHOD).v());
  const int points = pointsRow ? Effective(NUMPOLYPOINTS, pointsRow->points) : NUMPOLYPOINTS.v();
  char reason[256];
  if (method && points != brantel::OwnPolyPoints(method)) {
    std::snprintf(reason, sizeof reason, "inner points per element do not suit %s, whose stencils take %d", method,
                  brantel::OwnPolyPoints(method));
    NUMPOLYPOINTS.Refuse(static_cast<long long>(points), reason);
  }
  // The method's rows are weighted for its own inner points: others would
  // move the nodes the report shows, not the equations.
  if (pointsRow) CheckPolyPoints(*pointsRow, method);
  const int interval = points + 1;
  // A section without a node count of its own takes at least the minimum: a
  // grid of too many such sections is refused before they are made.
  const brantel::MinNodeCountRow* minimumRow = brantel::MinNodeCountFor((*DISCRETIZATIONMETHOD).v());
  const int minimum = Effective(MINNODECOUNT, minimumRow ? minimumRow->value : MINNODECOUNT.v());
  long long takers = sections;
  for (int slot = 0; slot < (*SECTION).ElementSlots(); ++slot)
    if (auto* made = dynamic_cast<VQ_SECTIONDATAMODEL*>((*SECTION).ElementAtSlot(slot)))
      takers -= made->NODECOUNT.HasUserValue();
  if (minimum > 1 && takers * minimum > kMaxEndNode) {
    if (MINNODECOUNT.HasUserValue()) {
      if (takers == 1) std::snprintf(reason, sizeof reason, "node intervals in a section give " BRANTEL_CAP);
      else std::snprintf(reason, sizeof reason, "node intervals in each of %lld sections give " BRANTEL_CAP, takers);
      MINNODECOUNT.Refuse(static_cast<long long>(minimum), reason);
    }
    std::snprintf(reason, sizeof reason, "sections of at least %d node intervals each give " BRANTEL_CAP,
                  minimum);
    (*NUMSECTIONS).Refuse(static_cast<long long>(sections), reason);
  }

  // The users' own section values.
  double location = Effective(*Section(1).LOCATION, 0.0);
  const double first = location;
  // The sections' locations are fractions of the length past the first one:
  // an overflow on the way is the length's (or the first location's) doing.
  if (!std::isfinite(length + first) || !std::isfinite(length * (sections - 1))) {
    VQ_REALPARAMETER& source = (*LENGTH).HasUserValue() ? *LENGTH : *Section(1).LOCATION;
    source.Refuse(source.v(), "takes the sections' locations beyond the largest real number");
  }
  for (int s = 1; s <= sections; ++s) {
    VQ_SECTIONDATAMODEL& section = Section(s);
    if (s > 1) {
      const double next = Effective(*section.LOCATION, ((length * (s - 1)) / sections) + first);
      if (!(std::isfinite(next) && next > location))
        (*section.LOCATION).Refuse(next, "must lie beyond the location of the section before");
      location = next;
    }
    // A spacing counts where a section takes it: not where the section has
    // a node count of its own, nor the domain's where it has its own spacing.
    if (!section.NODECOUNT.HasUserValue()) {
      VQ_REALPARAMETER& own = *section.SPACINGPREFERENCE;
      if (own.HasUserValue() && !Positive(own.v())) own.Refuse(own.v(), "must be finite and greater than 0");
      if (!own.HasUserValue() && !Positive(spacing)) {
        // A spacing the domain derives from its length is the length's doing.
        if (!(*SPACINGPREFERENCE).HasUserValue())
          (*LENGTH).Refuse(length, "is too small to lay: the spacing it gives is 0.0");
        (*SPACINGPREFERENCE).Refuse(spacing, "must be finite and greater than 0");
      }
    }
    if (section.LENGTH.HasUserValue() && !Positive(section.LENGTH.v()))
      section.LENGTH.Refuse(section.LENGTH.v(), "must be finite and greater than 0");
    if (section.NODECOUNT.HasUserValue()) {
      const int nodes = section.NODECOUNT.v();
      if (nodes < 1 || nodes % interval != 0) {
        std::snprintf(reason, sizeof reason, "is not a whole number (at least 1) of elements of %d intervals",
                      interval);
        section.NODECOUNT.Refuse(static_cast<long long>(nodes), reason);
      }
    }
  }
  if (!(length + first > location))
    (*Section(sections).LOCATION).Refuse(location, "must lie before the end of the domain");
}

void VQ_DOMAIN::CheckPolyPoints(const brantel::PolyPointRow& row, const char* method) {
  for (int p = 1; p <= row.points; ++p) {
    VQ_REALPARAMETER& point = (*POLYPOINT)(p);
    const double own = row.positions[static_cast<size_t>(p - 1)];
    if (!point.HasUserValue() || std::fabs(point.v() - own) <= brantel::kPolyPointTolerance) continue;
    // Text only for the refusal: a pass that is taken allocates nothing here.
    std::string fractions;
    for (int q = 1; q <= row.points; ++q)
      fractions += (q > 1 ? ", " : "") + brantel::Shown(row.positions[static_cast<size_t>(q - 1)]);
    char reason[256];
    std::snprintf(reason, sizeof reason,
                  "is not within 0.0001 of %s, the fraction of an element at which %s puts inner point %d (its "
                  "fractions: %s)", brantel::Shown(own).c_str(), method, p, fractions.c_str());
    point.Refuse(point.v(), reason);
  }
}

void VQ_DOMAIN::AssignIndexSets(int a, int b, int pass) {
  brantel::AssignmentStatements put(*this, a, b);
  put.IndexSet(VQ_SECTION_SET1, VQ_IntSetValue(1, (*NUMSECTIONS).v()), 1, pass);
  put.IndexSet(VQ_VALUE_SET1, VQ_IntSetValue(0, ENDNODE.v()), 2, pass);
  put.IndexSet(VQ_POLYPOINT_SET1, VQ_IntSetValue(1, NUMPOLYPOINTS.v()), 3, pass);
}

void VQ_DOMAIN::AssignDefaults(int a, int b) {
  brantel::AssignmentStatements put(*this, a, b);
  put.Assign(*LENGTH, 1.0, 4);
  put.Assign(*SPACINGPREFERENCE, ((*LENGTH).v() * 0.125) / (*NUMSECTIONS).v(), 5);

  // The method's minimum node count, then its inner points: each chain
  // takes the first link that names the method.
  if (const brantel::MinNodeCountRow* row = brantel::MinNodeCountFor((*DISCRETIZATIONMETHOD).v()))
    put.Assign(MINNODECOUNT, row->value, row->ordinal);
  if (const brantel::PolyPointRow* row = brantel::PolyPointsFor((*DISCRETIZATIONMETHOD).v())) {
    put.Assign(NUMPOLYPOINTS, row->points, row->ordinal);
    for (int p = 1; p <= row->points; ++p)
      put.Assign((*POLYPOINT)(p), row->positions[static_cast<size_t>(p - 1)], row->ordinal + p);
  }

  put.Assign(HIGHESTORDERDERIVATIVE, 1, 24);
  put.Assign(*Section(1).LOCATION, 0.0, 25);

  long long nodes = 0;
  for (VQ_IntegerSetIter it(VQ_IntSetValue(1, (*NUMSECTIONS).v())); it.Next();) AssignSection(put, it, nodes);
  // What the counts refute is refused before the nodes are laid: a grid of
  // millions of nodes is no way to find that ENDNODE was given wrong.
  if (const brantel::GridFault fault = brantel::CountFault(*this, nodes)) fault.Raise();

  put.Assign(INTERIOR, UnionFn42986752(), 41);
  if (HIGHESTORDERDERIVATIVE.v() < 2) put.Assign(INTERIOR, VQ_IntSetValue(1, TruncInt(Sigma42987192()) - 1), 42);
  put.Assign(ENDNODE, TruncInt(Sigma42988192()), 43);
  put.Assign((*VALUE)(0), (*Section(1).LOCATION).v(), 44);
  AssignCoordinates(put);
  // Values of the user's own that the generator would compute must describe
  // the grid they belong to.
  if (const brantel::GridFault fault = brantel::FindGridFault(*this)) fault.Raise();
  if (const brantel::GridFault fault = brantel::FindCoordinateFault(*this)) fault.Raise();
}

void VQ_DOMAIN::AssignSection(const brantel::AssignmentStatements& put, VQ_IntegerSetIter& it, long long& nodes) {
  const int i = it.v();
  const double length = (*LENGTH).v();
  const int sections = (*NUMSECTIONS).v();
  VQ_SECTIONDATAMODEL& section = Section(i);
  if (i > 1) put.Assign(*section.LOCATION, ((length * (i - 1)) / sections) + (*Section(1).LOCATION).v(), 26);
  put.Assign(*section.SPACINGPREFERENCE, (*SPACINGPREFERENCE).v(), 27);
  if (i == (*NUMSECTIONS).v()) {
    put.Assign(section.LENGTH, (length + (*Section(1).LOCATION).v()) - (*section.LOCATION).v(), 28);
  } else {
    // The next section's location as this call is about to assign it (or
    // the user's own), not as the previous call left it.
    VQ_REALPARAMETER& next = *Section(i + 1).LOCATION;
    const double nextLocation = Effective(next, ((length * i) / sections) + (*Section(1).LOCATION).v());
    put.Assign(section.LENGTH, nextLocation - (*section.LOCATION).v(), 29);
  }
  if (!Positive(section.LENGTH.v())) section.LENGTH.Refuse(section.LENGTH.v(), "must be finite and greater than 0");

  // The spacing the section takes: its own, or the domain's copied to it.
  // Where its own node count decides, the spacing is not judged, and the
  // estimate it gives is only kept within int range.
  VQ_REALPARAMETER& spacing =
      (*section.SPACINGPREFERENCE).HasUserValue() ? *section.SPACINGPREFERENCE : *SPACINGPREFERENCE;
  const int k = brantel::NearestNodeCount(section.LENGTH.v() / (*section.SPACINGPREFERENCE).v());
  if (k > kMaxEndNode && !section.NODECOUNT.HasUserValue()) spacing.Refuse(spacing.v(), kCapReason);
  for (VQ_IntegerSetIter one(VQ_IntSetValue(VQ_OneElement{}, k)); one.Next();) {
    const int points = NUMPOLYPOINTS.v();
    if (one.v() < MINNODECOUNT.v()) {
      put.Assign(section.NODECOUNT, MINNODECOUNT.v(), 30);
    } else {
      const double elements = static_cast<double>(static_cast<long long>(one.v()) + points) / (points + 1);
      put.Assign(section.NODECOUNT, TruncInt(elements) * (points + 1), 31);
    }
  }
  // The input the node count came from answers for it.
  VQ_VarParam& source = brantel::NodeCountSource(*this, section);
  XUValue given;
  source.GetValue(given);
  const int count = section.NODECOUNT.v();
  const int interval = NUMPOLYPOINTS.v() + 1;
  char reason[160];
  if (count < 1 || count % interval != 0) {
    std::snprintf(reason, sizeof reason,
                  "leaves section %d with %d node intervals, not a whole number (at least 1) of elements of %d intervals", i,
                  count, interval);
    source.Refuse(given, reason);
  }
  // The node counts of the sections before this one, as Sigma42968240 sums
  // them, kept as the loop goes: summing afresh per section is quadratic.
  const long long before = nodes;
  nodes += count;
  if (nodes > kMaxEndNode) {
    std::snprintf(reason, sizeof reason, "takes the grid to %lld node intervals, " BRANTEL_CAP, nodes);
    source.Refuse(given, reason);
  }

  if (i > 1) put.Assign(section.BASE, static_cast<int>(before), 32);
  else put.Assign(section.BASE, 0, 33);
  put.Assign(*section.SPACINGUSED, section.LENGTH.v() / section.NODECOUNT.v(), 34);
  put.Assign(section.NUMELEMENTS, TruncInt(static_cast<double>(section.NODECOUNT.v()) / (NUMPOLYPOINTS.v() + 1)), 35);
  if (NUMPOLYPOINTS.v() != 0 && !UniformLayout())
    put.Assign(section.ELEMENTLENGTH, (*section.SPACINGUSED).v() * (NUMPOLYPOINTS.v() + 1), 37);
  else
    put.Assign(section.ELEMENTLENGTH, (*section.SPACINGUSED).v(), 36);
  // The section's values of the user's own are held to its grid before the
  // interior and the coordinates are laid from them.
  if (const brantel::GridFault fault = brantel::SectionFault(*this, section, i, nodes - count)) fault.Raise();

  const int base = section.BASE.v();
  if (HIGHESTORDERDERIVATIVE.v() < 2)
    put.Assign(section.INTERIOR, VQ_IntSetValue(base + 1, base + section.NODECOUNT.v() - 1), 40);
  else if (NUMPOLYPOINTS.v() != 0 && !UniformLayout())
    put.Assign(section.INTERIOR, UnionFn42975016(it), 39);
  else
    put.Assign(section.INTERIOR, VQ_IntSetValue(base + 1, base + section.NODECOUNT.v() - 1), 38);
}

// Collocation layouts place the inner points at their fractions of the
// element; uniform layouts space every node evenly.
void VQ_DOMAIN::AssignCoordinates(const brantel::AssignmentStatements& put) {
  for (VQ_IntegerSetIter j(VQ_IntSetValue(1, (*NUMSECTIONS).v())); j.Next();) {
    VQ_SECTIONDATAMODEL& section = Section(j.v());
    // Only the section's nodes are assigned below, so its layout holds for
    // every element of it: read once, not per node.
    const int base = section.BASE.v();
    const brantel::ElementLayout layout = brantel::LayoutOf(*this, section);
    for (VQ_IntegerSetIter k(VQ_IntSetValue(1, section.NUMELEMENTS.v())); k.Next();) {
      for (VQ_IntegerSetIter p(VQ_IntSetValue(1, NUMPOLYPOINTS.v())); p.Next();)
        put.Assign((*VALUE)(base + (k.v() - 1) * layout.interval + p.v()), layout.Inner(k.v(), (*POLYPOINT)(p.v()).v()),
                   layout.uniform ? 45 : 47);
      put.Assign((*VALUE)(base + k.v() * layout.interval), layout.End(k.v()), layout.uniform ? 46 : 48);
    }
  }
}
