#include "platform/caldav/replica_index.h"

namespace caldav {

using mapistore::Statement;
using mapistore::Transaction;

ReplicaIndex::ReplicaIndex(const std::string& path, const mapistore::DbServices& services) : db_(path, false, services) {
  // As the replica's own connection: commits reach the disk in order, synced when the work is
  // reported done. What a crash takes away the next refresh brings back from the server.
  db_.Exec("PRAGMA synchronous=NORMAL");
  Transaction tx(db_);
  db_.Exec(
      "CREATE TABLE IF NOT EXISTS caldav_collections(folder_id INTEGER PRIMARY KEY, href TEXT NOT NULL UNIQUE,"
      "  sync_token TEXT NOT NULL DEFAULT '');"
      "CREATE TABLE IF NOT EXISTS caldav_items(item_id INTEGER PRIMARY KEY, folder_id INTEGER NOT NULL,"
      "  href TEXT NOT NULL UNIQUE, etag TEXT NOT NULL, uid TEXT NOT NULL);"
      "CREATE INDEX IF NOT EXISTS caldav_items_by_uid ON caldav_items(folder_id, uid);");
  tx.Commit();
}

namespace {
ItemResource ReadResource(Statement& st) { return ItemResource{st.Int(0), st.Int(1), st.Text(2), st.Text(3), st.Text(4)}; }
const char* kResourceColumns = "SELECT item_id, folder_id, href, etag, uid FROM caldav_items ";
}  // namespace

std::vector<FolderCollection> ReplicaIndex::Collections() {
  auto st = db_.Prepare("SELECT folder_id, href, sync_token FROM caldav_collections ORDER BY folder_id");
  std::vector<FolderCollection> out;
  while (st.Step()) out.push_back(FolderCollection{st.Int(0), st.Text(1), st.Text(2)});
  return out;
}

std::optional<FolderCollection> ReplicaIndex::CollectionOf(int64_t folderId) {
  auto st = db_.Prepare("SELECT folder_id, href, sync_token FROM caldav_collections WHERE folder_id = ?");
  st.Bind(1, folderId);
  if (!st.Step()) return std::nullopt;
  return FolderCollection{st.Int(0), st.Text(1), st.Text(2)};
}

void ReplicaIndex::SetCollection(const FolderCollection& c) {
  Transaction tx(db_);
  db_.Prepare("INSERT OR REPLACE INTO caldav_collections(folder_id, href, sync_token) VALUES(?, ?, ?)")
      .Bind(1, c.folderId)
      .Bind(2, c.href)
      .Bind(3, c.syncToken)
      .Run();
  tx.Commit();
}

std::optional<ItemResource> ReplicaIndex::ByItem(int64_t itemId) {
  auto st = db_.Prepare(std::string(kResourceColumns) + "WHERE item_id = ?");
  st.Bind(1, itemId);
  if (!st.Step()) return std::nullopt;
  return ReadResource(st);
}

std::optional<ItemResource> ReplicaIndex::ByHref(const std::string& href) {
  auto st = db_.Prepare(std::string(kResourceColumns) + "WHERE href = ?");
  st.Bind(1, href);
  if (!st.Step()) return std::nullopt;
  return ReadResource(st);
}

std::vector<ItemResource> ReplicaIndex::InFolder(int64_t folderId) {
  auto st = db_.Prepare(std::string(kResourceColumns) + "WHERE folder_id = ?");
  st.Bind(1, folderId);
  std::vector<ItemResource> out;
  while (st.Step()) out.push_back(ReadResource(st));
  return out;
}

bool ReplicaIndex::UidTaken(int64_t folderId, const std::string& uid, int64_t exceptItem) {
  auto st = db_.Prepare("SELECT 1 FROM caldav_items WHERE folder_id = ? AND uid = ? AND item_id <> ?");
  st.Bind(1, folderId).Bind(2, uid).Bind(3, exceptItem);
  return st.Step();
}

void ReplicaIndex::Put(const std::vector<ItemResource>& resources,
                       const std::vector<std::pair<int64_t, int64_t>>& modifiedMs) {
  if (resources.empty() && modifiedMs.empty()) return;
  Transaction tx(db_);
  auto put = db_.Prepare(
      "INSERT OR REPLACE INTO caldav_items(item_id, folder_id, href, etag, uid) VALUES(?, ?, ?, ?, ?)");
  for (const ItemResource& r : resources) {
    // An href moves to another item when the store replaced the item under it.
    db_.Prepare("DELETE FROM caldav_items WHERE href = ? AND item_id <> ?").Bind(1, r.href).Bind(2, r.itemId).Run();
    put.Bind(1, r.itemId).Bind(2, r.folderId).Bind(3, r.href).Bind(4, r.etag).Bind(5, r.uid).Run();
    put.Reset();
  }
  auto stamp = db_.Prepare("UPDATE items SET modified_ms = ? WHERE id = ?");
  for (const auto& [id, ms] : modifiedMs) {
    stamp.Bind(1, ms).Bind(2, id).Run();
    stamp.Reset();
  }
  tx.Commit();
}

void ReplicaIndex::Forget(int64_t itemId) {
  Transaction tx(db_);
  db_.Prepare("DELETE FROM caldav_items WHERE item_id = ?").Bind(1, itemId).Run();
  tx.Commit();
}

}  // namespace caldav
