#pragma once
// The keyword test on a distribution's INTEGRALS: nonzero when the set holds
// the keyword ("idx", "idy", "idz", "idxdy", "idxdz", "idydz", "idxdydz").
#include "kyvexp.h"

int operator<=(const char* keyword, const XUValue& integrals);
