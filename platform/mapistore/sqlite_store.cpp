#include "platform/mapistore/sqlite_store.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <sys/random.h>

#include <cerrno>
#include <sstream>
#include <tuple>
#include <set>
#include <unordered_map>

#include "platform/com/com_error.h"
#include "platform/com/text.h"
#include "platform/mapistore/item_reads.h"
#include "platform/mapistore/item_row.h"
#include "platform/mapistore/store_errors.h"
#include "platform/win32/atomic_file.h"
#include "platform/win32/locale.h"

namespace mapistore {

using outlook::ApptField;
using outlook::FieldInfo;
using outlook::FieldKind;
using outlook::StoredFields;

namespace {

constexpr const char* kFormat = "quorvane-store 1";
// Stores made before address lists had names and kinds hold their members in a table
// "addresses" (name, address): entries of the workgroup's list. It stays, since an older program
// sharing the public folders goes on adding its member there; the newer table is made at the
// first change of an address.
constexpr const char* kAddressEntriesTable =
    "CREATE TABLE address_entries(id INTEGER PRIMARY KEY, list TEXT NOT NULL COLLATE NOCASE,"
    "  name TEXT NOT NULL COLLATE NOCASE, address TEXT NOT NULL, type TEXT NOT NULL, display_type INTEGER NOT NULL,"
    "  UNIQUE(list, name));";
constexpr const char* kOldAddressList = "Global Address List";
constexpr const char* kDigestColumn = "content_digest";

std::string ColumnType(FieldKind kind) { return kind == FieldKind::Text ? "TEXT" : "INTEGER"; }

// The items table's columns that may be NULL, with their types: the ones a newer version may add
// to a store made by an older one.
std::vector<std::pair<std::string, std::string>> OptionalItemColumns() {
  std::vector<std::pair<std::string, std::string>> columns;
  for (const FieldInfo& f : StoredFields()) columns.emplace_back(f.column, ColumnType(f.kind));
  for (const char* c : {"recur_type", "recur_interval", "recur_mask", "recur_day", "recur_month", "recur_start_ms",
                        "recur_end_ms", "recur_instance", "recur_occurrences"}) {
    columns.emplace_back(c, "INTEGER");
  }
  columns.emplace_back("recur_exceptions", "TEXT");
  columns.emplace_back(kDigestColumn, "TEXT");
  return columns;
}

// Whoever writes an item's content or parts, and does not know of its digest (an older version
// of this program, or a person with a database tool), leaves it unknown rather than wrong: the
// store writes the digest last.
std::string DigestTriggers() {
  std::string content = "message_class";
  for (const auto& [column, type] : OptionalItemColumns()) {
    if (column != kDigestColumn) content += ", " + column;
  }
  const std::string forget = "UPDATE items SET content_digest = NULL WHERE id = ";
  std::string sql = "DROP TRIGGER IF EXISTS items_content_written;"
                    "CREATE TRIGGER items_content_written AFTER UPDATE OF " + content +
                    " ON items WHEN NEW.content_digest IS OLD.content_digest BEGIN " + forget + "NEW.id; END;";
  for (const char* table : {"attachments", "recipients", "links"}) {
    const std::string name = std::string(table) + "_written";
    sql += "DROP TRIGGER IF EXISTS " + name + "_in;DROP TRIGGER IF EXISTS " + name + "_out;" +
           "CREATE TRIGGER " + name + "_in AFTER INSERT ON " + table + " BEGIN " + forget + "NEW.item_id; END;" +
           "CREATE TRIGGER " + name + "_out AFTER DELETE ON " + table + " BEGIN " + forget + "OLD.item_id; END;";
  }
  return sql;
}

// A property of the filter language that maps onto a column or an expression.
struct ColumnRef {
  std::string sql;
  FieldKind kind;
};

std::optional<ColumnRef> BuiltInColumn(std::string_view property) {
  // Asked several times for every lookup a pass makes: hash lookups, no copy of the name.
  if (const FieldInfo* f = outlook::FindField(property)) return ColumnRef{f->column, f->kind};
  static const auto* others = new std::unordered_map<std::string, ColumnRef, com::NoCaseHash, com::NoCaseEqual>{
      {"EntryID", {"entry_id", FieldKind::Text}},
      {"MessageClass", {"message_class", FieldKind::Text}},
      {"LastModificationTime", {"modified_ms", FieldKind::Date}},
      {"CreationTime", {"created_ms", FieldKind::Date}},
      {"Duration", {"((end_ms - start_ms) / 60000)", FieldKind::Long}},
      {"IsRecurring", {"(recur_type IS NOT NULL)", FieldKind::Boolean}}};
  auto it = others->find(property);
  if (it == others->end()) return std::nullopt;
  return it->second;
}

std::string SqlOp(const std::string& op) { return op == "<>" ? "<>" : op; }

}  // namespace

SqliteStore::SqliteStore(const std::string& path, bool create, const DbServices& services)
    : db_(path, create, services), clock_(services.clock) {}

std::unique_ptr<SqliteStore> SqliteStore::Create(const std::string& path, const std::string& displayName,
                                                 const DbServices& services, int rootItemType) {
  std::unique_ptr<SqliteStore> s(new SqliteStore(path, true, services));
  s->CreateSchema(displayName, rootItemType);
  s->LoadInfo();
  return s;
}

std::unique_ptr<SqliteStore> SqliteStore::Open(const std::string& path, const DbServices& services) {
  std::unique_ptr<SqliteStore> s(new SqliteStore(path, false, services));
  s->LoadInfo();
  return s;
}

void SqliteStore::CreateSchema(const std::string& displayName, int rootItemType) {
  // Small pages: a commit writes whole pages, and a pass's commits change a few rows each. The
  // log is checkpointed (and synced) every 32 MiB: fewer, larger checkpoints write each busy page
  // back fewer times.
  db_.Exec("PRAGMA page_size=2048");
  db_.Exec("PRAGMA journal_mode=WAL");
  std::string items =
      "CREATE TABLE items(id INTEGER PRIMARY KEY, entry_id TEXT NOT NULL UNIQUE, "
      "folder_id INTEGER NOT NULL REFERENCES folders(id), message_class TEXT NOT NULL";
  for (const auto& [column, type] : OptionalItemColumns()) items += ", " + column + " " + type;
  items += ", created_ms INTEGER NOT NULL, modified_ms INTEGER NOT NULL);";
  Transaction tx(db_);
  db_.Exec(
      "CREATE TABLE store_info(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
      "CREATE TABLE folders(id INTEGER PRIMARY KEY, parent_id INTEGER REFERENCES folders(id), "
      "  entry_id TEXT NOT NULL UNIQUE, name TEXT NOT NULL COLLATE NOCASE, item_type INTEGER NOT NULL,"
      "  UNIQUE(parent_id, name));"
      "CREATE TABLE folder_fields(folder_id INTEGER NOT NULL REFERENCES folders(id), "
      "  name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, PRIMARY KEY(folder_id, name));" +
      items +
      // Few indexes: every one is written at every save.
      "CREATE INDEX items_by_folder_start ON items(folder_id, start_ms);"
      "CREATE TABLE user_props(item_id INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE, "
      "  pos INTEGER NOT NULL, name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, value TEXT COLLATE NOCASE,"
      "  PRIMARY KEY(item_id, name)) WITHOUT ROWID;"
      "CREATE INDEX user_props_by_value ON user_props(name, value);"
      "CREATE TABLE attachments(item_id INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE, pos INTEGER NOT NULL,"
      "  file_name TEXT NOT NULL, display_name TEXT NOT NULL, PRIMARY KEY(item_id, pos));"
      "CREATE TABLE recipients(item_id INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE, pos INTEGER NOT NULL,"
      "  name TEXT NOT NULL, address TEXT NOT NULL, PRIMARY KEY(item_id, pos));"
      "CREATE TABLE links(item_id INTEGER NOT NULL REFERENCES items(id) ON DELETE CASCADE, pos INTEGER NOT NULL,"
      "  name TEXT NOT NULL, PRIMARY KEY(item_id, pos));" +
      std::string(kAddressEntriesTable));
  db_.Exec(DigestTriggers());
  const std::string storeId = NewEntryId().substr(8, 32);
  auto info = db_.Prepare("INSERT INTO store_info(key, value) VALUES(?, ?)");
  for (const auto& [k, v] : {std::pair<std::string, std::string>{"format", kFormat}, {"store_id", storeId},
                             {"display_name", displayName}}) {
    info.Bind(1, k).Bind(2, v).Run();
    info.Reset();
  }
  db_.Prepare("INSERT INTO folders(parent_id, entry_id, name, item_type) VALUES(NULL, ?, ?, ?)")
      .Bind(1, NewEntryId())
      .Bind(2, displayName)
      .Bind(3, int64_t{rootItemType})
      .Run();
  tx.Commit();
}

void SqliteStore::LoadInfo() {
  // Read before anything is written, so a file that is not a store stays as it was.
  try {
    ProbeEveryTree();
    auto st = db_.Prepare("SELECT key, value FROM store_info");
    std::string format;
    while (st.Step()) {
      const std::string key = st.Text(0);
      if (key == "format") format = st.Text(1);
      if (key == "store_id") storeId_ = st.Text(1);
      if (key == "display_name") displayName_ = st.Text(1);
    }
    if (format != kFormat) com::Raise(kErrCorruptStore, "");
  } catch (const com::ComError& e) {
    if (e.number() == kErrCallFailed && e.description().find("no such table") == std::string::npos) throw;
    com::Raise(kErrCorruptStore, "store " + db_.path() + " is not a calendar store or is damaged" +
                                     (e.description().empty() ? "" : " (" + e.description() + ")"));
  }
  db_.Exec("PRAGMA foreign_keys=ON");
  db_.Exec("PRAGMA journal_mode=WAL");
  // A commit is not synced by itself: before another file is written, and when the work is
  // reported done, the commits made so far are (see Transaction). A pass's operations depend
  // on each other across two files (a copy in one, the original's link to it in the other), and
  // a power loss must not keep a later one without an earlier one.
  db_.Exec("PRAGMA synchronous=NORMAL");
  // A small page cache (256 KiB): every commit walks it, every page of it is memory the process
  // takes afresh, and a page read again comes from the kernel's cache for a system call. Larger
  // ones (up to 2 MiB) made a pass over 10,000 items no faster and took 4 MiB more.
  db_.Exec("PRAGMA cache_size=-256");
  // Pages are read into that cache, not mapped: a mapped page counts towards the process's
  // memory for as long as it runs, and a pass reads every page of a calendar.
  db_.Exec("PRAGMA mmap_size=0");
  db_.Exec("PRAGMA wal_autocheckpoint=16000");
  // The log kept between commands is emptied when the last connection closes.
  db_.Exec("PRAGMA journal_size_limit=0");
  // Sorts stay in memory: a pass reads, and must not write even a temporary file.
  db_.Exec("PRAGMA temp_store=MEMORY");
  AddMissingColumns();
}

void SqliteStore::ProbeEveryTree() {
  // The top of every table and index is read, which finds a file that is torn or not a store. A
  // check of every page would make each opening cost what the whole file holds; damage further
  // in is reported as "damaged" by the statement that meets it. One statement reads them all:
  // compiling one per tree cost more than reading.
  auto schema = db_.Prepare(
      "SELECT type, name, tbl_name, (SELECT name FROM pragma_index_info(m.name) WHERE seqno = 0) "
      "FROM sqlite_master AS m WHERE type IN ('table', 'index')");
  std::string probe;
  while (schema.Step()) {
    const std::string type = schema.Text(0), name = schema.Text(1), table = schema.Text(2);
    std::string one;
    if (type == "table") {
      one = "SELECT 1 FROM " + com::Quoted(table);
    } else if (!schema.IsNull(3)) {  // not an index on an expression
      one = "SELECT 1 FROM " + com::Quoted(table) + " INDEXED BY " + com::Quoted(name) + " WHERE " +
            com::Quoted(schema.Text(3)) + " IS NULL";
    }
    if (!one.empty()) probe += (probe.empty() ? "SELECT " : ", ") + ("(" + one + " LIMIT 1)");
  }
  if (!probe.empty()) db_.Prepare(probe).Step();
}

void SqliteStore::AddMissingColumns() {
  std::set<std::string> have;
  auto st = db_.Prepare("PRAGMA table_info(items)");
  while (st.Step()) have.insert(st.Text(1));
  std::vector<std::pair<std::string, std::string>> missing;
  for (const auto& column : OptionalItemColumns()) {
    if (!have.count(column.first)) missing.push_back(column);
  }
  // A file this program may only read is read without digests: items are then compared field
  // by field, as before there were any.
  bool addDigests = !have.count(kDigestColumn);
  if (addDigests && (sqlite3_db_readonly(db_.raw(), "main") == 1 || !win32::ReadOnlyReason(db_.path()).empty())) {
    digests_ = addDigests = false;
    std::erase_if(missing, [](const auto& c) { return c.first == kDigestColumn; });
  }
  if (missing.empty()) return;
  // Added columns read as NULL, which every reader takes as the value's default; an older
  // program sharing the file names its columns and so goes on working with it.
  Transaction tx(db_);
  for (const auto& [column, type] : missing) {
    db_.Exec("ALTER TABLE items ADD COLUMN " + column + " " + type);
    // The identity an export by an older version gave each appointment: importing that file
    // again finds them.
    if (column == outlook::Info(ApptField::GlobalAppointmentID).column) {
      db_.Exec("UPDATE items SET " + column + " = entry_id || '@quorvane'");
    }
  }
  db_.Exec(DigestTriggers());  // over every content column there is now
  if (addDigests) WriteDigests();
  tx.Commit();
}

void SqliteStore::WriteDigests() {
  std::vector<int64_t> ids;
  for (auto st = db_.Prepare("SELECT id FROM items"); st.Step();) ids.push_back(st.Int(0));
  auto write = db_.Prepare("UPDATE items SET content_digest = ? WHERE id = ?");
  constexpr size_t kBatch = 256;
  for (size_t first = 0; first < ids.size(); first += kBatch) {
    const std::vector<int64_t> batch(ids.begin() + static_cast<long>(first),
                                     ids.begin() + static_cast<long>(std::min(ids.size(), first + kBatch)));
    for (const ItemRecord& r : ReadItemsById(db_, batch, false, false)) {
      write.Bind(1, ContentDigest(r)).Bind(2, r.id).Run();
      write.Reset();
    }
  }
}

namespace {
// Random bytes from the kernel, fetched a few thousand at a time. A forked process starts on a
// fresh supply, or it would hand out its parent's entry IDs again.
class RandomPool {
 public:
  RandomPool() { pthread_atfork(nullptr, nullptr, [] { Instance().used_ = sizeof(Instance().bytes_); }); }
  static RandomPool& Instance() {
    static RandomPool pool;
    return pool;
  }
  // False when the kernel gives none.
  bool Take(unsigned char* out, size_t n) {
    std::lock_guard lock(mutex_);
    if (used_ + n > sizeof bytes_) {
      for (size_t got = 0; got < sizeof bytes_;) {
        const ssize_t r = ::getrandom(bytes_ + got, sizeof bytes_ - got, 0);
        if (r > 0) got += static_cast<size_t>(r);
        else if (errno != EINTR) return false;
      }
      used_ = 0;
    }
    std::memcpy(out, bytes_ + used_, n);
    used_ += n;
    return true;
  }

