#pragma once
// The appointments of a folder as plain rows for the views, read once per refresh so that
// painting never touches the store.
#include <string>
#include <vector>

#include "platform/com/date.h"
#include "platform/outlook/folder.h"

namespace window {

struct ApptRow {
  std::string entryId, subject, location, categories;
  com::Date start, end;
  bool allDay = false;
  bool recurring = false;
};

// In order of start; a folder that cannot be read gives what was read before the failure.
std::vector<ApptRow> ReadRows(outlook::MAPIFolder& folder);

}  // namespace window
