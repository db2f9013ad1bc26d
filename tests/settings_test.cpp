// Loading, saving and handing over the add-in's settings.
#include <gtest/gtest.h>

#include "addin/registry_cmds.h"
#include "platform/com/class_registry.h"
#include "tests/support/addin_fixture.h"

using namespace testing_support;
using win32::Bytes;
using win32::DWORD;

namespace {

class SettingsTest : public AddinFixture {
 protected:
  uint32_t Dword(const std::string& name) {
    DWORD type = 0;
    Bytes data;
    EXPECT_TRUE(StoredValue(name, &type, &data)) << name;
    EXPECT_EQ(win32::REG_DWORD, type) << name;
    return win32::BytesToDword(data);
  }
  std::string Text(const std::string& name) {
    DWORD type = 0;
    Bytes data;
    EXPECT_TRUE(StoredValue(name, &type, &data)) << name;
    EXPECT_EQ(win32::REG_SZ, type) << name;
    return std::string(data.begin(), data.end());
  }
  bool Exists(const std::string& name) { return StoredValue(name, nullptr, nullptr); }
};

// Fails every write of one value name, to stand for a registry that refuses it.
class RefusingRegistry : public win32::RegistryWrapper {
 public:
  RefusingRegistry(win32::Registry& target, std::string refused) : RegistryWrapper(target), refused_(refused) {}
  long RegSetValueEx(win32::HKEY key, const std::string& name, DWORD type, const Bytes& data) override {
    if (name == refused_) return win32::ERROR_ACCESS_DENIED;
    return RegistryWrapper::RegSetValueEx(key, name, type, data);
  }

