#pragma once
// A folder's items, possibly restricted and sorted. Enumeration walks the list of the items
// taken when it starts, so items deleted or added meanwhile neither crash it nor repeat; the
// items themselves are read a stretch at a time as the walk gets to them.
#include <memory>

#include "platform/mapistore/mapi_session.h"
#include "platform/outlook/items.h"

namespace mapistore {

class MapiItems : public outlook::Items {
 public:
  MapiItems(std::shared_ptr<MapiSession> session, std::shared_ptr<Store> store, ItemQuery query)
      : session_(std::move(session)), store_(std::move(store)), query_(std::move(query)) {}

  int Count() override;
  Ref<outlook::AppointmentItem> Item(int index) override;
  Ref<outlook::Items> Restrict(const std::string& filter) override;
  void Sort(const std::string& property, bool descending) override;
  Ref<outlook::AppointmentItem> GetFirst() override;
  Ref<outlook::AppointmentItem> GetNext() override;
  com::Subscription OnItemAdd(ItemHandler handler) override;
  com::Subscription OnItemChange(ItemHandler handler) override;

  const ItemQuery& query() const { return query_; }

 private:
  Ref<outlook::AppointmentItem> NextFromSnapshot();
  bool WholeWanted() const { return wholeWanted_ && *wholeWanted_; }

  std::shared_ptr<MapiSession> session_;
  std::shared_ptr<Store> store_;
  ItemQuery query_;
  static constexpr size_t kStretch = 256;
  std::vector<int64_t> ids_;  // the walk's items, in order
  size_t next_ = 0;           // the first of ids_ not read yet
  std::vector<SharedRecord> stretch_;
  bool partStretch_ = false;  // stretch_ was read in part
  size_t position_ = 0;       // in stretch_
  std::shared_ptr<void> walk_;  // open while the snapshot has items left
  // Set once an item of the walk had to be read whole: its next stretches are read whole. Made
  // when a walk begins: a collection is made for every count of a folder.
  std::shared_ptr<bool> wholeWanted_;
};

}  // namespace mapistore
