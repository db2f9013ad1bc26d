// The registry text parser on arbitrary text. What parses must come back the same after being
// written out and read again: the profile's registry file is rewritten from the parsed tree,
// and a tree the parser cannot read back would lock the user out of their settings.
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "platform/win32/registry_file.h"

namespace {

bool SameTree(const win32::RegistryTree& a, const win32::RegistryTree& b) {
  if (a.size() != b.size()) return false;
  for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
    if (i->first != j->first || i->second.values.size() != j->second.values.size()) return false;
    for (size_t k = 0; k < i->second.values.size(); ++k) {
      const win32::RegistryValue& x = i->second.values[k];
      const win32::RegistryValue& y = j->second.values[k];
      if (x.name != y.name || x.type != y.type || x.data != y.data) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  win32::RegistryTree tree;
  try {
    tree = win32::ParseRegistryText(text, "registry.reg");
  } catch (const win32::RegistryParseError&) {
    return 0;
  }
  const std::string written = win32::WriteRegistryText(tree);
  win32::RegistryTree again;
  try {
    again = win32::ParseRegistryText(written, "registry.reg");
  } catch (const win32::RegistryParseError& e) {
    std::fprintf(stderr, "the written text does not parse: %s\n%s\n", e.what(), written.c_str());
    std::abort();
  }
  if (!SameTree(tree, again)) {
    std::fprintf(stderr, "the written text reads back differently:\n%s\n", written.c_str());
    std::abort();
  }
  return 0;
}
