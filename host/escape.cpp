#include "escape.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "vq_error.h"

namespace vqhost {

namespace {

// Walks the text, handing each byte that needs an escape to `escape` and
// copying the rest; `escape` gets the byte and whether it begins no UTF-8
// character.
template <class Escape>
void Append(std::string_view text, std::string& out, Escape escape) {
  size_t plain = 0;  // start of the run copied as it is
  size_t at = 0;
  while (at < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    // Printable ASCII but for the backslash and the quote, by far the most
    // of any report, needs no look at the rules.
    if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
      ++at;
      continue;
    }
    const size_t length = c < 0x80 ? 1 : vq_rt::Utf8Length(text, at);
    if (length > 1) {
      at += length;
      continue;
    }
    if (length == 1 && !escape(c, false, nullptr)) {
      ++at;
      continue;
    }
    out.append(text, plain, at - plain);
    escape(c, length == 0, &out);
    plain = ++at;
  }
  out.append(text, plain, text.size() - plain);
}

void AppendHex(const char* format, unsigned value, std::string& out) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, format, value);
  out += buffer;
}

}  // namespace

bool Plain(std::string_view text) {
  // Eight bytes at a time: paths make most of a report.
  constexpr uint64_t kOnes = 0x0101010101010101u, kHigh = 0x8080808080808080u;
  auto holds = [](uint64_t word, unsigned char byte) {
    const uint64_t other = word ^ (kOnes * byte);
    return ((other - kOnes) & ~other & kHigh) != 0;
  };
  size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + at, 8);
    const bool control = ((word - kOnes * 0x20) & ~word & kHigh) != 0;  // exact while no byte has its high bit
    if ((word & kHigh) != 0 || control || holds(word, 0x7F) || holds(word, '\\') || holds(word, '"')) return false;
  }
  for (; at < text.size(); ++at) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c < 0x20 || c >= 0x7F || c == '\\' || c == '"') return false;
  }
  return true;
}

void AppendText(std::string_view text, bool quoted, std::string& out) {
  // Returns whether the byte needs an escape; writes it when given `into`.
  Append(text, out, [quoted](unsigned char c, bool invalid, std::string* into) {
    const char* named = nullptr;
    if (!invalid) {
      if (c == '\\') named = "\\\\";
      else if (c == '"' && quoted) named = "\\\"";
      else if (c == '\n') named = "\\n";
      else if (c == '\t') named = "\\t";
      else if (c == '\r') named = "\\r";
      else if (c >= 0x20 && c != 0x7F) return false;
    }
    if (into == nullptr) return true;
    if (named) *into += named;
    else AppendHex("\\x%02x", c, *into);
    return true;
  });
}

void AppendJson(std::string_view text, std::string& out) {
  out += '"';
  Append(text, out, [](unsigned char c, bool invalid, std::string* into) {
    const char* named = nullptr;
    if (invalid) named = "\\ufffd";
    else if (c == '"') named = "\\\"";
    else if (c == '\\') named = "\\\\";
    else if (c == '\t') named = "\\t";
    else if (c == '\n') named = "\\n";
    else if (c == '\r') named = "\\r";
    else if (c >= 0x20) return false;
    if (into == nullptr) return true;
    if (named) *into += named;
    else AppendHex("\\u%04x", c, *into);
    return true;
  });
  out += '"';
}

}  // namespace vqhost
