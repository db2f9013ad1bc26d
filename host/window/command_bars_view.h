#pragma once
// The host's command bars drawn as Qt tool bars: each visible bar with its buttons, their
// captions ("&" marks the key that Alt presses with), faces and enabled state; a click is the
// button's Click, reaching every handler bound to it.
#include <functional>
#include <string>

#include <QMainWindow>

#include "platform/office/command_bars.h"

namespace window {

class CommandBarsView {
 public:
  CommandBarsView(QMainWindow& window, std::function<void()> afterClick)
      : window_(window), afterClick_(std::move(afterClick)) {}
  // Draws the bars anew when they changed since they were last drawn.
  void Draw(const office::CommandBars& bars);
  // The action of the button with that caption; nullptr when none is drawn.
  QAction* Action(const std::string& caption) const;

 private:
  QMainWindow& window_;
  std::function<void()> afterClick_;
  std::string drawn_;  // what the bars looked like when drawn
};

}  // namespace window
