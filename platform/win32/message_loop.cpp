#include "platform/win32/message_loop.h"

#include <iterator>

#include <chrono>
#include <limits>

namespace win32 {

void MessageLoop::Post(std::function<void()> message) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(message));
  }
  wake_.notify_all();
}

uint32_t MessageLoop::SetTimer(uint32_t intervalMs, TimerProc proc) {
  if (intervalMs == 0) return 0;
  std::lock_guard lock(mutex_);
  const uint32_t id = nextId_++;
  timers_[id] = Timer{intervalMs, clock_.TickMs() + intervalMs, std::move(proc)};
  return id;
}

bool MessageLoop::KillTimer(uint32_t timerId) {
  std::lock_guard lock(mutex_);
  return timers_.erase(timerId) > 0;
}

size_t MessageLoop::ActiveTimers() const {
  std::lock_guard lock(mutex_);
  return timers_.size();
}

void MessageLoop::Quit() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
}

bool MessageLoop::QuitRequested() const {
  std::lock_guard lock(mutex_);
  return quit_;
}

bool MessageLoop::DeliverOne() {
  std::unique_lock lock(mutex_);
  if (!posted_.empty()) {
    auto message = std::move(posted_.front());
    posted_.pop_front();
    lock.unlock();
    message();
    return true;
  }
  const int64_t now = clock_.TickMs();
  for (auto& [id, timer] : timers_) {
    if (timer.due <= now) {
      // Like WM_TIMER, a late timer fires once and is rescheduled from now.
      timer.due = now + timer.intervalMs;
      TimerProc proc = timer.proc;
      const uint32_t timerId = id;
      lock.unlock();
      proc(timerId);
      return true;
    }
  }
  return false;
}

void MessageLoop::AddUserWaitHook(std::function<bool()> hook) {
  std::lock_guard lock(mutex_);
  userWaitHooks_.push_back(std::move(hook));
}

void MessageLoop::BeforeUserWait() {
  std::vector<std::function<bool()>> hooks;
  {
    std::lock_guard lock(mutex_);
    hooks.swap(userWaitHooks_);
  }
  std::vector<std::function<bool()>> kept;
  for (auto& hook : hooks) {
    if (hook()) kept.push_back(std::move(hook));
  }
  std::lock_guard lock(mutex_);
  kept.insert(kept.end(), std::make_move_iterator(userWaitHooks_.begin()),
              std::make_move_iterator(userWaitHooks_.end()));  // added meanwhile
  userWaitHooks_.swap(kept);
}

void MessageLoop::DoEvents() {
  if (pump_) pump_();
  // Bounded, so a timer that re-arms itself at 1 ms cannot keep DoEvents from returning.
  for (int i = 0; i < 10000 && DeliverOne(); ++i) {
  }
}

int64_t MessageLoop::NextTimerDue() const {
  std::lock_guard lock(mutex_);
  return NextDue();
}

int64_t MessageLoop::NextDue() const {
  int64_t next = std::numeric_limits<int64_t>::max();
  for (const auto& [id, timer] : timers_) next = std::min(next, timer.due);
  return next;
}

bool MessageLoop::RunUntil(int64_t deadline) {
  for (;;) {
    while (DeliverOne()) {
      if (QuitRequested()) return false;
    }
    std::unique_lock lock(mutex_);
    if (quit_) return false;
    const int64_t now = clock_.TickMs();
    if (now >= deadline) return true;
    const int64_t until = std::min(deadline, NextDue());
    if (clock_.IsVirtual()) {
      lock.unlock();
      clock_.AdvanceTo(until);
      continue;
    }
    wake_.wait_for(lock, std::chrono::milliseconds(clock_.RealMs(until - now)),
                   [this] { return quit_ || !posted_.empty(); });
  }
}

}  // namespace win32
