// One host per profile: writers take turns on a profile, readers never wait, and a holder
// that is killed leaves the profile free.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "tests/support/host_workgroup.h"

using namespace testing_support;

namespace {

const char* kAnnsCalendar = "Mailbox - Ann|Calendar";

class HostLockTest : public HostWorkgroup {
 protected:
  void ImportIntoAnnsCalendar(int n) { Import("Ann", kAnnsCalendar, n, "Item "); }

  size_t Count(const std::string& who, const std::string& path) {
    const std::string list = List(who, path);
    return static_cast<size_t>(std::count(list.begin(), list.end(), '\n'));
  }

  ProgramResult AddToAnnsCalendar(std::vector<std::string> options = {}) {
    for (const char* word : {"appt", "add", kAnnsCalendar, "--subject", "Later", "--start"}) options.push_back(word);
    options.insert(options.end(), {Tomorrow(8), "--end", Tomorrow(9)});
    return Run("Ann", options);
  }
};

TEST_F(HostLockTest, TwoSyncsOfOneMemberAtOnceCopyEveryAppointmentOnce) {
  ImportIntoAnnsCalendar(3000);
  auto first = Start("Ann", {"sync", "local"});
  auto second = Start("Ann", {"sync", "local"});
  const ProgramResult a = first->Wait(), b = second->Wait();
  ASSERT_EQ(0, a.status) << a.err;
  ASSERT_EQ(0, b.status) << b.err;
  EXPECT_EQ(3000u, Count("Ann", kTeamPath));
  // One after the other: the second finds everything there already.
  const std::string all = "Global Calendar (Team): 3000 copied, 0 replaced, 0 deleted, 0 left\n";
  const std::string none = "Global Calendar (Team): 0 copied, 0 replaced, 0 deleted, 3000 left\n";
  EXPECT_TRUE((a.out.find(all) != std::string::npos && b.out.find(none) != std::string::npos) ||
              (b.out.find(all) != std::string::npos && a.out.find(none) != std::string::npos))
      << a.out << b.out;
}

TEST_F(HostLockTest, ARunBesideASyncCopiesEveryAppointmentOnce) {
  ASSERT_EQ(0, Run("Ann", {"settings", "RefreshRate=1"}).status);
  ImportIntoAnnsCalendar(3000);
  auto run = Start("Ann", {"run", "--minutes", "3", "--minute-ms", "100"});
  auto sync = Start("Ann", {"sync", "local"});
  EXPECT_TRUE(run->WaitForOutput("Quorvane closed"));  // its minutes, not the end of its input
  const ProgramResult ran = run->Wait(), synced = sync->Wait();
  ASSERT_EQ(0, ran.status) << ran.err;
  ASSERT_EQ(0, synced.status) << synced.err;
  EXPECT_EQ(3000u, Count("Ann", kTeamPath));
}

TEST_F(HostLockTest, ASecondWriterWaitsThenGivesUpWhileReadersGoOn) {
  auto holder = Start("Ann", {"run"});
  ASSERT_TRUE(holder->WaitForOutput("Quorvane is running"));

  ::setenv("QUORVANE_LOCK_WAIT_SECONDS", "1", 1);
  const ProgramResult writer = AddToAnnsCalendar();
  ::unsetenv("QUORVANE_LOCK_WAIT_SECONDS");
  EXPECT_EQ(1, writer.status);
  const std::string by = "in use by process " + std::to_string(holder->pid()) + " (run)";
  const std::string gaveUp = "quorvane: profile " + dir / "Ann" + " is still " + by;
  EXPECT_EQ("quorvane: waiting for profile " + dir / "Ann" + ", " + by + "\n" + gaveUp +
                " after 1 s; try again when it has finished\n",
            writer.err);
  const ProgramResult impatient = AddToAnnsCalendar({"--lock-wait", "0"});
  EXPECT_EQ(1, impatient.status);
  EXPECT_EQ(gaveUp + " after 0 s; try again when it has finished\n", impatient.err);

  const ProgramResult reader = Run("Ann", {"appt", "list", kAnnsCalendar});
  EXPECT_EQ(0, reader.status);
  EXPECT_EQ("", reader.err);
  EXPECT_EQ("", reader.out) << "the writer that gave up added nothing";
  EXPECT_EQ(0, Run("Ann", {"folder", "list"}).status);
  EXPECT_EQ(0, Run("Ann", {"settings"}).status);
  EXPECT_EQ(0, Run("Ann", {"export", kAnnsCalendar, dir / "out.ics"}).status);

  ASSERT_EQ(0, holder->Wait().status);
  const ProgramResult after = AddToAnnsCalendar({"--lock-wait", "0"});
  EXPECT_EQ(0, after.status) << after.err;
  EXPECT_NE("", List("Ann", kAnnsCalendar));
}

TEST_F(HostLockTest, AKilledHolderLeavesTheProfileFree) {
  auto holder = Start("Ann", {"run"});
  ASSERT_TRUE(holder->WaitForOutput("Quorvane is running"));
  holder->Signal(SIGKILL);
  EXPECT_EQ(-1, holder->Wait().status);
  const ProgramResult after = AddToAnnsCalendar({"--lock-wait", "0"});
  EXPECT_EQ(0, after.status) << after.err;
  EXPECT_EQ("", after.err);
}

TEST_F(HostLockTest, TheWaitIsAWholeNumberOfSeconds) {
  EXPECT_EQ(2, AddToAnnsCalendar({"--lock-wait", "-1"}).status);
  EXPECT_EQ(2, AddToAnnsCalendar({"--lock-wait", "soon"}).status);
  ::setenv("QUORVANE_LOCK_WAIT_SECONDS", "1.5", 1);
  const ProgramResult fromEnvironment = AddToAnnsCalendar();
  ::unsetenv("QUORVANE_LOCK_WAIT_SECONDS");
  EXPECT_EQ(2, fromEnvironment.status);
  EXPECT_NE(std::string::npos, fromEnvironment.err.find("QUORVANE_LOCK_WAIT_SECONDS takes a whole number"));
  EXPECT_EQ("", List("Ann", kAnnsCalendar));
}

}  // namespace
