#include "platform/caldav/caldav_store.h"

#include <sys/random.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "platform/caldav/event_record.h"
#include "platform/com/com_error.h"
#include "platform/ical/ical_refused.h"
#include "platform/mapistore/store_errors.h"
#include "platform/outlook/outlook_enums.h"

namespace caldav {

using mapistore::FolderRecord;
using mapistore::ItemQuery;
using mapistore::ItemRecord;

namespace {

constexpr const char* kAllPublicFolders = "All Public Folders";

std::string Hex(uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(v));
  return buf;
}

uint64_t Fnv(const std::string& s, uint64_t seed) {
  uint64_t h = 1469598103934665603ull ^ seed;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  return h;
}

// The entry ID of an event that carries none (another program made it): the same for every
// member, as it comes from where the event is.
std::string EntryIdOf(const std::string& href) {
  return "00000000" + Hex(Fnv(href, 1)) + Hex(Fnv(href, 2)) + Hex(Fnv(href, 3)) + Hex(Fnv(href, 4));
}

}  // namespace

std::shared_ptr<CalDavStore> CalDavStore::OpenCached(const Account& account, const std::string& replicaPath,
                                                     const mapistore::DbServices& services) {
  std::shared_ptr<mapistore::SqliteStore> replica;
  if (std::filesystem::exists(replicaPath)) {
    replica = mapistore::SqliteStore::Open(replicaPath, services);
  } else {
    replica = mapistore::SqliteStore::Create(replicaPath, "Public Folders", services, outlook::olPostItem);
    replica->AddFolder(replica->Root().id, kAllPublicFolders, 0);
  }
  std::shared_ptr<CalDavStore> store(new CalDavStore(account, replica, replicaPath, services));
  try {
    store->Fresh();
  } catch (const com::ComError& e) {
    if (e.number() != mapistore::kErrNetwork) throw;
  }
  return store;
}

std::shared_ptr<CalDavStore> CalDavStore::Open(const Account& account, const std::string& replicaPath,
                                               const mapistore::DbServices& services) {
  auto store = OpenCached(account, replicaPath, services);
  if (!store->offlineReason_.empty()) com::Raise(mapistore::kErrNetwork, store->offlineReason_);
  return store;
}

CalDavStore::CalDavStore(const Account& account, std::shared_ptr<mapistore::SqliteStore> replica,
                         const std::string& path, const mapistore::DbServices& services)
    : StoreWrapper(replica), client_(account), baseUrl_(account.url), replica_(std::move(replica)),
      index_(path, services), clock_(services.clock) {}

int64_t CalDavStore::AllPublicFoldersId() {
  for (const FolderRecord& f : replica_->SubFolders(replica_->Root().id)) {
    if (f.name == kAllPublicFolders) return f.id;
  }
  mapistore::RaiseNotFound(kAllPublicFolders);
}

std::string CalDavStore::NewEntryId() {
  unsigned char random[32];
  if (::getrandom(random, sizeof random, 0) != sizeof random) {
    com::Raise(mapistore::kErrCallFailed, "no random numbers for a new entry ID");
  }
  std::string id = "00000000";
  for (unsigned char b : random) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    id += kHex[b >> 4];
    id += kHex[b & 15];
  }
  return id;
}

void CalDavStore::Fresh() {
  const int64_t now = clock_.TickMs();
  if (!offlineReason_.empty() && now < offlineUntil_) com::Raise(mapistore::kErrNetwork, offlineReason_);
  if (refreshed_ && now < freshUntil_) return;
  try {
    Refresh();
  } catch (const com::ComError& e) {
    if (e.number() != mapistore::kErrNetwork) throw;
    offlineReason_ = e.description();
    offlineUntil_ = now + kFreshMs;
    throw;
  }
  offlineReason_.clear();
  refreshed_ = true;
  freshUntil_ = now + kFreshMs;
}

void CalDavStore::Refresh() {
  if (!refreshed_) FindCollections();
  for (FolderCollection& c : index_.Collections()) RefreshFolder(c);
}

