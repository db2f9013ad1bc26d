// gui: the mail client as a window, with the add-in running inside it.
#include <iostream>

#include <QApplication>

#include "host/usage_error.h"
#include "host/window/gui.h"
#include "host/window/screenshots.h"

namespace host {

int CmdGui(const Words& args, const GlobalOptions& global) {
  std::string screenshots;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--screenshots" && i + 1 < args.size()) screenshots = args[++i];
    else throw UsageError("gui [--screenshots DIR]");
  }
  static int argc = 1;
  static char name[] = "quorvane";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quorvane");

  window::Gui gui(global);
  if (!gui.Start()) return 1;
  if (!screenshots.empty()) {
    for (const std::string& file : window::TakeScreenshots(gui.window(), gui.ui(), screenshots)) std::cout << file << "\n";
    return 0;
  }
  return QApplication::exec();
}

}  // namespace host
