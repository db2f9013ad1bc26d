#include "host/calendar_files/calendar_files.h"

std::vector<com::Date> QuorvaneSeriesDates(const ical::Pattern& pattern, com::Date start, bool allDay, size_t limit) {
  return ical::Occurrences(pattern, start, allDay, limit);
}
