#include "host/profile_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <thread>

namespace host {
namespace {

bool TryLock(int fd) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return false;
    throw std::runtime_error(std::string("cannot lock the profile: ") + std::strerror(errno));
  }
}

// "process 1234 (sync local)" from the holder's "1234 sync local"; empty while it has not
// written it yet.
std::string Holder(int fd) {
  char buf[512];
  const ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
  if (n <= 0) return "";
  std::string text(buf, static_cast<size_t>(n));
  if (const size_t end = text.find('\n'); end != std::string::npos) text.resize(end);
  const size_t space = text.find(' ');
  if (space == std::string::npos) return "process " + text;
  return "process " + text.substr(0, space) + " (" + text.substr(space + 1) + ")";
}

// Only for the message of whoever waits: a failure to write it is no reason to stop.
bool Describe(int fd, const std::string& text) {
  return ::ftruncate(fd, 0) == 0 && ::pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
}

}  // namespace

ProfileLock::ProfileLock(const std::string& dir, const std::string& holder, int waitSeconds) {
  const std::string path = PathIn(dir);
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
  try {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::seconds(waitSeconds);
    bool announced = false;
    while (!TryLock(fd_)) {
      std::string who = Holder(fd_);
      if (Clock::now() >= deadline) {
        throw std::runtime_error("profile " + dir + " is still in use by " + (who.empty() ? "another process" : who) +
                                 " after " + std::to_string(waitSeconds) + " s; try again when it has finished");
      }
      // The holder writes its name just after it takes the lock: give it a moment to.
      if (!announced && (!who.empty() || Clock::now() - start > std::chrono::milliseconds(200))) {
        std::cerr << "quorvane: waiting for profile " << dir << ", in use by "
                  << (who.empty() ? "another process" : who) << std::endl;
        announced = true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  } catch (...) {
    ::close(fd_);
    throw;
  }
  Describe(fd_, std::to_string(::getpid()) + " " + holder + "\n");
}

ProfileLock::~ProfileLock() {
  // Emptied while still held, so no one reads of a process that has finished.
  Describe(fd_, "");
  ::close(fd_);
}

}  // namespace host
