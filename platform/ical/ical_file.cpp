#include "platform/ical/ical_file.h"

#include <libical/ical.h>

#include <map>
#include <memory>

#include "platform/ical/ical_source.h"
#include "platform/ical/ical_text.h"
#include "platform/ical/ical_time.h"
#include "platform/ical/ical_refused.h"
#include "platform/com/text.h"
#include "platform/outlook/outlook_enums.h"
#include "platform/win32/atomic_file.h"

namespace ical {
namespace {

// The two markers travel as X- properties, so an export and a re-import keep the links.
const std::pair<const char*, const char*> kMarkers[] = {{"X-QUORVANE-ORIGENTRYID", "OrigEntryId"},
                                                        {"X-QUORVANE-HASBEENPROCESSEDQZT", "HasBeenProcessedQZT"}};
// Sensitivity "personal" has no CLASS of its own: it is written as PRIVATE and this beside it.
constexpr const char* kPersonal = "X-QUORVANE-SENSITIVITY";
// Busy states beside free and busy, as other programs write them too.
constexpr const char* kBusyStatus = "X-MICROSOFT-CDO-BUSYSTATUS";
// What a text held before it was made fit for the file (see ical_text.h), by property name.
constexpr const char* kOriginal = "X-QUORVANE-ORIGINAL-";
constexpr const char* kOwn = "X-QUORVANE-";
// Occurrences compared between a file's rule and the pattern made of it: more than a year of a daily
// series, so both daylight-saving changes are among them.
constexpr size_t kCompared = 400;

// The library writes zeros for a date outside these years, so no such date comes in or goes out:
// a file imports again as it was exported.
constexpr int kFirstYear = 1, kLastYear = 3000;
// The last year libical's recurrence arithmetic reaches.
constexpr int kLibicalLastYear = 2582;

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
  return text.size() >= prefix.size() && com::EqualsNoCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

bool InYears(int year) { return year >= kFirstYear && year <= kLastYear; }

bool Valid(icaltimetype t) {
  if (!InYears(t.year)) return false;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > icaltime_days_in_month(t.month, t.year)) return false;
  return t.is_date || (t.hour < 24 && t.minute < 60 && t.second < 61);
}

std::string Text(const char* s) { return s ? s : ""; }

using Calendar = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

// Reads the events of one file.
class Reader {
 public:
  Reader(std::string path, const IcalSource& src, bool simplify)
      : path_(std::move(path)), src_(src), simplify_(simplify) {}

  [[noreturn]] void Refuse(int line, const std::string& why) const {
    throw Refused(path_ + ", line " + std::to_string(line) + ": " + why + "; nothing was imported");
  }

  // What the object model cannot hold: refused, or when simplifying noted and let go.
  void CannotKeep(IcalEvent& e, int line, const std::string& what) const {
    if (!simplify_) {
      Refuse(line, "the event cannot be kept as it is: " + what + " (--flatten-unsupported imports it without that)");
    }
    e.simplified.push_back(what);
  }

  // A time property's value with its zone resolved.
  icaltimetype TimeOf(icalproperty* p, icalcomponent* cal, size_t index, const char* name, icaltimetype t) const {
    if (icaltime_is_utc(t) || t.is_date) return t;
    if (icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER)) {
      const std::string id = Text(icalparameter_get_tzid(tzid));
      t.zone = ResolveZone(cal, id.c_str());
      if (!t.zone) Refuse(src_.LineOf(index, name, id), "the time zone \"" + id + "\" is unknown");
    }
    return t;
  }

  static com::Date Local(icaltimetype t) { return t.is_date || !t.zone ? FromWallTime(t) : LocalDate(Instant(t)); }

