// The Print Calendar dialog: its controls, Load, the days-per-page change, Cancel and OK.
#include "print/print_cal_form.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/com/com_error.h"
#include "platform/win32/locale.h"

namespace quorvane {

extern const char* const kAppTitle;

namespace {
std::string IsoDate(com::Date d) {
  const com::DateParts p = d.Parts();
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
  return buf;
}

// The month calendar's selected day, composed from its year, month and day.
com::Date CalendarDate(const forms::Control& c) {
  int y = 0, m = 0, d = 0;
  if (std::sscanf(c.caption.c_str(), "%d-%d-%d", &y, &m, &d) != 3) com::Raise(380, "Invalid property value");
  return com::Date::FromParts(y, m, d);
}

int16_t RowsFor(int daysPerPage) { return daysPerPage == 30 ? 5 : daysPerPage == 60 ? 10 : daysPerPage == 90 ? 15 : 0; }
}  // namespace

int DayBoundaries(com::Date from, com::Date to) {
  return static_cast<int>(std::lround(to.DateOnly().serial() - from.DateOnly().serial()));
}

PrintCalForm::PrintCalForm(win32::Environment& env, printer::Printers& printers)
    : Form("dlgPrintCal", "Print Calendar"), env_(env), printers_(printers) {
  using forms::Twips;
  SetClientSize(8415, 6315);
  Add("Label", "Label1", "Printer:", Twips{1080, 120, 495, 255});
  Add("ComboBox", "Combo1", "", Twips{1680, 120, 5535, 315});
  Add("Label", "Label4", "Calendar to Print:", Twips{240, 600, 1335, 255});
  Add("ComboBox", "Combo3", "", Twips{1680, 600, 5535, 315});
  Add("Label", "Label2", "Days Per Page", Twips{1680, 1320, 1695, 255});
  forms::Control& combo2 = Add("ComboBox", "Combo2", "", Twips{1680, 1560, 1695, 315});
  combo2.editable = false;
  combo2.change = [this] { Combo2_Change(); };
  Add("Label", "Label3", "Number of Copies", Twips{4800, 1320, 1455, 255});
  Add("TextBox", "Text1", "", Twips{5160, 1560, 735, 285});
  Add("Frame", "Frame1", "Print Start Date", Twips{120, 2400, 3975, 2895});
  Add("MonthView", "Calendar1", "", Twips{120, 480, 3735, 2295}, "Frame1");
  Add("Frame", "Frame2", "Print End Date", Twips{4320, 2400, 3975, 2895});
  Add("MonthView", "Calendar2", "", Twips{120, 480, 3735, 2295}, "Frame2");
  forms::Control& ok = Add("CommandButton", "OKButton", "OK", Twips{2760, 5640, 1215, 375});
  ok.click = [this] { OKButton_Click(); };
  ok.isDefault = true;
  forms::Control& cancel = Add("CommandButton", "CancelButton", "Cancel", Twips{4320, 5640, 1215, 375});
  cancel.click = [this] { CancelButton_Click(); };
  cancel.isCancel = true;
  // The dialog's own tab order; the controls it does not name follow after.
  int next = 13;
  for (auto& c : controls()) c.tabIndex = next++;
  for (const auto& [name, index] : {std::pair{"OKButton", 0}, {"CancelButton", 1}, {"Combo1", 2}, {"Combo2", 4},
                                    {"Text1", 6}, {"Combo3", 12}}) {
    (*this)[name].tabIndex = index;
  }
}

int16_t PrintCalForm::fnWeekdayMonFirst(com::Date d) { return static_cast<int16_t>((d.Weekday() + 5) % 7 + 1); }

std::string PrintCalForm::fnMonthName(int n) {
  static const char* const kNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "August",   "September", "October", "November", "December"};
  return n >= 1 && n <= 12 ? kNames[n - 1] : "";
}

std::string PrintCalForm::fnMonthNameOfDate(com::Date d) { return fnMonthName(d.Parts().month); }

void PrintCalForm::OnLoad() {
  com::ErrObject err;
  (*this)["Text1"].caption = "1";
  forms::Control& combo1 = (*this)["Combo1"];
  err.Try([&] {
    const std::string current = printers_.Current().DeviceName();
    for (int i = 0; i < printers_.Count(); ++i) {
      const std::string name = printers_.Item(i).DeviceName();
      combo1.items.push_back(name);
      if (name == current) combo1.caption = name;
    }
  });
  forms::Control& combo2 = (*this)["Combo2"];
  combo2.items = {"30", "60", "90"};
  combo2.caption = "60";
  forms::Control& combo3 = (*this)["Combo3"];
  combo3.items = {oprefGlobalCalendar, oprefLocalCalendar};
  combo3.caption = oprefLocalCalendar;
  const com::Date today = env_.clock.Now().DateOnly();
  (*this)["Calendar1"].caption = IsoDate(today);
  (*this)["Calendar2"].caption = IsoDate(today.AddDays(60));
}

