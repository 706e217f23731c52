#pragma once
// What makes a laid node grid a grid: whole elements per section, each
// section starting where the ones before it end, an end node that counts
// them all, sections that adjoin and node coordinates that strictly
// increase. Values the generator computes may be the user's own; they are
// held to the same rules.
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

// A section's own values: whole elements, its place in the numbering
// (`before`: the node intervals of the sections before it), its spacing and
// element length.
GridFault SectionFault(VQ_DOMAIN& domain, VQ_SECTIONDATAMODEL& section, long long before);

// What the counts alone refute, before a coordinate is laid or an array
// grows (`nodes`: the node intervals of all sections): an end node of the
// user's own, user values on sections or nodes beyond the counts, and the
// first and last coordinate.
GridFault CountFault(VQ_DOMAIN& domain, long long nodes);

// The first value of the domain's grid, as laid, that describes no grid:
// its sections and end node.
GridFault FindGridFault(VQ_DOMAIN& domain);
// The first node coordinate of a laid grid that is not where its section
// puts it: at a section's ends, strictly increasing in between.
GridFault FindCoordinateFault(VQ_DOMAIN& domain);

}  // namespace brantel