void CalDavStore::FindCollections() {
  const int64_t parent = AllPublicFoldersId();
  std::set<std::string> known;
  for (const FolderCollection& c : index_.Collections()) known.insert(c.href);
  for (const CollectionInfo& info : client_.Calendars(baseUrl_)) {
    if (known.count(info.href)) continue;
    std::string name = info.displayName;
    std::set<std::string, com::NoCaseLess> taken;
    for (const FolderRecord& f : replica_->SubFolders(parent)) taken.insert(f.name);
    for (int n = 2; taken.count(name); ++n) name = info.displayName + " (" + std::to_string(n) + ")";
    const FolderRecord f = replica_->AddFolder(parent, name, outlook::olAppointmentItem);
    index_.SetCollection(FolderCollection{f.id, info.href, ""});
  }
}

void CalDavStore::RefreshFolder(FolderCollection& c) {
  std::optional<ChangeList> changes = client_.Changes(c.href, c.syncToken);
  bool whole = c.syncToken.empty();
  if (!changes && !whole) {
    changes = client_.Changes(c.href, "");  // the server forgot the token: everything again
    whole = true;
  }
  if (!changes) {  // no sync-collection: every member's ETag
    changes = ChangeList{client_.Etags(c.href), {}, ""};
    whole = true;
  }
  std::map<std::string, ItemResource> held;
  for (ItemResource& r : index_.InFolder(c.folderId)) held.emplace(r.href, std::move(r));
  std::vector<std::string> fetch;
  std::vector<Resource> arrived;
  std::set<std::string> listed;
  for (Resource& r : changes->changed) {
    listed.insert(r.href);
    auto it = held.find(r.href);
    if (it != held.end() && !r.etag.empty() && it->second.etag == r.etag) continue;  // as held (our own write)
    if (r.data.empty()) fetch.push_back(r.href);
    else arrived.push_back(std::move(r));
  }
  std::vector<std::string> removed = changes->removed;
  if (whole) {
    for (const auto& [href, r] : held) {
      if (!listed.count(href)) removed.push_back(href);
    }
  }
  Apply(c, arrived);
  Apply(c, client_.Fetch(c.href, fetch));
  for (const std::string& href : removed) {
    auto it = held.find(href);
    if (it == held.end()) continue;
    if (replica_->LoadItem(it->second.itemId)) StoreWrapper::DeleteItem(it->second.itemId);
    index_.Forget(it->second.itemId);
  }
  if (!changes->token.empty() && changes->token != c.syncToken) {
    c.syncToken = changes->token;
    index_.SetCollection(c);
  }
}

void CalDavStore::Apply(const FolderCollection& c, const std::vector<Resource>& resources) {
  std::vector<ItemResource> rows;
  std::vector<std::pair<int64_t, int64_t>> stamps;
  for (const Resource& res : resources) {
    ServerEvent ev;
    try {
      ev = ReadServerEvent(res.data, Server() + res.href);
    } catch (const ical::Refused& e) {
      // Left on the server as it is; the replica keeps what it had of it.
      std::fprintf(stderr, "quorvane: an event of the public folders is not shown: %s\n", e.what());
      continue;
    }
    ItemRecord rec = std::move(ev.item);
    rec.folderId = c.folderId;
    std::optional<ItemRecord> old;
    if (auto r = index_.ByHref(res.href)) old = replica_->LoadItem(r->itemId);
    if (rec.entryId.empty()) rec.entryId = EntryIdOf(res.href);
    // An item whose write reached the replica but not the index (or a copy of an event that
    // another program made, entry ID and all): adopted by entry ID, or given one of its own.
    if (!old) {
      if (auto id = replica_->FindItem(rec.entryId)) {
        auto other = index_.ByItem(*id);
        if (!other || other->href == res.href) old = replica_->LoadItem(*id);
        else rec.entryId = EntryIdOf(res.href);
      }
    }
    for (const auto& p : rec.userProps) replica_->AddUserProperty(c.folderId, p.name, p.type, true);
    if (old) {
      // A change that says nothing newer (another program left our stamp and LAST-MODIFIED
      // alone) is still newer than what was held.
      const int64_t wanted = ev.modifiedMs > old->modifiedMs ? ev.modifiedMs : std::max(NowMs(), old->modifiedMs + 1);
      rec.id = old->id;
      rec.entryId = old->entryId;
      rec.folderId = old->folderId;
      rec.modifiedMs = old->modifiedMs;
      StoreWrapper::SaveItem(rec);
      stamps.emplace_back(rec.id, wanted);
    } else {
      if (!rec.modifiedMs) rec.modifiedMs = NowMs();
      if (!rec.createdMs) rec.createdMs = rec.modifiedMs;
      StoreWrapper::InsertCopy(rec);
    }
    rows.push_back(ItemResource{rec.id, rec.folderId, res.href, res.etag, ev.uid});
  }
  index_.Put(rows, stamps);
}

