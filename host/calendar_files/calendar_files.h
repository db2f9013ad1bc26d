#pragma once
// The calendar-file commands and a series' dates, in a library of their own with libical and ICU
// (host/calendar_files_module.h loads it). What a program that loads it at run time calls.
#include <cstddef>
#include <vector>

#include "host/commands.h"
#include "platform/com/date.h"
#include "platform/ical/ical_recurrence.h"

// import PATH FILE.ics [--flatten-unsupported], export PATH FILE.ics (see host::CmdImport).
extern "C" int QuorvaneImportCommand(const host::Words& args, const host::GlobalOptions& global);
extern "C" int QuorvaneExportCommand(const host::Words& args, const host::GlobalOptions& global);
// ical::Occurrences: the first limit starts of a series.
extern "C" std::vector<com::Date> QuorvaneSeriesDates(const ical::Pattern& pattern, com::Date start, bool allDay,
                                                      size_t limit);