 private:
  std::string refused_;
};

TEST_F(SettingsTest, FirstStartWritesEveryDefaultButKeepsConnectionValuesInMemory) {
  Connect();
  const std::pair<const char*, uint32_t> dwords[] = {
      {"CalToolbar", 0}, {"PromptDelete", 0},  {"SyncAccepted", 0},  {"ShowOwner", 0},    {"PromptErrors", 0},
      {"GlobalOwner", 1}, {"RefreshRate", 30}, {"NoOfDays", 30},     {"UpdBoth", 1},      {"UpdGlobalOnly", 0},
      {"UpdLocalOnly", 0}, {"GUpgraded", 0},   {"LUpgraded", 0},     {"LUpgraded2", 0},   {"TBUpgraded", 0}};
  for (const auto& [name, value] : dwords) EXPECT_EQ(value, Dword(name)) << name;
  EXPECT_EQ("GlobalCalendar", Text("GlobalCalendar"));
  EXPECT_EQ("LocalCalendar", Text("LocalCalendar"));
  for (const char* name : {"GlobalCalEntryID", "GStoreEntryID", "LocalCalEntryID", "LStoreEntryID"}) {
    EXPECT_EQ("", Text(name)) << name;
  }
  EXPECT_EQ(15u + 6u, std::size(dwords) + 6u);

  // Defaults take effect in memory only at the next load; the range rule still applies.
  EXPECT_EQ(0, addin->RefreshRate);
  EXPECT_EQ(0, addin->GlobalOwner);
  EXPECT_EQ(0, addin->UpdBoth);
  EXPECT_EQ("", addin->GlobalCalendar);
  EXPECT_EQ(30, addin->NoOfDays);
  EXPECT_TRUE(addin->bIgnoreItemAdd);
  EXPECT_FALSE(addin->bShuttingDown);
  EXPECT_TRUE(ui.shown.empty());

  addin->CheckRegistryValues();
  EXPECT_EQ(30, addin->RefreshRate);
  EXPECT_EQ(1, addin->GlobalOwner);
  EXPECT_EQ(1, addin->UpdBoth);
  EXPECT_EQ("GlobalCalendar", addin->GlobalCalendar);
  EXPECT_EQ("LocalCalendar", addin->LocalCalendar);
}

TEST_F(SettingsTest, ConnectionLogHasExactLinesEndedByCrLf) {
  StoreText("GlobalCalEntryID", "G1");
  StoreText("LStoreEntryID", "S2");
  Connect();
  EXPECT_EQ(
      "QZT Started on 3/10/2026 at 9:30:00 AM    Version: 2.2.0.5\r\n"
      "QZT On Connection at 3/10/2026at 9:30:00 AM    Version: 2.2.0.5\r\n"
      "Using GlobalCalEntryId = [G1]\r\n"
      "Using GlobalStoreEntryId = []\r\n"
      "Using LocalCalEntryId = []\r\n"
      "Using LocalStoreEntryId = [S2]\r\n",
      Log());
}

TEST_F(SettingsTest, OldDaySwitchesMigrateLastSetWinsAndAreDeleted) {
  Connect();  // writes the defaults
  StoreDword("NoOfDays", 45);
  StoreDword("60Days", 1);
  StoreDword("90Days", 0);
  addin->CheckRegistryValues();
  EXPECT_EQ(60, addin->NoOfDays);
  EXPECT_FALSE(Exists("60Days"));
  EXPECT_FALSE(Exists("90Days"));
  EXPECT_EQ(45u, Dword("NoOfDays"));  // memory only
  EXPECT_TRUE(ui.shown.empty()) << "an absent 30Days is left alone";

  StoreDword("30Days", 1);
  StoreDword("90Days", 1);
  addin->CheckRegistryValues();
  EXPECT_EQ(90, addin->NoOfDays);
  EXPECT_FALSE(Exists("30Days"));
}

TEST_F(SettingsTest, DayCountOutsideOneTo365UsesThirtyInMemoryOnly) {
  Connect();
  for (uint32_t stored : {0u, 400u}) {
    StoreDword("NoOfDays", stored);
    addin->CheckRegistryValues();
    EXPECT_EQ(30, addin->NoOfDays);
    EXPECT_EQ(stored, Dword("NoOfDays"));
  }
  StoreDword("NoOfDays", 365);
  addin->CheckRegistryValues();
  EXPECT_EQ(365, addin->NoOfDays);
}

TEST_F(SettingsTest, TextsAreTrimmedInMemoryOnly) {
  Connect();
  StoreText("GlobalCalEntryID", "  00AB  ");
  StoreText("LocalCalendar", " Mailbox - Ann|Calendar ");
  addin->CheckRegistryValues();
  EXPECT_EQ("00AB", addin->GlobalCalEntryID);
  EXPECT_EQ("Mailbox - Ann|Calendar", addin->LocalCalendar);
  EXPECT_EQ("  00AB  ", Text("GlobalCalEntryID"));
  EXPECT_NE(std::string::npos, Log().find("Using GlobalCalEntryId = [00AB]\r\n"));
}

TEST_F(SettingsTest, ValueOfAnotherTypeReadsAsOne) {
  Connect();
  Store("CalToolbar", win32::REG_BINARY, Bytes{0x07, 0x00});
  Store("PromptDelete", 7 /* REG_MULTI_SZ */, Bytes{'x', 0, 0});
  addin->CheckRegistryValues();
  EXPECT_EQ(1, addin->CalToolbar);
  EXPECT_EQ(1, addin->PromptDelete);
}

TEST_F(SettingsTest, FailedDefaultWriteShowsBoxesAndEndsTheLoad) {
  RefusingRegistry refusing(fileRegistry, "NoOfDays");
  UseRegistry(refusing);
  addin->bShuttingDown = true;
  addin->CheckRegistryValues();

  ASSERT_EQ(2u, ui.shown.size());
  EXPECT_EQ("Error Creating Registry Key Entry:\r\nKey=NoOfDays\r\nDLL Returned=5", ui.shown[0].text);
  EXPECT_EQ("QuorvaneDLL", ui.shown[0].title);
  EXPECT_EQ(unsigned{win32::vbExclamation}, ui.shown[0].style);
  EXPECT_EQ("There was an error in the Orbitra application. Please contact your administrator.", ui.shown[1].text);
  EXPECT_EQ("Orbitra", ui.shown[1].title);
  EXPECT_TRUE(Exists("RefreshRate"));
  EXPECT_FALSE(Exists("UpdBoth")) << "the load stops at the failure";
  EXPECT_TRUE(addin->bShuttingDown) << "the closing flags are not reached";
  EXPECT_EQ("", Log()) << "nor the log lines";
}

TEST_F(SettingsTest, SetRegistryValuesWritesAllButChangesOnlyTheListedFields) {
  Connect();
  addin->CheckRegistryValues();
  addin->iSyncDirection = 1;
  using V = com::Variant;
  addin->SetRegistryValues(V(int16_t{1}), V("Public Folders|Team"), V("Mailbox - Ann|Calendar"), V(int16_t{5}),
                           V(int16_t{60}), V(int16_t{0}), V(int16_t{1}), V(int16_t{0}), V(int16_t{1}),
                           V(int16_t{0}), V(int16_t{1}), V(int16_t{1}), V(int16_t{1}));
  EXPECT_EQ(1u, Dword("CalToolbar"));
  EXPECT_EQ("Public Folders|Team", Text("GlobalCalendar"));
  EXPECT_EQ(5u, Dword("RefreshRate"));
  EXPECT_EQ(1u, Dword("UpdGlobalOnly"));
  EXPECT_EQ(1u, Dword("ShowOwner"));

  EXPECT_EQ(0, addin->CalToolbar);
  EXPECT_EQ(30, addin->RefreshRate);
  EXPECT_EQ("GlobalCalendar", addin->GlobalCalendar);
  EXPECT_EQ(1, addin->UpdBoth);
  EXPECT_EQ(0, addin->UpdGlobalOnly);
  EXPECT_EQ(1, addin->PromptDelete);
  EXPECT_EQ(60, addin->NoOfDays);
  EXPECT_EQ(0, addin->GlobalOwner);
  EXPECT_EQ(1, addin->PromptErrors);
  EXPECT_EQ(2, addin->iSyncDirection);

  addin->SetRegistryValues(V(int16_t{0}), V(""), V(""), V(int16_t{5}), V(int16_t{60}), V(int16_t{0}), V(int16_t{0}),
                           V(int16_t{0}), V(int16_t{0}), V(int16_t{0}), V(int16_t{0}), V(int16_t{0}), V(int16_t{0}));
  EXPECT_EQ(2, addin->iSyncDirection) << "no direction set keeps the previous one";
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(SettingsTest, SetRegistryValuesWithoutKeyShowsEachFailureAndGoesOn) {
  using V = com::Variant;
  addin->SetRegistryValues(V(int16_t{1}), V("G"), V("L"), V(int16_t{5}), V(int16_t{60}), V(int16_t{1}),
                           V(int16_t{0}), V(int16_t{0}), V(int16_t{1}), V(int16_t{1}), V(int16_t{0}), V(int16_t{0}),
                           V(int16_t{0}));
  ASSERT_EQ(13u, ui.shown.size());
  EXPECT_EQ(std::string("Error Opening Registry Key Entry:\r\nKey/Path=") + quorvane::kConfigKey +
                "\r\nDLL Returned=2",
            ui.shown[0].text);
  EXPECT_EQ(1, addin->PromptDelete);
  EXPECT_EQ(1, addin->iSyncDirection);
}

TEST_F(SettingsTest, PagePrefsAreSetByNameOnThePageFromItsLibrary) {
  com::ClassRegistry::Instance().RegisterLibrary("Pagorin.UCAdminPage", QUORVANE_BIN_DIR "/Pagorin.so");
  Connect();
  addin->CheckRegistryValues();
  addin->oAdminPage = com::CreateObject("Pagorin.UCAdminPage");
  addin->fnSetPagePrefs();
  EXPECT_EQ(30, com::GetProperty(addin->oAdminPage, "prefRefreshRate").ToInteger());
  EXPECT_EQ("GlobalCalendar", com::GetProperty(addin->oAdminPage, "prefGlobalCalendar").ToString());
  EXPECT_EQ(1, com::GetProperty(addin->oAdminPage, "prefOwner").ToInteger());
  EXPECT_EQ(1, com::GetProperty(addin->oAdminPage, "prefUpdBoth").ToInteger());
  EXPECT_EQ(30, com::GetProperty(addin->oAdminPage, "prefNoDays").ToInteger());
}

TEST_F(SettingsTest, LayerBoxesNameTheFailure) {
  quorvane::RegistryCmds reg(fileRegistry, ui);
  com::Variant v("untouched");
  EXPECT_FALSE(reg.fnRegGetValue("CalToolbar", win32::REG_DWORD, v, false));
  EXPECT_TRUE(ui.shown.empty()) << "silent unless asked";
  EXPECT_FALSE(reg.fnRegGetValue("CalToolbar", win32::REG_DWORD, v, true));
  EXPECT_EQ("untouched", v.ToString());

  ASSERT_TRUE(reg.fnRegCreateValue(win32::REG_DWORD, "CalToolbar", com::Variant(int16_t{-1})));
  EXPECT_EQ(0xFFFFFFFFu, Dword("CalToolbar")) << "true is written as all bits set";
  EXPECT_TRUE(reg.fnRegCreateValue(3, "Other", com::Variant(int16_t{1})));
  EXPECT_FALSE(Exists("Other")) << "other types write nothing yet succeed";
  EXPECT_FALSE(reg.fnRegGetValue("Missing", win32::REG_SZ, v, true));
  EXPECT_FALSE(reg.fnRegDeleteValue("Missing"));

  ASSERT_EQ(3u, ui.shown.size());
  EXPECT_EQ(std::string("Error Opening Registry Key Entry:\r\nKey/Path=") + quorvane::kConfigKey +
                "\r\nDLL Returned=2",
            ui.shown[0].text);
  EXPECT_EQ("Error Retrieving Registry Key Entry:\r\nKey=Missing\r\nDLL Returned=2", ui.shown[1].text);
  EXPECT_EQ(std::string("Error Deleting Registry Key Entry:\r\nKey=") + quorvane::kConfigKey +
                "\\Missing\r\nDLL Returned=2",
            ui.shown[2].text);
}

TEST_F(SettingsTest, DamagedRegistryFileIsReportedAndLeftAlone) {
  const std::string damaged = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n\"A\"=dword:zz\n";
  WriteFile(dir / "registry.reg", damaged);
  Connect();
  ASSERT_EQ(2u, ui.shown.size());
  EXPECT_EQ("Error Creating Registry Key Entry:\r\nKey=\r\nDLL Returned=1009", ui.shown[0].text);
  EXPECT_EQ(damaged, ReadFile(dir / "registry.reg"));
  EXPECT_NE(std::string::npos, fileRegistry.LastErrorText().find("line 4"));
}

}  // namespace
