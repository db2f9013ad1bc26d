// Store files: refused when damaged or missing, shared safely between processes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/com/com_error.h"
#include "platform/mapistore/filter.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/win32/environment.h"
#include "platform/win32/file_registry.h"
#include "platform/win32/ui.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

std::string OpenError(const std::string& path) {
  win32::SystemClock clock;
  try {
    mapistore::SqliteStore::Open(path, clock);
  } catch (const com::ComError& e) {
    return e.description();
  }
  return "";
}

TEST(StoreFileTest, DamagedOrForeignFilesAreRefusedByNameAndLeftAlone) {
  TempDir dir;
  const std::string garbage(5000, 'g');
  WriteFile(dir / "garbage.store", garbage);
  EXPECT_NE(std::string::npos, OpenError(dir / "garbage.store").find(dir / "garbage.store"));
  EXPECT_EQ(garbage, ReadFile(dir / "garbage.store"));

  EXPECT_NE(std::string::npos, OpenError(dir / "missing.store").find("does not exist"));

  {  // a database of somebody else's
    win32::SystemClock clock;
    auto store = mapistore::SqliteStore::Create(dir / "real.store", "Mailbox - Ann", clock);
  }
  std::string valid = ReadFile(dir / "real.store");
  valid.replace(4096, 1024, std::string(1024, '\x5a'));  // the second page, a table's root
  WriteFile(dir / "torn.store", valid);
  const std::string torn = OpenError(dir / "torn.store");
  EXPECT_NE(std::string::npos, torn.find("torn.store")) << torn;
}

TEST(StoreFileTest, TwoProcessesAddingToOnePublicFolderLoseNothing) {
  TempDir dir;
  int64_t folderId = 0;
  {
    win32::SystemClock clock;
    auto store = mapistore::SqliteStore::Create(dir / "public.store", "Public Folders", clock);
    folderId = store->AddFolder(store->Root().id, "Team", 1).id;
  }
  constexpr int kEach = 40;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    if (children[c] == 0) {
      try {
        win32::SystemClock clock;
        auto store = mapistore::SqliteStore::Open(dir / "public.store", clock);
        for (int i = 0; i < kEach; ++i) {
          mapistore::ItemRecord r;
          r.folderId = folderId;
          r.fields.Set(outlook::ApptField::Subject, com::Variant("member " + std::to_string(c)));
          store->SaveItem(r);
        }
      } catch (const std::exception& e) {
        fprintf(stderr, "child %d: %s\n", c, e.what());
        _exit(1);
      }
      _exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  win32::SystemClock clock;
  auto store = mapistore::SqliteStore::Open(dir / "public.store", clock);
  mapistore::ItemQuery q;
  q.folderId = folderId;
  EXPECT_EQ(2 * kEach, store->CountItems(q));
}

// A process with a message loop, as the host gives the stores one.
struct LoopEnvironment {
  explicit LoopEnvironment(const TempDir& dir) : registry(dir / "registry.reg") { win32::SetEnv(&env); }
  ~LoopEnvironment() { win32::SetEnv(nullptr); }
  win32::SystemClock clock;
  win32::MessageLoop loop{clock};
  win32::FileRegistry registry;
  win32::ScriptedUi ui;
  win32::Environment env{registry, ui, clock, loop, ""};
};

// A public store with a "Team" folder, in such a process.
class LoopedStoreTest : public ::testing::Test {
 protected:
  TempDir dir;
  LoopEnvironment host{dir};
  win32::SystemClock& clock = host.clock;
  win32::MessageLoop& loop = host.loop;
  std::unique_ptr<mapistore::SqliteStore> mine =
      mapistore::SqliteStore::Create(dir / "public.store", "Public Folders", {clock, &loop});
  int64_t team = mine->AddFolder(mine->Root().id, "Team", 1).id;
};

// A pass's reads share one snapshot; it must not hide another connection's commit, nor outlive
// the loop's turn (an open snapshot would hold back every other member's checkpoint).
TEST_F(LoopedStoreTest, ASharedReadSnapshotEndsAtAnotherWriterOrTheLoopsTurn) {
  {
    mapistore::ItemQuery folder;
    folder.folderId = team;
    loop.DoEvents();
    auto theirs = mapistore::SqliteStore::Open(dir / "public.store", clock);
    auto add = [&](mapistore::SqliteStore& store) {
      mapistore::ItemRecord r;
      r.folderId = team;
      store.SaveItem(r);
    };

    add(*mine);
    EXPECT_EQ(1u, mine->QueryItems(folder).size());  // a snapshot now held
    add(*theirs);
    EXPECT_EQ(2u, mine->QueryItems(folder).size());
    add(*theirs);
    EXPECT_EQ(3u, mine->LoadItems(folder).size());

    sqlite3* outsider = nullptr;  // another process's connection, with no patience
    ASSERT_EQ(SQLITE_OK, sqlite3_open((dir / "public.store").c_str(), &outsider));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(outsider, "SELECT COUNT(*) FROM items", nullptr, nullptr, nullptr));
    auto checkpoint = [&] {
      int log = -1, done = -1;
      const int rc = sqlite3_wal_checkpoint_v2(outsider, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &log, &done);
      return rc == SQLITE_OK ? log : -1;
    };
    EXPECT_EQ(-1, checkpoint());  // our snapshot still reads the log
    loop.DoEvents();
    EXPECT_EQ(0, checkpoint());
    sqlite3_close(outsider);
    EXPECT_EQ(3u, mine->QueryItems(folder).size());
  }
}

