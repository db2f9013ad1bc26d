#include "platform/win32/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace win32 {

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string& error) {
  const std::string tmp = path + ".tmp." + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = std::string("cannot create ") + tmp + ": " + std::strerror(errno);
    return false;
  }
  // Every way out closes the descriptor and removes the temporary file.
  auto fail = [&](const char* what, int code) {
    error = std::string(what) + " " + tmp + ": " + std::strerror(code);
    if (fd >= 0) ::close(fd);
    ::unlink(tmp.c_str());
    return false;
  };
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail("cannot write", errno);
    if (n == 0) return fail("cannot write", EIO);
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) return fail("cannot flush", errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return fail("cannot flush", errno);
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    error = std::string("cannot replace ") + path + ": " + std::strerror(errno);
    ::unlink(tmp.c_str());
    return false;
  }
  // Make the rename itself durable.
  std::string dir = path.substr(0, path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/'));
  if (dir.empty()) dir = ".";
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

}  // namespace win32