 private:
  std::mutex mutex_;
  unsigned char bytes_[4096];
  size_t used_ = sizeof bytes_;
};
}  // namespace

std::string SqliteStore::NewEntryId() {
  unsigned char random[32];
  if (!RandomPool::Instance().Take(random, sizeof random)) {
    RaiseStoreFailure(db_.path(), "no random numbers for a new entry ID");
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string id = "00000000";
  for (unsigned char b : random) {
    id += kHex[b >> 4];
    id += kHex[b & 15];
  }
  if (!storeId_.empty()) id.replace(8, 32, storeId_);
  return id;
}

int64_t SqliteStore::NowMs() { return clock_.Now().UnixMillis(); }

FolderRecord SqliteStore::ReadFolder(Statement& st) {
  return FolderRecord{st.Int(0), st.IsNull(1) ? 0 : st.Int(1), st.Text(2), st.Text(3), static_cast<int>(st.Int(4))};
}

FolderRecord SqliteStore::Root() {
  auto st = db_.Prepare("SELECT id, parent_id, entry_id, name, item_type FROM folders WHERE parent_id IS NULL");
  if (!st.Step()) RaiseStoreFailure(db_.path(), "the store has no root folder");
  return ReadFolder(st);
}

std::vector<FolderRecord> SqliteStore::SubFolders(int64_t parentId) {
  auto st = db_.Prepare(
      "SELECT id, parent_id, entry_id, name, item_type FROM folders WHERE parent_id = ? ORDER BY id");
  st.Bind(1, parentId);
  std::vector<FolderRecord> out;
  while (st.Step()) out.push_back(ReadFolder(st));
  return out;
}

std::optional<FolderRecord> SqliteStore::FolderById(int64_t id) {
  auto st = db_.Prepare("SELECT id, parent_id, entry_id, name, item_type FROM folders WHERE id = ?");
  st.Bind(1, id);
  if (!st.Step()) return std::nullopt;
  return ReadFolder(st);
}

std::optional<FolderRecord> SqliteStore::FolderByEntryId(const std::string& entryId) {
  auto st = db_.Prepare("SELECT id, parent_id, entry_id, name, item_type FROM folders WHERE entry_id = ?");
  st.Bind(1, entryId);
  if (!st.Step()) return std::nullopt;
  return ReadFolder(st);
}

FolderRecord SqliteStore::AddFolder(int64_t parentId, const std::string& name, int itemType) {
  Transaction tx(db_);
  auto exists = db_.Prepare("SELECT 1 FROM folders WHERE parent_id = ? AND name = ?");
  exists.Bind(1, parentId).Bind(2, name);
  if (exists.Step()) com::Raise(kErrCallFailed, "Cannot create the folder. A folder named \"" + name + "\" exists.");
  FolderRecord f{0, parentId, NewEntryId(), name, itemType};
  db_.Prepare("INSERT INTO folders(parent_id, entry_id, name, item_type) VALUES(?, ?, ?, ?)")
      .Bind(1, parentId)
      .Bind(2, f.entryId)
      .Bind(3, name)
      .Bind(4, int64_t{itemType})
      .Run();
  f.id = db_.LastInsertId();
  tx.Commit();
  return f;
}

std::vector<std::string> SqliteStore::FolderFields(int64_t folderId) {
  auto st = db_.Prepare("SELECT name FROM folder_fields WHERE folder_id = ? ORDER BY name");
  st.Bind(1, folderId);
  std::vector<std::string> out;
  while (st.Step()) out.push_back(st.Text(0));
  return out;
}

void SqliteStore::AddUserProperty(int64_t folderId, const std::string& name, int type, bool addToFolderFields) {
  if (!addToFolderFields || knownFields_[folderId].count(name)) return;  // fields are never taken away
  Transaction tx(db_);
  db_.Prepare("INSERT OR IGNORE INTO folder_fields(folder_id, name, type) VALUES(?, ?, ?)")
      .Bind(1, folderId)
      .Bind(2, name)
      .Bind(3, int64_t{type})
      .Run();
  tx.Commit();
  knownFields_[folderId].insert(name);
}

std::string SqliteStore::CompileNode(const FilterNode& node, int64_t folderId, const std::string& text,
                                     std::vector<Binding>& binds) {
  switch (node.kind) {
    case FilterNode::Kind::And:
    case FilterNode::Kind::Or: {
      const char* joiner = node.kind == FilterNode::Kind::And ? " AND " : " OR ";
      return "(" + CompileNode(node.children[0], folderId, text, binds) + joiner +
             CompileNode(node.children[1], folderId, text, binds) + ")";
    }
    case FilterNode::Kind::Not:
      return "(NOT " + CompileNode(node.children[0], folderId, text, binds) + ")";
    case FilterNode::Kind::Compare:
      break;
  }
  const std::string op = SqlOp(node.op);
  if (com::EqualsNoCase(node.property, "Recurrence")) {
    if (!com::EqualsNoCase(node.value, "(none)") || (op != "=" && op != "<>")) {
      RaiseBadFilter(text, node.position, "Only \"(none)\" can be compared with [Recurrence] (= or <>)");
    }
    return op == "=" ? "(recur_type IS NULL)" : "(recur_type IS NOT NULL)";
  }
  if (auto col = BuiltInColumn(node.property)) {
    switch (col->kind) {
      case FieldKind::Text:
        binds.emplace_back(node.value);
        return "(" + col->sql + " " + op + " ? COLLATE NOCASE)";
      case FieldKind::Date: {
        com::Date d;
        if (!win32::Locale::Current().ParseDate(node.value, d)) {
          RaiseBadFilter(text, node.position, "\"" + node.value + "\" is not a date");
        }
        binds.emplace_back(d.UnixMillis());
        return "(" + col->sql + " " + op + " ?)";
      }
      case FieldKind::Boolean: {
        const std::string v = com::ToLower(node.value);
        if (v != "true" && v != "false" && v != "-1" && v != "0" && v != "1") {
          RaiseBadFilter(text, node.position, "\"" + node.value + "\" is not True or False");
        }
        binds.emplace_back(int64_t{v == "true" || v == "-1" || v == "1"});
        return "((" + col->sql + " <> 0) " + op + " ?)";
      }
      case FieldKind::Long: {
        char* end = nullptr;
        const long long n = std::strtoll(node.value.c_str(), &end, 10);
        if (node.value.empty() || *end != '\0') {
          RaiseBadFilter(text, node.position, "\"" + node.value + "\" is not a number");
        }
        binds.emplace_back(static_cast<int64_t>(n));
        return "(" + col->sql + " " + op + " ?)";
      }
    }
  }
  // A user property can be filtered on only once the folder knows it as a field. Fields are
  // never taken away, so a known one is remembered; an unknown one is asked for again, as
  // another member may have just added it.
  CheckKnownField(folderId, node.property);
  binds.emplace_back(node.property);
  binds.emplace_back(node.value);
  if (op == "=") return "(items.id IN (SELECT item_id FROM user_props WHERE name = ? AND value = ?))";
  return "((SELECT value FROM user_props WHERE item_id = items.id AND name = ?) " + op + " ?)";
}

void SqliteStore::CheckKnownField(int64_t folderId, const std::string& property) {
  auto& known = knownFields_[folderId];
  if (known.count(property)) return;
  for (const auto& f : FolderFields(folderId)) known.insert(f);
  if (!known.count(property)) com::Raise(kErrBadCondition, "The property \"" + property + "\" is unknown.");
}

std::optional<size_t> SqliteStore::DrivingFilter(const ItemQuery& q) {
  for (size_t i = 0; i < q.filters.size(); ++i) {
    const FilterNode& n = q.filters[i];
    if (n.kind == FilterNode::Kind::Compare && n.op == "=" && !com::EqualsNoCase(n.property, "Recurrence") &&
        !BuiltInColumn(n.property)) {
      return i;
    }
  }
  return std::nullopt;
}

std::string SqliteStore::CompileQuery(const ItemQuery& q, const std::string& select, std::vector<Binding>& binds,
                                      bool scanTable) {
  const std::optional<size_t> driver = DrivingFilter(q);
  std::vector<Binding> rest;
  std::string where;
  for (size_t i = 0; i < q.filters.size(); ++i) {
    if (i == driver) continue;
    const std::string& text = i < q.filterTexts.size() ? q.filterTexts[i] : std::string();
    where += " AND " + CompileNode(q.filters[i], q.folderId, text, rest);
  }
  std::string from;
  if (driver) {
    // A lookup by a field's value starts from that field's index and reads only the items it
    // names; "+" keeps the folder index out of the planner's choice.
    const FilterNode& d = q.filters[*driver];
    CheckKnownField(q.folderId, d.property);
    binds.insert(binds.end(), {d.property, d.value});
    from = " FROM user_props CROSS JOIN items ON items.id = user_props.item_id"
           " WHERE user_props.name = ? AND user_props.value = ? AND +folder_id = ?";
  } else {
    from = scanTable ? " FROM items WHERE +folder_id = ?" : " FROM items WHERE folder_id = ?";
  }
  binds.emplace_back(q.folderId);
  binds.insert(binds.end(), rest.begin(), rest.end());
  return select + from + where;
}

void SqliteStore::BindAll(Statement& st, const std::vector<Binding>& binds) {
  int i = 1;
  for (const Binding& b : binds) {
    if (std::holds_alternative<int64_t>(b)) st.Bind(i++, std::get<int64_t>(b));
    else st.Bind(i++, std::get<std::string>(b));
  }
}

void SqliteStore::Recount(int64_t folderId, int change) {
  auto it = folderCounts_.find(folderId);
  if (it != folderCounts_.end()) it->second.first += change;
}

int SqliteStore::CountItems(const ItemQuery& query) {
  if (query.filters.empty()) {
    // A folder's count is asked for before nearly every step of a pass: a count read a moment
    // ago serves, unless this store changed since. Other members' changes show within that moment.
    const int64_t now = clock_.TickMs();
    auto cached = folderCounts_.find(query.folderId);
    if (cached != folderCounts_.end() && now - cached->second.second < kCountFreshMs) return cached->second.first;
    auto st = db_.Prepare("SELECT COUNT(*) FROM items WHERE folder_id = ?");
    st.Bind(1, query.folderId);
    st.Step();
    const int count = static_cast<int>(st.Int(0));
    folderCounts_[query.folderId] = {count, now};
    return count;
  }
  std::vector<Binding> binds;
  auto st = db_.Prepare(CompileQuery(query, "SELECT COUNT(*)", binds));
  BindAll(st, binds);
  st.Step();
  return static_cast<int>(st.Int(0));
}

std::string SqliteStore::SortColumn(const ItemQuery& query) {
  if (query.sortProperty.empty()) return "id";
  auto col = BuiltInColumn(query.sortProperty);
  if (!col) com::Raise(kErrBadCondition, "Cannot sort by the property \"" + query.sortProperty + "\".");
  return col->sql;
}

std::string SqliteStore::OrderBy(const ItemQuery& query) {
  // The field index lists a value's items in the order of their IDs already.
  if (query.sortProperty.empty()) return DrivingFilter(query) ? " ORDER BY user_props.item_id" : " ORDER BY id";
  return " ORDER BY " + SortColumn(query) + (query.descending ? " DESC" : "") + ", id";
}

bool SqliteStore::ScansTable(const ItemQuery& query) {
  // Most of the file: its rows are read as they are stored and put in order here. In the order
  // of the folder's index SQLite would look up every row by its ID, and read pages many times.
  if (DrivingFilter(query)) return false;
  auto most = db_.Prepare("SELECT (SELECT COUNT(*) FROM items WHERE folder_id = ?) * 2 >= (SELECT COUNT(*) FROM items)");
  most.Bind(1, query.folderId);
  return most.Step() && most.Int(0) != 0;
}

namespace {
// Rows read in stored order, each with its sort key, put in the query's order: by the key, then
// by ID, as OrderBy has SQLite order them.
template <typename T, typename IdOf>
void SortByKey(std::vector<std::pair<ColumnValue, T>>& keyed, const ItemQuery& query, IdOf idOf) {
  const bool descending = query.descending && !query.sortProperty.empty();
  const bool numbers = std::all_of(keyed.begin(), keyed.end(), [](const auto& k) {
    return !std::holds_alternative<std::string>(k.first);
  });
  if (!numbers) {
    std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
      if (a.first != b.first) return descending ? b.first < a.first : a.first < b.first;
      return idOf(a.second) < idOf(b.second);
    });
    return;
  }
  // Times and numbers (a walk's order of start): sorted as plain numbers, NULL first as SQLite
  // has it, then put in that order. Comparing the variants cost more than the sort itself.
  struct Key {
    std::pair<bool, int64_t> key;  // (has a value, the value): NULL first
    int64_t id;
    size_t at;
  };
  std::vector<Key> keys;
  keys.reserve(keyed.size());
  for (size_t i = 0; i < keyed.size(); ++i) {
    const auto* n = std::get_if<int64_t>(&keyed[i].first);
    keys.push_back(Key{{n != nullptr, n ? *n : 0}, idOf(keyed[i].second), i});
  }
  std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
    if (a.key != b.key) return descending ? b.key < a.key : a.key < b.key;
    return a.id < b.id;
  });
  std::vector<std::pair<ColumnValue, T>> sorted;
  sorted.reserve(keyed.size());
  for (const Key& k : keys) sorted.push_back(std::move(keyed[k.at]));
  keyed = std::move(sorted);
}
}  // namespace

