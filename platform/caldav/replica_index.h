#pragma once
// What the replica of the public folders keeps beside its items, in tables of its own in the
// same file: each calendar folder's collection and sync token, and each item's resource (href,
// ETag, UID). Written through a connection of its own, after the store's own write: a crash in
// between leaves an item whose resource is unknown, and the next refresh adopts it by entry ID.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/mapistore/sqlite_db.h"

namespace caldav {

struct ItemResource {
  int64_t itemId = 0;
  int64_t folderId = 0;
  std::string href, etag, uid;
};

struct FolderCollection {
  int64_t folderId = 0;
  std::string href, syncToken;
};

class ReplicaIndex {
 public:
  ReplicaIndex(const std::string& path, const mapistore::DbServices& services);

  std::vector<FolderCollection> Collections();
  std::optional<FolderCollection> CollectionOf(int64_t folderId);
  void SetCollection(const FolderCollection& c);

  std::optional<ItemResource> ByItem(int64_t itemId);
  std::optional<ItemResource> ByHref(const std::string& href);
  std::vector<ItemResource> InFolder(int64_t folderId);
  bool UidTaken(int64_t folderId, const std::string& uid, int64_t exceptItem);
  // Records the resources, and gives the items the modification times their events carry
  // (the store's own save stamps its own time).
  void Put(const std::vector<ItemResource>& resources, const std::vector<std::pair<int64_t, int64_t>>& modifiedMs = {});
  void Forget(int64_t itemId);

 private:
  mapistore::Db db_;
};

}  // namespace caldav
