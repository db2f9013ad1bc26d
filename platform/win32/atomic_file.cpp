#include "platform/win32/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace win32 {

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string ReadOnlyReason(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "";
  const char* what = S_ISDIR(st.st_mode) ? "folder " : "";
  if (::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    return std::string(what) + path + " is read-only (" + std::strerror(errno) + ")";
  }
  if (::geteuid() == 0 && (st.st_mode & S_IWUSR) == 0) {
    return std::string(what) + path + " is read-only (" + std::strerror(EACCES) + ")";
  }
  return "";
}

std::string ReplaceRefusal(const std::string& path) {
  std::string why = ReadOnlyReason(path);
  return why.empty() ? ReadOnlyReason(FolderOf(path)) : why;
}

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string& error) {
  if (std::string why = ReplaceRefusal(path); !why.empty()) {
    error = "cannot replace " + path + ": " + why;
    return false;
  }
  const std::string dir = FolderOf(path);
  struct stat old {};
  const bool replacing = ::stat(path.c_str(), &old) == 0;
  const mode_t mode = replacing ? (old.st_mode & 07777) : 0644;
  const std::string tmp = path + ".tmp." + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
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
  // The creation mode passed through the umask; the old file's permissions are meant exactly.
  struct stat made {};
  if (replacing && ::fstat(fd, &made) == 0 && S_ISREG(made.st_mode) && (made.st_mode & 07777) != mode &&
      ::fchmod(fd, mode) != 0) {
    return fail("cannot set the permissions of", errno);
  }
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
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

}  // namespace win32
