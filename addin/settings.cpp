// Loading the settings from the registry, saving them, and handing them to the options page.
#include "addin/quorvane_class.h"
#include "platform/com/text.h"

namespace quorvane {

using win32::DWORD;
using win32::REG_DWORD;
using win32::REG_SZ;

namespace {

struct Setting {
  const char* name;
  DWORD type;
  com::Variant defaultValue;
  int16_t QuorvaneClass::*number;
  std::string QuorvaneClass::*text;
};

Setting Number(const char* name, int32_t def, int16_t QuorvaneClass::*field) {
  return Setting{name, REG_DWORD, com::Variant(def), field, nullptr};
}
Setting Text(const char* name, const char* def, std::string QuorvaneClass::*field) {
  return Setting{name, REG_SZ, com::Variant(def), nullptr, field};
}

using Q = QuorvaneClass;

// In load order, split where the load does extra work: day migration after NoOfDays, the
// trimming and the log lines after UpdLocalOnly.
const std::vector<Setting>& FirstSettings() {
  static const std::vector<Setting> s = {
      Number("CalToolbar", 0, &Q::CalToolbar),      Number("PromptDelete", 0, &Q::PromptDelete),
      Number("SyncAccepted", 0, &Q::SyncAccepted),  Number("ShowOwner", 0, &Q::ShowOwner),
      Number("PromptErrors", 0, &Q::PromptErrors),  Number("GlobalOwner", 1, &Q::GlobalOwner),
      Text("GlobalCalendar", "GlobalCalendar", &Q::GlobalCalendar),
      Text("GlobalCalEntryID", "", &Q::GlobalCalEntryID),
      Text("GStoreEntryID", "", &Q::GStoreEntryID),
      Text("LocalCalendar", "LocalCalendar", &Q::LocalCalendar),
      Text("LocalCalEntryID", "", &Q::LocalCalEntryID),
      Text("LStoreEntryID", "", &Q::LStoreEntryID),
      Number("RefreshRate", 30, &Q::RefreshRate),   Number("NoOfDays", 30, &Q::NoOfDays),
  };
  return s;
}

const std::vector<Setting>& DirectionSettings() {
  static const std::vector<Setting> s = {
      Number("UpdBoth", 1, &Q::UpdBoth),
      Number("UpdGlobalOnly", 0, &Q::UpdGlobalOnly),
      Number("UpdLocalOnly", 0, &Q::UpdLocalOnly),
  };
  return s;
}

const std::vector<Setting>& UpgradeSettings() {
  static const std::vector<Setting> s = {
      Number("GUpgraded", 0, &Q::GUpgraded),
      Number("LUpgraded", 0, &Q::LUpgraded),
      Number("LUpgraded2", 0, &Q::LUpgraded2),
      Number("TBUpgraded", 0, &Q::TBUpgraded),
  };
  return s;
}

}  // namespace

void QuorvaneClass::CheckRegistryValues() {
  // Reads one group; false when a missing value's default could not be written, which ends
  // the load. A default written now takes effect in memory only at the next load.
  auto load = [this](const std::vector<Setting>& group) {
    for (const Setting& s : group) {
      com::Variant value;
      bool read = false;
      Err.Try([&] { read = reg_.fnRegGetValue(s.name, s.type, value, false); });
      if (read) {
        Err.Try([&] {
          if (s.number) this->*s.number = value.ToInteger();
          else this->*s.text = value.ToString();
        });
        continue;
      }
      bool created = false;
      Err.Try([&] { created = reg_.fnRegCreateValue(s.type, s.name, s.defaultValue); });
      if (!created) {
        MsgBox("There was an error in the Orbitra application. Please contact your administrator.",
               win32::vbExclamation, "Orbitra");
        return false;
      }
    }
    return true;
  };

  if (!load(FirstSettings())) return;

  // Older versions kept the day count as three switches; the last one set wins.
  const std::pair<const char*, int16_t> oldDays[] = {{"30Days", 30}, {"60Days", 60}, {"90Days", 90}};
  for (const auto& [name, days] : oldDays) {
    com::Variant value;
    bool read = false;
    Err.Try([&] { read = reg_.fnRegGetValue(name, REG_DWORD, value, false); });
    if (!read) continue;
    Err.Try([&] {
      if (value == com::Variant(int32_t{1})) NoOfDays = days;
    });
    Err.Try([&] { reg_.fnRegDeleteValue(name); });
  }
  if (NoOfDays < 1 || NoOfDays > 365) NoOfDays = 30;

  if (!load(DirectionSettings())) return;

  for (std::string* text : {&GlobalCalendar, &LocalCalendar, &GlobalCalEntryID, &GStoreEntryID, &LocalCalEntryID,
                            &LStoreEntryID}) {
    *text = com::Trim(*text);
  }
  fnPostError("Using GlobalCalEntryId = [" + GlobalCalEntryID + "]");
  fnPostError("Using GlobalStoreEntryId = [" + GStoreEntryID + "]");
  fnPostError("Using LocalCalEntryId = [" + LocalCalEntryID + "]");
  fnPostError("Using LocalStoreEntryId = [" + LStoreEntryID + "]");

  if (!load(UpgradeSettings())) return;

  bIgnoreItemAdd = true;
  bShuttingDown = false;
}

void QuorvaneClass::SetRegistryValues(const com::Variant& vCalToolbar, const com::Variant& vGlobalCalendar,
                                      const com::Variant& vLocalCalendar, const com::Variant& vRefreshRate,
                                      const com::Variant& vNoOfDays, const com::Variant& vUpdBoth,
                                      const com::Variant& vUpdGlobalOnly, const com::Variant& vUpdLocalOnly,
                                      const com::Variant& vPromptDelete, const com::Variant& vGlobalOwner,
                                      const com::Variant& vPromptErrors, const com::Variant& vSyncAccepted,
                                      const com::Variant& vShowOwner) {
  const std::pair<const char*, const com::Variant*> dwords1[] = {{"CalToolbar", &vCalToolbar},
                                                                 {"PromptDelete", &vPromptDelete}};
  const std::pair<const char*, const com::Variant*> texts[] = {{"GlobalCalendar", &vGlobalCalendar},
                                                               {"LocalCalendar", &vLocalCalendar}};
  const std::pair<const char*, const com::Variant*> dwords2[] = {
      {"RefreshRate", &vRefreshRate},   {"NoOfDays", &vNoOfDays},       {"UpdBoth", &vUpdBoth},
      {"UpdGlobalOnly", &vUpdGlobalOnly}, {"UpdLocalOnly", &vUpdLocalOnly}, {"GlobalOwner", &vGlobalOwner},
      {"PromptErrors", &vPromptErrors}, {"SyncAccepted", &vSyncAccepted}, {"ShowOwner", &vShowOwner}};
  for (const auto& [name, value] : dwords1) Err.Try([&] { reg_.fnRegSetValue(name, REG_DWORD, *value); });
  for (const auto& [name, value] : texts) Err.Try([&] { reg_.fnRegSetValue(name, REG_SZ, *value); });
  for (const auto& [name, value] : dwords2) Err.Try([&] { reg_.fnRegSetValue(name, REG_DWORD, *value); });

  // Toolbar, refresh rate, paths and directions take effect at the next load or start-up.
  Err.Try([&] { PromptDelete = vPromptDelete.ToInteger(); });
  Err.Try([&] { NoOfDays = vNoOfDays.ToInteger(); });
  Err.Try([&] { GlobalOwner = vGlobalOwner.ToInteger(); });
  Err.Try([&] { PromptErrors = vPromptErrors.ToInteger(); });
  Err.Try([&] { SyncAccepted = vSyncAccepted.ToInteger(); });
  Err.Try([&] { ShowOwner = vShowOwner.ToInteger(); });
  const com::Variant one(int16_t{1});
  if (vUpdBoth == one) iSyncDirection = 1;
  else if (vUpdGlobalOnly == one) iSyncDirection = 2;
  else if (vUpdLocalOnly == one) iSyncDirection = 3;
}

void QuorvaneClass::fnSetPagePrefs() {
  const std::pair<const char*, com::Variant> prefs[] = {
      {"prefEnableAcctToolbar", CalToolbar}, {"prefRefreshRate", RefreshRate},
      {"prefGlobalCalendar", GlobalCalendar}, {"prefLocalCalendar", LocalCalendar},
      {"prefNoDays", NoOfDays},               {"prefUpdBoth", UpdBoth},
      {"prefUpdGlobalOnly", UpdGlobalOnly},   {"prefUpdLocalOnly", UpdLocalOnly},
      {"prefPromptDelete", PromptDelete},     {"prefOwner", GlobalOwner},
      {"prefPromptErrors", PromptErrors},     {"prefSyncAccepted", SyncAccepted},
      {"prefShowOwner", ShowOwner}};
  for (const auto& [name, value] : prefs) Err.Try([&] { com::PutProperty(oAdminPage, name, value); });
}

}  // namespace quorvane
