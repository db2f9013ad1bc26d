// Synchronisation from the command line, as two members would run it.
#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

const char* kTeam = "Public Folders|All Public Folders|Team";

// "YYYY-MM-DD HH:MM" of tomorrow at the hour: the passes walk a window around the real today.
std::string Tomorrow(int hour) {
  const std::time_t t = std::time(nullptr) + 86400;
  std::tm local{};
  localtime_r(&t, &local);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:00", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, hour);
  return buf;
}

class HostSyncTest : public ::testing::Test {
 protected:
  HostSyncTest() {
    for (const char* who : {"Ann", "Bob"}) {
      EXPECT_EQ(0, Run(who, {"init", "--user", who, "--public", dir / "public.store"}).status);
    }
    EXPECT_EQ(0, Run("Ann", {"folder", "add", kTeam}).status);
    for (const char* who : {"Ann", "Bob"}) {
      EXPECT_EQ(0, Run(who, {"set-calendar", "global", kTeam}).status);
      EXPECT_EQ(0, Run(who, {"set-calendar", "local", std::string("Mailbox - ") + who + "|Calendar"}).status);
    }
  }
  ProgramResult Run(const std::string& who, std::vector<std::string> args) {
    args.insert(args.begin(), {"--profile", dir / who});
    return RunQuorvane(args);
  }
  std::string List(const std::string& who, const std::string& path) { return Run(who, {"appt", "list", path}).out; }

  TempDir dir;
};

TEST_F(HostSyncTest, AnAppointmentTravelsAndItsDeletionFollowsAfterTheAnswer) {
  auto added = Run("Ann", {"appt", "add", "Mailbox - Ann|Calendar", "--subject", "Review", "--start",
                           Tomorrow(10), "--end", Tomorrow(11)});
  ASSERT_EQ(0, added.status) << added.err;
  auto local = Run("Ann", {"sync", "local"});
  EXPECT_NE(std::string::npos, local.out.find("Global Calendar (Team): 1 copied, 0 replaced, 0 deleted, 0 left"))
      << local.out;
  auto global = Run("Bob", {"sync", "global"});
  EXPECT_NE(std::string::npos, global.out.find("Local Calendar (Calendar): 1 copied")) << global.out;

  const std::string globalId = List("Ann", kTeam).substr(0, List("Ann", kTeam).find(' '));
  ASSERT_EQ(0, Run("Ann", {"appt", "delete", globalId}).status);

  auto no = Run("Bob", {"--answer", "no", "sync", "deletions"});
  EXPECT_NE(std::string::npos, no.out.find("[Confirm Deletion] Appointment (Review)")) << no.out;
  EXPECT_NE(std::string::npos, no.out.find("-> Cancel"));
  EXPECT_NE(std::string::npos, List("Bob", "Mailbox - Bob|Calendar").find("Review")) << "No keeps it";

  auto yes = Run("Bob", {"--answer", "yes", "sync", "deletions"});
  EXPECT_NE(std::string::npos, yes.out.find("Local Calendar (Calendar): 0 copied, 0 replaced, 1 deleted")) << yes.out;
  EXPECT_EQ("", List("Bob", "Mailbox - Bob|Calendar"));
}

TEST_F(HostSyncTest, SyncDeleteRemovesTheSelectionAndItsCounterpart) {
  auto added = Run("Ann", {"appt", "add", "Mailbox - Ann|Calendar", "--subject", "Lunch", "--start",
                           Tomorrow(12), "--end", Tomorrow(13)});
  const std::string id = added.out.substr(0, added.out.find('\n'));
  ASSERT_EQ(0, Run("Ann", {"sync", "local"}).status);
  ASSERT_NE(std::string::npos, List("Ann", kTeam).find("Lunch"));
  auto deleted = Run("Ann", {"sync", "delete", "--folder", "Mailbox - Ann|Calendar", "--select", id});
  ASSERT_EQ(0, deleted.status) << deleted.err;
  EXPECT_EQ("", List("Ann", kTeam));
  EXPECT_EQ("", List("Ann", "Mailbox - Ann|Calendar"));

  EXPECT_EQ(2, Run("Ann", {"sync", "delete", "--folder", "Mailbox - Ann|Calendar"}).status);
  EXPECT_EQ(2, Run("Ann", {"sync", "sideways"}).status);
}

TEST_F(HostSyncTest, SettingsAreShownAndChangedAsTheOptionsPageDoes) {
  auto changed = Run("Ann", {"settings", "RefreshRate=5", "UpdBoth=0", "UpdGlobalOnly=1"});
  ASSERT_EQ(0, changed.status) << changed.err;
  EXPECT_NE(std::string::npos, changed.out.find("RefreshRate=5"));
  EXPECT_NE(std::string::npos, changed.out.find("UpdGlobalOnly=1"));
  EXPECT_EQ(2, Run("Ann", {"settings", "NoOfDays=400"}).status);
  EXPECT_EQ(2, Run("Ann", {"settings", "GlobalCalEntryID=x"}).status);
  EXPECT_NE(std::string::npos, Run("Ann", {"settings"}).out.find("NoOfDays=30")) << "nothing changed";
}

}  // namespace
