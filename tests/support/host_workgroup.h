#pragma once
// Two members, Ann and Bob, set up with the quorvane program: one public-folders store, the
// Global Calendar "Public Folders|All Public Folders|Team" and each member's own calendar chosen.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

extern const char* const kTeamPath;

// "YYYY-MM-DD HH:MM" of tomorrow at the hour: the passes walk a window around the real today.
std::string Tomorrow(int hour);

class HostWorkgroup : public ::testing::Test {
 protected:
  HostWorkgroup();
  ProgramResult Run(const std::string& who, std::vector<std::string> args);
  // Started in the background, its input a pipe the test holds.
  std::unique_ptr<RunningProgram> Start(const std::string& who, std::vector<std::string> args);
  std::string List(const std::string& who, const std::string& path) { return Run(who, {"appt", "list", path}).out; }
  // n new appointments ("<prefix>0", "<prefix>1", ...) imported into a calendar, spread over the
  // week after today, where the passes look.
  void Import(const std::string& who, const std::string& path, int n, const std::string& prefix);
  std::string Log(const std::string& who) { return ReadFile(dir / (who + "/WINDOWS/TEMP/QZTErrLog.txt")); }

  TempDir dir;
};

}  // namespace testing_support