  // DTSTART and DTEND (or DURATION) of a component; false when it has no DTSTART.
  bool ReadTimes(IcalEvent& e, icalcomponent* ev, icalcomponent* cal, size_t index, icaltimetype* startOut) const {
    icalproperty* sp = icalcomponent_get_first_property(ev, ICAL_DTSTART_PROPERTY);
    if (!sp) return false;
    const icaltimetype start = TimeOf(sp, cal, index, "DTSTART", icalproperty_get_dtstart(sp));
    const int line = src_.LineOf(index, "DTSTART");
    if (icaltime_is_null_time(start) || !Valid(start)) Refuse(line, "DTSTART is no date");
    e.allDay = start.is_date;
    e.floating = !start.is_date && !start.zone && !icaltime_is_utc(start);
    e.start = Local(start);
    if (icalproperty* ep = icalcomponent_get_first_property(ev, ICAL_DTEND_PROPERTY)) {
      const icaltimetype end = TimeOf(ep, cal, index, "DTEND", icalproperty_get_dtend(ep));
      if (icaltime_is_null_time(end) || !Valid(end)) Refuse(src_.LineOf(index, "DTEND"), "DTEND is no date");
      // An all-day appointment has no end time of its own to keep: it would not export as it came in.
      if (end.is_date != start.is_date) Refuse(line, "DTSTART and DTEND are not both dates or both times");
      e.end = Local(end);
    } else if (icalproperty* dp = icalcomponent_get_first_property(ev, ICAL_DURATION_PROPERTY)) {
      const int seconds = icaldurationtype_as_int(icalproperty_get_duration(dp));
      e.end = e.allDay ? e.start.AddDays(seconds / 86400) : LocalDate(Instant(start) + seconds);
    } else {
      e.end = e.allDay ? e.start.AddDays(1) : e.start;
    }
    if (e.end < e.start) Refuse(line, "the event ends before it starts");
    if (startOut) *startOut = start;
    return true;
  }

  std::string TextOf(icalcomponent* ev, icalproperty_kind kind) const {
    icalproperty* p = icalcomponent_get_first_property(ev, kind);
    if (!p) return "";
    const std::string text = Text(icalvalue_get_text(icalproperty_get_value(p)));
    const std::string original = kOriginal + Text(icalproperty_kind_to_string(kind));
    for (icalproperty* x = icalcomponent_get_first_property(ev, ICAL_X_PROPERTY); x;
         x = icalcomponent_get_next_property(ev, ICAL_X_PROPERTY)) {
      if (!com::EqualsNoCase(Text(icalproperty_get_x_name(x)), original)) continue;
      if (auto back = Original(Text(icalproperty_get_x(x)), text)) return *back;
    }
    return text;
  }

  void ReadTexts(IcalEvent& e, icalcomponent* ev) const {
    e.subject = TextOf(ev, ICAL_SUMMARY_PROPERTY);
    e.body = TextOf(ev, ICAL_DESCRIPTION_PROPERTY);
    e.location = TextOf(ev, ICAL_LOCATION_PROPERTY);
  }

  void ReadAlarm(IcalEvent& e, icalcomponent* ev, int line) const {
    for (icalcomponent* a = icalcomponent_get_first_component(ev, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(ev, ICAL_VALARM_COMPONENT)) {
      icalproperty* action = icalcomponent_get_first_property(a, ICAL_ACTION_PROPERTY);
      // An alarm that does nothing (RFC 9074), which some programs write for every event.
      if (action && com::EqualsNoCase(Text(icalproperty_get_value_as_string(action)), "NONE")) continue;
      icalproperty* trigger = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
      const icaltriggertype t = trigger ? icalproperty_get_trigger(trigger) : icaltriggertype{};
      icalparameter* related = trigger ? icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER) : nullptr;
      const int seconds = icaldurationtype_as_int(t.duration);
      if (e.reminderSet) {
        CannotKeep(e, line, "a second alarm");
      } else if (!trigger || !icaltime_is_null_time(t.time) || seconds > 0 ||
                 (related && icalparameter_get_related(related) == ICAL_RELATED_END)) {
        CannotKeep(e, line, "an alarm that is not a time before the start");
      } else {
        e.reminderSet = true;
        e.reminderMinutes = -seconds / 60;
      }
    }
  }

