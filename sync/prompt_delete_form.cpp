#include "sync/prompt_delete_form.h"

namespace quorvane {

PromptDeleteForm::PromptDeleteForm() : Form("dlgPromptDel", "Confirm Deletion") {
  // Room for the prompt's three lines above the check box and the two buttons.
  SetClientSize(5775, 2055);
  Add("Label", "Label1", "", {240, 120, 5295, 855});
  Add("CheckBox", "Check1", "Don't ask me again", {240, 1080, 2655, 255}).click = [this] { Check1_Click(); };
  forms::Control& ok = Add("CommandButton", "OKButton", "OK", {3000, 1560, 1215, 375});
  ok.click = [this] { OKButton_Click(); };
  ok.isDefault = true;
  forms::Control& cancel = Add("CommandButton", "CancelButton", "Cancel", {4320, 1560, 1215, 375});
  cancel.click = [this] { CancelButton_Click(); };
  cancel.isCancel = true;
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
