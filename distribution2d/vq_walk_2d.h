#pragma once
// The walk of the two-dimensional distribution's 207 equation statements.
#include "vq_integrals.h"
#include "vq_walk.h"

namespace brantel::walk {

// The arrays a two-dimensional row refers to.
enum Array2D : uint8_t { kValue2D, kDdx2D, kDdy2D, kD2dx22D, kD2dy22D, kIdx2D, kIdy2D, kIdxdy2D };
// The keyword chains of its integral rows.
enum Chain2D : int {
  kChainIdxOrIdxdy,  // "idx", else "idxdy": IDX along x
  kChainIdy,         // "idy": IDY along y
  kChainIdxdy,       // "idxdy": IDX into IDXDY along y
};
// The keywords of each chain, in the order they are tested.
inline constexpr KeywordChain kChains2D[] = {{{"idx", "idxdy"}}, {{"idy"}}, {{"idxdy"}}};

const Program& Walk2D();

}  // namespace brantel::walk
