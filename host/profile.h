#pragma once
// A member's profile: one folder holding the registry file (HKEY_CURRENT_USER), the
// Windows-directory stand-in with its TEMP folder, and the member's own store files.
#include <string>

namespace host {

class Profile {
 public:
  // Raises UsageError when the folder holds no profile.
  static Profile Open(const std::string& dir);
  // Creates the folder layout; an existing profile is refused.
  static Profile Create(const std::string& dir);

  const std::string& dir() const { return dir_; }
  std::string RegistryPath() const { return dir_ + "/registry.reg"; }
  std::string WindowsDirectory() const { return dir_ + "/WINDOWS"; }
  std::string LogPath() const { return WindowsDirectory() + "/TEMP/QZTErrLog.txt"; }

 private:
  explicit Profile(std::string dir) : dir_(std::move(dir)) {}
  std::string dir_;
};

}  // namespace host
