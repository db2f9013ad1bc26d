#pragma once
// Message boxes and forms on the terminal: asked when a person is there, otherwise printed as
// "[Title] text" and answered with the command line's choice or the box's default button.
// Forms are acted on by the form driver, with the command line's actions when it gave any.
#include <functional>
#include <optional>
#include <string>

#include "host/form_driver.h"
#include "platform/win32/ui.h"

namespace host {

class ConsoleUi : public win32::Ui {
 public:
  // answer: the reply given to every box that offers it (from --answer); interactive: ask;
  // actions: what the command line does on the forms shown (--do).
  ConsoleUi(std::optional<int> answer, bool interactive, std::shared_ptr<FormActions> actions = nullptr)
      : answer_(answer), interactive_(interactive), driver_(std::move(actions)) {}
  int MessageBox(const std::string& text, const std::string& title, unsigned style) override;
  void ShowModal(forms::Form& form) override;
  // A form shown without waiting is acted on at once by --do's actions or a person at the
  // terminal; otherwise, and always after HoldShownForms, it stays open for the command.
  void Show(std::shared_ptr<forms::Form> form) override;
  void HoldShownForms() { holdShownForms_ = true; }
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
  FormDriver driver_;
  bool holdShownForms_ = false;
  size_t boxesShown_ = 0;
};

// "yes", "no", "ok", "cancel" as a box answer.
std::optional<int> ParseAnswer(const std::string& word);

}  // namespace host
