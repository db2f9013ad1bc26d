#include "platform/ical/ical_recurrence.h"

#include <cstdio>
#include <cstdlib>

#include "platform/ical/ical_time.h"
#include "platform/outlook/outlook_enums.h"

namespace ical {
namespace {

const char* const kDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};  // bit 0 of the mask first

std::string Days(int mask) {
  std::string out;
  for (int d = 0; d < 7; ++d) {
    if (mask & (1 << d)) out += (out.empty() ? "" : ",") + std::string(kDays[d]);
  }
  return out;
}

int Count(const short* list, int size) {
  int n = 0;
  while (n < size && list[n] != ICAL_RECURRENCE_ARRAY_MAX) ++n;
  return n;
}

int WeekdayBit(short byDay) { return 1 << (icalrecurrencetype_day_day_of_week(byDay) - 1); }

// The nth weekday of a month (BYDAY=2TU, BYDAY=MO,TU;BYSETPOS=-1, BYMONTHDAY=-1): instance and
// weekdays, or false when the rule's BY parts say something else.
bool NthWeekday(const icalrecurrencetype& r, int& instance, int& mask) {
  const int days = Count(r.by_day, ICAL_BY_DAY_SIZE), setPos = Count(r.by_set_pos, ICAL_BY_SETPOS_SIZE);
  const int monthDays = Count(r.by_month_day, ICAL_BY_MONTHDAY_SIZE);
  auto ordinal = [&](int n) {
    if (n == -1)
      instance = 5;
    else if (n >= 1 && n <= 4)
      instance = n;
    else
      return false;
    return true;
  };
  if (monthDays == 1 && r.by_month_day[0] == -1 && days == 0 && setPos == 0) {
    instance = 5, mask = 127;  // the last day of the month
    return true;
  }
  if (monthDays != 0 || days == 0) return false;
  mask = 0;
  for (int i = 0; i < days; ++i) mask |= WeekdayBit(r.by_day[i]);
  if (days == 1 && setPos == 0) return ordinal(icalrecurrencetype_day_position(r.by_day[0]));
  if (setPos != 1) return false;
  for (int i = 0; i < days; ++i) {
    if (icalrecurrencetype_day_position(r.by_day[i]) != 0) return false;
  }
  return ordinal(r.by_set_pos[0]);
}

std::string NthText(const Pattern& p) {
  const int pos = p.instance == 5 ? -1 : p.instance;
  if (p.dayOfWeekMask == 127 && pos == -1) return ";BYMONTHDAY=-1";
  if ((p.dayOfWeekMask & (p.dayOfWeekMask - 1)) == 0) return ";BYDAY=" + std::to_string(pos) + Days(p.dayOfWeekMask);
  return ";BYDAY=" + Days(p.dayOfWeekMask) + ";BYSETPOS=" + std::to_string(pos);
}

}  // namespace

std::string RuleText(const Pattern& p, icaltimetype until) {
  std::string rule;
  switch (p.type) {
    case outlook::olRecursDaily:
      rule = "FREQ=DAILY";
      break;
    case outlook::olRecursWeekly:
      rule = "FREQ=WEEKLY";
      break;
    case outlook::olRecursMonthly:
    case outlook::olRecursMonthNth:
      rule = "FREQ=MONTHLY";
      break;
    default:
      rule = "FREQ=YEARLY";
      break;
  }
  rule += ";INTERVAL=" + std::to_string(p.interval);
  switch (p.type) {
    case outlook::olRecursWeekly:
      rule += ";BYDAY=" + Days(p.dayOfWeekMask);
      break;
    case outlook::olRecursMonthly:
      rule += ";BYMONTHDAY=" + std::to_string(p.dayOfMonth);
      break;
    case outlook::olRecursMonthNth:
      rule += NthText(p);
      break;
    case outlook::olRecursYearly:
      rule += ";BYMONTH=" + std::to_string(p.monthOfYear) + ";BYMONTHDAY=" + std::to_string(p.dayOfMonth);
      break;
    case outlook::olRecursYearNth:
      rule += ";BYMONTH=" + std::to_string(p.monthOfYear) + NthText(p);
      break;
    default:
      break;
  }
  if (p.occurrences > 0)
    rule += ";COUNT=" + std::to_string(p.occurrences);
  else if (!p.noEndDate)
    rule += std::string(";UNTIL=") + icaltime_as_ical_string(until);
  return rule;
}

