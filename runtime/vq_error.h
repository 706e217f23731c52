#pragma once
#include <stdexcept>
#include <string>
#include <string_view>

#include "vq_api.h"

// The one exception type of the runtime. The model library raises nothing of
// its own; runtime errors pass through it unchanged.
class KYV_API VQ_Error : public std::runtime_error {
 public:
  explicit VQ_Error(const std::string& message);
  VQ_Error(const VQ_Error&);
  VQ_Error& operator=(const VQ_Error&);
  ~VQ_Error() override;
};

namespace vq_rt {
// Raises VQ_Error with a printf-style message. The message is one line:
// control characters in it are written as escapes.
[[noreturn]] KYV_API void Raise(const char* format, ...) KYV_PRINTF(1, 2);

// Text a user gave, as a message quotes it: cut after kUserTextLimit bytes
// (marked with "..."), a backslash written as \\, control characters and
// bytes that are not UTF-8 as escapes (\n, \t, \r, \xNN), and, for text
// the message puts between quotes (`quoted`), the quote as \".
constexpr size_t kUserTextLimit = 100;
KYV_API std::string UserText(const std::string& text, bool quoted = true);
// A message made one line of UTF-8: every control character and every byte
// that is not part of a UTF-8 character escaped.
KYV_API std::string OneLine(const std::string& text);
// The length of the UTF-8 character that starts text[at], or 0 when the
// bytes there are not one (overlong forms and surrogates included).
KYV_API size_t Utf8Length(std::string_view text, size_t at);
}  // namespace vq_rt
