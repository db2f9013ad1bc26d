// Giving newly chosen calendars the marker fields, and remembering that they have them.
#include "addin/quorvane_class.h"

namespace quorvane {

namespace {
constexpr int16_t kTrue = -1;  // the add-in's True, stored as a DWORD with every bit set
const char* const kRestart = "  Please Close Outlook and then Reopen Outlook after 20 seconds to Upgrade this "
                             "Folder for QZT to work properly!";
}  // namespace

void QuorvaneClass::UpgradeGlobalCalendar() {
  com::ResumeNext run(Err, [this](const com::ErrObject& e) {
    fnPostError("Error (" + std::to_string(e.Number()) + ") Detected in UpgradeGlobalCalendar\r\nDesc: " +
                e.Description());
  });
  if (oGlobalCalendar.IsNothing()) {
    MsgBox("Global Calendar Not Detected by QZT");
  } else if (fnAddOrigEntryIdToFolder(oGlobalCalendar)) {
    if (fnCheckOrigEntryIdExistsInFolder(oGlobalCalendar)) {
      MsgBox("Global Calendar Upgraded with OrigEntryId Field");
      GUpgraded = 1;
    } else {
      MsgBox("Error Upgrading Global Calendar with OrigEntryId Field");
      GUpgraded = 0;
    }
  }
  run([&] { reg_.fnRegSetValue("GUpgraded", win32::REG_DWORD, GUpgraded); });
  run([&] { reg_.fnRegSetValue("LocalCalEntryID", win32::REG_SZ, LocalCalEntryID); });
  run([&] { reg_.fnRegSetValue("LocalCalendar", win32::REG_SZ, LocalCalendar); });
}

void QuorvaneClass::UpgradeLocalCalendar() {
  com::ResumeNext run(Err, [this](const com::ErrObject& e) {
    fnPostError("Error (" + std::to_string(e.Number()) + ") Detected in UpgradeLocalCalendar\r\nDesc: " +
                e.Description());
  });
  if (oLocalCalendar.IsNothing()) {
    MsgBox("Local Calendar Not Detected by QZT");
  } else {
    if (fnAddOrigEntryIdToFolder(oLocalCalendar)) {
      if (fnCheckOrigEntryIdExistsInFolder(oLocalCalendar)) {
        MsgBox("Local Calendar Upgraded with OrigEntryId Field");
        LUpgraded = 1;
      } else {
        MsgBox("Error Upgrading Local Calendar with OrigEntryId Field");
        LUpgraded = 0;
      }
    }
    if (fnCheckProcFlagExistsInFolder(oLocalCalendar) || fnAddProcFlagToFolder(oLocalCalendar)) {
      LUpgraded2 = kTrue;
    } else {
      LUpgraded2 = 0;
      MsgBox(std::string("Unable to Upgrade Local Calendar with HasBeenProcessedQZT Field.") + kRestart);
    }
  }
  run([&] { reg_.fnRegSetValue("LUpgraded", win32::REG_DWORD, LUpgraded); });
  run([&] { reg_.fnRegSetValue("GlobalCalEntryID", win32::REG_SZ, GlobalCalEntryID); });
  run([&] { reg_.fnRegSetValue("GlobalCalendar", win32::REG_SZ, GlobalCalendar); });
  run([&] { reg_.fnRegSetValue("LUpgraded2", win32::REG_DWORD, LUpgraded2); });
}

// Check, else add, else check once more: the flag is set true only once the folder has the
// field; a folder that cannot be prepared keeps it 0, so start-up tries again.
bool QuorvaneClass::UpgradeMarker(const Folder& folder, bool (QuorvaneClass::*check)(const Folder&),
                                  bool (QuorvaneClass::*add)(const Folder&), int16_t& flag,
                                  const std::string& failure) {
  if ((this->*check)(folder) || (this->*add)(folder)) {
    flag = kTrue;
    return true;
  }
  if (!(this->*check)(folder)) {
    flag = 0;
    MsgBox(failure + kRestart);
    return false;
  }
  return true;
}

void QuorvaneClass::SetGlobalFolderPath(const std::string& path) {
  com::ErrObject pending;  // the last failure of a skipped step, reported at the end
  GlobalCalendar = path;
  pending.Try([&] { ResolveGlobalCalendar(); });
  pending.Try([&] { com::PutProperty(oAdminPage, "prefGlobalCalendar", GlobalCalendar); });
  if (!oGlobalCalendar.IsNothing()) {
    bool passed = false;
    if (UpdBoth == 1 || UpdLocalOnly == 1) {
      passed = fnCheckOrigEntryIdExistsInFolder(oGlobalCalendar);
    } else if (UpdGlobalOnly == 1) {
      // A member who only receives from the Global Calendar never prepares it.
      passed = GlobalOwner == 1 ? fnCheckOrigEntryIdExistsInFolder(oGlobalCalendar) : true;
    }
    if (passed) {
      GUpgraded = kTrue;
    } else if (fnAddOrigEntryIdToFolder(oGlobalCalendar)) {
      GUpgraded = kTrue;
    } else if (!fnCheckOrigEntryIdExistsInFolder(oGlobalCalendar)) {
      GUpgraded = 0;
      MsgBox(std::string("Unable to Upgrade Global Calendar.") + kRestart);
    }
    pending.Try([&] { reg_.fnRegSetValue("GUpgraded", win32::REG_DWORD, GUpgraded); });
  }
  if (pending.Pending()) {
    fnPostError("Err <" + std::to_string(pending.Number()) + "> detected in SetGlobalFolderpath\r\nDesc: " +
                pending.Description());
  }
}

void QuorvaneClass::SetLocalFolderPath(const std::string& path) {
  com::ErrObject pending;
  LocalCalendar = path;
  pending.Try([&] { ResolveLocalCalendar(); });
  pending.Try([&] { com::PutProperty(oAdminPage, "prefLocalCalendar", LocalCalendar); });
  if (!oLocalCalendar.IsNothing()) {
    UpgradeMarker(oLocalCalendar, &QuorvaneClass::fnCheckOrigEntryIdExistsInFolder,
                  &QuorvaneClass::fnAddOrigEntryIdToFolder, LUpgraded,
                  "Unable to Upgrade Local Calendar with OrigEntryId Field.");
    pending.Try([&] { reg_.fnRegSetValue("LUpgraded", win32::REG_DWORD, LUpgraded); });
    UpgradeMarker(oLocalCalendar, &QuorvaneClass::fnCheckProcFlagExistsInFolder,
                  &QuorvaneClass::fnAddProcFlagToFolder, LUpgraded2,
                  "Unable to Upgrade Local Calendar with HasBeenProcessedQZT Field.");
    pending.Try([&] { reg_.fnRegSetValue("LUpgraded2", win32::REG_DWORD, LUpgraded2); });
  }
  if (pending.Pending()) {
    fnPostError("Err <" + std::to_string(pending.Number()) + "> detected in SetLocalFolderpath\r\nDesc: " +
                pending.Description());
  }
}

}  // namespace quorvane
