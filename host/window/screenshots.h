#pragma once
// Pictures of the window for the documentation: the main window (week and list), the Options
// dialog with the add-in's page, the folder browser opened from it, and the print dialog, each
// saved as a PNG file, acted on through the dialogs as a person would.
#include <string>

#include "host/window/main_window.h"

namespace window {

// Returns the files written; a picture that could not be saved is left out.
std::vector<std::string> TakeScreenshots(MainWindow& window, QtUi& ui, const std::string& dir);

}  // namespace window
