#pragma once
// The fourteen top-level types, in alphabetical order: each has a factory,
// a property-information record and a compatibility record.
#define BRANTEL_TOPLEVEL_TYPES(X) \
  X(ANGLEDOMAIN)                  \
  X(CONNECTION)                   \
  X(CONTROLSIGNAL)                \
  X(DISTRIBUTION1D)               \
  X(DISTRIBUTION2D)               \
  X(DISTRIBUTION3D)               \
  X(DOMAIN)                       \
  X(GENERICCONNECTION)            \
  X(GENERICCONTROLSIGNAL)         \
  X(GENERICMODEL)                 \
  X(GENERICSTREAM)                \
  X(GENERICSTRUCTURE)             \
  X(LENGTHDOMAIN)                 \
  X(SECTIONDATAMODEL)
