#include "platform/forms/form_input.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "platform/com/date.h"

namespace forms {

Control& Place(Control& c, int left, int top, int width, int height, int tabIndex) {
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  c.tabIndex = tabIndex;
  return c;
}

namespace {
void Changed(Control& c) {
  if (c.change) c.change();
}

bool IsIsoDate(const std::string& s) {
  int y = 0, m = 0, d = 0;
  char tail = 0;
  if (s.size() != 10 || std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return false;
  if (m < 1 || m > 12 || d < 1 || d > 31 || y < 100) return false;
  // A day past the month's end would roll into the next month.
  return com::Date::FromParts(y, m, d).Parts().day == d;
}
}  // namespace

void SetText(Form& form, const std::string& name, const std::string& text) {
  Control& c = form[name];
  const bool typable = c.kind == "TextBox" || (c.kind == "ComboBox" && c.editable);
  if (!typable) throw std::invalid_argument(name + " takes no typing");
  c.text = text;
  Changed(c);
}

void SelectItem(Form& form, const std::string& name, const std::string& item) {
  Control& c = form[name];
  if (c.kind == "ComboBox") {
    if (std::find(c.items.begin(), c.items.end(), item) == c.items.end()) {
      throw std::invalid_argument(name + " has no entry '" + item + "'");
    }
  } else if (c.kind == "MonthView") {
    if (!IsIsoDate(item)) throw std::invalid_argument(name + " takes a date as yyyy-mm-dd, not '" + item + "'");
  } else {
    throw std::invalid_argument(name + " has nothing to select");
  }
  c.text = item;
  Changed(c);
}

}  // namespace forms
