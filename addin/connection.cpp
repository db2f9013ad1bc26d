// Connection to the host and the way back out.
#include "addin/quorvane_class.h"
#include "dialogs/appt_options_form.h"
#include "folders/folder_browser_form.h"
#include "print/print_cal_form.h"
#include "platform/com/text.h"

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
  if (Form2) {
    Form2->oAdminDLL.reset();
    Form2->oCalAdmCls.Release();
    Form2->Unload();
  }
  // The page holds the add-in only through oAdminDLL; cut that before letting go of the page.
  Err.Try([&] {
    if (oAdminPage) com::PutProperty(oAdminPage, "oAdminDLL", com::Variant::Nothing());
  });
  if (dlgApptOptions) {
    dlgApptOptions->Unload();
    dlgApptOptions.reset();
  }
  if (dlgPrintCal) {
    dlgPrintCal->Unload();
    dlgPrintCal.reset();
  }
  SetLocalItems(nullptr);
  SetGlobalItems(nullptr);
  oCalToolbar.Release();
  ReleaseButtons();
  oAdminPage.reset();
  explorerClose_.Reset();
  explorerFolderSwitch_.Reset();
  oExplorer.Release();
  nsPagesAdd_.Reset();
  oNS.Release();
  applicationPagesAdd_.Reset();
  oApplication.Release();
  oAdminPage.reset();
  oGlobalCalendar.Release();
  oLocalCalendar.Release();
}

void QuorvaneClass::OnConnection(const com::ObjectPtr& application, int, const com::ObjectPtr&, com::Args&) {
  Err.Try([&] {
    oApplication = com::As<outlook::Application>(application);
    applicationPagesAdd_ =
        oApplication->OnOptionsPagesAdd([this](const com::Ref<outlook::PropertyPages>& p) { oApplication_OptionsPagesAdd(p); });
  });
  Err.Try([&] {
    if (tcTimer) tcTimer->TimerCB = nullptr;
    tcTimer = std::make_shared<TimerClass>();
    tcTimer->TimerCB = [this] { tcTimer_TimerCB(); };
  });
  strVersion = "2.2.0.5";
  Err.Try([&] { strLogFolder = win32::GetWindowsDirectory(512) + "\\TEMP\\"; });
  fnCreateErrorLog();
  fnPostError("QZT On Connection at " + NowDateText() + "at " + NowTimeText() + "    Version: " + strVersion);
  ResetState();
  CheckRegistryValues();
}

void QuorvaneClass::OnStartupComplete(com::Args&) {
  com::ResumeNext run(Err, [this](const com::ErrObject& e) { PostErrorReport("OnStartupComplete()", e); });
  run([&] {
    oNS = oApplication->GetNamespace("MAPI");
    nsPagesAdd_ = oNS->OnOptionsPagesAdd(
        [this](const com::Ref<outlook::PropertyPages>& p, const Folder& f) { oNS_OptionsPagesAdd(p, f); });
  });
  if (oNS.IsNothing()) {
    fnPostError("oNS is Nothing");
    return;
  }
  run([&] {
    com::Ref<outlook::Folders> roots = oNS->Folders();
    if (roots->Count() > 0) oRootFolders = roots;
    else MsgBox("No Folders Detected for use with QZT!");
  });
  Err.Clear();

  // A calendar is opened by its stored identity, else found by its path.
  auto open = [&](const std::string& path, const std::string& entryId, const std::string& storeId, Folder& folder,
                  void (QuorvaneClass::*resolve)()) {
    if (com::Trim(path).empty()) return false;
    if (!com::Trim(entryId).empty()) run([&] { folder = oNS->GetFolderFromID(entryId, storeId); });
    else run([&] { (this->*resolve)(); });
    return true;
  };
  const bool globalSet =
      open(GlobalCalendar, GlobalCalEntryID, GStoreEntryID, oGlobalCalendar, &QuorvaneClass::ResolveGlobalCalendar);
  const bool localSet =
      open(LocalCalendar, LocalCalEntryID, LStoreEntryID, oLocalCalendar, &QuorvaneClass::ResolveLocalCalendar);

  if (globalSet && localSet) {
    if (!StartWithCalendars(run)) return;
  }
  StartTimer(run);
  run([&] {
    if (UpdBoth == 1) {
      iSyncDirection = 1;
      fnPostError("QZT updating in Both Directions");
    } else if (UpdGlobalOnly == 1) {
      iSyncDirection = 2;
      fnPostError("QZT updating in Global To Local Only Direction");
    } else if (UpdLocalOnly == 1) {
      iSyncDirection = 3;
      fnPostError("QZT updating in Local to Global Only Direction");
    }
  });
  bShuttingDown = false;
  bTimerBusy = false;
  run([&] { SetUpToolbar(true); });
  fnPostError("QZT Startup completed at " + NowDateText() + " at " + NowTimeText() + "    Version: " + strVersion);
}

