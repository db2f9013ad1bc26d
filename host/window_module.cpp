#include "host/window_module.h"

#include <dlfcn.h>

#include <stdexcept>

#include "host/session.h"

namespace host {

int CmdGui(const Words& args, const GlobalOptions& global) {
  const std::string path = ProgramDirectory() + "/libQuorvaneWindow.so";
  // Never unloaded: the toolkit keeps state for the rest of the process.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  auto run = library ? reinterpret_cast<decltype(&QuorvaneRunWindow)>(dlsym(library, "QuorvaneRunWindow")) : nullptr;
  if (!run) {
    const char* why = dlerror();
    throw std::runtime_error("the window cannot be started: " + std::string(why ? why : path));
  }
  return run(args, global);
}

}  // namespace host
