#pragma once
// dlgApptOptions, "Appointment Options": four lists of users, names separated by ";", each
// with a "Find User" button that appends what the Find Address dialog hands back. The lists
// are neither kept nor applied to anything; they start from their defaults at every load.
#include <memory>
#include <string>

#include "dialogs/find_address_form.h"
#include "platform/com/ref.h"
#include "platform/forms/form.h"
#include "platform/win32/environment.h"

namespace quorvane {

class QuorvaneClass;

class ApptOptionsForm : public forms::Form {
 public:
  explicit ApptOptionsForm(win32::Environment& env);

  // Set by the opener before the dialog is shown; handed on to the Find Address dialog.
  com::Ref<QuorvaneClass> oCalAdmCls;

  std::shared_ptr<FindAddressForm> dlgFindAddress;  // once a "Find User" has opened it

 protected:
  void OnLoad() override;
  // Lets go of the add-in, which holds the dialog.
  void OnUnload() override;

 private:
  // The one operation behind Command1 to Command4: the Find Address dialog, then its answer
  // appended to textBox after ";".
  void FindUser(const std::string& textBox);

  win32::Environment& env_;
};

}  // namespace quorvane
