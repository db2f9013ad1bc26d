#include "host/command_bar_store.h"

#include "platform/com/text.h"

namespace host {
namespace {

const std::string kBarsKey = "Software\\Quorvane\\CommandBars";

std::string Text(const win32::RegistryValue* v) { return v ? std::string(v->data.begin(), v->data.end()) : ""; }
int Number(const win32::RegistryValue* v) { return v ? static_cast<int>(win32::BytesToDword(v->data)) : 0; }

}  // namespace

std::shared_ptr<office::CommandBars> LoadCommandBars(win32::FileRegistry& registry) {
  auto bars = std::make_shared<office::CommandBars>();
  for (auto& [path, key] : registry.Load()) {
    if (path.size() <= kBarsKey.size() + 1 || !com::EqualsNoCase(path.substr(0, kBarsKey.size() + 1), kBarsKey + "\\")) {
      continue;
    }
    auto bar = bars->Add(path.substr(kBarsKey.size() + 1), Number(key.Find("Position")), false);
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
  // A bar that is gone leaves its key empty (values that are already there stay untouched).
  for (auto& [path, key] : registry.Load()) {
    if (path.size() <= kBarsKey.size() + 1 || !com::EqualsNoCase(path.substr(0, kBarsKey.size() + 1), kBarsKey + "\\")) {
      continue;
    }
    bool kept = false;
    for (const auto& bar : bars.bars()) kept = kept || (!bar->temporary && com::EqualsNoCase(bar->Name(), path.substr(kBarsKey.size() + 1)));
    if (kept) continue;
    win32::HKEY h = 0;
    if (registry.RegOpenKeyEx(win32::HKEY_CURRENT_USER, path, 0, 0, &h) != 0) continue;
    for (const auto& v : key.values) registry.RegDeleteValue(h, v.name);
    registry.RegCloseKey(h);
  }
  for (const auto& bar : bars.bars()) {
    if (bar->temporary) continue;
    win32::HKEY h = 0;
    if (registry.RegCreateKeyEx(win32::HKEY_CURRENT_USER, kBarsKey + "\\" + bar->Name(), "", 0, 0, &h, nullptr) != 0) {
      throw std::runtime_error(registry.LastErrorText());
    }
    auto dword = [&](const std::string& name, int v) {
      registry.RegSetValueEx(h, name, win32::REG_DWORD, win32::DwordBytes(static_cast<win32::DWORD>(v)));
    };
    auto text = [&](const std::string& name, const std::string& v) {
      registry.RegSetValueEx(h, name, win32::REG_SZ, win32::Bytes(v.begin(), v.end()));
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
    registry.RegCloseKey(h);
  }
}

}  // namespace host
