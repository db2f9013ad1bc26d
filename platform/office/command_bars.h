#pragma once
// Command bars: named toolbars of buttons whose Click events reach the handlers bound to them.
// A bar and its controls live as long as the host keeps them, across loads of the add-in.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/event.h"
#include "platform/com/ref.h"
#include "platform/com/subscription.h"

namespace office {

using com::Ref;

enum MsoButtonStyle { msoButtonIconAndCaption = 3 };
enum MsoBarPosition { msoBarLeft = 0, msoBarTop = 1 };
enum MsoControlType { msoControlButton = 1 };

class CommandBarButton : public com::ComObject {
 public:
  using ClickHandler = std::function<void(const Ref<CommandBarButton>& ctrl, bool& cancelDefault)>;

  std::string caption;
  int faceId = 0;
  int style = 0;
  bool temporary = false;

  // Binds a handler to the button's Click event, as a WithEvents variable does.
  com::Subscription OnClick(ClickHandler handler) { return click_.Subscribe(std::move(handler)); }
  // What the user's click does: every bound handler, in the order bound.
  void Execute();

 private:
  com::Event<const Ref<CommandBarButton>&, bool&> click_;
};

class CommandBar : public com::ComObject {
 public:
  explicit CommandBar(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }
  bool enabled = true;
  bool visible = false;
  int position = msoBarTop;
  bool temporary = false;

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  // 1-based; raises when there is no such control.
  Ref<CommandBarButton> Control(int index) const;
  Ref<CommandBarButton> AddControl(int type, bool temporary);
  const std::vector<std::shared_ptr<CommandBarButton>>& controls() const { return controls_; }

 private:
  std::string name_;
  std::vector<std::shared_ptr<CommandBarButton>> controls_;
};

class CommandBars : public com::ComObject {
 public:
  int Count() const { return static_cast<int>(bars_.size()); }
  Ref<CommandBar> Item(int index) const;  // 1-based
  // By name; raises when there is none.
  Ref<CommandBar> Item(const std::string& name) const;
  Ref<CommandBar> Add(const std::string& name, int position, bool temporary);
  void Delete(const std::string& name);
  const std::vector<std::shared_ptr<CommandBar>>& bars() const { return bars_; }

 private:
  std::vector<std::shared_ptr<CommandBar>> bars_;
};

}  // namespace office
