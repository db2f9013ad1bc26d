#pragma once
// Text from the stores as we print it. Stored text may hold anything a member or an older
// version put there; what we write is always valid UTF-8 and never carries a control character
// that would break a line, a terminal or a JSON reader.
#include <string>
#include <string_view>

namespace host {

// A JSON string literal, quotes included: control characters (C0, DEL, C1, the line and
// paragraph separators) as \u escapes, a byte that is not UTF-8 as U+FFFD.
std::string JsonString(std::string_view text);
// For a line of text output: control characters as \n, \r, \t, \xHH or \uHHHH, a byte that is
// not UTF-8 as \xHH. Everything else, backslashes included, is left as it stands.
std::string PrintableText(std::string_view text);

}  // namespace host
