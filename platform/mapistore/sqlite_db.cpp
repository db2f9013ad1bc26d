#include "platform/mapistore/sqlite_db.h"

#include <sys/stat.h>

#include <cstdio>
#include <mutex>
#include <set>

#include "platform/com/com_error.h"
#include "platform/mapistore/store_errors.h"
#include "platform/mapistore/wal_write_buffer.h"

namespace mapistore {

void RaiseStoreFailure(const std::string& path, const std::string& what) {
  com::Raise(kErrCallFailed, "store " + path + ": " + what);
}

namespace {
// Every open database, so one that commits can tell the others of its file.
std::mutex gOpenMutex;
std::set<Db*> gOpen;
}  // namespace

Statement::Statement(Db& db, const std::string& sql) : db_(db), sql_(sql) {
  db_.HoldRead();
  if (sqlite3_get_autocommit(db_.raw())) ++db_.epoch_;  // a view of its own
  stmt_ = db_.Acquire(sql_);
  // A write outside a transaction commits at once, not with the held snapshot.
  if (db_.readHeld_ && !sqlite3_stmt_readonly(stmt_) && db_.activeStatements_ == 0) db_.EndHeldRead();
  ++db_.activeStatements_;
}

Statement::~Statement() {
  --db_.activeStatements_;
  if (stmt_) db_.Release(sql_, stmt_);
}

void Statement::Fail(int rc) { db_.Raise(rc, sqlite3_errmsg(db_.raw())); }

sqlite3_stmt* Db::Acquire(const std::string& sql) {
  auto it = idle_.find(sql);
  if (it != idle_.end()) {
    sqlite3_stmt* stmt = it->second;
    idle_.erase(it);
    return stmt;
  }
  sqlite3_stmt* stmt = nullptr;
  const int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt);
    Raise(rc, sqlite3_errmsg(db_));
  }
  return stmt;
}

void Db::Release(const std::string& sql, sqlite3_stmt* stmt) {
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  idle_.emplace(sql, stmt);
}

Statement& Statement::Bind(int index, int64_t v) {
  if (int rc = sqlite3_bind_int64(stmt_, index, v); rc != SQLITE_OK) Fail(rc);
  return *this;
}

Statement& Statement::Bind(int index, const std::string& v) {
  if (int rc = sqlite3_bind_text(stmt_, index, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
      rc != SQLITE_OK) {
    Fail(rc);
  }
  return *this;
}

Statement& Statement::BindNull(int index) {
  if (int rc = sqlite3_bind_null(stmt_, index); rc != SQLITE_OK) Fail(rc);
  return *this;
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Fail(rc);
}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

int64_t Statement::Int(int col) { return sqlite3_column_int64(stmt_, col); }

std::string_view Statement::TextView(int col) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
  return p ? std::string_view(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, col))) : std::string_view();
}

std::string Statement::Text(int col) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
  return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, col))) : std::string();
}

bool Statement::IsNull(int col) { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }
bool Statement::IsInteger(int col) { return sqlite3_column_type(stmt_, col) == SQLITE_INTEGER; }

Db::Db(const std::string& path, bool create, const DbServices& services)
    : path_(path), clock_(services.clock), loop_(services.loop) {
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (create && exists) RaiseStoreFailure(path, "a file of that name already exists");
  if (!create && !exists) com::Raise(kErrNotFound, "store " + path + " does not exist");
  // A connection is used by the thread of the program's message loop alone: SQLite need not
  // lock it at every call.
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db_, flags, WalWriteBufferVfs(services.vfs)) != SQLITE_OK) {
    const std::string why = db_ ? sqlite3_errmsg(db_) : "cannot open";
    sqlite3_close(db_);
    db_ = nullptr;
    RaiseStoreFailure(path, why);
  }
  sqlite3_busy_timeout(db_, 15000);
  sqlite3_extended_result_codes(db_, 1);
  // The log and its index stay when the last connection closes (the log emptied): a command
  // that only reads would otherwise make and remove two files a store each time it runs.
  int persist = 1;
  sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
  if (::stat(path.c_str(), &st) == 0) {
    device_ = st.st_dev;
    inode_ = st.st_ino;
  }
  if (loop_) {
    loop_->AddUserWaitHook([alive = std::weak_ptr<Db*>(alive_)] {
      auto db = alive.lock();
      if (db) (*db)->EndIdleRead();
      return db != nullptr;
    });
  }
  std::lock_guard lock(gOpenMutex);
  gOpen.insert(this);
}

Db::~Db() {
  {
    std::lock_guard lock(gOpenMutex);
    gOpen.erase(this);
  }
  // Nothing is held back: every write committed before its operation returned.
  EndHeldRead();
  try {
    MakeDurable();
  } catch (const com::ComError& e) {
    std::fprintf(stderr, "quorvane: %s\n", e.description().c_str());  // nobody else is left to tell
  }
  for (auto& [sql, stmt] : idle_) sqlite3_finalize(stmt);
  sqlite3_close(db_);
}

void Db::HoldRead() {
  if (readHeld_) {
    const bool fresh = !readStale_ && clock_.TickMs() - readSinceMs_ < kReadFreshMs;
    // A snapshot in use by a statement stays until that statement is done.
    if (fresh || activeStatements_ > 0) return;
    EndHeldRead();
  }
  if (activeStatements_ > 0 || !sqlite3_get_autocommit(db_) || !loop_) return;
  Control("BEGIN");
  CheckOthersChanges();
  readHeld_ = true;
  readStale_ = false;
  readSinceMs_ = clock_.TickMs();
  AtNextTurn(&Db::EndIdleRead);
}

