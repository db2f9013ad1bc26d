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
};

class SystemClock : public Clock {
 public:
  com::Date Now() override;
  int64_t TickMs() override;
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
