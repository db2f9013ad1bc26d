// The calendar-file import on arbitrary text: the file is read and checked whole, then each
// event becomes an appointment in a real store, as the import command does. Reading may refuse
// the file (ical::Refused) and the store may refuse an item (ComError); anything else escaping
// would skip the import's undo and leave half a file imported. A saved appointment must read
// back with the times and subject it was given, and come back the same through an export and a
// new import, as a user moving a calendar between machines does. A text with control characters
// or blanks at its ends comes back through the original the export writes beside it; a text
// that is not UTF-8 cannot come in at all.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "fuzz/scratch_store.h"
#include "platform/ical/ical_file.h"
#include "platform/ical/ical_refused.h"
#include "platform/com/com_error.h"
#include "platform/outlook/outlook_enums.h"

namespace {

std::string Describe(const ical::IcalEvent& e) {
  std::string out = "subject \"" + e.subject + "\", location \"" + e.location + "\", body \"" + e.body + "\"";
  out += ", start " + std::to_string(e.start.UnixMillis()) + ", end " + std::to_string(e.end.UnixMillis());
  out += ", all day " + std::to_string(e.allDay) + ", sensitivity " + std::to_string(e.sensitivity);
  if (const auto& r = e.recurrence) {
    out += ", repeats " + std::to_string(r->type) + " every " + std::to_string(r->interval) + " on " +
           std::to_string(r->dayOfWeekMask) + (r->noEndDate ? "" : " until " + std::to_string(r->patternEnd.UnixMillis()));
  }
  for (const auto& [name, value] : e.userProps) out += ", " + name + " \"" + value + "\"";
  return out;
}

void Check(bool ok, const char* what, const ical::IcalEvent& e, const ical::IcalEvent* again = nullptr) {
  if (ok) return;
  std::fprintf(stderr, "the event of line %d does not read back: %s\n  imported: %s\n", e.line, what,
               Describe(e).c_str());
  if (again) std::fprintf(stderr, "  exported and imported again: %s\n", Describe(*again).c_str());
  std::abort();
}

// A blank text is not written at all.
std::string Plain(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos ? "" : text;
}

// A marker given twice in a file is one property of the appointment, holding the later value.
std::map<std::string, std::string> Kept(const std::vector<std::pair<std::string, std::string>>& markers) {
  std::map<std::string, std::string> kept;
  for (const auto& [name, value] : markers) kept[name] = Plain(value);
  return kept;
}

bool SameTexts(const ical::IcalEvent& a, const ical::IcalEvent& b) {
  return Plain(a.subject) == Plain(b.subject) && Plain(a.body) == Plain(b.body) &&
         Plain(a.location) == Plain(b.location) && Kept(a.userProps) == Kept(b.userProps);
}

void CheckExportedAgain(fuzzing::ScratchStore& s, const com::Ref<outlook::AppointmentItem>& item,
                        const ical::IcalEvent& e) {
  const std::string path = s.dir / "export.ics";
  ical::WriteIcalFile(path, {item});
  std::vector<ical::IcalEvent> again;
  try {
    again = ical::ReadIcalFile(path);
  } catch (const ical::Refused& error) {
    std::fprintf(stderr, "the export does not import: %s\n", error.what());
    Check(false, "export", e);
  }
  Check(again.size() == 1, "one event exported", e);
  const ical::IcalEvent& a = again[0];
  Check(SameTexts(a, e), "texts or markers after export", e, &a);
  Check(a.start == e.start && a.end == e.end && a.allDay == e.allDay, "times after export", e, &a);
  Check(a.sensitivity == e.sensitivity, "class after export", e, &a);
  Check(a.recurrence == e.recurrence, "repetition after export", e, &a);
  Check(a.exceptions == e.exceptions, "exceptions after export", e, &a);
}

void Import(fuzzing::ScratchStore& s, const ical::IcalEvent& e) {
  auto item = s.app->CreateItem(1);
  ical::ApplyEvent(e, *item);
  item->Save();
  auto stored = s.ns->GetItemFromID(item->EntryID());
  Check(stored.IsNothing() == false, "missing", e);
  Check(stored->Subject() == e.subject, "subject", e);
  Check(stored->Start() == e.start, "start", e);
  Check(stored->End() == e.end, "end", e);
  Check(stored->IsRecurring() == e.recurrence.has_value(), "recurrence", e);
  CheckExportedAgain(s, stored, e);
  stored->Delete();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzing::ScratchStore& s = fuzzing::TheStore();
  const std::string path = s.dir / "input.ics";
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                               static_cast<std::streamsize>(size));
  std::vector<ical::IcalEvent> events;
  try {
    events = ical::ReadIcalFile(path);
  } catch (const ical::Refused&) {
    return 0;
  }
  for (const ical::IcalEvent& e : events) {
    try {
      Import(s, e);
    } catch (const com::ComError&) {
    }
  }
  return 0;
}
