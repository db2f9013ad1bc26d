#pragma once
// A thin handle on one SQLite database file; failures raise com::ComError naming the file.
#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

namespace mapistore {

class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql, const std::string& path);
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
  bool IsNull(int col);

 private:
  [[noreturn]] void Fail(int rc);
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  std::string path_;
};

class Db {
 public:
  // Opens an existing file, or creates a new one when create is set (the file must not exist).
  Db(const std::string& path, bool create);
  ~Db();
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  void Exec(const std::string& sql);
  Statement Prepare(const std::string& sql) { return Statement(db_, sql, path_); }
  int64_t LastInsertId() { return sqlite3_last_insert_rowid(db_); }
  const std::string& path() const { return path_; }
  sqlite3* raw() { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::string path_;
};

// BEGIN IMMEDIATE ... COMMIT, rolled back when left by an exception.
class Transaction {
 public:
  explicit Transaction(Db& db);
  ~Transaction();
  void Commit();

 private:
  Db& db_;
  bool done_ = false;
};

[[noreturn]] void RaiseStoreFailure(const std::string& path, const std::string& what);

}  // namespace mapistore
