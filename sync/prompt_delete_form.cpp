#include "sync/prompt_delete_form.h"

namespace quorvane {

PromptDeleteForm::PromptDeleteForm() : Form("dlgPromptDel", "Confirm Deletion") {
  Add("Label", "Label1", "");
  Add("CheckBox", "Check1", "Don't ask me again").click = [this] { Check1_Click(); };
  Add("CommandButton", "OKButton", "OK").click = [this] { OKButton_Click(); };
  Add("CommandButton", "CancelButton", "Cancel").click = [this] { CancelButton_Click(); };
}

void PromptDeleteForm::OnLoad() {
  (*this)["Label1"].caption = strPrompt;
  (*this)["Check1"].value = PromptDelete == 1 ? 1 : 0;
}

void PromptDeleteForm::Check1_Click() { PromptDelete = static_cast<int16_t>((*this)["Check1"].value); }

void PromptDeleteForm::OKButton_Click() {
  com::CallMethod(oCalAdmCls, "SetPromptDelete", {PromptDelete});
  com::CallMethod(oCalAdmCls, "SetPromptDeleteRetVal", {int16_t{6}});
  Close();
}

void PromptDeleteForm::CancelButton_Click() {
  // The check box is not saved on Cancel.
  com::CallMethod(oCalAdmCls, "SetPromptDeleteRetVal", {int16_t{7}});
  Close();
}

void PromptDeleteForm::Close() {
  oAdminDLL.reset();
  oCalAdmCls.reset();
  Unload();
}

}  // namespace quorvane
