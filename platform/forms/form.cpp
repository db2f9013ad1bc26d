#include "platform/forms/form.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "platform/com/com_error.h"
#include "platform/com/date.h"
#include "platform/win32/environment.h"

namespace forms {

namespace {
bool IsIsoDate(const std::string& s) {
  int y = 0, m = 0, d = 0;
  char tail = 0;
  if (s.size() != 10 || std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return false;
  if (m < 1 || m > 12 || d < 1 || d > 31 || y < 100) return false;
  // A day past the month's end would roll into the next month.
  return com::Date::FromParts(y, m, d).Parts().day == d;
}
}  // namespace

Form::~Form() = default;

Control& Form::Add(const std::string& kind, const std::string& name, const std::string& caption) {
  return Add(kind, name, caption, Twips{});
}

Control& Form::Add(const std::string& kind, const std::string& name, const std::string& caption, Twips pos,
                   const std::string& container) {
  Control c;
  c.kind = kind;
  c.name = name;
  c.caption = caption;
  c.pos = pos;
  c.container = container;
  c.tabIndex = static_cast<int>(controls_.size());
  if (kind == "TreeView") c.nodes = std::make_shared<TreeNodes>();
  if (kind == "ListView") c.rows = std::make_shared<ListItems>();
  controls_.push_back(std::move(c));
  return controls_.back();
}

Control& Form::Embed(Form& child, const std::string& name, Twips pos) {
  Control& c = Add("UserControl", name, child.caption(), pos);
  c.embedded = &child;
  return c;
}

Control* Form::Find(const std::string& name) {
  for (auto& c : controls_) {
    if (c.name == name) return &c;
  }
  for (auto& c : controls_) {
    if (!c.embedded) continue;
    if (Control* inner = c.embedded->Find(name)) return inner;
  }
  return nullptr;
}

Control& Form::operator[](const std::string& name) {
  if (Control* c = Find(name)) return *c;
  throw std::out_of_range("no control " + name + " on " + name_);
}

std::vector<Control*> Form::AllControls() {
  std::vector<Control*> out;
  for (auto& c : controls_) {
    out.push_back(&c);
    if (!c.embedded) continue;
    for (Control* inner : c.embedded->AllControls()) out.push_back(inner);
  }
  return out;
}

Form* Form::Owner(const Control& control) {
  for (auto& c : controls_) {
    if (&c == &control) return this;
  }
  for (auto& c : controls_) {
    if (!c.embedded) continue;
    if (Form* owner = c.embedded->Owner(control)) return owner;
  }
  return nullptr;
}

void Form::Raise(const std::function<void()>& handler) {
  if (!handler) return;
  try {
    handler();
  } catch (const com::ComError& e) {
    win32::Environment& env = win32::Env();
    env.loop.BeforeUserWait();
    env.ui.MessageBox("Run-time error '" + std::to_string(e.number()) + "':\r\n\r\n" + e.description(), caption_,
                      win32::vbOKOnly | win32::vbCritical);
  }
}

void Form::SelectOption(Control& option) {
  Form* owner = Owner(option);
  for (auto& c : owner->controls_) {
    if (&c != &option && c.kind == "OptionButton" && c.container == option.container) c.value = 0;
  }
  option.value = 1;
}

void Form::Click(const std::string& name) {
  Control& c = (*this)[name];
  if (!c.enabled) return;
  if (c.kind == "CheckBox") c.value = c.value ? 0 : 1;
  if (c.kind == "OptionButton") SelectOption(c);
  Owner(c)->Raise(c.click);
}

bool Form::Type(const std::string& name, const std::string& text) {
  Control& c = (*this)[name];
  if (c.kind != "TextBox" && c.kind != "ComboBox") return false;
  if (!c.enabled) return true;
  // A drop-down list takes no typing: only its own entries can be chosen.
  if (c.kind == "ComboBox" && !c.editable) return Select(name, text);
  SetText(name, text);
  return true;
}

bool Form::Select(const std::string& name, const std::string& item) {
  Control& c = (*this)[name];
  if (c.kind == "ComboBox" || c.kind == "MonthView") {
    const bool known = c.kind == "ComboBox" ? std::find(c.items.begin(), c.items.end(), item) != c.items.end()
                                            : IsIsoDate(item);
    if (!known) return false;
    // Picking an entry is a click on it: its event runs even when the text stays the same.
    c.caption = item;
    if (c.kind == "ComboBox") c.listIndex = static_cast<int>(std::find(c.items.begin(), c.items.end(), item) - c.items.begin());
    Owner(c)->Raise(c.change);
    return true;
  }
  if (c.rows) {
    const int row = c.rows->Find(item);
    if (row == 0) return false;
    SelectRow(name, row);
    if (c.itemClick) Owner(c)->Raise([&] { c.itemClick(row); });
    return true;
  }
  if (!c.nodes) return false;
  const int index = c.nodes->FindPath(item);
  if (index == 0) return false;
  c.nodes->selected = index;
  if (c.nodeClick) Owner(c)->Raise([&] { c.nodeClick(index); });
  return true;
}

std::string Form::ValueText(const Control& c) {
  std::string text;
  if (!c.caption.empty() || c.kind == "TextBox") text += "\"" + c.caption + "\"";
  auto add = [&](const std::string& part) { text += (text.empty() ? "" : " ") + part; };
  if (c.kind == "CheckBox") add(c.value ? "[x]" : "[ ]");
  if (c.kind == "OptionButton") add(c.value ? "(o)" : "( )");
  if (c.kind == "ProgressBar") add(std::to_string(c.value) + "%");
  return text;
}

std::vector<std::string> Form::ItemLines(const Control& c) {
  std::vector<std::string> out;
  if (c.rows) {
    const std::vector<std::string> lines = c.rows->Lines();
    for (size_t i = 0; i < lines.size(); ++i) {
      out.push_back((static_cast<int>(i) == c.rows->selected && i > 0 ? "> " : "  ") + lines[i]);
    }
    return out;
  }
  for (const std::string& item : c.items) out.push_back((item == c.caption ? "> " : "  ") + item);
  if (!c.nodes) return out;
  int index = 0;
  for (const std::string& line : c.nodes->Lines()) {
    out.push_back((++index == c.nodes->selected ? "> " : "  ") + line);
  }
  return out;
}

void Form::SetText(const std::string& name, const std::string& text) {
  Control& c = (*this)[name];
  if (c.caption == text) return;
  c.caption = text;
  Owner(c)->Raise(c.change);
}

void Form::SetValue(const std::string& name, int value) {
  Control& c = (*this)[name];
  if (c.kind == "OptionButton") {
    if (value == 0) {
      c.value = 0;
      return;
    }
    if (c.value != 0) return;
    SelectOption(c);
  } else {
    if (c.value == value) return;
    c.value = value;
  }
  Owner(c)->Raise(c.click);
}

void Form::AddItem(const std::string& name, const std::string& text, long data) {
  Control& c = (*this)[name];
  c.items.push_back(text);
  c.itemData.resize(c.items.size() - 1);
  c.itemData.push_back(data);
}

void Form::SelectRow(const std::string& name, int index) {
  Control& c = (*this)[name];
  if (!c.rows) com::Raise(438, "Object doesn't support this property or method");
  // Rows of the control's default height below the header row.
  constexpr int kRowTwips = 255;
  c.rows->EnsureVisible(index, (c.pos.height - kRowTwips) / kRowTwips);
  c.rows->selected = index;
}

void Form::Load() {
  loaded_ = true;
  OnLoad();
}

void Form::Activate() { OnActivate(); }

void Form::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  OnUnload();
}

}  // namespace forms
