#pragma once
// The host's printer device (its Printer object) and the installed printers (its Printers
// collection). Coordinates are twips on the printable area: origin at its top-left corner,
// y growing downwards.
#include <memory>
#include <string>
#include <vector>

namespace printer {

// A font object as the printer holds it.
struct StdFont {
  std::string Name = "Arial";
  double Size = 8;  // points
  bool Bold = false;
  friend bool operator==(const StdFont&, const StdFont&) = default;
};

enum PrinterOrientation { vbPRORPortrait = 1, vbPRORLandscape = 2 };

// "Printer error": a device or setting the printer cannot honour.
constexpr long kErrPrinter = 482;

class Printer {
 public:
  virtual ~Printer();

  virtual std::string DeviceName() const = 0;
  virtual int Orientation() const = 0;
  virtual void SetOrientation(int orientation) = 0;  // raises 380 for anything but 1 or 2
  virtual int Copies() const = 0;
  virtual void SetCopies(int copies) = 0;            // raises 380 below 1
  // The printable area in twips, for the orientation set now.
  virtual double ScaleWidth() const = 0;
  virtual double ScaleHeight() const = 0;

  virtual StdFont Font() const = 0;
  virtual void SetFont(const StdFont& font) = 0;
  virtual double TextWidth(const std::string& text) const = 0;
  virtual double TextHeight(const std::string& text) const = 0;

  double CurrentX = 0, CurrentY = 0;
  // The outline of the rectangle between two corners, in black (Line (x1, y1)-(x2, y2), , B).
  virtual void Box(double x1, double y1, double x2, double y2) = 0;
  // The text with its top-left corner at the current position; the position then moves to
  // the start of the next line.
  virtual void Print(const std::string& text) = 0;
  // Ends the page and sends the document to the device. Raises when the device refuses it;
  // nothing is sent when nothing was drawn.
  virtual void EndDoc() = 0;
  // Where the last document that EndDoc sent went ("/path/file.pdf", "job 12 on Office"),
  // empty before the first.
  virtual std::string LastDocument() const = 0;
};

class Printers {
 public:
  virtual ~Printers();
  virtual int Count() = 0;
  virtual Printer& Item(int index) = 0;  // 0 to Count - 1, in the system's order; raises 9 otherwise
  // The current printer (the host's Printer): the system's default until another is chosen.
  virtual Printer& Current() = 0;
  virtual void SetCurrent(int index) = 0;
  // The file a PDF printer writes its next document to (empty: one of its own choosing); a
  // collection without one ignores it.
  virtual void SetPdfOutput(const std::string&) {}
  // Whether the printers were asked for yet (finding them may ask the system).
  virtual bool Found() const { return true; }
};

// A printer collection over owned devices, the first or the one named default being current.
class PrinterList : public Printers {
 public:
  void Add(std::unique_ptr<Printer> printer, bool isDefault = false);
  int Count() override { return static_cast<int>(printers_.size()); }
  Printer& Item(int index) override;
  Printer& Current() override;  // raises 484 when there is no printer at all
  void SetCurrent(int index) override;

 private:
  std::vector<std::unique_ptr<Printer>> printers_;
  int current_ = 0;
};

// The process's printers, installed by the host (tests install their own). Raises 91 while
// none is installed.
Printers& ThePrinters();
void SetPrinters(Printers* printers);

}  // namespace printer
