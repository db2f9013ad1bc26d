#pragma once
// An item of a store as the object model shows it. Changes stay in the object until Save.
#include <memory>

#include "platform/mapistore/mapi_session.h"
#include "platform/outlook/appointment_item.h"

namespace mapistore {

class MapiAppointment : public outlook::AppointmentItem {
 public:
  MapiAppointment(std::shared_ptr<MapiSession> session, std::shared_ptr<Store> store, SharedRecord record);

  com::Variant GetField(outlook::ApptField field) override;
  void SetField(outlook::ApptField field, const com::Variant& value) override;
  bool SameStoredContent(outlook::AppointmentItem& other) override;
  std::string EntryID() override { return record_->entryId; }
  com::Date LastModificationTime() override;
  com::Date CreationTime() override;
  std::string MessageClass() override { return record_->messageClass; }
  void SetMessageClass(const std::string& messageClass) override { Edit().messageClass = messageClass; }
  int Class() override;
  bool IsRecurring() override { return record_->recurrence.has_value(); }
  int RecurrenceState() override { return IsRecurring() ? 1 : 0; }

  Ref<outlook::UserProperties> UserProperties() override;
  Ref<outlook::Attachments> Attachments() override;
  Ref<outlook::Recipients> Recipients() override;
  Ref<outlook::Links> Links() override;
  Ref<outlook::FormDescription> FormDescription() override;
  Ref<outlook::RecurrencePattern> GetRecurrencePattern() override;
  void ClearRecurrencePattern() override { Edit().recurrence.reset(); }
  Ref<outlook::MAPIFolder> Parent() override;

  void Save() override;
  Ref<outlook::AppointmentItem> Copy() override;
  Ref<outlook::AppointmentItem> Move(const Ref<outlook::MAPIFolder>& destination) override;
  void Delete() override;

  const ItemRecord& record() const { return *record_; }
  ItemRecord& Edit();  // the record, whole, to change
  // Reads what a walk or a lookup left out; raises the store's "changed" error when the item is
  // no longer the version that was read.
  void ReadWhole();
  // The flag is set when this item is read whole (see MapiItems).
  void TellWhenReadWhole(std::weak_ptr<bool> flag) { wholeRead_ = std::move(flag); }
  const std::shared_ptr<Store>& store() const { return store_; }
  void CheckAlive() const;  // raises once the item has been deleted or moved away
  std::shared_ptr<MapiAppointment> Self() {
    return std::static_pointer_cast<MapiAppointment>(shared_from_this());
  }

 private:
  std::shared_ptr<MapiSession> session_;
  std::shared_ptr<Store> store_;
  SharedRecord record_;
  bool gone_ = false;
  std::weak_ptr<bool> wholeRead_;
};

}  // namespace mapistore
