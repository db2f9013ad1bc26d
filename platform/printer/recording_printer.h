#pragma once
// A printer for tests: fixed font metrics and a record of every setting and drawing in order,
// so a test reads "Box (50, 50)-(15070, 373)" directly.
//
// Metrics: a text is Size x 10 twips wide per character (x 1.2 in bold) and Size x 23 twips
// high whatever it holds. The printable area is 8 by 10.5 inches in portrait (11520 by 15120
// twips), as on a letter sheet with quarter-inch margins. The font at the start is Arial 8.
#include <string>
#include <vector>

#include "platform/printer/page_printer.h"

namespace printer {

class RecordingPrinter : public PagePrinter {
 public:
  explicit RecordingPrinter(std::string deviceName = "Recording Printer")
      : PagePrinter(std::move(deviceName), 11520, 15120) {}

  double TextWidth(const std::string& text) const override;
  double TextHeight(const std::string& text) const override;

  std::vector<std::string> operations;  // "Font Arial 14 bold", "Print (100, 90) text", "EndDoc"
  std::vector<Job> jobs;  // every document sent
  bool refuse = false;  // EndDoc fails as a device that is gone would

 protected:
  std::string Send(const Job& job) override;
  void Note(const std::string& operation) override { operations.push_back(operation); }
};

}  // namespace printer
