// The rough edges a new user meets first: choosing calendars, the public folders gone, whole
// days, options in the wrong place, the settings of a fresh profile.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/host_workgroup.h"

using namespace testing_support;

namespace {

const char* kAnnCal = "Mailbox - Ann|Calendar";

class HostCommandsTest : public HostWorkgroup {};

TEST_F(HostCommandsTest, SetCalendarRefusesWhatWouldNotWorkAndWritesNothing) {
  const std::string registry = ReadFile(dir / "Ann/registry.reg");
  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"set-calendar", "global", "Public Folders|All Public Folders|Nope"},
       "no folder 'Public Folders|All Public Folders|Nope'"},
      {{"set-calendar", "local", "Mailbox - Nobody|Calendar"}, "no folder 'Mailbox - Nobody'"},
      {{"set-calendar", "local", kTeamPath}, "is the Global Calendar already"},
      {{"set-calendar", "global", kAnnCal}, "is the Local Calendar already"},
      {{"set-calendar", "global", ""}, "needs a folder path"}};
  for (const auto& [args, why] : refused) {
    auto r = Run("Ann", args);
    EXPECT_EQ(2, r.status) << args[2];
    EXPECT_NE(std::string::npos, r.err.find(why)) << r.err;
  }
  EXPECT_EQ(registry, ReadFile(dir / "Ann/registry.reg"));

  // The local resolver reads five names at most, as the add-in does: a longer path is the folder
  // at the fifth.
  ASSERT_EQ(0, Run("Ann", {"folder", "add", "Mailbox - Ann|Calendar|A"}).status);
  ASSERT_EQ(0, Run("Ann", {"folder", "add", "Mailbox - Ann|Calendar|A|B"}).status);
  ASSERT_EQ(0, Run("Ann", {"folder", "add", "Mailbox - Ann|Calendar|A|B|C"}).status);
  auto deep = Run("Ann", {"set-calendar", "local", "Mailbox - Ann|Calendar|A|B|C|Nope"});
  EXPECT_EQ(0, deep.status) << deep.err;
}

// A pass loads what it uses and nothing more: each of these libraries once cost every command a
// millisecond or more at its start. A command that needs one loads it then.
TEST_F(HostCommandsTest, APassLoadsNeitherToolkitsNorCalendarFileLibraries) {
  const std::vector<std::string> unused = {"libical", "libicu", "libcurl", "libQt6", "libQuorvaneIcal",
                                           "libQuorvaneCalDav", "libQuorvaneWindow", "libQuorvaneQtPrinter"};
  setenv("LD_DEBUG", "files", 1);
  auto pass = Run("Ann", {"sync", "local"});
  auto exported = Run("Ann", {"export", kAnnCal, dir / "ann.ics"});
  unsetenv("LD_DEBUG");
  ASSERT_EQ(0, pass.status) << pass.err;
  for (const std::string& library : unused) {
    EXPECT_EQ(std::string::npos, pass.err.find("file=" + library)) << library << " was loaded";
  }
  ASSERT_EQ(0, exported.status) << exported.err;
  EXPECT_NE(std::string::npos, exported.err.find("file=libical")) << exported.err;
}

TEST_F(HostCommandsTest, WithoutThePublicFoldersTheMailboxWorksAndThePassesStopOffline) {
  ASSERT_EQ(0, Run("Ann", {"settings", "PromptErrors=1"}).status);
  ASSERT_EQ(0, Run("Ann", {"appt", "add", kAnnCal, "--subject", "Dentist", "--start", Tomorrow(9), "--end",
                           Tomorrow(10)})
                   .status);
  const std::string store = dir / "public.store";
  std::filesystem::rename(store, dir / "away.store");
  for (const std::string state : {"missing", "damaged"}) {
    if (state == "damaged") WriteFile(store, std::string(4096, 'q'));
    auto list = Run("Ann", {"appt", "list", kAnnCal, "--json"});
    EXPECT_EQ(0, list.status) << state << ": " << list.err;
    EXPECT_NE(std::string::npos, list.out.find("\"Subject\": \"Dentist\"")) << state;
    EXPECT_NE(std::string::npos, list.err.find("the public folders cannot be opened")) << list.err;

    const std::vector<std::pair<std::string, std::string>> passes = {
        {"global", "oProcessGlobalFolders"}, {"local", "oProcessLocalFolders"}, {"deletions", "oCheckLocVsGlbDels"}};
    for (const auto& [pass, member] : passes) {
      auto sync = Run("Ann", {"sync", pass});
      EXPECT_EQ(1, sync.status) << state << " " << pass << ": " << sync.out;
      EXPECT_NE(std::string::npos, sync.err.find("the pass stopped at its offline check")) << sync.err;
      EXPECT_NE(std::string::npos, sync.err.find(store)) << sync.err;
      EXPECT_NE(std::string::npos, Log("Ann").find(member + " - Exchange Offline Exiting Function")) << Log("Ann");
    }
  }
  // Sync Delete has no offline check of its own: it is refused before it deletes one side only.
  const std::string dentist = List("Ann", kAnnCal).substr(0, List("Ann", kAnnCal).find(' '));
  auto del = Run("Ann", {"sync", "delete", "--folder", kAnnCal, "--select", dentist});
  EXPECT_EQ(1, del.status);
  EXPECT_NE(std::string::npos, del.err.find("nothing was deleted")) << del.err;
  EXPECT_EQ(std::string(4096, 'q'), ReadFile(store)) << "a damaged store is left as it is";
  EXPECT_NE(std::string::npos, List("Ann", kAnnCal).find("Dentist"));

  std::filesystem::rename(dir / "away.store", store);
  auto back = Run("Ann", {"sync", "local"});
  EXPECT_EQ(0, back.status) << back.err;
  EXPECT_NE(std::string::npos, back.out.find("Global Calendar (Team): 1 copied")) << back.out;
}

