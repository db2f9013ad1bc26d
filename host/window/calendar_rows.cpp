#include "host/window/calendar_rows.h"

#include "platform/com/com_error.h"
#include "platform/outlook/items.h"

namespace window {
namespace {

// Enough occurrences for a daily series begun fifty years before the week shown.
constexpr size_t kMaxOccurrences = 20000;

}  // namespace

std::vector<ApptRow> RowsBetween(const std::vector<ApptRow>& rows, com::Date from, com::Date to) {
  std::vector<ApptRow> out;
  for (const ApptRow& r : rows) {
    if (!r.pattern) {
      if (r.start < to && (from < r.end || (r.start == r.end && from <= r.start))) out.push_back(r);
      continue;
    }
    const int64_t length = r.end.UnixMillis() - r.start.UnixMillis();
    // The series cut at the end of what is shown: the same occurrences up to there, and none
    // computed past it.
    ical::Pattern upTo = *r.pattern;
    if (upTo.noEndDate || to < upTo.patternEnd) upTo.patternEnd = to;
    upTo.noEndDate = false;
    upTo.occurrences = 0;
    for (com::Date start : ical::Occurrences(upTo, r.start, r.allDay, kMaxOccurrences)) {
      if (!(start < to)) break;
      ApptRow one = r;
      one.start = start;
      one.end = com::Date::FromUnixMillis(start.UnixMillis() + length);
      bool deleted = false;
      for (const auto& change : r.changes) {
        if (change.originalDate.DateOnly() != start.DateOnly()) continue;
        deleted = change.deleted;
        one.start = change.start;
        one.end = change.end;
        if (!change.subject.empty()) one.subject = change.subject;
        if (!change.location.empty()) one.location = change.location;
      }
      if (!deleted && one.start < to && from < one.end) out.push_back(std::move(one));
    }
  }
  return out;
}

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
      if (r.recurring) {
        auto series = item->GetRecurrencePattern();
        r.pattern = ical::ReadPattern(*series);
        r.changes = ical::ReadChanges(*series);
      }
      rows.push_back(std::move(r));
    }
  } catch (const com::ComError&) {
    // An offline store shows nothing more; the status bar's log line says why.
  }
  return rows;
}

}  // namespace window