  void ReadProperties(IcalEvent& e, icalcomponent* ev) const {
    e.uid = Text(icalcomponent_get_uid(ev));
    ReadTexts(e, ev);
    for (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(ev, ICAL_CATEGORIES_PROPERTY)) {
      e.categories += (e.categories.empty() ? "" : ", ") + Text(icalproperty_get_categories(p));
    }
    if (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_CLASS_PROPERTY)) {
      const icalproperty_class c = icalproperty_get_class(p);
      if (c == ICAL_CLASS_PRIVATE) e.sensitivity = outlook::olPrivate;
      if (c == ICAL_CLASS_CONFIDENTIAL) e.sensitivity = outlook::olConfidential;
    }
    if (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_TRANSP_PROPERTY)) {
      if (icalproperty_get_transp(p) == ICAL_TRANSP_TRANSPARENT) e.busyStatus = outlook::olFree;
    }
    e.cancelled = icalcomponent_get_status(ev) == ICAL_STATUS_CANCELLED;
    if (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_LASTMODIFIED_PROPERTY)) {
      e.lastModified = Instant(icalproperty_get_lastmodified(p));
    }
    for (icalproperty* p = icalcomponent_get_first_property(ev, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(ev, ICAL_X_PROPERTY)) {
      const std::string name = Text(icalproperty_get_x_name(p)), value = Text(icalproperty_get_x(p));
      bool known = com::EqualsNoCase(name, kPersonal) || com::EqualsNoCase(name, kBusyStatus) ||
                   StartsWithNoCase(name, kOriginal);
      for (const auto& [xName, prop] : kMarkers) {
        if (com::EqualsNoCase(name, xName)) e.userProps.emplace_back(prop, value), known = true;
      }
      if (!known && StartsWithNoCase(name, kOwn)) e.extras.emplace_back(name, value);
      if (com::EqualsNoCase(name, kPersonal) && value == "1" && e.sensitivity == outlook::olPrivate) {
        e.sensitivity = outlook::olPersonal;
      }
      // Tentative and away are kept when TRANSP agrees that the time is taken.
      if (com::EqualsNoCase(name, kBusyStatus) && e.busyStatus != outlook::olFree) {
        if (com::EqualsNoCase(value, "TENTATIVE")) e.busyStatus = outlook::olTentative;
        if (com::EqualsNoCase(value, "OOF")) e.busyStatus = outlook::olOutOfOffice;
      }
    }
  }

  // A series the pattern cannot hold comes in, when simplifying, as its first occurrence alone.
  void ReadRecurrence(IcalEvent& e, icalcomponent* ev, icalcomponent* cal, size_t index, icaltimetype dtstart) const {
    for (icalproperty_kind kind : {ICAL_RDATE_PROPERTY, ICAL_EXRULE_PROPERTY}) {
      if (icalcomponent_get_first_property(ev, kind)) {
        return CannotKeep(e, src_.LineOf(index, icalproperty_kind_to_string(kind)),
                          std::string("its repetition (dates given by ") + icalproperty_kind_to_string(kind) + ")");
      }
    }
    icalproperty* rp = icalcomponent_get_first_property(ev, ICAL_RRULE_PROPERTY);
    if (!rp) return;
    const int ruleLine = src_.LineOf(index, "RRULE");
    if (icalcomponent_get_next_property(ev, ICAL_RRULE_PROPERTY)) {
      return CannotKeep(e, ruleLine, "its repetition (a second RRULE)");
    }
    icalrecurrencetype rule = icalproperty_get_rrule(rp);
    if (!icaltime_is_null_time(rule.until) && !Valid(rule.until)) {
      Refuse(ruleLine, "the series ends outside the years 1 to 3000");
    }
    // A date as the end of a series of times (as older versions of this program wrote it) ends
    // it with that day, as people mean it; libical alone would stop at its first moment.
    if (!icaltime_is_null_time(rule.until) && rule.until.is_date && !dtstart.is_date) {
      rule.until.is_date = 0;
      rule.until.hour = 23, rule.until.minute = 59, rule.until.second = 59;
      rule.until.zone = dtstart.zone;
    }
    std::string why;
    std::optional<Pattern> p = PatternOf(rule, e.start, why);
    const bool finite = rule.count > 0 || !icaltime_is_null_time(rule.until);
    const std::vector<com::Date> theirs = Occurrences(rule, dtstart, finite ? SIZE_MAX : kCompared);
    if (p && (theirs.empty() || theirs.front() != e.start)) {
      p.reset();
      why = "a start that is not one of the rule's occurrences";
    }
    // libical counts no occurrence past its last year: a series it stops short cannot be kept.
    if (p && finite &&
        (rule.count > 0 ? theirs.size() < static_cast<size_t>(rule.count) : rule.until.year > kLibicalLastYear)) {
      CannotKeep(e, ruleLine, "its repetition (occurrences after the year " + std::to_string(kLibicalLastYear) + ")");
      return;
    }
    if (p && finite) {
      p->patternEnd = theirs.back().DateOnly();
      if (!InYears(p->patternEnd.Parts().year)) Refuse(ruleLine, "the series ends outside the years 1 to 3000");
    }
    if (p) {
      const std::vector<com::Date> ours = Occurrences(*p, e.start, e.allDay, kCompared);
      const size_t n = std::min(kCompared, theirs.size());
      if (ours.size() != n || !std::equal(ours.begin(), ours.end(), theirs.begin())) {
        p.reset();
        why = "occurrences that this computer's time zone or week would move (" +
              Text(icalrecurrencetype_as_string(const_cast<icalrecurrencetype*>(&rule))) + ")";
      }
    }
    if (!p) {
      CannotKeep(e, ruleLine, "its repetition (" + why + ")");
      return;
    }
    e.recurrence = p;
    for (icalproperty* x = icalcomponent_get_first_property(ev, ICAL_EXDATE_PROPERTY); x;
         x = icalcomponent_get_next_property(ev, ICAL_EXDATE_PROPERTY)) {
      const icaltimetype t = TimeOf(x, cal, index, "EXDATE", icalproperty_get_exdate(x));
      if (!Valid(t)) Refuse(src_.LineOf(index, "EXDATE"), "EXDATE is no date");
      outlook::OccurrenceChange c;
      c.originalDate = Local(t);
      c.deleted = true;
      AddChange(e, c);
    }
  }

  static void AddChange(IcalEvent& e, const outlook::OccurrenceChange& c) {
    auto at = std::find_if(e.exceptions.begin(), e.exceptions.end(),
                           [&](const outlook::OccurrenceChange& x) { return !(x.originalDate < c.originalDate); });
    if (at != e.exceptions.end() && at->originalDate == c.originalDate)
      *at = c;
    else
      e.exceptions.insert(at, c);
  }

  IcalEvent ReadEvent(icalcomponent* ev, icalcomponent* cal, size_t index) const {
    IcalEvent e;
    e.line = src_.EventLine(index);
    if (icalproperty* err = icalcomponent_get_first_property(ev, ICAL_XLICERROR_PROPERTY)) {
      Refuse(e.line, std::string("the event is malformed (") + Text(icalproperty_get_xlicerror(err)) + ")");
    }
    icaltimetype dtstart;
    if (!ReadTimes(e, ev, cal, index, &dtstart)) Refuse(e.line, "the event has no DTSTART");
    ReadProperties(e, ev);
    ReadAlarm(e, ev, e.line);
    ReadRecurrence(e, ev, cal, index, dtstart);
    return e;
  }

  // An occurrence of a series given times or texts of its own (RECURRENCE-ID).
  void ReadOverride(IcalEvent& master, icalcomponent* ev, icalcomponent* cal, size_t index) const {
    const int line = src_.EventLine(index);
    icalproperty* rid = icalcomponent_get_first_property(ev, ICAL_RECURRENCEID_PROPERTY);
    if (icalproperty_get_first_parameter(rid, ICAL_RANGE_PARAMETER)) {
      CannotKeep(master, line, "a change to an occurrence and all after it (RANGE)");
      return;
    }
    if (!master.recurrence) {
      CannotKeep(master, line, "a changed occurrence of a series that is not kept as one");
      return;
    }
    const icaltimetype original = TimeOf(rid, cal, index, "RECURRENCE-ID", icalproperty_get_recurrenceid(rid));
    if (!Valid(original)) Refuse(src_.LineOf(index, "RECURRENCE-ID"), "RECURRENCE-ID is no date");
    IcalEvent o;
    if (!ReadTimes(o, ev, cal, index, nullptr)) Refuse(line, "the changed occurrence has no DTSTART");
    outlook::OccurrenceChange c;
    c.originalDate = Local(original);
    c.deleted = icalcomponent_get_status(ev) == ICAL_STATUS_CANCELLED;
    if (!c.deleted) {
      ReadProperties(o, ev);
      c.start = o.start, c.end = o.end, c.subject = o.subject, c.location = o.location, c.body = o.body;
      // An exception holds its own times and texts only.
      if (o.busyStatus != master.busyStatus || o.sensitivity != master.sensitivity ||
          o.categories != master.categories) {
        CannotKeep(master, line, "a changed occurrence's own busy state, class or categories");
      }
    }
    AddChange(master, c);
  }

  std::vector<IcalEvent> ReadAll(icalcomponent* root) const {
    std::vector<std::pair<icalcomponent*, icalcomponent*>> found;  // event, its calendar
    auto collect = [&](icalcomponent* cal) {
      for (icalcomponent* ev = icalcomponent_get_first_component(cal, ICAL_VEVENT_COMPONENT); ev;
           ev = icalcomponent_get_next_component(cal, ICAL_VEVENT_COMPONENT)) {
        found.emplace_back(ev, cal);
      }
    };
    if (icalcomponent_isa(root) == ICAL_XROOT_COMPONENT) {
      for (icalcomponent* cal = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT); cal;
           cal = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
        collect(cal);
      }
    } else {
      collect(root);
    }
    if (found.size() != src_.events.size()) Refuse(1, "the calendar's events cannot all be read");
    std::vector<IcalEvent> events;
    std::map<std::string, size_t> byUid;
    for (size_t i = 0; i < found.size(); ++i) {
      if (icalcomponent_get_first_property(found[i].first, ICAL_RECURRENCEID_PROPERTY)) continue;
      IcalEvent e = ReadEvent(found[i].first, found[i].second, i);
      if (!e.uid.empty()) {
        auto [at, added] = byUid.emplace(e.uid, events.size());
        if (!added) {
          Refuse(e.line, "UID \"" + e.uid + "\" is that of the event on line " +
                             std::to_string(events[at->second].line) + " too");
        }
      }
      events.push_back(std::move(e));
    }
    for (size_t i = 0; i < found.size(); ++i) {
      if (!icalcomponent_get_first_property(found[i].first, ICAL_RECURRENCEID_PROPERTY)) continue;
      auto master = byUid.find(Text(icalcomponent_get_uid(found[i].first)));
      if (master != byUid.end()) {
        ReadOverride(events[master->second], found[i].first, found[i].second, i);
      } else {
        // An occurrence whose series is not in the file: an appointment of its own.
        events.push_back(ReadEvent(found[i].first, found[i].second, i));
      }
    }
    return events;
  }

 private:
  std::string path_;
  const IcalSource& src_;
  bool simplify_;
};

