#pragma once
// An SQLite VFS over the system's own that fails on demand and can lose power, for tests, in
// the manner of LevelDB's fault-injection environment and SQLite's own crash tests.
//
// It keeps, for every database and log file it sees, the content as last synced and the writes
// made since. At a simulated power loss every such file is put back to what was synced (and,
// when asked, an arbitrary prefix of the writes since), as a disk would have it after the machine
// lost power; shared-memory index files are removed, as SQLite rebuilds them.
#include <cstdint>
#include <functional>
#include <string>

namespace testing_support {

struct FaultPlan {
  // Writes to database and log files fail with "disk full" once this many bytes went out.
  int64_t writeBudget = -1;
  // The sync with this number (1 = the first from now) and every later one fail with an I/O error.
  int64_t failSyncAt = -1;
  // At the sync with this number the power goes: the files are put back and onPowerLoss runs
  // (a test process exits there; the sync itself never happens).
  int64_t powerLossAtSync = -1;
  // With a power loss: how much of each file's unsynced writes survives, from 0 (none) to 1
  // (all), chosen per file from this seed; a seed of 0 keeps none.
  uint32_t survivingPrefixSeed = 0;
  std::function<void()> onPowerLoss;
};

class FaultVfs {
 public:
  // Registers the VFS under its name; makeDefault makes every database opened without a VFS
  // name use it (a program run under test does so).
  static const char* Register(bool makeDefault = false);
  static void Arm(FaultPlan plan);
  static void Disarm();
  static int64_t Syncs();  // since the last Arm
  // Puts every file back as a power loss would, now.
  static void LosePower(uint32_t survivingPrefixSeed);
};

// SQLite's own check of a store file after a fault: "ok", or what it found.
std::string IntegrityCheck(const std::string& path);

}  // namespace testing_support
