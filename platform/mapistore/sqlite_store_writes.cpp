// The store's writes. A save writes only the columns and parts that changed: the passes save an
// appointment to set one marker, and rewriting every column and property would rewrite every
// index entry of the item too.
#include <algorithm>
#include <functional>
#include <stdexcept>

#include "platform/mapistore/item_row.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/mapistore/store_errors.h"

namespace mapistore {

namespace {

bool SameProp(const UserPropRecord& a, const UserPropRecord& b) {
  return a.name == b.name && a.type == b.type && a.value.ToString() == b.value.ToString();
}

bool SameAttachment(const AttachmentRecord& a, const AttachmentRecord& b) {
  return a.fileName == b.fileName && a.displayName == b.displayName;
}

bool SameRecipient(const RecipientRecord& a, const RecipientRecord& b) {
  return a.name == b.name && a.address == b.address;
}

template <typename T, typename Same>
bool SameList(const std::vector<T>& a, const std::vector<T>& b, Same same) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), same);
}

// The stored properties still stand in their places: only changed and added ones need writing.
bool KeepsPlaces(const std::vector<UserPropRecord>& now, const std::vector<UserPropRecord>& before) {
  if (now.size() < before.size()) return false;
  for (size_t i = 0; i < before.size(); ++i) {
    if (now[i].name != before[i].name) return false;
  }
  return true;
}

// Writes a list part of an item anew when it differs from the stored one (before; nullptr for a
// new item, whose empty list then needs no statement at all). bind binds an element's columns,
// from the third on.
template <typename T, typename Same, typename Bind>
void RewriteList(Db& db, const std::string& table, const std::string& columns, int64_t itemId,
                 const std::vector<T>& now, const std::vector<T>* before, Same same, Bind bind) {
  if (before ? SameList(now, *before, same) : now.empty()) return;
  if (before) db.Prepare("DELETE FROM " + table + " WHERE item_id = ?").Bind(1, itemId).Run();
  std::string marks;
  for (char c : ", " + columns) marks += c == ',' ? ", ?" : "";
  auto insert = db.Prepare("INSERT INTO " + table + "(item_id, pos, " + columns + ") VALUES(?, ?" + marks + ")");
  int64_t pos = 0;
  for (const T& element : now) {
    insert.Bind(1, itemId).Bind(2, pos++);
    bind(insert, element);
    insert.Run();
    insert.Reset();
  }
}

}  // namespace

void SqliteStore::WriteParts(const ItemRecord& item, const ItemRecord* stored) {
  const std::vector<UserPropRecord> none;
  const auto& before = stored ? stored->userProps : none;
  if (!SameList(item.userProps, before, SameProp)) {
    const bool inPlace = KeepsPlaces(item.userProps, before);
    if (!inPlace) db_.Prepare("DELETE FROM user_props WHERE item_id = ?").Bind(1, item.id).Run();
    auto props =
        db_.Prepare("INSERT OR REPLACE INTO user_props(item_id, pos, name, type, value) VALUES(?, ?, ?, ?, ?)");
    for (size_t pos = 0; pos < item.userProps.size(); ++pos) {
      const UserPropRecord& p = item.userProps[pos];
      if (inPlace && pos < before.size() && SameProp(p, before[pos])) continue;
      props.Bind(1, item.id).Bind(2, static_cast<int64_t>(pos)).Bind(3, p.name).Bind(4, int64_t{p.type});
      props.Bind(5, p.value.ToString()).Run();
      props.Reset();
    }
  }
  auto list = [&](auto part, const char* table, const char* columns, auto same, auto bind) {
    RewriteList(db_, table, columns, item.id, item.*part, stored ? &(stored->*part) : nullptr, same, bind);
  };
  list(&ItemRecord::attachments, "attachments", "file_name, display_name", SameAttachment,
       [](Statement& st, const AttachmentRecord& a) { st.Bind(3, a.fileName).Bind(4, a.displayName); });
  list(&ItemRecord::recipients, "recipients", "name, address", SameRecipient,
       [](Statement& st, const RecipientRecord& r) { st.Bind(3, r.name).Bind(4, r.address); });
  list(&ItemRecord::links, "links", "name", std::equal_to<>(),
       [](Statement& st, const std::string& l) { st.Bind(3, l); });
}