void Db::EndIdleRead() {
  // Not kept while the program waits: an open snapshot holds back other members' checkpoints.
  if (activeStatements_ == 0) EndHeldRead();
  else readStale_ = true;
}

void Db::AtNextTurn(void (Db::*action)()) {
  loop_->Post([alive = std::weak_ptr<Db*>(alive_), action] {
    if (auto db = alive.lock()) ((*db)->*action)();  // unless closed meanwhile
  });
}

void Db::EndHeldRead() {
  if (!readHeld_) return;
  readHeld_ = false;
  sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
}

void Db::CheckOthersChanges() {
  sqlite3_stmt* stmt = Acquire("PRAGMA data_version");
  const int rc = sqlite3_step(stmt);
  const int64_t version = rc == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
  Release("PRAGMA data_version", stmt);
  if (version < 0 || version != dataVersion_) ++epoch_;
  dataVersion_ = version;
}

void Db::Committed() {
  std::lock_guard lock(gOpenMutex);
  for (Db* other : gOpen) {
    if (other != this && other->device_ == device_ && other->inode_ == inode_) other->readStale_ = true;
  }
}

sqlite3_file* Db::Log() {
  sqlite3_file* log = nullptr;
  sqlite3_file_control(db_, "main", SQLITE_FCNTL_JOURNAL_POINTER, &log);
  return log && log->pMethods ? log : nullptr;
}

void Db::SyncOthers() {
  if (const int rc = SyncLogsExcept(Log()); rc != SQLITE_OK) {
    Raise(rc, "the changes made before to another store could not be synced to the disk");
  }
}

void Db::MakeDurable() {
  if (sqlite3_file* log = Log()) {
    if (const int rc = SyncLog(log); rc != SQLITE_OK) Raise(rc, "the changes could not be synced to the disk");
  }
}

void Db::SyncAtNextTurn() {
  if (!loop_ || syncPosted_) return;
  syncPosted_ = true;
  AtNextTurn(&Db::SyncAtTurn);
}

void Db::SyncAtTurn() {
  syncPosted_ = false;
  try {
    MakeDurable();
  } catch (const com::ComError&) {
    // Still unsynced: the next write to another store syncs it first, and fails with the reason.
  }
}

void Db::Exec(const std::string& sql) {
  EndHeldRead();  // pragmas do nothing, or fail, inside a transaction
  RawExec(sql);
  Committed();
}

void Db::RawExec(const std::string& sql) {
  char* error = nullptr;
  const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    const std::string message = error ? error : sqlite3_errmsg(db_);
    sqlite3_free(error);
    Raise(rc, message);
  }
}

void Db::Control(const std::string& sql) {
  sqlite3_stmt* stmt = Acquire(sql);
  const int rc = sqlite3_step(stmt);
  const std::string message = rc == SQLITE_DONE ? std::string() : sqlite3_errmsg(db_);
  Release(sql, stmt);
  if (rc != SQLITE_DONE) Raise(rc, message);
}

void Db::Raise(int rc, const std::string& message) {
  const int code = rc & 0xff;
  if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) {
    com::Raise(kErrCorruptStore, "store " + path_ + " is damaged: " + message);
  }
  RaiseStoreFailure(path_, message);
}

Transaction::Transaction(Db& db, Kind kind) : db_(db), kind_(kind) {
  if (kind_ == Kind::Read) {
    db_.HoldRead();
    if (db_.readHeld_) return;  // the held snapshot serves
  } else {
    db_.EndHeldRead();  // a write begins from the newest state
  }
  if (!sqlite3_get_autocommit(db_.raw())) {
    // Inside a transaction of this database's own: a read joins it, a write is one savepoint.
    if (kind_ == Kind::Write) {
      db_.Control("SAVEPOINT operation");
      savepoint_ = true;
    }
    return;
  }
  if (kind_ == Kind::Write) db_.SyncOthers();
  db_.Control(kind_ == Kind::Write ? "BEGIN IMMEDIATE" : "BEGIN");
  own_ = true;
  db_.CheckOthersChanges();
}

Transaction::~Transaction() {
  if (done_) return;
  if (savepoint_) {
    sqlite3_exec(db_.raw(), "ROLLBACK TO operation; RELEASE operation", nullptr, nullptr, nullptr);
  } else if (own_) {
    sqlite3_exec(db_.raw(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void Transaction::Commit() {
  if (savepoint_) {
    db_.Control("RELEASE operation");
  } else if (own_) {
    try {
      db_.Control("COMMIT");
    } catch (const com::ComError&) {
      // SQLite may have rolled back already; either way nothing of the operation stays, and
      // what was read inside it may not be there.
      ++db_.epoch_;
      if (!sqlite3_get_autocommit(db_.raw())) sqlite3_exec(db_.raw(), "ROLLBACK", nullptr, nullptr, nullptr);
      done_ = true;
      throw;
    }
    if (kind_ == Kind::Write) {
      db_.Committed();
      db_.SyncAtNextTurn();
    }
  }
  done_ = true;
}

}  // namespace mapistore
