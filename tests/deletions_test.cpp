// The deletion pass and the manual delete sync.
#include <gtest/gtest.h>

#include "addin/registry_cmds.h"
#include "platform/outlook/outlook_enums.h"
#include "tests/support/sync_fixture.h"

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

class DeletionsTest : public SyncFixture {
 protected:
  DeletionsTest() {
    Connect();
    addin->oApplication = world.app;
    addin->oNS = world.ns;
    addin->oLocalCalendar = world.calendar;
    addin->oGlobalCalendar = world.team;
    addin->GlobalCalEntryID = world.team->EntryID();
    addin->LocalCalEntryID = world.calendar->EntryID();
    addin->UpdBoth = 1;
    addin->NoOfDays = 30;
    addin->fnAddOrigEntryIdToFolder(world.team);
    addin->fnAddOrigEntryIdToFolder(world.calendar);
  }
  // A local copy whose global appointment is gone.
  com::Ref<outlook::AppointmentItem> Orphan(const std::string& subject, const std::string& flag = "") {
    auto item = Local(subject, At(3, 11, 9), At(3, 11, 10));
    SetProp(item, "OrigEntryId", "00000000GONE" + subject);
    if (!flag.empty()) SetProp(item, "HasBeenProcessedQZT", flag);
    return item;
  }
  // A local copy of a global appointment that is still there.
  com::Ref<outlook::AppointmentItem> Copied(const std::string& subject) {
    auto global = Global(subject, At(3, 12, 9), At(3, 12, 10));
    SetProp(global, "OrigEntryId", global->EntryID());
    auto local = Local(subject, At(3, 12, 9), At(3, 12, 10));
    SetProp(local, "OrigEntryId", global->EntryID());
    return local;
  }
  // The member's own appointment: linked to itself and, when it went to the Global Calendar,
  // flagged by that pass. Its copy there is gone.
  com::Ref<outlook::AppointmentItem> Original(const std::string& subject, const std::string& flag = "True") {
    auto item = Local(subject, At(3, 11, 13), At(3, 11, 14));
    SetProp(item, "OrigEntryId", item->EntryID());
    if (!flag.empty()) SetProp(item, "HasBeenProcessedQZT", flag);
    return item;
  }
  void Answer(const char* button) {
    ui.OnNextForm([button](forms::Form& f) { f.Click(button); });
  }
  static std::string PromptFor(const std::string& subject) {
    return "Confirm Deletion | Appointment (" + subject +
           ")\r\nHas been removed from the Global Calendar\r\nDo you want to remove from your Local Calendar?";
  }
};

TEST_F(DeletionsTest, UnlinkedAppointmentsAreNeverDeletedWithoutTheMarker) {
  addin->PromptDelete = 1;
  Local("Never linked", At(3, 11, 9), At(3, 11, 10));
  auto blank = Local("Blank link", At(3, 11, 11), At(3, 11, 12));
  SetProp(blank, "OrigEntryId", "  ");
  auto master = Local("Original", At(3, 11, 13), At(3, 11, 14));
  SetProp(master, "OrigEntryId", master->EntryID());
  addin->oCheckLocVsGlbDels();
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ((Strings{"Never linked", "Blank link", "Original"}), Subjects(world.calendar));
  EXPECT_EQ("<none>", Prop(master, "HasBeenProcessedQZT")) << "kept by its own link: not flagged here";
  EXPECT_FALSE(addin->bBusy);
}

TEST_F(DeletionsTest, ACopyIsDeletedOnlyOnARunAfterTheOneThatFlaggedIt) {
  addin->PromptDelete = 1;
  auto orphan = Orphan("Cancelled");
  Copied("Still there");
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ((Strings{"Cancelled", "Still there"}), Subjects(world.calendar));
  EXPECT_EQ("True", Prop(orphan, "HasBeenProcessedQZT"));
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ(Strings{"Still there"}, Subjects(world.calendar));
  EXPECT_TRUE(ui.formsShown.empty()) << "PromptDelete 1 never asks";
}

TEST_F(DeletionsTest, OnlyOkInThePromptDeletes) {
  Orphan("Asked", "True");
  addin->oCheckLocVsGlbDels();  // closed without an answer
  Answer("CancelButton");
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ(Strings{"Asked"}, Subjects(world.calendar));
  ASSERT_EQ(2u, ui.formsShown.size());
  EXPECT_EQ("Confirm Deletion | Appointment (Asked)\r\nHas been removed from the Global Calendar\r\nDo you want to "
            "remove from your Local Calendar?",
            ui.formsShown[0]);

  Answer("OKButton");
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ(Strings{}, Subjects(world.calendar));
  EXPECT_EQ(6, addin->iPromptDeleteRetVal);

  // A later prompt closed some other way does not reuse that Yes.
  Orphan("Asked again", "True");
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ(Strings{"Asked again"}, Subjects(world.calendar));
}

