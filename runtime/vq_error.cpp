#include "vq_error.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

VQ_Error::VQ_Error(const std::string& message) : std::runtime_error(message) {}
VQ_Error::VQ_Error(const VQ_Error&) = default;
VQ_Error& VQ_Error::operator=(const VQ_Error&) = default;
VQ_Error::~VQ_Error() = default;

namespace vq_rt {

size_t Utf8Length(std::string_view text, size_t at) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (size_t k = 2; k < length; ++k)
    if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
  return length;
}

namespace {

// Copies the text with control characters and bytes outside UTF-8 escaped,
// and with a backslash and (when `quoted`) a quote escaped when `user`.
std::string Escape(std::string_view text, bool user, bool quoted) {
  std::string out;
  out.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const size_t length = Utf8Length(text, at);
    if (length > 1) {
      out.append(text, at, length);
      at += length;
      continue;
    }
    ++at;
    if (length == 1 && byte >= 0x20 && byte != 0x7f) {
      if (user && (byte == '\\' || (quoted && byte == '"'))) out += '\\';
      out += static_cast<char>(byte);
    } else if (length == 1 && byte == '\n') {
      out += "\\n";
    } else if (length == 1 && byte == '\t') {
      out += "\\t";
    } else if (length == 1 && byte == '\r') {
      out += "\\r";
    } else {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      out += escape;
    }
  }
  return out;
}

}  // namespace

std::string OneLine(const std::string& text) { return Escape(text, false, false); }

std::string UserText(const std::string& text, bool quoted) {
  if (text.size() <= kUserTextLimit) return Escape(text, true, quoted);
  // Cut before a UTF-8 continuation byte, never inside a character.
  size_t cut = kUserTextLimit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return Escape(std::string_view(text).substr(0, cut), true, quoted) + "...";
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
