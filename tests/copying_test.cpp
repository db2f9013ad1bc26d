// Copying into the other calendar, replacing a counterpart, and stamping new arrivals.
#include <gtest/gtest.h>

#include "platform/mapistore/faulty_store.h"
#include "platform/outlook/outlook_enums.h"
#include "tests/support/sync_fixture.h"

using namespace testing_support;
using mapistore::StoreOp;
using Strings = std::vector<std::string>;

namespace {

class CopyingTest : public SyncFixture {};

TEST_F(CopyingTest, ACopyCarriesTheLinkIntoTheOtherCalendar) {
  auto item = Local("Workshop", At(3, 12, 9), At(3, 12, 12));
  SetProp(item, "OrigEntryId", item->EntryID());
  addin->bIgnoreItemAdd = true;
  EXPECT_TRUE(addin->CopyToFolder(item, world.team));
  EXPECT_FALSE(addin->bIgnoreItemAdd);
  auto copy = world.team->Items()->GetFirst();
  ASSERT_FALSE(copy.IsNothing());
  EXPECT_EQ(item->EntryID(), Prop(copy, "OrigEntryId"));
  EXPECT_EQ(Strings{"Workshop"}, Subjects(world.calendar));
}

TEST_F(CopyingTest, ACopyWhoseMoveFailsLeavesNothingBehind) {
  auto item = Local("Workshop", At(3, 12, 9), At(3, 12, 12));
  world.publicFolders->Fail(StoreOp::Move);
  EXPECT_FALSE(addin->CopyToFolder(item, world.team));
  EXPECT_TRUE(addin->Err.Pending()) << "the pass reports it";
  EXPECT_EQ(Strings{"Workshop"}, Subjects(world.calendar));
  EXPECT_EQ(Strings{}, Subjects(world.team));
}

TEST_F(CopyingTest, AReplacementTakesTheCounterpartsPlace) {
  auto item = Local("Workshop v2", At(3, 12, 9), At(3, 12, 12));
  auto old = Global("Workshop", At(3, 12, 9), At(3, 12, 12));
  EXPECT_TRUE(addin->ReplaceInFolder(item, old, world.team));
  EXPECT_EQ(Strings{"Workshop v2"}, Subjects(world.team));
  EXPECT_EQ(Strings{"Workshop v2"}, Subjects(world.calendar));
}

TEST_F(CopyingTest, AFailedReplacementLosesNothingAndDuplicatesNothing) {
  auto item = Local("Workshop v2", At(3, 12, 9), At(3, 12, 12));
  auto old = Global("Workshop", At(3, 12, 9), At(3, 12, 12));

  world.publicFolders->Fail(StoreOp::Move);
  EXPECT_FALSE(addin->ReplaceInFolder(item, old, world.team));
  EXPECT_EQ(Strings{"Workshop"}, Subjects(world.team)) << "the counterpart stays when the copy cannot come";
  EXPECT_EQ(Strings{"Workshop v2"}, Subjects(world.calendar)) << "and no stray copy is left";

  world.publicFolders->Fail(StoreOp::Delete);
  EXPECT_FALSE(addin->ReplaceInFolder(item, old, world.team));
  EXPECT_EQ(Strings{"Workshop"}, Subjects(world.team)) << "the new copy is withdrawn when the old one stays";
  EXPECT_EQ(Strings{"Workshop v2"}, Subjects(world.calendar));
}

TEST_F(CopyingTest, AReplacementInTheLocalCalendarDeletesTheCounterpartFirst) {
  // Whatever fails, the global appointment stays for the next global pass to copy again.
  auto item = Global("Workshop v2", At(3, 12, 9), At(3, 12, 12));
  auto old = Local("Workshop", At(3, 12, 9), At(3, 12, 12));
  world.mailbox->Fail(StoreOp::Move);
  EXPECT_FALSE(addin->ReplaceInFolder(item, old, world.calendar));
  EXPECT_TRUE(addin->Err.Pending()) << "the pass reports it";
  EXPECT_EQ(Strings{}, Subjects(world.calendar)) << "never both: the old one went first";
  EXPECT_EQ(Strings{"Workshop v2"}, Subjects(world.team));

  old = Local("Workshop", At(3, 12, 9), At(3, 12, 12));
  world.mailbox->Fail(StoreOp::Delete);
  EXPECT_FALSE(addin->ReplaceInFolder(item, old, world.calendar));
  EXPECT_EQ(Strings{"Workshop"}, Subjects(world.calendar)) << "an old one that will not go gets no company";
  EXPECT_EQ(Strings{"Workshop v2"}, Subjects(world.team));

  EXPECT_TRUE(addin->ReplaceInFolder(item, old, world.calendar));
  EXPECT_EQ(Strings{"Workshop v2"}, Subjects(world.calendar));
  EXPECT_EQ(Strings{"Workshop v2"}, Subjects(world.team));
}

TEST_F(CopyingTest, NewArrivalsAreLinkedToThemselvesThroughTheMessageLoop) {
  addin->SetLocalItems(world.calendar->Items());
  addin->SetGlobalItems(world.team->Items());
  addin->bIgnoreItemAdd = false;
  auto local = Local("Typed in", At(3, 12), At(3, 12, 1));
  auto global = Global("Posted", At(3, 12), At(3, 12, 1));
  EXPECT_EQ("<none>", Prop(local, "OrigEntryId")) << "nothing happens inside the save";
  loop.DoEvents();
  EXPECT_EQ(local->EntryID(), Prop(local, "OrigEntryId"));
  EXPECT_EQ("False", Prop(local, "HasBeenProcessedQZT"));
  EXPECT_EQ(global->EntryID(), Prop(global, "OrigEntryId"));
  EXPECT_EQ("<none>", Prop(global, "HasBeenProcessedQZT")) << "the flag is the local calendar's";

  // A note in the calendar is left alone.
  auto note = world.app->CreateItem(1);
  note->SetMessageClass("IPM.Note");
  note->SetSubject("Note");
  note->Save();
  loop.DoEvents();
  EXPECT_EQ("<none>", Prop(note, "OrigEntryId"));
}

TEST_F(CopyingTest, SilencedArrivalsAreLeftAsTheyCame) {
  addin->SetLocalItems(world.calendar->Items());
  addin->bIgnoreItemAdd = true;
  auto local = Local("Copied in", At(3, 12), At(3, 12, 1));
  loop.DoEvents();
  EXPECT_EQ("<none>", Prop(local, "OrigEntryId"));

  addin->SetLocalItems(nullptr);  // no longer listening
  addin->bIgnoreItemAdd = false;
  auto later = Local("After release", At(3, 12), At(3, 12, 1));
  loop.DoEvents();
  EXPECT_EQ("<none>", Prop(later, "OrigEntryId"));
}

TEST_F(CopyingTest, AnArrivalThatCannotBeStampedIsReported) {
  addin->SetGlobalItems(world.team->Items());
  addin->bIgnoreItemAdd = false;
  Global("Refused", At(3, 12, 16), At(3, 12, 17));
  world.publicFolders->Fail(StoreOp::AddUserProperty);
  loop.DoEvents();
  EXPECT_EQ(
      "An Error was encountered in oGlobalItems_ItemAdd!\r\n"
      "Error No: (-2147467259)\r\n"
      "Error Desc: The operation failed.\r\n"
      "Refused\r\n"
      "3/12/2026 4:00:00 PM\r\n",
      Log());
}

}  // namespace
