#include "host/ical_file.h"

#include <libical/ical.h>

#include <ctime>
#include <fstream>
#include <sstream>

#include "host/usage_error.h"
#include "platform/com/text.h"
#include "platform/outlook/outlook_enums.h"
#include "platform/win32/atomic_file.h"

namespace host {
namespace {

// The two markers travel as X- properties, so an export and a re-import keep the links.
const std::pair<const char*, const char*> kMarkers[] = {{"X-QUORVANE-ORIGENTRYID", "OrigEntryId"},
                                                        {"X-QUORVANE-HASBEENPROCESSEDQZT", "HasBeenProcessedQZT"}};

[[noreturn]] void Refuse(const std::string& path, int line, const std::string& why) {
  throw UsageError(path + ", line " + std::to_string(line) + ": " + why + "; nothing was imported");
}

// Checks the file's lines and nesting, and gives the line of each event's BEGIN.
std::vector<int> CheckStructure(const std::string& path, const std::string& text) {
  std::vector<int> eventLines;
  std::vector<std::pair<std::string, int>> open;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0, contentLines = 0;
  while (std::getline(in, raw)) {
    ++lineNo;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (raw.empty()) continue;
    if (raw[0] == ' ' || raw[0] == '\t') {
      if (contentLines == 0) Refuse(path, lineNo, "a continuation line with nothing to continue");
      continue;
    }
    ++contentLines;
    const size_t colon = raw.find(':');
    if (colon == std::string::npos || colon == 0) Refuse(path, lineNo, "not a \"NAME:value\" line");
    const std::string name = com::ToLower(raw.substr(0, raw.find_first_of(";:")));
    for (char c : name) {
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') Refuse(path, lineNo, "bad property name");
    }
    const std::string value = com::ToLower(com::Trim(raw.substr(colon + 1)));
    if (contentLines == 1 && !(name == "begin" && value == "vcalendar")) {
      Refuse(path, lineNo, "a calendar file begins with BEGIN:VCALENDAR");
    }
    if (name == "begin") {
      open.emplace_back(value, lineNo);
      if (value == "vevent") eventLines.push_back(lineNo);
    } else if (name == "end") {
      if (open.empty() || open.back().first != value) Refuse(path, lineNo, "END:" + value + " closes nothing open");
      open.pop_back();
    }
  }
  if (contentLines == 0) Refuse(path, 1, "the file is empty");
  if (!open.empty()) Refuse(path, open.back().second, "BEGIN:" + open.back().first + " is never closed");
  return eventLines;
}

// The library writes zeros for a date outside these years, so no such date comes in or goes out:
// a file imports again as it was exported.
constexpr int kFirstYear = 1, kLastYear = 3000;

bool InYears(int year) { return year >= kFirstYear && year <= kLastYear; }

bool Valid(icaltimetype t) {
  if (!InYears(t.year)) return false;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > icaltime_days_in_month(t.month, t.year)) return false;
  return t.is_date || (t.hour < 24 && t.minute < 60 && t.second < 61);
}

com::Date ToDate(icaltimetype t) {
  if (t.is_date) return com::Date::FromParts(t.year, t.month, t.day);
  if (t.zone || icaltime_is_utc(t)) {
    // Zoned times are shown in this machine's own time, as the host does.
    const time_t when = icaltime_as_timet_with_zone(t, t.zone ? t.zone : icaltimezone_get_utc_timezone());
    std::tm local{};
    localtime_r(&when, &local);
    return com::Date::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                                local.tm_sec);
  }
  return com::Date::FromParts(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

icaltimetype FromDate(com::Date d, bool dateOnly) {
  const com::DateParts p = d.Parts();
  icaltimetype t = icaltime_null_time();
  t.year = p.year, t.month = p.month, t.day = p.day;
  if (dateOnly) {
    t.is_date = 1;
  } else {
    t.hour = p.hour, t.minute = p.minute, t.second = p.second;
  }
  return t;
}

std::string Text(const char* s) { return s ? s : ""; }

// The library drops carriage returns, backspaces and form feeds as it writes and spaces around a
// value as it reads, and a value left empty so refuses the whole file on import; such a text is
// left out, as an empty one is.
bool HasText(const std::string& s) { return s.find_first_not_of(" \t\r\b\f") != std::string::npos; }

IcalEvent ReadEvent(const std::string& path, icalcomponent* ev, int line) {
  IcalEvent e;
  e.line = line;
  if (icalproperty* err = icalcomponent_get_first_property(ev, ICAL_XLICERROR_PROPERTY)) {
    Refuse(path, line, std::string("the event is malformed (") + Text(icalproperty_get_xlicerror(err)) + ")");
  }
  const icaltimetype start = icalcomponent_get_dtstart(ev);
  if (icaltime_is_null_time(start)) Refuse(path, line, "the event has no DTSTART");
  if (!Valid(start)) Refuse(path, line, "DTSTART is no date");
  icaltimetype end = icalcomponent_get_dtend(ev);
  if (!icaltime_is_null_time(end) && !Valid(end)) Refuse(path, line, "DTEND is no date");
  // An all-day appointment has no end time of its own to keep: it would not export as it came in.
  if (!icaltime_is_null_time(end) && end.is_date != start.is_date) {
    Refuse(path, line, "DTSTART and DTEND are not both dates or both times");
  }
  e.allDay = start.is_date;
  e.start = ToDate(start);
  if (icaltime_is_null_time(end)) {
    e.end = e.allDay ? e.start.AddDays(1) : e.start;
  } else {
    e.end = ToDate(end);
  }
  if (e.end < e.start) Refuse(path, line, "the event ends before it starts");
  e.subject = Text(icalcomponent_get_summary(ev));
  e.body = Text(icalcomponent_get_description(ev));
  e.location = Text(icalcomponent_get_location(ev));
  for (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_CATEGORIES_PROPERTY); p;
       p = icalcomponent_get_next_property(ev, ICAL_CATEGORIES_PROPERTY)) {
    e.categories += (e.categories.empty() ? "" : ", ") + Text(icalproperty_get_categories(p));
  }
  if (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_CLASS_PROPERTY)) {
    const icalproperty_class c = icalproperty_get_class(p);
    if (c == ICAL_CLASS_PRIVATE) e.sensitivity = outlook::olPrivate;
    if (c == ICAL_CLASS_CONFIDENTIAL) e.sensitivity = outlook::olConfidential;
  }
  for (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_X_PROPERTY); p;
       p = icalcomponent_get_next_property(ev, ICAL_X_PROPERTY)) {
    for (const auto& [xName, prop] : kMarkers) {
      if (com::EqualsNoCase(Text(icalproperty_get_x_name(p)), xName)) e.userProps.emplace_back(prop, Text(icalproperty_get_x(p)));
    }
  }
  if (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_RRULE_PROPERTY)) {
    struct icalrecurrencetype r = icalproperty_get_rrule(p);
    switch (r.freq) {
      case ICAL_DAILY_RECURRENCE: e.recurType = outlook::olRecursDaily; break;
      case ICAL_WEEKLY_RECURRENCE: e.recurType = outlook::olRecursWeekly; break;
      case ICAL_MONTHLY_RECURRENCE: e.recurType = outlook::olRecursMonthly; break;
      case ICAL_YEARLY_RECURRENCE: e.recurType = outlook::olRecursYearly; break;
      default: Refuse(path, line, "only daily, weekly, monthly and yearly repetition is kept here");
    }
    e.interval = r.interval > 0 ? r.interval : 1;
    for (int i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
      const int weekday = icalrecurrencetype_day_day_of_week(r.by_day[i]);  // 1 = Sunday
      if (weekday >= 1 && weekday <= 7) e.dayOfWeekMask |= 1 << (weekday - 1);
    }
    if (e.recurType == outlook::olRecursWeekly && e.dayOfWeekMask == 0) e.dayOfWeekMask = 1 << (e.start.Weekday() - 1);
    e.dayOfMonth = e.start.Parts().day;
    e.monthOfYear = e.start.Parts().month;
    if (!icaltime_is_null_time(r.until)) {
      e.hasUntil = true;
      e.until = ToDate(r.until).DateOnly();
    } else if (r.count > 0) {
      // A series of so many occurrences ends on its last one.
      icalrecur_iterator* it = icalrecur_iterator_new(r, start);
      icaltimetype last = start;
      for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t); t = icalrecur_iterator_next(it)) last = t;
      icalrecur_iterator_free(it);
      e.hasUntil = true;
      e.until = ToDate(last).DateOnly();
    }
    if (e.hasUntil && !InYears(e.until.Parts().year)) Refuse(path, line, "the series ends outside the years 1 to 3000");
  }
  return e;
}

}  // namespace

