#pragma once
// The public folders on a CalDAV server, in cached mode: a SQLite replica serves every read,
// and is brought up to date from the server when the session opens the store and before the
// reads of a pass (sync-collection where the server offers it, else a comparison of ETags; only
// changed events are fetched, many per request). Writes go to the server first, with the ETag
// the replica holds, and then into the replica: a change another member made meanwhile is
// refused as the store's "changed" error, never overwritten. A server that cannot be reached
// makes the store offline for a moment: every read that would refresh fails, Items.Count first.
#include <memory>
#include <string>

#include "platform/caldav/caldav_client.h"
#include "platform/caldav/replica_index.h"
#include "platform/mapistore/sqlite_store.h"

namespace caldav {

class CalDavStore : public mapistore::StoreWrapper {
 public:
  // Opens the replica at replicaPath (made when missing) and refreshes it; raises the network
  // error when the server cannot be reached, after the replica is open.
  static std::shared_ptr<CalDavStore> Open(const Account& account, const std::string& replicaPath,
                                           const mapistore::DbServices& services);
  // The same, but a server that cannot be reached leaves the store offline instead of raising.
  static std::shared_ptr<CalDavStore> OpenCached(const Account& account, const std::string& replicaPath,
                                                 const mapistore::DbServices& services);

  // Brings the replica up to date now.
  void Refresh();
  const std::string& Server() const { return client_.Server(); }

  std::vector<mapistore::FolderRecord> SubFolders(int64_t parentId) override;
  mapistore::FolderRecord AddFolder(int64_t parentId, const std::string& name, int itemType) override;
  int CountItems(const mapistore::ItemQuery& q) override;
  void CheckQuery(const mapistore::ItemQuery& q) override;
  std::vector<int64_t> QueryItems(const mapistore::ItemQuery& q) override;
  std::vector<mapistore::ItemRecord> LoadItems(const mapistore::ItemQuery& q) override;
  void SaveItem(mapistore::ItemRecord& item) override;
  void InsertCopy(mapistore::ItemRecord& copy) override;
  mapistore::ItemRecord MoveItem(int64_t id, int64_t folderId) override;
  mapistore::ItemRecord ImportItem(const mapistore::ItemRecord& item, int64_t folderId) override;
  void DeleteItem(int64_t id) override;

  // How long a refresh serves, and how long a server that did not answer is taken as offline.
  static constexpr int64_t kFreshMs = 1000;

 private:
  CalDavStore(const Account& account, std::shared_ptr<mapistore::SqliteStore> replica, const std::string& path,
              const mapistore::DbServices& services);
  void Fresh();  // refreshes unless a refresh is recent; raises while offline
  void FindCollections();
  void RefreshFolder(FolderCollection& c);
  // Takes the server's events into the replica: new ones, and changed ones over the old.
  void Apply(const FolderCollection& c, const std::vector<Resource>& resources);
  // Stores the item as a new event of the folder's collection and then in the replica.
  mapistore::ItemRecord PutNew(mapistore::ItemRecord item, const FolderCollection& c);
  FolderCollection CollectionFor(int64_t folderId);
  std::string PutAndTag(const std::string& href, const std::string& text, const std::string& ifMatch);
  int64_t AllPublicFoldersId();
  std::string NewEntryId();
  int64_t NowMs() { return clock_.Now().UnixMillis(); }

  CalDavClient client_;
  std::string baseUrl_;
  std::shared_ptr<mapistore::SqliteStore> replica_;
  ReplicaIndex index_;
  win32::Clock& clock_;
  bool refreshed_ = false;
  int64_t freshUntil_ = 0;
  int64_t offlineUntil_ = 0;
  std::string offlineReason_;
};

}  // namespace caldav

// What a program that loads this library at run time calls for the store (Open, or OpenCached
// when cached).
extern "C" std::shared_ptr<mapistore::Store> QuorvaneOpenCalDavStore(const caldav::Account& account,
                                                                     const std::string& replicaPath,
                                                                     const mapistore::DbServices& services,
                                                                     bool cached);
