// The store's digest of an item's content: two items that hold the same say so without their
// fields being read, and nothing that changes the content, by whatever writer, leaves a digest
// that says otherwise.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include "platform/mapistore/mapi_appointment.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/outlook/outlook_enums.h"
#include "tests/support/store_fixture.h"

using namespace testing_support;

namespace {

class ContentDigestTest : public StoreFixture {
 protected:
  // The item as a new process reads it: from the file, through the object model.
  com::Ref<outlook::AppointmentItem> Fresh(const com::Ref<outlook::AppointmentItem>& item) {
    loop.RunFor(0);  // a copy is stored at the loop's turn
    for (const std::string& path : {mailboxFile->Path(), publicFile->Path()}) {
      std::shared_ptr<mapistore::Store> store = mapistore::SqliteStore::Open(path, mapistore::DbServices{clock, &loop});
      if (auto id = store->FindItem(item->EntryID())) return ns->ItemObject(store, *store->LoadItem(*id));
    }
    ADD_FAILURE() << "no item " << item->EntryID();
    return nullptr;
  }
  bool Same(const com::Ref<outlook::AppointmentItem>& a, const com::Ref<outlook::AppointmentItem>& b) {
    return Fresh(a)->SameStoredContent(*Fresh(b));
  }
  // A write by a program that knows nothing of digests.
  void Sql(const std::string& sql) {
    loop.RunFor(0);
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(mailboxFile->Path().c_str(), &db));
    char* error = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error)) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
  }
  std::string Where(const com::Ref<outlook::AppointmentItem>& item) {
    return " WHERE entry_id = '" + item->EntryID() + "'";
  }
};

TEST_F(ContentDigestTest, CopiesHoldTheSameUntilTheContentOfOneChanges) {
  auto original = AddAppt(calendar, "Review", At(3, 11, 9), At(3, 11, 10));
  original->SetLocation("Room 1");
  original->Attachments()->Add("/tmp/agenda.txt");
  original->Save();
  auto copy = original->Copy();
  EXPECT_TRUE(Same(original, copy));
  EXPECT_FALSE(Same(original, AddAppt(calendar, "Review", At(3, 11, 9), At(3, 11, 11))));

  // The sync markers, the folder and the times are not content.
  copy->UserProperties()->Add("OrigEntryId", outlook::olText, true)->SetValue(original->EntryID());
  copy->Save();
  copy = copy->Move(team);
  EXPECT_TRUE(Same(original, copy));

  // An unsaved change makes the object unsure; saved, the change makes them differ.
  auto edited = Fresh(copy);
  edited->SetLocation("Room 2");
  EXPECT_FALSE(edited->SameStoredContent(*Fresh(original)));
  edited->Save();
  EXPECT_FALSE(Same(original, copy));
  edited->SetLocation("Room 1");
  edited->Save();
  EXPECT_TRUE(Same(original, copy)) << "the same again";

  original->Attachments()->Remove(1);
  original->Save();
  EXPECT_FALSE(Same(original, copy));
}

TEST_F(ContentDigestTest, AWriterThatKnowsNothingOfDigestsLeavesThemUnknown) {
  auto a = AddAppt(calendar, "Review", At(3, 11, 9), At(3, 11, 10));
  auto b = a->Copy();
  ASSERT_TRUE(Same(a, b));
  Sql("UPDATE items SET location = 'Room 7'" + Where(b));
  EXPECT_FALSE(Same(a, b));
  Sql("UPDATE items SET location = NULL" + Where(b));
  EXPECT_FALSE(Same(a, b)) << "unknown until the store writes the item again";
  b = Fresh(b);
  b->SetSubject("Review");
  b->Save();
  EXPECT_TRUE(Same(a, b));

  Sql("INSERT INTO recipients(item_id, pos, name, address) SELECT id, 0, 'Eve', 'eve@x' FROM items" + Where(b));
  EXPECT_FALSE(Same(a, b));
  EXPECT_EQ(1, Fresh(b)->Recipients()->Count());
  // Only the times moved: still the same content.
  Sql("UPDATE items SET modified_ms = modified_ms + 5" + Where(a));
  auto c = a->Copy();
  Sql("UPDATE items SET modified_ms = modified_ms + 5" + Where(c));
  EXPECT_TRUE(Same(a, c));
}

// Opened where it may only be read, such a store is read as it is, without digests.
TEST_F(ContentDigestTest, AStoreMadeBeforeDigestsGetsThemWhenFirstOpenedToWrite) {
  auto a = AddAppt(calendar, "Review", At(3, 11, 9), At(3, 11, 10));
  a->SetBody(std::string(600, 'b'));
  a->Save();
  auto b = a->Copy();
  Sql("DROP TRIGGER items_content_written; DROP TRIGGER attachments_written_in; DROP TRIGGER attachments_written_out;"
      "DROP TRIGGER recipients_written_in; DROP TRIGGER recipients_written_out; DROP TRIGGER links_written_in;"
      "DROP TRIGGER links_written_out; ALTER TABLE items DROP COLUMN content_digest;");
  ASSERT_EQ(0, ::chmod(mailboxFile->Path().c_str(), 0444));
  EXPECT_FALSE(Same(a, b));
  EXPECT_EQ(std::string(600, 'b'), Fresh(b)->Body());
  ASSERT_EQ(0, ::chmod(mailboxFile->Path().c_str(), 0644));
  EXPECT_TRUE(Same(a, b));
  Sql("UPDATE items SET subject = 'Changed by hand'" + Where(b));
  EXPECT_FALSE(Same(a, b)) << "the triggers came with the digests";
}

}  // namespace
