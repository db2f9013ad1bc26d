// The mail-client stand-in at work: two members' hosts running with a fast timer.
#include <gtest/gtest.h>
#include <signal.h>

#include "tests/support/host_workgroup.h"

using namespace testing_support;

namespace {

const char* kTeam = kTeamPath;

class HostRunTest : public HostWorkgroup {
 protected:
  HostRunTest() {
    for (const char* who : {"Ann", "Bob"}) EXPECT_EQ(0, Run(who, {"settings", "RefreshRate=1"}).status);
  }
  // A run that ends by its minutes: its input stays open until then.
  ProgramResult RunFor(const std::string& who, const std::string& minutes) {
    auto run = Start(who, {"run", "--minutes", minutes, "--minute-ms", "30"});
    EXPECT_TRUE(run->WaitForOutput("Quorvane closed"));
    return run->Wait();
  }
};

TEST_F(HostRunTest, TimedRunsCarryAnAppointmentFromOneMemberToTheOther) {
  ASSERT_EQ(0, Run("Ann", {"appt", "add", "Mailbox - Ann|Calendar", "--subject", "Planning", "--start", Tomorrow(9),
                           "--end", Tomorrow(10)})
                   .status);
  auto ann = RunFor("Ann", "3");
  ASSERT_EQ(0, ann.status) << ann.err;
  EXPECT_NE(std::string::npos, ann.out.find("Quorvane closed"));
  EXPECT_NE(std::string::npos, Run("Ann", {"appt", "list", kTeam}).out.find("Planning"));
  ASSERT_EQ(0, RunFor("Bob", "3").status);
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

TEST_F(HostRunTest, ALineTypedWhileABoxAsksIsItsAnswerNotACommand) {
  ASSERT_EQ(0, Run("Ann", {"settings", "CalToolbar=1"}).status);
  // Not a terminal, and still read: the toolbar's question at start takes the first line.
  auto no = RunQuorvane({"--profile", dir / "Ann", "run"}, "no\nquit\n");
  ASSERT_EQ(0, no.status) << no.err;
  EXPECT_NE(std::string::npos, no.out.find("[Orbitra] The Orbitra application can create a toolbar"));
  EXPECT_NE(std::string::npos, no.out.find("  answer (Yes/No, Enter for Yes): "));
  EXPECT_EQ(std::string::npos, no.out.find("commands: click CAPTION")) << "the answer was taken as a command";
  EXPECT_NE(std::string::npos, no.out.find("Quorvane closed"));
  EXPECT_EQ(std::string::npos, Log("Ann").find("Creating Toolbar"));

  auto yes = RunQuorvane({"--profile", dir / "Ann", "run"}, "yes\nquit\n");
  ASSERT_EQ(0, yes.status) << yes.err;
  EXPECT_EQ(std::string::npos, yes.out.find("commands: click CAPTION")) << "the answer was taken as a command";
  EXPECT_NE(std::string::npos, Log("Ann").find("Creating Toolbar\r\n"));
}

TEST_F(HostRunTest, TheEndOfInputEndsATimedRun) {
  auto r = RunQuorvane({"--profile", dir / "Ann", "run", "--minutes", "600", "--minute-ms", "1000"});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_NE(std::string::npos, r.out.find("Quorvane closed"));
  EXPECT_NE(std::string::npos, Log("Ann").find("QZT Disconnected at "));
}

TEST_F(HostRunTest, ASignalWhileABoxWaitsForItsAnswerClosesCleanly) {
  ASSERT_EQ(0, Run("Ann", {"settings", "CalToolbar=1"}).status);
  auto run = Start("Ann", {"run"});
  ASSERT_TRUE(run->WaitForOutput("answer (Yes/No"));
  run->Signal(SIGINT);
  EXPECT_TRUE(run->WaitForOutput("Quorvane closed")) << "the signal alone ends it; its input is still open";
  const ProgramResult r = run->Wait();
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_NE(std::string::npos, Log("Ann").find("QZT Disconnected at "));
}

TEST_F(HostRunTest, MinutesOutOfRangeAreRefused) {
  const std::string log = Log("Ann");
  for (const char* bad : {"0", "-5", "soon", "3x", "99999999999", "527041"}) {
    auto r = Run("Ann", {"run", "--minutes", bad});
    EXPECT_EQ(2, r.status) << bad;
    EXPECT_EQ(std::string("quorvane: --minutes takes a whole number from 1 to 527040, not '") + bad + "'\n", r.err);
  }
  for (const char* bad : {"0", "60001"}) EXPECT_EQ(2, Run("Ann", {"run", "--minute-ms", bad}).status) << bad;
  EXPECT_EQ(log, Log("Ann")) << "refused before the add-in is loaded";
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
