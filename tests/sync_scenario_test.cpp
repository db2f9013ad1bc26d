// Members of one workgroup keeping their calendars in step through the shared Global Calendar.
#include <gtest/gtest.h>

#include "platform/outlook/outlook_enums.h"
#include "tests/support/workgroup.h"

using namespace testing_support;
using Strings = std::vector<std::string>;
using mapistore::StoreOp;

namespace {

class SyncScenarioTest : public ::testing::Test {
 protected:
  SyncScenarioTest() : ann(group.Join("Ann", true)), bob(group.Join("Bob")) {}

  std::string Link(const com::Ref<outlook::AppointmentItem>& item) {
    auto p = item->UserProperties()->Find("OrigEntryId");
    return p.IsNothing() ? "<none>" : p->Value().ToString();
  }
  void Later() { group.clock.Advance(60000); }

  Workgroup group;
  Member& ann;
  Member& bob;
};

TEST_F(SyncScenarioTest, TheRoadOfOneAppointment) {
  auto original = ann.Add("Budget review", group.At(3, 12, 10), group.At(3, 12, 11), "Bring numbers");
  ann.SyncBoth();
  auto global = ann.FindGlobal("Budget review");
  ASSERT_FALSE(global.IsNothing()) << "the local pass copied it";
  EXPECT_EQ(original->EntryID(), Link(global));
  EXPECT_EQ(original->EntryID(), Link(ann.FindLocal("Budget review"))) << "the original links to itself";

  bob.SyncBoth();
  auto bobs = bob.FindLocal("Budget review");
  ASSERT_FALSE(bobs.IsNothing()) << "the global pass brought it to Bob";
  EXPECT_EQ(original->EntryID(), Link(bobs));
  EXPECT_EQ("Bring numbers", bobs->Body());

  Later();
  auto edited = ann.FindLocal("Budget review");
  edited->SetLocation("Room 2");
  edited->Save();
  ann.SyncBoth();
  EXPECT_EQ("Room 2", ann.FindGlobal("Budget review")->Location()) << "the newer local side replaced the copy";
  bob.SyncBoth();
  EXPECT_EQ("Room 2", bob.FindLocal("Budget review")->Location());
  EXPECT_EQ(Strings{"Budget review"}, bob.LocalSubjects());
  EXPECT_EQ(Strings{"Budget review"}, ann.GlobalSubjects());

  // Quiet afterwards: nothing changes on further runs.
  const std::string globalId = ann.FindGlobal("Budget review")->EntryID();
  ann.SyncBoth();
  bob.SyncBoth();
  EXPECT_EQ(globalId, ann.FindGlobal("Budget review")->EntryID());
}

TEST_F(SyncScenarioTest, TheNewerSideWinsAndEqualTimesChangeNothing) {
  ann.Add("Offsite", group.At(3, 13, 9), group.At(3, 13, 17));
  ann.SyncBoth();
  bob.SyncBoth();

  Later();
  auto global = bob.FindGlobal("Offsite");
  global->SetLocation("Lake house");
  global->Save();
  Later();
  auto annsCopy = ann.FindLocal("Offsite");
  annsCopy->SetLocation("City hall");
  annsCopy->Save();
  ann.SyncBoth();
  bob.SyncBoth();
  EXPECT_EQ("City hall", ann.FindGlobal("Offsite")->Location());
  EXPECT_EQ("City hall", bob.FindLocal("Offsite")->Location());

  // Both sides changed in the same instant: the times are equal, so neither is copied.
  Later();
  auto g = ann.FindGlobal("Offsite");
  auto l = ann.FindLocal("Offsite");
  g->SetBody("global text");
  l->SetBody("local text");
  g->Save();
  l->Save();
  ASSERT_EQ(g->LastModificationTime(), l->LastModificationTime());
  ann.SyncBoth();
  EXPECT_EQ("global text", ann.FindGlobal("Offsite")->Body());
  EXPECT_EQ("local text", ann.FindLocal("Offsite")->Body());
}

TEST_F(SyncScenarioTest, TheDeleteMarkerWorksFromEitherSide) {
  ann.Add("Cancelled lunch", group.At(3, 12, 12), group.At(3, 12, 13));
  ann.Add("Cancelled call", group.At(3, 12, 15), group.At(3, 12, 16));
  ann.SyncBoth();
  bob.SyncBoth();
  ASSERT_EQ((Strings{"Cancelled call", "Cancelled lunch"}), bob.LocalSubjects());

  // Bob marks one in his Local Calendar: gone from the Global Calendar and from his.
  Later();
  auto marked = bob.FindLocal("Cancelled lunch");
  marked->SetBody("  [DEL] not happening");
  marked->Save();
  bob.SyncBoth();
  EXPECT_EQ(Strings{"Cancelled call"}, bob.GlobalSubjects());
  EXPECT_EQ(Strings{"Cancelled call"}, bob.LocalSubjects());

  // Ann marks the other in the Global Calendar: Bob's copy goes with it.
  Later();
  auto global = ann.FindGlobal("Cancelled call");
  global->SetBody("[DEL]");
  global->Save();
  bob.GlobalPass();
  EXPECT_EQ(Strings{}, bob.LocalSubjects());
  EXPECT_EQ(Strings{}, bob.GlobalSubjects());
  // Ann's own originals lost their global counterparts after being processed: gone too.
  ann.SyncBoth();
  EXPECT_EQ(Strings{}, ann.LocalSubjects());

  // The marker is case-sensitive.
  ann.Add("Kept", group.At(3, 12, 9), group.At(3, 12, 10), "[del] lower case");
  ann.SyncBoth();
  EXPECT_EQ(Strings{"Kept"}, ann.GlobalSubjects());
}

TEST_F(SyncScenarioTest, APrivateAppointmentNeverLeavesItsCalendar) {
  auto secret = ann.Add("Doctor", group.At(3, 12, 8), group.At(3, 12, 9));
  secret->SetSensitivity(outlook::olPrivate);
  secret->Save();
  ann.SyncBoth();
  ann.SyncBoth();
  EXPECT_EQ(Strings{}, ann.GlobalSubjects());
  EXPECT_EQ(Strings{"Doctor"}, ann.LocalSubjects());

  // Made public later, it is shared then, not taken for one deleted elsewhere.
  Later();
  secret = ann.FindLocal("Doctor");
  secret->SetSensitivity(outlook::olNormal);
  secret->Save();
  ann.SyncBoth();
  EXPECT_EQ(Strings{"Doctor"}, ann.GlobalSubjects());
  EXPECT_EQ(Strings{"Doctor"}, ann.LocalSubjects());
}

TEST_F(SyncScenarioTest, GlobalToLocalModeWaitsForTheOwnerToLink) {
  bob.Direction(0, 1, 0);
  ann.Direction(0, 1, 0);
  auto item = bob.app->CreateItem(1);
  item->SetSubject("Posted directly");
  item->SetStart(group.At(3, 12, 9));
  item->SetEnd(group.At(3, 12, 10));
  item->Save();
  item->Move(bob.global);

  bob.GlobalPass();
  EXPECT_EQ(Strings{}, bob.LocalSubjects()) << "not the owner: it waits";
  ann.GlobalPass();
  EXPECT_EQ(Strings{"Posted directly"}, ann.LocalSubjects()) << "the owner links and copies it";
  bob.GlobalPass();
  EXPECT_EQ(Strings{"Posted directly"}, bob.LocalSubjects());

  // A local appointment stays local in this mode, and the local pass says why.
  bob.Add("Mine", group.At(3, 12, 11), group.At(3, 12, 12));
  bob.LocalPass();
  EXPECT_EQ(Strings{"Posted directly"}, bob.GlobalSubjects());
  ASSERT_EQ(1u, bob.ui.shown.size());
  EXPECT_EQ("Cannot Update Global Calendar to Local Calendar with your current settings", bob.ui.shown[0].text);
  EXPECT_FALSE(bob.addin->bBusy);
}

TEST_F(SyncScenarioTest, LocalToGlobalModeCopiesAgainWhatTheGlobalCalendarLost) {
  ann.Direction(0, 0, 1);
  ann.Add("Standup", group.At(3, 11, 9), group.At(3, 11, 9, 15));
  ann.LocalPass();
  ASSERT_EQ(Strings{"Standup"}, ann.GlobalSubjects());
  ann.FindGlobal("Standup")->Delete();
  ann.LocalPass();
  EXPECT_EQ(Strings{"Standup"}, ann.GlobalSubjects()) << "processed before, copied again all the same";
  ann.GlobalPass();
  ASSERT_EQ(1u, ann.ui.shown.size());
  EXPECT_EQ("Cannot Update Local Calendar to Global Calendar with your current settings", ann.ui.shown[0].text);
}

TEST_F(SyncScenarioTest, OnlyTheWindowIsWalked) {
  ann.addin->NoOfDays = 30;  // 9 March to 9 April
  ann.Add("Ends on the last day", group.At(4, 8, 23), group.At(4, 9));
  ann.Add("Ends yesterday evening", group.At(3, 9, 18), group.At(3, 9, 19));
  ann.Add("Last year", com::Date::FromParts(2025, 3, 10, 9, 0, 0), com::Date::FromParts(2025, 3, 10, 10, 0, 0));
  auto series = ann.Add("Weekly since last year", com::Date::FromParts(2025, 1, 6, 9, 0, 0),
                        com::Date::FromParts(2025, 1, 6, 10, 0, 0));
  series->GetRecurrencePattern()->SetRecurrenceType(outlook::olRecursWeekly);
  series->Save();
  ann.SyncBoth();
  EXPECT_EQ((Strings{"Ends yesterday evening", "Weekly since last year"}), ann.GlobalSubjects());
}

TEST_F(SyncScenarioTest, AStoreThatGoesOfflineMidPassStopsItAndLosesNothing) {
  for (int i = 1; i <= 4; ++i) ann.Add("Item " + std::to_string(i), group.At(3, 11 + i, 9), group.At(3, 11 + i, 10));
  // The public store goes away right after the second copy arrives.
  class Dropping : public mapistore::FaultyStore {
   public:
    using FaultyStore::FaultyStore;
    mapistore::ItemRecord ImportItem(const mapistore::ItemRecord& item, int64_t folderId) override {
      auto r = FaultyStore::ImportItem(item, folderId);
      if (++imports == 2) SetOffline(true);
      return r;
    }
    int imports = 0;
  };
  auto dropping = std::make_shared<Dropping>(ann.publicFile);
  auto ns = std::make_shared<mapistore::MapiSession>(&group.loop);
  ns->AddStore(ann.mailbox);
  ns->AddStore(dropping);
  ann.addin->oGlobalCalendar = ns->GetFolderFromID(ann.global->EntryID(), "");

  ann.LocalPass();
  EXPECT_FALSE(ann.addin->bBusy) << "the pass stopped and let go";
  dropping->SetOffline(false);
  EXPECT_EQ((Strings{"Item 1", "Item 2"}), ann.GlobalSubjects());
  EXPECT_EQ(4u, ann.LocalSubjects().size());

  ann.SyncBoth();
  EXPECT_EQ((Strings{"Item 1", "Item 2", "Item 3", "Item 4"}), ann.GlobalSubjects()) << "the next run finishes";
  EXPECT_EQ(4u, ann.LocalSubjects().size());
}

TEST_F(SyncScenarioTest, TheSameAppointmentReturnedFourTimesEndsThePass) {
  ann.Add("Echo", group.At(3, 11, 9), group.At(3, 11, 10));
  ann.Add("After", group.At(3, 12, 9), group.At(3, 12, 10));
  ann.mailbox->RepeatItemAt(0, 4);
  ann.LocalPass();
  const std::string log = ann.Log();
  EXPECT_NE(std::string::npos, log.find("Error Detected processing Local Calendar Item.\r\nSame EntryId Returned "
                                        "Multiple TimesSubject = [Echo]\r\nEntryID = ["));
  EXPECT_EQ(Strings{"Echo"}, ann.GlobalSubjects()) << "nothing after it is processed";
  EXPECT_FALSE(ann.addin->bBusy);
}

TEST_F(SyncScenarioTest, AReplacementWhoseMoveFailsKeepsTheOldCopy) {
  ann.Add("Retro", group.At(3, 12, 14), group.At(3, 12, 15));
  ann.SyncBoth();
  bob.SyncBoth();
  Later();
  auto edited = ann.FindLocal("Retro");
  edited->SetLocation("Room 9");
  edited->Save();
  ann.publicFolders->Fail(StoreOp::Move);
  ann.LocalPass();
  EXPECT_EQ(Strings{"Retro"}, ann.GlobalSubjects()) << "the old global copy is still there";
  EXPECT_EQ("", ann.FindGlobal("Retro")->Location());
  // Nothing is lost at the next run either: the local appointment still has its counterpart.
  ann.SyncBoth();
  EXPECT_EQ("Room 9", ann.FindGlobal("Retro")->Location());
  EXPECT_EQ(Strings{"Retro"}, ann.LocalSubjects());
  bob.SyncBoth();
  EXPECT_EQ("Room 9", bob.FindLocal("Retro")->Location());
}

TEST_F(SyncScenarioTest, AnAppointmentWhoseCopiesFailIsNeverTakenForOneDeletedGlobally) {
  ann.Add("Unshared", group.At(3, 12, 9), group.At(3, 12, 10));
  ann.publicFolders->Fail(StoreOp::Move, 2);
  ann.LocalPass();  // linked to itself; the copy fails
  ann.LocalPass();  // looked at as one linked before; the copy fails again
  ASSERT_EQ(Strings{}, ann.GlobalSubjects());
  for (int16_t promptDelete : {0, 1}) {
    ann.addin->PromptDelete = promptDelete;
    ann.addin->oCheckLocVsGlbDels();
  }
  ann.LocalPass();
  EXPECT_TRUE(ann.ui.formsShown.empty()) << "never asked about";
  EXPECT_EQ(Strings{"Unshared"}, ann.LocalSubjects());
  EXPECT_EQ(Strings{"Unshared"}, ann.GlobalSubjects()) << "copied once the store takes it";
}

TEST_F(SyncScenarioTest, AnAppointmentWhoseLinkCannotBeWrittenIsNotCopiedUntilItIs) {
  // Copied without its link, it would come back from the other calendar as a second one.
  ann.Add("Typed", group.At(3, 12, 9), group.At(3, 12, 10));
  ann.mailbox->Fail(StoreOp::AddUserProperty);
  ann.LocalPass();
  EXPECT_EQ(Strings{}, ann.GlobalSubjects());
  EXPECT_FALSE(ann.addin->bBusy);

  bob.Add("Posted", group.At(3, 13, 9), group.At(3, 13, 10))->Move(bob.global);
  bob.publicFolders->Fail(StoreOp::Save);
  bob.GlobalPass();
  EXPECT_EQ(Strings{}, bob.LocalSubjects());
  EXPECT_FALSE(bob.addin->bBusy);

  for (int run = 0; run < 2; ++run) {
    Later();
    ann.SyncBoth();
    bob.SyncBoth();
  }
  EXPECT_EQ((Strings{"Posted", "Typed"}), ann.GlobalSubjects());
  EXPECT_EQ((Strings{"Posted", "Typed"}), ann.LocalSubjects());
  EXPECT_EQ((Strings{"Posted", "Typed"}), bob.LocalSubjects());
}

TEST_F(SyncScenarioTest, BusyAndUnconfiguredPassesReturnQuietly) {
  ann.Add("Waiting", group.At(3, 12, 9), group.At(3, 12, 10));
  ann.addin->bBusy = true;
  ann.LocalPass();
  EXPECT_EQ(Strings{}, ann.GlobalSubjects());
  EXPECT_TRUE(ann.addin->bBusy);
  ann.addin->bBusy = false;
  ann.addin->LocalCalEntryID = "  ";
  ann.LocalPass();
  EXPECT_EQ(Strings{}, ann.GlobalSubjects());
  EXPECT_TRUE(ann.ui.shown.empty());
}

}  // namespace
