#include "platform/com/text.h"

#include <algorithm>

namespace com {

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return std::string(s.substr(b, e - b));
}

std::string Left(std::string_view s, size_t n) { return std::string(s.substr(0, std::min(n, s.size()))); }

// ASCII only, as SQLite's NOCASE compares: the same in every locale, and cheap enough for the
// lookups a pass makes for every appointment.
static int LowerChar(char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : static_cast<unsigned char>(c); }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerChar(x) == LowerChar(y); });
}

std::string ToLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(LowerChar(c));
  return out;
}

std::string Quoted(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  out += '"';
  for (char c : s) {
    out += c;
    if (c == '"') out += c;
  }
  out += '"';
  return out;
}

size_t NoCaseHash::operator()(std::string_view s) const {
  size_t h = 14695981039346656037ull;  // FNV-1a
  for (char c : s) h = (h ^ static_cast<unsigned char>(LowerChar(c))) * 1099511628211ull;
  return h;
}

bool NoCaseLess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return LowerChar(x) < LowerChar(y); });
}

}  // namespace com
