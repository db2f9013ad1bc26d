#include "platform/com/date.h"

#include <cmath>

namespace com {
namespace {

constexpr int64_t kMsPerDay = 86'400'000;
// Days from 1899-12-30 to 1970-01-01.
constexpr int64_t kEpochOffsetDays = 25569;

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

Date Date::FromUnixMillis(int64_t ms) {
  const int64_t days = FloorDiv(ms, kMsPerDay);
  const int64_t rest = ms - days * kMsPerDay;
  return Date(static_cast<double>(days + kEpochOffsetDays) + static_cast<double>(rest) / kMsPerDay);
}

int64_t Date::UnixMillis() const {
  const double whole = std::floor(serial_);
  auto days = static_cast<int64_t>(whole);
  auto ms = static_cast<int64_t>(std::llround((serial_ - whole) * kMsPerDay));
  return (days - kEpochOffsetDays) * kMsPerDay + ms;
}

Date Date::FromParts(const DateParts& p) {
  // Month overflow is carried into the year, as the host's DateSerial does.
  int64_t y = p.year;
  int64_t m0 = p.month - 1;
  y += FloorDiv(m0, 12);
  m0 -= FloorDiv(m0, 12) * 12;
  const int64_t days = DaysFromCivil(y, static_cast<int>(m0) + 1, 1) + (p.day - 1);
  const int64_t ms = days * kMsPerDay + ((static_cast<int64_t>(p.hour) * 60 + p.minute) * 60 + p.second) * 1000 +
                     p.millisecond;
  return FromUnixMillis(ms);
}

Date Date::FromParts(int year, int month, int day, int hour, int minute, int second) {
  return FromParts(DateParts{year, month, day, hour, minute, second, 0});
}

DateParts Date::Parts() const {
  const int64_t ms = UnixMillis();
  const int64_t days = FloorDiv(ms, kMsPerDay);
  int64_t rest = ms - days * kMsPerDay;
  DateParts p;
  CivilFromDays(days, p.year, p.month, p.day);
  p.millisecond = static_cast<int>(rest % 1000);
  rest /= 1000;
  p.second = static_cast<int>(rest % 60);
  rest /= 60;
  p.minute = static_cast<int>(rest % 60);
  p.hour = static_cast<int>(rest / 60);
  return p;
}

int Date::Weekday() const {
  const int64_t days = FloorDiv(UnixMillis(), kMsPerDay);
  // 1970-01-01 was a Thursday (5).
  return static_cast<int>(((days % 7) + 7 + 4) % 7) + 1;
}

Date Date::DateOnly() const { return FromUnixMillis(FloorDiv(UnixMillis(), kMsPerDay) * kMsPerDay); }

Date Date::AddDays(int days) const { return FromUnixMillis(UnixMillis() + days * kMsPerDay); }

bool Date::HasTime() const { return UnixMillis() != DateOnly().UnixMillis(); }

}  // namespace com
