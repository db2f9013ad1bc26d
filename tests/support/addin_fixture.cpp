#include "tests/support/addin_fixture.h"

#include <filesystem>

#include "addin/registry_cmds.h"
#include "folders/folder_browser_form.h"

namespace testing_support {

AddinFixture::AddinFixture()
    : fileRegistry(dir / "registry.reg"), clock(com::Date::FromParts(2026, 3, 10, 9, 30, 0)), loop(clock) {
  std::filesystem::create_directories(dir / "WINDOWS/TEMP");
  UseRegistry(fileRegistry);
}

AddinFixture::~AddinFixture() {
  if (addin && addin->tcTimer) addin->tcTimer->SetEnable(false);  // before its loop goes
  // A browser left open holds the add-in, as the add-in holds it, until shutdown.
  if (addin && addin->Form2) addin->Form2->Command2_Click();
  win32::SetEnv(nullptr);
}

void AddinFixture::UseRegistry(win32::Registry& registry) {
  env = std::make_unique<win32::Environment>(win32::Environment{registry, ui, clock, loop, dir / "WINDOWS"});
  win32::SetEnv(env.get());
  addin = std::make_shared<quorvane::QuorvaneClass>(*env);
  addin->strLogFolder = dir / "WINDOWS" + "\\TEMP\\";
}

void AddinFixture::Connect() {
  com::Args custom;
  addin->OnConnection(nullptr, 0, nullptr, custom);
}

std::string AddinFixture::Log() const { return ReadFile(LogPath()); }

bool AddinFixture::StoredValue(const std::string& name, win32::DWORD* type, win32::Bytes* data) {
  win32::HKEY key = 0;
  if (fileRegistry.RegOpenKeyEx(win32::HKEY_CURRENT_USER, quorvane::kConfigKey, 0, 0, &key) != 0) return false;
  const long rc = fileRegistry.RegQueryValueEx(key, name, type, data);
  fileRegistry.RegCloseKey(key);
  return rc == 0;
}

void AddinFixture::Store(const std::string& name, win32::DWORD type, const win32::Bytes& data) {
  win32::HKEY key = 0;
  ASSERT_EQ(0, fileRegistry.RegCreateKeyEx(win32::HKEY_CURRENT_USER, quorvane::kConfigKey, "", 0, 0, &key, nullptr));
  ASSERT_EQ(0, fileRegistry.RegSetValueEx(key, name, type, data));
  fileRegistry.RegCloseKey(key);
}

std::vector<std::string> AddinFixture::BoxTexts() const {
  std::vector<std::string> texts;
  for (const auto& box : ui.shown) texts.push_back(box.text);
  return texts;
}

}  // namespace testing_support
