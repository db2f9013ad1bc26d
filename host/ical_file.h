#pragma once
// iCalendar (RFC 5545) files in and out of a calendar folder.
#include <string>
#include <vector>

#include "platform/outlook/application.h"

namespace host {

// One event as read from a file, ready to become an appointment.
struct IcalEvent {
  int line = 0;  // where its BEGIN:VEVENT stands
  std::string subject, body, location, categories;
  com::Date start, end;
  bool allDay = false;
  int sensitivity = 0;
  int recurType = -1;  // none
  int interval = 1, dayOfWeekMask = 0, dayOfMonth = 0, monthOfYear = 0;
  bool hasUntil = false;
  com::Date until;
  std::vector<std::pair<std::string, std::string>> userProps;
};

// Reads every event of the file; throws UsageError naming the line of the first fault, so a
// faulty file imports nothing.
std::vector<IcalEvent> ReadIcalFile(const std::string& path);
void ApplyEvent(const IcalEvent& e, outlook::AppointmentItem& item);

// The folder's appointments as one calendar file (written whole or not at all).
void WriteIcalFile(const std::string& path, const std::vector<com::Ref<outlook::AppointmentItem>>& items);

}  // namespace host