bool QuorvaneClass::StartWithCalendars(com::ResumeNext& run) {
  auto missing = [&](const char* which, const std::string& entryId) {
    if (com::Trim(entryId).empty()) {
      MsgBox(std::string("You have the Orbitra COM Add-in loaded but you have no ") + which +
                 " Calendar defined.  You may wish to set the properties for the COM Add-in.",
             win32::vbInformation, "Orbitra COM Add-in");
    }
  };
  EnableToolbar(run);
  if (oGlobalCalendar.IsNothing()) {
    missing("Global", GlobalCalEntryID);
    fnPostError("oGlobalCalendar is Nothing");
    fnPostError("prefGlobalCalEntryId = [" + com::Trim(GlobalCalEntryID) + "]");
    return false;
  }
  run([&] { fnPostError("Setting oGlobalCalendar [" + oGlobalCalendar->Name() + "]"); });
  run([&] { SetGlobalItems(oGlobalCalendar->Items()); });
  if (oLocalCalendar.IsNothing()) {
    missing("Local", LocalCalEntryID);
    fnPostError("oLocalCalendar is Nothing");
    fnPostError("prefLocalCalEntryId = [" + com::Trim(LocalCalEntryID) + "]");
    return false;
  }
  run([&] { fnPostError("Setting oLocalCalendar [" + oLocalCalendar->Name() + "]"); });
  run([&] { SetLocalItems(oLocalCalendar->Items()); });

  // The field definitions, each only while its flag says it is missing. The global one waits
  // for the local ones to have gone well.
  bool lastOk = true;
  auto upgrade = [&](int16_t& flag, const Folder& folder, bool (QuorvaneClass::*check)(const Folder&),
                     bool (QuorvaneClass::*add)(const Folder&), const std::string& failure, bool logIt) {
    if (flag != 0) return;
    if ((this->*check)(folder)) {
      flag = 1;
      lastOk = true;
      return;
    }
    lastOk = (this->*add)(folder);
    if (!lastOk) return;
    if ((this->*check)(folder)) {
      flag = 1;
    } else {
      if (logIt) fnPostError(failure);
      MsgBox(failure);
      flag = 0;
      lastOk = false;
    }
  };
  upgrade(LUpgraded, oLocalCalendar, &QuorvaneClass::fnCheckOrigEntryIdExistsInFolder,
          &QuorvaneClass::fnAddOrigEntryIdToFolder, "Error Upgrading Local Calendar with OrigEntryId Field", true);
  upgrade(LUpgraded2, oLocalCalendar, &QuorvaneClass::fnCheckProcFlagExistsInFolder,
          &QuorvaneClass::fnAddProcFlagToFolder, "Error Upgrading Local Calendar with HasBeenProcessedQZT Field",
          false);
  if (lastOk) {
    upgrade(GUpgraded, oGlobalCalendar, &QuorvaneClass::fnCheckOrigEntryIdExistsInFolder,
            &QuorvaneClass::fnAddOrigEntryIdToFolder, "Error Upgrading Global Calendar with OrigEntryId Field",
            false);
  }
  run([&] { reg_.fnRegSetValue("LUpgraded", win32::REG_DWORD, LUpgraded); });
  run([&] { reg_.fnRegSetValue("LUpgraded2", win32::REG_DWORD, LUpgraded2); });
  run([&] { reg_.fnRegSetValue("GUpgraded", win32::REG_DWORD, GUpgraded); });
  run([&] {
    oExplorer = oApplication->ActiveExplorer();
    WatchExplorer();
  });
  return true;
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
  Err.Try([&] { tcTimer->SetEnable(false); });
  fnPostError("QZT Disconnected at " + NowDateText() + "at " + NowTimeText());
}

}  // namespace quorvane
