#pragma once
// The real printers, on Qt: the system's CUPS destinations by name, and "Quorvane PDF", which
// writes the page to a PDF file so that printing works on a machine without printers. One
// twip on the page is one logical unit of the drawing.
#include <functional>
#include <memory>
#include <string>

#include "platform/printer/printer.h"

namespace printer {

extern const char* const kPdfPrinterName;  // "Quorvane PDF"

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

  // The file the PDF printer writes its next document to (empty: a new file in the folder,
  // named after the date and time).
  void SetPdfOutput(const std::string& path);
  // Whether the printers were asked for yet (finding them asks the system).
  bool Found() const;

 private:
  void Load();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// path itself when no file is there, else the first of "name (2).pdf", "name (3).pdf", ...
// that is free: a page printed earlier is never written over unasked.
std::string UnusedFileName(const std::string& path);

// Starts Qt's GUI part once for the process (offscreen when there is no display): fonts and
// printing need it.
void EnsureGuiApplication();

}  // namespace printer
