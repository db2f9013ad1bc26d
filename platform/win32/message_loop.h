#pragma once
// The add-in thread's message loop: posted messages (store events, signals) and thread
// timers are delivered here, one at a time, on the thread that runs the loop.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "platform/win32/clock.h"

namespace win32 {

class MessageLoop {
 public:
  using TimerProc = std::function<void(uint32_t timerId)>;

  explicit MessageLoop(Clock& clock) : clock_(clock) {}

  // Safe from any thread; the message runs on the loop's thread at its next turn.
  void Post(std::function<void()> message);
  // SetTimer without a window: a tick every intervalMs until KillTimer. Returns the id (never 0),
  // or 0 when intervalMs is 0.
  uint32_t SetTimer(uint32_t intervalMs, TimerProc proc);
  bool KillTimer(uint32_t timerId);
  size_t ActiveTimers() const;

  // Delivers what is due now: every posted message, then every timer whose time has come.
  // With an event pump set, the window system's pending events go first (a click on Cancel
  // while a long load lets messages through).
  void DoEvents();
  void SetEventPump(std::function<void()> pump) { pump_ = std::move(pump); }
  // When the next timer is due (clock ticks); the largest value when no timer runs.
  int64_t NextTimerDue() const;
  // Runs until Quit or until the clock reaches the deadline (a virtual clock jumps from one
  // due timer to the next without waiting). Returns false when it stopped for Quit.
  bool RunUntil(int64_t deadlineTickMs);
  bool RunFor(int64_t ms) { return RunUntil(clock_.TickMs() + ms); }
  void Quit();
  bool QuitRequested() const;

  Clock& clock() { return clock_; }

  // What must not stay held while the program waits for a person (a modal box or form): an
  // open read snapshot of a store holds back every other member's checkpoints. Hooks run on
  // the loop's thread, from BeforeUserWait; one that returns false is done and forgotten (its
  // owner may outlive the loop, or the loop it).
  void AddUserWaitHook(std::function<bool()> hook);
  void BeforeUserWait();

 private:
  struct Timer {
    uint32_t intervalMs;
    int64_t due;
    TimerProc proc;
  };
  bool DeliverOne();  // one posted message or one due timer; false when nothing was due
  int64_t NextDue() const;

  Clock& clock_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> posted_;
  std::map<uint32_t, Timer> timers_;
  uint32_t nextId_ = 1;
  bool quit_ = false;
  std::vector<std::function<bool()>> userWaitHooks_;
  std::function<void()> pump_;
};

}  // namespace win32
