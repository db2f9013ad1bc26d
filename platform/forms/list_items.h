#pragma once
// The rows of a list view in report view: column headers, and per row its text and sub-items,
// with a selection and the first row in view, and the errors of the common control's
// ListItems collection.
#include <string>
#include <vector>

namespace forms {

class ListItems {
 public:
  std::vector<std::string> columns;  // the headers; the first is the rows' text

  void Clear();  // the rows, not the headers
  int Add(const std::string& text);  // the new row's 1-based index
  int Count() const { return static_cast<int>(rows_.size()); }
  // Sub-item n (1-based) is column n + 1; raises 35600 for a row, 380 for a sub-item out of range.
  void SetSubItem(int index, int subItem, const std::string& text);
  const std::vector<std::string>& Row(int index) const;  // raises 35600 when out of range
  // The first row whose text begins with prefix, without regard to case; 0 when none.
  int FindPrefix(const std::string& prefix) const;
  // The first row whose text is text; 0 when none.
  int Find(const std::string& text) const;
  // Scrolls as little as needed so the row is among the rowsInView from the top one.
  void EnsureVisible(int index, int rowsInView);

  int selected = 0;  // 0: none
  int top = 1;       // the first row in view

  // The headers, then every row, columns joined by " | ".
  std::vector<std::string> Lines() const;

 private:
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace forms
