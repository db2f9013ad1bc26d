#pragma once
// iCalendar (RFC 5545) files in and out of a calendar folder.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/ical/ical_recurrence.h"
#include "platform/outlook/application.h"

namespace ical {

// One event as read from a file (or about to be written), in the object model's terms.
struct IcalEvent {
  int line = 0;  // where its BEGIN:VEVENT stands
  std::string uid, subject, body, location, categories;
  com::Date start, end;  // this computer's time
  bool allDay = false, floating = false, cancelled = false;
  int sensitivity = 0;
  int busyStatus = 2;  // olBusy: what an event without TRANSP is
  bool reminderSet = false;
  int reminderMinutes = 0;
  std::optional<Pattern> recurrence;
  std::vector<outlook::OccurrenceChange> exceptions;
  std::vector<std::pair<std::string, std::string>> userProps;
  // Other X-QUORVANE- properties, by name and value as they stand: what a store keeps beside
  // the event's own properties.
  std::vector<std::pair<std::string, std::string>> extras;
  time_t lastModified = 0;  // LAST-MODIFIED; 0 when the event has none
  std::vector<std::string> simplified;  // what an import that simplifies changed

  bool operator==(const IcalEvent&) const = default;
};

// Reads every event of the file; throws Refused naming the line of the first fault, so a
// faulty file imports nothing. An event the object model cannot hold as it is is refused too,
// unless simplify: it then comes in as much as can be kept, and says what changed.
std::vector<IcalEvent> ReadIcalFile(const std::string& path, bool simplify = false);
// The same for a calendar text; name says where it came from in the reasons.
std::vector<IcalEvent> ReadIcalText(std::string text, const std::string& name, bool simplify = false);
// Puts the event into the appointment, replacing what it held.
void ApplyEvent(const IcalEvent& e, outlook::AppointmentItem& item);
IcalEvent EventOf(outlook::AppointmentItem& item);

// The folder's appointments as one calendar file (written whole or not at all). Texts that are
// not UTF-8 come out with U+FFFD in their place; each such appointment is named in notes.
void WriteIcalFile(const std::string& path, const std::vector<com::Ref<outlook::AppointmentItem>>& items,
                   std::vector<std::string>* notes = nullptr);
// The same for events taken from appointments (EventOf).
void WriteIcalFile(const std::string& path, const std::vector<IcalEvent>& events,
                   std::vector<std::string>* notes = nullptr);
// The events as one calendar text.
std::string CalendarText(const std::vector<IcalEvent>& events, std::vector<std::string>* notes = nullptr);

}  // namespace ical
