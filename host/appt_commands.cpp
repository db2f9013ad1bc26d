// appt add | list | edit | delete
#include <iostream>
#include <sstream>

#include "host/appt_listing.h"
#include "host/appt_options.h"
#include "host/commands.h"
#include "host/folder_path.h"
#include "host/usage_error.h"
#include "platform/com/com_error.h"
#include "platform/outlook/items.h"

namespace host {
namespace {

com::Ref<outlook::AppointmentItem> FindItem(Session& session, const std::string& entryId) {
  try {
    return session.ns().GetItemFromID(entryId);
  } catch (const com::ComError&) {
    throw UsageError("no appointment with entry ID " + entryId);
  }
}

Words Rest(const Words& args, size_t from) { return Words(args.begin() + static_cast<long>(from), args.end()); }

int Add(Session& session, const Words& args) {
  if (args.size() < 2) throw UsageError("appt add PATH --subject S --start WHEN --end WHEN [...]");
  const ApptOptions options = ApptOptions::Parse(Rest(args, 2));
  if (!options.subject || !options.start || (!options.end && !options.allDay)) {
    throw UsageError("appt add needs --subject, --start and --end (or --all-day and --start)");
  }
  auto folder = FindFolder(session.ns(), args[1]);
  // A new appointment is made in the default calendar, then moved where it belongs.
  auto item = session.application()->CreateItem(1);
  options.ApplyTo(*item);
  item->Save();
  if (folder->EntryID() != item->Parent()->EntryID()) {
    try {
      item = item->Move(folder);
    } catch (const com::ComError&) {
      item->Delete();  // no stray appointment in the default calendar
      throw;
    }
  }
  session.ns().Settle();
  std::cout << item->EntryID() << "\n";
  return 0;
}

int List(Session& session, const Words& args) {
  if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && args[2] != "--json")) {
    throw UsageError("appt list PATH [--json]");
  }
  const bool json = args.size() == 3;
  auto items = FindFolder(session.ns(), args[1])->Items();
  items->Sort("[Start]");
  // Each is read as the walk reaches it (the walk then reads its next ones whole), and all is
  // printed at the end: a failure on the way prints no half list.
  std::ostringstream text;
  size_t n = 0;
  for (auto item = items->GetFirst(); item; item = items->GetNext(), ++n) {
    if (json) {
      text << (n ? ",\n " : "\n ");
      PrintApptJson(text, *item);
    } else {
      PrintApptLine(text, *item);
    }
  }
  if (json) std::cout << "[" << text.str() << (n ? "\n]\n" : "]\n");
  else std::cout << text.str();
  return 0;
}

int Edit(Session& session, const Words& args) {
  if (args.size() < 3) throw UsageError("appt edit ENTRYID [options]");
  const ApptOptions options = ApptOptions::Parse(Rest(args, 2));
  auto item = FindItem(session, args[1]);
  options.ApplyTo(*item);
  item->Save();
  session.ns().Settle();
  std::cout << "Saved " << item->EntryID() << "\n";
  return 0;
}

int Delete(Session& session, const Words& args) {
  if (args.size() != 2) throw UsageError("appt delete ENTRYID");
  FindItem(session, args[1])->Delete();
  session.ns().Settle();
  std::cout << "Deleted " << args[1] << "\n";
  return 0;
}

}  // namespace

int CmdAppt(const Words& args, const GlobalOptions& global) {
  if (args.empty() || (args[0] != "add" && args[0] != "list" && args[0] != "edit" && args[0] != "delete")) {
    throw UsageError("appt needs add, list, edit or delete" + (args.empty() ? "" : ", not '" + args[0] + "'"));
  }
  Session session(RequireProfile(global), global.session, args[0] == "list" ? Access::Read : Access::Write);
  if (args[0] == "add") return Add(session, args);
  if (args[0] == "list") return List(session, args);
  if (args[0] == "edit") return Edit(session, args);
  return Delete(session, args);
}

}  // namespace host
