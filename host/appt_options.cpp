#include "host/appt_options.h"

#include <algorithm>
#include <cstdio>

#include "host/calendar_files_module.h"
#include "host/usage_error.h"
#include "platform/com/text.h"
#include "platform/outlook/outlook_enums.h"

namespace host {

std::optional<com::Date> ParseIsoDate(const std::string& text) {
  int y, mo, d, h = 0, mi = 0;
  char tail = 0;
  const int n = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d%c", &y, &mo, &d, &h, &mi, &tail);
  const bool dateOnly = n == 3 && text.size() == 10;
  const bool dateTime = n == 5 && text.size() == 16;
  if (!dateOnly && !dateTime) return std::nullopt;
  if (mo < 1 || mo > 12 || d < 1 || h > 23 || mi > 59 || h < 0 || mi < 0) return std::nullopt;
  const com::Date date = com::Date::FromParts(y, mo, d, h, mi, 0);
  if (date.Parts().day != d) return std::nullopt;  // 31 April and the like
  return date;
}

std::string IsoText(com::Date d, bool withSeconds) {
  const com::DateParts p = d.Parts();
  char buf[40];
  if (withSeconds) {
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", p.year, p.month, p.day, p.hour, p.minute,
                  p.second, p.millisecond);
  } else {
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", p.year, p.month, p.day, p.hour, p.minute);
  }
  return buf;
}

namespace {

com::Date MustDate(const std::string& option, const std::string& text) {
  auto d = ParseIsoDate(text);
  if (!d) throw UsageError(option + ": '" + text + "' is not a date (YYYY-MM-DD HH:MM)");
  return *d;
}

int MustNumber(const std::string& option, const std::string& text, int low, int high) {
  try {
    size_t used = 0;
    const int v = std::stoi(text, &used);
    if (used == text.size() && v >= low && v <= high) return v;
  } catch (const std::exception&) {
  }
  throw UsageError(option + ": '" + text + "' is not a number from " + std::to_string(low) + " to " +
                   std::to_string(high));
}

// "MO,WE,FR" as the object model's weekday mask (Sunday 1, Monday 2, ... Saturday 64).
int MustDays(const std::string& text) {
  static const char* const kNames[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
  int mask = 0;
  size_t from = 0;
  while (from <= text.size()) {
    const size_t comma = std::min(text.find(',', from), text.size());
    const std::string day = text.substr(from, comma - from);
    int bit = 0;
    for (int d = 0; d < 7; ++d) {
      if (com::EqualsNoCase(day, kNames[d])) bit = 1 << d;
    }
    if (!bit) throw UsageError("--days: '" + day + "' is not one of SU, MO, TU, WE, TH, FR, SA");
    mask |= bit;
    from = comma + 1;
  }
  return mask;
}

}  // namespace

ApptOptions ApptOptions::Parse(const std::vector<std::string>& words) {
  ApptOptions o;
  std::string timed;  // a --start or --end given with a time of day
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= words.size()) throw UsageError(w + " needs a value");
      return words[++i];
    };
    if (w == "--subject") o.subject = value();
    else if (w == "--body") o.body = value();
    else if (w == "--location") o.location = value();
    else if (w == "--categories") o.categories = value();
    else if (w == "--start" || w == "--end") {
      const std::string& text = value();
      (w == "--start" ? o.start : o.end) = MustDate(w, text);
      if (text.size() > 10 && timed.empty()) timed = w + " '" + text + "'";
      o.timed = o.timed || text.size() > 10;
    }
    else if (w == "--all-day") o.allDay = true;
    else if (w == "--sensitivity") o.sensitivity = MustNumber(w, value(), 0, 3);
    else if (w == "--interval") o.interval = MustNumber(w, value(), 1, 999);
    else if (w == "--until") o.until = MustDate(w, value());
    else if (w == "--count") o.count = MustNumber(w, value(), 1, 999);
    else if (w == "--days") o.dayOfWeekMask = MustDays(value());
    else if (w == "--instance") o.instance = MustNumber(w, value(), 1, 5);
    else if (w == "--day-of-month") o.dayOfMonth = MustNumber(w, value(), 1, 31);
    else if (w == "--month") o.monthOfYear = MustNumber(w, value(), 1, 12);
    else if (w == "--recur") {
      const std::string kind = value();
      if (kind == "daily") o.recurType = outlook::olRecursDaily;
      else if (kind == "weekly") o.recurType = outlook::olRecursWeekly;
      else if (kind == "monthly") o.recurType = outlook::olRecursMonthly;
      else if (kind == "monthnth") o.recurType = outlook::olRecursMonthNth;
      else if (kind == "yearly") o.recurType = outlook::olRecursYearly;
      else if (kind == "yearnth") o.recurType = outlook::olRecursYearNth;
      else throw UsageError("--recur takes daily, weekly, monthly, monthnth, yearly or yearnth, not '" + kind + "'");
    } else {
      throw UsageError("unknown option '" + w + "'");
    }
  }
  if ((o.interval || o.until || o.count || o.dayOfWeekMask || o.instance || o.dayOfMonth || o.monthOfYear) &&
      !o.recurType) {
    throw UsageError("--interval, --until, --count, --days, --instance, --day-of-month and --month go with --recur");
  }
  if (o.until && o.count) throw UsageError("--until and --count cannot both end a series");
  const int type = o.recurType.value_or(-1);
  const bool nth = type == outlook::olRecursMonthNth || type == outlook::olRecursYearNth;
  if (o.dayOfWeekMask && type != outlook::olRecursWeekly && !nth) {
    throw UsageError("--days goes with weekly, monthnth or yearnth");
  }
  if (o.instance && !nth) throw UsageError("--instance goes with monthnth or yearnth");
  if (o.dayOfMonth && type != outlook::olRecursMonthly && type != outlook::olRecursYearly) {
    throw UsageError("--day-of-month goes with monthly or yearly");
  }
  if (o.monthOfYear && type != outlook::olRecursYearly && type != outlook::olRecursYearNth) {
    throw UsageError("--month goes with yearly or yearnth");
  }
  if (o.allDay && !timed.empty()) {
    throw UsageError("--all-day takes whole days: give --start and --end as YYYY-MM-DD, not " + timed);
  }
  return o;
}

