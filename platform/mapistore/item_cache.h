#pragma once
// What a store read, and wrote itself, while no other connection changed its file: items by ID,
// and for a folder and a user property, which items hold which value. A pass looks up one
// appointment's counterpart after another; with the folder's values at hand that is a lookup
// in memory. Everything is dropped when the file's epoch moves on (see Db::Epoch).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/com/text.h"
#include "platform/mapistore/records.h"

namespace mapistore {

class ItemCache {
 public:
  // Forgets everything unless the epoch is the one the cache was filled in.
  void Sync(uint64_t epoch);

  // The item as remembered, if that serves the read: a partial record serves a lean one only.
  const ItemRecord* Find(int64_t id, bool lean) const;
  SharedRecord Share(int64_t id, bool lean) const;  // as Find, shared
  bool Empty() const { return items_.empty(); }
  // Keeps the item, unless it is partial and the whole item is kept already; the record kept,
  // or nullptr.
  ItemRecord* Remember(ItemRecord&& item);
  // An item written: before as it was stored (nullptr: it is new), after as it is stored now.
  void Stored(const ItemRecord* before, ItemRecord after);
  void Deleted(const ItemRecord& before);

  // Items of the folder whose property has the value (compared as the store compares text), or
  // nothing when the folder's values of that property are not at hand.
  std::optional<std::vector<int64_t>> Holding(int64_t folderId, const std::string& property,
                                              const std::string& value) const;
  // Every (value, item) of the property in the folder, as read from the store.
  void KeepValues(int64_t folderId, const std::string& property,
                  std::vector<std::pair<std::string, int64_t>> values);

 private:
  using Values = std::unordered_multimap<std::string, int64_t, com::NoCaseHash, com::NoCaseEqual>;  // value -> item
  void Index(const ItemRecord& item, bool add);
  const Values* ValuesOf(int64_t folderId, std::string_view property) const;
  Values* ValuesOf(int64_t folderId, std::string_view property);
  const SharedRecord* Serving(int64_t id, bool lean) const;  // as Find

  uint64_t epoch_ = 0;
  std::unordered_map<int64_t, SharedRecord> items_;
  std::map<std::pair<int64_t, std::string>, Values> values_;  // (folder, lower-case property)
};

}  // namespace mapistore
