// What a store operation reports is what the file holds: a write that cannot be committed fails
// its operation and leaves nothing, one that returned survives the process and the power, and a
// save never writes over what another member saved meanwhile.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/com/com_error.h"
#include "platform/mapistore/deferred_copies.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/mapistore/store_errors.h"
#include "tests/support/child_process.h"
#include "tests/support/fault_vfs.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

FaultPlan DiskFull() {
  FaultPlan plan;
  plan.writeBudget = 0;
  return plan;
}

class StoreDurabilityTest : public ::testing::Test {
 protected:
  StoreDurabilityTest() { FaultVfs::Disarm(); }
  ~StoreDurabilityTest() override { FaultVfs::Disarm(); }

  std::unique_ptr<mapistore::SqliteStore> Open(bool withLoop = true) {
    return mapistore::SqliteStore::Open(path, {clock, withLoop ? &loop : nullptr, vfs});
  }
  mapistore::ItemRecord Add(mapistore::SqliteStore& store, const std::string& subject) {
    mapistore::ItemRecord r;
    r.folderId = team;
    r.fields.Set(outlook::ApptField::Subject, com::Variant(subject));
    store.SaveItem(r);
    return r;
  }
  int Count(mapistore::SqliteStore& store) {
    mapistore::ItemQuery q;
    q.folderId = team;
    return store.CountItems(q);
  }
  TempDir dir;
  std::string path = dir / "public.store";
  win32::VirtualClock clock{com::Date::FromParts(2026, 3, 10, 9, 30, 0)};
  win32::MessageLoop loop{clock};
  const char* vfs = FaultVfs::Register();
  std::unique_ptr<mapistore::SqliteStore> mine = mapistore::SqliteStore::Create(path, "Public Folders", {clock, &loop, vfs});
  int64_t team = mine->AddFolder(mine->Root().id, "Team", 1).id;
};

TEST_F(StoreDurabilityTest, AWriteThatCannotBeCommittedFailsItsOperationAndLeavesNothing) {
  auto kept = Add(*mine, "Kept");
  ASSERT_EQ(1, Count(*mine));

  FaultVfs::Arm(DiskFull());
  EXPECT_THROW(Add(*mine, "Lost"), com::ComError);
  auto edited = kept;
  edited.fields.Set(outlook::ApptField::Location, com::Variant("Room 2"));
  EXPECT_THROW(mine->SaveItem(edited), com::ComError);
  EXPECT_THROW(mine->DeleteItem(kept.id), com::ComError);
  EXPECT_EQ(1, Count(*mine)) << "a remembered count follows only what was committed";
  EXPECT_EQ("", mine->LoadItem(kept.id)->Field(outlook::ApptField::Location).ToString());

  FaultPlan syncFails;  // committed, but the disk will not take it for sure
  syncFails.failSyncAt = 1;
  FaultVfs::Arm(syncFails);
  Add(*mine, "Unsynced");
  EXPECT_THROW(mine->MakeDurable(), com::ComError) << "the work cannot be reported done";
  FaultVfs::Disarm();
  mine->MakeDurable();  // tried again, it goes through

  FaultVfs::Disarm();
  Add(*mine, "Later");
  edited = *mine->LoadItem(kept.id);
  edited.fields.Set(outlook::ApptField::Location, com::Variant("Room 2"));
  mine->SaveItem(edited);
  auto theirs = Open(false);
  EXPECT_EQ(3, Count(*theirs));
  EXPECT_EQ("Room 2", theirs->LoadItem(kept.id)->Field(outlook::ApptField::Location).ToString());
}

TEST_F(StoreDurabilityTest, ASyncThatFailsAtTheLoopsTurnFailsTheNextWriteToAnotherStore) {
  auto mailbox = mapistore::SqliteStore::Create(dir / "mailbox.store", "Mailbox - Ann", {clock, &loop, vfs});
  const int64_t calendar = mailbox->AddFolder(mailbox->Root().id, "Calendar", 1).id;
  mailbox->MakeDurable();
  Add(*mine, "Copy in the Team Calendar");
  FaultPlan syncFails;
  syncFails.failSyncAt = 1;
  FaultVfs::Arm(syncFails);
  loop.DoEvents();  // the turn's sync fails: nobody to tell yet

  mapistore::ItemRecord link;  // what would depend on the copy, in the other file
  link.folderId = calendar;
  EXPECT_THROW(mailbox->SaveItem(link), com::ComError) << "it must not reach the disk before the copy";
  mapistore::ItemQuery q;
  q.folderId = calendar;
  EXPECT_EQ(0, mailbox->CountItems(q));

  FaultVfs::Disarm();
  mailbox->SaveItem(link);
  EXPECT_EQ(1, mailbox->CountItems(q));
}

