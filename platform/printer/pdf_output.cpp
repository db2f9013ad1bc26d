#include "platform/printer/pdf_output.h"

#include <filesystem>

namespace printer {

const char* const kPdfPrinterName = "Quorvane PDF";

std::string UnusedFileName(const std::string& path) {
  const std::filesystem::path p(path);
  std::error_code ec;
  std::string candidate = path;
  for (int n = 2; std::filesystem::exists(candidate, ec); ++n) {
    candidate =
        (p.parent_path() / (p.stem().string() + " (" + std::to_string(n) + ")" + p.extension().string())).string();
  }
  return candidate;
}

}  // namespace printer
