#include "platform/ical/ical_time.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace ical {

icaltimezone* LocalZone() {
  static icaltimezone* const zone = [] {
    std::string name;
    if (const char* tz = std::getenv("TZ")) {
      name = tz[0] == ':' ? tz + 1 : tz;
    } else {
      char target[PATH_MAX];
      const ssize_t n = ::readlink("/etc/localtime", target, sizeof target - 1);
      if (n > 0) name.assign(target, static_cast<size_t>(n));
    }
    const size_t under = name.find("zoneinfo/");
    if (under != std::string::npos) name = name.substr(under + 9);
    for (const char* utc : {"", "UTC", "Etc/UTC", "Etc/Universal", "Universal", "Zulu", "Etc/Zulu", "GMT", "Etc/GMT"}) {
      if (name == utc) return static_cast<icaltimezone*>(nullptr);
    }
    return icaltimezone_get_builtin_timezone(name.c_str());
  }();
  return zone;
}

icaltimezone* ResolveZone(icalcomponent* calendar, const char* tzid) {
  if (!tzid) return nullptr;
  if (icaltimezone* own = calendar ? icalcomponent_get_timezone(calendar, tzid) : nullptr) return own;
  if (icaltimezone* named = icaltimezone_get_builtin_timezone(tzid)) return named;
  // libical's own way of naming a system zone ("/freeassociation.sourceforge.net/Europe/Berlin").
  return icaltimezone_get_builtin_timezone_from_tzid(tzid);
}

namespace {

int OffsetAt(icaltimezone* zone, time_t instant) {
  icaltimetype utc = icaltime_from_timet_with_zone(instant, 0, icaltimezone_get_utc_timezone());
  int daylight = 0;
  return icaltimezone_get_utc_offset_of_utc_time(zone, &utc, &daylight);
}

time_t AsIfUtc(icaltimetype t) {
  std::tm parts{};
  parts.tm_year = t.year - 1900, parts.tm_mon = t.month - 1, parts.tm_mday = t.day;
  parts.tm_hour = t.hour, parts.tm_min = t.minute, parts.tm_sec = t.second;
  return timegm(&parts);
}

}  // namespace

time_t Instant(icaltimetype t) {
  if (icaltime_is_utc(t)) return AsIfUtc(t);
  if (!t.zone) return LocalInstant(FromWallTime(t));
  icaltimezone* zone = const_cast<icaltimezone*>(t.zone);
  const time_t wall = AsIfUtc(t);
  // The offsets a day either side: a change between them makes the time repeated or skipped.
  const int before = OffsetAt(zone, wall - 86400), after = OffsetAt(zone, wall + 86400);
  const time_t early = wall - before, late = wall - after;
  const bool earlyHolds = OffsetAt(zone, early) == before, lateHolds = OffsetAt(zone, late) == after;
  if (earlyHolds && lateHolds) return std::min(early, late);
  if (lateHolds) return late;
  return early;  // valid, or in a gap: the offset before it
}

com::Date LocalDate(time_t instant) {
  std::tm local{};
  localtime_r(&instant, &local);
  return com::Date::FromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                              local.tm_sec);
}

time_t LocalInstant(com::Date local) {
  const com::DateParts p = local.Parts();
  std::tm parts{};
  parts.tm_year = p.year - 1900, parts.tm_mon = p.month - 1, parts.tm_mday = p.day;
  parts.tm_hour = p.hour, parts.tm_min = p.minute, parts.tm_sec = p.second;
  parts.tm_isdst = -1;
  return std::mktime(&parts);
}

icaltimetype WallTime(com::Date d, bool dateOnly) {
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

com::Date FromWallTime(icaltimetype t) {
  if (t.is_date) return com::Date::FromParts(t.year, t.month, t.day);
  return com::Date::FromParts(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

}  // namespace ical
