#pragma once
// The add-in's registry layer: one value of the add-in's configuration key per call, the key
// opened and closed each time. Every function returns true on success and shows its own
// message box (title "QuorvaneDLL") on failure.
#include <functional>
#include <string>

#include "platform/com/variant.h"
#include "platform/win32/registry.h"
#include "platform/win32/ui.h"

namespace quorvane {

extern const char* const kConfigKey;

class RegistryCmds {
 public:
  RegistryCmds(win32::Registry& registry, win32::Ui& ui) : registry_(registry), ui_(ui) {}

  // value receives, by the type stored: REG_SZ the text, REG_DWORD the 32-bit number,
  // any other type the number 1. Left untouched on failure.
  bool fnRegGetValue(const std::string& name, win32::DWORD type, com::Variant& value, bool showErrors);
  // Creates the key when missing; a type other than REG_SZ or REG_DWORD writes nothing.
  bool fnRegCreateValue(win32::DWORD type, const std::string& name, const com::Variant& value);
  bool fnRegSetValue(const std::string& name, win32::DWORD type, const com::Variant& value);
  bool fnRegDeleteValue(const std::string& name);

 private:
  class OpenKey;
  bool Open(OpenKey& key, bool showErrors);
  void Box(const std::string& heading, const std::string& keyLine, long code);
  bool Guarded(const std::function<bool()>& body);
  static win32::Bytes Encode(win32::DWORD type, const com::Variant& value);

  win32::Registry& registry_;
  win32::Ui& ui_;
};

}  // namespace quorvane
