#include "platform/printer/qt/qt_printers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "platform/com/com_error.h"
#include "platform/printer/page_printer.h"

namespace printer {

void EnsureGuiApplication() {
  if (QGuiApplication::instance()) return;
  const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
  if (!display && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  if (!std::getenv("XDG_RUNTIME_DIR")) {
    // What Qt would fall back to, without its warning on every run.
    const std::string runtime = "/tmp/runtime-" + std::to_string(getuid());
    if (mkdir(runtime.c_str(), 0700) == 0 || errno == EEXIST) setenv("XDG_RUNTIME_DIR", runtime.c_str(), 0);
  }
  static int argc = 1;
  static char name[] = "quorvane";
  static char* argv[] = {name, nullptr};
  // Lives as long as the process: printers and fonts may be used until it ends.
  new QGuiApplication(argc, argv);
}

namespace {

QFont QtFont(const StdFont& f) {
  QFont font(QString::fromStdString(f.Name));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(f.Size * 20))));  // points to twips
  font.setBold(f.Bold);
  return font;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The printable area in portrait, in twips.
QSizeF PortraitArea(const QPageLayout& layout) {
  QPageLayout portrait = layout;
  portrait.setOrientation(QPageLayout::Portrait);
  const QRectF points = portrait.paintRect(QPageLayout::Point);
  return QSizeF(points.width() * 20, points.height() * 20);
}

class QtPrinter : public PagePrinter {
 public:
  QtPrinter(const std::string& name, QSizeF portrait, bool pdf, std::function<std::string()> pdfOutput)
      : PagePrinter(name, portrait.width(), portrait.height()), pdf_(pdf), pdfOutput_(std::move(pdfOutput)) {}

  double TextWidth(const std::string& text) const override {
    return QFontMetricsF(QtFont(Font())).horizontalAdvance(Q(text));
  }
  double TextHeight(const std::string&) const override { return QFontMetricsF(QtFont(Font())).height(); }

 protected:
  std::string Send(const Job& job) override {
    QPrinter device(QPrinter::HighResolution);
    std::string where;
    if (pdf_) {
      where = pdfOutput_();
      device.setOutputFormat(QPrinter::PdfFormat);
      device.setOutputFileName(Q(where));
      device.setPageSize(QPageSize(QPageSize::A4));
      device.setPageMargins(QMarginsF(18, 18, 18, 18), QPageLayout::Point);
    } else {
      device.setPrinterName(Q(DeviceName()));
      device.setCopyCount(job.copies);
      where = "printer " + DeviceName();
    }
    device.setPageOrientation(job.orientation == vbPRORLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    device.setDocName("Quorvane Calendar");
    QPainter painter;
    if (!painter.begin(&device))
      com::Raise(kErrPrinter, "Printer error: " + DeviceName() + " cannot start the document");
    // The PDF file has no copy count of its own: it holds the page once per copy.
    const int pages = pdf_ ? job.copies : 1;
    for (int copy = 0; copy < pages; ++copy) {
      if (copy > 0) device.newPage();
      painter.save();
      const double scale = device.resolution() / 1440.0;
      painter.scale(scale, scale);
      Draw(painter, job);
      painter.restore();
    }
    if (!painter.end()) com::Raise(kErrPrinter, "Printer error: " + DeviceName() + " did not take the document");
    if (pdf_ && !std::filesystem::exists(where))
      com::Raise(kErrPrinter, "Printer error: " + where + " was not written");
    return where;
  }

 private:
  static void Draw(QPainter& painter, const Job& job) {
    painter.setPen(QPen(Qt::black, 10));
    painter.setBrush(Qt::NoBrush);
    for (const PageOp& op : job.page) {
      if (op.kind == PageOp::kBox) {
        painter.drawRect(QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)).normalized());
      } else {
        const QFont font = QtFont(op.font);
        painter.setFont(font);
        painter.drawText(QPointF(op.x1, op.y1 + QFontMetricsF(font).ascent()), Q(op.text));
      }
    }
  }

  bool pdf_;
  std::function<std::string()> pdfOutput_;
};

}  // namespace

struct QtPrinters::Impl {
  std::string pdfFolder, pdfOutput;
  PrinterList list;
  bool loaded = false;

  std::string NextPdfFile() {
    std::string path = pdfOutput;
    pdfOutput.clear();
    if (path.empty()) {
      const std::time_t now = std::time(nullptr);
      char stamp[32];
      std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H.%M.%S", std::localtime(&now));
      path = UnusedFileName(pdfFolder + "/Calendar " + stamp + ".pdf");
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return path;
  }
};

QtPrinters::QtPrinters(std::string pdfFolder) : impl_(std::make_unique<Impl>()) {
  impl_->pdfFolder = std::move(pdfFolder);
}

QtPrinters::~QtPrinters() = default;

bool QtPrinters::Found() const { return impl_->loaded; }

void QtPrinters::Load() {
  if (impl_->loaded) return;
  impl_->loaded = true;
  EnsureGuiApplication();
  const QString defaultName = QPrinterInfo::defaultPrinterName();
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
    QPrinter probe(info, QPrinter::HighResolution);
    impl_->list.Add(
        std::make_unique<QtPrinter>(info.printerName().toStdString(), PortraitArea(probe.pageLayout()), false, nullptr),
        info.printerName() == defaultName);
  }
  QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18), QPageLayout::Point);
  impl_->list.Add(
      std::make_unique<QtPrinter>(kPdfPrinterName, PortraitArea(a4), true, [this] { return impl_->NextPdfFile(); }),
      defaultName.isEmpty());
}

int QtPrinters::Count() {
  Load();
  return impl_->list.Count();
}

Printer& QtPrinters::Item(int index) {
  Load();
  return impl_->list.Item(index);
}

Printer& QtPrinters::Current() {
  Load();
  return impl_->list.Current();
}

void QtPrinters::SetCurrent(int index) {
  Load();
  impl_->list.SetCurrent(index);
}

void QtPrinters::SetPdfOutput(const std::string& path) { impl_->pdfOutput = path; }

}  // namespace printer

extern "C" printer::Printers* QuorvaneCreateQtPrinters(const char* pdfFolder) {
  return new printer::QtPrinters(pdfFolder);
}
