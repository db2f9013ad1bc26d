#pragma once
// Texts as a calendar file can carry them: UTF-8 without control characters. What had to be
// changed to get there travels beside the text, so our own files bring it back whole.
#include <optional>
#include <string>
#include <string_view>

namespace ical {

// CR LF becomes a line break, other control characters but tab and line break their visible
// pictures (U+2400 on), bytes that are not UTF-8 U+FFFD. notUtf8 tells of the last.
std::string CleanText(std::string_view raw, bool& notUtf8);

// A text as libical would not read back the same (cleaned, or blank at either end): percent
// escapes for controls, '%' and blanks; nullopt when it needs none.
std::optional<std::string> EscapedOriginal(std::string_view raw);
// The original an escaped text stands for, when it is still the one the file's text was made
// from (another program may have changed that text since).
std::optional<std::string> Original(std::string_view escaped, std::string_view fileText);

}  // namespace ical
