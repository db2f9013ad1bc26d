#include "host/commands.h"

#include <fstream>
#include <iostream>
#include <map>

#include "host/usage_error.h"

namespace host {

int RunCommand(const std::string& command, const Words& args, const GlobalOptions& global) {
  using Fn = int (*)(const Words&, const GlobalOptions&);
  static const std::map<std::string, Fn> commands = {
      {"demo", CmdDemo}, {"init", CmdInit}, {"connect", CmdConnect}, {"registry", CmdRegistry}};
  auto it = commands.find(command);
  if (it == commands.end()) throw UsageError("unknown command '" + command + "' (see --help)");
  return it->second(args, global);
}

Profile RequireProfile(const GlobalOptions& global) {
  if (global.profileDir.empty()) throw UsageError("no profile given (use --profile DIR)");
  return Profile::Open(global.profileDir);
}

void PrintFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::cout << "  " << line << "\n";
  }
}

static void NoMoreWords(const Words& args) {
  if (!args.empty()) throw UsageError("unexpected '" + args.front() + "'");
}

int CmdInit(const Words& args, const GlobalOptions& global) {
  NoMoreWords(args);
  if (global.profileDir.empty()) throw UsageError("no profile given (use --profile DIR)");
  Profile profile = Profile::Create(global.profileDir);
  win32::FileRegistry registry(profile.RegistryPath());
  win32::HKEY key = 0;
  if (registry.RegCreateKeyEx(win32::HKEY_CURRENT_USER, "Software", "", 0, win32::KEY_ALL_ACCESS, &key, nullptr) !=
      win32::ERROR_SUCCESS) {
    throw std::runtime_error(registry.LastErrorText());
  }
  registry.RegCloseKey(key);
  std::cout << "Created profile " << profile.dir() << "\n";
  return 0;
}

int CmdConnect(const Words& args, const GlobalOptions& global) {
  NoMoreWords(args);
  Session session(RequireProfile(global), global.session);
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
