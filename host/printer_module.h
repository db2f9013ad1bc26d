#pragma once
// The real printers, loaded from their library the first time a command prints. The printing
// toolkit is large: a command that does not print starts without it, in a fraction of the time
// and memory.
#include <memory>
#include <string>

#include "platform/printer/printer.h"

namespace host {

class PrinterModule : public printer::Printers {
 public:
  explicit PrinterModule(std::string pdfFolder) : pdfFolder_(std::move(pdfFolder)) {}
  ~PrinterModule() override;

  int Count() override;
  printer::Printer& Item(int index) override;
  printer::Printer& Current() override;
  void SetCurrent(int index) override;
  void SetPdfOutput(const std::string& path) override;
  bool Found() const override;  // false until a command prints

 private:
  // Raises "cannot create object" naming the library when it cannot be loaded.
  printer::Printers& Loaded();
  std::string pdfFolder_;
  std::unique_ptr<printer::Printers> printers_;
};

}  // namespace host
