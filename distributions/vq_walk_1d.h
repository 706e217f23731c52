#pragma once
// The walk of the one-dimensional distribution's 90 equation statements.
#include "vq_integrals.h"
#include "vq_walk.h"

namespace brantel::walk {

// The arrays a one-dimensional row refers to.
enum Array1D : uint8_t { kValue1D, kDdx1D, kD2dx21D, kIdx1D };
// The keyword chain of its integral rows: "idx".
constexpr int kIdxChain1D = 0;
inline constexpr KeywordChain kChains1D[] = {{{"idx"}}};

const Program& Walk1D();

}  // namespace brantel::walk
