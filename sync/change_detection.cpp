// Whether two copies of an appointment differ, and which of them is newer.
#include <functional>
#include <vector>

#include "addin/quorvane_class.h"

namespace quorvane {

namespace {

using outlook::ApptField;
using Read = std::function<com::Variant(outlook::AppointmentItem&)>;

Read Field(ApptField f) {
  return [f](outlook::AppointmentItem& a) { return a.GetField(f); };
}

// The compared fields, in the order they are compared. Fields not listed (ReminderSet,
// OptionalAttendees, Organizer, the pattern itself, the modification time and every user
// property) never make two appointments differ.
const std::vector<Read>& ComparedFields() {
  static const std::vector<Read> fields = {
      Field(ApptField::Subject),
      Field(ApptField::Start),
      Field(ApptField::End),
      Field(ApptField::AllDayEvent),
      [](outlook::AppointmentItem& a) { return com::Variant(int32_t{a.Attachments()->Count()}); },
      Field(ApptField::BillingInformation),
      Field(ApptField::Body),
      Field(ApptField::BusyStatus),
      Field(ApptField::Categories),
      Field(ApptField::Companies),
      [](outlook::AppointmentItem& a) { return com::Variant(int32_t(a.Duration())); },
      [](outlook::AppointmentItem& a) { return com::Variant(a.FormDescription()->Name()); },
      Field(ApptField::InternetCodepage),
      [](outlook::AppointmentItem& a) { return com::Variant::Boolean(a.IsRecurring()); },
      Field(ApptField::Importance),
      [](outlook::AppointmentItem& a) { return com::Variant(int32_t{a.Links()->Count()}); },
      Field(ApptField::Location),
      Field(ApptField::MeetingStatus),
      Field(ApptField::MeetingWorkspaceURL),
      [](outlook::AppointmentItem& a) { return com::Variant(int32_t{a.Recipients()->Count()}); },
      [](outlook::AppointmentItem& a) { return com::Variant(int32_t{a.RecurrenceState()}); },
      Field(ApptField::ReminderMinutesBeforeStart),
      Field(ApptField::ReminderOverrideDefault),
      Field(ApptField::ReminderPlaySound),
      Field(ApptField::ReminderSoundFile),
      Field(ApptField::ReplyTime),
      Field(ApptField::RequiredAttendees),
      Field(ApptField::Resources),
      Field(ApptField::ResponseRequested),
      Field(ApptField::ResponseStatus),
      Field(ApptField::Sensitivity),
  };
  return fields;
}

// Exact: texts by every character and case, dates to the millisecond.
bool Same(const com::Variant& a, const com::Variant& b) {
  if (a.type() == com::Variant::Type::String && b.type() == com::Variant::Type::String) {
    return a.ToString() == b.ToString();
  }
  if (a.type() == com::Variant::Type::Date && b.type() == com::Variant::Type::Date) {
    return a.ToDate().UnixMillis() == b.ToDate().UnixMillis();
  }
  return a == b;
}

}  // namespace

bool QuorvaneClass::fnAppointmentsDiffer(const Appt& item1, const Appt& item2) {
  if (bShuttingDown) return false;
  if (item1.IsNothing() || item2.IsNothing()) return false;
  // Known to hold the same, they do not differ in any field compared: nothing to read.
  if (item1->SameStoredContent(*item2)) return false;
  bool differ = false;
  // A field that cannot be read ends the comparison with what was found so far.
  com::ErrObject err;
  err.Try([&] {
    for (const Read& read : ComparedFields()) {
      if (!Same(read(*item1), read(*item2))) differ = true;
      if (bShuttingDown) {
        differ = false;
        return;
      }
    }
    if (differ) return;
    const int count = item1->Attachments()->Count();
    for (int i = 1; i <= count; ++i) {
      if (item1->Attachments()->Item(i)->FileName() != item2->Attachments()->Item(i)->FileName()) {
        differ = true;
        return;
      }
    }
  });
  return differ;
}

bool QuorvaneClass::fnIsNewer(const Appt& item, const Appt& counterpart) {
  return counterpart->LastModificationTime() < item->LastModificationTime();
}

}  // namespace quorvane
