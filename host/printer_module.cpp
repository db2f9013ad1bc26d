#include "host/printer_module.h"

#include <dlfcn.h>

#include "host/session.h"
#include "platform/com/com_error.h"
#include "platform/printer/qt/qt_printers.h"

namespace host {

PrinterModule::~PrinterModule() = default;

printer::Printers& PrinterModule::Loaded() {
  if (!printers_) {
    const std::string path = ProgramDirectory() + "/libQuorvaneQtPrinter.so";
    // Never unloaded: the toolkit keeps state for the rest of the process.
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    const char* why = library ? nullptr : dlerror();
    auto create = library ? reinterpret_cast<decltype(&QuorvaneCreateQtPrinters)>(
                                dlsym(library, "QuorvaneCreateQtPrinters"))
                          : nullptr;
    if (!create) {
      com::Raise(com::kErrCannotCreateObject, "The printers cannot be used: " + std::string(why ? why : path));
    }
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
