#include "platform/forms/list_items.h"

#include <algorithm>

#include "platform/com/com_error.h"
#include "platform/com/text.h"

namespace forms {

void ListItems::Clear() {
  rows_.clear();
  selected = 0;
  top = 1;
}

int ListItems::Add(const std::string& text) {
  rows_.push_back({text});
  return Count();
}

const std::vector<std::string>& ListItems::Row(int index) const {
  if (index < 1 || index > Count()) com::Raise(35600, "Index out of bounds");
  return rows_[static_cast<size_t>(index - 1)];
}

void ListItems::SetSubItem(int index, int subItem, const std::string& text) {
  Row(index);
  // A sub-item needs its column, as in the control.
  if (subItem < 1 || subItem >= static_cast<int>(std::max<size_t>(columns.size(), 1))) {
    com::Raise(380, "Invalid property value");
  }
  auto& row = rows_[static_cast<size_t>(index - 1)];
  if (row.size() <= static_cast<size_t>(subItem)) row.resize(static_cast<size_t>(subItem) + 1);
  row[static_cast<size_t>(subItem)] = text;
}

int ListItems::FindPrefix(const std::string& prefix) const {
  for (int i = 1; i <= Count(); ++i) {
    const std::string& text = rows_[static_cast<size_t>(i - 1)][0];
    if (text.size() >= prefix.size() && com::EqualsNoCase(text.substr(0, prefix.size()), prefix)) return i;
  }
  return 0;
}

int ListItems::Find(const std::string& text) const {
  for (int i = 1; i <= Count(); ++i) {
    if (rows_[static_cast<size_t>(i - 1)][0] == text) return i;
  }
  return 0;
}

void ListItems::EnsureVisible(int index, int rowsInView) {
  Row(index);
  rowsInView = std::max(rowsInView, 1);
  if (index < top) top = index;
  else if (index >= top + rowsInView) top = index - rowsInView + 1;
}

std::vector<std::string> ListItems::Lines() const {
  auto join = [](const std::vector<std::string>& parts) {
    std::string line;
    for (size_t i = 0; i < parts.size(); ++i) line += (i ? " | " : "") + parts[i];
    return line;
  };
  std::vector<std::string> out;
  out.push_back(join(columns));
  for (const auto& row : rows_) out.push_back(join(row));
  return out;
}

}  // namespace forms
