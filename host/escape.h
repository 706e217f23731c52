#pragma once
#include <string>
#include <string_view>

namespace vqhost {

// Text for one field of the text report, so that no value can start a line
// of its own or pass bytes that are not UTF-8: a backslash, control
// characters and bytes outside UTF-8 are escaped (\\, \n, \t, \r, \xNN);
// inside a quoted string (`quoted`) so is the quote.
void AppendText(std::string_view text, bool quoted, std::string& out);

// Whether both escapes leave the text as it is (the quotes of a JSON string
// aside): printable ASCII without a backslash or a quote.
bool Plain(std::string_view text);

// A JSON string literal, quotes included. Always valid UTF-8: a byte that
// is not part of a UTF-8 character is written as U+FFFD.
void AppendJson(std::string_view text, std::string& out);

}  // namespace vqhost
