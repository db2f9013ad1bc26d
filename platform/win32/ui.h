#pragma once
// Message boxes, answered by whoever stands in for the user: a person at a terminal, a
// script of answers in tests, or the command line's default.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/form.h"

namespace win32 {

enum MsgBoxStyle : unsigned {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
  vbDefaultButton2 = 256,
};

enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

struct MessageBoxShown {
  std::string text;
  std::string title;
  unsigned style = 0;
  int answer = 0;
};

class Ui {
 public:
  virtual ~Ui();
  virtual int MessageBox(const std::string& text, const std::string& title, unsigned style) = 0;
  // Shows a loaded form modally: returns once the form is unloaded, or once the user closed
  // it some other way (then the form is unloaded without any of its buttons).
  virtual void ShowModal(forms::Form& form) = 0;
  // Shows a loaded form without waiting for it: it stays open, kept alive here, until it
  // unloads. Showing an open form again only brings it to the front.
  virtual void Show(std::shared_ptr<forms::Form> form);
  // The forms shown without waiting that are still loaded, the frontmost last.
  std::vector<std::shared_ptr<forms::Form>> OpenForms();

 private:
  std::vector<std::shared_ptr<forms::Form>> open_;
};

// The button a box gives when the user just presses Enter.
int DefaultButton(unsigned style);
// The buttons a box offers, in order.
std::vector<int> Buttons(unsigned style);
const char* ButtonName(int answer);  // "OK", "Cancel", "Yes", "No"

// Records every box and answers from a script, else with the box's default button.
class ScriptedUi : public Ui {
 public:
  using FormAction = std::function<void(forms::Form&)>;
  int MessageBox(const std::string& text, const std::string& title, unsigned style) override;
  // Forms are acted on by the next scripted action; without one they are closed unanswered.
  void ShowModal(forms::Form& form) override;
  // Recorded like a modal form and acted on by the next scripted action, but left open.
  void Show(std::shared_ptr<forms::Form> form) override;
  void Answer(int answer) { answers_.push_back(answer); }
  void OnNextForm(FormAction action) { formActions_.push_back(std::move(action)); }

  std::vector<MessageBoxShown> shown;
  std::vector<std::string> formsShown;  // each form's caption and, after " | ", its label texts

 private:
  void Act(forms::Form& form);
  std::deque<int> answers_;
  std::deque<FormAction> formActions_;
};

}  // namespace win32