void SqliteStore::CheckQuery(const ItemQuery& query) {
  // A lookup by one field's value (a pass makes one for every appointment) has only its field
  // to check.
  if (query.filters.size() == 1 && DrivingFilter(query)) {
    CheckKnownField(query.folderId, query.filters[0].property);
    return;
  }
  std::vector<Binding> binds;
  CompileQuery(query, "SELECT id", binds);
}

std::vector<int64_t> SqliteStore::QueryItems(const ItemQuery& query) {
  {
    Transaction tx(db_, Transaction::Kind::Read);
    if (auto found = LookUpIds(query)) {
      tx.Commit();
      return std::move(*found);
    }
  }
  std::vector<Binding> binds;
  std::vector<int64_t> ids;
  if (!ScansTable(query)) {
    auto st = db_.Prepare(CompileQuery(query, "SELECT id", binds) + OrderBy(query));
    BindAll(st, binds);
    while (st.Step()) ids.push_back(st.Int(0));
    return ids;
  }
  auto st = db_.Prepare(CompileQuery(query, "SELECT id, " + SortColumn(query), binds, true));
  BindAll(st, binds);
  std::vector<std::pair<ColumnValue, int64_t>> keyed;
  while (st.Step()) keyed.emplace_back(ReadValue(st, 1), st.Int(0));
  SortByKey(keyed, query, [](int64_t id) { return id; });
  ids.reserve(keyed.size());
  for (const auto& k : keyed) ids.push_back(k.second);
  return ids;
}

