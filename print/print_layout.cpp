// The printed page: the frame with its week grid, and one line per appointment in its day's cell.
#include <algorithm>
#include <cmath>

#include "platform/com/com_error.h"
#include "platform/com/text.h"
#include "platform/outlook/appointment_item.h"
#include "platform/win32/locale.h"
#include "print/print_cal_form.h"
#include "print/print_text.h"

namespace quorvane {

int16_t CInt(double v) { return static_cast<int16_t>(std::nearbyint(v)); }

namespace {
constexpr const char* kWeekdayNames[] = {"MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY", "SUNDAY"};
}  // namespace

double PrintCalForm::ColumnLeft(int k) const { return k == 1 ? iLeftX : iColRight[k - 1]; }

double PrintCalForm::ColumnRight(int k) const { return k == 7 ? iRightX : iColRight[k]; }

void PrintCalForm::fnPrintFrame(const std::string& dateRange, com::Date startDate, com::Date endDate, int16_t rows,
                                const std::string& calendarName) {
  com::ErrObject err;
  auto& loop = env_.loop;
  printer::Printer* p = nullptr;
  if (!err.Try([&] { p = &Printer(); })) return;
  double lineHeight = 0;
  err.Try([&] { lineHeight = p->TextHeight("Monday") + 5; });
  sngLineHeight = lineHeight;
  iGridRows = GridRowsFor(startDate, endDate, rows);
  err.Try([&] { iRowHeight = CInt(((p->ScaleHeight() - 100) - 3 * lineHeight) / iGridRows); });
  iColWidth = CInt(iRightX / 7.0);
  iColRight[1] = static_cast<int16_t>(iLeftX + iColWidth);
  for (int k = 2; k <= 7; ++k) iColRight[k] = static_cast<int16_t>(iColRight[k - 1] + iColWidth + 50);
  iHalfCol = CInt(iColRight[1] / 2.0);

  err.Try([&] { p->Box(iLeftX, 50, iRightX, 2 * lineHeight - 5); });
  if (!fntHeader) fntHeader = printer::StdFont{"Arial", 14, true};
  err.Try([&] { p->SetFont(*fntHeader); });

  const win32::Locale& locale = win32::Locale::Current();
  const com::Date now = env_.clock.Now();
  const std::string header =
      std::string(calendarName == oprefLocalCalendar ? "Local Calendar: " : "Global Calendar: ") + calendarName +
      "     Printed: " + locale.Format(now, "Short Date") + " " + locale.Format(now, "Short Time");
  err.Try([&] {
    p->CurrentX = 100;
    p->CurrentY = lineHeight - p->TextHeight(header) / 2;
    p->Print(header);
  });
  err.Try([&] {
    p->CurrentX = iRightX - p->TextWidth(dateRange) - 50;
    p->CurrentY = lineHeight - p->TextHeight(dateRange) / 2;
    p->Print(dateRange);
  });
  loop.DoEvents();
  err.Try([&] { p->SetFont(fntSaved); });

  for (int k = 1; k <= 7; ++k) {
    err.Try([&] { p->Box(ColumnLeft(k), 2 * lineHeight + 5, ColumnRight(k), 3 * lineHeight - 5); });
  }
  for (int k = 1; k <= 7; ++k) {
    err.Try([&] {
      const std::string name = kWeekdayNames[k - 1];
      const double center = k == 1 ? iHalfCol : iColRight[k] - iHalfCol;
      p->CurrentX = center - p->TextWidth(name) / 2;
      p->CurrentY = 2 * lineHeight;
      p->Print(name);
    });
  }
  iHeaderLines = 3;

  double boxWidth = 0, boxHeight = 0;
  err.Try([&] {
    boxWidth = p->TextWidth("00") + 50;
    boxHeight = p->TextHeight("00") + 50;
  });
  loop.DoEvents();
  const double base = 3 * lineHeight;
  for (int r = 0; r < iGridRows; ++r) {
    loop.DoEvents();
    const double top = base + static_cast<double>(iRowHeight) * r - 10;
    for (int k = 1; k <= 7; ++k) {
      err.Try([&] { p->Box(ColumnLeft(k), top, ColumnRight(k), top + iRowHeight); });
    }
    for (int c = 1; c <= 7; ++c) {
      float* box = sngNumBox[r][c];
      box[1] = static_cast<float>(ColumnLeft(c));
      box[2] = static_cast<float>(base + static_cast<double>(iRowHeight) * r - 5);
      box[3] = static_cast<float>(ColumnLeft(c) + boxWidth);
      box[4] = static_cast<float>(std::min<double>(top + boxHeight, iBottomY));
      err.Try([&] { p->Box(box[1], box[2], box[3], box[4]); });
    }
  }

  // Day numbers, and the month and year beside the first day shown and every month's first.
  int n = 0, lastMonth = 0;
  for (int r = 0; r < iGridRows; ++r) {
    for (int c = 1; c <= 7; ++c) {
      ++n;
      if (n < iStartWeekday) continue;
      const com::Date day = startDate.AddDays(n - iStartWeekday);
      if (day.DateOnly() > endDate.DateOnly()) goto numbered;
      const float* box = sngNumBox[r][c];
      err.Try([&] {
        p->CurrentX = box[1] + 25;
        p->CurrentY = box[2] + 25;
        p->Print(win32::Locale::FormatNumber(day.Parts().day, "00"));
      });
      if (day.Parts().month != lastMonth) {
        err.Try([&] {
          p->CurrentX = box[1] + 25 + 500;
          p->CurrentY = box[2] + 25;
          p->Print(fnMonthNameOfDate(day) + " " + std::to_string(day.Parts().year));
        });
        lastMonth = day.Parts().month;
      }
    }
  }
numbered:
  loop.DoEvents();
}

void PrintCalForm::fnPrintAppointment(const Appt& appt, int16_t ordinal, int16_t dayOffset) {
  (void)ordinal;  // the counter of the day already holds it
  if (dayOffset < 0) return;
  if (dayOffset > kMaxDayOffset) com::Raise(com::kErrSubscriptOutOfRange);
  const int cell = iStartWeekday - 1 + dayOffset;
  const int weekRow = cell / 7;
  // A day without a cell on the page gets no line at all rather than one in another day's.
  if (weekRow >= iGridRows) com::Raise(com::kErrSubscriptOutOfRange);
  const int lineNumber = iHeaderLines + iDayCount[dayOffset];
  // The day's own column: the line stands under the date it belongs to, for a series too.
  const int column = cell % 7 + 1;

  com::ErrObject err;
  printer::Printer* p = nullptr;
  if (!err.Try([&] { p = &Printer(); })) return;
  std::string subject, location, categories;
  com::Date start;
  bool allDay = false;
  err.Try([&] { subject = appt->Subject(); });
  err.Try([&] { location = appt->Location(); });
  err.Try([&] { start = appt->Start(); });
  err.Try([&] { allDay = appt->AllDayEvent(); });
  err.Try([&] { categories = appt->GetField(outlook::ApptField::Categories).ToString(); });

  const std::string full = subject + " (" + location + ")";
  const double a = ColumnLeft(column) + 25, b = ColumnRight(column) - 25;
  std::string fitted = full;
  err.Try([&] { fitted = FitToWidth(full, b - a, [&](const std::string& s) { return p->TextWidth(s); }); });
  const size_t length = CharCount(fitted);
  std::string line = fitted;
  if (!allDay && categories.find("Holiday") == std::string::npos && length >= 9) {
    const std::string time = "  " + win32::Locale::Current().Format(start, "hh:mm AMPM");
    size_t keep = length - 9;
    line = LeftChars(full, keep) + time;
    // The time is wider than the nine characters it replaces: the text gives way further, so
    // that no line reaches into the next day's cell.
    err.Try([&] {
      while (keep > 0 && p->TextWidth(line) > b - a) line = LeftChars(full, --keep) + time;
    });
  }
  err.Try([&] {
    const double lineHeight = p->TextHeight(line) + 5;
    const double y = lineNumber * lineHeight + static_cast<double>(iRowHeight) * weekRow - 10;
    if (y + p->TextHeight(line) > CellBottom(weekRow)) {
      ++iHiddenLines[dayOffset];
      return;
    }
    p->CurrentX = ColumnLeft(column) + 50;
    p->CurrentY = y;
    p->Print(line);
  });
  env_.loop.DoEvents();
}

double PrintCalForm::CellBottom(int weekRow) const {
  return 3 * sngLineHeight + static_cast<double>(iRowHeight) * (weekRow + 1) - 10;
}

void PrintCalForm::PrintHiddenLineCounts() {
  com::ErrObject err;
  for (int offset = 0; offset <= kMaxDayOffset; ++offset) {
    if (iHiddenLines[offset] == 0) continue;
    const int cell = iStartWeekday - 1 + offset;
    const float* box = sngNumBox[cell / 7][cell % 7 + 1];
    const std::string text = "+" + std::to_string(iHiddenLines[offset]) + " more";
    err.Try([&] {
      printer::Printer& p = Printer();
      p.CurrentX = ColumnRight(cell % 7 + 1) - 25 - p.TextWidth(text);
      p.CurrentY = box[2] + 25;
      p.Print(text);
    });
  }
}

int16_t PrintCalForm::GridRowsFor(com::Date startDate, com::Date endDate, int16_t rows) const {
  const int days = DayBoundaries(startDate, endDate);
  const int needed = days < 0 ? 1 : (iStartWeekday - 1 + days) / 7 + 1;
  return static_cast<int16_t>(std::clamp(std::max<int>(rows, needed), 1, 16));
}

}  // namespace quorvane
