#pragma once
// The host's string helpers that the add-in leans on (Trim, Left, case-blind compare).
#include <string>
#include <string_view>

namespace com {

std::string Trim(std::string_view s);  // blanks only, as the host's Trim
std::string Left(std::string_view s, size_t n);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToLower(std::string_view s);

struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

}  // namespace com
