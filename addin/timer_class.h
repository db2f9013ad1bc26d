#pragma once
// TimerClass: a thread timer on the add-in's message loop that raises TimerCB once per tick.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace win32 {
class MessageLoop;
}

namespace quorvane {

class TimerClass : public std::enable_shared_from_this<TimerClass> {
 public:
  ~TimerClass();

  bool Enabled() const { return enabled_; }
  int32_t Interval() const { return interval_; }
  int32_t TimerID() const { return timerId_; }
  void SetEnable(bool enable);
  void SetInterval(int32_t ms);

  // event TimerCB (the one handler of its WithEvents holder)
  std::function<void()> TimerCB;
  // Raises TimerCB; only fnTimerCB calls it.
  void RaiseTimer();

 private:
  void Start();
  void Stop();

  win32::MessageLoop* loop_ = nullptr;  // where the running timer was set
  bool enabled_ = false;
  int32_t interval_ = 0;
  int32_t timerId_ = 0;
};

// Module TimerCB: the timer procedure, finding the timer object by its identifier.
void fnTimerCB(uintptr_t hwnd, uint32_t uMsg, uint32_t idEvent, uint32_t dwTime);
// How many timer objects the module's collection holds (they are kept alive by it).
size_t RunningTimers();

}  // namespace quorvane
