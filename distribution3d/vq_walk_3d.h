#pragma once
// The walk of the three-dimensional distribution's 379 equation statements.
#include "vq_integrals.h"
#include "vq_walk.h"

namespace brantel::walk {

// The arrays a three-dimensional row refers to.
enum Array3D : uint8_t {
  kValue3D,
  kDdx3D, kDdy3D, kDdz3D,
  kD2dx23D, kD2dy23D, kD2dz23D,
  kIdx3D, kIdy3D, kIdz3D, kIdxdy3D, kIdxdz3D, kIdydz3D, kIdxdydz3D,
};

// The keyword chains of its integral families: a family runs when INTEGRALS
// holds one of the chain's keywords, tested in this order.
enum Chain3D : int {
  kChainIdx3D,      // "idx", "idxdy", "idxdz", "idxdydz"
  kChainIdy3D,      // "idy", "idydz"
  kChainIdz3D,      // "idz"
  kChainIdxdy3D,    // "idxdy", "idxdydz"
  kChainIdxdz3D,    // "idxdz"
  kChainIdydz3D,    // "idydz"
  kChainIdxdydz3D,  // "idxdydz"
};
// The keywords of each chain, in the order they are tested.
inline constexpr KeywordChain kChains3D[] = {
    {{"idx", "idxdy", "idxdz", "idxdydz"}}, {{"idy", "idydz"}}, {{"idz"}},    {{"idxdy", "idxdydz"}},
    {{"idxdz"}},                            {{"idydz"}},        {{"idxdydz"}},
};

const Program& Walk3D();

}  // namespace brantel::walk
