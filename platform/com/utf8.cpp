#include "platform/com/utf8.h"

#include <cstdio>

namespace com {

size_t Utf8SequenceAt(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead == 0xE0) length = 3, low = 0xA0;
  else if (lead == 0xED) length = 3, high = 0x9F;  // no surrogates
  else if (lead >= 0xE1 && lead <= 0xEF) length = 3;
  else if (lead == 0xF0) length = 4, low = 0x90;
  else if (lead == 0xF4) length = 4, high = 0x8F;  // nothing above U+10FFFF
  else if (lead >= 0xF1 && lead <= 0xF3) length = 4;
  else return 0;
  if (text.size() - at < length) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

char32_t DecodeUtf8(std::string_view sequence) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(sequence[i]); };
  if (sequence.size() == 1) return byte(0);
  char32_t c = byte(0) & (0xFF >> (sequence.size() + 1));
  for (size_t i = 1; i < sequence.size(); ++i) c = (c << 6) | (byte(i) & 0x3F);
  return c;
}

std::optional<size_t> FirstInvalidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t n = Utf8SequenceAt(text, i);
    if (n == 0) return i;
    i += n;
  }
  return std::nullopt;
}

std::string Utf8Fault(std::string_view text) {
  const auto bad = FirstInvalidUtf8(text);
  if (!bad) return "";
  char buf[64];
  std::snprintf(buf, sizeof buf, "byte 0x%02x at position %zu", static_cast<unsigned char>(text[*bad]), *bad + 1);
  return buf;
}

}  // namespace com