TEST_F(DeletionsTest, PrivateAppointmentsAreNeverAskedAbout) {
  auto secret = Orphan("Secret", "True");
  secret->SetSensitivity(outlook::olPrivate);
  secret->Save();
  auto marked = Orphan("Secret marked", "True");
  marked->SetSensitivity(outlook::olConfidential);
  marked->SetBody("[DEL]");
  marked->Save();
  addin->oCheckLocVsGlbDels();
  EXPECT_TRUE(ui.formsShown.empty());
  EXPECT_EQ(Strings{"Secret"}, Subjects(world.calendar));
}

TEST_F(DeletionsTest, TheMarkerDeletesEvenWithTheGlobalAppointmentThere) {
  auto kept = Copied("Lower case");
  kept->SetBody("[del] not a marker");
  kept->Save();
  auto marked = Copied("Marked");
  marked->SetBody("   [DEL] gone");
  marked->Save();
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ(Strings{"Lower case"}, Subjects(world.calendar));
  EXPECT_EQ(2, world.team->Items()->Count()) << "this pass never deletes in the Global Calendar";
}

TEST_F(DeletionsTest, WithOneDayTheWindowIsYesterdayAndToday) {
  addin->NoOfDays = 1;
  addin->PromptDelete = 1;
  auto yesterday = Local("Yesterday", At(3, 9, 8), At(3, 9, 9));
  auto today = Local("Today", At(3, 10, 8), At(3, 10, 9));
  auto tomorrow = Local("Tomorrow", At(3, 11, 8), At(3, 11, 9));
  for (auto& item : {yesterday, today, tomorrow}) {
    SetProp(item, "OrigEntryId", "00000000GONE" + item->Subject());
    SetProp(item, "HasBeenProcessedQZT", "True");
  }
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ(Strings{"Tomorrow"}, Subjects(world.calendar));
}

TEST_F(DeletionsTest, ABlankEntryIdDoesNothingAndSaysNothing) {
  Orphan("Untouched", "True");
  addin->PromptDelete = 1;
  addin->GlobalCalEntryID = " ";
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ(Strings{"Untouched"}, Subjects(world.calendar));
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DeletionsTest, TheSameAppointmentFourTimesEndsTheRun) {
  Orphan("Echo", "True");
  world.mailbox->RepeatItemAt(0, 4);
  addin->oCheckLocVsGlbDels();
  EXPECT_NE(std::string::npos, Log().find("Error Detected processing Local Calendar Item.\r\nSame EntryId Returned "
                                          "Multiple TimesSubject = [Echo]\r\nEntryID = ["));
  EXPECT_FALSE(addin->bBusy);
}

// ---- The member's own appointment whose copy in the Global Calendar was deleted

TEST_F(DeletionsTest, AnOriginalIsAskedAboutAsACopyIsAndNoIsAskedAgain) {
  Original("Mine");
  Answer("CancelButton");
  addin->oCheckLocVsGlbDels();
  ASSERT_EQ(1u, ui.formsShown.size());
  EXPECT_EQ(PromptFor("Mine"), ui.formsShown[0]);
  // No: the other passes neither delete it nor copy it back.
  addin->oProcessLocalFolders();
  addin->oProcessGlobalFolders();
  EXPECT_EQ(Strings{"Mine"}, Subjects(world.calendar));
  EXPECT_EQ(Strings{}, Subjects(world.team));

  Answer("OKButton");
  addin->oCheckLocVsGlbDels();
  ASSERT_EQ(2u, ui.formsShown.size()) << "asked again on the next run";
  EXPECT_EQ(Strings{}, Subjects(world.calendar)) << "Yes deletes it";
  EXPECT_EQ(0, addin->PromptDelete);
  EXPECT_EQ(std::string::npos, Log().find("An Error was encountered")) << "a deleted original is not flagged";
}

TEST_F(DeletionsTest, DontAskAgainOnAnOriginalDeletesItAndLeavesTheNextToTheLocalPass) {
  Original("First");
  ui.OnNextForm([](forms::Form& f) {
    f.Click("Check1");
    f.Click("OKButton");
  });
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ(Strings{}, Subjects(world.calendar));
  win32::Bytes data;
  ASSERT_TRUE(StoredValue("PromptDelete", nullptr, &data));
  EXPECT_EQ(1u, win32::BytesToDword(data));

  Original("Second");
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ(1u, ui.formsShown.size()) << "not asked any more";
  EXPECT_EQ(Strings{"Second"}, Subjects(world.calendar));
  addin->oProcessLocalFolders();
  EXPECT_EQ(Strings{}, Subjects(world.calendar)) << "the local pass deletes it without asking";
}

