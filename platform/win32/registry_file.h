#pragma once
// The registry text format ("Windows Registry Editor Version 5.00"): parsing and writing.
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/com/text.h"
#include "platform/win32/registry.h"

namespace win32 {

struct RegistryValue {
  std::string name;
  DWORD type = REG_SZ;
  Bytes data;
};

struct RegistryKey {
  std::vector<RegistryValue> values;  // in the order they were first written
  RegistryValue* Find(const std::string& name);
};

// Key paths below HKEY_CURRENT_USER, compared without regard to case.
using RegistryTree = std::map<std::string, RegistryKey, com::NoCaseLess>;

class RegistryParseError : public std::runtime_error {
 public:
  RegistryParseError(const std::string& file, int line, const std::string& what);
  int line() const { return line_; }

 private:
  int line_;
};

RegistryTree ParseRegistryText(const std::string& text, const std::string& fileName);
std::string WriteRegistryText(const RegistryTree& tree);

}  // namespace win32
