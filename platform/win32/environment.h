#pragma once
// What the operating system gives the process: registry, user interface, clock, the
// thread's message loop and the Windows directory. The host installs one before it loads
// any add-in; tests install their own.
#include <string>

#include "platform/win32/clock.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/registry.h"
#include "platform/win32/ui.h"

namespace win32 {

struct Environment {
  Registry& registry;
  Ui& ui;
  Clock& clock;
  MessageLoop& loop;
  std::string windowsDirectory;  // a folder of the profile
};

// Raises 91 when no environment has been installed.
Environment& Env();
void SetEnv(Environment* env);

// GetWindowsDirectoryA, cut to at most bufferSize - 1 characters.
std::string GetWindowsDirectory(size_t bufferSize = 512);

// A path as the add-in writes it ("C:\dir\TEMP\x.txt" style separators) for this system.
std::string NativePath(const std::string& path);

}  // namespace win32