// ---- writing

struct Writer {
  icalcomponent* cal;
  bool zoneAdded = false;
  std::vector<std::string>* notes;

  void AddText(icalcomponent* ev, icalproperty_kind kind, const std::string& value, const std::string& who) {
    // The library drops spaces around a value as it reads, and refuses an event with an empty one.
    if (value.find_first_not_of(" \t") == std::string::npos) return;
    bool notUtf8 = false;
    const std::string clean = CleanText(value, notUtf8);
    if (notUtf8 && notes) notes->push_back(who + ": text that is not UTF-8 written with U+FFFD in its place");
    icalproperty* p = icalproperty_new(kind);
    icalproperty_set_value(p, icalvalue_new_text(clean.c_str()));
    icalcomponent_add_property(ev, p);
    if (auto original = EscapedOriginal(value))
      AddX(ev, kOriginal + Text(icalproperty_kind_to_string(kind)), *original);
  }

  static void AddUid(icalcomponent* ev, const std::string& uid, const icaltimetype& stamp) {
    bool notUtf8 = false;
    icalcomponent_add_property(ev, icalproperty_new_uid(CleanText(uid, notUtf8).c_str()));
    icalcomponent_add_property(ev, icalproperty_new_dtstamp(stamp));
  }

  static void AddX(icalcomponent* ev, const std::string& name, const std::string& value) {
    icalproperty* x = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(x, name.c_str());
    icalcomponent_add_property(ev, x);
  }

