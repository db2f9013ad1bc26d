#pragma once
// A folder's items, or a restricted and sorted view of them.
#include <functional>
#include <string>

#include "platform/com/subscription.h"
#include "platform/outlook/appointment_item.h"

namespace outlook {

class Items : public com::ComObject {
 public:
  using ItemHandler = std::function<void(const Ref<AppointmentItem>&)>;

  virtual int Count() = 0;
  virtual Ref<AppointmentItem> Item(int index) = 0;  // 1-based, in the collection's order
  // A new collection holding the items that match the filter; it can be restricted again.
  virtual Ref<Items> Restrict(const std::string& filter) = 0;
  virtual void Sort(const std::string& property, bool descending = false) = 0;
  // Enumeration: each item that was in the collection when GetFirst was called, at most
  // once; an item deleted meanwhile is passed over. Nothing at the end.
  virtual Ref<AppointmentItem> GetFirst() = 0;
  virtual Ref<AppointmentItem> GetNext() = 0;

  // Events, delivered through the message loop after the operation that caused them.
  virtual com::Subscription OnItemAdd(ItemHandler handler) = 0;
  virtual com::Subscription OnItemChange(ItemHandler handler) = 0;
};

}  // namespace outlook
