#pragma once
// Forwards every call to a real appointment, so a test overrides only what it needs.
#include "platform/outlook/appointment_item.h"
#include "platform/outlook/folder.h"

namespace testing_support {

class AppointmentWrapper : public outlook::AppointmentItem {
 public:
  explicit AppointmentWrapper(com::Ref<outlook::AppointmentItem> inner) : in_(std::move(inner)) {}
  com::Variant GetField(outlook::ApptField f) override { return in_->GetField(f); }
  void SetField(outlook::ApptField f, const com::Variant& v) override { in_->SetField(f, v); }
  std::string EntryID() override { return in_->EntryID(); }
  com::Date LastModificationTime() override { return in_->LastModificationTime(); }
  com::Date CreationTime() override { return in_->CreationTime(); }
  std::string MessageClass() override { return in_->MessageClass(); }
  void SetMessageClass(const std::string& c) override { in_->SetMessageClass(c); }
  int Class() override { return in_->Class(); }
  bool IsRecurring() override { return in_->IsRecurring(); }
  int RecurrenceState() override { return in_->RecurrenceState(); }
  com::Ref<outlook::UserProperties> UserProperties() override { return in_->UserProperties(); }
  com::Ref<outlook::Attachments> Attachments() override { return in_->Attachments(); }
  com::Ref<outlook::Recipients> Recipients() override { return in_->Recipients(); }
  com::Ref<outlook::Links> Links() override { return in_->Links(); }
  com::Ref<outlook::FormDescription> FormDescription() override { return in_->FormDescription(); }
  com::Ref<outlook::RecurrencePattern> GetRecurrencePattern() override { return in_->GetRecurrencePattern(); }
  void ClearRecurrencePattern() override { in_->ClearRecurrencePattern(); }
  com::Ref<outlook::MAPIFolder> Parent() override { return in_->Parent(); }
  void Save() override { in_->Save(); }
  com::Ref<outlook::AppointmentItem> Copy() override { return in_->Copy(); }
  com::Ref<outlook::AppointmentItem> Move(const com::Ref<outlook::MAPIFolder>& d) override { return in_->Move(d); }
  void Delete() override { in_->Delete(); }

 protected:
  com::Ref<outlook::AppointmentItem> in_;
};

}  // namespace testing_support
