#include "platform/outlook/appointment_fields.h"

#include <unordered_map>

#include "platform/com/text.h"
#include "platform/outlook/outlook_enums.h"

namespace outlook {

int ObjectClassOf(const char* messageClass) {
  const std::string mc = com::ToLower(messageClass ? messageClass : "");
  auto starts = [&](const char* p) { return mc.rfind(p, 0) == 0; };
  if (starts("ipm.appointment")) return olAppointment;
  if (starts("ipm.contact")) return olContact;
  if (starts("ipm.activity")) return olJournal;
  if (starts("ipm.task")) return olTask;
  if (starts("ipm.stickynote")) return olNote;
  return olMail;
}

const std::vector<FieldInfo>& StoredFields() {
  using K = FieldKind;
  static const std::vector<FieldInfo> fields = {
      {ApptField::Subject, "Subject", "subject", K::Text},
      {ApptField::Start, "Start", "start_ms", K::Date},
      {ApptField::End, "End", "end_ms", K::Date},
      {ApptField::AllDayEvent, "AllDayEvent", "all_day", K::Boolean},
      {ApptField::BillingInformation, "BillingInformation", "billing_information", K::Text},
      {ApptField::Body, "Body", "body", K::Text},
      {ApptField::BusyStatus, "BusyStatus", "busy_status", K::Long},
      {ApptField::Categories, "Categories", "categories", K::Text},
      {ApptField::Companies, "Companies", "companies", K::Text},
      {ApptField::InternetCodepage, "InternetCodepage", "internet_codepage", K::Long},
      {ApptField::Importance, "Importance", "importance", K::Long},
      {ApptField::Location, "Location", "location", K::Text},
      {ApptField::MeetingStatus, "MeetingStatus", "meeting_status", K::Long},
      {ApptField::MeetingWorkspaceURL, "MeetingWorkspaceURL", "meeting_workspace_url", K::Text},
      {ApptField::ReminderMinutesBeforeStart, "ReminderMinutesBeforeStart", "reminder_minutes", K::Long},
      {ApptField::ReminderOverrideDefault, "ReminderOverrideDefault", "reminder_override_default", K::Boolean},
      {ApptField::ReminderPlaySound, "ReminderPlaySound", "reminder_play_sound", K::Boolean},
      {ApptField::ReminderSet, "ReminderSet", "reminder_set", K::Boolean},
      {ApptField::ReminderSoundFile, "ReminderSoundFile", "reminder_sound_file", K::Text},
      {ApptField::ReplyTime, "ReplyTime", "reply_time_ms", K::Date},
      {ApptField::RequiredAttendees, "RequiredAttendees", "required_attendees", K::Text},
      {ApptField::OptionalAttendees, "OptionalAttendees", "optional_attendees", K::Text},
      {ApptField::Resources, "Resources", "resources", K::Text},
      {ApptField::ResponseRequested, "ResponseRequested", "response_requested", K::Boolean},
      {ApptField::ResponseStatus, "ResponseStatus", "response_status", K::Long},
      {ApptField::Sensitivity, "Sensitivity", "sensitivity", K::Long},
      {ApptField::Organizer, "Organizer", "organizer", K::Text},
      // The event's identity in calendar files (UID): kept through copies, moves and exports.
      {ApptField::GlobalAppointmentID, "GlobalAppointmentID", "global_appointment_id", K::Text},
      // A time of day in no zone at all (from a calendar file), shown and written as it is.
      {ApptField::Floating, "Floating", "floating", K::Boolean},
  };
  return fields;
}

const FieldInfo& Info(ApptField id) { return StoredFields()[static_cast<size_t>(id)]; }

const FieldInfo* FindField(std::string_view name) {
  static const auto* byName = [] {
    auto* m = new std::unordered_map<std::string, const FieldInfo*, com::NoCaseHash, com::NoCaseEqual>;
    for (const FieldInfo& f : StoredFields()) m->emplace(f.name, &f);
    return m;
  }();
  auto it = byName->find(name);
  return it == byName->end() ? nullptr : it->second;
}

com::Variant Coerce(FieldKind kind, const com::Variant& value) {
  switch (kind) {
    case FieldKind::Text: return com::Variant(value.ToString());
    case FieldKind::Date: return com::Variant(value.ToDate());
    case FieldKind::Boolean: return com::Variant::Boolean(value.ToBool());
    case FieldKind::Long: return com::Variant(value.ToLong());
  }
  return value;
}

com::Variant DefaultValue(FieldKind kind) {
  switch (kind) {
    case FieldKind::Text: return com::Variant(std::string());
    case FieldKind::Date: return com::Variant(com::Date(0));
    case FieldKind::Boolean: return com::Variant::Boolean(false);
    case FieldKind::Long: return com::Variant(int32_t{0});
  }
  return {};
}

}  // namespace outlook
