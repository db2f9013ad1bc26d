#include "platform/printer/recording_printer.h"

#include "platform/com/com_error.h"

namespace printer {

namespace {
size_t Characters(const std::string& utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}
}  // namespace

double RecordingPrinter::TextWidth(const std::string& text) const {
  const StdFont f = Font();
  return static_cast<double>(Characters(text)) * f.Size * 10 * (f.Bold ? 1.2 : 1.0);
}

double RecordingPrinter::TextHeight(const std::string&) const { return Font().Size * 23; }

std::string RecordingPrinter::Send(const Job& job) {
  if (refuse) com::Raise(kErrPrinter, "Printer error");
  jobs.push_back(job);
  return DeviceName() + " document " + std::to_string(jobs.size());
}

}  // namespace printer
