#include "addin/timer_class.h"

#include <map>

#include "platform/com/com_error.h"
#include "platform/com/err_object.h"
#include "platform/win32/environment.h"
#include "platform/win32/text_file.h"

namespace quorvane {

namespace {

// The TimerCB module's collection: identifier as decimal text -> the timer that owns it. It
// holds a reference, so a running timer keeps its object alive.
std::map<std::string, std::shared_ptr<TimerClass>>& Collection() {
  static std::map<std::string, std::shared_ptr<TimerClass>> timers;
  return timers;
}

// fnTimerCB cannot reach the add-in: it writes to the same log file itself.
void PostTimerError(const std::string& text) {
  com::ErrObject err;
  err.Try([&] { win32::AppendTextFile(win32::GetWindowsDirectory(512) + "\\TEMP\\QZTErrLog.txt", text + "\r\n", win32::Env().clock); });
}

}  // namespace

TimerClass::~TimerClass() {
  if (timerId_ && loop_) loop_->KillTimer(static_cast<uint32_t>(timerId_));
}

void TimerClass::Start() {
  loop_ = &win32::Env().loop;
  const uint32_t id = loop_->SetTimer(static_cast<uint32_t>(interval_), [](uint32_t timerId) {
    fnTimerCB(0, 0x0113 /* WM_TIMER */, timerId, 0);
  });
  timerId_ = static_cast<int32_t>(id);
  if (timerId_) Collection()[std::to_string(timerId_)] = shared_from_this();
}

void TimerClass::Stop() {
  if (!timerId_) return;
  loop_->KillTimer(static_cast<uint32_t>(timerId_));
  const std::string key = std::to_string(timerId_);
  timerId_ = 0;
  Collection().erase(key);  // may release the last reference: nothing after this line
}

void TimerClass::SetEnable(bool enable) {
  auto keep = shared_from_this();
  if (!enable && timerId_) Stop();
  if (enable && !timerId_ && interval_ > 0) Start();
  enabled_ = enable;
}

void TimerClass::SetInterval(int32_t ms) {
  auto keep = shared_from_this();
  const int32_t value = ms >= 1 ? ms : 0;
  if (enabled_ && timerId_) {
    Stop();
    interval_ = value;
    if (value > 0) Start();
    return;
  }
  interval_ = value;
}

void TimerClass::RaiseTimer() {
  if (TimerCB) TimerCB();
}

void fnTimerCB(uintptr_t, uint32_t, uint32_t idEvent, uint32_t) {
  com::ErrObject err;
  err.Try([&] {
    auto& timers = Collection();
    auto it = timers.find(std::to_string(idEvent));
    if (it == timers.end()) com::Raise(com::kErrInvalidCall);
    std::shared_ptr<TimerClass> timer = it->second;
    timer->RaiseTimer();
  });
  if (err.Pending()) {
    PostTimerError("An Error was encountered in fnTimerCB!\r\nError No: (" + std::to_string(err.Number()) +
                   ")\r\nError Desc: " + err.Description() + "\r\n");
  }
}

size_t RunningTimers() { return Collection().size(); }

}  // namespace quorvane
