#pragma once
// A printer that keeps the page's drawing until EndDoc and then hands it over whole: the
// common part of the recording printer and the real one.
#include <string>
#include <vector>

#include "platform/printer/printer.h"

namespace printer {

struct PageOp {
  enum Kind { kBox, kText } kind = kBox;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // a text: its top-left corner at x1, y1
  std::string text;
  StdFont font;
};

class PagePrinter : public Printer {
 public:
  // The printable area in portrait, in twips.
  PagePrinter(std::string deviceName, double portraitWidth, double portraitHeight);

  std::string DeviceName() const override { return deviceName_; }
  int Orientation() const override { return orientation_; }
  void SetOrientation(int orientation) override;
  int Copies() const override { return copies_; }
  void SetCopies(int copies) override;
  double ScaleWidth() const override;
  double ScaleHeight() const override;
  StdFont Font() const override { return font_; }
  void SetFont(const StdFont& font) override;
  void Box(double x1, double y1, double x2, double y2) override;
  void Print(const std::string& text) override;
  void EndDoc() override;
  std::string LastDocument() const override { return lastDocument_; }

 protected:
  struct Job {
    std::vector<PageOp> page;
    int orientation = vbPRORPortrait;  // as they were when the page began
    int copies = 1;
    double width = 0, height = 0;      // the printable area in that orientation
  };
  // Sends one finished page; returns where it went. Raises when the device refuses it.
  virtual std::string Send(const Job& job) = 0;
  // Each setting as it is made, for a printer that keeps a record.
  virtual void Note(const std::string&) {}

 private:
  std::string deviceName_;
  double portraitWidth_, portraitHeight_;
  int orientation_ = vbPRORPortrait;
  int copies_ = 1;
  StdFont font_;
  Job job_;
  void Draw(PageOp op);
  std::string lastDocument_;
};

// A twips value as the records write it: whole numbers plain, others with up to two decimals.
std::string TwipsText(double v);

}  // namespace printer
