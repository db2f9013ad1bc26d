#pragma once
// One host per profile: a process that runs the add-in or changes a profile holds an advisory
// lock on the profile's "profile.lock" for as long as it works on it. The kernel drops the lock
// when the process ends, however it ends, so a killed host never leaves the profile taken.
// (The registry file's own per-write lock, registry.reg.lock, is another matter.)
#include <string>

namespace host {

class ProfileLock {
 public:
  // Takes the profile in dir for holder (the command, shown to whoever waits). While another
  // process holds it, says once on stderr who does and waits up to waitSeconds; then throws
  // std::runtime_error naming the holder.
  ProfileLock(const std::string& dir, const std::string& holder, int waitSeconds);
  ~ProfileLock();
  ProfileLock(const ProfileLock&) = delete;
  ProfileLock& operator=(const ProfileLock&) = delete;

  static std::string PathIn(const std::string& dir) { return dir + "/profile.lock"; }

 private:
  int fd_ = -1;
};

}  // namespace host
