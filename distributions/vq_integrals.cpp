#include "vq_integrals.h"

int operator<=(const char* keyword, const XUValue& integrals) { return integrals >= keyword; }