  // A time as the event's start is written: a date, floating, in this computer's zone, or UTC.
  icaltimetype Value(com::Date d, const IcalEvent& e, std::string& tzid) {
    tzid.clear();
    if (e.allDay || e.floating) return WallTime(d, e.allDay);
    if (icaltimezone* zone = LocalZone()) {
      AddZone(zone);
      tzid = Text(icaltimezone_get_location(zone));  // the library's own buffer: copied at once
      return WallTime(d, false);
    }
    return icaltime_from_timet_with_zone(LocalInstant(d), 0, icaltimezone_get_utc_timezone());
  }

  void AddTime(icalcomponent* ev, icalproperty_kind kind, com::Date d, const IcalEvent& e) {
    std::string tzid;
    const icaltimetype t = Value(d, e, tzid);
    icalproperty* p = icalproperty_new(kind);
    icalproperty_set_value(p, e.allDay ? icalvalue_new_date(t) : icalvalue_new_datetime(t));
    if (!tzid.empty()) icalproperty_add_parameter(p, icalparameter_new_tzid(tzid.c_str()));
    icalcomponent_add_property(ev, p);
  }

  void AddZone(icaltimezone* zone) {
    if (zoneAdded) return;
    zoneAdded = true;
    icalcomponent* vtz = icalcomponent_new_clone(icaltimezone_get_component(zone));
    // Known by the zone database's name, as the times name it.
    icalproperty* id = icalcomponent_get_first_property(vtz, ICAL_TZID_PROPERTY);
    const std::string name = Text(icaltimezone_get_location(zone));
    icalproperty_set_tzid(id, name.c_str());
    icalcomponent_add_component(cal, vtz);
  }

