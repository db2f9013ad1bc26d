#pragma once
// The one Qt renderer of headless forms: every control of a form, and of the forms embedded in
// it, becomes its widget at its twip position scaled to the screen, in the form's tab order.
// What the user does goes to the form as Click, Type or Select; what the form's code changed
// comes back with Refresh. It knows no particular form.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QWidget>

#include "platform/forms/form.h"

class QPushButton;

namespace window {

// Pixels of a length in twips on a screen of dpi dots per inch (1440 twips to the inch, so
// 15 twips to the pixel at 96 dpi).
int Pixels(int twips, double dpi);

class FormWidget : public QWidget {
 public:
  explicit FormWidget(forms::Form& form, QWidget* parent = nullptr);

  forms::Form& form() { return form_; }
  // Brings every widget in line with its control: caption or text, value, items, enabled, shown.
  void Refresh();
  // The widget of a control of the form or of a form embedded in it; nullptr when none.
  QWidget* WidgetOf(const std::string& name) const;
  // Buttons marked Default and Cancel; nullptr when the form has none.
  QPushButton* DefaultButton() const { return default_; }
  QPushButton* CancelButton() const { return cancel_; }
  // Runs after every handler the user's action raised.
  std::function<void()> afterEvent;

  QSize sizeHint() const override { return size_; }

 private:
  struct Bound {
    forms::Form* owner;
    forms::Control* control;
    QWidget* widget;
    std::vector<std::string> shownLines;  // a tree's or a list's lines as last drawn
  };
  void Build(forms::Form& form, QWidget* area);
  QWidget* Make(forms::Form& owner, forms::Control& c, QWidget* parent);
  void Place(QWidget* widget, const forms::Twips& pos);
  void SetTabOrder();
  void RefreshOne(Bound& b);
  // The user's action, then the form's answer drawn; signals raised by drawing are not actions.
  void Act(const std::function<void()>& action);

  forms::Form& form_;
  double dpi_;
  QSize size_;
  std::vector<Bound> bound_;
  QPushButton* default_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool drawing_ = false;
};

}  // namespace window
