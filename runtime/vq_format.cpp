#include "vq_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "vq_error.h"

namespace vq_rt {

std::string_view FormatDouble(double value, char (&buffer)[kDoubleTextSize]) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  // The shortest form of a double takes at most 24 characters.
  char* end = std::to_chars(buffer, buffer + kDoubleTextSize - 2, value).ptr;
  if (std::find_if(buffer, end, [](char c) { return c == '.' || c == 'e'; }) == end) {
    *end++ = '.';
    *end++ = '0';
  }
  return std::string_view(buffer, static_cast<size_t>(end - buffer));
}

std::string FormatDouble(double value) {
  char buffer[kDoubleTextSize];
  return std::string(FormatDouble(value, buffer));
}

namespace {

std::string AsIs(const std::string& text) { return text; }
std::string Escaped(const std::string& text) { return UserText(text); }

// `quote` gives the text between the quotes of a string.
std::string Format(const XUValue& value, std::string (*quote)(const std::string&), size_t limit) {
  switch (value.Type()) {
    case XUValue::kInteger: return std::to_string(value.AsInteger());
    case XUValue::kReal: return FormatDouble(value.AsReal());
    case XUValue::kString: return std::string("\"") + quote(value.AsString()) + "\"";
    case XUValue::kLogical: return value.AsLogical() ? "true" : "false";
    case XUValue::kIntSet:
    case XUValue::kSet: {
      std::string text = "{";
      for (int run = 0; run < value.RunCount(); ++run) {
        if (run) text += ", ";
        if (text.size() > limit) return text + "...}";
        int lo = value.RunLow(run), hi = value.RunHigh(run);
        text += std::to_string(lo);
        // hi - 1 cannot overflow once hi > lo; lo + 1 would at the largest int.
        if (hi > lo && hi - 1 == lo) text += ", " + std::to_string(hi);
        else if (hi > lo) text += ".." + std::to_string(hi);
      }
      return text + "}";
    }
    case XUValue::kStrSet: {
      std::string text = "{";
      for (int i = 0; i < value.SetSize(); ++i) {
        if (i) text += ", ";
        if (text.size() > limit) return text + "...}";
        text += std::string("\"") + quote(value.StringAt(i)) + "\"";
      }
      return text + "}";
    }
    default: return "(no value)";
  }
}

}  // namespace

std::string FormatValue(const XUValue& value) { return Format(value, AsIs, std::string::npos); }

std::string UserValue(const XUValue& value) { return Format(value, Escaped, kUserTextLimit); }

}  // namespace vq_rt
