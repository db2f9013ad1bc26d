#include "platform/win32/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/com/com_error.h"
#include "platform/win32/environment.h"

namespace win32 {
namespace {

void Write(const std::string& path, const std::string& text, const char* mode) {
  const std::string native = NativePath(path);
  FILE* f = std::fopen(native.c_str(), mode);
  if (!f) {
    const int e = errno;
    com::Raise(e == ENOENT || e == ENOTDIR ? com::kErrPathNotFound : com::kErrFileAccess);
  }
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool closed = std::fclose(f) == 0;
  if (!ok || !closed) com::Raise(com::kErrFileAccess);
}

}  // namespace

void WriteTextFile(const std::string& path, const std::string& text) { Write(path, text, "wb"); }

namespace {
// The file appended to last stays open: a log gets a line at every step of a pass. It is
// opened again when the name no longer leads to it (deleted, or replaced by another file), as
// checked at most every quarter second.
constexpr int64_t kRecheckMs = 250;

struct OpenAppend {
  std::mutex mutex;
  std::string path;
  int fd = -1;
  dev_t device = 0;
  ino_t inode = 0;
  int64_t checkedMs = 0;
} gAppend;

bool StillThere(const std::string& native, int64_t now) {
  if (gAppend.fd < 0 || gAppend.path != native) return false;
  if (now - gAppend.checkedMs < kRecheckMs) return true;
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0 || st.st_dev != gAppend.device || st.st_ino != gAppend.inode) return false;
  gAppend.checkedMs = now;
  return true;
}
}  // namespace

void AppendTextFile(const std::string& path, const std::string& text, Clock& clock) {
  const std::string native = NativePath(path);
  std::lock_guard lock(gAppend.mutex);
  const int64_t now = clock.TickMs();
  if (!StillThere(native, now)) {
    if (gAppend.fd >= 0) ::close(gAppend.fd);
    gAppend.fd = ::open(native.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    struct stat st {};
    if (gAppend.fd < 0 || ::fstat(gAppend.fd, &st) != 0) {
      const int e = errno;
      if (gAppend.fd >= 0) ::close(gAppend.fd);
      gAppend.fd = -1;
      com::Raise(e == ENOENT || e == ENOTDIR ? com::kErrPathNotFound : com::kErrFileAccess);
    }
    gAppend.path = native;
    gAppend.device = st.st_dev;
    gAppend.inode = st.st_ino;
    gAppend.checkedMs = now;
  }
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(gAppend.fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) com::Raise(com::kErrFileAccess);
    done += static_cast<size_t>(n);
  }
}

}  // namespace win32
