// The sync markers: preparing folders, linking appointments and flagging them processed.
#include <gtest/gtest.h>

#include "platform/mapistore/faulty_store.h"
#include "tests/support/sync_fixture.h"

using namespace testing_support;
using mapistore::StoreOp;

namespace {

class MarkersTest : public SyncFixture {};

TEST_F(MarkersTest, EmptyFolderIsPreparedThroughATestAppointmentThatLeavesNoTrace) {
  EXPECT_TRUE(addin->fnAddOrigEntryIdToFolder(world.team));
  EXPECT_EQ(0, world.team->Items()->Count());
  EXPECT_EQ(0, world.calendar->Items()->Count()) << "nothing left in the default calendar either";
  EXPECT_TRUE(world.team->HasField("OrigEntryId"));

  // The local calendar is the default calendar itself: the move stays in the folder.
  EXPECT_TRUE(addin->fnCheckProcFlagExistsInFolder(world.calendar));
  EXPECT_EQ(0, world.calendar->Items()->Count());
  EXPECT_TRUE(world.calendar->HasField("HasBeenProcessedQZT"));
  EXPECT_EQ("", Log()) << "no trace while Debug Msgs is off";
}

TEST_F(MarkersTest, FolderWithItemsIsPreparedThroughItsFirstItem) {
  auto first = Global("First", At(3, 11, 9), At(3, 11, 10));
  auto second = Global("Second", At(3, 12, 9), At(3, 12, 10));
  EXPECT_FALSE(addin->fnCheckOrigEntryIdExistsInFolder(world.team));
  EXPECT_TRUE(addin->fnAddOrigEntryIdToFolder(world.team));
  EXPECT_EQ(first->EntryID(), Prop(first, "OrigEntryId")) << "it becomes an originating appointment";
  EXPECT_EQ("<none>", Prop(second, "OrigEntryId"));
  EXPECT_TRUE(addin->fnCheckOrigEntryIdExistsInFolder(world.team));

  auto local = Local("Local", At(3, 11), At(3, 11, 1));
  EXPECT_FALSE(addin->fnCheckProcFlagExistsInFolder(world.calendar));
  EXPECT_TRUE(addin->fnAddProcFlagToFolder(world.calendar));
  EXPECT_EQ("False", Prop(local, "HasBeenProcessedQZT"));
  EXPECT_EQ(1, world.calendar->Items()->Count());
}

TEST_F(MarkersTest, TheCheckLooksAtTheFirstItemOnly) {
  auto first = Global("First", At(3, 11, 9), At(3, 11, 10));
  auto second = Global("Second", At(3, 12, 9), At(3, 12, 10));
  SetProp(second, "OrigEntryId", second->EntryID());
  EXPECT_FALSE(addin->fnCheckOrigEntryIdExistsInFolder(world.team));
  EXPECT_EQ("<none>", Prop(first, "OrigEntryId")) << "a check writes nothing";
}

TEST_F(MarkersTest, AMarkerTheStoreRefusesIsReportedAndTheTestAppointmentStillGoes) {
  world.publicFolders->Fail(StoreOp::AddUserProperty);
  EXPECT_FALSE(addin->fnAddOrigEntryIdToFolder(world.team));
  EXPECT_EQ(0, world.team->Items()->Count());
  EXPECT_EQ(0, world.calendar->Items()->Count());
  EXPECT_EQ(
      "Error Occurred in fnAddOrigEntryId\r\n"
      "Error Detected [The operation failed.]\r\n"
      "fnAddOrigEntryIdToFolder - Failed to add OrigEntryId to Folder [Team]\r\n",
      Log());
}

TEST_F(MarkersTest, ATestAppointmentThatCannotBeFoundAgainStays) {
  world.publicFolders->Fail(StoreOp::Query);
  EXPECT_FALSE(addin->fnAddProcFlagToFolder(world.team));
  EXPECT_EQ(1, world.team->Items()->Count());
  EXPECT_EQ("QZT 2.2.0.5", world.team->Items()->GetFirst()->Subject());
  EXPECT_EQ(
      "An Error was encountered in fnGetTestMessageInFolder!\r\n"
      "Error No: (-2147467259)\r\n"
      "Error Desc: The operation failed.\r\n\r\n",
      Log());
}

TEST_F(MarkersTest, AFailedMoveOfTheTestAppointmentLeavesNothingInTheDefaultCalendar) {
  world.publicFolders->Fail(StoreOp::Move);
  EXPECT_FALSE(addin->fnCheckProcFlagExistsInFolder(world.team));
  EXPECT_EQ(0, world.calendar->Items()->Count());
  EXPECT_EQ(0, world.team->Items()->Count());
  EXPECT_EQ(0u, Log().find("An Error was encountered in fnCheckProcFlagExists!\r\n"));
}

TEST_F(MarkersTest, ProcessedFlagReadsTrueOnlyWhenItSaysTrue) {
  auto item = Local("Flagless", At(3, 11), At(3, 11, 1));
  EXPECT_FALSE(addin->fnGetHasBeenProcessed(item));
  EXPECT_EQ("True", Prop(item, "HasBeenProcessedQZT")) << "read as new once, flagged in the same call";
  EXPECT_TRUE(addin->fnGetHasBeenProcessed(Reload(item)));

  SetProp(item, "HasBeenProcessedQZT", "true");
  EXPECT_FALSE(addin->fnGetHasBeenProcessed(item)) << "the letter case counts";
  SetProp(item, "HasBeenProcessedQZT", "  True  ");
  EXPECT_TRUE(addin->fnGetHasBeenProcessed(item)) << "blanks around it do not";

  EXPECT_TRUE(addin->fnSetHasBeenProcessedTrue(item)) << "true when it already said True";
  EXPECT_FALSE(addin->fnSetHasBeenProcessedFalse(item));
  EXPECT_EQ("False", Prop(item, "HasBeenProcessedQZT"));
  EXPECT_TRUE(addin->fnSetHasBeenProcessedFalse(item));
}

TEST_F(MarkersTest, AFlagThatCannotBeAddedIsReportedWithTheAppointment) {
  auto item = Local("Refused", At(3, 11, 14), At(3, 11, 15));
  world.mailbox->Fail(StoreOp::AddUserProperty);
  EXPECT_FALSE(addin->fnSetHasBeenProcessedTrue(item));
  EXPECT_EQ(
      "Add HasBeenProcessedQZT Field Failed!\r\n"
      "Refused\r\n"
      "3/11/2026 2:00:00 PM\r\n"
      "An Error was encountered in fnSetHasBeenProcessedTrue!\r\n"
      "Error No: (-2147467259)\r\n"
      "Error Desc: The operation failed.\r\n\r\n"
      "Refused\r\n"
      "3/11/2026 2:00:00 PM\r\n",
      Log());
}

TEST_F(MarkersTest, BlankAndMissingLinksAndWhoMustWaitForTheOwner) {
  auto missing = Global("Missing", At(3, 11), At(3, 11, 1));
  auto blank = Global("Blank", At(3, 11), At(3, 11, 1));
  auto linked = Global("Linked", At(3, 11), At(3, 11, 1));
  SetProp(blank, "OrigEntryId", "   ");
  SetProp(linked, "OrigEntryId", linked->EntryID());

  addin->GlobalOwner = 1;
  EXPECT_TRUE(addin->fnCheckForBlankOrigEntryId(missing));
  EXPECT_FALSE(addin->bSkipUntilOwner) << "the owner links it";
  addin->GlobalOwner = 0;
  EXPECT_TRUE(addin->fnCheckForBlankOrigEntryId(missing));
  EXPECT_TRUE(addin->bSkipUntilOwner) << "others wait for the owner";
  EXPECT_TRUE(addin->fnCheckForBlankOrigEntryId(blank));
  EXPECT_FALSE(addin->bSkipUntilOwner) << "a blank link does not wait";
  EXPECT_FALSE(addin->fnCheckForBlankOrigEntryId(linked));

  EXPECT_TRUE(addin->fnCheckForLocalMaster(missing));
  EXPECT_TRUE(addin->fnCheckForLocalMaster(linked));
  SetProp(blank, "OrigEntryId", linked->EntryID());
  EXPECT_FALSE(addin->fnCheckForLocalMaster(blank));
}

TEST_F(MarkersTest, LinkingACopyStampsAnUnlinkedSourceFirst) {
  auto source = Local("Source", At(3, 11), At(3, 11, 1));
  auto copy = Global("Copy", At(3, 11), At(3, 11, 1));
  EXPECT_TRUE(addin->fnSetCopyOrigEntryId(copy, source));
  EXPECT_EQ(source->EntryID(), Prop(source, "OrigEntryId"));
  EXPECT_EQ(source->EntryID(), Prop(copy, "OrigEntryId"));

  auto other = Local("Other", At(3, 12), At(3, 12, 1));
  auto otherCopy = Global("Other copy", At(3, 12), At(3, 12, 1));
  world.publicFolders->Fail(StoreOp::AddUserProperty);
  EXPECT_FALSE(addin->fnSetCopyOrigEntryId(otherCopy, other));
  EXPECT_EQ(other->EntryID(), Prop(other, "OrigEntryId")) << "the source keeps its new link";
  EXPECT_EQ("<none>", Prop(otherCopy, "OrigEntryId"));
  EXPECT_NE(std::string::npos, Log().find("fnSetCopyOrigEntryId - Add OrigEntryId Field Failed!\r\n"));
}

TEST_F(MarkersTest, SettingALinkWritesItsExitLineAlways) {
  auto item = Local("Self", At(3, 11), At(3, 11, 1));
  EXPECT_TRUE(addin->fnSetOrigEntryId(item, item));
  EXPECT_EQ(item->EntryID(), Prop(item, "OrigEntryId"));
  EXPECT_EQ("fnSetOrigEntryId - Exiting Function!\r\n", Log());

  addin->PromptErrors = 1;
  auto next = Local("Traced", At(3, 11), At(3, 11, 1));
  world.mailbox->Fail(StoreOp::AddUserProperty);
  EXPECT_FALSE(addin->fnSetOrigEntryId(next, next));
  EXPECT_EQ(
      "fnSetOrigEntryId - Exiting Function!\r\n"
      "fnSetOrigEntryId - Start of Function\r\n"
      "fnSetOrigEntryId - Attempting to Add OrigEntryId\r\n"
      "An Error was encountered in fnSetOrigEntryId!\r\n"
      "Error No: (-2147467259)\r\n"
      "Error Desc: The operation failed.\r\n\r\n"
      "fnSetOrigEntryId - Add OrigEntryId Field Failed!\r\n"
      "fnSetOrigEntryId - Exiting Function\r\n",
      Log());
}

}  // namespace