std::vector<IcalEvent> ReadIcalFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError("cannot read " + path);
  std::stringstream buf;
  buf << in.rdbuf();
  const std::string text = buf.str();
  const std::vector<int> eventLines = CheckStructure(path, text);

  icalcomponent* cal = icalparser_parse_string(text.c_str());
  if (!cal) Refuse(path, 1, "not an iCalendar file");
  std::vector<IcalEvent> events;
  try {
    size_t n = 0;
    for (icalcomponent* ev = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); ev;
         ev = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT), ++n) {
      events.push_back(ReadEvent(path, ev, n < eventLines.size() ? eventLines[n] : 1));
    }
  } catch (...) {
    icalcomponent_free(cal);
    throw;
  }
  icalcomponent_free(cal);
  return events;
}

void ApplyEvent(const IcalEvent& e, outlook::AppointmentItem& item) {
  item.SetSubject(e.subject);
  item.SetBody(e.body);
  item.SetLocation(e.location);
  item.SetField(outlook::ApptField::Categories, e.categories);
  item.SetStart(e.start);
  item.SetEnd(e.end);
  item.SetField(outlook::ApptField::AllDayEvent, com::Variant::Boolean(e.allDay));
  item.SetSensitivity(e.sensitivity);
  if (e.recurType >= 0) {
    auto p = item.GetRecurrencePattern();
    p->SetRecurrenceType(e.recurType);
    p->SetInterval(e.interval);
    p->SetDayOfWeekMask(e.dayOfWeekMask);
    p->SetDayOfMonth(e.dayOfMonth);
    p->SetMonthOfYear(e.monthOfYear);
    p->SetPatternStartDate(e.start.DateOnly());
    if (e.hasUntil) p->SetPatternEndDate(e.until);
    else p->SetNoEndDate(true);
  }
  for (const auto& [name, value] : e.userProps) {
    auto prop = item.UserProperties()->Add(name, outlook::olText, true);
    prop->SetValue(value);
  }
}

