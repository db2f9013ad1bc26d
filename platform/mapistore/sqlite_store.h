#pragma once
// A store in one SQLite file: a mailbox, the public folders or a personal folders file.
// Several processes may share one file (WAL journal, busy timeout); every change is one
// transaction. A file that is not a store is refused without being written to.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_set>
#include <variant>

#include "platform/com/text.h"
#include "platform/mapistore/item_cache.h"
#include "platform/mapistore/sqlite_db.h"
#include "platform/mapistore/store.h"
#include "platform/win32/clock.h"

namespace mapistore {

class SqliteStore : public Store {
 public:
  // A new store file whose root folder is named displayName ("Mailbox - Ann", "Public Folders")
  // and holds items of rootItemType (the public folders' root: 6, post items).
  static std::unique_ptr<SqliteStore> Create(const std::string& path, const std::string& displayName,
                                             const DbServices& services, int rootItemType = 0);
  static std::unique_ptr<SqliteStore> Open(const std::string& path, const DbServices& services);
  // Without a loop: every statement reads afresh.
  static std::unique_ptr<SqliteStore> Create(const std::string& path, const std::string& displayName,
                                             win32::Clock& clock, int rootItemType = 0) {
    return Create(path, displayName, DbServices{clock}, rootItemType);
  }
  static std::unique_ptr<SqliteStore> Open(const std::string& path, win32::Clock& clock) {
    return Open(path, DbServices{clock});
  }

  std::string Path() override { return db_.path(); }
  std::string StoreId() override { return storeId_; }
  std::string DisplayName() override { return displayName_; }
  FolderRecord Root() override;
  std::vector<FolderRecord> SubFolders(int64_t parentId) override;
  std::optional<FolderRecord> FolderById(int64_t id) override;
  std::optional<FolderRecord> FolderByEntryId(const std::string& entryId) override;
  FolderRecord AddFolder(int64_t parentId, const std::string& name, int itemType) override;
  std::vector<std::string> FolderFields(int64_t folderId) override;
  void AddUserProperty(int64_t folderId, const std::string& name, int type, bool addToFolderFields) override;
  int CountItems(const ItemQuery& query) override;
  void CheckQuery(const ItemQuery& query) override;
  std::vector<int64_t> QueryItems(const ItemQuery& query) override;
  std::vector<ItemRecord> LoadItems(const ItemQuery& query) override;
  std::optional<ItemRecord> LoadItem(int64_t id) override;
  std::vector<SharedRecord> LoadItemsById(const std::vector<int64_t>& ids, bool lean) override;
  std::optional<int64_t> FindItem(const std::string& entryId) override;
  void SaveItem(ItemRecord& item) override;
  ItemRecord PrepareCopy(int64_t id) override;
  void InsertCopy(ItemRecord& copy) override;
  ItemRecord MoveItem(int64_t id, int64_t folderId) override;
  ItemRecord ImportItem(const ItemRecord& item, int64_t folderId) override;
  void DeleteItem(int64_t id) override;
  std::vector<AddressRecord> Addresses() override;
  void AddAddress(const AddressRecord& address) override;
  bool DeleteAddress(const std::string& list, const std::string& name) override;
  void MakeDurable() override { db_.MakeDurable(); }

  // SQLite's plan for a query, so tests can see that a lookup uses an index.
  std::string ExplainQuery(const ItemQuery& query);

 private:
  using Binding = std::variant<int64_t, std::string>;
  SqliteStore(const std::string& path, bool create, const DbServices& services);
  void CreateSchema(const std::string& displayName, int rootItemType);
  void LoadInfo();
  bool HasTable(const std::string& name);
  // Inside a write: gives a store made before address lists had names its table of entries.
  void UpgradeAddresses();
  void AddMissingColumns();
  void WriteDigests();  // of every item, for a store that had none
  bool digests_ = true;  // the file has the column (not: an older store opened read-only)
  void ProbeEveryTree();  // raises when the file is damaged near the top of a table or index
  std::string NewEntryId();
  int64_t NowMs();
  // scanTable: the folder's rows are found by reading the table, not through the folder's index.
  std::string CompileQuery(const ItemQuery& query, const std::string& select, std::vector<Binding>& binds,
                           bool scanTable = false);
  std::string CompileNode(const FilterNode& node, int64_t folderId, const std::string& text,
                          std::vector<Binding>& binds);
  void BindAll(Statement& st, const std::vector<Binding>& binds);
  void CheckKnownField(int64_t folderId, const std::string& property);
  // The filter on a user property's value that a lookup is driven by, if there is one.
  static std::optional<size_t> DrivingFilter(const ItemQuery& q);
  // Writes the item: a new row when item.id is 0, else only what differs from stored.
  void WriteItem(ItemRecord& item, const ItemRecord* stored);
  void WriteParts(const ItemRecord& item, const ItemRecord* stored);
  FolderRecord ReadFolder(Statement& st);
  ItemRecord MustLoad(int64_t id);
  static std::vector<ItemRecord> Copies(const std::vector<SharedRecord>& records);
  // A lookup by one field's value answered from the cache; nothing when it cannot be.
  std::optional<std::vector<ItemRecord>> LookUpInCache(const ItemQuery& query);
  std::optional<std::vector<int64_t>> LookUpIds(const ItemQuery& query);  // the items such a lookup finds
  // The query's items, read from the file.
  std::vector<ItemRecord> ReadRecords(const ItemQuery& query);
  void ReadFolderParts(int64_t folderId, bool scan, const std::function<ItemRecord*(int64_t)>& find);
  // Keeps the folder's items (lean) in the cache, and which of them hold which value of the property.
  void RememberFolder(int64_t folderId, const std::string& property);
  // Whether the query reads the table in stored order: its folder holds at least half of the
  // file's items and no field's index drives it.
  bool ScansTable(const ItemQuery& query);
  std::string SortColumn(const ItemQuery& query);  // the query's order, after which IDs go
  // A walk answered from the cache once the query's IDs are read, unless more than a few of
  // its items are not there.
  std::optional<std::vector<ItemRecord>> WalkInCache(const std::string& idsSql, const std::vector<Binding>& binds,
                                                     bool lean);
  static constexpr size_t kFewMissing = 32;
  // Keeps a remembered folder count right after this store's own committed insert or delete.
  void Recount(int64_t folderId, int change);
  std::string OrderBy(const ItemQuery& query);

  Db db_;
  win32::Clock& clock_;

  std::string storeId_;
  std::string displayName_;
  std::map<int64_t, std::unordered_set<std::string, com::NoCaseHash, com::NoCaseEqual>> knownFields_;
  static constexpr int64_t kCountFreshMs = 250;
  std::map<int64_t, std::pair<int, int64_t>> folderCounts_;  // folder -> (count, when read)
  ItemCache cache_;
};

}  // namespace mapistore
