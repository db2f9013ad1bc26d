#pragma once
// Message boxes on the terminal: asked when a person is there, otherwise printed as
// "[Title] text" and answered with the command line's choice or the box's default button.
#include <functional>
#include <optional>
#include <string>

#include "platform/win32/ui.h"

namespace host {

class ConsoleUi : public win32::Ui {
 public:
  // answer: the reply given to every box that offers it (from --answer); interactive: ask.
  ConsoleUi(std::optional<int> answer, bool interactive) : answer_(answer), interactive_(interactive) {}
  int MessageBox(const std::string& text, const std::string& title, unsigned style) override;
  void ShowModal(forms::Form& form) override;
  // The form is printed and stays open for the command that opened it to act on.
  void Show(std::shared_ptr<forms::Form> form) override;
  size_t boxesShown() const { return boxesShown_; }

  // One typed line, nullopt at the end of input.
  using LineSource = std::function<std::optional<std::string>()>;
  // Answers come from source instead of standard input (while another reads it), and are asked
  // for even without a terminal, unless the command line gave the answer. nullptr: from
  // standard input again.
  void AnswerFrom(LineSource source);

 private:
  int Ask(const std::vector<int>& buttons, int fallback);
  bool Asking() const;
  std::optional<std::string> ReadLine();
  std::optional<int> answer_;
  bool interactive_;
  LineSource source_;
  size_t boxesShown_ = 0;
};

// "yes", "no", "ok", "cancel" as a box answer.
std::optional<int> ParseAnswer(const std::string& word);

}  // namespace host
