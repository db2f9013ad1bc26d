// The refresh timer: when timed runs happen, which passes they run, and how they stop.
#include <gtest/gtest.h>

#include "tests/support/addin_fixture.h"
#include "tests/support/workgroup.h"

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

class TimerTest : public AddinFixture {
 protected:
  TimerTest() {
    Connect();
    // Calendars unset: each pass writes its start line and returns, so the log shows which ran.
    addin->PromptErrors = 1;
    addin->iSyncDirection = 1;
  }
  void Start(int refreshRate) {
    addin->RefreshRate = static_cast<int16_t>(refreshRate);
    addin->tcTimer->SetInterval(60000);
    addin->tcTimer->SetEnable(true);
  }
  void Minutes(int n) { loop.RunFor(n * 60000LL); }
  int Runs(const std::string& pass) {
    const std::string log = Log(), line = pass + " - Start of Function";
    int n = 0;
    for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++n;
    return n;
  }
};

TEST_F(TimerTest, RateOneRunsEverySecondMinuteInTheTimersOrder) {
  Start(1);
  Minutes(1);
  EXPECT_EQ(0, Runs("oCheckLocVsGlbDels"));
  Minutes(1);
  EXPECT_EQ(1, Runs("oCheckLocVsGlbDels"));
  EXPECT_EQ(1, Runs("oProcessGlobalFolders"));
  const std::string log = Log();
  EXPECT_LT(log.find("oCheckLocVsGlbDels - Start"), log.find("oProcessLocalFolders - Start"));
  EXPECT_LT(log.find("oProcessLocalFolders - Start"), log.find("oProcessGlobalFolders - Start"));
  Minutes(4);
  EXPECT_EQ(3, Runs("oProcessLocalFolders")) << "minutes 2, 4 and 6";
}

TEST_F(TimerTest, RateThirtyRunsFirstAfterThirtyOneMinutes) {
  Start(30);
  Minutes(30);
  EXPECT_EQ(0, Runs("oProcessLocalFolders"));
  Minutes(1);
  EXPECT_EQ(1, Runs("oProcessLocalFolders"));
}

TEST_F(TimerTest, TheDirectionDecidesThePasses) {
  addin->iSyncDirection = 2;
  Start(1);
  Minutes(2);
  EXPECT_EQ(1, Runs("oCheckLocVsGlbDels"));
  EXPECT_EQ(0, Runs("oProcessLocalFolders"));
  EXPECT_EQ(1, Runs("oProcessGlobalFolders"));
  addin->iSyncDirection = 3;
  Minutes(2);
  EXPECT_EQ(1, Runs("oProcessLocalFolders"));
  EXPECT_EQ(1, Runs("oCheckLocVsGlbDels"));
  addin->iSyncDirection = 0;
  Minutes(2);
  EXPECT_EQ(0, addin->lTickCount) << "counted and reset";
  EXPECT_EQ(1, Runs("oProcessLocalFolders"));
}

TEST_F(TimerTest, ABusyTickRunsNothingAndStartsCountingAgain) {
  Start(1);
  Minutes(1);
  addin->bTimerBusy = true;
  Minutes(1);
  EXPECT_EQ(0, Runs("oCheckLocVsGlbDels"));
  EXPECT_EQ(0, addin->lTickCount);
  addin->bTimerBusy = false;
  Minutes(2);
  EXPECT_EQ(1, Runs("oCheckLocVsGlbDels"));
}

TEST_F(TimerTest, ShutdownStopsTheTimerAtItsNextTick) {
  Start(30);
  Minutes(3);
  addin->bShuttingDown = true;
  Minutes(1);
  EXPECT_FALSE(addin->tcTimer->Enabled());
  EXPECT_EQ(0, addin->tcTimer->TimerID());
  EXPECT_EQ(0u, loop.ActiveTimers());
}

TEST_F(TimerTest, IntervalZeroStopsARunningTimerForGood) {
  Start(1);
  addin->tcTimer->SetInterval(0);
  EXPECT_EQ(0, addin->tcTimer->TimerID());
  addin->tcTimer->SetEnable(true);
  EXPECT_EQ(0u, loop.ActiveTimers()) << "not until the interval is positive again";
  addin->tcTimer->SetInterval(60000);
  addin->tcTimer->SetEnable(true);
  EXPECT_NE(0, addin->tcTimer->TimerID());
}

TEST_F(TimerTest, ATickForATimerThatIsGoneIsLoggedAndIgnored) {
  quorvane::fnTimerCB(0, 0x113, 987654, 0);
  EXPECT_NE(std::string::npos, Log().find("An Error was encountered in fnTimerCB!\r\nError No: (5)\r\n"));
}

TEST(TimedWorkgroupTest, AGlobalDeletionReachesEveryMemberWithinTwoRuns) {
  Workgroup group;
  Member& ann = group.Join("Ann", true);
  Member& bob = group.Join("Bob");
  Member& cy = group.Join("Cy");
  ann.Add("Offsite", group.At(3, 12, 9), group.At(3, 12, 17));
  for (Member* m : {&ann, &bob, &cy}) m->SyncBoth();
  ASSERT_EQ(Strings{"Offsite"}, cy.LocalSubjects());

  cy.addin->PromptDelete = 0;  // Cy wants to be asked
  for (Member* m : {&ann, &bob, &cy}) {
    m->addin->iSyncDirection = 1;
    m->addin->RefreshRate = 1;
    m->addin->tcTimer->SetInterval(60000);
    m->addin->tcTimer->SetEnable(true);
  }
  ann.FindGlobal("Offsite")->Delete();
  cy.ui.OnNextForm([](forms::Form& f) { f.Click("CancelButton"); });
  group.loop.RunFor(4 * 60000);  // two timed runs
  EXPECT_EQ(Strings{}, bob.LocalSubjects()) << "deleted without asking";
  EXPECT_EQ(Strings{}, ann.LocalSubjects()) << "the original goes with its global copy";
  EXPECT_EQ(Strings{}, ann.GlobalSubjects()) << "and does not come back";

  // Cy answered No: it stays, and Cy is asked again at each run.
  EXPECT_EQ(Strings{"Offsite"}, cy.LocalSubjects());
  ASSERT_GE(cy.ui.formsShown.size(), 2u);
  EXPECT_NE(std::string::npos, cy.ui.formsShown[1].find("Appointment (Offsite)"));
}

}  // namespace
