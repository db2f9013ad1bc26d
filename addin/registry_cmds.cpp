#include "addin/registry_cmds.h"

#include <functional>

#include "platform/com/com_error.h"
#include "platform/com/err_object.h"

namespace quorvane {

using namespace win32;

const char* const kConfigKey = "Software\\Microsoft\\Office\\Outlook\\Addins\\QuorvaneDLL.QuorvaneClass\\Configuration";

namespace {
constexpr const char* kCrLf = "\r\n";
constexpr const char* kTitle = "QuorvaneDLL";
constexpr size_t kMaxStringRead = 1024;
}  // namespace

// Closes the key on every way out, as each layer function opens it for one call only.
class RegistryCmds::OpenKey {
 public:
  OpenKey(Registry& registry) : registry_(registry) {}
  ~OpenKey() {
    if (key_) registry_.RegCloseKey(key_);
  }
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  Registry& registry_;
  HKEY key_ = 0;
};

bool RegistryCmds::Open(OpenKey& key, bool showErrors) {
  const long rc = registry_.RegOpenKeyEx(HKEY_CURRENT_USER, kConfigKey, 0, KEY_ALL_ACCESS, key.out());
  if (rc == ERROR_SUCCESS) return true;
  if (showErrors) Box("Error Opening Registry Key Entry:", std::string("Key/Path=") + kConfigKey, rc);
  return false;
}

void RegistryCmds::Box(const std::string& heading, const std::string& keyLine, long code) {
  ui_.MessageBox(heading + kCrLf + keyLine + kCrLf + "DLL Returned=" + std::to_string(code), kTitle, vbExclamation);
}

bool RegistryCmds::Guarded(const std::function<bool()>& body) {
  com::ErrObject err;
  bool result = false;
  if (!err.Try([&] { result = body(); })) {
    ui_.MessageBox(err.Description(), kTitle, vbExclamation);
    return false;
  }
  return result;
}

Bytes RegistryCmds::Encode(DWORD type, const com::Variant& value) {
  if (type == REG_DWORD) return DwordBytes(static_cast<DWORD>(value.ToLong()));
  const std::string text = value.ToString();
  return Bytes(text.begin(), text.end());  // ANSI text, no terminating NUL
}

bool RegistryCmds::fnRegGetValue(const std::string& name, DWORD /*type*/, com::Variant& value, bool showErrors) {
  return Guarded([&] {
    OpenKey key(registry_);
    if (!Open(key, showErrors)) return false;
    DWORD stored = REG_NONE;
    Bytes data;
    const long rc = registry_.RegQueryValueEx(key.get(), name, &stored, &data, kMaxStringRead);
    if (rc != ERROR_SUCCESS && !(rc == ERROR_MORE_DATA && stored == REG_SZ)) {
      if (showErrors) Box("Error Retrieving Registry Key Entry:", "Key=" + name, rc);
      return false;
    }
    if (stored == REG_SZ) {
      std::string text(data.begin(), data.end());
      if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
      value = text;
    } else if (stored == REG_DWORD) {
      value = static_cast<int32_t>(BytesToDword(data));
    } else {
      value = int32_t{1};
    }
    return true;
  });
}

bool RegistryCmds::fnRegCreateValue(DWORD type, const std::string& name, const com::Variant& value) {
  return Guarded([&] {
    OpenKey key(registry_);
    DWORD disposition = 0;
    long rc = registry_.RegCreateKeyEx(HKEY_CURRENT_USER, kConfigKey, "1", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                       key.out(), &disposition);
    if (rc != ERROR_SUCCESS) {
      Box("Error Creating Registry Key Entry:", "Key=", rc);
      return false;
    }
    if (type != REG_SZ && type != REG_DWORD) return true;
    rc = registry_.RegSetValueEx(key.get(), name, type, Encode(type, value));
    if (rc != ERROR_SUCCESS) {
      Box("Error Creating Registry Key Entry:", "Key=" + name, rc);
      return false;
    }
    return true;
  });
}

bool RegistryCmds::fnRegSetValue(const std::string& name, DWORD type, const com::Variant& value) {
  return Guarded([&] {
    OpenKey key(registry_);
    if (!Open(key, true)) return false;
    if (type != REG_SZ && type != REG_DWORD) return true;
    const long rc = registry_.RegSetValueEx(key.get(), name, type, Encode(type, value));
    if (rc != ERROR_SUCCESS) {
      Box("Error Setting Registry Key Entry:", "Key=" + name, rc);
      return false;
    }
    return true;
  });
}

bool RegistryCmds::fnRegDeleteValue(const std::string& name) {
  return Guarded([&] {
    OpenKey key(registry_);
    if (!Open(key, true)) return false;
    const long rc = registry_.RegDeleteValue(key.get(), name);
    if (rc != ERROR_SUCCESS) {
      Box("Error Deleting Registry Key Entry:", std::string("Key=") + kConfigKey + "\\" + name, rc);
      return false;
    }
    return true;
  });
}

}  // namespace quorvane
