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
// Raises VQ_Error with a printf-style message.
[[noreturn]] KYV_API void Raise(const char* format, ...) KYV_PRINTF(1, 2);
}  // namespace vq_rt
