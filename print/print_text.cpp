#include "print/print_text.h"

namespace quorvane {

size_t CharCount(const std::string& utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}

std::string LeftChars(const std::string& utf8, size_t n) {
  size_t seen = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && seen++ == n) return utf8.substr(0, i);
  }
  return utf8;
}

std::string FitToWidth(const std::string& text, double width,
                       const std::function<double(const std::string&)>& measure) {
  std::string fitted = text;
  for (size_t keep = CharCount(text); keep > 0 && measure(fitted) > width;) fitted = LeftChars(text, --keep);
  return fitted;
}

}  // namespace quorvane
