#pragma once
// Message boxes, answered by whoever stands in for the user: a person at a terminal, a
// script of answers in tests, or the command line's default.
#include <deque>
#include <string>
#include <vector>

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
};

// The button a box gives when the user just presses Enter.
int DefaultButton(unsigned style);
// The buttons a box offers, in order.
std::vector<int> Buttons(unsigned style);
const char* ButtonName(int answer);  // "OK", "Cancel", "Yes", "No"

// Records every box and answers from a script, else with the box's default button.
class ScriptedUi : public Ui {
 public:
  int MessageBox(const std::string& text, const std::string& title, unsigned style) override;
  void Answer(int answer) { answers_.push_back(answer); }

  std::vector<MessageBoxShown> shown;

 private:
  std::deque<int> answers_;
};

}  // namespace win32
