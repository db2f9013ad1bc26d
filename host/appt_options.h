#pragma once
// The appointment options of 'appt add' and 'appt edit', checked before anything is changed.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/com/date.h"
#include "platform/outlook/appointment_item.h"

namespace host {

struct ApptOptions {
  std::optional<std::string> subject, body, location, categories;
  std::optional<com::Date> start, end;
  std::optional<bool> allDay;
  bool timed = false;  // a time of day given with --start or --end
  std::optional<int> sensitivity;
  std::optional<int> recurType;  // olRecurs...
  std::optional<int> interval;
  std::optional<com::Date> until;
  std::optional<int> count, dayOfWeekMask, instance, dayOfMonth, monthOfYear;

  // Raises UsageError for an unknown option, a bad date or number.
  static ApptOptions Parse(const std::vector<std::string>& words);
  // Applies the options; raises UsageError when the result would end before it starts.
  void ApplyTo(outlook::AppointmentItem& item) const;
  // Start and end of an appointment that had these; wholeDays: the days made whole (the end
  // day included; one day when only the start is given).
  std::pair<com::Date, com::Date> Span(com::Date oldStart, com::Date oldEnd, bool wholeDays) const;
};

// "YYYY-MM-DD HH:MM" or "YYYY-MM-DD"; nullopt when the text is no such date.
std::optional<com::Date> ParseIsoDate(const std::string& text);
std::string IsoText(com::Date d, bool withSeconds = false);

}  // namespace host