TEST_F(StoreDurabilityTest, AnOperationThatReturnedSurvivesTheProcessAndOnceReportedDoneThePower) {
  mine->MakeDurable();
  mine.reset();
  // Nothing is held for the loop's turn or the close: the process ends right after.
  ASSERT_TRUE(InAnotherProcess([&] {
    auto store = Open();
    Add(*store, "Before the crash");
    _exit(0);
  }));
  ASSERT_TRUE(InAnotherProcess([&] {
    auto store = Open();
    Add(*store, "Reported done");
    store->MakeDurable();
    Add(*store, "Not yet reported");
    FaultVfs::LosePower(0);
    _exit(0);
  }));
  EXPECT_EQ("ok", IntegrityCheck(path));
  auto after = Open(false);
  EXPECT_EQ(2, Count(*after)) << "what was not synced may go, and nothing else";
}

TEST_F(StoreDurabilityTest, ASaveOfWhatAnotherMemberChangedSinceFailsAsChanged) {
  auto item = Add(*mine, "Planning");
  auto theirs = Open(false);
  auto read = *mine->LoadItem(item.id);

  auto other = *theirs->LoadItem(item.id);
  other.fields.Set(outlook::ApptField::Subject, com::Variant("Planning (moved)"));
  theirs->SaveItem(other);

  read.fields.Set(outlook::ApptField::Location, com::Variant("Room 2"));
  try {
    mine->SaveItem(read);
    FAIL() << "the stale save went through";
  } catch (const com::ComError& e) {
    EXPECT_EQ(mapistore::kErrObjectChanged, e.number());
  }
  EXPECT_EQ("Planning (moved)", mine->LoadItem(item.id)->Field(outlook::ApptField::Subject).ToString());

  // Read again, the save goes through; and likewise against another process.
  read = *mine->LoadItem(item.id);
  ASSERT_TRUE(InAnotherProcess([&] {
    auto store = Open(false);
    auto r = *store->LoadItem(item.id);
    r.fields.Set(outlook::ApptField::Body, com::Variant("Agenda"));
    store->SaveItem(r);
  }));
  read.fields.Set(outlook::ApptField::Location, com::Variant("Room 3"));
  EXPECT_THROW(mine->SaveItem(read), com::ComError);
  read = *mine->LoadItem(item.id);
  read.fields.Set(outlook::ApptField::Location, com::Variant("Room 3"));
  mine->SaveItem(read);
  EXPECT_EQ("Agenda", theirs->LoadItem(item.id)->Field(outlook::ApptField::Body).ToString());
  EXPECT_EQ("Room 3", theirs->LoadItem(item.id)->Field(outlook::ApptField::Location).ToString());
}

TEST_F(StoreDurabilityTest, AWaitingCopyThatCannotBeStoredKeepsWaitingAndTheFailureIsReported) {
  auto original = Add(*mine, "Planning");
  auto store = std::make_shared<mapistore::DeferredCopies>(std::move(mine), &loop);
  const auto copy = store->CopyItem(original.id);

  FaultVfs::Arm(DiskFull());
  loop.DoEvents();  // the loop's turn cannot store it: it waits on
  EXPECT_THROW(store->Settle(), com::ComError);
  mapistore::ItemQuery all;
  all.folderId = team;
  EXPECT_THROW(store->CountItems(all), com::ComError) << "whoever needs it stored hears why";

  FaultVfs::Disarm();
  store->Settle();
  EXPECT_EQ(2, store->CountItems(all));
  EXPECT_EQ("Planning", store->LoadItem(copy.id)->Field(outlook::ApptField::Subject).ToString())
      << "the ID handed out still finds it";
}

TEST_F(StoreDurabilityTest, ASharedSnapshotLetsGoBeforeThePersonIsAskedAndAfterAMomentOfTheClock) {
  Add(*mine, "First");
  loop.DoEvents();
  EXPECT_EQ(1, Count(*mine));
  mapistore::ItemQuery all;
  all.folderId = team;
  EXPECT_EQ(1u, mine->QueryItems(all).size());  // a snapshot is held now

  sqlite3* outsider = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &outsider));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(outsider, "INSERT INTO store_info VALUES('x', 'y')", nullptr, nullptr, nullptr));
  auto checkpointed = [&] {
    int log = -1, done = -1;
    return sqlite3_wal_checkpoint_v2(outsider, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &log, &done) == SQLITE_OK;
  };
  EXPECT_FALSE(checkpointed()) << "our snapshot still reads the log";
  loop.BeforeUserWait();  // a box is about to wait for the person
  EXPECT_TRUE(checkpointed());

  EXPECT_EQ(1u, mine->QueryItems(all).size());  // held again
  ASSERT_TRUE(InAnotherProcess([&] { Add(*Open(false), "Theirs"); }));
  EXPECT_EQ(1u, mine->QueryItems(all).size()) << "for a moment the snapshot serves";
  clock.Advance(250);  // no test waits on the wall clock for the moment to pass
  EXPECT_EQ(2u, mine->QueryItems(all).size());
  sqlite3_close(outsider);
}

}  // namespace
