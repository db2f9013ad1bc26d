#include "host/commands.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

#include "host/escaped_text.h"
#include "host/usage_error.h"

namespace host {

int RunCommand(const std::string& command, const Words& args, const GlobalOptions& global) {
  using Fn = int (*)(const Words&, const GlobalOptions&);
  static const std::map<std::string, Fn> commands = {
      {"demo", CmdDemo},         {"init", CmdInit},     {"connect", CmdConnect},
      {"registry", CmdRegistry}, {"folder", CmdFolder}, {"appt", CmdAppt},
      {"settings", CmdSettings}, {"set-calendar", CmdSetCalendar}, {"sync", CmdSync},
      {"import", CmdImport},     {"export", CmdExport}, {"run", CmdRun}, {"click", CmdClick},
      {"appointment-options", CmdAppointmentOptions}, {"address", CmdAddress}, {"options", CmdOptions}, {"print", CmdPrint},
      {"public-folders", CmdPublicFolders}, {"gui", CmdGui}};
  auto it = commands.find(command);
  if (it == commands.end()) throw UsageError("unknown command '" + command + "' (see --help)");
  return it->second(args, global);
}

Profile RequireProfile(const GlobalOptions& global) {
  if (global.profileDir.empty()) throw UsageError("no profile given (use --profile DIR)");
  return Profile::Open(global.profileDir);
}

int64_t WholeNumber(const std::string& what, const std::string& text, int64_t low, int64_t high) {
  try {
    size_t used = 0;
    const long long v = std::stoll(text, &used);
    if (used == text.size() && v >= low && v <= high) return v;
  } catch (const std::exception&) {
  }
  throw UsageError(what + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                   ", not '" + text + "'");
}

void PrintFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::cout << "  " << PrintableText(line) << "\n";
  }
}

static const char* const kInitUsage =
    "init --user NAME [--public FILE | --public-url URL [--public-user NAME] [--public-password-file FILE]] "
    "[--address ADDR]";
static const char* const kPublicUsage =
    "public-folders (--url URL [--user NAME] [--password-file FILE] | --file FILE)";

// A password written into the URL would end up in the registry file.
static void RefuseCredentialsIn(const std::string& url) {
  const size_t host = url.find("://") == std::string::npos ? 0 : url.find("://") + 3;
  const size_t at = url.find('@', host);
  if (at != std::string::npos && at < url.find('/', host)) {
    throw UsageError("the URL must not hold a user or password: give them with the user option and a password file");
  }
}

static void NoMoreWords(const Words& args) {
  if (!args.empty()) throw UsageError("unexpected '" + args.front() + "'");
}

int CmdInit(const Words& args, const GlobalOptions& global) {
  std::string user, publicStore, address;
  PublicServer server;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--user" && i + 1 < args.size()) user = args[++i];
    else if (args[i] == "--public" && i + 1 < args.size()) publicStore = args[++i];
    else if (args[i] == "--address" && i + 1 < args.size()) address = args[++i];
    else if (args[i] == "--public-url" && i + 1 < args.size()) server.url = args[++i];
    else if (args[i] == "--public-user" && i + 1 < args.size()) server.user = args[++i];
    else if (args[i] == "--public-password-file" && i + 1 < args.size()) server.passwordFile = args[++i];
    else throw UsageError(kInitUsage);
  }
  if (user.empty()) throw UsageError("init needs --user NAME");
  RefuseCredentialsIn(server.url);
  if (!server.url.empty() && !publicStore.empty()) throw UsageError("init takes --public FILE or --public-url URL, not both");
  if (server.url.empty() && (!server.user.empty() || !server.passwordFile.empty())) {
    throw UsageError("--public-user and --public-password-file go with --public-url");
  }
  if (global.profileDir.empty()) throw UsageError("no profile given (use --profile DIR)");
  // The folder comes first, so the profile is taken before anything is written into it.
  namespace fs = std::filesystem;
  const fs::path dir = Absolute(global.profileDir), lockFile = ProfileLock::PathIn(dir.string());
  const bool hadFolder = fs::exists(dir), hadLock = fs::exists(lockFile);
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec) throw UsageError("cannot create profile folder " + dir.string() + ": " + ec.message());
  try {
    ProfileLock lock(dir.string(), global.session.holder, global.session.lockWaitSeconds);
    Profile profile = Profile::Create(dir.string(), user, publicStore, RegisterAddIn, address, server);
    std::cout << "Created profile " << profile.dir() << " for " << PrintableText(user) << " (public folders "
              << (server.url.empty() ? "in " + profile.publicStore() : "on " + PrintableText(server.url)) << ")\n";
  } catch (...) {
    // What the profile itself made is gone already; the folder and its lock go too.
    if (!hadLock) fs::remove(lockFile, ec);
    if (!hadFolder) fs::remove(dir, ec);
    throw;
  }
  return 0;
}

int CmdPublicFolders(const Words& args, const GlobalOptions& global) {
  std::string publicStore;
  PublicServer server;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--url" && i + 1 < args.size()) server.url = args[++i];
    else if (args[i] == "--user" && i + 1 < args.size()) server.user = args[++i];
    else if (args[i] == "--password-file" && i + 1 < args.size()) server.passwordFile = args[++i];
    else if (args[i] == "--file" && i + 1 < args.size()) publicStore = args[++i];
    else throw UsageError(kPublicUsage);
  }
  if (server.url.empty() == publicStore.empty()) throw UsageError(kPublicUsage);
  RefuseCredentialsIn(server.url);
  Session session(RequireProfile(global), global.session, Access::Write);
  Profile profile = session.profile();
  profile.SwitchPublic(server, publicStore);
  std::cout << "The public folders of " << profile.dir() << " are now "
            << (server.url.empty() ? "in " + profile.publicStore() : "on " + PrintableText(server.url)) << "\n";
  return 0;
}

int CmdConnect(const Words& args, const GlobalOptions& global) {
  NoMoreWords(args);
  Session session(RequireProfile(global), global.session, Access::Write);
  if (!session.ConnectAddIn()) return 1;
  session.DisconnectAddIn();
  std::cout << "Error log " << session.profile().LogPath() << ":\n";
  PrintFile(session.profile().LogPath());
  return 0;
}

int CmdRegistry(const Words& args, const GlobalOptions& global) {
  NoMoreWords(args);
  Profile profile = RequireProfile(global);
  win32::FileRegistry registry(profile.RegistryPath());
  registry.Load();  // refuses a damaged file with its line
  PrintFile(profile.RegistryPath());
  return 0;
}

}  // namespace host
