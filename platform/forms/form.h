#pragma once
// Headless forms: a caption and named controls, each with its caption, value and click
// handler, so any front end (a terminal today) can show them and tests can act on them.
#include <functional>
#include <string>
#include <vector>

namespace forms {

struct Control {
  std::string kind;  // "Label", "CheckBox", "CommandButton"
  std::string name;
  std::string caption;
  int value = 0;  // a check box: 0 or 1
  std::function<void()> click;
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
