#pragma once
// The host keeps its command bars in the profile's registry between runs, as the real host
// keeps them in its own files: temporary bars and buttons are not kept.
#include <memory>

#include "platform/office/command_bars.h"
#include "platform/win32/file_registry.h"

namespace host {

std::shared_ptr<office::CommandBars> LoadCommandBars(win32::FileRegistry& registry);
void SaveCommandBars(win32::FileRegistry& registry, const office::CommandBars& bars);

}  // namespace host
