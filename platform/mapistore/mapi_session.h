#pragma once
// A profile's open stores seen through the object model: the MAPI namespace. It also carries
// the item events, which it posts to the message loop so they arrive after the operation
// that caused them, never inside it.
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/com/event.h"
#include "platform/com/subscription.h"
#include "platform/mapistore/store.h"
#include "platform/outlook/application.h"
#include "platform/outlook/items.h"
#include "platform/win32/message_loop.h"

namespace mapistore {

using com::Ref;

enum class ItemEvent { Add, Change };

// An item that came into a folder or left it through the session.
struct FolderChange {
  bool added = false;  // else removed
  std::string storeId;
  int64_t folderId = 0;
  std::string entryId;
  std::vector<UserPropRecord> userProps;  // as they were when the item left
};

class MapiSession : public outlook::NameSpace {
 public:
  // Events are posted to loop; without one they are dropped.
  explicit MapiSession(win32::MessageLoop* loop) : loop_(loop) {}

  // Stores appear among the top-level folders in the order they are added. The session holds
  // each behind its own deferral of copies (see DeferredCopies).
  void AddStore(std::shared_ptr<Store> store);
  std::shared_ptr<MapiSession> Self() { return std::static_pointer_cast<MapiSession>(shared_from_this()); }
  const std::vector<std::shared_ptr<Store>>& stores() const { return stores_; }
  std::shared_ptr<Store> StoreById(const std::string& storeId) const;
  // Where CreateItem puts new appointments: a folder of one of the stores.
  void SetDefaultCalendar(std::shared_ptr<Store> store, int64_t folderId);
  // Stores every copy still waiting in memory and syncs every store's changes to the disk;
  // raises the first store's failure. The host calls it before it reports a command done.
  void Settle();

  Ref<outlook::Folders> Folders() override;
  Ref<outlook::MAPIFolder> GetFolderFromID(const std::string& entryID, const std::string& storeID) override;
  Ref<outlook::MAPIFolder> GetDefaultFolder(int folderType) override;
  Ref<outlook::AppointmentItem> GetItemFromID(const std::string& entryID) override;
  Ref<outlook::AddressLists> AddressLists() override;
  com::Subscription OnOptionsPagesAdd(outlook::FolderPagesAddHandler handler) override {
    return folderPagesAdd_.Subscribe(std::move(handler));
  }
  // The user opens a folder's Properties dialog.
  void BuildFolderProperties(const Ref<outlook::PropertyPages>& pages, const Ref<outlook::MAPIFolder>& folder) {
    folderPagesAdd_.Fire(pages, folder);
  }

  // A new, unsaved appointment for the default calendar.
  Ref<outlook::AppointmentItem> NewAppointment();
  Ref<outlook::MAPIFolder> FolderObject(const std::shared_ptr<Store>& store, const FolderRecord& folder);
  Ref<outlook::AppointmentItem> ItemObject(const std::shared_ptr<Store>& store, ItemRecord record);
  Ref<outlook::AppointmentItem> ItemObject(const std::shared_ptr<Store>& store, SharedRecord record);

  // Items deleted or moved out of their folder through this session while a walk is open, so
  // the walk can pass over them. Forgotten once no walk is open: nothing else asks.
  std::shared_ptr<void> OpenWalk();
  void MarkRemoved(const std::string& storeId, const std::string& entryId);
  bool Removed(const std::string& storeId, const std::string& entryId) const;
  bool AnyRemoved() const;  // since the walks now open began

  com::Subscription Listen(ItemEvent kind, const std::string& storeId, int64_t folderId,
                           outlook::Items::ItemHandler handler);
  void Notify(ItemEvent kind, const std::shared_ptr<Store>& store, int64_t folderId, int64_t itemId);
  // While a journal is kept, every item that comes into a folder or leaves it is recorded, so a
  // command can say what it did without reading the folders before and after.
  void KeepJournal() { journal_.emplace(); }
  std::vector<FolderChange> TakeJournal();
  void Journal(bool added, const std::shared_ptr<Store>& store, const ItemRecord& item);

 private:
  struct Listener {
    int id;
    ItemEvent kind;
    std::string storeId;
    int64_t folderId;
    outlook::Items::ItemHandler handler;
  };
  void Deliver(ItemEvent kind, const std::shared_ptr<Store>& store, int64_t folderId, int64_t itemId);

  win32::MessageLoop* loop_;
  std::vector<std::shared_ptr<Store>> stores_;
  std::shared_ptr<Store> defaultStore_;
  int64_t defaultFolderId_ = 0;
  mutable std::mutex mutex_;
  std::vector<Listener> listeners_;
  int openWalks_ = 0;
  std::unordered_set<std::string> removed_;  // store ID, a blank, entry ID
  com::Event<const Ref<outlook::PropertyPages>&, const Ref<outlook::MAPIFolder>&> folderPagesAdd_;
  int nextListener_ = 1;
  std::optional<std::vector<FolderChange>> journal_;
};

}  // namespace mapistore
