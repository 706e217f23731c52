#pragma once
#include <stdexcept>
#include <string>

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

// Text a user gave, as a message quotes it: control characters escaped and
// anything beyond kUserTextLimit bytes cut off, marked with "...".
constexpr size_t kUserTextLimit = 100;
KYV_API std::string UserText(const std::string& text);
// A message made one line: every control character escaped.
KYV_API std::string OneLine(const std::string& text);
}  // namespace vq_rt