std::string SqliteStore::ExplainQuery(const ItemQuery& query) {
  std::vector<Binding> binds;
  auto st = db_.Prepare("EXPLAIN QUERY PLAN " + CompileQuery(query, "SELECT id", binds));
  BindAll(st, binds);
  std::string plan;
  while (st.Step()) plan += st.Text(3) + "\n";
  return plan;
}

std::optional<ItemRecord> SqliteStore::LoadItem(int64_t id) {
  Transaction tx(db_, Transaction::Kind::Read);
  cache_.Sync(db_.Epoch());
  if (const ItemRecord* known = cache_.Find(id, false)) return *known;
  auto st = db_.Prepare("SELECT " + ItemColumns(false, digests_) + " FROM items WHERE id = ?");
  st.Bind(1, id);
  if (!st.Step()) return std::nullopt;
  ItemRecord r = ReadItem(st, false);
  auto parts = db_.Prepare(PartsQuery(db_, "= ?1"));
  parts.Bind(1, id);
  ReadParts(parts, [&](int64_t) { return &r; });
  tx.Commit();
  cache_.Remember(ItemRecord(r));
  return r;
}

std::vector<SharedRecord> SqliteStore::LoadItemsById(const std::vector<int64_t>& ids, bool lean) {
  Transaction tx(db_, Transaction::Kind::Read);
  cache_.Sync(db_.Epoch());
  // What is not remembered is read, and found by ID in the order asked for (a lookup's few items
  // usually are remembered: then nothing is read).
  std::vector<int64_t> missing;
  for (int64_t id : ids) {
    if (!cache_.Find(id, lean)) missing.push_back(id);
  }
  std::vector<ItemRecord> read = ReadItemsById(db_, missing, lean, digests_);
  tx.Commit();
  std::vector<SharedRecord> shared(read.size());  // made as each is placed; an ID asked for twice shares it
  std::vector<SharedRecord> records;
  records.reserve(ids.size());
  for (int64_t id : ids) {
    if (SharedRecord known = cache_.Share(id, lean)) {
      records.push_back(std::move(known));
    } else if (ItemRecord* r = FindById(read, id)) {
      SharedRecord& s = shared[static_cast<size_t>(r - read.data())];
      if (!s) s = std::make_shared<const ItemRecord>(std::move(*r));
      records.push_back(s);
    }
  }
  return records;
}

