#pragma once
// A store whose newest copy waits in memory until anything else is asked of the store, or the
// message loop turns. The host's way to copy an item into another store is to copy it beside
// its original and move the copy across at once; deferred, such a copy never touches the store
// it was made in, and a crash in between leaves no stray copy behind. Anyone who looks at the
// store meanwhile finds the copy there, stored first. A copy that cannot be stored then keeps
// waiting, and the operation that needed it stored fails with the reason; Settle stores it for
// a caller that must know (the host, before it reports a command done).
#include <memory>
#include <optional>
#include <unordered_map>

#include "platform/mapistore/store.h"
#include "platform/win32/message_loop.h"

namespace mapistore {

class DeferredCopies : public StoreWrapper, public std::enable_shared_from_this<DeferredCopies> {
 public:
  // Without a loop nothing would store a waiting copy, so copies are stored at once.
  DeferredCopies(std::shared_ptr<Store> target, win32::MessageLoop* loop);
  ~DeferredCopies() override;

  // Stores the waiting copy, if any; raises the store's failure.
  void Settle();

  ItemRecord CopyItem(int64_t id) override;
  // The store's identity, not its items: the waiting copy may go on waiting.
  std::string Path() override { return target_.Path(); }
  std::string StoreId() override { return target_.StoreId(); }
  std::string DisplayName() override { return target_.DisplayName(); }
  // A folder's field, not an item: the waiting copy may go on waiting.
  void AddUserProperty(int64_t folderId, const std::string& name, int type, bool addToFolderFields) override {
    target_.AddUserProperty(folderId, name, type, addToFolderFields);
  }
  std::optional<ItemRecord> LoadItem(int64_t id) override;
  void SaveItem(ItemRecord& item) override;
  ItemRecord MoveItem(int64_t id, int64_t folderId) override;
  void DeleteItem(int64_t id) override;

 protected:
  Store& Target() override;  // stores the waiting copy first

 private:
  bool Waiting(int64_t id) const { return waiting_ && waiting_->id == id; }
  void SettleAtTurn();  // a failure waits for the next operation to report it
  // A stored copy's ID in the store, for an ID handed out while it waited.
  int64_t StoredId(int64_t id) const;

  win32::MessageLoop* loop_;
  std::optional<ItemRecord> waiting_;  // its ID is negative until it is stored
  int64_t nextWaitingId_ = -1;
  std::unordered_map<int64_t, int64_t> storedIds_;
};

}  // namespace mapistore
