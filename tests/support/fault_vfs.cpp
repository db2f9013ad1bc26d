#include "tests/support/fault_vfs.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <vector>

namespace testing_support {
namespace {

struct PendingWrite {
  int64_t offset = 0;
  std::string data;
  bool truncate = false;  // then offset is the new size
};

// A file as the disk holds it for sure, and what was written since.
struct FileState {
  std::string synced;
  bool existsSynced = false;
  std::vector<PendingWrite> pending;
};

struct FaultFile {
  sqlite3_file base;
  sqlite3_file* real;
  std::string* path;  // nullptr: a file whose content does not matter (temporary files)
};

constexpr size_t kHeaderSize = (sizeof(FaultFile) + 7) & ~size_t{7};

std::mutex gMutex;
sqlite3_vfs gVfs;
sqlite3_vfs* gReal = nullptr;
FaultPlan gPlan;
int64_t gSyncs = 0;
int64_t gWritten = 0;
std::map<std::string, FileState> gFiles;

FaultFile* Fault(sqlite3_file* f) { return reinterpret_cast<FaultFile*>(f); }
sqlite3_file* Real(sqlite3_file* f) { return Fault(f)->real; }

std::string ReadWhole(const std::string& path, bool& exists) {
  std::string out;
  const int fd = ::open(path.c_str(), O_RDONLY);
  exists = fd >= 0;
  if (fd < 0) return out;
  char buf[65536];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  ::close(fd);
  return out;
}

void Apply(std::string& content, const PendingWrite& w) {
  const auto offset = static_cast<size_t>(w.offset);
  if (w.truncate) {
    content.resize(offset);
    return;
  }
  if (content.size() < offset + w.data.size()) content.resize(offset + w.data.size());
  std::memcpy(content.data() + offset, w.data.data(), w.data.size());
}

void WriteWhole(const std::string& path, const std::string& content) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  for (size_t done = 0; done < content.size();) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
}

void LosePowerLocked(uint32_t seed) {
  std::mt19937 random(seed);
  for (auto& [path, state] : gFiles) {
    std::string content = state.synced;
    size_t keep = 0;
    if (seed != 0) keep = std::uniform_int_distribution<size_t>(0, state.pending.size())(random);
    for (size_t i = 0; i < keep; ++i) Apply(content, state.pending[i]);
    if (!state.existsSynced && keep == 0) ::unlink(path.c_str());
    else WriteWhole(path, content);
    const bool isLog = path.size() > 4 && path.compare(path.size() - 4, 4, "-wal") == 0;
    ::unlink(((isLog ? path.substr(0, path.size() - 4) : path) + "-shm").c_str());
  }
}

int Close(sqlite3_file* f) {
  const int rc = Real(f)->pMethods->xClose(Real(f));
  delete Fault(f)->path;
  return rc;
}

int Read(sqlite3_file* f, void* buf, int amount, sqlite3_int64 offset) {
  return Real(f)->pMethods->xRead(Real(f), buf, amount, offset);
}

int Write(sqlite3_file* f, const void* buf, int amount, sqlite3_int64 offset) {
  if (const std::string* path = Fault(f)->path) {
    std::lock_guard lock(gMutex);
    if (gPlan.writeBudget >= 0 && gWritten + amount > gPlan.writeBudget) return SQLITE_FULL;
    gWritten += amount;
    gFiles[*path].pending.push_back({offset, std::string(static_cast<const char*>(buf), static_cast<size_t>(amount)), false});
  }
  return Real(f)->pMethods->xWrite(Real(f), buf, amount, offset);
}

int Truncate(sqlite3_file* f, sqlite3_int64 size) {
  if (const std::string* path = Fault(f)->path) {
    std::lock_guard lock(gMutex);
    gFiles[*path].pending.push_back({size, {}, true});
  }
  return Real(f)->pMethods->xTruncate(Real(f), size);
}

int Sync(sqlite3_file* f, int flags) {
  const std::string* path = Fault(f)->path;
  if (path) {
    std::function<void()> onPowerLoss;
    {
      std::lock_guard lock(gMutex);
      ++gSyncs;
      if (gSyncs == gPlan.failSyncAt) return SQLITE_IOERR_FSYNC;
      if (gSyncs == gPlan.powerLossAtSync) {
        LosePowerLocked(gPlan.survivingPrefixSeed);
        onPowerLoss = gPlan.onPowerLoss;
      }
    }
    if (onPowerLoss) {
      onPowerLoss();
      return SQLITE_IOERR_FSYNC;  // the sync never happened
    }
  }
  const int rc = Real(f)->pMethods->xSync(Real(f), flags);
  if (path && rc == SQLITE_OK) {
    std::lock_guard lock(gMutex);
    FileState& state = gFiles[*path];
    for (const PendingWrite& w : state.pending) Apply(state.synced, w);
    state.pending.clear();
    state.existsSynced = true;
  }
  return rc;
}

int FileSize(sqlite3_file* f, sqlite3_int64* size) { return Real(f)->pMethods->xFileSize(Real(f), size); }
int Lock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
int Unlock(sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) { return Real(f)->pMethods->xCheckReservedLock(Real(f), out); }
int FileControl(sqlite3_file* f, int op, void* arg) { return Real(f)->pMethods->xFileControl(Real(f), op, arg); }
int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); }
int ShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out) {
  return Real(f)->pMethods->xShmMap(Real(f), page, size, extend, out);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) {
  return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
}
void ShmBarrier(sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); }
int ShmUnmap(sqlite3_file* f, int deleteFlag) { return Real(f)->pMethods->xShmUnmap(Real(f), deleteFlag); }
int Fetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
  return Real(f)->pMethods->xFetch(Real(f), offset, amount, out);
}
int Unfetch(sqlite3_file* f, sqlite3_int64 offset, void* p) { return Real(f)->pMethods->xUnfetch(Real(f), offset, p); }

