#pragma once
// A thin handle on one SQLite database file; failures raise com::ComError naming the file.
#include <sqlite3.h>
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/win32/clock.h"
#include "platform/win32/message_loop.h"

namespace mapistore {

// What a store file works with. The clock's ticks time the "read a moment ago" rules; the
// loop's turn ends a read snapshot held between statements (without a loop every statement
// reads afresh); vfs names the SQLite VFS the files go through (tests inject faults there),
// none: the system's own.
struct DbServices {
  win32::Clock& clock;
  win32::MessageLoop* loop = nullptr;
  const char* vfs = nullptr;
};

class Db;

// A prepared statement borrowed from its database's cache for one use; it goes back, reset,
// when the handle goes.
class Statement {
 public:
  Statement(Db& db, const std::string& sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, int64_t v);
  Statement& Bind(int index, const std::string& v);
  Statement& BindNull(int index);
  bool Step();  // true while a row is there
  void Run();   // steps to the end
  void Reset();

  int64_t Int(int col);
  std::string Text(int col);
  std::string_view TextView(int col);  // valid until the statement steps on
  bool IsNull(int col);
  bool IsInteger(int col);

 private:
  [[noreturn]] void Fail(int rc);
  Db& db_;
  std::string sql_;
  sqlite3_stmt* stmt_ = nullptr;
};

class Db {
 public:
  // Opens an existing file, or creates a new one when create is set (the file must not exist).
  Db(const std::string& path, bool create, const DbServices& services);
  ~Db();
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  void Exec(const std::string& sql);
  // Syncs this file's committed writes to the disk; raises when it cannot.
  void MakeDurable();
  Statement Prepare(const std::string& sql) { return Statement(*this, sql); }
  int64_t LastInsertId() { return sqlite3_last_insert_rowid(db_); }
  const std::string& path() const { return path_; }
  // Changes whenever another connection's commit may have come into view, so that what was
  // read before can no longer be trusted. Without a transaction every statement is a view of
  // its own, and the epoch changes at each.
  uint64_t Epoch() const { return epoch_; }
  sqlite3* raw() { return db_; }

 private:
  friend class Statement;
  friend class Transaction;
  // Reads outside a transaction share one snapshot (see readHeld_ below).
  void HoldRead();
  void EndHeldRead();
  void EndIdleRead();  // at the loop's turn, and before the program waits for a person
  // Runs action at the loop's next turn, if this database is still open then.
  void AtNextTurn(void (Db::*action)());
  // Other connections of this process to the same file stop reading their old snapshot.
  void Committed();
  // Just after a transaction begins: moves the epoch on if another connection committed.
  void CheckOthersChanges();
  void RawExec(const std::string& sql);
  sqlite3_file* Log();
  // Before this file's next write: what other files committed first reaches the disk first.
  void SyncOthers();
  void SyncAtNextTurn();
  void SyncAtTurn();  // a failure waits for the next write to another file
  // One statement of the transaction machinery, kept prepared: a pass runs tens of thousands.
  void Control(const std::string& sql);
  [[noreturn]] void Raise(int rc, const std::string& message);
  sqlite3_stmt* Acquire(const std::string& sql);
  void Release(const std::string& sql, sqlite3_stmt* stmt);

  sqlite3* db_ = nullptr;
  std::string path_;
  win32::Clock& clock_;
  win32::MessageLoop* loop_;
  std::shared_ptr<Db*> alive_ = std::make_shared<Db*>(this);  // for what the loop keeps of it
  dev_t device_ = 0;
  ino_t inode_ = 0;
  std::unordered_multimap<std::string, sqlite3_stmt*> idle_;
  int activeStatements_ = 0;
  // A read transaction kept open between statements: beginning and ending one costs file
  // locks, and a pass reads thousands of times. It ends at the loop's next turn, before a write,
  // before a modal box or form waits for the user, once it is kReadFreshMs old, or when another
  // connection of this process commits to the file; other processes' changes therefore show
  // within that moment, as with remembered counts.
  static constexpr int64_t kReadFreshMs = 250;
  bool syncPosted_ = false;
  bool readHeld_ = false;
  int64_t readSinceMs_ = 0;
  std::atomic<bool> readStale_{false};
  uint64_t epoch_ = 1;
  int64_t dataVersion_ = -1;
};

// One store operation, all or nothing. A write operation is committed before Commit returns; a
// failure there is the failure of the operation, and nothing of it stays. Before a write begins,
// the commits of every other store file are synced to the disk, so a power loss keeps the
// operations of all files in the order they were made, up to some point; the file's own are
// synced at the loop's turn, or when the host reports the work done (MakeDurable). One
// inside another is a savepoint of it. A read transaction is a snapshot for its statements.
class Transaction {
 public:
  enum class Kind { Write, Read };
  explicit Transaction(Db& db, Kind kind = Kind::Write);
  ~Transaction();
  void Commit();

 private:
  Db& db_;
  Kind kind_;
  bool done_ = false;
  bool savepoint_ = false;  // inside another transaction of this database
  bool own_ = false;        // a transaction of its own, begun here
};

[[noreturn]] void RaiseStoreFailure(const std::string& path, const std::string& what);

}  // namespace mapistore
