#pragma once
// dlgFindAddress, "Find Address Dialog": picks names from one of the namespace's address lists
// into a result box, which OK hands back through the add-in's oSelectedAddress.
#include <cstdint>
#include <memory>

#include "platform/com/ref.h"
#include "platform/forms/form.h"
#include "platform/outlook/application.h"
#include "platform/win32/environment.h"

namespace quorvane {

class QuorvaneClass;

class FindAddressForm : public forms::Form {
 public:
  explicit FindAddressForm(win32::Environment& env);

  // Set by the opener before the dialog is shown.
  com::Ref<QuorvaneClass> oCalAdmCls;

  // Taken on load.
  com::Ref<outlook::NameSpace> oNS;
  com::Ref<outlook::AddressLists> oAddrLists;
  int16_t iListIndex = 0;  // the chosen list's Index in the collection, not its place in Combo1

 protected:
  void OnLoad() override;
  // Closed by its close box, the dialog answers as Cancel does: an earlier answer must not be
  // taken for this one. It lets go of the add-in, which may hold it.
  void OnUnload() override;

 private:
  void Combo1_Click();
  void FillList();
  void Text1_Change();
  void Command1_Click();
  void OKButton_Click();
  void CancelButton_Click();

  win32::Environment& env_;
  bool bAnswered = false;
};

}  // namespace quorvane
