#include "vq_error.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

VQ_Error::VQ_Error(const std::string& message) : std::runtime_error(message) {}
VQ_Error::VQ_Error(const VQ_Error&) = default;
VQ_Error& VQ_Error::operator=(const VQ_Error&) = default;
VQ_Error::~VQ_Error() = default;

namespace vq_rt {

std::string OneLine(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      out += escape;
    }
  }
  return out;
}

std::string UserText(const std::string& text) {
  if (text.size() <= kUserTextLimit) return OneLine(text);
  // Cut before a UTF-8 continuation byte, never inside a character.
  size_t cut = kUserTextLimit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return OneLine(text.substr(0, cut)) + "...";
}

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
  throw VQ_Error(OneLine(std::string(text.data())));
}

}  // namespace vq_rt