std::pair<com::Date, com::Date> ApptOptions::Span(com::Date oldStart, com::Date oldEnd, bool wholeDays) const {
  if (!wholeDays) return {start.value_or(oldStart), end.value_or(oldEnd)};
  // Whole days: from the start day's midnight to the midnight after the last day.
  const com::Date first = start.value_or(oldStart).DateOnly();
  if (end) return {first, end->AddDays(1)};
  if (start) return {first, first.AddDays(1)};
  const com::Date last = oldEnd.HasTime() || oldEnd <= first ? oldEnd.DateOnly().AddDays(1) : oldEnd;
  return {first, std::max(last, first.AddDays(1))};
}

void ApptOptions::ApplyTo(outlook::AppointmentItem& item) const {
  // An all-day appointment given dates stays whole days; given times, it becomes a timed one.
  const bool wholeDays = allDay.value_or(false) || (item.AllDayEvent() && !timed);
  const auto [newStart, newEnd] = Span(item.Start(), item.End(), wholeDays);
  if (newEnd < newStart) throw UsageError("the appointment would end before it starts");
  if (until && until->DateOnly() < newStart.DateOnly()) throw UsageError("--until lies before the start");
  if (subject) item.SetSubject(*subject);
  if (body) item.SetBody(*body);
  if (location) item.SetLocation(*location);
  if (categories) item.SetField(outlook::ApptField::Categories, *categories);
  if (start || wholeDays) item.SetStart(newStart);
  if (end || wholeDays) item.SetEnd(newEnd);
  if (wholeDays != item.AllDayEvent()) item.SetField(outlook::ApptField::AllDayEvent, com::Variant::Boolean(wholeDays));
  if (sensitivity) item.SetSensitivity(*sensitivity);
  if (recurType) {
    // What is not given comes from the start: its weekday, its day, its month, its week of the month.
    const com::DateParts p = newStart.Parts();
    ical::Pattern r;
    r.type = *recurType;
    r.interval = interval.value_or(1);
    const bool nth = r.type == outlook::olRecursMonthNth || r.type == outlook::olRecursYearNth;
    const bool monthDay = r.type == outlook::olRecursMonthly || r.type == outlook::olRecursYearly;
    const bool yearly = r.type == outlook::olRecursYearly || r.type == outlook::olRecursYearNth;
    const int weekday = 1 << (newStart.Weekday() - 1);
    if (r.type == outlook::olRecursWeekly || nth) r.dayOfWeekMask = dayOfWeekMask.value_or(weekday);
    if (monthDay) r.dayOfMonth = dayOfMonth.value_or(p.day);
    if (yearly) r.monthOfYear = monthOfYear.value_or(p.month);
    if (nth) r.instance = instance.value_or(std::min(5, (p.day + 6) / 7));
    if (until) {
      r.noEndDate = false;
      r.patternEnd = until->DateOnly();
    }
    if (count) {
      r.noEndDate = false;
      r.occurrences = *count;
      const std::vector<com::Date> all = SeriesDates(r, newStart, allDay.value_or(item.AllDayEvent()), *count);
      if (all.empty()) throw UsageError("the series has no occurrence");
      r.patternEnd = all.back().DateOnly();
    }
    auto pattern = item.GetRecurrencePattern();
    pattern->SetRecurrenceType(r.type);
    pattern->SetInterval(r.interval);
    pattern->SetPatternStartDate(newStart.DateOnly());
    pattern->SetDayOfWeekMask(r.dayOfWeekMask);
    pattern->SetDayOfMonth(r.dayOfMonth);
    pattern->SetMonthOfYear(r.monthOfYear);
    if (r.instance) pattern->SetInstance(r.instance);
    if (r.noEndDate) pattern->SetNoEndDate(true);
    else pattern->SetPatternEndDate(r.patternEnd);
    if (r.occurrences) pattern->SetOccurrences(r.occurrences);
  }
}

}  // namespace host
