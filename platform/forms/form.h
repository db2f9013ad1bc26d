#pragma once
// Headless forms: a caption and named controls, each with its caption, value and click
// handler, so any front end (a terminal today) can show them and tests can act on them.
#include <functional>
#include <string>
#include <vector>

namespace forms {

struct Control {
  std::string kind;  // "Label", "CheckBox", "CommandButton", "TextBox", "ComboBox", "Frame", "MonthView"
  std::string name;
  std::string caption;
  int value = 0;  // a check box: 0 or 1
  std::function<void()> click;
  // A text box's or combo box's text; a month calendar's date as yyyy-mm-dd.
  std::string text;
  std::vector<std::string> items;  // a combo box's entries
  bool editable = true;            // a combo box that takes typing, not only its entries
  int left = 0, top = 0, width = 0, height = 0;  // twips, inside the container
  std::string container;           // the frame that holds the control; empty: the form
  int tabIndex = -1;               // -1: not a tab stop
  std::function<void()> change;    // after the text or the selection changed
};

class Form {
 public:
  Form(std::string name, std::string caption) : name_(std::move(name)), caption_(std::move(caption)) {}
  virtual ~Form();

  const std::string& name() const { return name_; }
  const std::string& caption() const { return caption_; }
  std::vector<Control>& controls() { return controls_; }
  Control& Add(const std::string& kind, const std::string& name, const std::string& caption);
  Control& operator[](const std::string& name);  // throws std::out_of_range for an unknown name

  // What the user does: a click on a check box flips it first, then its handler runs.
  void Click(const std::string& name);
  // Load runs the form's own load step; Unload closes it.
  void Load();
  void Unload() { loaded_ = false; }
  bool loaded() const { return loaded_; }

 protected:
  virtual void OnLoad() {}

 private:
  std::string name_, caption_;
  std::vector<Control> controls_;
  bool loaded_ = false;
};

}  // namespace forms
