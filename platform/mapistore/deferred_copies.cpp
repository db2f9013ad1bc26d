#include "platform/mapistore/deferred_copies.h"

#include <algorithm>
#include <cstdio>

#include "platform/com/com_error.h"

namespace mapistore {

DeferredCopies::DeferredCopies(std::shared_ptr<Store> target, win32::MessageLoop* loop)
    : StoreWrapper(std::move(target)), loop_(loop) {}

DeferredCopies::~DeferredCopies() {
  try {
    Settle();
  } catch (const com::ComError& e) {
    // The session settles before it closes and reports a failure there; this is a last resort,
    // and nobody else is left to tell.
    std::fprintf(stderr, "quorvane: a copy could not be stored: %s\n", e.description().c_str());
  }
}

void DeferredCopies::SettleAtTurn() {
  try {
    Settle();
  } catch (const com::ComError&) {
    // Still waiting: the next operation on this store tries again and fails with the reason.
  }
}

void DeferredCopies::Settle() {
  if (!waiting_) return;
  ItemRecord copy = *waiting_;
  target_.InsertCopy(copy);  // a failure leaves the copy waiting
  storedIds_[waiting_->id] = copy.id;
  waiting_.reset();
}

Store& DeferredCopies::Target() {
  Settle();
  return target_;
}

int64_t DeferredCopies::StoredId(int64_t id) const {
  if (id >= 0) return id;
  auto it = storedIds_.find(id);
  return it == storedIds_.end() ? 0 : it->second;
}

ItemRecord DeferredCopies::CopyItem(int64_t id) {
  Store& store = Target();
  if (!loop_) return store.CopyItem(StoredId(id));
  ItemRecord copy = store.PrepareCopy(StoredId(id));
  copy.id = nextWaitingId_--;
  waiting_ = copy;
  std::weak_ptr<DeferredCopies> weak = weak_from_this();
  loop_->Post([weak] {
    if (auto self = weak.lock()) self->SettleAtTurn();
  });
  return copy;
}

std::optional<ItemRecord> DeferredCopies::LoadItem(int64_t id) {
  if (Waiting(id)) return waiting_;
  Store& store = Target();
  return store.LoadItem(StoredId(id));
}

void DeferredCopies::SaveItem(ItemRecord& item) {
  if (Waiting(item.id)) {
    // Strictly later than before, as every save.
    item.modifiedMs = std::max(loop_->clock().Now().UnixMillis(), waiting_->modifiedMs + 1);
    waiting_ = item;
    return;
  }
  Store& store = Target();
  const int64_t handedOut = item.id;
  item.id = StoredId(item.id);
  store.SaveItem(item);
  if (handedOut < 0) item.id = handedOut;  // the caller keeps the ID it knows the item by
}

ItemRecord DeferredCopies::MoveItem(int64_t id, int64_t folderId) {
  Store& store = Target();
  return store.MoveItem(StoredId(id), folderId);
}

void DeferredCopies::DeleteItem(int64_t id) {
  if (Waiting(id)) {
    waiting_.reset();
    return;
  }
  Store& store = Target();
  store.DeleteItem(StoredId(id));
}

}  // namespace mapistore
