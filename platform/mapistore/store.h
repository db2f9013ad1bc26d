#pragma once
// The store's primitive operations on one store file. The object model (MapiSession and its
// objects) is built on these; tests wrap a store to inject faults (FaultyStore).
// Every failure raises com::ComError with the store's error numbers.
#include <cstdint>
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
  // The matching items, whole, in the query's order.
  virtual std::vector<ItemRecord> LoadItems(const ItemQuery& query) = 0;
  virtual std::optional<ItemRecord> LoadItem(int64_t id) = 0;
  virtual std::optional<int64_t> FindItem(const std::string& entryId) = 0;
  // Inserts a new item (id 0: gives it an entry ID and a creation time) or updates one; each
  // save sets a modification time strictly later than the item's previous one.
  virtual void SaveItem(ItemRecord& item) = 0;
  virtual ItemRecord CopyItem(int64_t id) = 0;                     // into the item's own folder
  virtual ItemRecord MoveItem(int64_t id, int64_t folderId) = 0;   // within this store
  virtual ItemRecord ImportItem(const ItemRecord& item, int64_t folderId) = 0;  // from another store
  virtual void DeleteItem(int64_t id) = 0;

  virtual std::vector<AddressRecord> Addresses() = 0;
  virtual void AddAddress(const AddressRecord& address) = 0;
};

// Forwards every call; a fault-injecting or recording store overrides what it needs.
class StoreWrapper : public Store {
 public:
  explicit StoreWrapper(Store& target) : target_(target) {}
  std::string Path() override { return target_.Path(); }
  std::string StoreId() override { return target_.StoreId(); }
  std::string DisplayName() override { return target_.DisplayName(); }
  FolderRecord Root() override { return target_.Root(); }
  std::vector<FolderRecord> SubFolders(int64_t parentId) override { return target_.SubFolders(parentId); }
  std::optional<FolderRecord> FolderById(int64_t id) override { return target_.FolderById(id); }
  std::optional<FolderRecord> FolderByEntryId(const std::string& e) override { return target_.FolderByEntryId(e); }
  FolderRecord AddFolder(int64_t parentId, const std::string& name, int itemType) override {
    return target_.AddFolder(parentId, name, itemType);
  }
  std::vector<std::string> FolderFields(int64_t folderId) override { return target_.FolderFields(folderId); }
  void AddUserProperty(int64_t folderId, const std::string& name, int type, bool toFolder) override {
    target_.AddUserProperty(folderId, name, type, toFolder);
  }
  int CountItems(const ItemQuery& q) override { return target_.CountItems(q); }
  void CheckQuery(const ItemQuery& q) override { target_.CheckQuery(q); }
  std::vector<int64_t> QueryItems(const ItemQuery& q) override { return target_.QueryItems(q); }
  std::vector<ItemRecord> LoadItems(const ItemQuery& q) override { return target_.LoadItems(q); }
  std::optional<ItemRecord> LoadItem(int64_t id) override { return target_.LoadItem(id); }
  std::optional<int64_t> FindItem(const std::string& entryId) override { return target_.FindItem(entryId); }
  void SaveItem(ItemRecord& item) override { target_.SaveItem(item); }
  ItemRecord CopyItem(int64_t id) override { return target_.CopyItem(id); }
  ItemRecord MoveItem(int64_t id, int64_t folderId) override { return target_.MoveItem(id, folderId); }
  ItemRecord ImportItem(const ItemRecord& item, int64_t folderId) override {
    return target_.ImportItem(item, folderId);
  }
  void DeleteItem(int64_t id) override { target_.DeleteItem(id); }
  std::vector<AddressRecord> Addresses() override { return target_.Addresses(); }
  void AddAddress(const AddressRecord& a) override { target_.AddAddress(a); }

 protected:
  Store& target_;
};

}  // namespace mapistore
