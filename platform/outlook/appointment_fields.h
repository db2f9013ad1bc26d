#pragma once
// The stored fields of an appointment: one table that the object model, the store's columns,
// the filters and the command line all read, so a field is declared once.
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/variant.h"

namespace outlook {

enum class ApptField {
  Subject,
  Start,
  End,
  AllDayEvent,
  BillingInformation,
  Body,
  BusyStatus,
  Categories,
  Companies,
  InternetCodepage,
  Importance,
  Location,
  MeetingStatus,
  MeetingWorkspaceURL,
  ReminderMinutesBeforeStart,
  ReminderOverrideDefault,
  ReminderPlaySound,
  ReminderSet,
  ReminderSoundFile,
  ReplyTime,
  RequiredAttendees,
  OptionalAttendees,
  Resources,
  ResponseRequested,
  ResponseStatus,
  Sensitivity,
  Organizer,
  GlobalAppointmentID,
  Floating,
};

constexpr size_t kApptFieldCount = static_cast<size_t>(ApptField::Floating) + 1;

enum class FieldKind { Text, Date, Boolean, Long };

struct FieldInfo {
  ApptField id;
  const char* name;    // the object model's property name
  const char* column;  // the store's column
  FieldKind kind;
};

const std::vector<FieldInfo>& StoredFields();
const FieldInfo& Info(ApptField id);
// By property name, without regard to case; nullptr when no stored field has that name.
const FieldInfo* FindField(std::string_view name);
// A value converted to the field's kind (raises 13 when it cannot be).
com::Variant Coerce(FieldKind kind, const com::Variant& value);
com::Variant DefaultValue(FieldKind kind);

}  // namespace outlook
