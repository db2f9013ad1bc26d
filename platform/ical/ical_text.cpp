#include "platform/ical/ical_text.h"

#include "platform/com/utf8.h"

#include <cstdio>

namespace ical {

std::string CleanText(std::string_view raw, bool& notUtf8) {
  std::string out;
  notUtf8 = false;
  for (size_t i = 0; i < raw.size();) {
    const auto c = static_cast<unsigned char>(raw[i]);
    if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
      ++i;
      continue;
    }
    if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) {
      const unsigned picture = c == 0x7F ? 0x2421 : 0x2400 + c;  // three bytes of UTF-8
      out += static_cast<char>(0xE0 | (picture >> 12));
      out += static_cast<char>(0x80 | ((picture >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (picture & 0x3F));
      ++i;
      continue;
    }
    const size_t n = com::Utf8SequenceAt(raw, i);
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      notUtf8 = true;
      ++i;
      continue;
    }
    out.append(raw.substr(i, n));
    i += n;
  }
  return out;
}

namespace {
bool Blank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::optional<std::string> EscapedOriginal(std::string_view raw) {
  bool notUtf8 = false;
  const bool blankEnds = !raw.empty() && (Blank(raw.front()) || Blank(raw.back()));
  if (CleanText(raw, notUtf8) == raw && !blankEnds) return std::nullopt;
  if (notUtf8) return std::nullopt;  // nothing to bring back that a file may hold
  std::string out;
  for (char ch : raw) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x21 || c == 0x7F || c == '%' || c == ',' || c == ';' || c == '\\' || c == '"') {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out;
}

std::optional<std::string> Original(std::string_view escaped, std::string_view fileText) {
  std::string out;
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] != '%') {
      out += escaped[i];
      continue;
    }
    unsigned value = 0;
    if (i + 2 >= escaped.size() || std::sscanf(std::string(escaped.substr(i + 1, 2)).c_str(), "%2X", &value) != 1) {
      return std::nullopt;
    }
    out += static_cast<char>(value);
    i += 2;
  }
  bool notUtf8 = false;
  std::string clean = CleanText(out, notUtf8);
  const size_t first = clean.find_first_not_of(" \t"), last = clean.find_last_not_of(" \t");
  clean = first == std::string::npos ? "" : clean.substr(first, last - first + 1);
  if (notUtf8 || clean != fileText) return std::nullopt;
  return out;
}

}  // namespace ical
