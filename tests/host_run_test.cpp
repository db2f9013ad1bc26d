// The mail-client stand-in at work: two members' hosts running with a fast timer.
#include <gtest/gtest.h>

#include "tests/support/host_workgroup.h"

using namespace testing_support;

namespace {

const char* kTeam = kTeamPath;

class HostRunTest : public HostWorkgroup {
 protected:
  HostRunTest() {
    for (const char* who : {"Ann", "Bob"}) EXPECT_EQ(0, Run(who, {"settings", "RefreshRate=1"}).status);
  }
};

TEST_F(HostRunTest, TimedRunsCarryAnAppointmentFromOneMemberToTheOther) {
  ASSERT_EQ(0, Run("Ann", {"appt", "add", "Mailbox - Ann|Calendar", "--subject", "Planning", "--start", Tomorrow(9),
                           "--end", Tomorrow(10)})
                   .status);
  auto ann = Run("Ann", {"run", "--minutes", "3", "--minute-ms", "30"});
  ASSERT_EQ(0, ann.status) << ann.err;
  EXPECT_NE(std::string::npos, ann.out.find("Quorvane closed"));
  EXPECT_NE(std::string::npos, Run("Ann", {"appt", "list", kTeam}).out.find("Planning"));
  ASSERT_EQ(0, Run("Bob", {"run", "--minutes", "3", "--minute-ms", "30"}).status);
  EXPECT_NE(std::string::npos, Run("Bob", {"appt", "list", "Mailbox - Bob|Calendar"}).out.find("Planning"));

  const std::string log = Log("Bob");
  EXPECT_EQ(0u, log.find("QZT Started on "));
  EXPECT_NE(std::string::npos, log.find("\r\nSetting oGlobalCalendar [Team]\r\nSetting oLocalCalendar [Calendar]\r\n"
                                        "QZT updating in Both Directions\r\nDisabling Toolbar\r\nQZT Startup completed at "));
  const size_t shutdown = log.find("QZT Begin Shutdown at ");
  ASSERT_NE(std::string::npos, shutdown);
  EXPECT_NE(std::string::npos, log.find("QZT Disconnected at ", shutdown));
  EXPECT_EQ("\r\n", log.substr(log.size() - 2));
}

TEST_F(HostRunTest, TheToolbarIsOfferedOnceAndItsButtonsWork) {
  ASSERT_EQ(0, Run("Ann", {"settings", "CalToolbar=1"}).status);
  ASSERT_EQ(0, Run("Ann", {"appt", "add", "Mailbox - Ann|Calendar", "--subject", "Clicked", "--start", Tomorrow(11),
                           "--end", Tomorrow(12)})
                   .status);
  auto first = Run("Ann", {"--answer", "yes", "click", "Sync From &Local Calendar"});
  ASSERT_EQ(0, first.status) << first.err << first.out;
  EXPECT_NE(std::string::npos, first.out.find("[Orbitra] The Orbitra application can create a toolbar"));
  EXPECT_NE(std::string::npos, Run("Ann", {"appt", "list", kTeam}).out.find("Clicked"));

  // The bar is kept by the host; the first start's bar is rebuilt once, then found.
  auto second = Run("Ann", {"--answer", "yes", "click", "Sync From &Global Calendar"});
  EXPECT_NE(std::string::npos, Log("Ann").find("Upgrading Toolbar\r\n"));
  auto third = Run("Ann", {"--answer", "yes", "click", "Sync From &Global Calendar"});
  EXPECT_EQ(std::string::npos, third.out.find("[Orbitra] The Orbitra application")) << third.out;
  EXPECT_NE(std::string::npos, Log("Ann").find("Enabling Toolbar\r\n"));

  EXPECT_EQ(2, Run("Ann", {"click", "No Such Button"}).status);
}

TEST_F(HostRunTest, ARebuildAnsweredNoLeavesNoBarAndEveryStartAsksAgain) {
  ASSERT_EQ(0, Run("Ann", {"settings", "CalToolbar=1"}).status);
  const std::string offer = "[Orbitra] The Orbitra application can create a toolbar";
  auto run = [&](const char* answer) {
    return Run("Ann", {"--answer", answer, "run", "--minutes", "1", "--minute-ms", "300"});
  };
  auto yes = run("yes");
  ASSERT_EQ(0, yes.status) << yes.err;
  ASSERT_NE(std::string::npos, yes.out.find(offer)) << yes.out;
  ASSERT_NE(std::string::npos, Run("Ann", {"registry"}).out.find("CommandBars\\Orbitra]"));

  for (int start = 1; start <= 3; ++start) {
    auto no = run("no");
    ASSERT_EQ(0, no.status) << no.err;
    EXPECT_NE(std::string::npos, no.out.find(offer)) << "start " << start << ": " << no.out;
    EXPECT_NE(std::string::npos, no.out.find("  -> No"));
    const std::string log = Log("Ann");
    EXPECT_EQ(start == 1, log.find("Upgrading Toolbar\r\n") != std::string::npos) << log;
    EXPECT_EQ(std::string::npos, log.find("Enabling Toolbar")) << log;
    EXPECT_EQ(std::string::npos, log.find("in SetUpToolbar!")) << log;
    EXPECT_EQ(std::string::npos, log.find("Error No: (0)")) << log;
    EXPECT_EQ(std::string::npos, Run("Ann", {"registry"}).out.find("CommandBars\\Orbitra")) << "nothing kept";
  }
}

TEST_F(HostRunTest, TypedCommandsAreActedOnAndQuitClosesCleanly) {
  auto r = RunQuorvane({"--profile", dir / "Ann", "run"}, std::string("folder ") + kTeam + "\nhelp\nquit\n");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_NE(std::string::npos, r.out.find(std::string("Showing ") + kTeam));
  EXPECT_NE(std::string::npos, r.out.find("commands: click CAPTION | folder PATH | quit"));
  EXPECT_NE(std::string::npos, r.out.find("Quorvane closed"));
  EXPECT_NE(std::string::npos, Log("Ann").find("QZT Disconnected at "));
}

TEST_F(HostRunTest, ATerminateSignalClosesCleanly) {
  // Input stays open; the signal alone ends the run.
  const std::string cmd = "sleep 2 | timeout -s TERM 1 '" QUORVANE_BIN_DIR "/quorvane' --profile '" + dir / "Ann" +
                          "' run > '" + dir / "out.txt" + "' 2>&1";
  std::system(cmd.c_str());
  EXPECT_NE(std::string::npos, ReadFile(dir / "out.txt").find("Quorvane closed"));
  EXPECT_NE(std::string::npos, Log("Ann").find("QZT Begin Shutdown at "));
  EXPECT_NE(std::string::npos, Log("Ann").find("QZT Disconnected at "));
}

}  // namespace
