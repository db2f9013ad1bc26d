#include "platform/forms/form.h"

#include <stdexcept>

namespace forms {

Form::~Form() = default;

Control& Form::Add(const std::string& kind, const std::string& name, const std::string& caption) {
  Control c;
  c.kind = kind;
  c.name = name;
  c.caption = caption;
  controls_.push_back(std::move(c));
  return controls_.back();
}

Control& Form::operator[](const std::string& name) {
  for (auto& c : controls_) {
    if (c.name == name) return c;
  }
  throw std::out_of_range("no control " + name + " on " + name_);
}

void Form::Click(const std::string& name) {
  Control& c = (*this)[name];
  if (c.kind == "CheckBox") c.value = c.value ? 0 : 1;
  if (c.click) c.click();
}

void Form::Load() {
  loaded_ = true;
  OnLoad();
}

}  // namespace forms