std::vector<ItemRecord> SqliteStore::Copies(const std::vector<SharedRecord>& records) {
  std::vector<ItemRecord> copies;
  copies.reserve(records.size());
  for (const SharedRecord& r : records) copies.push_back(*r);
  return copies;
}

std::optional<std::vector<ItemRecord>> SqliteStore::LookUpInCache(const ItemQuery& query) {
  auto ids = LookUpIds(query);
  if (!ids) return std::nullopt;
  return Copies(LoadItemsById(*ids, query.lean));
}

std::optional<std::vector<int64_t>> SqliteStore::LookUpIds(const ItemQuery& query) {
  const std::optional<size_t> driver = DrivingFilter(query);
  if (!driver || query.filters.size() != 1 || !query.sortProperty.empty()) return std::nullopt;
  const FilterNode& d = query.filters[*driver];
  CheckKnownField(query.folderId, d.property);
  cache_.Sync(db_.Epoch());
  auto ids = cache_.Holding(query.folderId, d.property, d.value);
  if (!ids) {
    // The folder's items, read once with their values of the property: a pass looks up nearly
    // every one in turn, and the lookups after it stay in memory.
    RememberFolder(query.folderId, d.property);
    ids = cache_.Holding(query.folderId, d.property, d.value);
  }
  return ids;
}

