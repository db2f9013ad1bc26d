#include "platform/mapistore/item_cache.h"

#include <algorithm>
#include <utility>

#include "platform/com/text.h"

namespace mapistore {

void ItemCache::Sync(uint64_t epoch) {
  if (epoch == epoch_) return;
  items_.clear();
  values_.clear();
  epoch_ = epoch;
}

const SharedRecord* ItemCache::Serving(int64_t id, bool lean) const {
  auto it = items_.find(id);
  if (it == items_.end() || (it->second->partial && !lean)) return nullptr;
  return &it->second;
}

SharedRecord ItemCache::Share(int64_t id, bool lean) const {
  const SharedRecord* r = Serving(id, lean);
  return r ? *r : nullptr;
}

const ItemRecord* ItemCache::Find(int64_t id, bool lean) const {
  const SharedRecord* r = Serving(id, lean);
  return r ? r->get() : nullptr;
}

ItemRecord* ItemCache::Remember(ItemRecord&& item) {
  auto it = items_.find(item.id);
  if (it != items_.end() && item.partial && !it->second->partial) return nullptr;
  // A new record, not the old one changed: readers may share the old one.
  auto kept = std::make_shared<ItemRecord>(std::move(item));
  ItemRecord* record = kept.get();
  items_.insert_or_assign(record->id, std::move(kept));
  return record;
}

const ItemCache::Values* ItemCache::ValuesOf(int64_t folderId, std::string_view property) const {
  auto index = values_.find({folderId, com::ToLower(property)});
  return index == values_.end() ? nullptr : &index->second;
}

ItemCache::Values* ItemCache::ValuesOf(int64_t folderId, std::string_view property) {
  return const_cast<Values*>(std::as_const(*this).ValuesOf(folderId, property));
}

void ItemCache::Index(const ItemRecord& item, bool add) {
  for (const UserPropRecord& p : item.userProps) {
    Values* index = ValuesOf(item.folderId, p.name);
    if (!index) continue;
    std::string value = p.value.ToString();
    if (add) {
      index->emplace(std::move(value), item.id);
      continue;
    }
    auto [first, last] = index->equal_range(value);
    for (auto it = first; it != last; ++it) {
      if (it->second == item.id) {
        index->erase(it);
        break;
      }
    }
  }
}

void ItemCache::Stored(const ItemRecord* before, ItemRecord after) {
  if (before) Index(*before, false);
  Index(after, true);
  const int64_t id = after.id;
  items_.insert_or_assign(id, std::make_shared<const ItemRecord>(std::move(after)));
}

void ItemCache::Deleted(const ItemRecord& before) {
  Index(before, false);
  items_.erase(before.id);
}

std::optional<std::vector<int64_t>> ItemCache::Holding(int64_t folderId, const std::string& property,
                                                       const std::string& value) const {
  const Values* index = ValuesOf(folderId, property);
  if (!index) return std::nullopt;
  std::vector<int64_t> ids;
  auto [first, last] = index->equal_range(std::string_view(value));
  for (auto it = first; it != last; ++it) ids.push_back(it->second);
  std::sort(ids.begin(), ids.end());
  return ids;
}

void ItemCache::KeepValues(int64_t folderId, const std::string& property,
                           std::vector<std::pair<std::string, int64_t>> values) {
  Values& index = values_[{folderId, com::ToLower(property)}];
  index.clear();
  index.reserve(values.size());
  for (auto& [value, id] : values) index.emplace(std::move(value), id);
}

}  // namespace mapistore
