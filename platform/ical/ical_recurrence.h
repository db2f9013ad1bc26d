#pragma once
// The object model's recurrence pattern as an RRULE and back, by libical's arithmetic.
#include <libical/ical.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/com/date.h"
#include "platform/outlook/appointment_item.h"

namespace ical {

// The values of a recurrence pattern, in the object model's terms and this computer's time.
struct Pattern {
  int type = 1;  // olRecurs...
  int interval = 1, dayOfWeekMask = 0, dayOfMonth = 0, monthOfYear = 0, instance = 0, occurrences = 0;
  bool noEndDate = true;
  com::Date patternEnd;  // the day of the last occurrence, unless noEndDate

  bool operator==(const Pattern&) const = default;
};

// What a series in the store holds: its pattern, and its deleted or changed occurrences.
Pattern ReadPattern(outlook::RecurrencePattern& p);
std::vector<outlook::OccurrenceChange> ReadChanges(outlook::RecurrencePattern& p);

// The rule a pattern stands for. until is the UNTIL value to write (a date, a floating time or a
// UTC time, as the start is); unused when the pattern has a count or no end.
std::string RuleText(const Pattern& p, icaltimetype until);

// The pattern for a rule read from a file, its first occurrence being start (this computer's
// time). nullopt when the pattern cannot say it; why then names what it cannot keep.
std::optional<Pattern> PatternOf(const icalrecurrencetype& rule, com::Date start, std::string& why);

// The starts of a series in this computer's time, at most limit of them.
std::vector<com::Date> Occurrences(const icalrecurrencetype& rule, icaltimetype dtstart, size_t limit);
std::vector<com::Date> Occurrences(const Pattern& p, com::Date start, bool allDay, size_t limit);

}  // namespace ical
