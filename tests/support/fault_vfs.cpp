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

// Made on first use: a program loads this before its own statics are made.
struct State {
  std::mutex mutex;
  sqlite3_vfs vfs{};
  sqlite3_vfs* real = nullptr;
  FaultPlan plan;
  int64_t syncs = 0;
  int64_t written = 0;
  std::map<std::string, FileState> files;
};

State& S() {
  static State* state = new State();  // never destroyed: files may close after static destruction
  return *state;
}

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
  for (auto& [path, state] : S().files) {
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
    std::lock_guard lock(S().mutex);
    if (S().plan.writeBudget >= 0 && S().written + amount > S().plan.writeBudget) return SQLITE_FULL;
    S().written += amount;
    S().files[*path].pending.push_back({offset, std::string(static_cast<const char*>(buf), static_cast<size_t>(amount)), false});
  }
  return Real(f)->pMethods->xWrite(Real(f), buf, amount, offset);
}

int Truncate(sqlite3_file* f, sqlite3_int64 size) {
  if (const std::string* path = Fault(f)->path) {
    std::lock_guard lock(S().mutex);
    S().files[*path].pending.push_back({size, {}, true});
  }
  return Real(f)->pMethods->xTruncate(Real(f), size);
}

int Sync(sqlite3_file* f, int flags) {
  const std::string* path = Fault(f)->path;
  if (path) {
    std::function<void()> onPowerLoss;
    {
      std::lock_guard lock(S().mutex);
      ++S().syncs;
      if (S().plan.failSyncAt > 0 && S().syncs >= S().plan.failSyncAt) return SQLITE_IOERR_FSYNC;
      if (S().syncs == S().plan.powerLossAtSync) {
        LosePowerLocked(S().plan.survivingPrefixSeed);
        onPowerLoss = S().plan.onPowerLoss;
      }
    }
    if (onPowerLoss) {
      onPowerLoss();
      return SQLITE_IOERR_FSYNC;  // the sync never happened
    }
  }
  const int rc = Real(f)->pMethods->xSync(Real(f), flags);
  if (path && rc == SQLITE_OK) {
    // A sync makes the file durable as it is, with what other processes wrote to it too.
    std::lock_guard lock(S().mutex);
    FileState& state = S().files[*path];
    bool exists = false;
    state.synced = ReadWhole(*path, exists);
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
  const int rc = S().real->xOpen(S().real, name, fault->real, flags, outFlags);
  if (rc != SQLITE_OK) {
    if (fault->real->pMethods) fault->real->pMethods->xClose(fault->real);
    return rc;
  }
  if (name && (flags & (SQLITE_OPEN_MAIN_DB | SQLITE_OPEN_WAL))) {
    fault->path = new std::string(name);
    std::lock_guard lock(S().mutex);
    if (!S().files.count(name)) {
      // What is on the disk when the test begins counts as synced.
      FileState state;
      state.synced = ReadWhole(name, state.existsSynced);
      S().files.emplace(name, std::move(state));
    }
  }
  fault->base.pMethods = &kMethods;
  return SQLITE_OK;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) {
  {
    std::lock_guard lock(S().mutex);
    S().files.erase(name);
  }
  return S().real->xDelete(S().real, name, syncDir);
}

int Access(sqlite3_vfs*, const char* name, int flags, int* out) { return S().real->xAccess(S().real, name, flags, out); }
int FullPathname(sqlite3_vfs*, const char* name, int n, char* out) { return S().real->xFullPathname(S().real, name, n, out); }

}  // namespace

const char* FaultVfs::Register(bool makeDefault) {
  static std::once_flag once;
  std::call_once(once, [] {
    S().real = sqlite3_vfs_find(nullptr);
    S().vfs = *S().real;
    S().vfs.zName = "quorvane-faults";
    S().vfs.szOsFile = static_cast<int>(kHeaderSize) + S().real->szOsFile;
    S().vfs.pNext = nullptr;
    S().vfs.xOpen = Open;
    S().vfs.xDelete = Delete;
    S().vfs.xAccess = Access;
    S().vfs.xFullPathname = FullPathname;
  });
  sqlite3_vfs_register(&S().vfs, makeDefault ? 1 : 0);
  return S().vfs.zName;
}

void FaultVfs::Arm(FaultPlan plan) {
  std::lock_guard lock(S().mutex);
  S().plan = std::move(plan);
  S().syncs = 0;
  S().written = 0;
}

void FaultVfs::Disarm() { Arm(FaultPlan{}); }

int64_t FaultVfs::Syncs() {
  std::lock_guard lock(S().mutex);
  return S().syncs;
}

void FaultVfs::LosePower(uint32_t survivingPrefixSeed) {
  std::lock_guard lock(S().mutex);
  LosePowerLocked(survivingPrefixSeed);
}

std::string IntegrityCheck(const std::string& path) {
  sqlite3* db = nullptr;
  std::string result;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, S().real ? S().real->zName : nullptr) == SQLITE_OK) {
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
