// Counterparts, the field comparison and the newer-wins rule.
#include <gtest/gtest.h>

#include "platform/mapistore/faulty_store.h"
#include "platform/outlook/outlook_enums.h"
#include "tests/support/appointment_wrapper.h"
#include "tests/support/sync_fixture.h"

using namespace testing_support;
using outlook::ApptField;

namespace {

class MatchingTest : public SyncFixture {
 protected:
  // A pair equal in every compared field: the second is a copy of the first.
  std::pair<com::Ref<outlook::AppointmentItem>, com::Ref<outlook::AppointmentItem>> Pair() {
    auto a = Local("Planning", At(3, 11, 9), At(3, 11, 10));
    a->Attachments()->Add("agenda.txt");
    a->Attachments()->Add("minutes.txt");
    a->Save();
    return {a, a->Copy()};
  }
};

TEST_F(MatchingTest, CounterpartsAreFoundThroughTheLinkOnly) {
  auto global = Global("Team day", At(3, 11), At(3, 11, 1));
  SetProp(global, "OrigEntryId", global->EntryID());
  EXPECT_TRUE(addin->fnGetLocalMatchByOrigEntryId(global).IsNothing());

  auto first = Local("first copy", At(3, 11), At(3, 11, 1));
  auto second = Local("second copy", At(3, 11), At(3, 11, 1));
  SetProp(first, "OrigEntryId", global->EntryID());
  SetProp(second, "OrigEntryId", "  " + global->EntryID() + " ");  // looked up trimmed
  auto match = addin->fnGetLocalMatchByOrigEntryId(global);
  ASSERT_FALSE(match.IsNothing());
  EXPECT_EQ("first copy", match->Subject()) << "the first of the collection wins";
  EXPECT_EQ(global->EntryID(), addin->fnGetGlobalMatchByOrigEntryId(second)->EntryID());
  EXPECT_TRUE(addin->fnGetLocalMatchBySubject(global).IsNothing());
  EXPECT_TRUE(addin->fnGetGlobalMatchBySubject(first).IsNothing());
}

TEST_F(MatchingTest, ALinkWithQuotesInItIsComparedWholeNeverReadAsFilter) {
  SetProp(Local("someone else's", At(3, 11), At(3, 11, 1)), "OrigEntryId", "other");
  auto global = Global("Imported", At(3, 11), At(3, 11, 1));
  SetProp(global, "OrigEntryId", "abc\" Or [Subject] <> \"x");
  EXPECT_TRUE(addin->fnGetLocalMatchByOrigEntryId(global).IsNothing());
  EXPECT_FALSE(addin->Err.Pending()) << addin->Err.Description();

  auto copy = Local("its copy", At(3, 11), At(3, 11, 1));
  SetProp(copy, "OrigEntryId", "abc\" Or [Subject] <> \"x");
  ASSERT_FALSE(addin->fnGetLocalMatchByOrigEntryId(global).IsNothing());
  EXPECT_EQ("its copy", addin->fnGetLocalMatchByOrigEntryId(global)->Subject());
}

TEST_F(MatchingTest, AnUnlinkedAppointmentHasNoCounterpartAndSaysSo) {
  addin->PromptErrors = 1;
  auto item = Local("Loose", At(3, 11), At(3, 11, 1));
  EXPECT_TRUE(addin->fnGetGlobalMatchByOrigEntryId(item).IsNothing());
  EXPECT_FALSE(addin->Err.Pending());
  EXPECT_EQ(
      "fnGetGlobalMatchByOrigEntryId - Start of Function\r\n"
      "fnGetGlobalMatchByOrigEntryId - OrigEntryId Not Found\r\n",
      Log());
}

TEST_F(MatchingTest, ALookupThatFailsIsReportedAndLeftPending) {
  auto item = Local("Asking", At(3, 11, 8), At(3, 11, 9));
  SetProp(item, "OrigEntryId", item->EntryID());
  world.team->Items();  // the folder object is already held
  world.publicFolders->SetOffline(true);
  EXPECT_FALSE(addin->fnIsFolderOnline(world.team));
  EXPECT_TRUE(addin->fnGetGlobalMatchByOrigEntryId(item).IsNothing());
  EXPECT_TRUE(addin->Err.Pending()) << "the caller ends its pass on it";
  EXPECT_EQ(
      "An Error was encountered in fnGetGlobalMatchByOrigEntryId!\r\n"
      "Error No: (-2147221219)\r\n"
      "Error Desc: Network problems are preventing connection to Public Folders.\r\n\r\n"
      "Asking\r\n"
      "3/11/2026 8:00:00 AM\r\n",
      Log());
  world.publicFolders->SetOffline(false);
  EXPECT_TRUE(addin->fnIsFolderOnline(world.team));
}

TEST_F(MatchingTest, FieldsOutsideTheComparisonNeverMakeADifference) {
  auto [a, b] = Pair();
  b->SetField(ApptField::ReminderSet, com::Variant::Boolean(true));
  b->SetField(ApptField::OptionalAttendees, "Somebody Else");
  SetProp(b, "OrigEntryId", "whatever");
  SetProp(b, "HasBeenProcessedQZT", "True");
  EXPECT_FALSE(addin->fnAppointmentsDiffer(a, b));
}

TEST_F(MatchingTest, TextsCompareExactlyAndAttachmentsByName) {
  {
    auto [a, b] = Pair();
    b->SetSubject("planning");
    EXPECT_TRUE(addin->fnAppointmentsDiffer(a, b)) << "letter case";
    b->SetSubject("Planning ");
    EXPECT_TRUE(addin->fnAppointmentsDiffer(a, b)) << "trailing blank";
  }
  {
    auto [a, b] = Pair();
    b->Attachments()->Remove(2);
    b->Attachments()->Add("minutes-v2.txt");
    EXPECT_TRUE(addin->fnAppointmentsDiffer(a, b)) << "second attachment's name";
  }
  {
    auto [a, b] = Pair();
    b->SetEnd(At(3, 11, 10, 30));
    EXPECT_TRUE(addin->fnAppointmentsDiffer(a, b));
    EXPECT_FALSE(addin->fnAppointmentsDiffer(a, nullptr));
  }
}

TEST_F(MatchingTest, ShutdownDuringTheComparisonAnswersNoDifference) {
  // Reading the location (row 17) is when the host begins to close.
  class ClosingOnRead : public AppointmentWrapper {
   public:
    ClosingOnRead(com::Ref<outlook::AppointmentItem> in, bool& flag) : AppointmentWrapper(std::move(in)), flag_(flag) {}
    com::Variant GetField(ApptField f) override {
      if (f == ApptField::Location) flag_ = true;
      return in_->GetField(f);
    }

   private:
    bool& flag_;
  };
  auto [a, b] = Pair();
  b->SetSubject("Changed");
  auto closing = std::make_shared<ClosingOnRead>(a, addin->bShuttingDown);
  EXPECT_FALSE(addin->fnAppointmentsDiffer(closing, b)) << "not the difference found before";
  addin->bShuttingDown = false;
  EXPECT_TRUE(addin->fnAppointmentsDiffer(a, b));
}

TEST_F(MatchingTest, AFieldThatCannotBeReadEndsTheComparisonWithWhatWasFound) {
  class BrokenForm : public AppointmentWrapper {
   public:
    using AppointmentWrapper::AppointmentWrapper;
    com::Ref<outlook::FormDescription> FormDescription() override { com::Raise(-2147467259, "no form"); }
  };
  auto [a, b] = Pair();
  EXPECT_FALSE(addin->fnAppointmentsDiffer(std::make_shared<BrokenForm>(a), b));
  b->SetField(ApptField::Companies, "Other Ltd");  // row 10, before the form
  EXPECT_TRUE(addin->fnAppointmentsDiffer(std::make_shared<BrokenForm>(a), b));
  b->SetField(ApptField::Companies, "");
  b->SetLocation("Elsewhere");  // row 17, after it
  EXPECT_FALSE(addin->fnAppointmentsDiffer(std::make_shared<BrokenForm>(a), b));
  EXPECT_FALSE(addin->Err.Pending());
}

TEST_F(MatchingTest, OnlyAStrictlyLaterSaveIsNewer) {
  auto [a, b] = Pair();
  clock.Advance(1000);
  b->Save();
  EXPECT_TRUE(addin->fnIsNewer(b, a));
  EXPECT_FALSE(addin->fnIsNewer(a, b));
  EXPECT_FALSE(addin->fnIsNewer(a, a));
}

}  // namespace
