#pragma once
// The store's primitive operations on one store file. The object model (MapiSession and its
// objects) is built on these; tests wrap a store to inject faults (FaultyStore).
// Every failure raises com::ComError with the store's error numbers.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/mapistore/filter.h"
#include "platform/mapistore/records.h"

namespace mapistore {

struct ItemQuery {
  int64_t folderId = 0;
  std::vector<FilterNode> filters;  // every one must hold
  std::vector<std::string> filterTexts;  // the texts they came from, for error messages
  std::string sortProperty;              // empty: the store's own order
  bool descending = false;
  bool lean = false;  // long bodies may be cut (see ItemRecord::bodyCut)
};

class Store {
 public:
  virtual ~Store();
  virtual std::string Path() = 0;
  virtual std::string StoreId() = 0;
  virtual std::string DisplayName() = 0;  // the root folder's name

  virtual FolderRecord Root() = 0;
  virtual std::vector<FolderRecord> SubFolders(int64_t parentId) = 0;
  virtual std::optional<FolderRecord> FolderById(int64_t id) = 0;
  virtual std::optional<FolderRecord> FolderByEntryId(const std::string& entryId) = 0;
  virtual FolderRecord AddFolder(int64_t parentId, const std::string& name, int itemType) = 0;
  virtual std::vector<std::string> FolderFields(int64_t folderId) = 0;
  // Called when an item of the folder gains a user property; defines it on the folder when asked.
  virtual void AddUserProperty(int64_t folderId, const std::string& name, int type, bool addToFolderFields) = 0;

  virtual int CountItems(const ItemQuery& query) = 0;
  // Raises what running the query would raise (a property the folder does not know).
  virtual void CheckQuery(const ItemQuery& query) = 0;
  virtual std::vector<int64_t> QueryItems(const ItemQuery& query) = 0;
  // The matching items in the query's order; whole unless the query allows lean ones.
  virtual std::vector<ItemRecord> LoadItems(const ItemQuery& query) = 0;
  virtual std::optional<ItemRecord> LoadItem(int64_t id) = 0;  // whole
  // The items of these IDs that are still there, in this order; bodies may be cut when lean.
  // Remembered ones are shared with the store, not copied.
  virtual std::vector<SharedRecord> LoadItemsById(const std::vector<int64_t>& ids, bool lean) = 0;
  virtual std::optional<int64_t> FindItem(const std::string& entryId) = 0;
  // Inserts a new item (id 0: gives it an entry ID and a creation time) or updates one; each
  // save sets a modification time strictly later than the item's previous one.
  virtual void SaveItem(ItemRecord& item) = 0;
  // A copy of the item for its own folder, with a new entry ID and creation time but not yet
  // stored; InsertCopy stores it as it stands then. CopyItem does both.
  virtual ItemRecord PrepareCopy(int64_t id) = 0;
  virtual void InsertCopy(ItemRecord& copy) = 0;
  virtual ItemRecord CopyItem(int64_t id);
  virtual ItemRecord MoveItem(int64_t id, int64_t folderId) = 0;   // within this store
  virtual ItemRecord ImportItem(const ItemRecord& item, int64_t folderId) = 0;  // from another store
  virtual void DeleteItem(int64_t id) = 0;

  // The entries of the address lists this store keeps, by list and then by name.
  virtual std::vector<AddressRecord> Addresses() = 0;
  // Adds an entry, or replaces the one of the same list and name (names compare without case).
  virtual void AddAddress(const AddressRecord& address) = 0;
  // False when the list has no entry of that name.
  virtual bool DeleteAddress(const std::string& list, const std::string& name) = 0;

  // Every committed change is on the disk when this returns; raises when it cannot be.
  virtual void MakeDurable() {}
};

// Forwards every call; a fault-injecting or recording store overrides what it needs. It keeps
// the store it wraps.
class StoreWrapper : public Store {
 public:
  explicit StoreWrapper(std::shared_ptr<Store> target) : owned_(std::move(target)), target_(*owned_) {}
  std::string Path() override { return Target().Path(); }
  std::string StoreId() override { return Target().StoreId(); }
  std::string DisplayName() override { return Target().DisplayName(); }
  FolderRecord Root() override { return Target().Root(); }
  std::vector<FolderRecord> SubFolders(int64_t parentId) override { return Target().SubFolders(parentId); }
  std::optional<FolderRecord> FolderById(int64_t id) override { return Target().FolderById(id); }
  std::optional<FolderRecord> FolderByEntryId(const std::string& e) override { return Target().FolderByEntryId(e); }
  FolderRecord AddFolder(int64_t parentId, const std::string& name, int itemType) override {
    return Target().AddFolder(parentId, name, itemType);
  }
  std::vector<std::string> FolderFields(int64_t folderId) override { return Target().FolderFields(folderId); }
  void AddUserProperty(int64_t folderId, const std::string& name, int type, bool toFolder) override {
    Target().AddUserProperty(folderId, name, type, toFolder);
  }
  int CountItems(const ItemQuery& q) override { return Target().CountItems(q); }
  void CheckQuery(const ItemQuery& q) override { Target().CheckQuery(q); }
  std::vector<int64_t> QueryItems(const ItemQuery& q) override { return Target().QueryItems(q); }
  std::vector<ItemRecord> LoadItems(const ItemQuery& q) override { return Target().LoadItems(q); }
  std::optional<ItemRecord> LoadItem(int64_t id) override { return Target().LoadItem(id); }
  std::vector<SharedRecord> LoadItemsById(const std::vector<int64_t>& ids, bool lean) override {
    return Target().LoadItemsById(ids, lean);
  }
  std::optional<int64_t> FindItem(const std::string& entryId) override { return Target().FindItem(entryId); }
  void SaveItem(ItemRecord& item) override { Target().SaveItem(item); }
  ItemRecord PrepareCopy(int64_t id) override { return Target().PrepareCopy(id); }
  void InsertCopy(ItemRecord& copy) override { Target().InsertCopy(copy); }
  ItemRecord MoveItem(int64_t id, int64_t folderId) override { return Target().MoveItem(id, folderId); }
  ItemRecord ImportItem(const ItemRecord& item, int64_t folderId) override {
    return Target().ImportItem(item, folderId);
  }
  void DeleteItem(int64_t id) override { Target().DeleteItem(id); }
  std::vector<AddressRecord> Addresses() override { return Target().Addresses(); }
  void AddAddress(const AddressRecord& a) override { Target().AddAddress(a); }
  bool DeleteAddress(const std::string& list, const std::string& name) override {
    return Target().DeleteAddress(list, name);
  }
  void MakeDurable() override { Target().MakeDurable(); }

 protected:
  // Where calls go; a wrapper may do something first.
  virtual Store& Target() { return target_; }
  std::shared_ptr<Store> owned_;
  Store& target_;
};

}  // namespace mapistore
