#pragma once
// The text of recorded equation streams.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vq_equations.h"

namespace vq_rt {

// Takes the tokens of a stream one at a time.
class KYV_API TokenVisitor {
 public:
  virtual ~TokenVisitor();
  // An operator, an integer or a double in stream notation: printable
  // ASCII without blanks, quotes or backslashes.
  virtual void Text(std::string_view text) = 0;
  virtual void Reference(const VQ_VarParam& reference) = 0;
};

// Hands the tokens [first, first + count) to `visit` in order, once they
// are known to form one prefix tree: a malformed stream raises VQ_Error, as
// Evaluate does, before any token is handed over. Notation: "+", "-", "*",
// "/", "sq", "op1", integers as "2", doubles always with a decimal point
// ("-3.0"). No value is read.
KYV_API void VisitTokens(const Stream& stream, size_t first, size_t count, TokenVisitor& visit);

using ReferenceNamer = std::function<std::string(const VQ_VarParam&)>;

// The tokens as text, references as named.
KYV_API std::vector<std::string> RenderTokens(const Stream& stream, size_t first, size_t count,
                                              const ReferenceNamer& name);
KYV_API std::string Render(const Stream& stream, size_t first, size_t count, const ReferenceNamer& name);

}  // namespace vq_rt
