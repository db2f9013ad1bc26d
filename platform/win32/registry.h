#pragma once
// The registry functions the add-in calls, for HKEY_CURRENT_USER. Each returns a Windows
// error code: 0 on success, 2 for a missing key or value, 1009 for a store that cannot be read.
#include <cstdint>
#include <string>
#include <vector>

namespace win32 {

using HKEY = uintptr_t;
using DWORD = uint32_t;
using Bytes = std::vector<uint8_t>;

constexpr HKEY HKEY_CURRENT_USER = 0x80000001;

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_INVALID_PARAMETER = 87;
constexpr long ERROR_MORE_DATA = 234;
constexpr long ERROR_BADDB = 1009;
constexpr long ERROR_KEY_DELETED = 1018;
constexpr long ERROR_WRITE_FAULT = 29;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

class Registry {
 public:
  virtual ~Registry();
  virtual long RegCreateKeyEx(HKEY root, const std::string& subKey, const std::string& keyClass, DWORD options,
                              DWORD samDesired, HKEY* result, DWORD* disposition) = 0;
  virtual long RegOpenKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD samDesired, HKEY* result) = 0;
  // data receives the stored bytes; at most maxBytes are returned (ERROR_MORE_DATA beyond).
  virtual long RegQueryValueEx(HKEY key, const std::string& valueName, DWORD* type, Bytes* data,
                               size_t maxBytes = 1 << 20) = 0;
  virtual long RegSetValueEx(HKEY key, const std::string& valueName, DWORD type, const Bytes& data) = 0;
  virtual long RegDeleteValue(HKEY key, const std::string& valueName) = 0;
  // Deletes a key that has no subkeys (ERROR_ACCESS_DENIED when it has some), with its values.
  virtual long RegDeleteKey(HKEY root, const std::string& subKey) = 0;
  virtual long RegCloseKey(HKEY key) = 0;
  // The text behind the last failure on this thread (file and line for a bad store).
  virtual std::string LastErrorText() const = 0;
};

// Forwards every call, so a test double overrides only what it needs.
class RegistryWrapper : public Registry {
 public:
  explicit RegistryWrapper(Registry& target) : target_(target) {}
  long RegCreateKeyEx(HKEY root, const std::string& subKey, const std::string& keyClass, DWORD options,
                      DWORD samDesired, HKEY* result, DWORD* disposition) override {
    return target_.RegCreateKeyEx(root, subKey, keyClass, options, samDesired, result, disposition);
  }
  long RegOpenKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD samDesired, HKEY* result) override {
    return target_.RegOpenKeyEx(root, subKey, options, samDesired, result);
  }
  long RegQueryValueEx(HKEY key, const std::string& valueName, DWORD* type, Bytes* data, size_t maxBytes) override {
    return target_.RegQueryValueEx(key, valueName, type, data, maxBytes);
  }
  long RegSetValueEx(HKEY key, const std::string& valueName, DWORD type, const Bytes& data) override {
    return target_.RegSetValueEx(key, valueName, type, data);
  }
  long RegDeleteValue(HKEY key, const std::string& valueName) override { return target_.RegDeleteValue(key, valueName); }
  long RegDeleteKey(HKEY root, const std::string& subKey) override { return target_.RegDeleteKey(root, subKey); }
  long RegCloseKey(HKEY key) override { return target_.RegCloseKey(key); }
  std::string LastErrorText() const override { return target_.LastErrorText(); }

 private:
  Registry& target_;
};

Bytes DwordBytes(DWORD value);
DWORD BytesToDword(const Bytes& data);

}  // namespace win32
