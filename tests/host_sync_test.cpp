// Synchronisation from the command line, as two members would run it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>

#include "tests/support/host_workgroup.h"

using namespace testing_support;

namespace {

const char* kTeam = kTeamPath;

class HostSyncTest : public HostWorkgroup {};

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
  EXPECT_EQ(0, yes.status) << "a deletion that succeeded is no failure of the pass: " << yes.err;
  EXPECT_EQ("", List("Bob", "Mailbox - Bob|Calendar"));
}

class OwnAppointmentTest : public HostSyncTest {
 protected:
  // Ann's own appointments, shared by the local pass, whose copies are then deleted from the
  // Global Calendar, as the steps of the report do.
  void AddShareAndLoseCopies(const std::vector<std::string>& subjects) {
    int hour = 9;
    for (const auto& subject : subjects) {
      ASSERT_EQ(0, Run("Ann", {"appt", "add", kLocal, "--subject", subject, "--start", Tomorrow(hour), "--end",
                               Tomorrow(hour + 1)})
                       .status);
      hour += 2;
    }
    ASSERT_EQ(0, Run("Ann", {"sync", "local"}).status);
    std::istringstream global(List("Ann", kTeam));
    std::string line;
    int copies = 0;
    while (std::getline(global, line)) {
      ASSERT_EQ(0, Run("Ann", {"appt", "delete", line.substr(0, line.find(' '))}).status);
      ++copies;
    }
    ASSERT_EQ(subjects.size(), static_cast<size_t>(copies));
  }
  std::string Question(const std::string& subject) {
    return "Appointment (" + subject +
           ") / Has been removed from the Global Calendar / Do you want to remove from your Local Calendar?";
  }
  std::string Prompt(const std::string& subject) { return "[Confirm Deletion] " + Question(subject); }
  static constexpr const char* kLocal = "Mailbox - Ann|Calendar";
};

TEST_F(OwnAppointmentTest, NoKeepsItAndItIsAskedAgainYesDeletesIt) {
  AddShareAndLoseCopies({"Mine"});
  for (int run = 1; run <= 2; ++run) {
    auto no = Run("Ann", {"--answer", "no", "sync", "deletions"});
    EXPECT_NE(std::string::npos, no.out.find(Prompt("Mine") + "\n  -> Cancel")) << no.out;
    EXPECT_NE(std::string::npos, Run("Ann", {"sync", "local"}).out.find("(Team): 0 copied, 0 replaced, 0 deleted"));
    EXPECT_NE(std::string::npos, Run("Ann", {"sync", "global"}).out.find("(Calendar): 0 copied, 0 replaced, 0 deleted"));
    EXPECT_NE(std::string::npos, List("Ann", kLocal).find("Mine")) << "kept after No";
    EXPECT_EQ("", List("Ann", kTeam)) << "and not copied back";
  }
  auto yes = Run("Ann", {"--answer", "yes", "sync", "deletions"});
  EXPECT_NE(std::string::npos, yes.out.find(Prompt("Mine") + "\n  -> OK")) << yes.out;
  EXPECT_NE(std::string::npos, yes.out.find("Local Calendar (Calendar): 0 copied, 0 replaced, 1 deleted")) << yes.out;
  EXPECT_EQ("", List("Ann", kLocal));
}

TEST_F(OwnAppointmentTest, DontAskMeAgainDeletesItAndTheNextIsDeletedWithoutAsking) {
  AddShareAndLoseCopies({"First", "Second"});
  // On a terminal: tick "Don't ask me again", then OK.
  auto ticked = RunQuorvaneOnTerminal({"--profile", dir / "Ann", "sync", "deletions"}, "click Check1\nclick OKButton\n");
  ASSERT_EQ(0, ticked.status) << ticked.out;
  EXPECT_NE(std::string::npos, ticked.out.find("[Confirm Deletion]\r\n  Label1 (Label) \"" + Question("First")))
      << ticked.out;
  EXPECT_NE(std::string::npos, ticked.out.find("Check1 (CheckBox) \"Don't ask me again\" [ ]"));
  EXPECT_EQ(std::string::npos, ticked.out.find(Question("Second"))) << "asked once only";
  EXPECT_NE(std::string::npos, Run("Ann", {"settings"}).out.find("PromptDelete=1"));
  EXPECT_EQ(std::string::npos, List("Ann", kLocal).find("First"));

  auto local = Run("Ann", {"sync", "local"});
  EXPECT_EQ(std::string::npos, local.out.find("[Confirm Deletion]")) << local.out;
  EXPECT_NE(std::string::npos, local.out.find("Local Calendar (Calendar): 0 copied, 0 replaced, 1 deleted"))
      << local.out;
  EXPECT_EQ("", List("Ann", kLocal));
  EXPECT_EQ("", List("Ann", kTeam));
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

namespace {

// What the file system shows of a store file and its log: a pass that changed nothing leaves both.
std::string StoreState(const std::string& path) {
  std::string state;
  for (const std::string& file : {path, path + "-wal"}) {
    struct stat s {};
    if (stat(file.c_str(), &s) == 0) {
      state += file + " " + std::to_string(s.st_size) + " " + std::to_string(s.st_mtim.tv_sec) + "." +
               std::to_string(s.st_mtim.tv_nsec) + "\n";
    }
  }
  return state;
}

}  // namespace

TEST_F(HostSyncTest, PassesWithNothingToDoWriteNothingAndSayWhatIsThere) {
  Import("Ann", "Mailbox - Ann|Calendar", 40, "Ann ");
  Import("Ann", kTeam, 40, "Team ");
  ASSERT_EQ(0, Run("Ann", {"sync", "local"}).status);
  ASSERT_EQ(0, Run("Ann", {"sync", "global"}).status);

  const std::string before = StoreState(dir / "Ann/mailbox.store") + StoreState(dir / "public.store");
  auto local = Run("Ann", {"sync", "local"});
  auto global = Run("Ann", {"sync", "global"});
  EXPECT_EQ(0, local.status) << local.err;
  EXPECT_EQ(0, global.status) << global.err;
  for (const auto* pass : {&local, &global}) {
    EXPECT_NE(std::string::npos, pass->out.find("Global Calendar (Team): 0 copied, 0 replaced, 0 deleted, 80 left"))
        << pass->out;
    EXPECT_NE(std::string::npos, pass->out.find("Local Calendar (Calendar): 0 copied, 0 replaced, 0 deleted, 80 left"))
        << pass->out;
  }
  EXPECT_EQ(before, StoreState(dir / "Ann/mailbox.store") + StoreState(dir / "public.store"));
}
