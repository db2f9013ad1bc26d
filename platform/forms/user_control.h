#pragma once
// A control that is a form of its own (an ActiveX user control). A new control is initialised
// (InitProperties) as soon as it is created; the container that takes it in later becomes
// its parent, and tells it when the user enters it.
#include "platform/com/com_object.h"
#include "platform/forms/form.h"

namespace forms {

class UserControl : public Form {
 public:
  using Form::Form;
  ~UserControl() override;

  // The container takes the control in: the parent is known from here on.
  void Site(com::ObjectPtr parent) { parent_ = std::move(parent); }
  const com::ObjectPtr& Parent() const { return parent_; }
  virtual void InitProperties() {}
  // The user enters the control (its page is shown, it takes the focus).
  virtual void EnterFocus() {}

 private:
  com::ObjectPtr parent_;
};

}  // namespace forms
