#include "host/console_ui.h"

#include <algorithm>
#include <iostream>
#include <string>

#include "host/escaped_text.h"
#include "platform/com/text.h"

namespace host {

std::optional<int> ParseAnswer(const std::string& word) {
  const std::string w = com::ToLower(com::Trim(word));
  if (w == "yes" || w == "y") return win32::vbYes;
  if (w == "no" || w == "n") return win32::vbNo;
  if (w == "ok") return win32::vbOK;
  if (w == "cancel") return win32::vbCancel;
  return std::nullopt;
}


void ConsoleUi::AnswerFrom(LineSource source) {
  source_ = std::move(source);
}

bool ConsoleUi::Asking() const { return source_ ? !answer_ : interactive_; }

std::optional<std::string> ConsoleUi::ReadLine() {
  if (source_) return source_();
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  return line;
}

int ConsoleUi::Ask(const std::vector<int>& buttons, int fallback) {
  for (;;) {
    std::cout << "  answer (";
    for (size_t i = 0; i < buttons.size(); ++i) std::cout << (i ? "/" : "") << win32::ButtonName(buttons[i]);
    std::cout << ", Enter for " << win32::ButtonName(fallback) << "): " << std::flush;
    const std::optional<std::string> line = ReadLine();
    if (!line || com::Trim(*line).empty()) return fallback;
    if (auto a = ParseAnswer(*line); a && std::find(buttons.begin(), buttons.end(), *a) != buttons.end()) return *a;
  }
}

int ConsoleUi::MessageBox(const std::string& text, const std::string& title, unsigned style) {
  ++boxesShown_;
  const std::vector<int> buttons = win32::Buttons(style);
  int answer = win32::DefaultButton(style);
  if (answer_ && std::find(buttons.begin(), buttons.end(), *answer_) != buttons.end()) answer = *answer_;
  std::cout << "[" << title << "] " << OneLine(text) << std::endl;
  if (Asking() && buttons.size() > 1) {
    answer = Ask(buttons, answer);
  } else {
    std::cout << "  -> " << win32::ButtonName(answer) << std::endl;
  }
  return answer;
}

static void PrintHeading(forms::Form& form) {
  std::cout << "[" << form.caption() << "]";
  for (auto& c : form.controls()) {
    if (c.kind == "Label") std::cout << " " << OneLine(c.caption);
  }
  std::cout << std::endl;
}

void ConsoleUi::Show(std::shared_ptr<forms::Form> form) {
  win32::Ui::Show(form);
  // The terminal attends to one form at a time: the actions given, or the person, take it
  // now; otherwise it stays open for the command that opened it.
  if (holdShownForms_) return;  // the command that opened it fills it and says what came of it
  if (driver_.Scripted()) {
    driver_.Run(*form, nullptr);
  } else if (Asking()) {
    const FormDriver::LineSource read = [this] { return ReadLine(); };
    driver_.Run(*form, &read);
  } else {
    PrintHeading(*form);
  }
}

void ConsoleUi::ShowModal(forms::Form& form) {
  if (!driver_.Scripted() && Asking()) {
    const FormDriver::LineSource read = [this] { return ReadLine(); };
    driver_.Run(form, &read);  // shows the whole form first
    return;
  }
  PrintHeading(form);
  if (driver_.Scripted()) {
    driver_.Run(form, nullptr);
    return;
  }
  form.Activate();
  forms::Control* chosen = nullptr;
  if (answer_) {
    // Yes or OK presses the form's OK button, No or Cancel its Cancel button.
    const bool ok = *answer_ == win32::vbYes || *answer_ == win32::vbOK;
    for (auto& c : form.controls()) {
      if (c.kind == "CommandButton" && com::EqualsNoCase(c.caption, ok ? "OK" : "Cancel")) chosen = &c;
    }
  }
  if (chosen) {
    std::cout << "  -> " << chosen->caption << std::endl;
    form.Click(chosen->name);
  } else {
    std::cout << "  -> closed" << std::endl;
  }
  if (form.loaded()) form.Unload();
}

}  // namespace host
