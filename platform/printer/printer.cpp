#include "platform/printer/printer.h"

#include "platform/com/com_error.h"

namespace printer {

Printer::~Printer() = default;
Printers::~Printers() = default;

void PrinterList::Add(std::unique_ptr<Printer> printer, bool isDefault) {
  printers_.push_back(std::move(printer));
  if (isDefault) current_ = Count() - 1;
}

Printer& PrinterList::Item(int index) {
  if (index < 0 || index >= Count()) com::Raise(com::kErrSubscriptOutOfRange);
  return *printers_[index];
}

Printer& PrinterList::Current() {
  if (printers_.empty()) com::Raise(484, "Problem getting printer information from the system");
  return *printers_[current_];
}

void PrinterList::SetCurrent(int index) {
  Item(index);
  current_ = index;
}

namespace {
Printers* g_printers = nullptr;
}

Printers& ThePrinters() {
  if (!g_printers) com::Raise(com::kErrObjectNotSet);
  return *g_printers;
}

void SetPrinters(Printers* printers) { g_printers = printers; }

}  // namespace printer
