#pragma once
// The host's date type: days since 30 December 1899, the fraction being the time of day.
#include <cstdint>

namespace com {

struct DateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

class Date {
 public:
  constexpr Date() = default;
  constexpr explicit Date(double serial) : serial_(serial) {}

  static Date FromParts(const DateParts& p);
  static Date FromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  // Milliseconds since the Unix epoch (UTC-free: the host's dates carry no zone).
  static Date FromUnixMillis(int64_t ms);

  double serial() const { return serial_; }
  DateParts Parts() const;
  int64_t UnixMillis() const;
  int Weekday() const;  // 1 = Sunday ... 7 = Saturday
  Date DateOnly() const;
  Date AddDays(int days) const;
  bool HasTime() const;

  friend bool operator==(Date a, Date b) { return a.UnixMillis() == b.UnixMillis(); }
  friend bool operator<(Date a, Date b) { return a.UnixMillis() < b.UnixMillis(); }
  friend bool operator>(Date a, Date b) { return b < a; }
  friend bool operator<=(Date a, Date b) { return !(b < a); }
  friend bool operator>=(Date a, Date b) { return !(a < b); }

 private:
  double serial_ = 0;
};

}  // namespace com