  // Categories, class and busy state: the series' own, which its changed occurrences share, and
  // say so, or a reader takes them for occurrences of their own.
  void AddStates(icalcomponent* ev, const IcalEvent& e, const std::string& who) {
    size_t from = 0;
    while (from < e.categories.size()) {
      const size_t comma = std::min(e.categories.find(',', from), e.categories.size());
      AddText(ev, ICAL_CATEGORIES_PROPERTY, com::Trim(e.categories.substr(from, comma - from)), who);
      from = comma + 1;
    }
    if (e.sensitivity == outlook::olPrivate || e.sensitivity == outlook::olPersonal) {
      icalcomponent_add_property(ev, icalproperty_new_class(ICAL_CLASS_PRIVATE));
    }
    if (e.sensitivity == outlook::olPersonal) AddX(ev, kPersonal, "1");
    if (e.sensitivity == outlook::olConfidential)
      icalcomponent_add_property(ev, icalproperty_new_class(ICAL_CLASS_CONFIDENTIAL));
    icalcomponent_add_property(
        ev, icalproperty_new_transp(e.busyStatus == outlook::olFree ? ICAL_TRANSP_TRANSPARENT : ICAL_TRANSP_OPAQUE));
    if (e.busyStatus == outlook::olTentative) AddX(ev, kBusyStatus, "TENTATIVE");
    if (e.busyStatus == outlook::olOutOfOffice) AddX(ev, kBusyStatus, "OOF");
  }

  icalcomponent* Event(const IcalEvent& e, const icaltimetype& stamp) {
    const std::string who = "\"" + e.subject + "\"";
    icalcomponent* ev = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    AddUid(ev, e.uid, stamp);
    AddText(ev, ICAL_SUMMARY_PROPERTY, e.subject, who);
    AddTime(ev, ICAL_DTSTART_PROPERTY, e.start, e);
    AddTime(ev, ICAL_DTEND_PROPERTY, e.end, e);
    AddText(ev, ICAL_DESCRIPTION_PROPERTY, e.body, who);
    AddText(ev, ICAL_LOCATION_PROPERTY, e.location, who);
    AddStates(ev, e, who);
    if (e.cancelled) icalcomponent_add_property(ev, icalproperty_new_status(ICAL_STATUS_CANCELLED));
    if (e.reminderSet) {
      icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
      icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
      icaltriggertype trigger{icaltime_null_time(), icaldurationtype_from_int(-60 * e.reminderMinutes)};
      icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
      icalcomponent_add_property(alarm, icalproperty_new_description("Reminder"));
      icalcomponent_add_component(ev, alarm);
    }
    if (e.recurrence) AddRecurrence(ev, e);
    bool notUtf8 = false;
    for (const auto& [name, value] : e.userProps) {
      for (const auto& [xName, prop] : kMarkers) {
        if (name == prop) AddX(ev, xName, CleanText(value, notUtf8));
      }
    }
    for (const auto& [name, value] : e.extras) AddX(ev, name, value);
    if (e.lastModified) {
      icalcomponent_add_property(
          ev, icalproperty_new_lastmodified(icaltime_from_timet_with_zone(e.lastModified, 0, icaltimezone_get_utc_timezone())));
    }
    return ev;
  }

