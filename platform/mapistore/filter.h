#pragma once
// The filter texts of Items.Restrict: comparisons of a bracketed property with a value,
// joined by And, Or, Not and parentheses, for example
//   [End] < "4/9/2026" Or [Recurrence] <> "(none)"
// A text that does not parse raises an error naming the position.
#include <string>
#include <vector>

namespace mapistore {

struct FilterNode {
  enum class Kind { Compare, And, Or, Not };
  Kind kind = Kind::Compare;
  // Compare
  std::string property;
  std::string op;  // = <> < > <= >=
  std::string value;
  bool quoted = false;
  size_t position = 0;  // of the property, for error messages
  // And, Or, Not
  std::vector<FilterNode> children;
};

FilterNode ParseFilter(const std::string& text);

// Raises the store's "bad condition" error for a filter text.
[[noreturn]] void RaiseBadFilter(const std::string& text, size_t position, const std::string& why);

}  // namespace mapistore
