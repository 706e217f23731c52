#pragma once
// What makes a laid node grid a grid: whole elements per section, each
// section starting where the ones before it end, an end node that counts
// them all, sections that adjoin, the interior the method's rows need and
// node coordinates where the grid puts them. Values the generator computes
// may be the user's own; they are held to the same rules.
#include <string>

#include "vq_domain.h"

namespace brantel {

// The largest grid: its end node, the number of node intervals, may not pass
// this.
constexpr long long kMaxEndNode = 10000000;
#define BRANTEL_CAP "more than the 10000000 node intervals a grid may have"
// The most sections a domain may have. A section is a model of its own with
// some twenty parameters, about 10 KB and 0.1 ms to lay, far more than the
// nodes it holds: at this many a domain takes about 100 MB and a second.
constexpr int kMaxSections = 10000;
#define BRANTEL_SECTION_CAP "more than the 10000 sections a domain may have"

// How far a user's inner-point position may lie from the method's own: the
// stored five-digit constants and full-precision Gauss points both pass.
constexpr double kPolyPointTolerance = 1e-4;

// A real value as the runtime writes it: the shortest text that reads back
// as it, with ".0" on a whole number.
std::string Shown(double x);

// The node intervals a section's length over its spacing estimates: the
// nearest int, halves away from zero; beyond the largest grid either way
// (or not a number) it stays just past it, so a section whose own node
// count decides converts safely.
int NearestNodeCount(double estimate);

// Where the grid puts the nodes of a section's elements.
struct ElementLayout {
  bool uniform;     // finite differences with inner points: evenly spaced
  int interval;     // node intervals per element
  double element;   // the section's ELEMENTLENGTH
  double origin;    // the section's LOCATION
  // Inner point at `fraction` (a POLYPOINT) of element k (from 1); the
  // element number is added to the fraction before 1.0 is taken off, as
  // the last bit depends on it.
  double Inner(int k, double fraction) const {
    const double at = element * ((fraction + k) - 1.0);
    return (uniform ? interval * at : at) + origin;
  }
  // The node that ends element k.
  double End(int k) const {
    const double at = element * k;
    return (uniform ? interval * at : at) + origin;
  }
};
ElementLayout LayoutOf(VQ_DOMAIN& domain, VQ_SECTIONDATAMODEL& section);

// A value that describes no grid, with the reason; empty when there is none.
struct GridFault {
  const VQ_VarParam* property = nullptr;
  XUValue value;
  std::string reason;

  explicit operator bool() const { return property != nullptr; }
  // Raises the runtime's error naming the property, the value and the reason.
  [[noreturn]] void Raise() const { property->Refuse(value, reason.c_str()); }
};

// The property's current value, refused for the reason the format gives.
GridFault Fault(const VQ_VarParam& property, const char* format, ...) KYV_PRINTF(2, 3);

// The input a section's node count came from, the one a user changes to
// change it: the section's own NODECOUNT, the minimum it took, the spacing
// it took (its own or the domain's), else the number of sections the
// domain's default spacing divides.
VQ_VarParam& NodeCountSource(VQ_DOMAIN& domain, VQ_SECTIONDATAMODEL& section);

// A section's own values: whole elements, its place in the numbering
// (`before`: the node intervals of the sections before it), its spacing,
// element length and interior.
GridFault SectionFault(VQ_DOMAIN& domain, VQ_SECTIONDATAMODEL& section, int s, long long before);

// What the counts alone refute, before a coordinate is laid or an array
// grows (`nodes`: the node intervals of all sections): an end node of the
// user's own, user values on sections or nodes beyond the counts, and the
// first and last coordinate.
GridFault CountFault(VQ_DOMAIN& domain, long long nodes);

// The first value of the domain's grid, as laid, that describes no grid:
// its sections, end node and interior.
GridFault FindGridFault(VQ_DOMAIN& domain);
// The first node coordinate of a laid grid that is not where the grid puts
// it, or (through rounding) out of order.
GridFault FindCoordinateFault(VQ_DOMAIN& domain);

}  // namespace brantel