// Lookups by a field are answered from memory while nobody else writes the file: what another
// connection or process writes must show as soon as it would through the file itself.
TEST_F(LoopedStoreTest, RememberedLookupsFollowEveryWriterOfTheFile) {
  {
    mine->AddUserProperty(team, "OrigEntryId", 1, true);
    mapistore::ItemRecord item;
    item.folderId = team;
    item.userProps.push_back({"OrigEntryId", 1, com::Variant("link-a")});
    mine->SaveItem(item);
    loop.DoEvents();
    auto holding = [&](mapistore::SqliteStore& store, const std::string& value) {
      mapistore::ItemQuery q;
      q.folderId = team;
      q.filters.push_back(mapistore::ParseFilter("[OrigEntryId] = \"" + value + "\""));
      return store.LoadItems(q).size();
    };
    auto relink = [&](mapistore::SqliteStore& store, const std::string& value) {
      auto r = *store.LoadItem(item.id);
      r.userProps.at(0).value = com::Variant(value);
      store.SaveItem(r);
    };
    EXPECT_EQ(1u, holding(*mine, "LINK-A")) << "text compares without regard to case";

    auto theirs = mapistore::SqliteStore::Open(dir / "public.store", clock);
    relink(*theirs, "link-b");
    EXPECT_EQ(0u, holding(*mine, "link-a"));
    EXPECT_EQ(1u, holding(*mine, "link-b"));

    relink(*mine, "link-c");  // our own write keeps what we remember right
    EXPECT_EQ(0u, holding(*mine, "link-b"));
    EXPECT_EQ(1u, holding(*mine, "link-c"));
    theirs.reset();
    loop.DoEvents();  // our read snapshot ends, so the other process can write

    ASSERT_TRUE(InAnotherProcess([&] {
      win32::SetEnv(nullptr);
      auto other = mapistore::SqliteStore::Open(dir / "public.store", clock);
      relink(*other, "link-d");
    }));
    loop.DoEvents();  // the program's next turn: another process's write shows from then on
    EXPECT_EQ(0u, holding(*mine, "link-c"));
    EXPECT_EQ(1u, holding(*mine, "link-d"));

    mine->DeleteItem(item.id);
    EXPECT_EQ(0u, holding(*mine, "link-d"));
  }
}

}  // namespace
