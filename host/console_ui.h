#pragma once
// Message boxes on the terminal: asked when a person is there, otherwise printed as
// "[Title] text" and answered with the command line's choice or the box's default button.
#include <optional>

#include "platform/win32/ui.h"

namespace host {

class ConsoleUi : public win32::Ui {
 public:
  // answer: the reply given to every box that offers it (from --answer); interactive: ask.
  ConsoleUi(std::optional<int> answer, bool interactive) : answer_(answer), interactive_(interactive) {}
  int MessageBox(const std::string& text, const std::string& title, unsigned style) override;
  void ShowModal(forms::Form& form) override;

 private:
  int Ask(const std::vector<int>& buttons, int fallback);
  std::optional<int> answer_;
  bool interactive_;
};

// "yes", "no", "ok", "cancel" as a box answer.
std::optional<int> ParseAnswer(const std::string& word);

}  // namespace host
