// Choosing a calendar by its path, and preparing it for synchronisation.
#include <gtest/gtest.h>

#include "addin/registry_cmds.h"
#include "platform/mapistore/faulty_store.h"
#include "platform/outlook/outlook_enums.h"
#include "tests/support/sync_fixture.h"

using namespace testing_support;
using mapistore::StoreOp;

namespace {

class FoldersTest : public SyncFixture {
 protected:
  FoldersTest() {
    Connect();  // writes the registry defaults
    addin->oApplication = world.app;
    addin->oNS = world.ns;
    addin->oGlobalCalendar.Release();
    addin->oLocalCalendar.Release();
    addin->UpdBoth = 1;
    addin->GlobalOwner = 1;
  }
  std::string Stored(const std::string& name) {
    win32::DWORD type = 0;
    win32::Bytes data;
    if (!StoredValue(name, &type, &data)) return "<none>";
    if (type == win32::REG_DWORD) return std::to_string(static_cast<int32_t>(win32::BytesToDword(data)));
    return std::string(data.begin(), data.end());
  }
  // A chain of folders named A, B, C ... below the mailbox's root.
  com::Ref<outlook::MAPIFolder> Chain(int depth) {
    auto folder = world.ns->Folders()->Item("Mailbox - Ann");
    for (int i = 0; i < depth; ++i) folder = folder->Folders()->Add(std::string(1, static_cast<char>('A' + i)), 1);
    return folder;
  }
  std::string Path(int elements) {
    std::string path = "Mailbox - Ann";
    for (int i = 0; i < elements; ++i) path += std::string("|") + static_cast<char>('A' + i);
    return path;
  }
};

TEST_F(FoldersTest, APathIsResolvedAndTheFolderRecordedByIdentity) {
  addin->GlobalCalendar = "Public Folders|All Public Folders|Team";
  addin->ResolveGlobalCalendar();
  ASSERT_FALSE(addin->oGlobalCalendar.IsNothing());
  EXPECT_EQ(world.team->EntryID(), addin->oGlobalCalendar->EntryID());
  EXPECT_EQ("Team", addin->GlobalCalendar) << "the setting keeps the folder's own name";
  EXPECT_EQ(world.team->EntryID(), Stored("GlobalCalEntryID"));
  EXPECT_EQ(world.team->StoreID(), Stored("GStoreEntryID"));
  EXPECT_EQ("Team", Stored("GlobalCalendar"));
  EXPECT_EQ("Public Folders", addin->strGlobalPath[0]);
  EXPECT_EQ("Team", addin->strGlobalPath[2]);

  addin->LocalCalendar = "Mailbox - Ann";
  addin->ResolveLocalCalendar();
  EXPECT_EQ("Mailbox - Ann", addin->oLocalCalendar->Name()) << "one element: a top-level folder";
}

TEST_F(FoldersTest, PathsDeeperThanTheLimitStopAtTheLimit) {
  auto deep = Chain(6);
  addin->LocalCalendar = Path(6);  // 7 elements: the local limit is 5
  addin->ResolveLocalCalendar();
  ASSERT_FALSE(addin->oLocalCalendar.IsNothing());
  EXPECT_EQ("D", addin->oLocalCalendar->Name());

  addin->GlobalCalendar = Path(6);
  addin->ResolveGlobalCalendar();
  EXPECT_EQ("F", addin->oGlobalCalendar->Name()) << "within the global limit of 26";
}

TEST_F(FoldersTest, APathThatDoesNotResolveChangesNoFolder) {
  addin->GlobalCalendar = "Public Folders|All Public Folders|Nowhere";
  addin->ResolveGlobalCalendar();
  EXPECT_TRUE(addin->oGlobalCalendar.IsNothing());
  EXPECT_EQ("Nowhere", addin->GlobalCalendar);
  EXPECT_EQ("", Stored("GlobalCalEntryID")) << "empty identifiers are written";

  addin->GlobalCalendar = "Public Folders||Team";  // an empty element is looked for too
  addin->ResolveGlobalCalendar();
  EXPECT_TRUE(addin->oGlobalCalendar.IsNothing());

  addin->LocalCalendar = "Mailbox - Ann|Calendar";
  addin->ResolveLocalCalendar();
  addin->LocalCalendar = "Mailbox - Ann|Missing";
  addin->ResolveLocalCalendar();
  EXPECT_EQ("Calendar", addin->oLocalCalendar->Name()) << "the folder held before stays";

  const std::string before = ReadFile(dir / "registry.reg");
  addin->LocalCalendar = "";
  addin->ResolveLocalCalendar();
  EXPECT_EQ(before, ReadFile(dir / "registry.reg")) << "an empty path changes nothing";
}

TEST_F(FoldersTest, BrowsingWithoutRootsSaysSoAndShowsNoBrowser) {
  addin->BrowseLocalFolders();
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("Personal Folders Root and Mailbox Folders Root Not Detected by QZT", ui.shown[0].text);
  EXPECT_TRUE(ui.formsShown.empty());
  addin->oRootFolders = world.ns->Folders();
  addin->BrowsePublicFolders();
  ASSERT_EQ(1u, ui.formsShown.size());
  EXPECT_EQ("Browse Global Folders | # of Levels To Load", ui.formsShown[0]);
}

TEST_F(FoldersTest, UpgradingAnEmptyGlobalCalendarConfirmsAndStoresOne) {
  addin->oGlobalCalendar = world.team;
  addin->LocalCalendar = "Calendar";
  addin->UpgradeGlobalCalendar();
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("Global Calendar Upgraded with OrigEntryId Field", ui.shown[0].text);
  EXPECT_EQ(1, addin->GUpgraded);
  EXPECT_EQ("1", Stored("GUpgraded"));
  EXPECT_EQ("Calendar", Stored("LocalCalendar")) << "the local path is saved too";
  EXPECT_EQ(0, world.team->Items()->Count());
}

TEST_F(FoldersTest, UpgradingWithoutACalendarOnlySaysSo) {
  addin->GUpgraded = 7;
  addin->UpgradeGlobalCalendar();
  ASSERT_EQ(1u, ui.shown.size());
  EXPECT_EQ("Global Calendar Not Detected by QZT", ui.shown[0].text);
  EXPECT_EQ("7", Stored("GUpgraded")) << "written unchanged";
}

TEST_F(FoldersTest, UpgradingALocalCalendarWhoseFirstItemIsLinked) {
  auto first = Local("Linked", At(3, 11), At(3, 11, 1));
  SetProp(first, "OrigEntryId", first->EntryID());
  addin->oLocalCalendar = world.calendar;
  addin->UpgradeLocalCalendar();
  EXPECT_EQ(1, addin->LUpgraded);
  EXPECT_EQ(-1, addin->LUpgraded2) << "true, all bits set";
  EXPECT_EQ("-1", Stored("LUpgraded2"));
  EXPECT_EQ("False", Prop(first, "HasBeenProcessedQZT"));
  EXPECT_EQ("Local Calendar Upgraded with OrigEntryId Field", ui.shown.at(0).text);
}

TEST_F(FoldersTest, ANonOwnerWhoOnlyReceivesNeverPreparesTheGlobalCalendar) {
  addin->UpdBoth = 0;
  addin->UpdGlobalOnly = 1;
  addin->GlobalOwner = 0;
  addin->SetGlobalFolderPath("Public Folders|All Public Folders|Team");
  EXPECT_EQ(-1, addin->GUpgraded);
  EXPECT_FALSE(world.team->HasField("OrigEntryId"));
  EXPECT_EQ("-1", Stored("GUpgraded"));
}

TEST_F(FoldersTest, SettingAPathWithTheOptionsPageClosedReportsItAtTheEnd) {
  addin->SetGlobalFolderPath("Public Folders|All Public Folders|Team");
  EXPECT_TRUE(world.team->HasField("OrigEntryId"));
  EXPECT_EQ(-1, addin->GUpgraded);
  EXPECT_NE(std::string::npos, Log().find("Err <91> detected in SetGlobalFolderpath\r\n"
                                          "Desc: Object variable or With block variable not set\r\n"));

  const std::string before = Stored("LUpgraded");
  addin->SetLocalFolderPath("Mailbox - Ann|Nowhere");
  EXPECT_EQ(before, Stored("LUpgraded")) << "nothing upgraded, no flag written";
}

TEST_F(FoldersTest, AFolderThatCannotBePreparedKeepsItsFlagAtZero) {
  world.mailbox->Fail(StoreOp::AddUserProperty, -1);
  addin->LUpgraded = 5;
  addin->SetLocalFolderPath("Mailbox - Ann|Calendar");
  EXPECT_EQ(0, addin->LUpgraded);
  EXPECT_EQ(0, addin->LUpgraded2);
  ASSERT_EQ(2u, ui.shown.size());
  EXPECT_EQ("Unable to Upgrade Local Calendar with OrigEntryId Field.  Please Close Outlook and then Reopen Outlook "
            "after 20 seconds to Upgrade this Folder for QZT to work properly!",
            ui.shown[0].text);
}

}  // namespace
