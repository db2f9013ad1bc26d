// import PATH FILE.ics, export PATH FILE.ics
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "host/commands.h"
#include "host/escaped_text.h"
#include "host/folder_path.h"
#include "host/ical_file.h"
#include "host/usage_error.h"
#include "platform/com/com_error.h"
#include "platform/com/err_object.h"
#include "platform/outlook/items.h"

namespace host {

int CmdImport(const Words& args, const GlobalOptions& global) {
  if (args.size() != 2) throw UsageError("import PATH FILE.ics");
  Session session(RequireProfile(global), global.session, Access::Write);
  auto folder = FindFolder(session.ns(), args[0]);
  // Everything is read and checked first: a faulty file imports nothing.
  const std::vector<IcalEvent> events = ReadIcalFile(args[1]);
  const bool progress = ::isatty(2) && events.size() >= 500;
  std::vector<com::Ref<outlook::AppointmentItem>> added;
  try {
    for (size_t i = 0; i < events.size(); ++i) {
      auto item = session.application()->CreateItem(1);
      ApplyEvent(events[i], *item);
      item->Save();
      if (folder->EntryID() != item->Parent()->EntryID()) item = item->Move(folder);
      added.push_back(item);
      if (progress && (i + 1) % 250 == 0) std::cerr << "\rImported " << i + 1 << " of " << events.size() << std::flush;
    }
  } catch (const com::ComError&) {
    // The store failed part of the way: take back what went in, so the import is all or nothing.
    for (auto& item : added) {
      com::ErrObject ignored;
      ignored.Try([&] { item->Delete(); });
    }
    throw;
  }
  if (progress) std::cerr << "\n";
  session.ns().Settle();
  std::cout << "Imported " << added.size() << " appointments into " << args[0] << "\n";
  return 0;
}

namespace {

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

}  // namespace

int CmdExport(const Words& args, const GlobalOptions& global) {
  if (args.size() != 2) throw UsageError("export PATH FILE.ics");
  const std::string target = ExportTarget(args[1]);
  Session session(RequireProfile(global), global.session, Access::Read);
  auto items = FindFolder(session.ns(), args[0])->Items();
  items->Sort("[Start]");
  std::vector<com::Ref<outlook::AppointmentItem>> all;
  for (auto item = items->GetFirst(); item; item = items->GetNext()) all.push_back(item);
  WriteIcalFile(target, all);
  std::cout << "Exported " << all.size() << " appointments to " << PrintableText(args[1]) << "\n";
  return 0;
}

}  // namespace host
