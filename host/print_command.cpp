// quorvane print: fills the add-in's Print Calendar dialog from the command line and presses OK.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "host/commands.h"
#include "host/usage_error.h"
#include "platform/com/date.h"
#include "platform/printer/pdf_output.h"

namespace host {

namespace {

const char* const kUsage =
    "print [--printer NAME] [--calendar NAME] [--days 30|60|90] [--from YYYY-MM-DD] [--to YYYY-MM-DD] "
    "[--copies N] [--output FILE.pdf]";

struct PrintOptions {
  std::string printer, calendar, days, from, to, copies, output;
};

com::Date IsoDate(const std::string& what, const std::string& text) {
  int y = 0, m = 0, d = 0;
  char tail = 0;
  if (text.size() == 10 && std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) == 3 && y >= 1900 && m >= 1 &&
      m <= 12 && d >= 1) {
    const com::Date date = com::Date::FromParts(y, m, d);
    if (date.Parts().day == d) return date;
  }
  throw UsageError(what + " takes a date as YYYY-MM-DD, not '" + text + "'");
}

PrintOptions Parse(const Words& args) {
  PrintOptions o;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string* target = args[i] == "--printer"    ? &o.printer
                          : args[i] == "--calendar" ? &o.calendar
                          : args[i] == "--days"     ? &o.days
                          : args[i] == "--from"     ? &o.from
                          : args[i] == "--to"       ? &o.to
                          : args[i] == "--copies"   ? &o.copies
                          : args[i] == "--output"   ? &o.output
                                                    : nullptr;
    if (!target || i + 1 >= args.size()) throw UsageError(kUsage);
    *target = args[++i];
  }
  if (!o.days.empty() && o.days != "30" && o.days != "60" && o.days != "90") {
    throw UsageError("--days takes 30, 60 or 90, not '" + o.days + "'");
  }
  if (!o.copies.empty()) WholeNumber("--copies", o.copies, 1, 99);
  if (!o.from.empty()) IsoDate("--from", o.from);
  if (!o.to.empty()) {
    const com::Date to = IsoDate("--to", o.to);
    if (!o.from.empty()) {
      const com::Date from = IsoDate("--from", o.from);
      if (to < from) throw UsageError("--to " + o.to + " lies before --from " + o.from);
      if (to > from.AddDays(90))
        throw UsageError("one page holds at most 91 days: --to may be at most 90 days after --from");
    }
  }
  return o;
}

// Quoted, on the error's one line: a printer's name may hold blanks and commas.
std::string Listed(const std::vector<std::string>& items) {
  std::string out;
  for (const auto& i : items) out += (out.empty() ? " '" : ", '") + i + "'";
  return out;
}

void Choose(forms::Form& dialog, const std::string& combo, const std::string& value, const std::string& what) {
  if (value.empty()) return;
  const auto& items = dialog[combo].items;
  if (std::find(items.begin(), items.end(), value) == items.end()) {
    throw UsageError("no " + what + " '" + value + "'; the dialog lists:" + Listed(items));
  }
  dialog.Type(combo, value);
}

std::string SafeFileName(std::string name) {
  for (char& c : name) {
    if (c == '/' || c == '|' || c == '\\' || c == ':') c = '-';
  }
  return name;
}

}  // namespace

int CmdPrint(const Words& args, const GlobalOptions& global) {
  const PrintOptions o = Parse(args);
  Session session(RequireProfile(global), global.session, Access::Write);
  session.ui().HoldShownForms();  // this command fills the dialog, not --do or a person
  if (!session.ConnectAddIn()) return 1;
  session.StartAddIn();
  com::CallMethod(session.AddIn(), "oPrintCalendarBHandler_Click");
  std::shared_ptr<forms::Form> dialog;
  for (const auto& f : session.ui().OpenForms()) {
    if (f->name() == "dlgPrintCal") dialog = f;
  }
  if (!dialog) throw UsageError("choose both calendars first (set-calendar global|local PATH)");

  // In the order a person would: printer and calendar, then the dates, the end following the
  // days per page unless it is given.
  Choose(*dialog, "Combo1", o.printer, "printer");
  Choose(*dialog, "Combo3", o.calendar, "calendar");
  if (!o.from.empty()) dialog->Select("Calendar1", o.from);
  dialog->Select("Combo2", o.days.empty() ? (*dialog)["Combo2"].caption : o.days);
  if (!o.to.empty()) dialog->Select("Calendar2", o.to);
  if (!o.copies.empty()) dialog->Type("Text1", o.copies);

  const bool toPdf = (*dialog)["Combo1"].caption == printer::kPdfPrinterName;
  if (!o.output.empty() && !toPdf)
    throw UsageError("--output names the file of the printer '" + std::string(printer::kPdfPrinterName) + "'");
  if (toPdf) {
    std::string path = o.output;
    if (path.empty()) {
      const std::string calendar = (*dialog)["Combo3"].caption;
      const std::string leaf = calendar.substr(calendar.rfind('|') == std::string::npos ? 0 : calendar.rfind('|') + 1);
      path = printer::UnusedFileName(session.profile().dir() + "/Printed/" + SafeFileName(leaf) + " " +
                                     (*dialog)["Calendar1"].caption + ".pdf");
    }
    session.printers().SetPdfOutput(std::filesystem::absolute(path).string());
  }

  const std::string before = session.printers().Current().LastDocument();
  const size_t boxesBefore = session.ui().boxesShown();
  dialog->Click("OKButton");
  const bool refused = dialog->loaded();
  printer::Printer& used = session.printers().Current();
  const std::string where = used.LastDocument();
  const bool problems = session.ui().boxesShown() != boxesBefore;
  session.Close();
  if (refused) return 1;
  if (where.empty() || where == before) {
    std::cerr << "quorvane: nothing was printed\n";
    return 1;
  }
  std::cout << "Printed " << (*dialog)["Combo3"].caption << " from " << (*dialog)["Calendar1"].caption << " to "
            << (*dialog)["Calendar2"].caption << " on " << used.DeviceName() << ": " << where << "\n";
  if (problems) {
    std::cerr << "quorvane: the page is incomplete: the job stopped (see the message above)\n";
    return 1;
  }
  return 0;
}

}  // namespace host
