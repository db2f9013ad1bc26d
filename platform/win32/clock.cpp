#include "platform/win32/clock.h"

#include <chrono>
#include <ctime>

namespace win32 {

Clock::~Clock() = default;

com::Date SystemClock::Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return com::Date::FromParts(com::DateParts{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                             local.tm_min, local.tm_sec, static_cast<int>(ms)});
}

int64_t SystemClock::TickMs() {
  // The kernel's tick, as the host's tick count: a few milliseconds fine, and cheap enough to
  // ask at every read of a store.
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

com::Date VirtualClock::Now() {
  std::lock_guard lock(mutex_);
  return com::Date::FromUnixMillis(start_.UnixMillis() + tick_);
}

int64_t VirtualClock::TickMs() {
  std::lock_guard lock(mutex_);
  return tick_;
}

void VirtualClock::AdvanceTo(int64_t tickMs) {
  std::lock_guard lock(mutex_);
  if (tickMs > tick_) tick_ = tickMs;
}

void VirtualClock::Advance(int64_t ms) {
  std::lock_guard lock(mutex_);
  tick_ += ms;
}

void VirtualClock::Set(com::Date now) {
  std::lock_guard lock(mutex_);
  start_ = com::Date::FromUnixMillis(now.UnixMillis() - tick_);
}

}  // namespace win32
