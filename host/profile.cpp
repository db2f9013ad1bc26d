#include "host/profile.h"

#include <filesystem>

#include "host/usage_error.h"

namespace fs = std::filesystem;

namespace host {

Profile Profile::Open(const std::string& dir) {
  Profile p(fs::absolute(dir).lexically_normal().string());
  if (!fs::exists(p.RegistryPath())) throw UsageError("no profile in " + p.dir() + " (create one with 'init')");
  return p;
}

Profile Profile::Create(const std::string& dir) {
  Profile p(fs::absolute(dir).lexically_normal().string());
  if (fs::exists(p.RegistryPath())) throw UsageError("a profile already exists in " + p.dir());
  std::error_code ec;
  fs::create_directories(p.WindowsDirectory() + "/TEMP", ec);
  if (ec) throw UsageError("cannot create profile folder " + p.dir() + ": " + ec.message());
  return p;
}

}  // namespace host
