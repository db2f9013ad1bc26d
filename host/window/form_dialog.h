#pragma once
// A form in a dialog window: its caption as the title, its client area as the size, Enter
// pressing its Default button and Escape or the close box its Cancel button (a form without
// one is unloaded without any of its buttons). The dialog closes when the form unloads.
#include <memory>

#include <QDialog>

#include "host/window/form_widget.h"

namespace window {

class FormDialog : public QDialog {
 public:
  // keepAlive: a form shown without waiting, held for as long as its dialog is open.
  FormDialog(forms::Form& form, QWidget* parent, std::shared_ptr<forms::Form> keepAlive = nullptr);
  FormWidget& view() { return *view_; }
  forms::Form& form() { return view_->form(); }
  // Closes the dialog when the form has unloaded; else draws what its code changed.
  void Follow();
  // Escape, the close box: the form's Cancel button when it has one.
  void reject() override;

 private:
  FormWidget* view_;
  std::shared_ptr<forms::Form> keepAlive_;
};

}  // namespace window
