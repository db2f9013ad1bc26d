// The program under faults of the disk: a pass that runs out of space says so and loses
// nothing, and a power loss at any point of a pass leaves calendars that the next passes bring
// back into step, with nothing lost and nothing doubled.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <iostream>
#include <sstream>

#include "tests/support/fault_vfs.h"
#include "tests/support/host_workgroup.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const char* kAnns = "Mailbox - Ann|Calendar";
const char* kBobs = "Mailbox - Bob|Calendar";

// The program's stores go through the fault VFS while this lives.
class Faults {
 public:
  using Settings = std::map<std::string, std::string>;
  explicit Faults(const Settings& settings) {
    ::setenv("LD_PRELOAD", (std::string(QUORVANE_BIN_DIR) + "/libQuorvaneFaultPreload.so").c_str(), 1);
    for (const auto& [name, value] : settings) {
      ::setenv(name.c_str(), value.c_str(), 1);
      names_.push_back(name);
    }
  }
  ~Faults() {
    ::unsetenv("LD_PRELOAD");
    for (const auto& name : names_) ::unsetenv(name.c_str());
  }

 private:
  std::vector<std::string> names_;
};

class HostDurabilityTest : public HostWorkgroup {
 protected:
  // Each calendar's subjects, sorted, one line each.
  std::vector<std::string> Subjects(const std::string& who, const std::string& path) {
    auto listed = Run(who, {"appt", "list", path, "--json"});
    EXPECT_EQ(0, listed.status) << listed.err;
    std::vector<std::string> out;
    const std::string key = "\"Subject\": \"";
    for (size_t at = listed.out.find(key); at != std::string::npos; at = listed.out.find(key, at + 1)) {
      const size_t from = at + key.size();
      out.push_back(listed.out.substr(from, listed.out.find('"', from) - from));
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  std::vector<std::vector<std::string>> Calendars() {
    return {Subjects("Ann", kAnns), Subjects("Ann", kTeamPath), Subjects("Bob", kBobs)};
  }
  // Both members' passes, as their timers would run them, until nothing changes.
  void Settle() {
    auto before = Calendars();
    for (int round = 0; round < 6; ++round) {
      for (const char* who : {"Ann", "Bob"}) {
        for (const char* pass : {"local", "global"}) {
          auto run = Run(who, {"sync", pass});
          ASSERT_TRUE(run.status == 0 || run.status == 1) << who << " sync " << pass << ": " << run.err;
        }
      }
      auto after = Calendars();
      if (after == before) return;
      before = after;
    }
    ADD_FAILURE() << "the passes did not settle";
  }
  // Every calendar holds each expected appointment exactly once.
  void ExpectEveryCalendarHolds(const std::vector<std::string>& expected, const std::string& context) {
    for (const auto& calendar : Calendars()) EXPECT_EQ(expected, calendar) << context;
    for (const std::string& file : {dir / "public.store", dir / "Ann/mailbox.store", dir / "Bob/mailbox.store"}) {
      EXPECT_EQ("ok", IntegrityCheck(file)) << context << ": " << file;
    }
  }
  void Snapshot(const fs::path& to) {
    fs::create_directories(to);
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      fs::copy(entry.path(), to / entry.path().filename(), fs::copy_options::recursive);
    }
  }
  void Restore(const fs::path& from) {
    for (const auto& entry : fs::directory_iterator(dir.path())) fs::remove_all(entry.path());
    for (const auto& entry : fs::directory_iterator(from)) {
      fs::copy(entry.path(), fs::path(dir.path()) / entry.path().filename(), fs::copy_options::recursive);
    }
  }
  static std::vector<std::string> Named(const std::string& prefix, int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.push_back(prefix + std::to_string(i));
    return out;
  }
};

TEST_F(HostDurabilityTest, APassThatRunsOutOfSpaceFailsAndTheNextPassesLoseNothing) {
  ASSERT_EQ(0, Run("Ann", {"settings", "PromptDelete=1"}).status);
  Import("Ann", kAnns, 200, "Ann ");
  Import("Bob", kTeamPath, 100, "Team ");
  {
    // Room for both logs' first stretch and part of the copies.
    Faults diskFull(Faults::Settings{{"QUORVANE_FAULT_WRITE_BUDGET", "2500000"}});
    auto pass = Run("Ann", {"sync", "local"});
    EXPECT_EQ(1, pass.status) << pass.out << pass.err;
    EXPECT_NE(std::string::npos, pass.err.find("did not finish")) << pass.err;
    const size_t copied = Subjects("Ann", kTeamPath).size() - 100;
    EXPECT_GT(copied, 0u) << "the space ran out part of the way";
    EXPECT_LT(copied, 200u);
  }
  Settle();
  auto expected = Named("Ann ", 200);
  auto team = Named("Team ", 100);
  expected.insert(expected.end(), team.begin(), team.end());
  std::sort(expected.begin(), expected.end());
  ExpectEveryCalendarHolds(expected, "after the space came back");
}

// A small workgroup; the power goes at every sync of one member's pass in turn. What was synced
// stays, and, in a second round, a prefix of what was not, as a disk may keep.
TEST_F(HostDurabilityTest, APowerLossAtAnySyncOfAPassLosesNothingAndDoublesNothing) {
  for (const char* who : {"Ann", "Bob"}) ASSERT_EQ(0, Run(who, {"settings", "PromptDelete=1"}).status);
  Import("Ann", kAnns, 3, "Ann ");
  Import("Bob", kBobs, 2, "Bob ");
  Import("Bob", kTeamPath, 2, "Team ");
  std::vector<std::string> expected = {"Ann 0", "Ann 1", "Ann 2", "Bob 0", "Bob 1", "Team 0", "Team 1"};
  ASSERT_EQ(0, Run("Bob", {"sync", "local"}).status);  // Bob's are in the Team Calendar already

  TempDir pristine;
  Snapshot(pristine.path());
  int crashPoints = 0;
  for (const char* who : {"Ann", "Bob"}) {
    for (const char* pass : {"local", "global"}) {
      for (uint32_t seed : {0u, 7u}) {
        for (int k = 1;; ++k) {
          Restore(pristine.path());
          ProgramResult run;
          {
            Faults power(Faults::Settings{{"QUORVANE_FAULT_POWER_LOSS_AT_SYNC", std::to_string(k)},
                                          {"QUORVANE_FAULT_SURVIVING_SEED", std::to_string(seed)}});
            run = Run(who, {"sync", pass});
          }
          if (run.status != 86) {
            ASSERT_EQ(0, run.status) << run.err;
            break;  // the pass finished before the k-th sync
          }
          ++crashPoints;
          std::ostringstream context;
          context << who << " sync " << pass << ", power lost at sync " << k << ", seed " << seed;
          Settle();
          ExpectEveryCalendarHolds(expected, context.str());
          if (HasFailure()) return;
        }
      }
    }
  }
  EXPECT_GT(crashPoints, 8);
  std::cout << "power lost at " << crashPoints << " points\n";
}

}  // namespace