// ---- reads

std::vector<FolderRecord> CalDavStore::SubFolders(int64_t parentId) {
  try {
    Fresh();
  } catch (const com::ComError& e) {
    // The folder tree stays browsable offline; its items do not.
    if (e.number() != mapistore::kErrNetwork) throw;
  }
  return StoreWrapper::SubFolders(parentId);
}

int CalDavStore::CountItems(const ItemQuery& q) {
  Fresh();
  return StoreWrapper::CountItems(q);
}

void CalDavStore::CheckQuery(const ItemQuery& q) {
  Fresh();
  StoreWrapper::CheckQuery(q);
}

std::vector<int64_t> CalDavStore::QueryItems(const ItemQuery& q) {
  Fresh();
  return StoreWrapper::QueryItems(q);
}

std::vector<ItemRecord> CalDavStore::LoadItems(const ItemQuery& q) {
  Fresh();
  return StoreWrapper::LoadItems(q);
}

// ---- writes

FolderCollection CalDavStore::CollectionFor(int64_t folderId) {
  auto c = index_.CollectionOf(folderId);
  if (!c) {
    com::Raise(mapistore::kErrCallFailed,
               "Only the calendars of " + Server() + " hold items; this folder is no calendar there.");
  }
  return *c;
}

std::string CalDavStore::PutAndTag(const std::string& href, const std::string& text, const std::string& ifMatch) {
  std::string etag = client_.Put(href, text, ifMatch);
  if (etag.empty()) {
    // A server that gives no ETag with its answer gives it on asking.
    const std::string collection = href.substr(0, href.rfind('/') + 1);
    for (const Resource& r : client_.Fetch(collection, {href})) etag = r.etag;
  }
  return etag;
}

ItemRecord CalDavStore::PutNew(ItemRecord item, const FolderCollection& c) {
  std::string uid = item.Field(outlook::ApptField::GlobalAppointmentID).ToString();
  if (uid.empty()) {
    uid = NewEntryId().substr(40) + "@quorvane";
    item.fields.Set(outlook::ApptField::GlobalAppointmentID, com::Variant(uid));
  }
  // One UID per collection: a copy beside its original is an event of its own.
  if (index_.UidTaken(c.folderId, uid, 0)) uid = NewEntryId().substr(40) + "@quorvane";
  const std::string href = c.href + item.entryId.substr(item.entryId.size() - 32) + ".ics";
  const std::string etag = PutAndTag(href, EventText(item, uid), "");
  item.id = 0;
  item.folderId = c.folderId;
  StoreWrapper::InsertCopy(item);
  index_.Put({ItemResource{item.id, c.folderId, href, etag, uid}});
  return item;
}

void CalDavStore::SaveItem(ItemRecord& item) {
  if (item.id == 0) {
    const FolderCollection c = CollectionFor(item.folderId);
    item.entryId = NewEntryId();
    item.createdMs = item.modifiedMs = NowMs();
    item = PutNew(item, c);
    return;
  }
  auto res = index_.ByItem(item.id);
  if (!res) return StoreWrapper::SaveItem(item);
  const std::optional<ItemRecord> stored = replica_->LoadItem(item.id);
  if (!stored) mapistore::RaiseItemGone();
  if (stored->modifiedMs != item.modifiedMs) mapistore::RaiseChanged();
  // Strictly later than before, and the same for every member: it travels in the event.
  const int64_t modified = std::max(NowMs(), stored->modifiedMs + 1);
  ItemRecord sent = item;
  sent.KeepUnread(*stored);
  sent.modifiedMs = modified;
  std::string etag;
  try {
    etag = PutAndTag(res->href, EventText(sent, res->uid), res->etag);
  } catch (const com::ComError& e) {
    if (e.number() == mapistore::kErrObjectChanged) freshUntil_ = 0;  // the next read fetches their version
    throw;
  }
  StoreWrapper::SaveItem(item);
  res->etag = etag;
  index_.Put({*res}, {{item.id, modified}});
  item.modifiedMs = modified;
}

