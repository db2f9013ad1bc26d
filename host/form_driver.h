#pragma once
// The one driver of modal forms on the terminal: it shows any form as text and performs the
// actions click, set, select, show and help on the topmost open form, typed by a person or
// given in order on the command line (--do). It knows no particular form.
#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/form.h"

namespace host {

// The actions given on the command line, shared by every form the command shows.
struct FormActions {
  std::deque<std::string> pending;
  bool given = false;   // --do was used: forms take these and nothing else
  bool failed = false;  // an action named nothing on its form, or was no action
};

// Text of several lines on one, its line breaks shown as " / ".
std::string OneLine(const std::string& text);

class FormDriver {
 public:
  using LineSource = std::function<std::optional<std::string>()>;
  explicit FormDriver(std::shared_ptr<FormActions> actions) : actions_(std::move(actions)) {}

  bool Scripted() const { return actions_ && actions_->given; }
  // Activates the form and acts on it until it is unloaded: with the command line's actions
  // while there are any, else with the lines of person (nullptr: nobody). A form left without
  // actions is closed as its close box would close it.
  void Run(forms::Form& form, const LineSource* person);

  enum class Outcome { Done, NoSuchName, NotAnAction };
  // One action; what went wrong is written to err with the form's controls.
  Outcome Perform(forms::Form& form, const std::string& action, std::ostream& out, std::ostream& err);
  // The caption, then every control with its kind, caption or text and value; a tree as
  // indented lines.
  static void Show(forms::Form& form, std::ostream& out);
  static void Help(std::ostream& out);

 private:
  std::shared_ptr<FormActions> actions_;
  int shown_ = 0;  // forms shown so far: a form that opened another is active again after it
};

}  // namespace host
