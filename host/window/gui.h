#pragma once
// The mail client as a window on a profile: the session with the window's user interface, the
// one loop, the main window, and the add-in started inside it. Needs a QApplication.
#include <memory>

#include "host/commands.h"
#include "host/window/loop_driver.h"
#include "host/window/main_window.h"
#include "host/window/qt_ui.h"

namespace window {

class Gui {
 public:
  explicit Gui(const host::GlobalOptions& global);
  ~Gui();
  // Loads the add-in, shows the window and completes the start-up; false when the add-in
  // cannot be loaded (said on stderr).
  bool Start();

  QtUi& ui() { return ui_; }
  host::Session& session() { return *session_; }
  MainWindow& window() { return *window_; }
  LoopDriver& driver() { return *driver_; }

 private:
  QtUi ui_;
  std::unique_ptr<host::Session> session_;
  std::unique_ptr<LoopDriver> driver_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace window