std::optional<std::vector<ItemRecord>> SqliteStore::WalkInCache(const std::string& idsSql,
                                                                const std::vector<Binding>& binds, bool lean) {
  cache_.Sync(db_.Epoch());
  if (cache_.Empty()) return std::nullopt;
  auto st = db_.Prepare(idsSql);
  BindAll(st, binds);
  std::vector<int64_t> ids;
  size_t missing = 0;
  while (st.Step()) {
    ids.push_back(st.Int(0));
    if (!cache_.Find(ids.back(), lean) && ++missing > kFewMissing) return std::nullopt;
  }
  return Copies(LoadItemsById(ids, lean));
}

std::vector<ItemRecord> SqliteStore::LoadItems(const ItemQuery& query) {
  // Rows and parts are read in one snapshot, so the parts belong to the rows read.
  Transaction tx(db_, Transaction::Kind::Read);
  if (auto found = LookUpInCache(query)) {
    tx.Commit();
    return std::move(*found);
  }
  std::vector<Binding> binds;
  const std::string where = CompileQuery(query, "SELECT id", binds);
  if (auto remembered = WalkInCache(where + OrderBy(query), binds, query.lean)) {
    tx.Commit();
    return std::move(*remembered);
  }
  std::vector<ItemRecord> records = ReadRecords(query);
  tx.Commit();
  // A walk's items are not kept: a pass walks a calendar once, and what it looks up is kept.
  if (!query.lean || DrivingFilter(query)) {
    cache_.Sync(db_.Epoch());
    for (const ItemRecord& r : records) cache_.Remember(ItemRecord(r));
  }
  return records;
}

