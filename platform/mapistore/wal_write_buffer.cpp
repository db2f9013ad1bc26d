#include "platform/mapistore/wal_write_buffer.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <mutex>
#include <set>
#include <vector>

namespace mapistore {

namespace {

constexpr int kFrameHeaderSize = 24;
constexpr size_t kMaxPending = 4 << 20;  // a transaction bigger than this goes out in pieces
constexpr size_t kMaxWrite = 0x1ffff;    // the most the system VFS writes in one call

struct Pending {
  std::vector<char> data;
  sqlite3_int64 start = 0;
  bool commitFrameNext = false;  // the commit frame's header is in; its page completes the commit
  bool unsynced = false;         // written since the last sync
  sqlite3_int64 extent = 0;      // the file is known to be at least this long
};

struct WalFile {
  sqlite3_file base;
  sqlite3_file* real;
  Pending* pending;
};

constexpr size_t kWalFileSize = (sizeof(WalFile) + 7) & ~size_t{7};

// Every open log, so one database can make the others' commits durable before its own.
std::mutex gLogsMutex;
std::set<sqlite3_file*> gLogs;


WalFile* Wal(sqlite3_file* f) { return reinterpret_cast<WalFile*>(f); }
sqlite3_file* Real(sqlite3_file* f) { return Wal(f)->real; }

// A sync of a file that grew must also write the file's new size and blocks to the disk, which
// costs a journal commit of the file system (milliseconds on a virtual disk); a sync of writes
// within the file's length writes only the data. So the log is lengthened ahead of its frames,
// with zeros (never mistaken for frames: they fail the frames' checksums), a stretch at a time.
constexpr sqlite3_int64 kExtendBy = 1 << 20;

int ExtendFor(sqlite3_file* f, sqlite3_int64 end) {
  Pending& p = *Wal(f)->pending;
  if (end <= p.extent) return SQLITE_OK;
  // Only past the file's true end, as it is now: another process may have written up to there.
  if (const int rc = Real(f)->pMethods->xFileSize(Real(f), &p.extent); rc != SQLITE_OK) return rc;
  if (end <= p.extent) return SQLITE_OK;
  static const std::vector<char> zeros(kMaxWrite, 0);
  const sqlite3_int64 target = (end / kExtendBy + 1) * kExtendBy;
  for (sqlite3_int64 at = p.extent; at < target;) {
    const int n = static_cast<int>(std::min<sqlite3_int64>(kMaxWrite, target - at));
    if (const int rc = Real(f)->pMethods->xWrite(Real(f), zeros.data(), n, at); rc != SQLITE_OK) return rc;
    at += n;
  }
  p.extent = target;
  return SQLITE_OK;
}

int Flush(sqlite3_file* f) {
  Pending& p = *Wal(f)->pending;
  if (p.data.empty()) return SQLITE_OK;
  int rc = ExtendFor(f, p.start + static_cast<sqlite3_int64>(p.data.size()));
  for (size_t done = 0; done < p.data.size() && rc == SQLITE_OK;) {
    const size_t n = std::min(kMaxWrite, p.data.size() - done);
    rc = Real(f)->pMethods->xWrite(Real(f), p.data.data() + done, static_cast<int>(n),
                                   p.start + static_cast<sqlite3_int64>(done));
    done += n;
  }
  p.data.clear();
  p.commitFrameNext = false;
  return rc;
}

// A frame header whose "database size after commit" field is set ends a transaction.
bool IsCommitFrameHeader(const void* buf, int amount) {
  if (amount != kFrameHeaderSize) return false;
  const auto* b = static_cast<const unsigned char*>(buf);
  return (b[4] | b[5] | b[6] | b[7]) != 0;
}

int Write(sqlite3_file* f, const void* buf, int amount, sqlite3_int64 offset) {
  Pending& p = *Wal(f)->pending;
  if (!p.data.empty() && offset != p.start + static_cast<sqlite3_int64>(p.data.size())) {
    if (const int rc = Flush(f); rc != SQLITE_OK) return rc;
  }
  if (p.data.empty()) p.start = offset;
  p.unsynced = true;
  const auto* bytes = static_cast<const char*>(buf);
  p.data.insert(p.data.end(), bytes, bytes + amount);
  if (p.commitFrameNext || p.data.size() >= kMaxPending) return Flush(f);
  p.commitFrameNext = IsCommitFrameHeader(buf, amount);
  return SQLITE_OK;
}

int Close(sqlite3_file* f) {
  {
    std::lock_guard lock(gLogsMutex);
    gLogs.erase(f);
  }
  Flush(f);
  delete Wal(f)->pending;
  return Real(f)->pMethods->xClose(Real(f));
}

// Everything else sees the file as written so far.
int Read(sqlite3_file* f, void* buf, int amount, sqlite3_int64 offset) {
  if (const int rc = Flush(f); rc != SQLITE_OK) return rc;
  return Real(f)->pMethods->xRead(Real(f), buf, amount, offset);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) {
  if (const int rc = Flush(f); rc != SQLITE_OK) return rc;
  Wal(f)->pending->extent = std::min(Wal(f)->pending->extent, size);
  return Real(f)->pMethods->xTruncate(Real(f), size);
}
int Sync(sqlite3_file* f, int flags) {
  if (const int rc = Flush(f); rc != SQLITE_OK) return rc;
  const int rc = Real(f)->pMethods->xSync(Real(f), flags);
  if (rc == SQLITE_OK) Wal(f)->pending->unsynced = false;
  return rc;
}
int FileSize(sqlite3_file* f, sqlite3_int64* size) {
  if (const int rc = Flush(f); rc != SQLITE_OK) return rc;
  return Real(f)->pMethods->xFileSize(Real(f), size);
}
int Lock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
int Unlock(sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) { return Real(f)->pMethods->xCheckReservedLock(Real(f), out); }
int FileControl(sqlite3_file* f, int op, void* arg) {
  if (const int rc = Flush(f); rc != SQLITE_OK) return rc;
  return Real(f)->pMethods->xFileControl(Real(f), op, arg);
}
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); }

