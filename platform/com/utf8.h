#pragma once
// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF): what every text
// we take in must be, and what every text we write out is.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace com {

// The length of the valid sequence that starts at text[at], or 0 when none does there.
size_t Utf8SequenceAt(std::string_view text, size_t at);
// The code point of a sequence Utf8SequenceAt accepted.
char32_t DecodeUtf8(std::string_view sequence);
// Where the first byte that is not part of valid UTF-8 stands; nullopt when text is valid.
std::optional<size_t> FirstInvalidUtf8(std::string_view text);
// "" when text is valid, else what an error says of it: "byte 0xe9 at position 4" (from 1).
std::string Utf8Fault(std::string_view text);

}  // namespace com
