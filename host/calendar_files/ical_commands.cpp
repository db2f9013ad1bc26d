// import PATH FILE.ics [--flatten-unsupported], export PATH FILE.ics: a library of their own, with
// libical (see host/calendar_files_module.h).
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <map>

#include "host/calendar_files/calendar_files.h"
#include "host/escaped_text.h"
#include "host/folder_path.h"
#include "platform/ical/ical_file.h"
#include "host/usage_error.h"
#include "platform/com/com_error.h"
#include "platform/com/err_object.h"
#include "platform/outlook/items.h"

namespace host {

using ical::ApplyEvent;
using ical::EventOf;
using ical::IcalEvent;
using ical::ReadIcalFile;
using ical::WriteIcalFile;

namespace {

using Appt = com::Ref<outlook::AppointmentItem>;

// The folder's appointments by their UID, so a file imported again updates what it brought.
std::map<std::string, Appt> ByUid(const com::Ref<outlook::MAPIFolder>& folder) {
  std::map<std::string, Appt> found;
  auto items = folder->Items();
  for (auto item = items->GetFirst(); item; item = items->GetNext()) {
    const std::string uid = item->GetField(outlook::ApptField::GlobalAppointmentID).ToString();
    if (!uid.empty()) found.emplace(uid, item);
  }
  return found;
}

int ImportFile(const Words& words, const GlobalOptions& global) {
  Words args;
  bool simplify = false;
  for (const std::string& w : words) {
    if (w == "--flatten-unsupported") simplify = true;
    else args.push_back(w);
  }
  if (args.size() != 2) throw UsageError("import PATH FILE.ics [--flatten-unsupported]");
  Session session(RequireProfile(global), global.session, Access::Write);
  auto folder = FindFolder(session.ns(), args[0]);
  // Everything is read and checked first: a faulty file imports nothing.
  const std::vector<IcalEvent> events = ReadIcalFile(args[1], simplify);
  std::map<std::string, Appt> existing = ByUid(folder);
  const bool progress = ::isatty(2) && events.size() >= 500;
  std::vector<Appt> added;
  std::vector<std::pair<Appt, IcalEvent>> updated;  // with what each held before
  size_t unchanged = 0;
  try {
    for (size_t i = 0; i < events.size(); ++i) {
      const IcalEvent& e = events[i];
      auto known = e.uid.empty() ? existing.end() : existing.find(e.uid);
      if (known != existing.end()) {
        Appt item = known->second;
        IcalEvent before = EventOf(*item);
        IcalEvent wanted = e;
        // Only what an appointment keeps of an event counts.
        wanted.line = 0, wanted.simplified.clear(), wanted.extras.clear(), wanted.lastModified = 0;
        if (before == wanted) {
          ++unchanged;
          continue;
        }
        ApplyEvent(e, *item);
        item->Save();
        updated.emplace_back(item, std::move(before));
      } else {
        auto item = session.application()->CreateItem(1);
        ApplyEvent(e, *item);
        item->Save();
        if (folder->EntryID() != item->Parent()->EntryID()) item = item->Move(folder);
        added.push_back(item);
        if (!e.uid.empty()) existing.emplace(e.uid, item);
      }
      if (progress && (i + 1) % 250 == 0) std::cerr << "\rImported " << i + 1 << " of " << events.size() << std::flush;
    }
  } catch (const com::ComError&) {
    // The store failed part of the way: take back what went in, so the import is all or nothing.
    for (auto& item : added) {
      com::ErrObject ignored;
      ignored.Try([&] { item->Delete(); });
    }
    for (auto& [item, before] : updated) {
      com::ErrObject ignored;
      ignored.Try([&, &item = item, &before = before] {
        ApplyEvent(before, *item);
        item->Save();
      });
    }
    throw;
  }
  if (progress) std::cerr << "\n";
  session.ns().Settle();
  for (const IcalEvent& e : events) {
    for (const std::string& what : e.simplified) {
      std::cout << args[1] << ", line " << e.line << ": \"" << e.subject << "\" imported without " << what << "\n";
    }
  }
  std::cout << "Imported " << added.size() + updated.size() << " appointments into " << args[0];
  if (!updated.empty() || unchanged) {
    std::cout << " (" << added.size() << " new, " << updated.size() << " updated, " << unchanged << " unchanged)";
  }
  std::cout << "\n";
  return 0;
}

const char* KindOf(std::filesystem::file_type type) {
  using std::filesystem::file_type;
  switch (type) {
    case file_type::directory: return "a folder";
    case file_type::fifo: return "a FIFO";
    case file_type::block:
    case file_type::character: return "a device";
    case file_type::socket: return "a socket";
    default: return "not a regular file";
  }
}

// The file the export replaces: path itself, or the file a symbolic link at path leads to (the
// link stays). Anything but a regular file, or a new one in an existing folder, is refused.
std::string ExportTarget(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target = path;
  for (int hops = 0; fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
    const fs::path next = fs::read_symlink(target, ec);
    if (ec || hops == 40) throw UsageError("cannot follow the symbolic link " + path + (ec ? ": " + ec.message() : ""));
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  const fs::file_status status = fs::status(target, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    throw UsageError("export writes a regular file; " + target.string() + " is " + KindOf(status.type()));
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::is_directory(folder, ec)) throw UsageError("export: no folder " + folder.string());
  return target.string();
}

int ExportFile(const Words& args, const GlobalOptions& global) {
  if (args.size() != 2) throw UsageError("export PATH FILE.ics");
  const std::string target = ExportTarget(args[1]);
  Session session(RequireProfile(global), global.session, Access::Read);
  auto items = FindFolder(session.ns(), args[0])->Items();
  items->Sort("[Start]");
  // Each is read as the walk reaches it: the walk then reads its next ones whole.
  std::vector<IcalEvent> events;
  for (auto item = items->GetFirst(); item; item = items->GetNext()) events.push_back(EventOf(*item));
  std::vector<std::string> notes;
  WriteIcalFile(target, events, &notes);
  for (const std::string& note : notes) std::cerr << PrintableText(note) << "\n";
  std::cout << "Exported " << events.size() << " appointments to " << PrintableText(args[1]) << "\n";
  return 0;
}

}  // namespace

}  // namespace host

int QuorvaneImportCommand(const host::Words& args, const host::GlobalOptions& global) { return host::ImportFile(args, global); }

int QuorvaneExportCommand(const host::Words& args, const host::GlobalOptions& global) { return host::ExportFile(args, global); }
