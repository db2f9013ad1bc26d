#include "platform/mapistore/mapi_items.h"

#include "platform/com/com_error.h"
#include "platform/com/text.h"
#include "platform/mapistore/mapi_appointment.h"

namespace mapistore {

int MapiItems::Count() { return store_->CountItems(query_); }

Ref<outlook::AppointmentItem> MapiItems::Item(int index) {
  const std::vector<int64_t> ids = store_->QueryItems(query_);
  if (index < 1 || index > static_cast<int>(ids.size())) com::Raise(com::kErrSubscriptOutOfRange);
  auto record = store_->LoadItem(ids[static_cast<size_t>(index - 1)]);
  if (!record) com::Raise(com::kErrSubscriptOutOfRange);
  return session_->ItemObject(store_, std::move(*record));
}

Ref<outlook::Items> MapiItems::Restrict(const std::string& filter) {
  ItemQuery q = query_;
  q.filters.push_back(ParseFilter(filter));
  q.filterTexts.push_back(filter);
  q.sortProperty.clear();
  // Unknown properties and bad values are reported by Restrict itself, as the host does.
  store_->CheckQuery(q);
  return std::make_shared<MapiItems>(session_, store_, std::move(q));
}

void MapiItems::Sort(const std::string& property, bool descending) {
  std::string p = com::Trim(property);
  if (p.size() >= 2 && p.front() == '[' && p.back() == ']') p = p.substr(1, p.size() - 2);
  query_.sortProperty = p;
  query_.descending = descending;
  ids_.clear();
  stretch_.clear();
  next_ = position_ = 0;
  walk_.reset();
}

// The walk serves the items found at GetFirst as they are when it gets to them; one deleted or
// moved away meanwhile is passed over.
Ref<outlook::AppointmentItem> MapiItems::NextFromSnapshot() {
  for (;;) {
    if (partStretch_ && WholeWanted() && position_ < stretch_.size()) {
      // A reader wanted one of its items whole: the rest of the stretch is read again whole
      // rather than one item at a time as each is asked for.
      std::vector<int64_t> rest;
      for (size_t i = position_; i < stretch_.size(); ++i) rest.push_back(stretch_[i]->id);
      std::vector<SharedRecord> whole = store_->LoadItemsById(rest, false);
      stretch_.resize(position_);
      stretch_.insert(stretch_.end(), std::make_move_iterator(whole.begin()), std::make_move_iterator(whole.end()));
      partStretch_ = false;
    }
    while (position_ < stretch_.size()) {
      SharedRecord& record = stretch_[position_++];
      // (The store's ID is asked for only when something was removed: a walk serves thousands.)
      if (!session_->AnyRemoved() || !session_->Removed(store_->StoreId(), record->entryId)) {
        Ref<outlook::AppointmentItem> item = session_->ItemObject(store_, std::move(record));
        if (auto* a = dynamic_cast<MapiAppointment*>(item.get().get())) a->TellWhenReadWhole(wholeWanted_);
        return item;
      }
    }
    if (next_ >= ids_.size()) break;
    // A stretch at a time: a whole calendar's items at once would be the most memory a pass needs.
    // Read in part (what a pass reads of every item) until a reader wants more of one, as a
    // listing or an export does of every item.
    const size_t end = std::min(ids_.size(), next_ + kStretch);
    partStretch_ = !WholeWanted();
    stretch_ = store_->LoadItemsById(std::vector<int64_t>(ids_.begin() + next_, ids_.begin() + end), partStretch_);
    next_ = end;
    position_ = 0;
  }
  walk_.reset();
  return nullptr;
}

Ref<outlook::AppointmentItem> MapiItems::GetFirst() {
  if (!walk_) walk_ = session_->OpenWalk();  // before the read, so no removal meanwhile is missed
  ids_ = store_->QueryItems(query_);
  stretch_.clear();
  next_ = position_ = 0;
  wholeWanted_ = std::make_shared<bool>(false);
  return NextFromSnapshot();
}

Ref<outlook::AppointmentItem> MapiItems::GetNext() { return NextFromSnapshot(); }

com::Subscription MapiItems::OnItemAdd(ItemHandler handler) {
  return session_->Listen(ItemEvent::Add, store_->StoreId(), query_.folderId, std::move(handler));
}

com::Subscription MapiItems::OnItemChange(ItemHandler handler) {
  return session_->Listen(ItemEvent::Change, store_->StoreId(), query_.folderId, std::move(handler));
}

}  // namespace mapistore
