#pragma once
// Texts cut by characters, not bytes, as the host's strings count them.
#include <functional>
#include <string>

namespace quorvane {

size_t CharCount(const std::string& utf8);
std::string LeftChars(const std::string& utf8, size_t n);
// The text with characters dropped from its end, one more each time, until it is at most
// width wide.
std::string FitToWidth(const std::string& text, double width, const std::function<double(const std::string&)>& measure);

}  // namespace quorvane
