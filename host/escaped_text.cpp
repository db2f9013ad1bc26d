#include "host/escaped_text.h"

#include <cstdio>

#include "platform/com/utf8.h"

namespace host {
namespace {

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029; }

std::string Hex(const char* format, unsigned value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

const char* ShortEscape(char32_t c) {
  switch (c) {
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default: return nullptr;
  }
}

// Calls emit(sequence, code point) for every valid sequence and bad(byte) for every byte that
// begins none.
template <class Emit, class Bad>
void Walk(std::string_view text, Emit emit, Bad bad) {
  for (size_t i = 0; i < text.size();) {
    const size_t n = com::Utf8SequenceAt(text, i);
    if (n == 0) {
      bad(static_cast<unsigned char>(text[i]));
      ++i;
      continue;
    }
    const std::string_view sequence = text.substr(i, n);
    emit(sequence, com::DecodeUtf8(sequence));
    i += n;
  }
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  Walk(
      text,
      [&](std::string_view sequence, char32_t c) {
        if (c == '"') out += "\\\"";
        else if (c == '\\') out += "\\\\";
        else if (const char* e = ShortEscape(c)) out += e;
        else if (IsControl(c)) out += Hex("\\u%04x", static_cast<unsigned>(c));
        else out += sequence;
      },
      [&](unsigned char) { out += "\\ufffd"; });
  return out + "\"";
}

std::string PrintableText(std::string_view text) {
  std::string out;
  Walk(
      text,
      [&](std::string_view sequence, char32_t c) {
        if (const char* e = ShortEscape(c)) out += e;
        else if (c < 0x80 && IsControl(c)) out += Hex("\\x%02x", static_cast<unsigned>(c));
        else if (IsControl(c)) out += Hex("\\u%04x", static_cast<unsigned>(c));
        else out += sequence;
      },
      [&](unsigned char b) { out += Hex("\\x%02x", b); });
  return out;
}

}  // namespace host
