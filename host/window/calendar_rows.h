#pragma once
// The appointments of a folder as plain rows for the views, read once per refresh so that
// painting never touches the store.
#include <optional>
#include <string>
#include <vector>

#include "platform/ical/ical_recurrence.h"
#include "platform/com/date.h"
#include "platform/outlook/appointment_item.h"
#include "platform/outlook/folder.h"

namespace window {

struct ApptRow {
  std::string entryId, subject, location, categories;
  com::Date start, end;
  bool allDay = false;
  bool recurring = false;
  std::optional<ical::Pattern> pattern;              // a series: its pattern
  std::vector<outlook::OccurrenceChange> changes;  // and its deleted or changed occurrences
};

// In order of start; a folder that cannot be read gives what was read before the failure.
std::vector<ApptRow> ReadRows(outlook::MAPIFolder& folder);
// What falls between from and to: a series as one row per occurrence there, a changed
// occurrence as changed, a deleted one left out.
std::vector<ApptRow> RowsBetween(const std::vector<ApptRow>& rows, com::Date from, com::Date to);

}  // namespace window
