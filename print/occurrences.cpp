#include "print/occurrences.h"

#include <algorithm>

#include "platform/outlook/outlook_enums.h"

namespace quorvane {

namespace {
int DaysBetween(com::Date a, com::Date b) {
  return static_cast<int>(b.DateOnly().serial() - a.DateOnly().serial() + (b >= a ? 0.5 : -0.5));
}

int MonthsBetween(const com::DateParts& a, const com::DateParts& b) {
  return (b.year - a.year) * 12 + (b.month - a.month);
}

int DaysInMonth(int year, int month) {
  const com::Date next = month == 12 ? com::Date::FromParts(year + 1, 1, 1) : com::Date::FromParts(year, month + 1, 1);
  return next.AddDays(-1).Parts().day;
}

int WeekdayBit(com::Date d) { return 1 << (d.Weekday() - 1); }  // Sunday 1, Monday 2, ...

// The weeks counted from the Sunday that begins each date's week.
int WeeksBetween(com::Date a, com::Date b) {
  const com::Date weekA = a.DateOnly().AddDays(1 - a.Weekday());
  const com::Date weekB = b.DateOnly().AddDays(1 - b.Weekday());
  return DaysBetween(weekA, weekB) / 7;
}

bool MultipleOf(int n, int interval) { return n >= 0 && n % interval == 0; }

// The n-th (1 to 4) or last (5) weekday of the month, as the series' first day shows it.
bool SameInstance(const com::DateParts& first, const com::DateParts& day) {
  const int instance = (first.day - 1) / 7 + 1;
  if (instance >= 5) return day.day + 7 > DaysInMonth(day.year, day.month);
  return (day.day - 1) / 7 + 1 == instance;
}
}  // namespace

bool OccursOn(const PatternFacts& p, com::Date day) {
  day = day.DateOnly();
  const com::Date first = p.patternStart.DateOnly();
  if (day < first) return false;
  if (!p.noEndDate && day > p.patternEnd.DateOnly()) return false;
  const int interval = p.interval < 1 ? 1 : p.interval;
  const com::DateParts f = first.Parts(), d = day.Parts();
  const int mask = p.dayOfWeekMask != 0 ? p.dayOfWeekMask : WeekdayBit(first);
  const int dayOfMonth = p.dayOfMonth != 0 ? p.dayOfMonth : f.day;
  const int month = p.monthOfYear != 0 ? p.monthOfYear : f.month;
  // A yearly interval may be given in months, as newer clients write it.
  const int years = interval >= 12 && interval % 12 == 0 ? interval / 12 : interval;
  switch (p.type) {
    case outlook::olRecursDaily:
      return MultipleOf(DaysBetween(first, day), interval);
    case outlook::olRecursWeekly:
      return (mask & WeekdayBit(day)) && MultipleOf(WeeksBetween(first, day), interval);
    case outlook::olRecursMonthly:
      return MultipleOf(MonthsBetween(f, d), interval) &&
             d.day == std::min(dayOfMonth, DaysInMonth(d.year, d.month));
    case outlook::olRecursMonthNth:
      return MultipleOf(MonthsBetween(f, d), interval) && (mask & WeekdayBit(day)) && SameInstance(f, d);
    case outlook::olRecursYearly:
      return MultipleOf(d.year - f.year, years) && d.month == month &&
             d.day == std::min(dayOfMonth, DaysInMonth(d.year, d.month));
    case outlook::olRecursYearNth:
      return MultipleOf(d.year - f.year, years) && d.month == month && (mask & WeekdayBit(day)) &&
             SameInstance(f, d);
    default:
      return false;
  }
}

std::vector<com::Date> OccurrenceDays(const PatternFacts& pattern, com::Date first, com::Date last) {
  std::vector<com::Date> days;
  for (com::Date d = first.DateOnly(); d <= last.DateOnly(); d = d.AddDays(1)) {
    if (OccursOn(pattern, d)) days.push_back(d);
  }
  return days;
}

}  // namespace quorvane