void WriteIcalFile(const std::string& path, const std::vector<com::Ref<outlook::AppointmentItem>>& items) {
  for (const auto& item : items) {
    const bool endless = !item->IsRecurring() || item->GetRecurrencePattern()->NoEndDate();
    if (!InYears(item->Start().Parts().year) || !InYears(item->End().Parts().year) ||
        (!endless && !InYears(item->GetRecurrencePattern()->PatternEndDate().Parts().year))) {
      throw std::runtime_error("\"" + item->Subject() + "\" on " + com::Variant(item->Start()).ToString() +
                               " lies outside the years 1 to 3000, which a calendar file cannot hold; nothing was "
                               "exported");
    }
  }
  icalcomponent* cal = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
  icalcomponent_add_property(cal, icalproperty_new_version("2.0"));
  icalcomponent_add_property(cal, icalproperty_new_prodid("-//Quorvane//Quorvane 2.2.0.5//EN"));
  const icaltimetype stamp = icaltime_current_time_with_zone(icaltimezone_get_utc_timezone());
  for (const auto& ref : items) {
    outlook::AppointmentItem& item = *ref;
    icalcomponent* ev = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(ev, icalproperty_new_uid((item.EntryID() + "@quorvane").c_str()));
    icalcomponent_add_property(ev, icalproperty_new_dtstamp(stamp));
    if (HasText(item.Subject())) icalcomponent_add_property(ev, icalproperty_new_summary(item.Subject().c_str()));
    const bool allDay = item.AllDayEvent();
    icalcomponent_add_property(ev, icalproperty_new_dtstart(FromDate(item.Start(), allDay)));
    icalcomponent_add_property(ev, icalproperty_new_dtend(FromDate(item.End(), allDay)));
    if (HasText(item.Body())) icalcomponent_add_property(ev, icalproperty_new_description(item.Body().c_str()));
    if (HasText(item.Location())) icalcomponent_add_property(ev, icalproperty_new_location(item.Location().c_str()));
    const std::string categories = item.GetField(outlook::ApptField::Categories).ToString();
    if (HasText(categories)) icalcomponent_add_property(ev, icalproperty_new_categories(categories.c_str()));
    if (item.Sensitivity() == outlook::olPrivate) icalcomponent_add_property(ev, icalproperty_new_class(ICAL_CLASS_PRIVATE));
    if (item.Sensitivity() == outlook::olConfidential) {
      icalcomponent_add_property(ev, icalproperty_new_class(ICAL_CLASS_CONFIDENTIAL));
    }
    if (item.IsRecurring()) {
      auto p = item.GetRecurrencePattern();
      struct icalrecurrencetype r;
      icalrecurrencetype_clear(&r);
      switch (p->RecurrenceType()) {
        case outlook::olRecursDaily: r.freq = ICAL_DAILY_RECURRENCE; break;
        case outlook::olRecursWeekly: r.freq = ICAL_WEEKLY_RECURRENCE; break;
        case outlook::olRecursMonthly: r.freq = ICAL_MONTHLY_RECURRENCE; break;
        default: r.freq = ICAL_YEARLY_RECURRENCE; break;
      }
      r.interval = static_cast<short>(p->Interval());
      if (r.freq == ICAL_WEEKLY_RECURRENCE) {
        int k = 0;
        for (int day = 1; day <= 7; ++day) {
          if (p->DayOfWeekMask() & (1 << (day - 1))) r.by_day[k++] = static_cast<short>(day);
        }
        r.by_day[k] = ICAL_RECURRENCE_ARRAY_MAX;
      }
      if (!p->NoEndDate()) r.until = FromDate(p->PatternEndDate(), true);
      icalcomponent_add_property(ev, icalproperty_new_rrule(r));
    }
    auto props = item.UserProperties();
    for (const auto& [xName, prop] : kMarkers) {
      auto found = props->Find(prop);
      if (found.IsNothing()) continue;
      icalproperty* x = icalproperty_new_x(found->Value().ToString().c_str());
      icalproperty_set_x_name(x, xName);
      icalcomponent_add_property(ev, x);
    }
    icalcomponent_add_component(cal, ev);
  }
  char* text = icalcomponent_as_ical_string_r(cal);
  const std::string content = text ? text : "";
  free(text);
  icalcomponent_free(cal);
  std::string error;
  if (!win32::WriteFileAtomically(path, content, error)) throw std::runtime_error(error);
}

}  // namespace host
