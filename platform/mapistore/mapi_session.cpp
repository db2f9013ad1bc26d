#include "platform/mapistore/mapi_session.h"

#include "platform/com/com_error.h"
#include "platform/mapistore/deferred_copies.h"
#include "platform/mapistore/mapi_address_lists.h"
#include "platform/mapistore/mapi_appointment.h"
#include "platform/mapistore/mapi_folder.h"
#include "platform/mapistore/store_errors.h"
#include "platform/outlook/outlook_enums.h"

namespace mapistore {

void MapiSession::AddStore(std::shared_ptr<Store> store) {
  stores_.push_back(std::make_shared<DeferredCopies>(std::move(store), loop_));
}

void MapiSession::Settle() {
  for (const auto& s : stores_) {
    if (auto* deferred = dynamic_cast<DeferredCopies*>(s.get())) deferred->Settle();
  }
  for (const auto& s : stores_) s->MakeDurable();
}

std::shared_ptr<Store> MapiSession::StoreById(const std::string& storeId) const {
  for (const auto& s : stores_) {
    if (com::EqualsNoCase(s->StoreId(), storeId)) return s;
  }
  return nullptr;
}

void MapiSession::SetDefaultCalendar(std::shared_ptr<Store> store, int64_t folderId) {
  defaultStore_ = StoreById(store->StoreId());  // as the session holds it
  if (!defaultStore_) defaultStore_ = std::move(store);
  defaultFolderId_ = folderId;
}

Ref<outlook::Folders> MapiSession::Folders() { return std::make_shared<MapiFolders>(Self()); }

Ref<outlook::MAPIFolder> MapiSession::GetFolderFromID(const std::string& entryID, const std::string& storeID) {
  // The store ID may be left out; then every store is searched.
  for (const auto& s : stores_) {
    if (!storeID.empty() && !com::EqualsNoCase(s->StoreId(), storeID)) continue;
    if (auto f = s->FolderByEntryId(entryID)) return FolderObject(s, *f);
  }
  return nullptr;
}

Ref<outlook::MAPIFolder> MapiSession::GetDefaultFolder(int folderType) {
  if (folderType != outlook::olFolderCalendar || !defaultStore_) RaiseNotFound("default folder");
  auto f = defaultStore_->FolderById(defaultFolderId_);
  if (!f) RaiseNotFound("default calendar");
  return FolderObject(defaultStore_, *f);
}

Ref<outlook::AppointmentItem> MapiSession::GetItemFromID(const std::string& entryID) {
  for (const auto& s : stores_) {
    if (auto id = s->FindItem(entryID)) {
      if (auto r = s->LoadItem(*id)) return ItemObject(s, std::move(*r));
    }
  }
  RaiseNotFound("item " + entryID);
}

Ref<outlook::AddressLists> MapiSession::AddressLists() {
  return std::make_shared<MapiAddressLists>(Self());
}

Ref<outlook::AppointmentItem> MapiSession::NewAppointment() {
  if (!defaultStore_) RaiseNotFound("default calendar");
  ItemRecord r;
  r.folderId = defaultFolderId_;
  return ItemObject(defaultStore_, std::move(r));
}

Ref<outlook::MAPIFolder> MapiSession::FolderObject(const std::shared_ptr<Store>& store, const FolderRecord& folder) {
  return std::make_shared<MapiFolder>(Self(), store, folder);
}

Ref<outlook::AppointmentItem> MapiSession::ItemObject(const std::shared_ptr<Store>& store, ItemRecord record) {
  return ItemObject(store, std::make_shared<const ItemRecord>(std::move(record)));
}

Ref<outlook::AppointmentItem> MapiSession::ItemObject(const std::shared_ptr<Store>& store, SharedRecord record) {
  return std::make_shared<MapiAppointment>(Self(), store, std::move(record));
}

std::shared_ptr<void> MapiSession::OpenWalk() {
  std::lock_guard lock(mutex_);
  ++openWalks_;
  std::weak_ptr<MapiSession> weak = Self();
  return std::shared_ptr<void>(nullptr, [weak](void*) {
    auto self = weak.lock();
    if (!self) return;
    std::lock_guard lock(self->mutex_);
    if (--self->openWalks_ == 0) self->removed_.clear();
  });
}

void MapiSession::MarkRemoved(const std::string& storeId, const std::string& entryId) {
  std::lock_guard lock(mutex_);
  if (openWalks_ > 0) removed_.insert(storeId + ' ' + entryId);
}

bool MapiSession::AnyRemoved() const {
  std::lock_guard lock(mutex_);
  return !removed_.empty();
}

bool MapiSession::Removed(const std::string& storeId, const std::string& entryId) const {
  std::lock_guard lock(mutex_);
  return !removed_.empty() && removed_.count(storeId + ' ' + entryId) > 0;
}

com::Subscription MapiSession::Listen(ItemEvent kind, const std::string& storeId, int64_t folderId,
                                      outlook::Items::ItemHandler handler) {
  std::lock_guard lock(mutex_);
  const int id = nextListener_++;
  listeners_.push_back(Listener{id, kind, storeId, folderId, std::move(handler)});
  std::weak_ptr<MapiSession> weak = Self();
  return com::Subscription([weak, id] {
    if (auto self = weak.lock()) {
      std::lock_guard lock(self->mutex_);
      std::erase_if(self->listeners_, [id](const Listener& l) { return l.id == id; });
    }
  });
}

void MapiSession::Journal(bool added, const std::shared_ptr<Store>& store, const ItemRecord& item) {
  if (!journal_) return;
  journal_->push_back(FolderChange{added, store->StoreId(), item.folderId, item.entryId,
                                   added ? std::vector<UserPropRecord>() : item.userProps});
}

std::vector<FolderChange> MapiSession::TakeJournal() {
  std::vector<FolderChange> kept = journal_ ? std::move(*journal_) : std::vector<FolderChange>();
  journal_.reset();
  return kept;
}

void MapiSession::Notify(ItemEvent kind, const std::shared_ptr<Store>& store, int64_t folderId, int64_t itemId) {
  if (!loop_) return;
  std::weak_ptr<MapiSession> weak = Self();
  loop_->Post([weak, kind, store, folderId, itemId] {
    if (auto self = weak.lock()) self->Deliver(kind, store, folderId, itemId);
  });
}

void MapiSession::Deliver(ItemEvent kind, const std::shared_ptr<Store>& store, int64_t folderId, int64_t itemId) {
  std::vector<outlook::Items::ItemHandler> handlers;
  {
    std::lock_guard lock(mutex_);
    for (const Listener& l : listeners_) {
      if (l.kind == kind && l.folderId == folderId && com::EqualsNoCase(l.storeId, store->StoreId())) {
        handlers.push_back(l.handler);
      }
    }
  }
  if (handlers.empty()) return;
  std::optional<ItemRecord> record;
  try {
    record = store->LoadItem(itemId);
  } catch (const com::ComError&) {
    return;  // the store went away meanwhile; nothing to deliver
  }
  if (!record) return;  // the item has moved on or was deleted since
  Ref<outlook::AppointmentItem> item = ItemObject(store, std::move(*record));
  for (auto& h : handlers) h(item);
}

}  // namespace mapistore
