#pragma once
// A store that fails on demand, for tests: offline, a failing operation, or an enumeration
// that returns one item several times in a row.
#include <map>
#include <mutex>

#include "platform/mapistore/store.h"

namespace mapistore {

enum class StoreOp {
  Count,            // counting items (Items.Count)
  Query,            // listing items (Restrict, enumeration)
  Save,
  Copy,
  Move,             // a move within this store, or of an item into it from another store
  Delete,
  AddUserProperty,  // UserProperties.Add
};

class FaultyStore : public StoreWrapper {
 public:
  using StoreWrapper::StoreWrapper;

  // Offline: every operation fails as when the server cannot be reached. SetOffline(false)
  // also disarms OfflineFrom.
  void SetOffline(bool offline);
  // The store goes offline at the k-th operation from now (k >= 1), of whatever kind: the
  // connection lost part-way through a pass.
  void OfflineFrom(int k);
  // The next `times` calls of op fail (times < 0: until Heal).
  void Fail(StoreOp op, int times = 1);
  // Only the k-th call of op from now (k >= 1) fails; the ones before and after succeed.
  void FailAt(StoreOp op, int k);
  void Heal(StoreOp op);  // disarms Fail and FailAt
  // Listings return the item at this position `times` times in a row.
  void RepeatItemAt(size_t position, int times);
  int Calls(StoreOp op) const;
  // Operations of every kind made so far, each of which would fail while offline.
  int Operations() const;

  std::vector<FolderRecord> SubFolders(int64_t parentId) override;
  std::optional<FolderRecord> FolderByEntryId(const std::string& entryId) override;
  void AddUserProperty(int64_t folderId, const std::string& name, int type, bool addToFolderFields) override;
  int CountItems(const ItemQuery& query) override;
  void CheckQuery(const ItemQuery& query) override;
  std::vector<int64_t> QueryItems(const ItemQuery& query) override;
  std::vector<ItemRecord> LoadItems(const ItemQuery& query) override;
  std::optional<ItemRecord> LoadItem(int64_t id) override;
  std::vector<SharedRecord> LoadItemsById(const std::vector<int64_t>& ids, bool lean) override;
  void SaveItem(ItemRecord& item) override;
  ItemRecord PrepareCopy(int64_t id) override;
  ItemRecord MoveItem(int64_t id, int64_t folderId) override;
  ItemRecord ImportItem(const ItemRecord& item, int64_t folderId) override;
  void DeleteItem(int64_t id) override;

 private:
  template <class T>
  void Repeat(std::vector<T>& list);
  void Check(StoreOp op);
  void CheckOnline();

  mutable std::mutex mutex_;
  bool offline_ = false;
  int operations_ = 0;
  int offlineAt_ = 0;  // the operation that goes offline; 0: none armed
  std::map<StoreOp, int> failures_;
  std::map<StoreOp, int> failAt_;  // the call of the op that fails
  std::map<StoreOp, int> calls_;
  size_t repeatPosition_ = 0;
  int repeatTimes_ = 0;
};

}  // namespace mapistore
