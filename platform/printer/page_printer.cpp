#include "platform/printer/page_printer.h"

#include <cmath>
#include <cstdio>

#include "platform/com/com_error.h"

namespace printer {

PagePrinter::PagePrinter(std::string deviceName, double portraitWidth, double portraitHeight)
    : deviceName_(std::move(deviceName)), portraitWidth_(portraitWidth), portraitHeight_(portraitHeight) {}

void PagePrinter::SetOrientation(int orientation) {
  if (orientation != vbPRORPortrait && orientation != vbPRORLandscape) com::Raise(380, "Invalid property value");
  orientation_ = orientation;
  Note("Orientation " + std::to_string(orientation));
}

void PagePrinter::SetCopies(int copies) {
  if (copies < 1) com::Raise(380, "Invalid property value");
  copies_ = copies;
  Note("Copies " + std::to_string(copies));
}

double PagePrinter::ScaleWidth() const {
  return orientation_ == vbPRORLandscape ? portraitHeight_ : portraitWidth_;
}

double PagePrinter::ScaleHeight() const {
  return orientation_ == vbPRORLandscape ? portraitWidth_ : portraitHeight_;
}

void PagePrinter::SetFont(const StdFont& font) {
  font_ = font;
  Note("Font " + font.Name + " " + TwipsText(font.Size) + (font.Bold ? " bold" : ""));
}

void PagePrinter::Box(double x1, double y1, double x2, double y2) {
  Draw(PageOp{PageOp::kBox, x1, y1, x2, y2, "", font_});
  Note("Box (" + TwipsText(x1) + ", " + TwipsText(y1) + ")-(" + TwipsText(x2) + ", " + TwipsText(y2) + ")");
}

void PagePrinter::Print(const std::string& text) {
  Draw(PageOp{PageOp::kText, CurrentX, CurrentY, 0, 0, text, font_});
  Note("Print (" + TwipsText(CurrentX) + ", " + TwipsText(CurrentY) + ") " + text);
  CurrentY += TextHeight(text);
  CurrentX = 0;
}

// The document's settings are fixed by its first drawing, as a started print job's are.
void PagePrinter::Draw(PageOp op) {
  if (job_.page.empty()) {
    job_.orientation = orientation_;
    job_.copies = copies_;
    job_.width = ScaleWidth();
    job_.height = ScaleHeight();
  }
  job_.page.push_back(std::move(op));
}

void PagePrinter::EndDoc() {
  Note("EndDoc");
  if (job_.page.empty()) return;
  // The page is gone either way: a refused one is not sent again with the next document.
  Job job;
  std::swap(job, job_);
  CurrentX = CurrentY = 0;
  lastDocument_ = Send(job);
}

std::string TwipsText(double v) {
  if (v == std::floor(v)) return std::to_string(static_cast<long long>(v));
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  return s;
}

}  // namespace printer