std::vector<ItemRecord> SqliteStore::ReadRecords(const ItemQuery& query) {
  const std::string& columns = ItemColumns(query.lean, digests_);
  const bool scan = ScansTable(query);
  std::vector<Binding> binds;
  std::vector<ItemRecord> records;
  if (!scan) {
    auto rows = db_.Prepare(CompileQuery(query, "SELECT " + columns, binds) + OrderBy(query));
    BindAll(rows, binds);
    while (rows.Step()) records.push_back(ReadItem(rows, query.lean));
  } else {
    const int key = ItemColumnCount(query.lean);
    auto rows = db_.Prepare(CompileQuery(query, "SELECT " + columns + ", " + SortColumn(query), binds, true));
    BindAll(rows, binds);
    // The keys are sorted with the place of their record: a record is large to move.
    std::vector<std::pair<ColumnValue, size_t>> keyed;
    while (rows.Step()) {
      keyed.emplace_back(ReadValue(rows, key), records.size());
      records.push_back(ReadItem(rows, query.lean));
    }
    // Rows read in stored order come in the order of their IDs: nothing to sort then.
    const bool inOrder = query.sortProperty.empty() &&
                         std::is_sorted(records.begin(), records.end(),
                                        [](const ItemRecord& a, const ItemRecord& b) { return a.id < b.id; });
    if (!inOrder) {
      SortByKey(keyed, query, [&](size_t at) { return records[at].id; });
      std::vector<ItemRecord> sorted;
      sorted.reserve(keyed.size());
      for (const auto& k : keyed) sorted.push_back(std::move(records[k.second]));
      records = std::move(sorted);
    }
  }
  if (records.size() <= 32) {
    // A lookup: the parts of each item found.
    const std::string partsOfOne = PartsQuery(db_, "= ?1");
    for (ItemRecord& r : records) {
      auto parts = db_.Prepare(partsOfOne);
      parts.Bind(1, r.id);
      ReadParts(parts, [&](int64_t) { return &r; });
    }
    return records;
  }
  std::unordered_map<int64_t, size_t> index;
  for (size_t i = 0; i < records.size(); ++i) index[records[i].id] = i;
  ReadFolderParts(query.folderId, scan, [&](int64_t itemId) -> ItemRecord* {
    auto it = index.find(itemId);
    return it == index.end() ? nullptr : &records[it->second];
  });
  return records;
}

