#include "host/form_driver.h"

#include "host/escaped_text.h"

#include <iostream>

#include "platform/com/text.h"

namespace host {
namespace {

int Depth(forms::Form& form, const forms::Control& c) {
  int depth = 0;
  for (const forms::Control* at = &c; !at->container.empty() && depth < 16; ++depth) {
    at = form.Find(at->container);
    if (!at) break;
  }
  return depth;
}

void ShowControls(forms::Form& form, std::ostream& out, size_t indent) {
  for (auto& c : form.controls()) {
    const std::string pad(indent + 2 * static_cast<size_t>(Depth(form, c)), ' ');
    out << pad << c.name << " (" << c.kind << ")";
    const std::string value = OneLine(forms::Form::ValueText(c));
    if (!value.empty()) out << " " << value;
    if (!c.visible) out << ", hidden";
    if (!c.enabled) out << ", disabled";
    out << "\n";
    for (const std::string& line : forms::Form::ItemLines(c)) out << pad << "  " << line << "\n";
    if (c.embedded) ShowControls(*c.embedded, out, pad.size() + 2);
  }
}

void ListControls(forms::Form& form, std::ostream& err) {
  err << "the controls of " << form.name() << " [" << form.caption() << "]:";
  for (forms::Control* c : form.AllControls()) err << " " << c->name;
  err << "\n";
}

// The first word of text, and the rest after one blank.
std::pair<std::string, std::string> Word(const std::string& text) {
  const std::string t = com::Trim(text);
  const size_t blank = t.find(' ');
  if (blank == std::string::npos) return {t, ""};
  return {t.substr(0, blank), t.substr(blank + 1)};
}

}  // namespace

std::string OneLine(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i] == '\n' ? std::string(" / ") : std::string(1, text[i]);
  }
  return PrintableText(out);
}

void FormDriver::Show(forms::Form& form, std::ostream& out) {
  out << "[" << form.caption() << "]\n";
  ShowControls(form, out, 2);
}

void FormDriver::Help(std::ostream& out) {
  out << "  click NAME          press a button, tick a box, choose an option\n"
         "  set NAME TEXT       type TEXT into a text box\n"
         "  select NAME ITEM    choose an item; in a tree, the node by its path of texts joined by \"|\";\n"
         "                      in a list, the row by its text\n"
         "  show                the form with every control\n"
         "  help                this list\n";
}

FormDriver::Outcome FormDriver::Perform(forms::Form& form, const std::string& action, std::ostream& out,
                                        std::ostream& err) {
  const auto [verb, rest] = Word(action);
  if (verb == "show") {
    Show(form, out);
    return Outcome::Done;
  }
  if (verb == "help") {
    Help(out);
    return Outcome::Done;
  }
  if (verb != "click" && verb != "set" && verb != "select") {
    err << "'" << action << "' is no action; the actions are:\n";
    Help(err);
    return Outcome::NotAnAction;
  }
  // A text may begin or end with blanks: only the one blank after the name is taken off.
  const std::string name = Word(rest).first;
  const size_t afterName = rest.find(' ', rest.find_first_not_of(' '));
  const std::string text = afterName == std::string::npos ? "" : rest.substr(afterName + 1);
  forms::Control* c = name.empty() ? nullptr : form.Find(name);
  if (!c) {
    err << "no control '" << name << "' on " << form.name() << "; ";
    ListControls(form, err);
    return Outcome::NoSuchName;
  }
  if (verb == "click") {
    if (!c->enabled) out << "  (" << name << " is disabled)\n";
    form.Click(name);
  } else if (verb == "set") {
    if (!form.Type(name, text)) {
      err << name << " is a " << c->kind << ", which takes no typing\n";
      return Outcome::NotAnAction;
    }
  } else if (!form.Select(name, text)) {
    err << "no item '" << text << "' in " << name << " of " << form.name() << "\n";
    ListControls(form, err);
    return Outcome::NoSuchName;
  }
  return Outcome::Done;
}

void FormDriver::Run(forms::Form& form, const LineSource* person) {
  ++shown_;
  if (actions_ && actions_->failed) {
    form.Unload();
    return;
  }
  form.Activate();
  const bool scripted = Scripted();
  if (!scripted && person) Show(form, std::cout);
  while (form.loaded()) {
    if (actions_ && actions_->failed) {
      form.Unload();  // a form that opened the one whose action failed closes too
      break;
    }
    std::optional<std::string> action;
    if (scripted) {
      if (!actions_->pending.empty()) {
        action = actions_->pending.front();
        actions_->pending.pop_front();
        std::cout << "  > " << *action << std::endl;
      }
    } else if (person) {
      std::cout << "  action (help lists them): " << std::flush;
      action = (*person)();
    }
    if (!action) {
      std::cout << "  -> closed" << std::endl;
      form.Unload();
      break;
    }
    if (com::Trim(*action).empty()) continue;
    const int before = shown_;
    const Outcome outcome = Perform(form, *action, std::cout, std::cerr);
    if (outcome != Outcome::Done && scripted) {
      // The command line asked for what this form does not have: nothing more is done.
      actions_->failed = true;
      form.Unload();
      break;
    }
    if (shown_ != before && form.loaded()) {
      form.Activate();  // back from the form that the action opened
      if (person && !scripted) Show(form, std::cout);
    }
  }
}

}  // namespace host
