#pragma once
// dlgPrintCal, "Print Calendar": prints a range of the global or the local calendar on one
// landscape page. The dialog owns the print job's state between the frame and the lines.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/com/com_object.h"
#include "platform/com/date.h"
#include "platform/com/err_object.h"
#include "platform/com/ref.h"
#include "platform/forms/form.h"
#include "platform/outlook/appointment_item.h"
#include "platform/outlook/folder.h"
#include "platform/printer/printer.h"
#include "platform/win32/environment.h"

namespace quorvane {

class PrintCalForm : public forms::Form {
 public:
  using Folder = com::Ref<outlook::MAPIFolder>;
  using Appt = com::Ref<outlook::AppointmentItem>;

  PrintCalForm(win32::Environment& env, printer::Printers& printers);

  // ---- Set by the opener before the dialog is shown
  com::ObjectPtr oCalAdmCls;
  std::string oprefGlobalCalendar, oprefLocalCalendar;
  Folder oLocalCalendar, oGlobalCalendar;

  // ---- Small helpers
  static int16_t fnWeekdayMonFirst(com::Date d);  // Monday 1 ... Sunday 7
  static std::string fnMonthName(int n);          // "" outside 1 to 12
  static std::string fnMonthNameOfDate(com::Date d);

  // ---- The print job
  void fnPrintItems(const Folder& folder, com::Date startDate, com::Date endDate, int16_t rows,
                    const std::string& calendarName, const std::string& dateRange);
  void fnPrintFrame(const std::string& dateRange, com::Date startDate, com::Date endDate, int16_t rows,
                    const std::string& calendarName);
  void fnPrintAppointment(const Appt& appt, int16_t ordinal, int16_t dayOffset);

  // The print job state, rebuilt by every job.
  int16_t iLeftX = 0, iTopY = 0, iRightX = 0, iBottomY = 0;
  int16_t iStartWeekday = 0;
  int16_t iColWidth = 0;
  std::array<int16_t, 8> iColRight{};  // 1 to 7
  int16_t iHalfCol = 0, iRowHeight = 0, iHeaderLines = 0;
  double sngLineHeight = 0;  // of the frame: "Monday" in the job's grid font, plus 5
  std::array<int16_t, 91> iDayCount{};  // lines placed per day offset 0 to 90
  float sngNumBox[16][8][5] = {};       // [week row][column 1-7][x1 y1 x2 y2 at 1-4]
  std::optional<printer::StdFont> fntHeader;
  printer::StdFont fntSaved;
  // Week rows of the grid: the rows asked for, or as many as the range needs (up to 16), so
  // that every day of the range has its own cell.
  int16_t iGridRows = 0;
  // Lines that found no room in their day's cell, per day offset: the cell says how many.
  std::array<int16_t, 91> iHiddenLines{};

  // The last job was stopped by a failure, or refused before it began.
  bool bJobFailed = false;

 protected:
  void OnLoad() override;
  // Lets go of the add-in and the calendars, which hold the dialog in turn.
  void OnUnload() override;

 private:
  void Combo2_Change();
  void OKButton_Click();
  void CancelButton_Click();
  // Why the job cannot be done as asked (empty: it can): a range longer than the page's
  // cells, copies that are no whole number, a calendar or printer the dialog does not list.
  std::string Refusal(com::Date startDate, com::Date endDate, const std::string& printerName,
                      const std::string& calendarName, int& copies);
  // Places the occurrences of a series that fall into the range; false when a counter failed.
  void PrintOccurrences(const Appt& appt, com::Date startDate, com::Date endDate, com::ErrObject& err);
  void CountAndPrint(const Appt& appt, int dayOffset, com::ErrObject& err);
  void PrintHiddenLineCounts();
  void StopMessage(const com::ErrObject& err);
  int MsgBox(const std::string& text);
  printer::Printer& Printer() { return printers_.Current(); }
  double ColumnLeft(int k) const;   // weekday k, Monday 1
  double ColumnRight(int k) const;
  double CellBottom(int weekRow) const;
  int16_t GridRowsFor(com::Date startDate, com::Date endDate, int16_t rows) const;

  win32::Environment& env_;
  printer::Printers& printers_;
};

// An assignment to a 16-bit integer: to the nearest value, halves to the even neighbour.
int16_t CInt(double v);
// Day boundaries from one date to another (DateDiff "d").
int DayBoundaries(com::Date from, com::Date to);
// The first and last day a range may end on for one page: the start and 90 days later.
constexpr int kMaxDayOffset = 90;

}  // namespace quorvane
