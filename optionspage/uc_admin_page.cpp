#include "optionspage/uc_admin_page.h"

#include <cmath>

#include "platform/com/class_registry.h"
#include "platform/com/err_object.h"
#include "platform/win32/environment.h"

namespace pagorin {

const char* const kProgId = "Pagorin.UCAdminPage";

namespace {
const char* const kTitle = "Pagorin";
}  // namespace

UCAdminPage::UCAdminPage() : UserControl("UCAdminPage", "Orbitra") {
  auto number = [this](const char* name, int16_t UCAdminPage::*field) {
    DeclareProperty(
        name, [this, field] { return com::Variant(this->*field); },
        [this, field](const com::Variant& v) { this->*field = v.ToInteger(); });
  };
  auto text = [this](const char* name, std::string UCAdminPage::*field) {
    DeclareProperty(
        name, [this, field] { return com::Variant(this->*field); },
        [this, field](const com::Variant& v) { this->*field = v.ToString(); });
  };
  number("prefEnableAcctToolbar", &UCAdminPage::prefEnableAcctToolbar);
  number("prefRefreshRate", &UCAdminPage::prefRefreshRate);
  text("prefGlobalCalendar", &UCAdminPage::prefGlobalCalendar);
  text("prefLocalCalendar", &UCAdminPage::prefLocalCalendar);
  number("prefNoDays", &UCAdminPage::prefNoDays);
  number("prefUpdBoth", &UCAdminPage::prefUpdBoth);
  number("prefUpdGlobalOnly", &UCAdminPage::prefUpdGlobalOnly);
  number("prefUpdLocalOnly", &UCAdminPage::prefUpdLocalOnly);
  number("prefPromptDelete", &UCAdminPage::prefPromptDelete);
  number("prefOwner", &UCAdminPage::prefOwner);
  number("prefPromptErrors", &UCAdminPage::prefPromptErrors);
  number("prefSyncAccepted", &UCAdminPage::prefSyncAccepted);
  number("prefShowOwner", &UCAdminPage::prefShowOwner);
  // Written by the add-in; reading it gives nothing.
  DeclareProperty(
      "oAdminDLL", [] { return com::Variant(); }, [this](const com::Variant& v) { oAdminDLL = v.ToObject(); });
  DeclareProperty("Caption", [this] { return com::Variant(caption()); });
  LayOut();
}

void UCAdminPage::LayOut() {
  SetClientSize(6255, 3975);
  auto check = [this](const char* name, const char* caption, forms::Twips pos, const std::string& frame,
                      int16_t UCAdminPage::*field) {
    Add("CheckBox", name, caption, pos, frame).click = [this, name, field] { CheckClicked(name, field); };
  };
  auto option = [this](const char* name, forms::Twips pos, int16_t UCAdminPage::*field) {
    Add("OptionButton", name, "", pos, "Frame4").click = [this, name, field] { OptionClicked(name, field); };
  };
  auto button = [this](const char* name, const char* caption, forms::Twips pos, void (UCAdminPage::*fn)()) {
    Add("CommandButton", name, caption, pos, "Frame1").click = [this, fn] { (this->*fn)(); };
  };
  check("CheckToolbar", "Check for and prompt to create Orbitra toolbar", {240, 120, 4335, 375}, "",
        &UCAdminPage::prefEnableAcctToolbar);
  check("Check3", "Debug Msgs", {4680, 180, 1335, 255}, "", &UCAdminPage::prefPromptErrors);
  Add("Frame", "Frame1", "Calendar Options", {240, 480, 5775, 2415});
  Add("Label", "Label1", "Global Calendar", {240, 240, 1215, 255}, "Frame1");
  Add("TextBox", "Text1", "", {1560, 240, 3255, 285}, "Frame1").change = [this] {
    if (Editing()) prefGlobalCalendar = (*this)["Text1"].caption;
  };
  button("Command1", "Browse", {4920, 240, 735, 255}, &UCAdminPage::Command1_Click);
  button("Command4", "Upgrade", {360, 480, 855, 255}, &UCAdminPage::Command4_Click);
  Add("Label", "Label2", "Local Calendar", {240, 840, 1215, 255}, "Frame1");
  Add("TextBox", "Text2", "", {1560, 840, 3255, 285}, "Frame1").change = [this] {
    if (Editing()) prefLocalCalendar = (*this)["Text2"].caption;
  };
  button("Command3", "Browse", {4920, 840, 735, 255}, &UCAdminPage::Command3_Click);
  button("Command5", "Upgrade", {360, 1080, 855, 255}, &UCAdminPage::Command5_Click);
  check("Check1", "Do Not Prompt on Sync Delete", {3000, 1230, 2655, 300}, "Frame1", &UCAdminPage::prefPromptDelete);
  Add("Label", "Label3", "Refresh Rate (Minutes)", {120, 1455, 1695, 255}, "Frame1");
  Add("TextBox", "Text3", "", {1920, 1440, 615, 285}, "Frame1").change = [this] { Text3_Change(); };
  check("Check2", "Global Calendar Owner", {3000, 1545, 2655, 255}, "Frame1", &UCAdminPage::prefOwner);
  Add("Label", "Label7", "# Days To Process", {240, 1815, 1455, 255}, "Frame1");
  Add("TextBox", "Text6", "30", {1920, 1800, 615, 285}, "Frame1").change = [this] { Text6_Change(); };
  check("Check4", "Do Not Sync Accepted Appts", {3000, 1800, 2655, 255}, "Frame1", &UCAdminPage::prefSyncAccepted);
  check("Check5", "Show Owner in Appts Subject", {3000, 2040, 2655, 255}, "Frame1", &UCAdminPage::prefShowOwner);
  Add("Frame", "Frame4", "", {240, 2880, 5775, 615});
  Add("Label", "Label12", "Update Direction", {120, 120, 735, 375}, "Frame4");
  option("Option4", {1080, 240, 255, 255}, &UCAdminPage::prefUpdBoth);
  Add("Label", "Label13", "Both", {1320, 240, 495, 255}, "Frame4");
  option("Option5", {1920, 240, 255, 255}, &UCAdminPage::prefUpdGlobalOnly);
  Add("Label", "Label14", "Global -> Local Only", {2160, 240, 1575, 255}, "Frame4");
  option("Option6", {3840, 240, 255, 255}, &UCAdminPage::prefUpdLocalOnly);
  Add("Label", "Label15", "Local -> Global Only", {4080, 240, 1575, 255}, "Frame4");
  Add("Label", "lblVersion", "Version 2.2.0.5", {240, 3600, 2415, 255});
}

void UCAdminPage::InitProperties() {
  com::ErrObject ignored;  // without a site the page still edits, it only cannot report it
  ignored.Try([&] { RefreshControls(); });
}

com::Ref<outlook::PropertyPageSite> UCAdminPage::PageSite() const { return com::As<outlook::PropertyPageSite>(Parent()); }

void UCAdminPage::EnterFocus() {
  bLoading = false;
  RefreshControls();
}

// Setting a control raises its event as the user's edit would: a value that changes on
// refresh counts as an edit once the page has been entered.
void UCAdminPage::RefreshControls() {
  SetValue("CheckToolbar", prefEnableAcctToolbar);
  SetText("Text1", prefGlobalCalendar);
  SetText("Text2", prefLocalCalendar);
  SetText("Text3", std::to_string(prefRefreshRate));
  SetText("Text6", std::to_string(prefNoDays));
  if (prefUpdBoth == 1) SetValue("Option4", 1);
  else if (prefUpdGlobalOnly == 1) SetValue("Option5", 1);
  else if (prefUpdLocalOnly == 1) SetValue("Option6", 1);
  SetValue("Check1", prefPromptDelete);
  SetValue("Check2", prefOwner);
  SetValue("Check3", prefPromptErrors);
  SetValue("Check4", prefSyncAccepted);
  SetValue("Check5", prefShowOwner);
}

void UCAdminPage::MarkChanged() {
  com::Ref<outlook::PropertyPageSite> site = PageSite();
  if (site.IsNothing()) return;
  bDirty = true;
  site->OnStatusChange();
}

bool UCAdminPage::Editing() {
  if (bLoading) return false;
  MarkChanged();
  return true;
}

void UCAdminPage::CheckClicked(const char* name, int16_t UCAdminPage::*field) {
  if (Editing()) this->*field = static_cast<int16_t>((*this)[name].value);
}

void UCAdminPage::OptionClicked(const char* name, int16_t UCAdminPage::*field) {
  if (!Editing()) return;
  if ((*this)[name].value == 0) {
    this->*field = 0;
    return;
  }
  prefUpdBoth = prefUpdGlobalOnly = prefUpdLocalOnly = 0;
  this->*field = 1;
}

void UCAdminPage::Text3_Change() {
  if (!Editing()) return;
  const std::string& text = (*this)["Text3"].caption;
  prefRefreshRate = text.empty() ? int16_t{0} : com::Variant(std::trunc(com::Variant(text).ToDouble())).ToInteger();
}

void UCAdminPage::Text6_Change() {
  if (!Editing()) return;
  const std::string& text = (*this)["Text6"].caption;
  if (text.empty()) {
    prefNoDays = 1;
  } else if (std::trunc(com::Variant(text).ToDouble()) > 365) {
    MsgBox("# of Days Cannot Exceed 365 Days");
    prefNoDays = 365;  // the box keeps what was typed
  } else {
    prefNoDays = com::Variant(text).ToInteger();
  }
}

void UCAdminPage::Command1_Click() {
  if (!oAdminDLL) return;
  com::CallMethod(oAdminDLL, "BrowsePublicFolders");
  SetText("Text1", prefGlobalCalendar);
}

void UCAdminPage::Command3_Click() {
  if (!oAdminDLL) return;
  com::CallMethod(oAdminDLL, "BrowseLocalFolders");
  SetText("Text2", prefLocalCalendar);
}

void UCAdminPage::Command4_Click() {
  if (oAdminDLL) com::CallMethod(oAdminDLL, "UpgradeGlobalCalendar");
}

void UCAdminPage::Command5_Click() {
  if (oAdminDLL) com::CallMethod(oAdminDLL, "UpgradeLocalCalendar");
}

void UCAdminPage::Apply() {
  com::ErrObject err;
  err.Try([&] {
    bDirty = false;
    if (!oAdminDLL) return;
    com::CallMethod(oAdminDLL, "SetRegistryValues",
                    {prefEnableAcctToolbar, prefGlobalCalendar, prefLocalCalendar, prefRefreshRate, prefNoDays,
                     prefUpdBoth, prefUpdGlobalOnly, prefUpdLocalOnly, prefPromptDelete, prefOwner, prefPromptErrors,
                     prefSyncAccepted, prefShowOwner});
    com::CallMethod(oAdminDLL, "CheckRegistryValues");
  });
  if (err.Pending()) {
    MsgBox("Error in PropertyPage_Apply.  Err# " + std::to_string(err.Number()) +
           " and Err Description: " + err.Description());
  }
}

void UCAdminPage::GetPageInfo(std::string& HelpFile, int32_t& HelpContext) {
  HelpFile = "quorvane.hlp";
  HelpContext = 102;
}

int UCAdminPage::MsgBox(const std::string& prompt) {
  win32::Environment& env = win32::Env();
  env.loop.BeforeUserWait();
  return env.ui.MessageBox(prompt, kTitle, win32::vbOKOnly);
}

}  // namespace pagorin

extern "C" __attribute__((visibility("default"))) com::ComObject* ComCreateInstance(const char* progId) {
  if (!progId || !com::EqualsNoCase(progId, pagorin::kProgId)) return nullptr;
  // A new control, without saved properties, is initialised at once: its controls show the
  // fields as they are before the add-in fills them.
  auto* page = new pagorin::UCAdminPage();
  page->InitProperties();
  return page;
}
