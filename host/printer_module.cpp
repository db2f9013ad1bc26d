#include "host/printer_module.h"

#include "host/program_library.h"
#include "platform/com/com_error.h"
#include "platform/printer/qt/qt_printers.h"

namespace host {

PrinterModule::~PrinterModule() = default;

printer::Printers& PrinterModule::Loaded() {
  if (!printers_) {
    std::string why;
    auto create = reinterpret_cast<decltype(&QuorvaneCreateQtPrinters)>(
        ProgramLibraryEntry("libQuorvaneQtPrinter.so", "QuorvaneCreateQtPrinters", why));
    if (!create) com::Raise(com::kErrCannotCreateObject, "The printers cannot be used: " + why);
    printers_.reset(create(pdfFolder_.c_str()));
  }
  return *printers_;
}

int PrinterModule::Count() { return Loaded().Count(); }
printer::Printer& PrinterModule::Item(int index) { return Loaded().Item(index); }
printer::Printer& PrinterModule::Current() { return Loaded().Current(); }
void PrinterModule::SetCurrent(int index) { Loaded().SetCurrent(index); }
void PrinterModule::SetPdfOutput(const std::string& path) { Loaded().SetPdfOutput(path); }

bool PrinterModule::Found() const { return printers_ && printers_->Found(); }

}  // namespace host
