#pragma once
// UCAdminPage, the add-in's page in the Options dialog: the settings as preference
// properties, edited through the page's controls and saved through the add-in, which the page
// reaches only by name (oAdminDLL).
#include <cstdint>
#include <string>

#include "platform/com/com_object.h"
#include "platform/com/ref.h"
#include "platform/forms/user_control.h"
#include "platform/outlook/property_page.h"

namespace pagorin {

extern const char* const kProgId;  // "Pagorin.UCAdminPage"

class UCAdminPage : public com::DispatchObject, public forms::UserControl, public outlook::PropertyPage {
 public:
  UCAdminPage();  // Initialize

  int16_t prefEnableAcctToolbar = 0, prefRefreshRate = 0, prefNoDays = 0;
  std::string prefGlobalCalendar, prefLocalCalendar;
  int16_t prefUpdBoth = 0, prefUpdGlobalOnly = 0, prefUpdLocalOnly = 0, prefPromptDelete = 0, prefOwner = 0,
          prefPromptErrors = 0, prefSyncAccepted = 0, prefShowOwner = 0;
  com::ObjectPtr oAdminDLL;  // write-only to the add-in

  // The property page.
  void Apply() override;
  bool Dirty() override { return bDirty; }
  void GetPageInfo(std::string& HelpFile, int32_t& HelpContext) override;

  // The control in its container.
  void InitProperties() override;
  void EnterFocus() override;

  void Command1_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();

 private:
  void LayOut();
  void RefreshControls();
  void MarkChanged();
  // The property-page site: the parent the control has now, if it is one.
  com::Ref<outlook::PropertyPageSite> PageSite() const;
  // An edit: ignored while loading, otherwise it marks the page changed first.
  bool Editing();
  void CheckClicked(const char* name, int16_t UCAdminPage::*field);
  void OptionClicked(const char* name, int16_t UCAdminPage::*field);
  void Text3_Change();
  void Text6_Change();
  int MsgBox(const std::string& prompt);

  bool bLoading = true;
  bool bDirty = false;
};

}  // namespace pagorin
