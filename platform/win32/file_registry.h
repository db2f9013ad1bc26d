#pragma once
// HKEY_CURRENT_USER kept in one registry text file per profile. Every call sees the file as it
// is, under an advisory lock (read again only when it changed); every change rewrites it
// atomically (temporary file, flush, rename), so two processes never lose each other's values
// and a crash leaves the old or the new file.
// A file that does not parse is never overwritten: calls fail with ERROR_BADDB and
// LastErrorText names the file and line.
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/win32/registry.h"
#include "platform/win32/registry_file.h"

namespace win32 {

class FileLock;

class FileRegistry : public Registry {
 public:
  explicit FileRegistry(std::string path);

  long RegCreateKeyEx(HKEY root, const std::string& subKey, const std::string& keyClass, DWORD options,
                      DWORD samDesired, HKEY* result, DWORD* disposition) override;
  long RegOpenKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD samDesired, HKEY* result) override;
  long RegQueryValueEx(HKEY key, const std::string& valueName, DWORD* type, Bytes* data,
                       size_t maxBytes = 1 << 20) override;
  long RegSetValueEx(HKEY key, const std::string& valueName, DWORD type, const Bytes& data) override;
  long RegDeleteValue(HKEY key, const std::string& valueName) override;
  long RegDeleteKey(HKEY root, const std::string& subKey) override;
  long RegCloseKey(HKEY key) override;
  std::string LastErrorText() const override;

  const std::string& path() const { return path_; }
  // Reads the whole file; throws RegistryParseError or std::runtime_error with the file named.
  RegistryTree Load() const;

  // Which file is at the path, and as written when: a replaced or rewritten file differs.
  struct Stamp {
    dev_t device;
    ino_t inode;
    off_t size;
    time_t modifiedSec;
    long modifiedNsec;
    time_t changedSec;
    long changedNsec;
    bool operator==(const Stamp&) const = default;
  };

 private:
  enum class Access { Read, Write };
  // Runs fn on the freshly read tree under the lock; a Write whose fn returns true saves it.
  long Transact(Access access, const std::function<long(RegistryTree&, bool& changed)>& fn);
  // Runs fn on the tree and saves it when fn changed it, counting the write past generation (the
  // lock file's count as read under the lock, held exclusively).
  long Write(const FileLock& lock, std::optional<uint64_t> generation, RegistryTree tree,
             const std::function<long(RegistryTree&, bool&)>& fn);
  long KeyPath(HKEY key, std::string& path);
  std::string FullPath(HKEY root, const std::string& subKey, long& error);

  struct Cached {
    uint64_t generation;
    Stamp stamp;
    RegistryTree tree;
  };

  std::string path_;
  std::mutex cacheMutex_;
  std::optional<Cached> cache_;
  std::mutex mutex_;
  std::map<HKEY, std::string> handles_;
  HKEY nextHandle_ = 0x1000;
};

}  // namespace win32