void CalDavStore::InsertCopy(ItemRecord& copy) {
  auto c = index_.CollectionOf(copy.folderId);
  if (!c) return StoreWrapper::InsertCopy(copy);
  copy = PutNew(copy, *c);
}

ItemRecord CalDavStore::ImportItem(const ItemRecord& item, int64_t folderId) {
  const FolderCollection c = CollectionFor(folderId);
  ItemRecord arriving = item;
  arriving.entryId = NewEntryId();
  for (const auto& p : arriving.userProps) replica_->AddUserProperty(folderId, p.name, p.type, true);
  return PutNew(arriving, c);
}

ItemRecord CalDavStore::MoveItem(int64_t id, int64_t folderId) {
  auto res = index_.ByItem(id);
  if (!res) return StoreWrapper::MoveItem(id, folderId);
  const FolderCollection to = CollectionFor(folderId);
  const std::optional<ItemRecord> item = replica_->LoadItem(id);
  if (!item) mapistore::RaiseItemGone();
  std::string uid = res->uid;
  if (index_.UidTaken(folderId, uid, id)) uid = NewEntryId().substr(40) + "@quorvane";
  const std::string href = to.href + item->entryId.substr(item->entryId.size() - 32) + ".ics";
  const std::string etag = PutAndTag(href, EventText(*item, uid), "");
  try {
    client_.Delete(res->href, res->etag);
  } catch (...) {
    // Never in both places: the arrival is taken back.
    try {
      client_.Delete(href, etag);
    } catch (...) {
    }
    throw;
  }
  ItemRecord moved = StoreWrapper::MoveItem(id, folderId);
  index_.Put({ItemResource{id, folderId, href, etag, uid}});
  return moved;
}

void CalDavStore::DeleteItem(int64_t id) {
  if (auto res = index_.ByItem(id)) {
    try {
      client_.Delete(res->href, res->etag);
    } catch (const com::ComError& e) {
      if (e.number() == mapistore::kErrObjectChanged) freshUntil_ = 0;
      throw;
    }
    StoreWrapper::DeleteItem(id);
    index_.Forget(id);
    return;
  }
  StoreWrapper::DeleteItem(id);
}

FolderRecord CalDavStore::AddFolder(int64_t parentId, const std::string& name, int itemType) {
  if (parentId != AllPublicFoldersId()) {
    com::Raise(mapistore::kErrCallFailed, "The calendars of " + Server() + " are made in \"" +
                                              std::string(kAllPublicFolders) + "\" only.");
  }
  for (const FolderRecord& f : replica_->SubFolders(parentId)) {
    if (com::EqualsNoCase(f.name, name)) {
      com::Raise(mapistore::kErrCallFailed, "Cannot create the folder. A folder named \"" + name + "\" exists.");
    }
  }
  const CollectionInfo made = client_.MakeCalendar(client_.BasePath(), name);
  const FolderRecord f = StoreWrapper::AddFolder(parentId, name, itemType);
  index_.SetCollection(FolderCollection{f.id, made.href, ""});
  return f;
}

}  // namespace caldav

extern "C" std::shared_ptr<mapistore::Store> QuorvaneOpenCalDavStore(const caldav::Account& account,
                                                                     const std::string& replicaPath,
                                                                     const mapistore::DbServices& services,
                                                                     bool cached) {
  if (cached) return caldav::CalDavStore::OpenCached(account, replicaPath, services);
  return caldav::CalDavStore::Open(account, replicaPath, services);
}
