// The recurrence pattern whole in the store: instance, count, exceptions and the global ID kept
// through save, copy and moves; a store made by the previous version opens and gains them.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/com/com_error.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/outlook/outlook_enums.h"
#include "platform/win32/clock.h"
#include "tests/support/store_fixture.h"

using namespace testing_support;

namespace {

class RecurrenceStoreTest : public StoreFixture {
 protected:
  // Last Friday of the month, six times, one deleted and one moved with texts of its own.
  com::Ref<outlook::AppointmentItem> Series() {
    auto item = AddAppt(calendar, "Close", At(3, 27, 15), At(3, 27, 16));
    auto p = item->GetRecurrencePattern();
    p->SetRecurrenceType(outlook::olRecursMonthNth);
    p->SetDayOfWeekMask(outlook::olFriday);
    p->SetInstance(5);
    p->SetPatternEndDate(At(8, 28));
    p->SetOccurrences(6);
    outlook::OccurrenceChange gone{At(4, 24, 15), true, {}, {}, "", "", ""};
    // Texts with the encoding's own separators in them.
    outlook::OccurrenceChange moved{At(5, 29, 15), false,        At(5, 29, 17),         At(5, 29, 18),
                                    "12:3 x\n4:",  "Room 1\r\n", std::string("a\0b", 3)};
    p->ChangeOccurrence(moved);
    p->ChangeOccurrence(gone);
    item->Save();
    return item;
  }

  static void ExpectSeries(outlook::AppointmentItem& item, const std::string& globalId) {
    ASSERT_TRUE(item.IsRecurring());
    auto p = item.GetRecurrencePattern();
    EXPECT_EQ(outlook::olRecursMonthNth, p->RecurrenceType());
    EXPECT_EQ(5, p->Instance());
    EXPECT_EQ(6, p->Occurrences());
    EXPECT_EQ(com::Date::FromParts(2026, 8, 28), p->PatternEndDate());
    auto list = p->Exceptions();
    ASSERT_EQ(2, list->Count());
    EXPECT_TRUE(list->Item(1)->Deleted()) << "in order of original date";
    const outlook::OccurrenceChange moved = list->Item(2)->Change();
    EXPECT_EQ("12:3 x\n4:", moved.subject);
    EXPECT_EQ("Room 1\r\n", moved.location);
    EXPECT_EQ(std::string("a\0b", 3), moved.body);
    EXPECT_EQ(com::Date::FromParts(2026, 5, 29, 17, 0, 0), moved.start);
    EXPECT_EQ(globalId, item.GetField(outlook::ApptField::GlobalAppointmentID).ToString());
  }
};

TEST_F(RecurrenceStoreTest, ThePatternWholeIsKeptThroughSaveCopyAndMoves) {
  auto item = Series();
  const std::string id = item->GetField(outlook::ApptField::GlobalAppointmentID).ToString();
  EXPECT_EQ(41u, id.size()) << "a new appointment is given one: " << id;
  ExpectSeries(*ns->GetItemFromID(item->EntryID()), id);

  auto copy = item->Copy();
  ExpectSeries(*ns->GetItemFromID(copy->EntryID()), id);
  auto moved = copy->Move(team);  // into the other store
  ExpectSeries(*ns->GetItemFromID(moved->EntryID()), id);
  auto back = moved->Move(calendar);
  ExpectSeries(*back, id);

  // An occurrence changed again replaces its exception; a plain save touches none of them.
  auto p = item->GetRecurrencePattern();
  p->ChangeOccurrence({At(4, 24, 15), false, At(4, 24, 9), At(4, 24, 10), "Early", "", ""});
  item->Save();
  auto fresh = ns->GetItemFromID(item->EntryID());
  EXPECT_EQ("Early", fresh->GetRecurrencePattern()->Exceptions()->Item(1)->Change().subject);
  EXPECT_EQ(2, fresh->GetRecurrencePattern()->Exceptions()->Count());
  // Setting an end date ends the count; no end ends both.
  p->SetPatternEndDate(At(12, 31));
  EXPECT_EQ(0, p->Occurrences());
  p->SetOccurrences(3);
  p->SetNoEndDate(true);
  EXPECT_EQ(0, p->Occurrences());
  EXPECT_THROW(p->SetInstance(6), com::ComError);
}

TEST(RecurrenceStoreUpgradeTest, AStoreOfThePreviousVersionOpensWithItsItemsAndGainsTheNewColumns) {
  TempDir dir;
  const std::string path = dir / "mailbox.store";
  {  // the file as the previous version wrote it (its SQL dump)
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
    const std::string sql = ReadFile(std::string(QUORVANE_SOURCE_DIR) + "/tests/fixtures/store_v1_mailbox.sql");
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr)) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }
  win32::SystemClock clock;
  const std::string weekly = "00000000298AC6D06F2E8C5BD407F7F5181F88339B1FA520D77C01BBCC439B446D3AB66F";
  int64_t weeklyId = 0;
  {
    auto store = mapistore::SqliteStore::Open(path, clock);
    weeklyId = store->FindItem(weekly).value_or(0);
    auto item = store->LoadItem(weeklyId);
    ASSERT_TRUE(item && item->recurrence);
    EXPECT_EQ("Weekly review", item->Field(outlook::ApptField::Subject).ToString());
    EXPECT_EQ(outlook::olRecursWeekly, item->recurrence->type);
    EXPECT_EQ(2, item->recurrence->interval);
    EXPECT_EQ(com::Date::FromParts(2026, 6, 29), item->recurrence->patternEnd);
    EXPECT_EQ(0, item->recurrence->instance);
    EXPECT_EQ(0, item->recurrence->occurrences);
    EXPECT_TRUE(item->recurrence->exceptions.empty());
    // The UID an export of the previous version gave it, so that file imports onto it again.
    EXPECT_EQ(weekly + "@quorvane", item->Field(outlook::ApptField::GlobalAppointmentID).ToString());
    EXPECT_FALSE(item->Field(outlook::ApptField::Floating).ToBool());

    item->recurrence->exceptions.push_back({com::Date::FromParts(2026, 3, 16, 9, 0, 0), true, {}, {}, "", "", ""});
    store->SaveItem(*item);
  }
  auto again = mapistore::SqliteStore::Open(path, clock);  // opened a second time: nothing more to add
  auto item = again->LoadItem(weeklyId);
  ASSERT_TRUE(item && item->recurrence);
  EXPECT_EQ(1u, item->recurrence->exceptions.size());
  EXPECT_EQ(
      "Dentist",
      again
          ->LoadItem(
              again->FindItem("00000000298AC6D06F2E8C5BD407F7F5181F8833192B440969FF61BC5DCE21BFDC7F760A").value_or(0))
          ->Field(outlook::ApptField::Subject)
          .ToString());
}

}  // namespace
