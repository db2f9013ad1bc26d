#pragma once
// dlgPromptDel, "Confirm Deletion": asks before the deletion pass removes a local copy whose
// global appointment is gone, and reports back to the add-in by name.
#include <cstdint>
#include <string>

#include "platform/com/com_object.h"
#include "platform/forms/form.h"

namespace quorvane {

class PromptDeleteForm : public forms::Form {
 public:
  PromptDeleteForm();

  com::ObjectPtr oAdminDLL;
  com::ObjectPtr oCalAdmCls;  // receives SetPromptDelete and SetPromptDeleteRetVal
  int16_t PromptDelete = 0;
  std::string strPrompt;

 protected:
  void OnLoad() override;

 private:
  void Check1_Click();
  void OKButton_Click();
  void CancelButton_Click();
  void Close();
};

}  // namespace quorvane
