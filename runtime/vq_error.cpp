#include "vq_error.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

VQ_Error::VQ_Error(const std::string& message) : std::runtime_error(message) {}
VQ_Error::VQ_Error(const VQ_Error&) = default;
VQ_Error& VQ_Error::operator=(const VQ_Error&) = default;
VQ_Error::~VQ_Error() = default;

namespace vq_rt {

void Raise(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::vector<char> text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size(), format, args);
  va_end(args);
  throw VQ_Error(std::string(text.data()));
}

}  // namespace vq_rt
