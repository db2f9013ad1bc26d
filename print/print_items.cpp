// The appointments of the range: selected, sorted, counted per day and placed on the page.
#include "platform/com/com_error.h"
#include "platform/outlook/items.h"
#include "platform/outlook/outlook_enums.h"
#include "platform/win32/locale.h"
#include "print/occurrences.h"
#include "print/print_cal_form.h"

namespace quorvane {

void PrintCalForm::fnPrintItems(const Folder& folder, com::Date startDate, com::Date endDate, int16_t rows,
                                const std::string& calendarName, const std::string& dateRange) {
  if (folder.IsNothing()) return;
  fnPrintFrame(dateRange, startDate, endDate, rows, calendarName);
  iDayCount.fill(0);
  iHiddenLines.fill(0);

  com::ErrObject err;
  const win32::Locale& locale = win32::Locale::Current();
  com::Ref<outlook::Items> items;
  // A calendar that cannot be read leaves an empty grid, which must not pass for an empty range.
  const bool selected =
      err.Try([&] {
        items = folder->Items()->Restrict("[End] < \"" + locale.Format(endDate, "Short Date") +
                                          "\" Or [Recurrence] <> \"(none)\"");
      }) &&
      err.Try([&] {
        items = items->Restrict("[End] > \"" + locale.Format(startDate, "Short Date") +
                                "\" Or [Recurrence] <> \"(none)\"");
      });
  if (!selected) {
    StopMessage(err);
    PrintHiddenLineCounts();
    return;
  }
  err.Try([&] { items->Sort("[Start]"); });

  std::string previousId;
  int sameIdCount = 0;
  Appt item;
  bool more = err.Try([&] { item = items->GetFirst(); });
  while (more && !item.IsNothing()) {
    if (folder.IsNothing()) break;
    std::string id;
    err.Try([&] { id = item->EntryID(); });
    bool skip = false;
    if (id == previousId) {
      if (++sameIdCount > 2) {
        bJobFailed = true;
        MsgBox("Error Detected processing Calendar Item.\r\nSame EntryId Returned Multiple Times\r\nEntryID = [" + id +
               "]");
        break;
      }
      skip = true;
    } else {
      previousId = id;
      sameIdCount = 0;
    }
    int sensitivity = outlook::olPrivate;
    // Only what is known to be normal is printed: an unreadable sensitivity counts as private.
    if (!skip && (!err.Try([&] { sensitivity = item->Sensitivity(); }) || sensitivity != outlook::olNormal)) {
      skip = true;
    }
    if (!skip) {
      int state = -1;
      err.Try([&] { state = item->RecurrenceState(); });
      if (state == 0) {
        com::Date start;
        if (err.Try([&] { start = item->Start(); })) CountAndPrint(item, DayBoundaries(startDate, start), err);
      } else if (state >= 1 && state <= 3) {
        PrintOccurrences(item, startDate, endDate, err);
      }
      if (err.Pending()) {
        StopMessage(err);
        break;
      }
    }
    env_.loop.DoEvents();
    more = err.Try([&] { item = items->GetNext(); });
  }
  // An enumeration that failed leaves the rest of the calendar off the page.
  if (!more) StopMessage(err);
  PrintHiddenLineCounts();
}

void PrintCalForm::CountAndPrint(const Appt& appt, int dayOffset, com::ErrObject& err) {
  // A day outside the page's counters has no line number: nothing is drawn for it, and the
  // failure stops the job.
  if (dayOffset < 0 || dayOffset > kMaxDayOffset) {
    err.Set(com::kErrSubscriptOutOfRange, com::StandardDescription(com::kErrSubscriptOutOfRange));
    return;
  }
  const int16_t ordinal = ++iDayCount[dayOffset];
  err.Try([&] { fnPrintAppointment(appt, ordinal, static_cast<int16_t>(dayOffset)); });
}

void PrintCalForm::PrintOccurrences(const Appt& appt, com::Date startDate, com::Date endDate, com::ErrObject& err) {
  PatternFacts facts;
  const bool read = err.Try([&] {
    auto pattern = appt->GetRecurrencePattern();
    facts.type = pattern->RecurrenceType();
    facts.interval = pattern->Interval();
    facts.dayOfWeekMask = pattern->DayOfWeekMask();
    facts.dayOfMonth = pattern->DayOfMonth();
    facts.monthOfYear = pattern->MonthOfYear();
    facts.patternStart = pattern->PatternStartDate();
    facts.noEndDate = pattern->NoEndDate();
    if (!facts.noEndDate) facts.patternEnd = pattern->PatternEndDate();
  });
  if (!read) return;
  if (!facts.noEndDate && facts.patternEnd.DateOnly() < startDate.DateOnly()) return;
  for (com::Date day : OccurrenceDays(facts, startDate, endDate)) {
    CountAndPrint(appt, DayBoundaries(startDate, day), err);
  }
}

}  // namespace quorvane