  void AddRecurrence(icalcomponent* ev, const IcalEvent& e) {
    const Pattern& p = *e.recurrence;
    // UNTIL is of DTSTART's type, and in UTC when DTSTART has a zone: the last day's occurrence.
    const com::DateParts s = e.start.Parts();
    const com::DateParts last = p.patternEnd.Parts();
    const com::Date lastStart = com::Date::FromParts(last.year, last.month, last.day, s.hour, s.minute, s.second);
    icaltimetype until = WallTime(lastStart, e.allDay);
    if (!e.allDay && !e.floating) {
      until = icaltime_from_timet_with_zone(LocalInstant(lastStart), 0, icaltimezone_get_utc_timezone());
    }
    icalcomponent_add_property(ev, icalproperty_new_rrule(icalrecurrencetype_from_string(RuleText(p, until).c_str())));
    for (const outlook::OccurrenceChange& c : e.exceptions) {
      if (c.deleted) AddTime(ev, ICAL_EXDATE_PROPERTY, c.originalDate, e);
    }
  }

  // Each changed occurrence as an event of its own with the series' UID.
  void AddOverrides(const IcalEvent& e, const icaltimetype& stamp) {
    for (const outlook::OccurrenceChange& c : e.exceptions) {
      if (c.deleted) continue;
      const std::string who = "\"" + c.subject + "\"";
      icalcomponent* ov = icalcomponent_new(ICAL_VEVENT_COMPONENT);
      AddUid(ov, e.uid, stamp);
      AddTime(ov, ICAL_RECURRENCEID_PROPERTY, c.originalDate, e);
      AddText(ov, ICAL_SUMMARY_PROPERTY, c.subject, who);
      AddTime(ov, ICAL_DTSTART_PROPERTY, c.start, e);
      AddTime(ov, ICAL_DTEND_PROPERTY, c.end, e);
      AddText(ov, ICAL_DESCRIPTION_PROPERTY, c.body, who);
      AddText(ov, ICAL_LOCATION_PROPERTY, c.location, who);
      AddStates(ov, e, who);
      icalcomponent_add_component(cal, ov);
    }
  }
};

}  // namespace

std::vector<IcalEvent> ReadIcalFile(const std::string& path, bool simplify) {
  return ReadIcalText(ReadIcalSource(path).text, path, simplify);
}

std::vector<IcalEvent> ReadIcalText(std::string text, const std::string& name, bool simplify) {
  const IcalSource src = ParseIcalSource(std::move(text), name);
  Reader reader(name, src, simplify);
  Calendar cal(icalparser_parse_string(src.text.c_str()), icalcomponent_free);
  if (!cal) reader.Refuse(1, "not an iCalendar file");
  return reader.ReadAll(cal.get());
}

void ApplyEvent(const IcalEvent& e, outlook::AppointmentItem& item) {
  using outlook::ApptField;
  item.SetSubject(e.subject);
  item.SetBody(e.body);
  item.SetLocation(e.location);
  item.SetField(ApptField::Categories, e.categories);
  item.SetStart(e.start);
  item.SetEnd(e.end);
  item.SetField(ApptField::AllDayEvent, com::Variant::Boolean(e.allDay));
  item.SetField(ApptField::Floating, com::Variant::Boolean(e.floating));
  item.SetSensitivity(e.sensitivity);
  item.SetField(ApptField::BusyStatus, int32_t{e.busyStatus});
  item.SetField(ApptField::ReminderSet, com::Variant::Boolean(e.reminderSet));
  if (e.reminderSet) item.SetField(ApptField::ReminderMinutesBeforeStart, int32_t{e.reminderMinutes});
  const int status = item.GetField(ApptField::MeetingStatus).ToLong();
  const bool wasCancelled = status == outlook::olMeetingCanceled || status == outlook::olMeetingReceivedAndCanceled;
  if (e.cancelled && !wasCancelled) item.SetField(ApptField::MeetingStatus, int32_t{outlook::olMeetingCanceled});
  if (!e.cancelled && wasCancelled) item.SetField(ApptField::MeetingStatus, int32_t{outlook::olNonMeeting});
  if (!e.uid.empty()) item.SetField(ApptField::GlobalAppointmentID, e.uid);
  item.ClearRecurrencePattern();
  if (const auto& r = e.recurrence) {
    auto p = item.GetRecurrencePattern();
    p->SetRecurrenceType(r->type);
    p->SetInterval(r->interval);
    p->SetDayOfWeekMask(r->dayOfWeekMask);
    p->SetDayOfMonth(r->dayOfMonth);
    p->SetMonthOfYear(r->monthOfYear);
    if (r->instance) p->SetInstance(r->instance);
    p->SetPatternStartDate(e.start.DateOnly());
    if (r->noEndDate)
      p->SetNoEndDate(true);
    else
      p->SetPatternEndDate(r->patternEnd);
    if (r->occurrences) p->SetOccurrences(r->occurrences);
    for (const outlook::OccurrenceChange& c : e.exceptions) p->ChangeOccurrence(c);
  }
  for (const auto& [name, value] : e.userProps) {
    auto prop = item.UserProperties()->Add(name, outlook::olText, true);
    prop->SetValue(value);
  }
}

