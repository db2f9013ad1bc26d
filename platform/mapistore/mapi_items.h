#pragma once
// A folder's items, possibly restricted and sorted. Enumeration walks a list of the items
// taken when it starts, so items deleted or added meanwhile neither crash it nor repeat.
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

  std::shared_ptr<MapiSession> session_;
  std::shared_ptr<Store> store_;
  ItemQuery query_;
  std::vector<ItemRecord> snapshot_;
  size_t position_ = 0;
  std::shared_ptr<void> walk_;  // open while the snapshot has items left
};

}  // namespace mapistore
