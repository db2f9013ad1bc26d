#include "platform/mapistore/faulty_store.h"

#include "platform/com/com_error.h"
#include "platform/mapistore/store_errors.h"

namespace mapistore {

void FaultyStore::SetOffline(bool offline) {
  std::lock_guard lock(mutex_);
  offline_ = offline;
  offlineAt_ = 0;
}

void FaultyStore::OfflineFrom(int k) {
  std::lock_guard lock(mutex_);
  offlineAt_ = operations_ + k;
}

void FaultyStore::Fail(StoreOp op, int times) {
  std::lock_guard lock(mutex_);
  failures_[op] = times;
}

void FaultyStore::FailAt(StoreOp op, int k) {
  std::lock_guard lock(mutex_);
  failAt_[op] = calls_[op] + k;
}

void FaultyStore::Heal(StoreOp op) {
  std::lock_guard lock(mutex_);
  failures_.erase(op);
  failAt_.erase(op);
}

void FaultyStore::RepeatItemAt(size_t position, int times) {
  std::lock_guard lock(mutex_);
  repeatPosition_ = position;
  repeatTimes_ = times;
}

int FaultyStore::Calls(StoreOp op) const {
  std::lock_guard lock(mutex_);
  auto it = calls_.find(op);
  return it == calls_.end() ? 0 : it->second;
}

int FaultyStore::Operations() const {
  std::lock_guard lock(mutex_);
  return operations_;
}

void FaultyStore::CheckOnline() {
  std::lock_guard lock(mutex_);
  ++operations_;
  if (offlineAt_ != 0 && operations_ >= offlineAt_) {
    offline_ = true;
    offlineAt_ = 0;
  }
  if (offline_) RaiseOffline(target_.DisplayName());
}

void FaultyStore::Check(StoreOp op) {
  CheckOnline();
  std::lock_guard lock(mutex_);
  const int call = ++calls_[op];
  if (auto at = failAt_.find(op); at != failAt_.end() && at->second == call) {
    failAt_.erase(at);
    com::Raise(kErrCallFailed, "The operation failed.");
  }
  auto it = failures_.find(op);
  if (it == failures_.end() || it->second == 0) return;
  if (it->second > 0) --it->second;
  com::Raise(kErrCallFailed, "The operation failed.");
}

std::vector<FolderRecord> FaultyStore::SubFolders(int64_t parentId) {
  CheckOnline();
  return StoreWrapper::SubFolders(parentId);
}

std::optional<FolderRecord> FaultyStore::FolderByEntryId(const std::string& entryId) {
  CheckOnline();
  return StoreWrapper::FolderByEntryId(entryId);
}

void FaultyStore::AddUserProperty(int64_t folderId, const std::string& name, int type, bool addToFolderFields) {
  Check(StoreOp::AddUserProperty);
  StoreWrapper::AddUserProperty(folderId, name, type, addToFolderFields);
}

int FaultyStore::CountItems(const ItemQuery& query) {
  Check(StoreOp::Count);
  return StoreWrapper::CountItems(query);
}

template <class T>
void FaultyStore::Repeat(std::vector<T>& list) {
  std::lock_guard lock(mutex_);
  if (repeatTimes_ > 1 && repeatPosition_ < list.size()) {
    const T repeated = list[repeatPosition_];
    list.insert(list.begin() + static_cast<long>(repeatPosition_), static_cast<size_t>(repeatTimes_ - 1), repeated);
  }
}

void FaultyStore::CheckQuery(const ItemQuery& query) {
  CheckOnline();
  StoreWrapper::CheckQuery(query);
}

std::vector<int64_t> FaultyStore::QueryItems(const ItemQuery& query) {
  Check(StoreOp::Query);
  std::vector<int64_t> ids = StoreWrapper::QueryItems(query);
  Repeat(ids);
  return ids;
}

std::vector<ItemRecord> FaultyStore::LoadItems(const ItemQuery& query) {
  Check(StoreOp::Query);
  std::vector<ItemRecord> records = StoreWrapper::LoadItems(query);
  Repeat(records);
  return records;
}

std::optional<ItemRecord> FaultyStore::LoadItem(int64_t id) {
  CheckOnline();
  return StoreWrapper::LoadItem(id);
}

std::vector<SharedRecord> FaultyStore::LoadItemsById(const std::vector<int64_t>& ids, bool lean) {
  CheckOnline();
  return StoreWrapper::LoadItemsById(ids, lean);
}

void FaultyStore::SaveItem(ItemRecord& item) {
  Check(StoreOp::Save);
  StoreWrapper::SaveItem(item);
}

ItemRecord FaultyStore::PrepareCopy(int64_t id) {
  Check(StoreOp::Copy);
  return StoreWrapper::PrepareCopy(id);
}

ItemRecord FaultyStore::MoveItem(int64_t id, int64_t folderId) {
  Check(StoreOp::Move);
  return StoreWrapper::MoveItem(id, folderId);
}

ItemRecord FaultyStore::ImportItem(const ItemRecord& item, int64_t folderId) {
  Check(StoreOp::Move);
  return StoreWrapper::ImportItem(item, folderId);
}

void FaultyStore::DeleteItem(int64_t id) {
  Check(StoreOp::Delete);
  StoreWrapper::DeleteItem(id);
}

}  // namespace mapistore
