#include "vq_integrals.h"

int operator<=(const char* keyword, const XUValue& integrals) { return integrals >= keyword; }

namespace brantel {

int Held(const KeywordChain& chain, const XUValue& integrals) {
  for (const char* keyword : chain.keywords) {
    if (keyword == nullptr) break;
    if (const int held = keyword <= integrals; held != 0) return held;
  }
  return 0;
}

}  // namespace brantel
