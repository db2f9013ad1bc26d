#pragma once
// The window's status bar: when the add-in last ran its timed passes and when it runs them
// next, the last line of its error log, and where the last page printed went.
#include <cstdint>
#include <optional>
#include <string>

#include <QStatusBar>

#include "host/session.h"

class QLabel;

namespace window {

// The add-in ticks its timer once a minute and runs its passes on the RefreshRate + 1st tick
// since the last run (none while RefreshRate is 0); the window sees the ticks as the timer's
// due time moving on.
class TimedRuns {
 public:
  // Called at every turn of the loop.
  void Observe(int64_t nextDue, int64_t now, int refreshRate);
  std::optional<int64_t> last() const { return last_; }
  // When the next run falls due (clock ticks); nothing while no run is due.
  std::optional<int64_t> next(int refreshRate) const;

 private:
  int64_t seenDue_ = -1;
  int ticks_ = 0;
  std::optional<int64_t> last_;
  int64_t nextTick_ = 0;
};

class StatusLine : public QStatusBar {
 public:
  StatusLine(host::Session& session, QWidget* parent);
  // Brings both parts up to date; cheap when nothing changed.
  void Update();
  std::string logLine() const { return logLine_; }

 private:
  int RefreshRate();
  std::string TimeText(int64_t tick);

  host::Session& session_;
  TimedRuns runs_;
  QLabel* runsLabel_;
  QLabel* log_;
  QLabel* printed_;
  std::string lastPrinted_;
  std::string logLine_;
  int64_t logSize_ = -1;
};

// The last line of a text file that is not blank; empty when there is none.
std::string LastLine(const std::string& path);

}  // namespace window
