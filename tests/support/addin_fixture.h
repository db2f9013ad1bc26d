#pragma once
// An add-in on a scratch profile: real registry file, recorded message boxes, a clock fixed
// at 10 March 2026 09:30 and a message loop on that clock.
#include <memory>

#include <gtest/gtest.h>

#include "addin/quorvane_class.h"
#include "platform/win32/file_registry.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

class AddinFixture : public ::testing::Test {
 protected:
  AddinFixture();
  ~AddinFixture() override;

  // A registry that the add-in uses; tests may wrap the file registry to inject failures.
  void UseRegistry(win32::Registry& registry);
  // Connects the add-in as the host does at load.
  void Connect();
  std::string Log() const;
  std::string LogPath() const { return dir / "WINDOWS/TEMP/QZTErrLog.txt"; }

  // Reads a configuration value straight from the registry file.
  bool StoredValue(const std::string& name, win32::DWORD* type, win32::Bytes* data);
  void Store(const std::string& name, win32::DWORD type, const win32::Bytes& data);
  void StoreDword(const std::string& name, uint32_t v) { Store(name, win32::REG_DWORD, win32::DwordBytes(v)); }
  void StoreText(const std::string& name, const std::string& text) {
    Store(name, win32::REG_SZ, win32::Bytes(text.begin(), text.end()));
  }
  std::vector<std::string> BoxTexts() const;

  TempDir dir;
  win32::FileRegistry fileRegistry;
  win32::ScriptedUi ui;
  win32::VirtualClock clock;
  win32::MessageLoop loop;
  std::unique_ptr<win32::Environment> env;
  std::shared_ptr<quorvane::QuorvaneClass> addin;
};

}  // namespace testing_support