// A log file is never shared memory or memory-mapped: version 1 methods.
const sqlite3_io_methods kWalMethods = {
    1,       Close,   Read,    Write,   Truncate, Sync,    FileSize, Lock, Unlock, CheckReservedLock, FileControl,
    SectorSize, DeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* outFlags) {
  auto* real = static_cast<sqlite3_vfs*>(vfs->pAppData);
  // Other files are the system VFS's own, in the same memory.
  if (!(flags & SQLITE_OPEN_WAL)) return real->xOpen(real, name, file, flags, outFlags);
  WalFile* wal = Wal(file);
  wal->base.pMethods = nullptr;
  wal->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + kWalFileSize);
  const int rc = real->xOpen(real, name, wal->real, flags, outFlags);
  if (rc != SQLITE_OK) {
    if (wal->real->pMethods) wal->real->pMethods->xClose(wal->real);
    return rc;
  }
  wal->pending = new Pending();
  wal->base.pMethods = &kWalMethods;
  std::lock_guard lock(gLogsMutex);
  gLogs.insert(file);
  return SQLITE_OK;
}

}  // namespace

int SyncLog(sqlite3_file* log) {
  std::lock_guard lock(gLogsMutex);
  if (!gLogs.count(log) || !Wal(log)->pending->unsynced) return SQLITE_OK;
  return Sync(log, SQLITE_SYNC_NORMAL);
}

int SyncLogsExcept(sqlite3_file* except) {
  std::lock_guard lock(gLogsMutex);
  for (sqlite3_file* log : gLogs) {
    if (log == except || !Wal(log)->pending->unsynced) continue;
    if (const int rc = Sync(log, SQLITE_SYNC_NORMAL); rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

const char* WalWriteBufferVfs(const char* base) {
  // One wrapper per base VFS, registered on first use and kept for the process's life.
  struct Wrapper {
    sqlite3_vfs vfs;
    std::string name;
  };
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<Wrapper>> wrappers;
  std::lock_guard lock(mutex);
  const std::string key = base ? base : "";
  auto& wrapper = wrappers[key];
  if (!wrapper) {
    sqlite3_vfs* real = sqlite3_vfs_find(base);
    if (!real) return nullptr;  // opening then fails with SQLite's own message
    // The base VFS's other methods take no notice of which VFS they are called through.
    wrapper.reset(new Wrapper{*real, "quorvane-wal-buffer" + (key.empty() ? std::string() : "/" + key)});
    wrapper->vfs.szOsFile = static_cast<int>(kWalFileSize) + real->szOsFile;
    wrapper->vfs.zName = wrapper->name.c_str();
    wrapper->vfs.pAppData = real;
    wrapper->vfs.pNext = nullptr;
    wrapper->vfs.xOpen = Open;
    sqlite3_vfs_register(&wrapper->vfs, 0);
  }
  return wrapper->vfs.zName;
}

}  // namespace mapistore
