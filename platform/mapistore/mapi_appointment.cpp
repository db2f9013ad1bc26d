#include "platform/mapistore/mapi_appointment.h"

#include "platform/com/com_error.h"
#include "platform/mapistore/mapi_folder.h"
#include "platform/mapistore/mapi_item_parts.h"
#include "platform/mapistore/store_errors.h"
#include "platform/outlook/outlook_enums.h"

namespace mapistore {

using outlook::ApptField;

MapiAppointment::MapiAppointment(std::shared_ptr<MapiSession> session, std::shared_ptr<Store> store,
                                 SharedRecord record)
    : session_(std::move(session)), store_(std::move(store)), record_(std::move(record)) {}

ItemRecord& MapiAppointment::Edit() {
  if (record_->partial) ReadWhole();
  // Read, the record may be the one the store remembers: a change goes to a copy of its own.
  if (record_.use_count() > 1) record_ = std::make_shared<ItemRecord>(*record_);
  auto& record = const_cast<ItemRecord&>(*record_);
  record.digest.clear();  // what it holds may differ from the stored from now on
  return record;
}

void MapiAppointment::CheckAlive() const {
  if (gone_) RaiseItemGone();
}

com::Variant MapiAppointment::GetField(ApptField field) {
  CheckAlive();
  if (!record_->Holds(field)) ReadWhole();
  return record_->Field(field);
}

bool MapiAppointment::SameStoredContent(outlook::AppointmentItem& other) {
  const auto* o = dynamic_cast<const MapiAppointment*>(&other);
  return o && !gone_ && !o->gone_ && !record_->digest.empty() && record_->digest == o->record_->digest;
}

void MapiAppointment::SetField(ApptField field, const com::Variant& value) {
  CheckAlive();
  Edit().fields.Set(field, outlook::Coerce(outlook::Info(field).kind, value));
}

void MapiAppointment::ReadWhole() {
  auto whole = store_->LoadItem(record_->id);
  if (!whole) RaiseItemGone();
  // Another version's fields would not belong to what was read.
  if (whole->modifiedMs != record_->modifiedMs) RaiseChanged();
  record_ = std::make_shared<const ItemRecord>(std::move(*whole));
  if (auto flag = wholeRead_.lock()) *flag = true;
}

com::Date MapiAppointment::LastModificationTime() {
  CheckAlive();
  return com::Date::FromUnixMillis(record_->modifiedMs);
}

com::Date MapiAppointment::CreationTime() {
  CheckAlive();
  return com::Date::FromUnixMillis(record_->createdMs);
}

int MapiAppointment::Class() { return outlook::ObjectClassOf(record_->messageClass.c_str()); }

Ref<outlook::UserProperties> MapiAppointment::UserProperties() {
  CheckAlive();
  return std::make_shared<MapiUserProperties>(Self());
}

Ref<outlook::Attachments> MapiAppointment::Attachments() {
  CheckAlive();
  return std::make_shared<MapiAttachments>(Self());
}

Ref<outlook::Recipients> MapiAppointment::Recipients() {
  CheckAlive();
  return std::make_shared<MapiRecipients>(Self());
}

Ref<outlook::Links> MapiAppointment::Links() {
  CheckAlive();
  return std::make_shared<MapiLinks>(Self());
}

Ref<outlook::FormDescription> MapiAppointment::FormDescription() {
  CheckAlive();
  return std::make_shared<MapiFormDescription>(record_->messageClass);
}

Ref<outlook::RecurrencePattern> MapiAppointment::GetRecurrencePattern() {
  CheckAlive();
  if (!record_->recurrence) {
    RecurrenceRecord r;
    r.type = outlook::olRecursWeekly;
    r.dayOfWeekMask = 1 << (Start().Weekday() - 1);
    r.patternStart = Start().DateOnly();
    Edit().recurrence = r;
  }
  return std::make_shared<MapiRecurrencePattern>(Self());
}

Ref<outlook::MAPIFolder> MapiAppointment::Parent() {
  CheckAlive();
  auto folder = store_->FolderById(record_->folderId);
  if (!folder) RaiseNotFound("folder");
  return session_->FolderObject(store_, *folder);
}

void MapiAppointment::Save() {
  CheckAlive();
  const bool isNew = record_->id == 0;
  store_->SaveItem(Edit());
  if (isNew) session_->Journal(true, store_, *record_);
  session_->Notify(isNew ? ItemEvent::Add : ItemEvent::Change, store_, record_->folderId, record_->id);
}

Ref<outlook::AppointmentItem> MapiAppointment::Copy() {
  CheckAlive();
  if (record_->id == 0) Save();
  ItemRecord copy = store_->CopyItem(record_->id);
  session_->Journal(true, store_, copy);
  session_->Notify(ItemEvent::Add, store_, copy.folderId, copy.id);
  return session_->ItemObject(store_, std::move(copy));
}

Ref<outlook::AppointmentItem> MapiAppointment::Move(const Ref<outlook::MAPIFolder>& destination) {
  CheckAlive();
  auto target = std::dynamic_pointer_cast<MapiFolder>(destination.get());
  if (!target) com::Raise(com::kErrObjectNotSet);
  if (record_->id == 0) Save();
  const int64_t folderId = target->record().id;
  ItemRecord moved;
  if (target->store() == store_) {
    moved = store_->MoveItem(record_->id, folderId);
  } else {
    // Another store: the item arrives there with a new entry ID and leaves this one. If it
    // cannot leave, the arrival is undone, so the item is never in both places.
    auto current = store_->LoadItem(record_->id);
    if (!current) RaiseItemGone();
    moved = target->store()->ImportItem(*current, folderId);
    try {
      store_->DeleteItem(record_->id);
    } catch (...) {
      try {
        target->store()->DeleteItem(moved.id);
      } catch (...) {
      }
      throw;
    }
  }
  gone_ = true;
  session_->Journal(false, store_, *record_);
  session_->Journal(true, target->store(), moved);
  if (target->store() != store_) session_->MarkRemoved(store_->StoreId(), record_->entryId);
  session_->Notify(ItemEvent::Add, target->store(), folderId, moved.id);
  return session_->ItemObject(target->store(), std::move(moved));
}

void MapiAppointment::Delete() {
  CheckAlive();
  if (record_->id != 0) {
    store_->DeleteItem(record_->id);
    session_->Journal(false, store_, *record_);
  }
  gone_ = true;
  session_->MarkRemoved(store_->StoreId(), record_->entryId);
}

}  // namespace mapistore
