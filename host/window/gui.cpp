#include "host/window/gui.h"

namespace window {
namespace {
host::SessionOptions WithUi(host::SessionOptions options, QtUi& ui) {
  options.ui = &ui;
  return options;
}
}  // namespace

Gui::Gui(const host::GlobalOptions& global)
    : session_(std::make_unique<host::Session>(host::RequireProfile(global), WithUi(global.session, ui_),
                                               host::Access::Write)),
      driver_(std::make_unique<LoopDriver>(session_->loop())) {
  ui_.SetDriver(driver_.get());
  ui_.SetAnswer(global.session.answer);
}

Gui::~Gui() {
  if (!window_) return;
  window_->busy = nullptr;  // nothing runs any more: the add-in shuts down with the window now
  window_->close();
}

bool Gui::Start() {
  if (!session_->ConnectAddIn()) return false;
  window_ = std::make_unique<MainWindow>(*session_, ui_);
  window_->busy = [this] { return driver_->Busy() || ui_.Waiting(); };
  ui_.SetOwner(window_.get());
  window_->show();
  session_->StartAddIn();
  window_->Refresh();
  driver_->afterTick = [this] {
    window_->Follow();
    ui_.FollowDialogs();
  };
  driver_->afterPump = [this] { ui_.FollowDialogs(); };
  return true;
}

}  // namespace window
