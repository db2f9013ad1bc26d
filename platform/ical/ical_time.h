#pragma once
// Times of calendar files against this computer's own time: zones by their rules, with RFC 5545's
// reading of a time that a daylight-saving change skips or repeats.
#include <libical/ical.h>

#include <ctime>
#include <string>

#include "platform/com/date.h"

namespace ical {

// This computer's zone as the zone database names it; nullptr when it has no such name or keeps
// UTC (times are then written in UTC).
icaltimezone* LocalZone();
// The zone a TZID names: a VTIMEZONE of the calendar, else the system's zone of that name;
// nullptr when neither.
icaltimezone* ResolveZone(icalcomponent* calendar, const char* tzid);

// The moment a time stands for: UTC, in its zone (a time in a gap counts with the offset before
// it, a repeated one is the first), or floating, taken as this computer's time.
time_t Instant(icaltimetype t);
com::Date LocalDate(time_t instant);
time_t LocalInstant(com::Date local);

icaltimetype WallTime(com::Date d, bool dateOnly);
com::Date FromWallTime(icaltimetype t);  // its fields as they stand, zone ignored

}  // namespace ical
