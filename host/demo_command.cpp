// The main job: a demo workgroup built from nothing, with the add-in loaded on it.
#include <filesystem>
#include <iostream>

#include "host/commands.h"
#include "host/usage_error.h"

namespace fs = std::filesystem;

namespace host {

int CmdDemo(const Words& args, const GlobalOptions& global) {
  std::string dir = "quorvane-demo";
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--dir" && i + 1 < args.size()) dir = args[++i];
    else throw UsageError("unexpected '" + args[i] + "'");
  }
  fs::remove_all(dir);
  const std::string member = dir + "/alice";
  GlobalOptions g = global;
  g.profileDir = member;
  g.session.interactive = false;
  CmdInit({}, g);

  std::cout << "\n== First start: the add-in connects to a profile without settings\n";
  CmdConnect({}, g);
  std::cout << "\n== Second start: the defaults written at the first start are loaded\n";
  CmdConnect({}, g);
  std::cout << "\n== The registry file " << Profile::Open(member).RegistryPath() << "\n";
  return CmdRegistry({}, g);
}

}  // namespace host