void PrintCalForm::OnUnload() {
  oCalAdmCls.reset();
  oLocalCalendar.Release();
  oGlobalCalendar.Release();
}

void PrintCalForm::Combo2_Change() {
  com::ErrObject err;
  err.Try([&] {
    const int days = std::stoi((*this)["Combo2"].caption);
    (*this)["Calendar2"].caption = IsoDate(CalendarDate((*this)["Calendar1"]).AddDays(days));
  });
}

void PrintCalForm::CancelButton_Click() { Unload(); }

int PrintCalForm::MsgBox(const std::string& text) {
  env_.loop.BeforeUserWait();
  return env_.ui.MessageBox(text, kAppTitle, win32::vbOKOnly);
}

std::string PrintCalForm::Refusal(com::Date startDate, com::Date endDate, const std::string& printerName,
                                  const std::string& calendarName, int& copies) {
  // The page has a cell and a counter for 91 days; a longer range would put days where
  // there is no cell for them.
  const int days = DayBoundaries(startDate, endDate);
  if (days < 0) return "The Print End Date lies before the Print Start Date.";
  if (days > kMaxDayOffset) {
    return "One page holds at most 91 days: choose a Print End Date no later than 90 days after the Print Start "
           "Date.";
  }
  const std::string& text = (*this)["Text1"].caption;
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || n < 1 || n > 99) return "Number of Copies takes a whole number from 1 to 99.";
  copies = static_cast<int>(n);
  // A name typed wrong would otherwise print elsewhere, or print nothing, without a word.
  if (calendarName != oprefLocalCalendar && calendarName != oprefGlobalCalendar) {
    return "Calendar to Print: '" + calendarName + "' is neither of the two calendars listed.";
  }
  const auto& installed = (*this)["Combo1"].items;
  if (std::find(installed.begin(), installed.end(), printerName) == installed.end()) {
    return "Printer: no installed printer is named '" + printerName + "'.";
  }
  return "";
}

void PrintCalForm::OKButton_Click() {
  com::ErrObject err;
  bJobFailed = false;
  com::Date startDate, endDate;
  int16_t rows = 0;
  err.Try([&] { startDate = CalendarDate((*this)["Calendar1"]); });
  err.Try([&] { endDate = CalendarDate((*this)["Calendar2"]); });
  err.Try([&] { rows = RowsFor(std::stoi((*this)["Combo2"].caption)); });
  const std::string calendarName = (*this)["Combo3"].caption;
  const std::string printerName = (*this)["Combo1"].caption;
  int copies = 1;
  // What the job cannot do as asked is refused before anything is printed, and the dialog
  // stays open for the user to put it right.
  const std::string refusal = Refusal(startDate, endDate, printerName, calendarName, copies);
  if (!refusal.empty()) {
    bJobFailed = true;
    MsgBox(refusal + " Nothing was printed.");
    return;
  }

  err.Try([&] {
    for (int i = 0; i < printers_.Count(); ++i) {
      if (printers_.Item(i).DeviceName() == printerName) {
        printers_.SetCurrent(i);
        break;
      }
    }
  });
  int savedOrientation = printer::vbPRORPortrait, savedCopies = 1;
  err.Try([&] { savedOrientation = Printer().Orientation(); });
  err.Try([&] { savedCopies = Printer().Copies(); });
  err.Try([&] { fntSaved = Printer().Font(); });
  err.Try([&] { Printer().SetOrientation(printer::vbPRORLandscape); });
  err.Try([&] { Printer().SetCopies(copies); });
  iLeftX = 50;
  iTopY = 50;
  err.Try([&] { iRightX = CInt(Printer().ScaleWidth() - 50); });
  err.Try([&] { iBottomY = CInt(Printer().ScaleHeight() - 50); });
  iStartWeekday = fnWeekdayMonFirst(startDate);

  Folder folder;
  if (calendarName == oprefLocalCalendar)
    folder = oLocalCalendar;
  else if (calendarName == oprefGlobalCalendar)
    folder = oGlobalCalendar;

  const win32::Locale& locale = win32::Locale::Current();
  const std::string dateRange =
      "From Date: " + locale.Format(startDate, "Short Date") + " To Date: " + locale.Format(endDate, "Short Date");
  fnPrintItems(folder, startDate, endDate, rows, calendarName, dateRange);

  err.Try([&] { Printer().SetOrientation(savedOrientation); });
  err.Try([&] { Printer().SetCopies(savedCopies); });
  com::ErrObject endDoc;
  if (!endDoc.Try([&] { Printer().EndDoc(); })) StopMessage(endDoc);
  Unload();
}

void PrintCalForm::StopMessage(const com::ErrObject& err) {
  bJobFailed = true;
  MsgBox("An Error was encountered, Processing will stop!\r\nError No: (" + std::to_string(err.Number()) +
         ")\r\nError Desc: " + err.Description());
}

}  // namespace quorvane
