#pragma once
// The PDF printer's name and how it names its files: the host shows and checks them without
// loading the printing toolkit.
#include <string>

namespace printer {

extern const char* const kPdfPrinterName;  // "Quorvane PDF"

// path itself when no file is there, else the first of "name (2).pdf", "name (3).pdf", ...
// that is free: a page printed earlier is never written over unasked.
std::string UnusedFileName(const std::string& path);

}  // namespace printer
