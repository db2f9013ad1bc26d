// The Find Address dialog: Load, the choice of list, the list's fill, the prefix find, moving
// names into the result, OK and Cancel.
#include "dialogs/find_address_form.h"

#include "addin/quorvane_class.h"
#include "platform/com/com_error.h"
#include "platform/com/err_object.h"

namespace quorvane {

FindAddressForm::FindAddressForm(win32::Environment& env) : Form("dlgFindAddress", "Find Address Dialog"), env_(env) {
  using forms::Twips;
  SetClientSize(5925, 5325);
  Add("Label", "Label1", "Type Name or Select From List", Twips{240, 120, 2415, 255}).tabIndex = 6;
  Add("TextBox", "Text1", "", Twips{120, 450, 2775, 285}).tabIndex = 5;
  (*this)["Text1"].change = [this] { Text1_Change(); };
  Add("Label", "Label2", "Address Lists", Twips{3240, 120, 2415, 255}).tabIndex = 7;
  forms::Control& combo = Add("ComboBox", "Combo1", "", Twips{3240, 435, 2415, 315});
  combo.tabIndex = 4;
  combo.editable = false;
  combo.change = [this] { Combo1_Click(); };
  Add("ListView", "ListView1", "", Twips{120, 840, 5655, 2895}).tabIndex = 2;
  forms::Control& find = Add("CommandButton", "Command1", "Find User ->", Twips{120, 3840, 1095, 375});
  find.tabIndex = 3;
  find.click = [this] { Command1_Click(); };
  forms::Control& result = Add("TextBox", "Text2", "", Twips{1320, 3840, 4455, 765});
  result.tabIndex = 8;
  result.multiLine = true;
  forms::Control& ok = Add("CommandButton", "OKButton", "OK", Twips{1440, 4800, 1215, 375});
  ok.tabIndex = 0;
  ok.isDefault = true;
  ok.click = [this] { OKButton_Click(); };
  forms::Control& cancel = Add("CommandButton", "CancelButton", "Cancel", Twips{2880, 4800, 1215, 375});
  cancel.tabIndex = 1;
  cancel.isCancel = true;
  cancel.click = [this] { CancelButton_Click(); };
}

void FindAddressForm::OnLoad() {
  bAnswered = false;
  // Nothing is reported: the dialog shows with whatever was filled before a failure.
  com::ErrObject err;
  err.Try([&] {
    oNS = com::As<outlook::NameSpace>(oCalAdmCls->oNameSpace());
    oAddrLists = oNS->AddressLists();
    forms::Control& combo = (*this)["Combo1"];
    combo.items.clear();
    combo.itemData.clear();
    combo.listIndex = -1;
    const int count = oAddrLists->Count();
    for (int i = 1; i <= count; ++i) {
      com::Ref<outlook::AddressList> list = oAddrLists->Item(i);
      AddItem("Combo1", list->Name(), list->Index());
    }
    if (combo.items.empty()) com::Raise(380, "Invalid property value");
    Select("Combo1", combo.items.front());
    iListIndex = static_cast<int16_t>(combo.itemData.at(static_cast<size_t>(combo.listIndex)));
  });
}

void FindAddressForm::OnUnload() {
  if (!bAnswered && oCalAdmCls) oCalAdmCls->oSelectedAddress.clear();
  oCalAdmCls.Release();
  oAddrLists.Release();
  oNS.Release();
}

void FindAddressForm::Combo1_Click() {
  com::ErrObject err;
  err.Try([&] {
    const forms::Control& combo = (*this)["Combo1"];
    iListIndex = static_cast<int16_t>(combo.itemData.at(static_cast<size_t>(combo.listIndex)));
  });
  FillList();
}

void FindAddressForm::FillList() {
  // Every step that fails is passed over.
  com::ErrObject err;
  forms::ListItems& rows = *(*this)["ListView1"].rows;
  rows.Clear();
  com::Ref<outlook::AddressEntries> entries;
  err.Try([&] { entries = oAddrLists->Item(iListIndex)->AddressEntries(); });
  // A list whose first entry cannot be read (an empty one) takes the layout of a list that
  // does not begin with a user.
  int firstType = -1;
  err.Try([&] { firstType = entries->Item(1)->DisplayType(); });
  const bool userFirst = firstType == 0;
  rows.columns = userFirst ? std::vector<std::string>{"Name", "Email Address", "EmailType"}
                           : std::vector<std::string>{"Name", "EmailType", "EmailAddress"};
  int count = 0;
  err.Try([&] { count = entries->Count(); });
  for (int i = 1; i <= count; ++i) {
    com::Ref<outlook::AddressEntry> entry;
    int row = 0;
    err.Try([&] { entry = entries->Item(i); });
    err.Try([&] { row = rows.Add(entry->Name()); });
    if (row == 0) continue;
    err.Try([&] { rows.SetSubItem(row, 1, userFirst ? entry->Address() : entry->Type()); });
    err.Try([&] { rows.SetSubItem(row, 2, userFirst ? entry->Type() : entry->Address()); });
  }
}

void FindAddressForm::Text1_Change() {
  const int row = (*this)["ListView1"].rows->FindPrefix((*this)["Text1"].caption);
  if (row != 0) SelectRow("ListView1", row);
}

void FindAddressForm::Command1_Click() {
  const forms::ListItems& rows = *(*this)["ListView1"].rows;
  if (rows.selected == 0) return;
  const std::string name = rows.Row(rows.selected).front();
  if (name.empty()) return;
  // The name is moved, not the address; a name chosen twice is there twice.
  const std::string now = (*this)["Text2"].caption;
  SetText("Text2", now.empty() ? name : now + ";" + name);
}

void FindAddressForm::OKButton_Click() {
  const std::string result = (*this)["Text2"].caption;
  bAnswered = true;
  oCalAdmCls->oSelectedAddress = result.empty() ? "" : result;
  Unload();
}

void FindAddressForm::CancelButton_Click() {
  bAnswered = true;
  oCalAdmCls->oSelectedAddress.clear();
  Unload();
}

}  // namespace quorvane
