#include "host/calendar_files_module.h"

#include <stdexcept>
#include <string>

#include "host/calendar_files/calendar_files.h"
#include "host/program_library.h"

namespace host {

namespace {

template <typename Entry>
Entry* CalendarFilesEntry(const char* name) {
  std::string why;
  auto* entry = reinterpret_cast<Entry*>(ProgramLibraryEntry("libQuorvaneCalendarFiles.so", name, why));
  if (!entry) throw std::runtime_error("calendar files cannot be read or written: " + why);
  return entry;
}

}  // namespace

int CmdImport(const Words& args, const GlobalOptions& global) {
  static auto* import = CalendarFilesEntry<decltype(QuorvaneImportCommand)>("QuorvaneImportCommand");
  return import(args, global);
}

int CmdExport(const Words& args, const GlobalOptions& global) {
  static auto* exportTo = CalendarFilesEntry<decltype(QuorvaneExportCommand)>("QuorvaneExportCommand");
  return exportTo(args, global);
}

std::vector<com::Date> SeriesDates(const ical::Pattern& pattern, com::Date start, bool allDay, size_t limit) {
  static auto* dates = CalendarFilesEntry<decltype(QuorvaneSeriesDates)>("QuorvaneSeriesDates");
  return dates(pattern, start, allDay, limit);
}

}  // namespace host
