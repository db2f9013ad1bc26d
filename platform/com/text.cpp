#include "platform/com/text.h"

#include <cstdint>
#include <cstring>

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
  if (a.size() != b.size()) return false;
  if (a == b) return true;  // most texts compared are written the same way
  return std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerChar(x) == LowerChar(y); });
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
  // Runs between quotes are appended whole: a character at a time cost more than the lookup it
  // quotes for.
  for (size_t at = 0;;) {
    const size_t quote = s.find('"', at);
    if (quote == std::string_view::npos) {
      out.append(s.substr(at));
      break;
    }
    out.append(s.substr(at, quote + 1 - at)).push_back('"');
    at = quote + 1;
  }
  out += '"';
  return out;
}

size_t NoCaseHash::operator()(std::string_view s) const {
  // Eight bytes at a time, each with its 0x20 bit set: a letter and its capital then read alike
  // (so do a few other pairs, which only share a hash). The lookups' keys are long entry IDs.
  constexpr uint64_t kFold = 0x2020202020202020ull;
  uint64_t h = 14695981039346656037ull ^ s.size();
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    uint64_t chunk;
    std::memcpy(&chunk, s.data() + i, 8);
    h = (h ^ (chunk | kFold)) * 0x9E3779B97F4A7C15ull;
    h ^= h >> 32;
  }
  for (; i < s.size(); ++i) h = (h ^ (static_cast<unsigned char>(s[i]) | 0x20u)) * 1099511628211ull;
  return h ^ (h >> 29);
}

bool NoCaseLess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return LowerChar(x) < LowerChar(y); });
}

}  // namespace com
