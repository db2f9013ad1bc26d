#pragma once
// The time of day and a millisecond tick count, as a service so tests can fix "now".
#include <cstdint>
#include <mutex>

#include "platform/com/date.h"

namespace win32 {

class Clock {
 public:
  virtual ~Clock();
  virtual com::Date Now() = 0;     // local date and time
  virtual int64_t TickMs() = 0;    // monotonic milliseconds
  // Virtual clocks jump to a moment instead of waiting for it.
  virtual bool IsVirtual() const { return false; }
  virtual void AdvanceTo(int64_t /*tickMs*/) {}
  // How long, in real milliseconds, the loop waits for so many ticks to pass.
  virtual int64_t RealMs(int64_t ticks) const { return ticks; }
};

class SystemClock : public Clock {
 public:
  com::Date Now() override;
  int64_t TickMs() override;
};

// Real time whose ticks run faster: one minute of ticks lasts minuteMs real milliseconds, so a
// timer of 60000 ms fires every minuteMs. The time of day stays real.
class ScaledClock : public SystemClock {
 public:
  explicit ScaledClock(int64_t minuteMs) : minuteMs_(minuteMs > 0 ? minuteMs : 60000) {}
  int64_t TickMs() override { return SystemClock::TickMs() * 60000 / minuteMs_; }
  int64_t RealMs(int64_t ticks) const override { return ticks * minuteMs_ / 60000 + 1; }

 private:
  int64_t minuteMs_;
};

// A clock that moves only when told: waits in the message loop take no time.
class VirtualClock : public Clock {
 public:
  explicit VirtualClock(com::Date start) : start_(start) {}
  com::Date Now() override;
  int64_t TickMs() override;
  bool IsVirtual() const override { return true; }
  void AdvanceTo(int64_t tickMs) override;
  void Advance(int64_t ms);
  void Set(com::Date now);

 private:
  std::mutex mutex_;
  com::Date start_;
  int64_t tick_ = 0;
};

}  // namespace win32