IcalEvent EventOf(outlook::AppointmentItem& item) {
  using outlook::ApptField;
  IcalEvent e;
  e.uid = item.GetField(ApptField::GlobalAppointmentID).ToString();
  if (e.uid.empty()) e.uid = item.EntryID() + "@quorvane";
  e.subject = item.Subject();
  e.body = item.Body();
  e.location = item.Location();
  e.categories = item.GetField(ApptField::Categories).ToString();
  e.start = item.Start();
  e.end = item.End();
  e.allDay = item.AllDayEvent();
  e.floating = item.GetField(ApptField::Floating).ToBool();
  e.sensitivity = item.Sensitivity();
  e.busyStatus = item.GetField(ApptField::BusyStatus).ToLong();
  e.reminderSet = item.GetField(ApptField::ReminderSet).ToBool();
  if (e.reminderSet) e.reminderMinutes = item.GetField(ApptField::ReminderMinutesBeforeStart).ToLong();
  const int status = item.GetField(ApptField::MeetingStatus).ToLong();
  e.cancelled = status == outlook::olMeetingCanceled || status == outlook::olMeetingReceivedAndCanceled;
  if (item.IsRecurring()) {
    auto p = item.GetRecurrencePattern();
    e.recurrence = ReadPattern(*p);
    e.exceptions = ReadChanges(*p);
  }
  auto props = item.UserProperties();
  for (const auto& [xName, prop] : kMarkers) {
    auto found = props->Find(prop);
    if (!found.IsNothing()) e.userProps.emplace_back(prop, found->Value().ToString());
  }
  return e;
}

void WriteIcalFile(const std::string& path, const std::vector<com::Ref<outlook::AppointmentItem>>& items,
                   std::vector<std::string>* notes) {
  std::vector<IcalEvent> events;
  for (const auto& item : items) events.push_back(EventOf(*item));
  WriteIcalFile(path, events, notes);
}

void WriteIcalFile(const std::string& path, const std::vector<IcalEvent>& events, std::vector<std::string>* notes) {
  for (const IcalEvent& e : events) {
    const bool endless = !e.recurrence || e.recurrence->noEndDate;
    if (!InYears(e.start.Parts().year) || !InYears(e.end.Parts().year) ||
        (!endless && !InYears(e.recurrence->patternEnd.Parts().year))) {
      throw std::runtime_error("\"" + e.subject + "\" on " + com::Variant(e.start).ToString() +
                               " lies outside the years 1 to 3000, which a calendar file cannot hold; nothing was "
                               "exported");
    }
  }
  std::string error;
  if (!win32::WriteFileAtomically(path, CalendarText(events, notes), error)) throw std::runtime_error(error);
}

std::string CalendarText(const std::vector<IcalEvent>& events, std::vector<std::string>* notes) {
  icalcomponent* cal = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
  Calendar owner(cal, icalcomponent_free);
  icalcomponent_add_property(cal, icalproperty_new_version("2.0"));
  icalcomponent_add_property(cal, icalproperty_new_prodid("-//Quorvane//Quorvane 2.2.0.5//EN"));
  const icaltimetype stamp = icaltime_current_time_with_zone(icaltimezone_get_utc_timezone());
  Writer w{cal, false, notes};
  for (const IcalEvent& e : events) {
    icalcomponent_add_component(cal, w.Event(e, stamp));
    w.AddOverrides(e, stamp);
  }
  char* text = icalcomponent_as_ical_string_r(cal);
  const std::string content = text ? text : "";
  free(text);
  return content;
}

}  // namespace ical
