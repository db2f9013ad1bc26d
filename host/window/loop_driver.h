#pragma once
// One loop for the window and the add-in: the platform's message loop (store events, the
// add-in's timer) runs at the turns of Qt's, and the platform's DoEvents lets Qt's pending
// events through, so a click reaches a dialog while the add-in works.
#include <functional>

#include <QTimer>

#include "platform/win32/message_loop.h"

namespace window {

class LoopDriver {
 public:
  explicit LoopDriver(win32::MessageLoop& loop);
  ~LoopDriver();
  LoopDriver(const LoopDriver&) = delete;
  LoopDriver& operator=(const LoopDriver&) = delete;

  // Delivers what is due on the platform's loop, then runs afterTick. A nested Qt loop (a
  // modal dialog) calls it from a timer of its own: Qt does not re-enter the timer whose turn
  // opened the dialog.
  void Tick();
  static constexpr int kTickMs = 100;

  std::function<void()> afterTick;  // the window follows what the add-in did
  std::function<void()> afterPump;  // open dialogs draw what the add-in changed meanwhile
  win32::MessageLoop& loop() { return loop_; }
  // Whether add-in code is on the stack below the Qt event being handled: a message or a
  // timer being delivered, or the add-in's own DoEvents.
  bool Busy() const { return depth_ > 0; }

 private:
  win32::MessageLoop& loop_;
  QTimer timer_;
  int depth_ = 0;
};

}  // namespace window
