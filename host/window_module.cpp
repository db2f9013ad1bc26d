#include "host/window_module.h"

#include <stdexcept>

#include "host/program_library.h"

namespace host {

int CmdGui(const Words& args, const GlobalOptions& global) {
  std::string why;
  auto run = reinterpret_cast<decltype(&QuorvaneRunWindow)>(
      ProgramLibraryEntry("libQuorvaneWindow.so", "QuorvaneRunWindow", why));
  if (!run) throw std::runtime_error("the window cannot be started: " + why);
  return run(args, global);
}

}  // namespace host