void SqliteStore::WriteItem(ItemRecord& item, const ItemRecord* stored) {
  // Written, what a partial read left out would be lost (a save takes it from the store first).
  if (item.partial || item.bodyCut) throw std::logic_error("an item read in part cannot be written");
  const std::vector<std::string>& columns = RowColumns();
  const std::vector<ColumnValue> values = RowValues(item);
  if (item.id == 0) {
    std::string names, marks;
    for (const std::string& c : columns) {
      names += (names.empty() ? "" : ", ") + c;
      marks += marks.empty() ? "?" : ", ?";
    }
    auto st = db_.Prepare("INSERT INTO items(" + names + ") VALUES(" + marks + ")");
    for (size_t i = 0; i < values.size(); ++i) BindValue(st, static_cast<int>(i + 1), values[i]);
    st.Run();
    item.id = db_.LastInsertId();
  } else {
    const std::vector<ColumnValue> before = RowValues(*stored);
    std::string sets;
    std::vector<size_t> changed;
    for (size_t i = 0; i < values.size(); ++i) {
      if (values[i] == before[i]) continue;
      sets += (sets.empty() ? "" : ", ") + columns[i] + " = ?";
      changed.push_back(i);
    }
    if (!changed.empty()) {
      auto st = db_.Prepare("UPDATE items SET " + sets + " WHERE id = ?");
      int index = 1;
      for (size_t i : changed) BindValue(st, index++, values[i]);
      st.Bind(index, item.id).Run();
    }
  }
  WriteParts(item, stored);
  // Last: the store's triggers forget the digest of an item whose content is written, as they do
  // for a program that does not know of it.
  if (!digests_) return;
  item.digest = ContentDigest(item);
  if (!stored || stored->digest != item.digest) {
    db_.Prepare("UPDATE items SET content_digest = ? WHERE id = ?").Bind(1, item.digest).Bind(2, item.id).Run();
  }
}

void SqliteStore::SaveItem(ItemRecord& item) {
  Transaction tx(db_);
  const int64_t now = NowMs();
  ItemRecord saved = item;
  std::optional<ItemRecord> stored;
  if (saved.id == 0) {
    if (!FolderById(saved.folderId)) RaiseNotFound("folder");
    saved.entryId = NewEntryId();
    if (saved.Field(outlook::ApptField::GlobalAppointmentID).ToString().empty()) {
      saved.fields.Set(outlook::ApptField::GlobalAppointmentID, com::Variant(NewEntryId().substr(40) + "@quorvane"));
    }
    saved.createdMs = now;
    saved.modifiedMs = now;
  } else {
    stored = MustLoad(saved.id);
    // Written over as it stands, another member's change would be put back to what was read.
    if (stored->modifiedMs != item.modifiedMs) RaiseChanged();
    saved.KeepUnread(*stored);
    // Strictly later than before, so two saves within one clock tick still order.
    saved.modifiedMs = std::max(now, stored->modifiedMs + 1);
  }
  WriteItem(saved, stored ? &*stored : nullptr);
  tx.Commit();
  if (!stored) Recount(saved.folderId, +1);
  cache_.Stored(stored ? &*stored : nullptr, AsStored(saved));
  item = std::move(saved);
}

ItemRecord SqliteStore::PrepareCopy(int64_t id) {
  ItemRecord copy = MustLoad(id);
  copy.id = 0;
  copy.entryId = NewEntryId();
  copy.createdMs = copy.modifiedMs = NowMs();
  return copy;
}

void SqliteStore::InsertCopy(ItemRecord& copy) {
  Transaction tx(db_);
  copy.id = 0;
  WriteItem(copy, nullptr);
  tx.Commit();
  Recount(copy.folderId, +1);
  cache_.Stored(nullptr, AsStored(copy));
}

ItemRecord SqliteStore::MoveItem(int64_t id, int64_t folderId) {
  folderCounts_.clear();  // rare enough to count afresh
  Transaction tx(db_);
  if (!FolderById(folderId)) RaiseNotFound("folder");
  const ItemRecord before = MustLoad(id);
  db_.Prepare("UPDATE items SET folder_id = ? WHERE id = ?").Bind(1, folderId).Bind(2, id).Run();
  if (sqlite3_changes(db_.raw()) == 0) RaiseItemGone();
  ItemRecord moved = before;
  moved.folderId = folderId;
  tx.Commit();
  cache_.Stored(&before, moved);
  return moved;
}

ItemRecord SqliteStore::ImportItem(const ItemRecord& item, int64_t folderId) {
  Transaction tx(db_);
  if (!FolderById(folderId)) RaiseNotFound("folder");
  ItemRecord imported = item;
  imported.id = 0;
  imported.folderId = folderId;
  imported.entryId = NewEntryId();
  WriteItem(imported, nullptr);
  auto& known = knownFields_[folderId];
  for (const auto& p : imported.userProps) {
    // The arriving item's fields become known to its new folder, as its old folder knew them.
    if (known.count(p.name)) continue;
    db_.Prepare("INSERT OR IGNORE INTO folder_fields(folder_id, name, type) VALUES(?, ?, ?)")
        .Bind(1, folderId)
        .Bind(2, p.name)
        .Bind(3, int64_t{p.type})
        .Run();
  }
  tx.Commit();
  Recount(folderId, +1);
  for (const auto& p : imported.userProps) known.insert(p.name);
  cache_.Stored(nullptr, AsStored(imported));
  return imported;
}

void SqliteStore::DeleteItem(int64_t id) {
  Transaction tx(db_);
  const std::optional<ItemRecord> before = LoadItem(id);
  int64_t folderId = 0;
  {
    auto st = db_.Prepare("DELETE FROM items WHERE id = ? RETURNING folder_id");
    st.Bind(1, id);
    if (!st.Step()) RaiseItemGone();
    folderId = st.Int(0);
    st.Run();
  }
  tx.Commit();
  Recount(folderId, -1);
  if (before) cache_.Deleted(*before);
}

}  // namespace mapistore
