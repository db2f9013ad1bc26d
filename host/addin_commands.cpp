// Commands that work through the add-in as the host's own parts would: its settings, its
// calendar choice, and one synchronisation pass.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <set>

#include "host/commands.h"
#include "host/escaped_text.h"
#include "host/folder_path.h"
#include "platform/com/com_error.h"
#include "host/usage_error.h"
#include "platform/com/com_object.h"
#include "platform/com/text.h"
#include "platform/mapistore/mapi_folder.h"
#include "platform/outlook/items.h"
#include "platform/win32/file_registry.h"

namespace host {
namespace {

const char* const kConfigKey = "Software\\Microsoft\\Office\\Outlook\\Addins\\QuorvaneDLL.QuorvaneClass\\Configuration";

// The settings the options page's Apply hands over, in its argument order.
const std::vector<std::string>& ApplyOrder() {
  static const std::vector<std::string> names = {"CalToolbar",    "GlobalCalendar", "LocalCalendar", "RefreshRate",
                                                 "NoOfDays",      "UpdBoth",        "UpdGlobalOnly", "UpdLocalOnly",
                                                 "PromptDelete",  "GlobalOwner",    "PromptErrors",  "SyncAccepted",
                                                 "ShowOwner"};
  return names;
}

// Every value the add-in keeps, in the order it loads them, with the default it stores when the
// value is missing.
const std::vector<std::pair<std::string, std::string>>& AllSettings() {
  static const std::vector<std::pair<std::string, std::string>> settings = {
      {"CalToolbar", "0"},        {"PromptDelete", "0"},   {"SyncAccepted", "0"},    {"ShowOwner", "0"},
      {"PromptErrors", "0"},      {"GlobalOwner", "1"},    {"GlobalCalendar", "GlobalCalendar"},
      {"GlobalCalEntryID", ""},   {"GStoreEntryID", ""},   {"LocalCalendar", "LocalCalendar"},
      {"LocalCalEntryID", ""},    {"LStoreEntryID", ""},   {"RefreshRate", "30"},    {"NoOfDays", "30"},
      {"UpdBoth", "1"},           {"UpdGlobalOnly", "0"},  {"UpdLocalOnly", "0"},    {"GUpgraded", "0"},
      {"LUpgraded", "0"},         {"LUpgraded2", "0"},     {"TBUpgraded", "0"}};
  return settings;
}

using Settings = std::map<std::string, std::string, com::NoCaseLess>;

Settings ReadSettings(win32::FileRegistry& registry) {
  Settings out;
  for (const auto& [path, key] : registry.Load()) {
    if (!com::EqualsNoCase(path, kConfigKey)) continue;
    for (const auto& v : key.values) {
      if (v.type == win32::REG_DWORD) out[v.name] = std::to_string(static_cast<int32_t>(win32::BytesToDword(v.data)));
      else out[v.name] = std::string(v.data.begin(), v.data.end());
    }
  }
  return out;
}

com::Ref<outlook::MAPIFolder> ConfiguredFolder(Session& session, const Settings& s, const char* entryId,
                                               const char* storeId) {
  auto e = s.find(entryId), st = s.find(storeId);
  if (e == s.end() || e->second.empty()) return nullptr;
  return session.ns().GetFolderFromID(e->second, st == s.end() ? "" : st->second);
}

// The add-in reports a failed step in its log and goes on; a pass that did is not a success.
bool ErrorsLoggedSince(const std::string& logPath, std::uintmax_t since) {
  std::ifstream log(logPath, std::ios::binary);
  if (!log) return false;
  log.seekg(static_cast<std::streamoff>(since));
  const std::string added((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  return added.find("An Error was encountered") != std::string::npos;
}

std::uintmax_t FileSize(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  return ec ? 0 : size;
}

// What a pass did to one calendar, from the session's journal: an appointment that came in is
// a replacement when one with the same link left, else a copy; one that left without a
// replacement is deleted. countBefore: the calendar's appointments before the pass.
void PrintChanges(const std::string& label, const com::Ref<outlook::MAPIFolder>& folder, int countBefore,
                  const std::vector<mapistore::FolderChange>& journal) {
  auto stored = std::dynamic_pointer_cast<mapistore::MapiFolder>(folder.get());
  if (!stored) return;
  auto here = [&](const mapistore::FolderChange& c) {
    return c.folderId == stored->record().id && c.storeId == stored->store()->StoreId();
  };
  // An appointment that came and left again during the pass (a copy moved on) does not count.
  std::multiset<std::string> came, left;
  for (const auto& c : journal) {
    if (here(c)) (c.added ? came : left).insert(c.entryId);
  }
  auto linkOf = [](const std::vector<mapistore::UserPropRecord>& props) {
    for (const auto& p : props) {
      if (com::EqualsNoCase(p.name, "OrigEntryId")) return p.value.ToString();
    }
    return std::string();
  };
  std::multiset<std::string> goneLinks;
  int gone = 0, copied = 0, replaced = 0;
  for (const auto& c : journal) {
    if (!here(c) || c.added || came.count(c.entryId)) continue;
    ++gone;
    goneLinks.insert(linkOf(c.userProps));
  }
  for (const auto& c : journal) {
    if (!here(c) || !c.added || left.count(c.entryId)) continue;
    std::string link;
    if (auto id = stored->store()->FindItem(c.entryId)) {
      if (auto item = stored->store()->LoadItem(*id)) link = linkOf(item->userProps);
    }
    auto match = goneLinks.find(link);
    if (!link.empty() && match != goneLinks.end()) {
      ++replaced;
      goneLinks.erase(match);
    } else {
      ++copied;
    }
  }
  const int deleted = static_cast<int>(goneLinks.size()), kept = countBefore - gone;
  std::cout << label << ": " << copied << " copied, " << replaced << " replaced, " << deleted << " deleted, " << kept
            << " left\n";
}

// Every setting, stored or not: what is not stored yet shows the default the add-in will store.
void PrintSettings(const Settings& stored) {
  Settings rest = stored;
  for (const auto& [name, fallback] : AllSettings()) {
    auto it = rest.find(name);
    if (it == rest.end()) {
      std::cout << name << "=" << PrintableText(fallback) << "  (default, not stored yet)\n";
      continue;
    }
    std::cout << it->first << "=" << PrintableText(it->second) << "\n";
    rest.erase(it);
  }
  for (const auto& [name, value] : rest) std::cout << PrintableText(name) << "=" << PrintableText(value) << "\n";
}

int ParseSetting(const std::string& name, const std::string& value) {
  int low = 0, high = 1;
  if (com::EqualsNoCase(name, "RefreshRate")) high = 32767;
  if (com::EqualsNoCase(name, "NoOfDays")) low = 1, high = 365;
  return static_cast<int>(WholeNumber(name, value, low, high));
}

}  // namespace

int CmdSettings(const Words& args, const GlobalOptions& global) {
  // Validated before the add-in is loaded, so bad input changes nothing.
  std::map<std::string, std::string, com::NoCaseLess> changes;
  for (const auto& word : args) {
    const size_t eq = word.find('=');
    if (eq == std::string::npos) throw UsageError("settings take NAME=VALUE, not '" + word + "'");
    const std::string name = word.substr(0, eq), value = word.substr(eq + 1);
    bool known = false;
    for (const auto& n : ApplyOrder()) known = known || com::EqualsNoCase(n, name);
    if (!known) throw UsageError("'" + name + "' is not a setting the options page changes (see 'settings')");
    if (!com::EqualsNoCase(name, "GlobalCalendar") && !com::EqualsNoCase(name, "LocalCalendar")) {
      ParseSetting(name, value);
    }
    changes[name] = value;
  }
  Session session(RequireProfile(global), global.session, changes.empty() ? Access::Read : Access::Write);
  com::Args apply;
  if (!changes.empty()) {
    if (!session.ConnectAddIn()) return 1;
    session.StartAddIn();
    const Settings current = ReadSettings(session.registry());
    for (const auto& name : ApplyOrder()) {
      auto c = changes.find(name);
      const std::string value = c != changes.end() ? c->second : current.count(name) ? current.at(name) : "0";
      if (com::EqualsNoCase(name, "GlobalCalendar") || com::EqualsNoCase(name, "LocalCalendar")) {
        apply.emplace_back(value);
      } else {
        apply.emplace_back(static_cast<int16_t>(std::stoi(value)));
      }
    }
    com::CallMethod(session.AddIn(), "SetRegistryValues", apply);
    session.DisconnectAddIn();
    session.ns().Settle();
  }
  PrintSettings(ReadSettings(session.registry()));
  return 0;
}

int CmdAppointmentOptions(const Words& args, const GlobalOptions& global) {
  if (!args.empty()) throw UsageError("appointment-options takes no arguments");
  Session session(RequireProfile(global), global.session, Access::Write);
  if (!session.ConnectAddIn()) return 1;
  session.StartAddIn();
  com::CallMethod(session.AddIn(), "oSetApptSettingsBHandler_Click");
  session.Close();
  return 0;
}

namespace {

// Refuses, before anything is written, a path the add-in's resolver would not find (it reads
// at most `depth` names) and the folder the other calendar already is: the next pass would
// copy every appointment into the folder it came from.
void CheckCalendarChoice(const GlobalOptions& global, bool isGlobal, const std::string& path) {
  Session session(RequireProfile(global), global.session, Access::Read);
  std::vector<std::string> names = SplitPath(path);
  names.resize(std::min(names.size(), size_t{isGlobal ? 26u : 5u}));
  std::string used = names[0];
  for (size_t i = 1; i < names.size(); ++i) used += "|" + names[i];
  auto folder = FindFolder(session.ns(), used);
  const Settings s = ReadSettings(session.registry());
  auto other = ConfiguredFolder(session, s, isGlobal ? "LocalCalEntryID" : "GlobalCalEntryID",
                                isGlobal ? "LStoreEntryID" : "GStoreEntryID");
  if (!other.IsNothing() && other->EntryID() == folder->EntryID() &&
      com::EqualsNoCase(other->StoreID(), folder->StoreID())) {
    throw UsageError("'" + path + "' is the " + (isGlobal ? "Local" : "Global") +
                     " Calendar already; the two calendars must be different folders");
  }
}

}  // namespace

int CmdSetCalendar(const Words& args, const GlobalOptions& global) {
  if (args.size() != 2 || (args[0] != "global" && args[0] != "local")) {
    throw UsageError("set-calendar global|local PATH");
  }
  if (args[1].empty()) throw UsageError("set-calendar needs a folder path");
  CheckCalendarChoice(global, args[0] == "global", args[1]);
  Session session(RequireProfile(global), global.session, Access::Write);
  if (!session.ConnectAddIn()) return 1;
  session.StartAddIn();
  com::CallMethod(session.AddIn(), args[0] == "global" ? "SetGlobalFolderPath" : "SetLocalFolderPath", {args[1]});
  session.DisconnectAddIn();
  session.ns().Settle();
  const Settings s = ReadSettings(session.registry());
  const char* id = args[0] == "global" ? "GlobalCalEntryID" : "LocalCalEntryID";
  if (!s.count(id) || s.at(id).empty()) {
    std::cerr << "quorvane: no folder '" << args[1] << "'\n";
    return 2;
  }
  std::cout << (args[0] == "global" ? "Global" : "Local") << " Calendar: " << PrintableText(args[1]) << "\n";
  return 0;
}

int CmdSync(const Words& args, const GlobalOptions& global) {
  static const char* kUsage = "sync global|local|deletions, or sync delete --folder PATH --select ENTRYID...";
  if (args.empty()) throw UsageError(kUsage);
  const std::string what = args[0];
  std::string folderPath;
  std::vector<std::string> selected;
  if (what == "delete") {
    for (size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "--folder" && i + 1 < args.size()) {
        folderPath = args[++i];
      } else if (args[i] == "--select") {
        while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) selected.push_back(args[++i]);
      } else {
        throw UsageError(kUsage);
      }
    }
    if (folderPath.empty() || selected.empty()) throw UsageError(kUsage);
  } else if (args.size() != 1 || (what != "global" && what != "local" && what != "deletions")) {
    throw UsageError(kUsage);
  }
  Session session(RequireProfile(global), global.session, Access::Write);
  if (what == "delete") {
    // The explorer shows the folder with the appointments selected, as the user left it.
    session.explorer().SetCurrentFolder(FindFolder(session.ns(), folderPath));
    std::vector<com::Ref<outlook::AppointmentItem>> items;
    for (const auto& id : selected) {
      try {
        items.push_back(session.ns().GetItemFromID(id));
      } catch (const com::ComError&) {
        throw UsageError("no appointment with entry ID " + id);
      }
    }
    session.explorer().SetSelection(items);
  }
  if (!session.ConnectAddIn()) return 1;
  session.StartAddIn();
  const Settings s = ReadSettings(session.registry());
  auto globalFolder = ConfiguredFolder(session, s, "GlobalCalEntryID", "GStoreEntryID");
  auto localFolder = ConfiguredFolder(session, s, "LocalCalEntryID", "LStoreEntryID");
  const char* member = what == "global"    ? "oProcessGlobalFolders"
                       : what == "local"   ? "oProcessLocalFolders"
                       : what == "deletions" ? "oCheckLocVsGlbDels"
                                           : "oSyncDeleteBHandler_Click";
  if (globalFolder.IsNothing() || localFolder.IsNothing()) {
    auto chosen = [&](const char* name) { return s.count(name) && !com::Trim(s.at(name)).empty(); };
    if (session.storeProblem().empty() || !chosen("GlobalCalEntryID") || !chosen("LocalCalEntryID")) {
      session.DisconnectAddIn();
      throw UsageError("choose both calendars first (set-calendar global|local PATH)");
    }
    if (what == "delete") {
      // It has no offline check: it would delete here what it cannot delete there.
      session.DisconnectAddIn();
      throw std::runtime_error("a calendar cannot be reached (" + session.storeProblem() + "); nothing was deleted");
    }
    // A calendar in the public folders that are not there: the pass finds it offline.
    com::CallMethod(session.AddIn(), member);
    session.DisconnectAddIn();
    session.ns().Settle();
    std::cerr << "quorvane: the pass stopped at its offline check (" << session.storeProblem()
              << "); nothing was changed\n";
    return 1;
  }
  const int globalBefore = globalFolder->Items()->Count(), localBefore = localFolder->Items()->Count();
  const std::string logPath = session.profile().LogPath();
  const std::uintmax_t logBefore = FileSize(logPath);
  session.ns().KeepJournal();
  com::CallMethod(session.AddIn(), member);
  session.DisconnectAddIn();
  session.ns().Settle();
  const std::vector<mapistore::FolderChange> journal = session.ns().TakeJournal();
  PrintChanges("Global Calendar (" + PrintableText(globalFolder->Name()) + ")", globalFolder, globalBefore, journal);
  PrintChanges("Local Calendar (" + PrintableText(localFolder->Name()) + ")", localFolder, localBefore, journal);
  if (ErrorsLoggedSince(logPath, logBefore)) {
    std::cerr << "quorvane: the pass did not finish every step; the errors are in " << logPath
              << ", and the next pass takes up what is left\n";
    return 1;
  }
  return 0;
}

}  // namespace host
