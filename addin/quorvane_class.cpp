#include "addin/quorvane_class.h"

#include "platform/win32/locale.h"

namespace quorvane {

const char* const kProgId = "QuorvaneDLL.QuorvaneClass";
const char* const kAppTitle = "QuorvaneDLL";

QuorvaneClass::QuorvaneClass() : QuorvaneClass(win32::Env()) {}

QuorvaneClass::QuorvaneClass(win32::Environment& env) : env_(env), reg_(env.registry, env.ui) { DeclareMembers(); }

QuorvaneClass::~QuorvaneClass() {
  // A timer still running must not call back into an add-in that is gone.
  if (tcTimer) {
    tcTimer->TimerCB = nullptr;
    com::ErrObject err;
    err.Try([&] { tcTimer->SetEnable(false); });
  }
}

// The members other libraries reach by name (the options page, the host).
void QuorvaneClass::DeclareMembers() {
  DeclareMethod("CheckRegistryValues", [this](com::Args&) {
    CheckRegistryValues();
    return com::Variant();
  });
  DeclareMethod("SetRegistryValues", [this](com::Args& a) {
    SetRegistryValues(com::ArgAt(a, 0), com::ArgAt(a, 1), com::ArgAt(a, 2), com::ArgAt(a, 3), com::ArgAt(a, 4),
                      com::ArgAt(a, 5), com::ArgAt(a, 6), com::ArgAt(a, 7), com::ArgAt(a, 8), com::ArgAt(a, 9),
                      com::ArgAt(a, 10), com::ArgAt(a, 11), com::ArgAt(a, 12));
    return com::Variant();
  });
  DeclareProperty("oNameSpace", [this] { return com::Variant(oNameSpace()); });
  DeclareProperty(
      "oSelectedAddress", [this] { return com::Variant(oSelectedAddress); },
      [this](const com::Variant& v) { oSelectedAddress = v.ToString(); });
  auto command = [this](const char* name, void (QuorvaneClass::*fn)()) {
    DeclareMethod(name, [this, fn](com::Args&) {
      (this->*fn)();
      return com::Variant();
    });
  };
  command("oProcessGlobalFolders", &QuorvaneClass::oProcessGlobalFolders);
  command("oProcessLocalFolders", &QuorvaneClass::oProcessLocalFolders);
  command("oCheckLocVsGlbDels", &QuorvaneClass::oCheckLocVsGlbDels);
  command("BrowsePublicFolders", &QuorvaneClass::BrowsePublicFolders);
  DeclareMethod("oSyncDeleteBHandler_Click", [this](com::Args&) {
    oSyncDeleteBHandler_Click();
    return com::Variant();
  });
  DeclareMethod("oPrintCalendarBHandler_Click", [this](com::Args&) {
    bool cancel = false;
    oPrintCalendarBHandler_Click(nullptr, cancel);
    return com::Variant();
  });
  DeclareMethod("oSetApptSettingsBHandler_Click", [this](com::Args&) {
    bool cancel = false;
    oSetApptSettingsBHandler_Click(nullptr, cancel);
    return com::Variant();
  });
  DeclareMethod("SetPromptDeleteRetVal", [this](com::Args& a) {
    SetPromptDeleteRetVal(com::ArgAt(a, 0).ToInteger());
    return com::Variant();
  });
  DeclareMethod("SetPromptDelete", [this](com::Args& a) {
    SetPromptDelete(com::ArgAt(a, 0).ToInteger());
    return com::Variant();
  });
  command("BrowseLocalFolders", &QuorvaneClass::BrowseLocalFolders);
  command("UpgradeGlobalCalendar", &QuorvaneClass::UpgradeGlobalCalendar);
  command("UpgradeLocalCalendar", &QuorvaneClass::UpgradeLocalCalendar);
  DeclareMethod("SetGlobalFolderPath", [this](com::Args& a) {
    SetGlobalFolderPath(com::ArgAt(a, 0).ToString());
    return com::Variant();
  });
  DeclareMethod("SetLocalFolderPath", [this](com::Args& a) {
    SetLocalFolderPath(com::ArgAt(a, 0).ToString());
    return com::Variant();
  });
  DeclareMethod("fnCreateErrorLog", [this](com::Args&) { return fnCreateErrorLog(); });
  DeclareMethod("fnPostError", [this](com::Args& a) { return fnPostError(com::ArgAt(a, 0).ToString()); });
}

int QuorvaneClass::MsgBox(const std::string& prompt, unsigned style, const std::string& title) {
  env_.loop.BeforeUserWait();
  return env_.ui.MessageBox(prompt, title.empty() ? kAppTitle : title, style);
}

void QuorvaneClass::ShowModal(forms::Form& form) {
  env_.loop.BeforeUserWait();
  env_.ui.ShowModal(form);
}

std::string QuorvaneClass::NowDateText() const {
  return win32::Locale::Current().Format(env_.clock.Now(), "Short Date");
}

std::string QuorvaneClass::NowTimeText() const {
  return win32::Locale::Current().Format(env_.clock.Now(), "Long Time");
}

}  // namespace quorvane
