#pragma once
// The keyword test on a distribution's INTEGRALS: nonzero when the set holds
// the keyword ("idx", "idy", "idz", "idxdy", "idxdz", "idydz", "idxdydz").
#include <array>

#include "kyvexp.h"

int operator<=(const char* keyword, const XUValue& integrals);

namespace brantel {

// A keyword chain: the keywords that switch one integral on, tested in order.
struct KeywordChain {
  std::array<const char*, 4> keywords;
};

// The keyword test's result for the first keyword of the chain that
// INTEGRALS holds, 0 when it holds none. The test gives exactly 0 or 1, so
// it is also the factor the integral index sets are scaled by.
int Held(const KeywordChain& chain, const XUValue& integrals);

}  // namespace brantel
