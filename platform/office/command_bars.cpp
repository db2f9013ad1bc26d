#include "platform/office/command_bars.h"

#include "platform/com/com_error.h"
#include "platform/com/text.h"

namespace office {

void CommandBarButton::Execute() {
  bool cancelDefault = false;
  click_.Fire(std::static_pointer_cast<CommandBarButton>(shared_from_this()), cancelDefault);
}

Ref<CommandBarButton> CommandBar::Control(int index) const {
  if (index < 1 || index > ControlCount()) com::Raise(com::kErrInvalidCall);
  return controls_[static_cast<size_t>(index - 1)];
}

Ref<CommandBarButton> CommandBar::AddControl(int type, bool isTemporary) {
  if (type != msoControlButton) com::Raise(com::kErrInvalidCall, "Only buttons are made here.");
  controls_.push_back(std::make_shared<CommandBarButton>());
  controls_.back()->temporary = isTemporary;
  return controls_.back();
}

Ref<CommandBar> CommandBars::Item(int index) const {
  if (index < 1 || index > Count()) com::Raise(com::kErrInvalidCall);
  return bars_[static_cast<size_t>(index - 1)];
}

Ref<CommandBar> CommandBars::Item(const std::string& name) const {
  for (const auto& bar : bars_) {
    if (com::EqualsNoCase(bar->Name(), name)) return bar;
  }
  com::Raise(com::kErrInvalidCall);
}

Ref<CommandBar> CommandBars::Add(const std::string& name, int position, bool temporary) {
  for (const auto& bar : bars_) {
    if (com::EqualsNoCase(bar->Name(), name)) com::Raise(com::kErrInvalidCall, "A command bar named " + name + " exists.");
  }
  bars_.push_back(std::make_shared<CommandBar>(name));
  bars_.back()->position = position;
  bars_.back()->temporary = temporary;
  return bars_.back();
}

void CommandBars::Delete(const std::string& name) {
  for (auto it = bars_.begin(); it != bars_.end(); ++it) {
    if (com::EqualsNoCase((*it)->Name(), name)) {
      bars_.erase(it);
      return;
    }
  }
  com::Raise(com::kErrInvalidCall);
}

}  // namespace office
