#include "host/window/loop_driver.h"

#include <QCoreApplication>

namespace window {

LoopDriver::LoopDriver(win32::MessageLoop& loop) : loop_(loop) {
  loop_.SetEventPump([this] {
    ++depth_;
    QCoreApplication::processEvents();
    --depth_;
    if (afterPump) afterPump();
  });
  QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
  timer_.start(kTickMs);
}

LoopDriver::~LoopDriver() { loop_.SetEventPump(nullptr); }

void LoopDriver::Tick() {
  ++depth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{depth_};
  loop_.DoEvents();
  if (afterTick) afterTick();
}

}  // namespace window
