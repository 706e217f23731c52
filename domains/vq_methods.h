#pragma once
// The ten discretisation methods and the method-dependent defaults of a
// domain's grid, as the chains of default assignments that set them.
#include <array>

namespace brantel {

// In the order in which the grid and the distributions test them.
extern const std::array<const char*, 10> kMethodNames;

// One link of the chain that assigns the minimum node count of a section.
struct MinNodeCountRow {
  std::array<const char*, 6> methods;  // unused entries are null
  int ordinal;
  int value;
};
extern const std::array<MinNodeCountRow, 3> kMinNodeCountRows;

// One link of the chain that assigns the inner points per element and their
// relative positions (ordinals: the count's, then one per position).
struct PolyPointRow {
  std::array<const char*, 3> methods;
  int ordinal;
  int points;
  std::array<double, 3> positions;
};
extern const std::array<PolyPointRow, 5> kPolyPointRows;

// The link a method takes in each chain (any letter case); null when none.
const MinNodeCountRow* MinNodeCountFor(const char* method);
const PolyPointRow* PolyPointsFor(const char* method);

// One of the ten names, in its stored spelling; null otherwise.
const char* KnownMethod(const char* method);
// Inner points a method's stencils are made for (0 where it keeps the default).
int OwnPolyPoints(const char* method);
// The finite-difference methods with inner points (FFD2, CFD2, BFD2, CFD4,
// UBFD4): uniform spacing, elements only group the nodes.
bool UniformLayout(const char* method);

}  // namespace brantel
