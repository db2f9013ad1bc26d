#include "platform/caldav/event_record.h"

#include <algorithm>
#include <cstdio>

#include "platform/caldav/dav_xml.h"
#include "platform/com/text.h"
#include "platform/ical/ical_file.h"
#include "platform/ical/ical_refused.h"
#include "platform/ical/ical_time.h"
#include "platform/outlook/outlook_enums.h"

namespace caldav {

using mapistore::ItemRecord;
using outlook::ApptField;
using outlook::FieldKind;

namespace {

constexpr const char* kEntryId = "X-QUORVANE-ENTRYID";
constexpr const char* kModified = "X-QUORVANE-MODIFIED";  // milliseconds since 1970, UTC
constexpr const char* kCreated = "X-QUORVANE-CREATED";
constexpr const char* kClass = "X-QUORVANE-MESSAGECLASS";
constexpr const char* kField = "X-QUORVANE-FIELD-";  // + the field's name
constexpr const char* kProp = "X-QUORVANE-PROP";      // name;type;value, in the item's order
constexpr const char* kAttachment = "X-QUORVANE-ATTACHMENT";  // file name;display name
constexpr const char* kRecipient = "X-QUORVANE-RECIPIENT";    // name;address
constexpr const char* kLink = "X-QUORVANE-LINK";
const char* const kMarkers[] = {"OrigEntryId", "HasBeenProcessedQZT"};

// Fields the event's own properties carry.
bool Standard(ApptField f) {
  switch (f) {
    case ApptField::Subject: case ApptField::Body: case ApptField::Location: case ApptField::Start:
    case ApptField::End: case ApptField::AllDayEvent: case ApptField::Floating: case ApptField::Sensitivity:
    case ApptField::BusyStatus: case ApptField::ReminderSet:
      return true;
    default:
      return false;
  }
}

// A value of an X- property: bytes that could end or split it (controls, ";" between parts,
// the escape character itself) as %XX.
std::string Escape(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c < 0x20 || c == 0x7F || c == '%' || c == ';' || c == ',' || c == '\\') {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// The %XX escapes undone, as in a path.
std::string Unescape(const std::string& s) { return UnescapePath(s); }

std::vector<std::string> Parts(const std::string& value) {
  std::vector<std::string> out;
  size_t from = 0;
  for (;;) {
    const size_t semi = value.find(';', from);
    out.push_back(Unescape(value.substr(from, semi - from)));
    if (semi == std::string::npos) return out;
    from = semi + 1;
  }
}

std::string FieldText(const com::Variant& v, FieldKind kind) {
  switch (kind) {
    case FieldKind::Text: return v.ToString();
    case FieldKind::Date: return std::to_string(v.ToDate().UnixMillis());
    case FieldKind::Boolean: return v.ToBool() ? "1" : "0";
    case FieldKind::Long: return std::to_string(v.ToLong());
  }
  return "";
}

com::Variant FieldValue(const std::string& text, FieldKind kind) {
  switch (kind) {
    case FieldKind::Text: return com::Variant(text);
    case FieldKind::Date: return com::Variant(com::Date::FromUnixMillis(std::stoll(text)));
    case FieldKind::Boolean: return com::Variant::Boolean(text == "1");
    case FieldKind::Long: return com::Variant(static_cast<int32_t>(std::stol(text)));
  }
  return {};
}

std::string NormalCategories(const std::string& text) {
  std::string out;
  size_t from = 0;
  while (from < text.size()) {
    const size_t comma = std::min(text.find(',', from), text.size());
    const std::string c = com::Trim(text.substr(from, comma - from));
    if (!c.empty()) out += (out.empty() ? "" : ", ") + c;
    from = comma + 1;
  }
  return out;
}

bool Cancelled(int status) { return status == outlook::olMeetingCanceled || status == outlook::olMeetingReceivedAndCanceled; }

}  // namespace

std::string EventText(const ItemRecord& item, const std::string& uid) {
  ical::IcalEvent e;
  e.uid = uid;
  e.subject = item.Field(ApptField::Subject).ToString();
  e.body = item.Field(ApptField::Body).ToString();
  e.location = item.Field(ApptField::Location).ToString();
  e.categories = item.Field(ApptField::Categories).ToString();
  e.start = item.Field(ApptField::Start).ToDate();
  e.end = item.Field(ApptField::End).ToDate();
  e.allDay = item.Field(ApptField::AllDayEvent).ToBool();
  e.floating = item.Field(ApptField::Floating).ToBool();
  e.sensitivity = item.Field(ApptField::Sensitivity).ToLong();
  e.busyStatus = item.Field(ApptField::BusyStatus).ToLong();
  e.reminderSet = item.Field(ApptField::ReminderSet).ToBool();
  e.reminderMinutes = item.Field(ApptField::ReminderMinutesBeforeStart).ToLong();
  e.cancelled = Cancelled(item.Field(ApptField::MeetingStatus).ToLong());
  if (const auto& r = item.recurrence) {
    ical::Pattern p;
    p.type = r->type, p.interval = r->interval, p.dayOfWeekMask = r->dayOfWeekMask, p.dayOfMonth = r->dayOfMonth;
    p.monthOfYear = r->monthOfYear, p.instance = r->instance, p.occurrences = r->occurrences;
    p.noEndDate = !r->patternEnd;
    if (r->patternEnd) p.patternEnd = *r->patternEnd;
    e.recurrence = p;
    e.exceptions = r->exceptions;
  }
  for (const auto& prop : item.userProps) {
    for (const char* marker : kMarkers) {
      if (prop.name == marker) e.userProps.emplace_back(prop.name, prop.value.ToString());
    }
    e.extras.emplace_back(kProp, Escape(prop.name) + ";" + std::to_string(prop.type) + ";" + Escape(prop.value.ToString()));
  }
  for (const outlook::FieldInfo& f : outlook::StoredFields()) {
    if (Standard(f.id) || item.Field(f.id).IsEmpty()) continue;
    const std::string text = Escape(FieldText(item.Field(f.id), f.kind));
    if (!text.empty()) e.extras.emplace_back(kField + com::ToLower(f.name), text);  // iCalendar has no empty value
  }
  for (const auto& a : item.attachments) e.extras.emplace_back(kAttachment, Escape(a.fileName) + ";" + Escape(a.displayName));
  for (const auto& r : item.recipients) e.extras.emplace_back(kRecipient, Escape(r.name) + ";" + Escape(r.address));
  for (const auto& l : item.links) {
    if (!l.empty()) e.extras.emplace_back(kLink, Escape(l));
  }
  e.extras.emplace_back(kEntryId, item.entryId);
  e.extras.emplace_back(kModified, std::to_string(item.modifiedMs));
  e.extras.emplace_back(kCreated, std::to_string(item.createdMs));
  if (!item.messageClass.empty()) e.extras.emplace_back(kClass, Escape(item.messageClass));
  // Modification times are this computer's time, as the store's clock gives them.
  e.lastModified = ical::LocalInstant(com::Date::FromUnixMillis(item.modifiedMs));
  return ical::CalendarText({e});
}

ServerEvent ReadServerEvent(const std::string& text, const std::string& href) {
  std::vector<ical::IcalEvent> events = ical::ReadIcalText(text, href);
  if (events.size() != 1) throw ical::Refused(href + ": holds " + std::to_string(events.size()) + " events, not one");
  const ical::IcalEvent& e = events.front();
  ServerEvent out;
  out.uid = e.uid;
  ItemRecord& r = out.item;
  int64_t stamped = 0;
  std::string exactCategories;
  try {
    for (const auto& [name, value] : e.extras) {
      const std::string n = com::ToLower(name);
      if (n == com::ToLower(kEntryId)) r.entryId = value;
      else if (n == com::ToLower(kModified)) stamped = std::stoll(value);
      else if (n == com::ToLower(kCreated)) r.createdMs = std::stoll(value);
      else if (n == com::ToLower(kClass)) r.messageClass = Unescape(value);
      else if (n == com::ToLower(kLink)) r.links.push_back(Unescape(value));
      else if (n == com::ToLower(kAttachment)) {
        auto p = Parts(value);
        p.resize(2);
        r.attachments.push_back({p[0], p[1]});
      } else if (n == com::ToLower(kRecipient)) {
        auto p = Parts(value);
        p.resize(2);
        r.recipients.push_back({p[0], p[1]});
      } else if (n == com::ToLower(kProp)) {
        auto p = Parts(value);
        p.resize(3);
        r.userProps.push_back({p[0], std::stoi(p[1]), com::Variant(p[2])});
      } else if (n.rfind(com::ToLower(kField), 0) == 0) {
        if (const outlook::FieldInfo* f = outlook::FindField(n.substr(std::string(kField).size()))) {
          if (f->id == ApptField::Categories) exactCategories = Unescape(value);
          r.fields.Set(f->id, FieldValue(Unescape(value), f->kind));
        }
      }
    }
  } catch (const std::logic_error&) {  // stoll and stoi on a damaged number
    throw ical::Refused(href + ": a damaged X-QUORVANE- property");
  }
  // Another program sees the markers under their own names and may change them there.
  for (const auto& [name, value] : e.userProps) {
    auto it = std::find_if(r.userProps.begin(), r.userProps.end(), [&](const auto& p) { return p.name == name; });
    if (it == r.userProps.end()) r.userProps.push_back({name, outlook::olText, com::Variant(value)});
    else it->value = com::Variant(value);
  }
  r.fields.Set(ApptField::Subject, com::Variant(e.subject));
  r.fields.Set(ApptField::Body, com::Variant(e.body));
  r.fields.Set(ApptField::Location, com::Variant(e.location));
  r.fields.Set(ApptField::Categories, com::Variant(NormalCategories(exactCategories) == e.categories ? exactCategories : e.categories));
  r.fields.Set(ApptField::Start, com::Variant(e.start));
  r.fields.Set(ApptField::End, com::Variant(e.end));
  r.fields.Set(ApptField::AllDayEvent, com::Variant::Boolean(e.allDay));
  r.fields.Set(ApptField::Floating, com::Variant::Boolean(e.floating));
  r.fields.Set(ApptField::Sensitivity, com::Variant(static_cast<int32_t>(e.sensitivity)));
  r.fields.Set(ApptField::BusyStatus, com::Variant(static_cast<int32_t>(e.busyStatus)));
  r.fields.Set(ApptField::ReminderSet, com::Variant::Boolean(e.reminderSet));
  if (e.reminderSet) r.fields.Set(ApptField::ReminderMinutesBeforeStart, com::Variant(static_cast<int32_t>(e.reminderMinutes)));
  const bool wasCancelled = Cancelled(r.Field(ApptField::MeetingStatus).ToLong());
  if (e.cancelled && !wasCancelled) r.fields.Set(ApptField::MeetingStatus, com::Variant(static_cast<int32_t>(outlook::olMeetingCanceled)));
  if (!e.cancelled && wasCancelled) r.fields.Set(ApptField::MeetingStatus, com::Variant(static_cast<int32_t>(outlook::olNonMeeting)));
  if (r.Field(ApptField::GlobalAppointmentID).ToString().empty()) r.fields.Set(ApptField::GlobalAppointmentID, com::Variant(e.uid));
  if (const auto& p = e.recurrence) {
    mapistore::RecurrenceRecord rr;
    rr.type = p->type, rr.interval = p->interval, rr.dayOfWeekMask = p->dayOfWeekMask, rr.dayOfMonth = p->dayOfMonth;
    rr.monthOfYear = p->monthOfYear, rr.instance = p->instance, rr.occurrences = p->occurrences;
    rr.patternStart = e.start.DateOnly();
    if (!p->noEndDate) rr.patternEnd = p->patternEnd;
    rr.exceptions = e.exceptions;
    r.recurrence = rr;
  }
  const int64_t lastModified = e.lastModified ? ical::LocalDate(e.lastModified).UnixMillis() : 0;
  out.modifiedMs = std::max(stamped, lastModified);
  if (!r.createdMs) r.createdMs = out.modifiedMs;
  r.modifiedMs = out.modifiedMs;
  return out;
}

}  // namespace caldav
