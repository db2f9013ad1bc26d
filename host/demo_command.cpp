// The main job: a demo workgroup built from nothing, with the add-in loaded on it.
#include <filesystem>
#include <fstream>
#include <iostream>

#include "host/appt_listing.h"
#include "host/commands.h"
#include "host/folder_path.h"
#include "host/usage_error.h"
#include "platform/outlook/items.h"

namespace fs = std::filesystem;

namespace host {
namespace {

struct DemoAppt {
  const char* subject;
  int dayOffset, hour, minutes;
  const char* body;
};

void AddAppointments(Session& session, const std::string& path, const std::vector<DemoAppt>& appts) {
  auto folder = FindFolder(session.ns(), path);
  const com::Date today = session.clock().Now().DateOnly();
  for (const DemoAppt& a : appts) {
    auto item = session.application()->CreateItem(1);
    const com::Date start = com::Date::FromUnixMillis(today.AddDays(a.dayOffset).UnixMillis() + a.hour * 3600000LL);
    item->SetSubject(a.subject);
    item->SetBody(a.body);
    item->SetStart(start);
    item->SetEnd(com::Date::FromUnixMillis(start.UnixMillis() + a.minutes * 60000LL));
    item->Save();
    if (folder->EntryID() != item->Parent()->EntryID()) item->Move(folder);
  }
}

void ShowCalendar(Session& session, const std::string& path) {
  std::cout << "  " << path << ":\n";
  auto items = FindFolder(session.ns(), path)->Items();
  items->Sort("[Start]");
  for (auto item = items->GetFirst(); item; item = items->GetNext()) {
    std::cout << "    ";
    PrintApptLine(std::cout, *item);
  }
}

// Only a folder this command made, or an empty one, is cleared: --dir may name anything.
constexpr const char* kDemoMark = ".quorvane-demo";

void ClearDemoFolder(const std::string& dir) {
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(dir, ec))) return;
  if (!fs::is_directory(fs::symlink_status(dir, ec)))
    throw UsageError("'" + dir + "' exists and is not a folder; name a new folder for the demo");
  if (!fs::is_empty(dir, ec) && !fs::exists(fs::path(dir) / kDemoMark, ec))
    throw UsageError("'" + dir + "' holds files the demo did not make; name a new or empty folder");
  fs::remove_all(dir);
}

void MarkDemoFolder(const std::string& dir) {
  fs::create_directories(dir);
  std::ofstream(fs::path(dir) / kDemoMark) << "made by quorvane demo; removed by its next run\n";
}

}  // namespace

int CmdDemo(const Words& args, const GlobalOptions& global) {
  std::string dir = "quorvane-demo";
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--dir" && i + 1 < args.size()) dir = args[++i];
    else throw UsageError("unexpected '" + args[i] + "'");
  }
  ClearDemoFolder(dir);
  MarkDemoFolder(dir);
  const std::string publicStore = dir + "/public.store";
  GlobalOptions alice = global, bob = global;
  alice.profileDir = dir + "/alice";
  bob.profileDir = dir + "/bob";
  alice.session.interactive = bob.session.interactive = false;
  alice.readInput = bob.readInput = false;

  std::cout << "== A workgroup of two members sharing one public-folders store\n";
  CmdInit({"--user", "Alice", "--public", publicStore}, alice);
  CmdInit({"--user", "Bob", "--public", publicStore}, bob);
  const std::string global_ = "Public Folders|All Public Folders|Team Calendar";
  CmdFolder({"add", global_}, alice);
  {
    Session session(RequireProfile(alice), alice.session, Access::Write);
    AddAppointments(session, global_, {{"Team meeting", 1, 9, 60, "Weekly planning"},
                                       {"Release review", 3, 14, 90, "Go through the release notes"}});
    AddAppointments(session, "Mailbox - Alice|Calendar", {{"Dentist", 2, 8, 45, ""}});
  }
  {
    Session session(RequireProfile(bob), bob.session, Access::Write);
    AddAppointments(session, "Mailbox - Bob|Calendar", {{"Customer visit", 1, 13, 120, "Bring the demo laptop"}});
  }

  auto show = [&](const char* heading) {
    for (const GlobalOptions* member : {&alice, &bob}) {
      Session session(RequireProfile(*member), member->session, Access::Read);
      std::cout << "\n== " << session.profile().user() << "'s calendars " << heading << "\n";
      ShowCalendar(session, global_);
      ShowCalendar(session, "Mailbox - " + session.profile().user() + "|Calendar");
    }
  };
  show("before synchronisation");

  std::cout << "\n== First start of the add-in on Alice's profile: no settings yet\n";
  CmdConnect({}, alice);
  std::cout << "\n== Both members choose their calendars, as the folder browser's OK does, and set a timed\n"
               "   run every other minute (RefreshRate 1)\n";
  for (const GlobalOptions* member : {&alice, &bob}) {
    const std::string user = RequireProfile(*member).user();
    CmdSetCalendar({"global", global_}, *member);
    CmdSetCalendar({"local", "Mailbox - " + user + "|Calendar"}, *member);
    CmdSettings({"RefreshRate=1"}, *member);
  }
  // The host runs each member in turn with a fast timer: a minute lasts 100 ms.
  GlobalOptions fastAlice = alice, fastBob = bob;
  fastAlice.session.minuteMs = fastBob.session.minuteMs = 100;
  std::cout << "\n== Alice's mail client runs for 5 timer minutes\n";
  CmdRun({"--minutes", "5"}, fastAlice);
  std::cout << "\n== Bob's mail client runs for 5 timer minutes\n";
  CmdRun({"--minutes", "5"}, fastBob);
  std::cout << "\n== Alice's again: Bob's appointment reaches her\n";
  CmdRun({"--minutes", "3"}, fastAlice);
  show("after synchronisation");

  std::cout << "\n== Alice's error log " << RequireProfile(alice).LogPath() << "\n";
  PrintFile(RequireProfile(alice).LogPath());
  std::cout << "\n== Alice's registry file " << RequireProfile(alice).RegistryPath() << "\n";
  return CmdRegistry({}, alice);
}

}  // namespace host
