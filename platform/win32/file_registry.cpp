#include "platform/win32/file_registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/win32/atomic_file.h"

namespace win32 {
namespace {

thread_local std::string tLastError;

std::string Normalise(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  while (!path.empty() && path.front() == '\\') path.erase(path.begin());
  return path;
}

std::optional<FileRegistry::Stamp> StampOf(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileRegistry::Stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec,
                             st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

}  // namespace

// flock on a side file: the registry file itself is replaced by rename on every write.
class FileLock {
 public:
  FileLock(const std::string& path, bool exclusive) {
    const std::string lockPath = path + ".lock";
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A reader of a profile it may not change takes the lock through a read-only descriptor, or
    // none when there is no lock file: the file is only ever replaced whole, by rename.
    if (fd_ < 0 && !exclusive && (errno == EACCES || errno == EROFS || errno == EPERM)) {
      fd_ = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd_ < 0) unlocked_ = true;
    }
    if (fd_ >= 0) {
      while (::flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0 && errno == EINTR) {
      }
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  bool ok() const { return fd_ >= 0 || unlocked_; }

  // How many times the file was written under this lock, as the lock file counts them; nullopt
  // when there is no lock file to count in.
  std::optional<uint64_t> Generation() const {
    if (fd_ < 0) return std::nullopt;
    char text[24] = {};
    const ssize_t n = ::pread(fd_, text, sizeof text - 1, 0);
    if (n < 0) return std::nullopt;
    return std::strtoull(text, nullptr, 10);
  }
  bool SetGeneration(uint64_t generation) const {
    const std::string text = std::to_string(generation) + "\n";
    return fd_ >= 0 && ::pwrite(fd_, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()) &&
           ::ftruncate(fd_, static_cast<off_t>(text.size())) == 0;
  }

  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
  bool unlocked_ = false;
};

FileRegistry::FileRegistry(std::string path) : path_(std::move(path)) {}

std::string FileRegistry::LastErrorText() const { return tLastError; }

RegistryTree FileRegistry::Load() const {
  std::ifstream in(path_, std::ios::binary);
  if (!in) {
    if (errno == ENOENT) return {};
    throw std::runtime_error("registry file " + path_ + ": " + std::strerror(errno));
  }
  std::stringstream text;
  text << in.rdbuf();
  return ParseRegistryText(text.str(), path_);
}

long FileRegistry::Transact(Access access, const std::function<long(RegistryTree&, bool&)>& fn) {
  if (access == Access::Write) {
    // Checked before the lock file is made: a profile one may not change is left as it is.
    if (std::string why = ReplaceRefusal(path_); !why.empty()) {
      tLastError = "registry file " + path_ + " cannot be changed: " + why;
      return ERROR_ACCESS_DENIED;
    }
  }
  FileLock lock(path_, access == Access::Write);
  if (!lock.ok()) {
    tLastError = "registry file " + path_ + ": cannot lock: " + std::strerror(errno);
    return ERROR_ACCESS_DENIED;
  }
  // The tree read last serves while the file is the one it was read from and no writer counted
  // a write since: a pass asks for settings dozens of times, and parsing is most of a read.
  std::lock_guard hold(cacheMutex_);
  const std::optional<uint64_t> generation = lock.Generation();
  const std::optional<Stamp> stamp = StampOf(path_);
  std::optional<RegistryTree> once;  // read for this call only: nothing to know a change by
  if (!cache_ || !generation || !stamp || cache_->generation != *generation || !(cache_->stamp == *stamp)) {
    cache_.reset();
    try {
      once = Load();
    } catch (const std::exception& e) {
      tLastError = e.what();
      return ERROR_BADDB;
    }
    if (generation && stamp) {
      cache_ = Cached{*generation, *stamp, std::move(*once)};
      once.reset();
    }
  }
  RegistryTree& tree = once ? *once : cache_->tree;
  if (access == Access::Write) return Write(lock, generation, tree, fn);
  bool unused = false;
  return fn(tree, unused);  // a reader does not change the tree
}

long FileRegistry::Write(const FileLock& lock, std::optional<uint64_t> generation, RegistryTree tree,
                         const std::function<long(RegistryTree&, bool&)>& fn) {
  bool changed = false;
  const long rc = fn(tree, changed);
  if (rc != ERROR_SUCCESS || !changed) return rc;
  cache_.reset();
  std::string error;
  if (!WriteFileAtomically(path_, WriteRegistryText(tree), error)) {
    tLastError = "registry file " + path_ + ": " + error;
    return ERROR_WRITE_FAULT;
  }
  // Counted, so that another process holding the old tree reads the file again even should the
  // new one look like it (same size and time, and its inode number used again).
  if (generation && lock.SetGeneration(*generation + 1)) {
    if (const std::optional<Stamp> stamp = StampOf(path_)) cache_ = Cached{*generation + 1, *stamp, std::move(tree)};
  }
  return ERROR_SUCCESS;
}

std::string FileRegistry::FullPath(HKEY root, const std::string& subKey, long& error) {
  error = ERROR_SUCCESS;
  if (root == HKEY_CURRENT_USER) return Normalise(subKey);
  std::string base;
  error = KeyPath(root, base);
  if (error != ERROR_SUCCESS) return "";
  const std::string sub = Normalise(subKey);
  return sub.empty() ? base : base.empty() ? sub : base + "\\" + sub;
}

long FileRegistry::KeyPath(HKEY key, std::string& path) {
  std::lock_guard lock(mutex_);
  auto it = handles_.find(key);
  if (it == handles_.end()) {
    tLastError = "invalid registry key handle";
    return ERROR_INVALID_HANDLE;
  }
  path = it->second;
  return ERROR_SUCCESS;
}

long FileRegistry::RegCreateKeyEx(HKEY root, const std::string& subKey, const std::string&, DWORD, DWORD,
                                  HKEY* result, DWORD* disposition) {
  long error;
  const std::string path = FullPath(root, subKey, error);
  if (error != ERROR_SUCCESS) return error;
  bool existed = false;
  const long rc = Transact(Access::Write, [&](RegistryTree& tree, bool& changed) {
    existed = tree.count(path) > 0;
    // Creating a key creates every key above it, as the host does.
    for (size_t pos = 0; pos != std::string::npos;) {
      pos = path.find('\\', pos + 1);
      const std::string prefix = path.substr(0, pos);
      if (!tree.count(prefix)) {
        tree[prefix];
        changed = true;
      }
    }
    return ERROR_SUCCESS;
  });
  if (rc != ERROR_SUCCESS) return rc;
  if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  std::lock_guard lock(mutex_);
  *result = nextHandle_++;
  handles_[*result] = path;
  return ERROR_SUCCESS;
}

long FileRegistry::RegOpenKeyEx(HKEY root, const std::string& subKey, DWORD, DWORD, HKEY* result) {
  long error;
  const std::string path = FullPath(root, subKey, error);
  if (error != ERROR_SUCCESS) return error;
  const long rc = Transact(Access::Read, [&](RegistryTree& tree, bool&) {
    if (!tree.count(path)) {
      tLastError = "registry key not found: " + path;
      return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_SUCCESS;
  });
  if (rc != ERROR_SUCCESS) return rc;
  std::lock_guard lock(mutex_);
  *result = nextHandle_++;
  handles_[*result] = path;
  return ERROR_SUCCESS;
}

long FileRegistry::RegQueryValueEx(HKEY key, const std::string& valueName, DWORD* type, Bytes* data,
                                   size_t maxBytes) {
  std::string path;
  if (long rc = KeyPath(key, path); rc != ERROR_SUCCESS) return rc;
  return Transact(Access::Read, [&](RegistryTree& tree, bool&) {
    auto it = tree.find(path);
    if (it == tree.end()) {
      tLastError = "registry key was deleted: " + path;
      return ERROR_KEY_DELETED;
    }
    const RegistryValue* v = it->second.Find(valueName);
    if (!v) {
      tLastError = "registry value not found: " + path + "\\" + valueName;
      return ERROR_FILE_NOT_FOUND;
    }
    if (type) *type = v->type;
    if (v->data.size() > maxBytes) {
      if (data) data->assign(v->data.begin(), v->data.begin() + static_cast<long>(maxBytes));
      return ERROR_MORE_DATA;
    }
    if (data) *data = v->data;
    return ERROR_SUCCESS;
  });
}

long FileRegistry::RegSetValueEx(HKEY key, const std::string& valueName, DWORD type, const Bytes& data) {
  std::string path;
  if (long rc = KeyPath(key, path); rc != ERROR_SUCCESS) return rc;
  return Transact(Access::Write, [&](RegistryTree& tree, bool& changed) {
    auto it = tree.find(path);
    if (it == tree.end()) {
      tLastError = "registry key was deleted: " + path;
      return ERROR_KEY_DELETED;
    }
    RegistryValue* v = it->second.Find(valueName);
    if (v && v->type == type && v->data == data) return ERROR_SUCCESS;
    if (!v) {
      it->second.values.push_back(RegistryValue{valueName, type, data});
    } else {
      v->type = type;
      v->data = data;
    }
    changed = true;
    return ERROR_SUCCESS;
  });
}

long FileRegistry::RegDeleteValue(HKEY key, const std::string& valueName) {
  std::string path;
  if (long rc = KeyPath(key, path); rc != ERROR_SUCCESS) return rc;
  return Transact(Access::Write, [&](RegistryTree& tree, bool& changed) {
    auto it = tree.find(path);
    if (it == tree.end()) return ERROR_KEY_DELETED;
    auto& values = it->second.values;
    for (auto v = values.begin(); v != values.end(); ++v) {
      if (com::EqualsNoCase(v->name, valueName)) {
        values.erase(v);
        changed = true;
        return ERROR_SUCCESS;
      }
    }
    tLastError = "registry value not found: " + path + "\\" + valueName;
    return ERROR_FILE_NOT_FOUND;
  });
}

long FileRegistry::RegDeleteKey(HKEY root, const std::string& subKey) {
  long error;
  const std::string path = FullPath(root, subKey, error);
  if (error != ERROR_SUCCESS) return error;
  if (path.empty()) return ERROR_ACCESS_DENIED;
  return Transact(Access::Write, [&](RegistryTree& tree, bool& changed) {
    auto it = tree.find(path);
    if (it == tree.end()) {
      tLastError = "registry key not found: " + path;
      return ERROR_FILE_NOT_FOUND;
    }
    // A subkey, if there is one, is the first key from the path and a backslash on.
    const std::string prefix = path + "\\";
    auto sub = tree.lower_bound(prefix);
    if (sub != tree.end() && com::EqualsNoCase(sub->first.substr(0, prefix.size()), prefix)) {
      tLastError = "registry key has subkeys: " + path;
      return ERROR_ACCESS_DENIED;
    }
    tree.erase(it);
    changed = true;
    return ERROR_SUCCESS;
  });
}

long FileRegistry::RegCloseKey(HKEY key) {
  std::lock_guard lock(mutex_);
  return handles_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace win32