void SqliteStore::ReadFolderParts(int64_t folderId, bool scan, const std::function<ItemRecord*(int64_t)>& find) {
  // The parts of the whole folder at once (of the whole file when the folder is most of it: one
  // pass over each table), matched to the rows read.
  auto parts = db_.Prepare(PartsQuery(db_, scan ? "IS NOT ?1" : "IN (SELECT id FROM items WHERE folder_id = ?1)"));
  if (scan) parts.BindNull(1);
  else parts.Bind(1, folderId);
  ReadParts(parts, find);
}

void SqliteStore::RememberFolder(int64_t folderId, const std::string& property) {
  // Straight into the cache, in stored order: a folder's records side by side with their copies
  // in the cache would double what a pass holds.
  ItemQuery folder;
  folder.folderId = folderId;
  const bool scan = ScansTable(folder);
  std::vector<Binding> binds;
  auto rows = db_.Prepare(CompileQuery(folder, "SELECT " + ItemColumns(true, digests_), binds, scan));
  BindAll(rows, binds);
  std::vector<int64_t> read;
  std::unordered_map<int64_t, ItemRecord*> kept;
  while (rows.Step()) {
    ItemRecord record = ReadItem(rows, true);
    read.push_back(record.id);
    if (ItemRecord* r = cache_.Remember(std::move(record))) kept.emplace(r->id, r);
  }
  // Parts go to the records just kept; one kept whole before has its own already.
  ReadFolderParts(folderId, scan, [&](int64_t itemId) -> ItemRecord* {
    auto it = kept.find(itemId);
    return it == kept.end() ? nullptr : it->second;
  });
  // Every item read is one a lookup may find, the one kept whole before too.
  std::vector<std::pair<std::string, int64_t>> values;
  values.reserve(read.size());
  for (int64_t id : read) {
    const ItemRecord* record = cache_.Find(id, true);
    if (const UserPropRecord* p = record ? record->FindProp(property) : nullptr) values.emplace_back(p->value.ToString(), id);
  }
  cache_.KeepValues(folderId, property, std::move(values));
}

ItemRecord SqliteStore::MustLoad(int64_t id) {
  auto r = LoadItem(id);
  if (!r) RaiseItemGone();
  return *r;
}

std::optional<int64_t> SqliteStore::FindItem(const std::string& entryId) {
  auto st = db_.Prepare("SELECT id FROM items WHERE entry_id = ?");
  st.Bind(1, entryId);
  if (!st.Step()) return std::nullopt;
  return st.Int(0);
}

bool SqliteStore::HasTable(const std::string& name) {
  auto st = db_.Prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
  st.Bind(1, name);
  return st.Step();
}

std::vector<AddressRecord> SqliteStore::Addresses() {
  const bool entries = HasTable("address_entries"), older = HasTable("addresses");
  std::string sql;
  if (entries) sql = "SELECT list, name, address, type, display_type FROM address_entries";
  if (older) {
    // An entry of the same name in the newer table stands for the member.
    sql += std::string(entries ? " UNION ALL " : "") + "SELECT ?1, name, address, 'SMTP', 0 FROM addresses" +
           (entries ? " WHERE name NOT IN (SELECT name FROM address_entries WHERE list = ?1)" : "");
  }
  std::vector<AddressRecord> out;
  if (sql.empty()) return out;
  auto st = db_.Prepare(sql + " ORDER BY 1, 2");
  if (older) st.Bind(1, std::string(kOldAddressList));
  while (st.Step()) {
    out.push_back(AddressRecord{st.Text(0), st.Text(1), st.Text(2), st.Text(3), static_cast<int>(st.Int(4))});
  }
  return out;
}

void SqliteStore::UpgradeAddresses() {
  if (!HasTable("address_entries")) db_.Exec(kAddressEntriesTable);
}

void SqliteStore::AddAddress(const AddressRecord& address) {
  Transaction tx(db_);
  UpgradeAddresses();
  db_.Prepare(
         "INSERT INTO address_entries(list, name, address, type, display_type) VALUES(?, ?, ?, ?, ?) "
         "ON CONFLICT(list, name) DO UPDATE SET name = excluded.name, address = excluded.address, "
         "type = excluded.type, display_type = excluded.display_type")
      .Bind(1, address.list)
      .Bind(2, address.name)
      .Bind(3, address.address)
      .Bind(4, address.type)
      .Bind(5, int64_t{address.displayType})
      .Run();
  tx.Commit();
}

bool SqliteStore::DeleteAddress(const std::string& list, const std::string& name) {
  Transaction tx(db_);
  UpgradeAddresses();
  bool found = false;
  std::vector<std::string> tables = {"address_entries WHERE list = ?1 AND"};
  if (HasTable("addresses") && com::EqualsNoCase(list, kOldAddressList)) tables.push_back("addresses WHERE");
  for (const std::string& where : tables) {
    auto find = db_.Prepare("SELECT 1 FROM " + where + " name = ?2");
    find.Bind(1, list).Bind(2, name);
    if (!find.Step()) continue;
    find.Reset();
    found = true;
    db_.Prepare("DELETE FROM " + where + " name = ?2").Bind(1, list).Bind(2, name).Run();
  }
  if (!found) return false;  // nothing written: the transaction rolls back
  tx.Commit();
  return true;
}

}  // namespace mapistore
