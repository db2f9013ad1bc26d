#include "host/window/calendar_rows.h"

#include "platform/com/com_error.h"
#include "platform/outlook/items.h"

namespace window {

std::vector<ApptRow> ReadRows(outlook::MAPIFolder& folder) {
  std::vector<ApptRow> rows;
  try {
    auto items = folder.Items();
    items->Sort("[Start]");
    for (auto item = items->GetFirst(); item; item = items->GetNext()) {
      ApptRow r;
      r.entryId = item->EntryID();
      r.subject = item->Subject();
      r.location = item->Location();
      r.categories = item->GetField(outlook::ApptField::Categories).ToString();
      r.start = item->Start();
      r.end = item->End();
      r.allDay = item->AllDayEvent();
      r.recurring = item->IsRecurring();
      rows.push_back(std::move(r));
    }
  } catch (const com::ComError&) {
    // An offline store shows nothing more; the status bar's log line says why.
  }
  return rows;
}

}  // namespace window
