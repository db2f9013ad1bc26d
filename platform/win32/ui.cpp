#include "platform/win32/ui.h"

namespace win32 {

Ui::~Ui() = default;

void Ui::Show(std::shared_ptr<forms::Form> form) {
  std::erase_if(open_, [&](const auto& f) { return f == form || !f->loaded(); });
  open_.push_back(std::move(form));
}

std::vector<std::shared_ptr<forms::Form>> Ui::OpenForms() {
  std::erase_if(open_, [](const auto& f) { return !f->loaded(); });
  return open_;
}

std::vector<int> Buttons(unsigned style) {
  switch (style & 0xF) {
    case vbOKCancel: return {vbOK, vbCancel};
    case vbYesNoCancel: return {vbYes, vbNo, vbCancel};
    case vbYesNo: return {vbYes, vbNo};
    default: return {vbOK};
  }
}

int DefaultButton(unsigned style) {
  const std::vector<int> buttons = Buttons(style);
  const size_t index = (style & vbDefaultButton2) && buttons.size() > 1 ? 1 : 0;
  return buttons[index];
}

const char* ButtonName(int answer) {
  switch (answer) {
    case vbOK: return "OK";
    case vbCancel: return "Cancel";
    case vbYes: return "Yes";
    case vbNo: return "No";
    default: return "?";
  }
}

int ScriptedUi::MessageBox(const std::string& text, const std::string& title, unsigned style) {
  int answer = DefaultButton(style);
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  shown.push_back(MessageBoxShown{text, title, style, answer});
  return answer;
}

void ScriptedUi::ShowModal(forms::Form& form) {
  Act(form);
  form.Unload();
}

void ScriptedUi::Show(std::shared_ptr<forms::Form> form) {
  Ui::Show(form);
  Act(*form);
}

void ScriptedUi::Act(forms::Form& form) {
  std::string seen = form.caption();
  for (auto& c : form.controls()) {
    if (c.kind == "Label") seen += " | " + c.caption;
  }
  formsShown.push_back(seen);
  form.Activate();
  if (!formActions_.empty()) {
    FormAction action = std::move(formActions_.front());
    formActions_.pop_front();
    action(form);
  }
}

}  // namespace win32