std::optional<Pattern> PatternOf(const icalrecurrencetype& r, com::Date start, std::string& why) {
  Pattern p;
  p.interval = r.interval > 0 ? r.interval : 1;
  const com::DateParts s = start.Parts();
  const int days = Count(r.by_day, ICAL_BY_DAY_SIZE), months = Count(r.by_month, ICAL_BY_MONTH_SIZE);
  const int monthDays = Count(r.by_month_day, ICAL_BY_MONTHDAY_SIZE), setPos = Count(r.by_set_pos, ICAL_BY_SETPOS_SIZE);
  auto refuse = [&](const std::string& what) {
    why = what;
    return std::nullopt;
  };
  if (r.by_second[0] != ICAL_RECURRENCE_ARRAY_MAX || r.by_minute[0] != ICAL_RECURRENCE_ARRAY_MAX ||
      r.by_hour[0] != ICAL_RECURRENCE_ARRAY_MAX) {
    return refuse("a repetition within the day (BYHOUR, BYMINUTE, BYSECOND)");
  }
  if (r.by_year_day[0] != ICAL_RECURRENCE_ARRAY_MAX || r.by_week_no[0] != ICAL_RECURRENCE_ARRAY_MAX) {
    return refuse("days of the year or weeks of the year (BYYEARDAY, BYWEEKNO)");
  }
  bool plainDays = true;
  for (int i = 0; i < days; ++i) plainDays = plainDays && icalrecurrencetype_day_position(r.by_day[i]) == 0;
  switch (r.freq) {
    case ICAL_DAILY_RECURRENCE:
      if (months || monthDays || setPos) return refuse("a daily repetition limited to some months or days");
      if (days) {
        if (p.interval != 1 || !plainDays) return refuse("a repetition every few days on some weekdays only");
        p.type = outlook::olRecursWeekly;
        for (int i = 0; i < days; ++i) p.dayOfWeekMask |= WeekdayBit(r.by_day[i]);
      } else {
        p.type = outlook::olRecursDaily;
      }
      break;
    case ICAL_WEEKLY_RECURRENCE:
      if (months || monthDays || setPos || !plainDays) return refuse("a weekly repetition with BY parts beside BYDAY");
      p.type = outlook::olRecursWeekly;
      for (int i = 0; i < days; ++i) p.dayOfWeekMask |= WeekdayBit(r.by_day[i]);
      if (!days) p.dayOfWeekMask = 1 << (start.Weekday() - 1);
      break;
    case ICAL_MONTHLY_RECURRENCE:
    case ICAL_YEARLY_RECURRENCE: {
      const bool yearly = r.freq == ICAL_YEARLY_RECURRENCE;
      if (months > (yearly ? 1 : 0)) {
        return refuse(yearly ? "a yearly repetition in several months" : "a monthly repetition limited to some months");
      }
      p.monthOfYear = months ? r.by_month[0] : s.month;
      if (!days && !setPos && monthDays <= 1 && (monthDays == 0 || r.by_month_day[0] > 0)) {
        p.type = yearly ? outlook::olRecursYearly : outlook::olRecursMonthly;
        p.dayOfMonth = monthDays ? r.by_month_day[0] : s.day;
        if (!yearly) p.monthOfYear = 0;
      } else if ((yearly && !months) || !NthWeekday(r, p.instance, p.dayOfWeekMask)) {
        return refuse("days of the month that are not one day, nor the first to fourth or last of some weekdays");
      } else {
        p.type = yearly ? outlook::olRecursYearNth : outlook::olRecursMonthNth;
        if (!yearly) p.monthOfYear = 0;
      }
      break;
    }
    default:
      return refuse("a repetition more often than daily");
  }
  if (r.count > 0) {
    p.occurrences = r.count;
    p.noEndDate = false;
  } else if (!icaltime_is_null_time(r.until)) {
    p.noEndDate = false;
  }
  return p;
}

std::vector<com::Date> Occurrences(const icalrecurrencetype& rule, icaltimetype dtstart, size_t limit) {
  std::vector<com::Date> out;
  icalrecur_iterator* it = icalrecur_iterator_new(rule, dtstart);
  if (!it) return out;
  for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t) && out.size() < limit;
       t = icalrecur_iterator_next(it)) {
    t.zone = dtstart.zone;
    out.push_back(t.is_date ? FromWallTime(t) : LocalDate(Instant(t)));
  }
  icalrecur_iterator_free(it);
  return out;
}

Pattern ReadPattern(outlook::RecurrencePattern& p) {
  Pattern r;
  r.type = p.RecurrenceType();
  r.interval = p.Interval();
  r.dayOfWeekMask = p.DayOfWeekMask();
  r.dayOfMonth = p.DayOfMonth();
  r.monthOfYear = p.MonthOfYear();
  r.instance = p.Instance();
  r.occurrences = p.Occurrences();
  r.noEndDate = p.NoEndDate();
  if (!r.noEndDate) r.patternEnd = p.PatternEndDate();
  return r;
}

std::vector<outlook::OccurrenceChange> ReadChanges(outlook::RecurrencePattern& p) {
  std::vector<outlook::OccurrenceChange> out;
  auto list = p.Exceptions();
  for (int i = 1; i <= list->Count(); ++i) out.push_back(list->Item(i)->Change());
  return out;
}

std::vector<com::Date> Occurrences(const Pattern& p, com::Date start, bool allDay, size_t limit) {
  // This computer's time throughout: the series ends after its last day.
  icaltimetype until = WallTime(p.patternEnd, allDay);
  if (!allDay) until.hour = 23, until.minute = 59, until.second = 59;
  const icalrecurrencetype rule = icalrecurrencetype_from_string(RuleText(p, until).c_str());
  return Occurrences(rule, WallTime(start, allDay), limit);
}

}  // namespace ical
