// Connection to the host and the way back out.
#include "addin/quorvane_class.h"

namespace quorvane {

void QuorvaneClass::ResetState() {
  CalToolbar = RefreshRate = 0;
  GlobalCalendar.clear(), GlobalCalEntryID.clear(), GStoreEntryID.clear();
  LocalCalendar.clear(), LocalCalEntryID.clear(), LStoreEntryID.clear();
  UpdBoth = UpdGlobalOnly = UpdLocalOnly = PromptDelete = GlobalOwner = PromptErrors = SyncAccepted = ShowOwner = 0;
  iSyncDirection = iPromptDeleteRetVal = 0;
  GUpgraded = LUpgraded = LUpgraded2 = TBUpgraded = 0;
  bBusy = bTimerBusy = bShuttingDown = false;
  bIgnoreItemAdd = true;
  lTickCount = 0;
}

void QuorvaneClass::ReleaseHostObjects() {
  // The page holds the add-in only through oAdminDLL; cut that before letting go of the page.
  Err.Try([&] {
    if (oAdminPage) com::PutProperty(oAdminPage, "oAdminDLL", com::Variant::Nothing());
  });
  SetLocalItems(nullptr);
  SetGlobalItems(nullptr);
  oAdminPage.reset();
  oExplorer.Release();
  oNS.Release();
  oApplication.Release();
  oGlobalCalendar.Release();
  oLocalCalendar.Release();
}

void QuorvaneClass::OnConnection(const com::ObjectPtr& application, int, const com::ObjectPtr&, com::Args&) {
  Err.Try([&] { oApplication = com::As<outlook::Application>(application); });
  strVersion = "2.2.0.5";
  Err.Try([&] { strLogFolder = win32::GetWindowsDirectory(512) + "\\TEMP\\"; });
  fnCreateErrorLog();
  fnPostError("QZT On Connection at " + NowDateText() + "at " + NowTimeText() + "    Version: " + strVersion);
  ResetState();
  CheckRegistryValues();
}

void QuorvaneClass::OnStartupComplete(com::Args&) {
  // Finding the calendars, the timer and the toolbar build on the calendar store.
}

void QuorvaneClass::OnAddInsUpdate(com::Args&) {}

void QuorvaneClass::OnBeginShutdown(com::Args&) {
  fnPostError("QZT Begin Shutdown at " + NowDateText() + "at " + NowTimeText() + "    Version: " + strVersion);
  bShuttingDown = true;
  PromptErrors = 0;  // nothing is traced while objects are released
  ReleaseHostObjects();
}

void QuorvaneClass::OnDisconnection(int, com::Args&) {
  bShuttingDown = true;
  PromptErrors = 0;
  ReleaseHostObjects();
  oRootFolders.Release();
  fnPostError("QZT Disconnected at " + NowDateText() + "at " + NowTimeText());
}

}  // namespace quorvane
