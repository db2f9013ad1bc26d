#pragma once
// The host's string helpers that the add-in leans on (Trim, Left, case-blind compare).
#include <string>
#include <string_view>

namespace com {

std::string Trim(std::string_view s);  // blanks only, as the host's Trim
std::string Left(std::string_view s, size_t n);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToLower(std::string_view s);
// In double quotes, a quote inside doubled: as SQL quotes a name, and the host's filters a value.
std::string Quoted(std::string_view s);

struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

// Hashing and equality for containers keyed by text compared case-blind.
struct NoCaseHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const;
};
struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

}  // namespace com
