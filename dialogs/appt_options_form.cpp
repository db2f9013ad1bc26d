#include "dialogs/appt_options_form.h"

#include "addin/quorvane_class.h"
#include "platform/com/err_object.h"

namespace quorvane {

namespace {
struct UserList {
  const char* label;
  const char* defaultText;
  int top;         // of the label; the box and its button lie 240 twips lower
  int labelWidth;
};
constexpr UserList kLists[] = {{"Users Authorized to Change Appointment", "None", 240, 3015},
                               {"Users NOT Authorized to Change Appointment", "Everyone", 1080, 3375},
                               {"Users Needing Reminder", "None", 2280, 3015},
                               {"Users NOT Needing Reminder", "Everyone", 3120, 3015}};
}  // namespace

ApptOptionsForm::ApptOptionsForm(win32::Environment& env) : Form("dlgApptOptions", "Appointment Options"), env_(env) {
  using forms::Twips;
  SetClientSize(9135, 6510);
  // Tab order: OK, Cancel, then per list its box, its button and its label, the second list's
  // button before its box.
  constexpr int kTabs[4][3] = {{2, 3, 4}, {6, 5, 7}, {9, 8, 10}, {12, 11, 13}};
  for (int n = 1; n <= 4; ++n) {
    const UserList& l = kLists[n - 1];
    const std::string box = "Text" + std::to_string(n);
    Add("Label", "Label" + std::to_string(n), l.label, Twips{2160, l.top, l.labelWidth, 255}).tabIndex = kTabs[n - 1][2];
    Add("TextBox", box, l.defaultText, Twips{840, l.top + 240, 6135, 375}).tabIndex = kTabs[n - 1][0];
    forms::Control& button = Add("CommandButton", "Command" + std::to_string(n), "Find User",
                                 Twips{7320, l.top + 240, 1095, 375});
    button.tabIndex = kTabs[n - 1][1];
    button.click = [this, box] { FindUser(box); };
  }
  forms::Control& ok = Add("CommandButton", "OKButton", "OK", Twips{3360, 5880, 1215, 375});
  ok.tabIndex = 0;
  ok.isDefault = true;
  ok.click = [this] { Unload(); };
  forms::Control& cancel = Add("CommandButton", "CancelButton", "Cancel", Twips{4680, 5880, 1215, 375});
  cancel.tabIndex = 1;
  cancel.isCancel = true;
  cancel.click = [this] { Unload(); };
}

void ApptOptionsForm::OnLoad() {
  for (int n = 1; n <= 4; ++n) (*this)["Text" + std::to_string(n)].caption = kLists[n - 1].defaultText;
}

void ApptOptionsForm::OnUnload() {
  if (dlgFindAddress) dlgFindAddress->Unload();
  dlgFindAddress.reset();
  oCalAdmCls.Release();
}

void ApptOptionsForm::FindUser(const std::string& textBox) {
  com::ErrObject err;
  const bool shown = err.Try([&] {
    if (!dlgFindAddress || !dlgFindAddress->loaded()) dlgFindAddress = std::make_shared<FindAddressForm>(env_);
    std::shared_ptr<FindAddressForm> dialog = dlgFindAddress;  // an unload of this one meanwhile lets go of it
    dialog->oCalAdmCls = oCalAdmCls;
    if (!dialog->loaded()) dialog->Load();
    env_.loop.BeforeUserWait();
    env_.ui.ShowModal(*dialog);
  });
  // A dialog that could not be shown gave no answer: the box keeps its text.
  if (!shown) return;
  err.Try([&] {
    if (oCalAdmCls->oSelectedAddress.empty()) return;
    SetText(textBox, (*this)[textBox].caption + ";" + oCalAdmCls->oSelectedAddress);
  });
}

}  // namespace quorvane