const sqlite3_io_methods kMethods = {
    3,        Close,    Read,     Write,      Truncate, Sync,    FileSize, Lock,   Unlock, CheckReservedLock,
    FileControl, SectorSize, DeviceCharacteristics, ShmMap, ShmLock, ShmBarrier, ShmUnmap, Fetch, Unfetch,
};

// Every method is called with whichever VFS wraps this one, so none looks at its vfs argument.
int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
  FaultFile* fault = Fault(file);
  fault->base.pMethods = nullptr;
  fault->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + kHeaderSize);
  fault->path = nullptr;
  const int rc = gReal->xOpen(gReal, name, fault->real, flags, outFlags);
  if (rc != SQLITE_OK) {
    if (fault->real->pMethods) fault->real->pMethods->xClose(fault->real);
    return rc;
  }
  if (name && (flags & (SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_WAL))) {
    fault->path = new std::string(name);
    std::lock_guard lock(gMutex);
    if (!gFiles.count(name)) {
      // What is on the disk when the test begins counts as synced.
      FileState state;
      state.synced = ReadWhole(name, state.existsSynced);
      gFiles.emplace(name, std::move(state));
    }
  }
  fault->base.pMethods = &kMethods;
  return SQLITE_OK;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) {
  {
    std::lock_guard lock(gMutex);
    gFiles.erase(name);
  }
  return gReal->xDelete(gReal, name, syncDir);
}

int Access(sqlite3_vfs*, const char* name, int flags, int* out) { return gReal->xAccess(gReal, name, flags, out); }
int FullPathname(sqlite3_vfs*, const char* name, int n, char* out) { return gReal->xFullPathname(gReal, name, n, out); }

}  // namespace

const char* FaultVfs::Register(bool makeDefault) {
  static std::once_flag once;
  std::call_once(once, [] {
    gReal = sqlite3_vfs_find(nullptr);
    gVfs = *gReal;
    gVfs.zName = "quorvane-faults";
    gVfs.szOsFile = static_cast<int>(kHeaderSize) + gReal->szOsFile;
    gVfs.pNext = nullptr;
    gVfs.xOpen = Open;
    gVfs.xDelete = Delete;
    gVfs.xAccess = Access;
    gVfs.xFullPathname = FullPathname;
  });
  sqlite3_vfs_register(&gVfs, makeDefault ? 1 : 0);
  return gVfs.zName;
}

void FaultVfs::Arm(FaultPlan plan) {
  std::lock_guard lock(gMutex);
  gPlan = std::move(plan);
  gSyncs = 0;
  gWritten = 0;
}

void FaultVfs::Disarm() { Arm(FaultPlan{}); }

int64_t FaultVfs::Syncs() {
  std::lock_guard lock(gMutex);
  return gSyncs;
}

void FaultVfs::LosePower(uint32_t survivingPrefixSeed) {
  std::lock_guard lock(gMutex);
  LosePowerLocked(survivingPrefixSeed);
}

std::string IntegrityCheck(const std::string& path) {
  sqlite3* db = nullptr;
  std::string result;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, gReal ? gReal->zName : nullptr) == SQLITE_OK) {
    sqlite3_exec(
        db, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
          auto& text = *static_cast<std::string*>(out);
          text += (text.empty() ? "" : "; ") + std::string(values[0] ? values[0] : "");
          return 0;
        },
        &result, nullptr);
  } else {
    result = sqlite3_errmsg(db);
  }
  sqlite3_close(db);
  return result;
}

}  // namespace testing_support
