#pragma once
// The calendar-file library (host/calendar_files), loaded the first time a command needs it:
// libical and the ICU libraries it brings took about a millisecond of every command's start.
// The import and export commands are host::CmdImport and host::CmdExport (commands.h).
#include <cstddef>
#include <vector>

#include "platform/com/date.h"
#include "platform/ical/ical_recurrence.h"

namespace host {

// The first limit starts of a series in this computer's time (ical::Occurrences).
std::vector<com::Date> SeriesDates(const ical::Pattern& pattern, com::Date start, bool allDay, size_t limit);

}  // namespace host
