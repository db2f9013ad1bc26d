#include "host/window/status_line.h"

#include <filesystem>
#include <fstream>

#include <QLabel>

#include "platform/win32/locale.h"

namespace window {

void TimedRuns::Observe(int64_t nextDue, int64_t now, int refreshRate) {
  if (seenDue_ >= 0 && nextDue > seenDue_ && seenDue_ <= now) {
    if (refreshRate > 0 && ++ticks_ >= refreshRate + 1) {
      ticks_ = 0;
      last_ = seenDue_;
    }
  }
  seenDue_ = nextDue;
  nextTick_ = nextDue;
}

std::optional<int64_t> TimedRuns::next(int refreshRate) const {
  if (refreshRate <= 0 || nextTick_ == INT64_MAX || nextTick_ < 0) return std::nullopt;
  const int ticksToGo = std::max(0, refreshRate - ticks_);
  return nextTick_ + int64_t{ticksToGo} * 60000;
}

std::string LastLine(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line, last;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") != std::string::npos) last = line;
  }
  return last;
}

StatusLine::StatusLine(host::Session& session, QWidget* parent) : QStatusBar(parent), session_(session) {
  setObjectName("StatusLine");
  runsLabel_ = new QLabel(this);
  runsLabel_->setObjectName("TimedRuns");
  log_ = new QLabel(this);
  log_->setObjectName("LogLine");
  addWidget(runsLabel_);
  addWidget(log_, 1);
  printed_ = new QLabel(this);
  printed_->setObjectName("Printed");
  addPermanentWidget(printed_);
}

int StatusLine::RefreshRate() {
  const std::string key = std::string(host::kAddInKey) + "\\Configuration";
  win32::Registry& reg = session_.registry();
  win32::HKEY h = 0;
  win32::DWORD type = 0;
  win32::Bytes data;
  int rate = 0;
  if (reg.RegOpenKeyEx(win32::HKEY_CURRENT_USER, key, 0, 0, &h) == 0 &&
      reg.RegQueryValueEx(h, "RefreshRate", &type, &data) == 0) {
    rate = static_cast<int>(win32::BytesToDword(data));
  }
  if (h) reg.RegCloseKey(h);
  return rate;
}

std::string StatusLine::TimeText(int64_t tick) {
  // Ticks count the clock's own milliseconds, as its dates do.
  win32::Clock& clock = session_.clock();
  const com::Date when = com::Date::FromUnixMillis(clock.Now().UnixMillis() + (tick - clock.TickMs()));
  return win32::Locale::Current().Format(when, "Short Time");
}

void StatusLine::Update() {
  win32::MessageLoop& loop = session_.loop();
  const int rate = RefreshRate();
  runs_.Observe(loop.NextTimerDue(), session_.clock().TickMs(), rate);
  std::string text = "Last timed run: " + (runs_.last() ? TimeText(*runs_.last()) : std::string("none yet"));
  const auto next = runs_.next(rate);
  text += "   Next: " + (next ? TimeText(*next) : std::string("none planned"));
  runsLabel_->setText(QString::fromStdString(text));

  // Nothing was printed before the printers were first asked for.
  if (session_.printers().Found()) {
    const std::string printed = session_.printers().Current().LastDocument();
    if (printed != lastPrinted_) {
      lastPrinted_ = printed;
      printed_->setText(QString::fromStdString("Printed: " + printed));
    }
  }

  std::error_code ec;
  const std::string path = session_.profile().LogPath();
  const auto size = static_cast<int64_t>(std::filesystem::file_size(path, ec));
  if (ec || size == logSize_) return;
  logSize_ = size;
  logLine_ = LastLine(path);
  log_->setText(QString::fromStdString("Log: " + logLine_));
}

}  // namespace window