TEST_F(DeletionsTest, OnlyAnOriginalThatHadACopyIsAskedAboutAndOnlyInBothDirections) {
  auto shared = Original("Copy still there");
  auto copy = Global("Copy still there", At(3, 11, 13), At(3, 11, 14));
  SetProp(copy, "OrigEntryId", shared->EntryID());
  auto fresh = Original("Never flagged", "");
  Original("Copy failed", "False");
  addin->oCheckLocVsGlbDels();
  EXPECT_TRUE(ui.formsShown.empty());
  EXPECT_EQ(3u, Subjects(world.calendar).size());
  EXPECT_EQ("<none>", Prop(fresh, "HasBeenProcessedQZT")) << "its flag is read, not added";

  addin->UpdBoth = 0;
  for (auto only : {&quorvane::QuorvaneClass::UpdGlobalOnly, &quorvane::QuorvaneClass::UpdLocalOnly}) {
    addin->UpdGlobalOnly = addin->UpdLocalOnly = 0;
    (*addin).*only = 1;
    Original("One way");
    addin->oCheckLocVsGlbDels();
    EXPECT_TRUE(ui.formsShown.empty()) << "the local pass never takes it for deleted in one direction";
  }
}

// ---- The manual delete sync

class DeleteSyncTest : public DeletionsTest {
 protected:
  void Select(const com::Ref<outlook::MAPIFolder>& folder, std::vector<com::Ref<outlook::AppointmentItem>> items) {
    world.explorer->SetCurrentFolder(folder);
    world.explorer->SetSelection(std::move(items));
  }
};

TEST_F(DeleteSyncTest, SelectedAppointmentsGoWithTheirCounterparts) {
  auto copy = Copied("Linked");
  auto loose = Local("Loose", At(3, 13, 9), At(3, 13, 10));
  Select(world.calendar, {copy, loose});
  addin->oSyncDeleteBHandler_Click();
  EXPECT_EQ(Strings{}, Subjects(world.calendar));
  EXPECT_EQ(Strings{}, Subjects(world.team));

  // From the Global Calendar, an original's copy in the Local Calendar goes too.
  auto original = Global("Original", At(3, 14, 9), At(3, 14, 10));
  SetProp(original, "OrigEntryId", original->EntryID());
  auto local = Local("Original", At(3, 14, 9), At(3, 14, 10));
  SetProp(local, "OrigEntryId", original->EntryID());
  Select(world.team, {original});
  addin->oSyncDeleteBHandler_Click();
  EXPECT_EQ(Strings{}, Subjects(world.calendar));
}

TEST_F(DeleteSyncTest, ANoteIsDeletedWithoutLookingForACounterpart) {
  auto copy = Copied("Linked");
  copy->SetMessageClass("IPM.Note");
  copy->Save();
  Select(world.calendar, {copy});
  addin->oSyncDeleteBHandler_Click();
  EXPECT_EQ(Strings{}, Subjects(world.calendar));
  EXPECT_EQ(Strings{"Linked"}, Subjects(world.team));
}

TEST_F(DeleteSyncTest, NothingHappensElsewhereOrWithoutADirection) {
  addin->PromptErrors = 1;
  auto copy = Copied("Linked");
  auto other = world.ns->Folders()->Item("Mailbox - Ann")->Folders()->Add("Other", 1);
  Select(other, {copy});
  addin->oSyncDeleteBHandler_Click();
  EXPECT_EQ(Strings{"Linked"}, Subjects(world.calendar));
  EXPECT_EQ(std::string::npos, Log().find("oSyncDeleteBHandler - Exiting Function")) << "no exit line";

  addin->UpdBoth = 0;
  Select(world.calendar, {copy});
  addin->oSyncDeleteBHandler_Click();
  EXPECT_EQ(Strings{"Linked"}, Subjects(world.calendar));
  EXPECT_EQ(Strings{"Linked"}, Subjects(world.team));
}

TEST_F(DeleteSyncTest, ThePromptSavesDontAskAgainOnlyWithOk) {
  Orphan("First", "True");
  ui.OnNextForm([](forms::Form& f) {
    f.Click("Check1");
    f.Click("CancelButton");
  });
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ(0, addin->PromptDelete) << "Cancel does not save the check box";

  ui.OnNextForm([](forms::Form& f) {
    f.Click("Check1");
    f.Click("OKButton");
  });
  addin->oCheckLocVsGlbDels();
  EXPECT_EQ(1, addin->PromptDelete);
  win32::DWORD type = 0;
  win32::Bytes data;
  ASSERT_TRUE(StoredValue("PromptDelete", &type, &data));
  EXPECT_EQ(1u, win32::BytesToDword(data));
  EXPECT_EQ(Strings{}, Subjects(world.calendar));
}

}  // namespace
