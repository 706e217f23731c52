#pragma once
// The shape of a recorded stream: one prefix tree of known operators.
#include <cstddef>

#include "vq_equations.h"

namespace vq_rt {

// Operands an operator code takes; -1 for an unknown code.
int Arity(int code);
// "+", "-", "*", "/", "sq", "op1"; "?" for an unknown code.
const char* Notation(int code);

// Raises VQ_Error unless the tokens [first, first + count) lie in the
// stream and form exactly one prefix tree of known operators: an operator
// short of operands, a token left over, an unknown operator code, no token
// at all. Reads no value.
void CheckShape(const Stream& stream, size_t first, size_t count);

}  // namespace vq_rt
