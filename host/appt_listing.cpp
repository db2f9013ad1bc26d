#include "host/appt_listing.h"

#include <cmath>
#include <ostream>

#include "host/appt_options.h"
#include "host/escaped_text.h"
#include "platform/outlook/outlook_enums.h"

namespace host {
namespace {

std::string Json(const std::string& s) { return JsonString(s); }

std::string JsonValue(const com::Variant& v) {
  switch (v.type()) {
    case com::Variant::Type::Boolean: return v.ToBool() ? "true" : "false";
    case com::Variant::Type::Integer:
    case com::Variant::Type::Long: return v.ToString();
    case com::Variant::Type::Double: return std::isfinite(v.ToDouble()) ? v.ToString() : "null";  // JSON has no NaN
    case com::Variant::Type::Date: return Json(IsoText(v.ToDate(), true));
    default: return Json(v.ToString());
  }
}

const char* RecurrenceName(int type) {
  switch (type) {
    case outlook::olRecursDaily: return "daily";
    case outlook::olRecursWeekly: return "weekly";
    case outlook::olRecursMonthly: return "monthly";
    case outlook::olRecursMonthNth: return "monthnth";
    case outlook::olRecursYearly: return "yearly";
    case outlook::olRecursYearNth: return "yearnth";
    default: return "other";
  }
}

}  // namespace

void PrintApptLine(std::ostream& out, outlook::AppointmentItem& item) {
  out << item.EntryID() << "  " << IsoText(item.Start()) << " - " << IsoText(item.End()) << "  "
      << PrintableText(item.Subject());
  if (item.IsRecurring()) {
    auto p = item.GetRecurrencePattern();
    out << "  [" << RecurrenceName(p->RecurrenceType()) << "]";
  }
  auto props = item.UserProperties();
  for (int i = 1; i <= props->Count(); ++i) {
    auto p = props->Item(i);
    out << "  " << PrintableText(p->Name()) << "=" << PrintableText(p->Value().ToString());
  }
  out << "\n";
}

void PrintApptJson(std::ostream& out, outlook::AppointmentItem& item) {
  out << "{\"EntryID\": " << Json(item.EntryID());
  out << ", \"MessageClass\": " << Json(item.MessageClass());
  out << ", \"CreationTime\": " << Json(IsoText(item.CreationTime(), true));
  out << ", \"LastModificationTime\": " << Json(IsoText(item.LastModificationTime(), true));
  for (const auto& f : outlook::StoredFields()) out << ", " << Json(f.name) << ": " << JsonValue(item.GetField(f.id));
  out << ", \"Duration\": " << item.Duration();
  out << ", \"IsRecurring\": " << (item.IsRecurring() ? "true" : "false");
  if (item.IsRecurring()) {
    auto p = item.GetRecurrencePattern();
    out << ", \"Recurrence\": {\"RecurrenceType\": " << Json(RecurrenceName(p->RecurrenceType()))
        << ", \"Interval\": " << p->Interval() << ", \"DayOfWeekMask\": " << p->DayOfWeekMask()
        << ", \"PatternEndDate\": " << (p->NoEndDate() ? "null" : Json(IsoText(p->PatternEndDate())).c_str());
    out << ", \"DayOfMonth\": " << p->DayOfMonth() << ", \"MonthOfYear\": " << p->MonthOfYear()
        << ", \"Instance\": " << p->Instance() << ", \"Occurrences\": " << p->Occurrences()
        << ", \"PatternStartDate\": " << Json(IsoText(p->PatternStartDate()))
        << ", \"NoEndDate\": " << (p->NoEndDate() ? "true" : "false") << ", \"Exceptions\": [";
    auto exceptions = p->Exceptions();
    for (int i = 1; i <= exceptions->Count(); ++i) {
      const outlook::OccurrenceChange c = exceptions->Item(i)->Change();
      out << (i > 1 ? ", " : "") << "{\"OriginalDate\": " << Json(IsoText(c.originalDate))
          << ", \"Deleted\": " << (c.deleted ? "true" : "false");
      if (!c.deleted) {
        out << ", \"Start\": " << Json(IsoText(c.start)) << ", \"End\": " << Json(IsoText(c.end))
            << ", \"Subject\": " << Json(c.subject) << ", \"Location\": " << Json(c.location)
            << ", \"Body\": " << Json(c.body);
      }
      out << "}";
    }
    out << "]}";
  }
  auto atts = item.Attachments();
  out << ", \"Attachments\": [";
  for (int i = 1; i <= atts->Count(); ++i) out << (i > 1 ? ", " : "") << Json(atts->Item(i)->FileName());
  auto recips = item.Recipients();
  out << "], \"Recipients\": [";
  for (int i = 1; i <= recips->Count(); ++i) out << (i > 1 ? ", " : "") << Json(recips->Item(i)->Name());
  auto links = item.Links();
  out << "], \"Links\": [";
  for (int i = 1; i <= links->Count(); ++i) out << (i > 1 ? ", " : "") << Json(links->Item(i)->Name());
  out << "], \"UserProperties\": {";
  auto props = item.UserProperties();
  for (int i = 1; i <= props->Count(); ++i) {
    auto p = props->Item(i);
    out << (i > 1 ? ", " : "") << Json(p->Name()) << ": " << JsonValue(p->Value());
  }
  out << "}}";
}

}  // namespace host
