#pragma once
// Text of values, for messages and the host's output.
#include <string>
#include <string_view>

#include "vq_value.h"

namespace vq_rt {

// The shortest text that reads back to the same double, always with a
// decimal point or an exponent ("-3.0", "0.5", "1e+20").
KYV_API std::string FormatDouble(double value);
// The same text written into `buffer`, where it lives.
constexpr size_t kDoubleTextSize = 32;
KYV_API std::string_view FormatDouble(double value, char (&buffer)[kDoubleTextSize]);

// A value as a modeller reads it: 3, 0.125, "BFD1", true, {0..8}, {"idx"}.
KYV_API std::string FormatValue(const XUValue& value);
// A value a user gave, as a message quotes it: its strings escaped and cut
// as UserText does, a long set cut after its first elements.
KYV_API std::string UserValue(const XUValue& value);

}  // namespace vq_rt
