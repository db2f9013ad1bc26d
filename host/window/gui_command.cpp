// gui: the mail client as a window, with the add-in running inside it.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <iostream>
#include <thread>

#include <QApplication>

#include "host/usage_error.h"
#include "host/window_module.h"
#include "host/window/gui.h"
#include "host/window/screenshots.h"

namespace host {

static int RunWindow(const Words& args, const GlobalOptions& global) {
  std::string screenshots;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--screenshots" && i + 1 < args.size()) screenshots = args[++i];
    else throw UsageError("gui [--screenshots DIR]");
  }
  // Ctrl-C and SIGTERM close the window as its close box would, so the add-in shuts down in
  // order and the toolbars are kept. Blocked before Qt starts its threads, so all inherit it.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::atomic<bool> stop = false;
  static int argc = 1;
  static char name[] = "quorvane";
  static char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quorvane");
  std::jthread signalWatch([&](std::stop_token done) {
    timespec wait{0, 100 * 1000 * 1000};
    while (!done.stop_requested()) {
      if (sigtimedwait(&stopSignals, nullptr, &wait) <= 0) continue;
      stop = true;
      QMetaObject::invokeMethod(&app, [] { QApplication::closeAllWindows(); }, Qt::QueuedConnection);
    }
  });

  window::Gui gui(global);
  if (!gui.Start()) return 1;
  if (!screenshots.empty()) {
    for (const std::string& file : window::TakeScreenshots(gui.window(), gui.ui(), screenshots)) std::cout << file << "\n";
    return 0;
  }
  if (stop) return 0;  // a signal came while it started: the window closes with gui
  return QApplication::exec();
}

}  // namespace host

extern "C" int QuorvaneRunWindow(const host::Words& args, const host::GlobalOptions& global) {
  return host::RunWindow(args, global);
}
