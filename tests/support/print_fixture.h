#pragma once
// The Print Calendar dialog over the scratch stores, printing on a recording printer. The
// global calendar is "Public Folders|All Public Folders|Team", the local one
// "Mailbox - Ann|Calendar"; today is Tuesday 10 March 2026.
#include <memory>
#include <optional>

#include "platform/printer/recording_printer.h"
#include "platform/win32/file_registry.h"
#include "print/print_cal_form.h"
#include "tests/support/store_fixture.h"

namespace testing_support {

class PrintFixture : public StoreFixture {
 protected:
  PrintFixture();

  static constexpr const char* kGlobalPath = "Public Folders|All Public Folders|Team";
  static constexpr const char* kLocalPath = "Mailbox - Ann|Calendar";

  // A loaded dialog, as the toolbar's print command opens it.
  std::shared_ptr<quorvane::PrintCalForm> OpenDialog();
  // Opens the dialog, picks the range and presses OK. days: "30", "60" or "90" (picked first,
  // so an explicit end date wins).
  void PrintRange(const std::string& start, const std::optional<std::string>& end = std::nullopt,
                  const std::string& days = "60", const std::string& calendar = kLocalPath);

  com::Ref<outlook::AppointmentItem> Add(const std::string& subject, const std::string& location, com::Date start,
                                         int minutes = 60);
  // A series with one weekday (mask 0: none), daily (type 0), weekly (1) or monthly (2).
  com::Ref<outlook::AppointmentItem> AddSeries(const std::string& subject, com::Date start, int type, int mask = 0,
                                               std::optional<com::Date> patternEnd = std::nullopt);

  // Where a text was printed, as "(x, y)"; "" when it was not printed.
  std::string PrintedAt(const std::string& text) const;
  // Every printed text that begins with prefix, in order.
  std::vector<std::string> PrintedStartingWith(const std::string& prefix) const;
  std::vector<std::string> BoxTexts() const;
  const std::vector<std::string>& Ops() const { return printer->operations; }

  win32::ScriptedUi ui;
  win32::FileRegistry registry;
  win32::Environment env;
  printer::PrinterList printers;
  printer::RecordingPrinter* printer;  // the default one
  printer::RecordingPrinter* other;
  std::shared_ptr<quorvane::PrintCalForm> dialog;
};

// Compares text with the golden file tests/fixtures/NAME; QUORVANE_UPDATE_GOLDEN=1 rewrites it.
void ExpectGolden(const std::string& name, const std::string& text);
std::string Joined(const std::vector<std::string>& lines);

}  // namespace testing_support