TEST_F(HostCommandsTest, AllDayMakesWholeDaysAndRefusesTimes) {
  auto two = Run("Ann", {"appt", "add", kAnnCal, "--subject", "Fair", "--all-day", "--start", "2026-03-11", "--end",
                         "2026-03-12"});
  ASSERT_EQ(0, two.status) << two.err;
  auto one = Run("Ann", {"appt", "add", kAnnCal, "--subject", "Holiday", "--all-day", "--start", "2026-04-06"});
  ASSERT_EQ(0, one.status) << one.err;
  auto timed = Run("Ann", {"appt", "add", kAnnCal, "--subject", "Workshop", "--start", "2026-05-04 09:30", "--end",
                           "2026-05-05 10:00"});
  ASSERT_EQ(0, timed.status);
  ASSERT_EQ(0, Run("Ann", {"appt", "edit", timed.out.substr(0, timed.out.find('\n')), "--all-day"}).status);

  // An all-day appointment given another day stays whole; given times, it becomes timed.
  const std::string holiday = one.out.substr(0, one.out.find('\n'));
  ASSERT_EQ(0, Run("Ann", {"appt", "edit", holiday, "--start", "2026-04-07", "--end", "2026-04-07"}).status);
  const std::string fair = two.out.substr(0, two.out.find('\n'));
  auto retimed = Run("Ann", {"appt", "edit", fair, "--start", "2026-03-11 09:00", "--end", "2026-03-11 17:00"});
  ASSERT_EQ(0, retimed.status) << retimed.err;

  const std::string list = List("Ann", kAnnCal);
  EXPECT_NE(std::string::npos, list.find("2026-03-11 09:00 - 2026-03-11 17:00  Fair")) << list;
  EXPECT_NE(std::string::npos, list.find("2026-04-07 00:00 - 2026-04-08 00:00  Holiday"));
  EXPECT_NE(std::string::npos, list.find("2026-05-04 00:00 - 2026-05-06 00:00  Workshop"));
  EXPECT_EQ(2, [&] {
    const std::string json = Run("Ann", {"appt", "list", kAnnCal, "--json"}).out;
    int n = 0;
    for (size_t at = 0; (at = json.find("\"AllDayEvent\": true", at)) != std::string::npos; ++at) ++n;
    return n;
  }());

  auto refused = Run("Ann", {"appt", "add", kAnnCal, "--subject", "x", "--start", "2026-03-11 09:30", "--end",
                             "2026-03-11 10:00", "--all-day"});
  EXPECT_EQ(2, refused.status);
  EXPECT_NE(std::string::npos, refused.err.find("--all-day takes whole days")) << refused.err;
  EXPECT_NE(std::string::npos, refused.err.find("'2026-03-11 09:30'"));
}

TEST_F(HostCommandsTest, TheProgramsOptionsWorkAfterTheCommandToo) {
  ASSERT_EQ(0, Run("Ann", {"appt", "add", kAnnCal, "--subject", "Review", "--start", Tomorrow(9), "--end",
                           Tomorrow(10)})
                   .status);
  ASSERT_EQ(0, Run("Ann", {"sync", "local"}).status);
  ASSERT_EQ(0, Run("Bob", {"sync", "global"}).status);
  const std::string copy = List("Ann", kTeamPath).substr(0, List("Ann", kTeamPath).find(' '));
  ASSERT_EQ(0, Run("Ann", {"appt", "delete", copy}).status);

  auto yes = RunQuorvane({"sync", "deletions", "--profile", dir / "Bob", "--answer", "yes", "--lock-wait", "5"});
  EXPECT_NE(std::string::npos, yes.out.find("[Confirm Deletion]")) << yes.out;
  EXPECT_EQ("", List("Bob", "Mailbox - Bob|Calendar"));

  auto help = RunQuorvane({"sync", "--help"});
  EXPECT_EQ(0, help.status);
  EXPECT_NE(std::string::npos, help.out.find("NoOfDays")) << "the window is explained";
  EXPECT_NE(std::string::npos, help.out.find("'sync delete'"));
}

TEST_F(HostCommandsTest, SettingsShowEveryValueStoredOrNot) {
  ASSERT_EQ(0, RunQuorvane({"--profile", dir / "Cy", "init", "--user", "Cy", "--public", dir / "public.store"}).status);
  auto fresh = RunQuorvane({"--profile", dir / "Cy", "settings"});
  ASSERT_EQ(0, fresh.status) << fresh.err;
  EXPECT_EQ(21, std::count(fresh.out.begin(), fresh.out.end(), '\n')) << fresh.out;
  EXPECT_EQ(0u, fresh.out.find("CalToolbar=0  (default, not stored yet)\n")) << fresh.out;
  EXPECT_NE(std::string::npos, fresh.out.find("\nGlobalCalendar=GlobalCalendar  (default, not stored yet)\n"));
  EXPECT_NE(std::string::npos, fresh.out.find("\nNoOfDays=30  (default, not stored yet)\n"));

  // Ann's add-in has stored them: the same values, none marked.
  auto stored = Run("Ann", {"settings"});
  EXPECT_EQ(21, std::count(stored.out.begin(), stored.out.end(), '\n')) << stored.out;
  EXPECT_EQ(std::string::npos, stored.out.find("default"));
  EXPECT_NE(std::string::npos, stored.out.find("\nNoOfDays=30\n"));
  EXPECT_NE(std::string::npos, stored.out.find("\nLocalCalendar=Calendar\n"));
}

}  // namespace
