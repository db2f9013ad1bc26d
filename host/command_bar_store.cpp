#include "host/command_bar_store.h"

#include <stdexcept>

#include "platform/com/text.h"

namespace host {
namespace {

const std::string kBarsKey = "Software\\Quorvane\\CommandBars";

std::string Text(const win32::RegistryValue* v) { return v ? std::string(v->data.begin(), v->data.end()) : ""; }
int Number(const win32::RegistryValue* v) { return v ? static_cast<int>(win32::BytesToDword(v->data)) : 0; }

// The bar's name when path is the key of a kept bar, else empty.
std::string BarName(const std::string& path) {
  if (path.size() <= kBarsKey.size() + 1 || !com::EqualsNoCase(path.substr(0, kBarsKey.size() + 1), kBarsKey + "\\")) {
    return "";
  }
  return path.substr(kBarsKey.size() + 1);
}

void Check(const win32::FileRegistry& registry, long rc) {
  if (rc != win32::ERROR_SUCCESS) throw std::runtime_error(registry.LastErrorText());
}

struct OpenKey {
  win32::FileRegistry& registry;
  win32::HKEY handle = 0;
  ~OpenKey() {
    if (handle) registry.RegCloseKey(handle);
  }
};

}  // namespace

std::shared_ptr<office::CommandBars> LoadCommandBars(win32::FileRegistry& registry) {
  auto bars = std::make_shared<office::CommandBars>();
  for (auto& [path, key] : registry.Load()) {
    const std::string name = BarName(path);
    // A key without values holds no bar: profiles kept a deleted bar's key so before.
    if (name.empty() || key.values.empty()) continue;
    auto bar = bars->Add(name, Number(key.Find("Position")), false);
    bar->enabled = Number(key.Find("Enabled")) != 0;
    bar->visible = Number(key.Find("Visible")) != 0;
    const int count = Number(key.Find("Buttons"));
    for (int i = 1; i <= count; ++i) {
      const std::string n = "Button" + std::to_string(i);
      auto button = bar->AddControl(office::msoControlButton, false);
      button->caption = Text(key.Find(n));
      button->faceId = Number(key.Find(n + "FaceId"));
      button->style = Number(key.Find(n + "Style"));
    }
  }
  return bars;
}

void SaveCommandBars(win32::FileRegistry& registry, const office::CommandBars& bars) {
  // A bar that is gone takes its key with it, so the next start does not find it.
  for (auto& [path, key] : registry.Load()) {
    const std::string name = BarName(path);
    if (name.empty()) continue;
    bool kept = false;
    for (const auto& bar : bars.bars()) kept = kept || (!bar->temporary && com::EqualsNoCase(bar->Name(), name));
    if (kept) continue;
    const long rc = registry.RegDeleteKey(win32::HKEY_CURRENT_USER, path);
    if (rc != win32::ERROR_FILE_NOT_FOUND) Check(registry, rc);
  }
  for (const auto& bar : bars.bars()) {
    if (bar->temporary) continue;
    OpenKey key{registry};
    Check(registry, registry.RegCreateKeyEx(win32::HKEY_CURRENT_USER, kBarsKey + "\\" + bar->Name(), "", 0, 0,
                                            &key.handle, nullptr));
    const win32::HKEY h = key.handle;
    auto dword = [&](const std::string& name, int v) {
      Check(registry, registry.RegSetValueEx(h, name, win32::REG_DWORD, win32::DwordBytes(static_cast<win32::DWORD>(v))));
    };
    auto text = [&](const std::string& name, const std::string& v) {
      Check(registry, registry.RegSetValueEx(h, name, win32::REG_SZ, win32::Bytes(v.begin(), v.end())));
    };
    dword("Enabled", bar->enabled);
    dword("Visible", bar->visible);
    dword("Position", bar->position);
    int n = 0;
    for (const auto& button : bar->controls()) {
      if (button->temporary) continue;
      const std::string name = "Button" + std::to_string(++n);
      text(name, button->caption);
      dword(name + "FaceId", button->faceId);
      dword(name + "Style", button->style);
    }
    dword("Buttons", n);
  }
}

}  // namespace host
