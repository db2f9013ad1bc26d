#pragma once
// The real printers, on Qt: the system's CUPS destinations by name, and "Quorvane PDF", which
// writes the page to a PDF file so that printing works on a machine without printers. One
// twip on the page is one logical unit of the drawing.
#include <functional>
#include <memory>
#include <string>

#include "platform/printer/pdf_output.h"
#include "platform/printer/printer.h"

namespace printer {

class QtPrinters : public Printers {
 public:
  // pdfFolder: where the PDF printer writes when no file was named for the next document.
  explicit QtPrinters(std::string pdfFolder);
  ~QtPrinters() override;

  int Count() override;
  Printer& Item(int index) override;
  // The system's default printer, else the PDF printer.
  Printer& Current() override;
  void SetCurrent(int index) override;

  // Empty: a new file in the folder, named after the date and time.
  void SetPdfOutput(const std::string& path) override;
  bool Found() const override;

 private:
  void Load();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Starts Qt's GUI part once for the process (offscreen when there is no display): fonts and
// printing need it.
void EnsureGuiApplication();

}  // namespace printer

// What a program that loads this library at run time calls for the printers (a QtPrinters).
extern "C" printer::Printers* QuorvaneCreateQtPrinters(const char* pdfFolder);
