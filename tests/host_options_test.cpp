// The Options dialog and a folder's Properties dialog from the command line: driven by --do
// actions, or by a person on a terminal.
#include <gtest/gtest.h>

#include "tests/support/host_workgroup.h"

using namespace testing_support;

namespace {

class HostOptionsTest : public ::testing::Test {
 protected:
  HostOptionsTest() {
    for (const char* who : {"Ann", "Bob"}) {
      EXPECT_EQ(0, Run(who, {"init", "--user", who, "--public", dir / "public.store"}).status);
    }
    EXPECT_EQ(0, Run("Ann", {"folder", "add", kTeamPath}).status);
  }
  ProgramResult Run(const std::string& who, std::vector<std::string> args) {
    args.insert(args.begin(), {"--profile", dir / who});
    return RunQuorvane(args);
  }
  // The options command with each action given as --do.
  ProgramResult Options(const std::string& who, const std::vector<std::string>& actions) {
    std::vector<std::string> args = {"--answer", "ok", "options"};
    for (const auto& a : actions) args.insert(args.end(), {"--do", a});
    return Run(who, args);
  }
  std::string Settings(const std::string& who) { return Run(who, {"settings"}).out; }
  // The settings once the add-in has started as it will from now on (the first start writes
  // the defaults, the second records that the default paths name no folder).
  std::string Started(const std::string& who) {
    for (int i = 0; i < 2; ++i) EXPECT_EQ(0, Options(who, {"click Cancel"}).status);
    return Settings(who);
  }

  TempDir dir;
};

TEST_F(HostOptionsTest, AWorkgroupIsSetUpThroughTheOptionsDialogAndSyncs) {
  for (const std::string who : {"Ann", "Bob"}) {
    std::vector<std::string> actions = {"click Command1", std::string("select TreeView1 ") + kTeamPath,
                                        "click Command1", "click Command3",
                                        "select TreeView1 Mailbox - " + who + "|Calendar", "click Command1",
                                        "click Option4", "set Text6 60"};
    if (who == "Bob") actions.push_back("click Check2");  // owner by default: Bob is not
    actions.push_back("click OK");
    auto set = Options(who, actions);
    ASSERT_EQ(0, set.status) << set.out << set.err;
    EXPECT_NE(std::string::npos, set.out.find("[Browse Global Folders]")) << set.out;
    EXPECT_NE(std::string::npos, set.out.find("[Browse Local Folders]"));
    const std::string settings = Settings(who);
    EXPECT_NE(std::string::npos, settings.find("GlobalCalendar=Team\n")) << settings;
    EXPECT_NE(std::string::npos, settings.find("LocalCalendar=Calendar\n"));
    EXPECT_NE(std::string::npos, settings.find("NoOfDays=60\n"));
    EXPECT_NE(std::string::npos, settings.find("UpdBoth=1\n"));
    EXPECT_NE(std::string::npos, settings.find(who == "Ann" ? "GlobalOwner=1\n" : "GlobalOwner=0\n"));
    EXPECT_EQ(std::string::npos, settings.find("GlobalCalEntryID=\n")) << "the folder is recorded by identity";
  }
  ASSERT_EQ(0, Run("Ann", {"appt", "add", "Mailbox - Ann|Calendar", "--subject", "Review", "--start", Tomorrow(10),
                           "--end", Tomorrow(11)})
                   .status);
  auto local = Run("Ann", {"sync", "local"});
  EXPECT_NE(std::string::npos, local.out.find("Global Calendar (Team): 1 copied")) << local.out << local.err;
  auto global = Run("Bob", {"sync", "global"});
  EXPECT_NE(std::string::npos, global.out.find("Local Calendar (Calendar): 1 copied")) << global.out << global.err;
  EXPECT_NE(std::string::npos, Run("Bob", {"appt", "list", "Mailbox - Bob|Calendar"}).out.find("Review"));
}

TEST_F(HostOptionsTest, CancelAndTheCloseBoxKeepTheSettingsApplyKeepsThem) {
  const std::string before = Started("Ann");
  ASSERT_EQ(0, Options("Ann", {"set Text6 90", "click Cancel"}).status);
  ASSERT_EQ(0, Options("Ann", {"set Text6 90"}).status) << "closed without a button";
  EXPECT_EQ(before, Settings("Ann"));
  auto applied = Options("Ann", {"set Text6 90", "click Apply", "show", "set Text3 0", "show", "click Cancel"});
  ASSERT_EQ(0, applied.status) << applied.err;
  const size_t afterApply = applied.out.find("Apply (CommandButton) \"Apply\", disabled\n");
  EXPECT_NE(std::string::npos, afterApply) << "nothing left to apply" << applied.out;
  EXPECT_NE(std::string::npos, applied.out.find("Apply (CommandButton) \"Apply\"\n", afterApply)) << "an edit again";
  EXPECT_NE(std::string::npos, Settings("Ann").find("NoOfDays=90\n"));
  EXPECT_EQ(std::string::npos, Settings("Ann").find("RefreshRate=0\n")) << "what came after Apply was cancelled";
}

TEST_F(HostOptionsTest, AnActionForWhatTheFormLacksEndsWithStatusTwo) {
  const std::string before = Started("Ann");
  auto unknown = Options("Ann", {"set Text6 90", "click Nope", "click OK"});
  EXPECT_EQ(2, unknown.status);
  EXPECT_NE(std::string::npos, unknown.err.find("no control 'Nope'")) << unknown.err;
  EXPECT_NE(std::string::npos, unknown.err.find("Text6"));
  auto item = Options("Ann", {"click Command1", "select TreeView1 Public Folders|Nowhere"});
  EXPECT_EQ(2, item.status);
  EXPECT_NE(std::string::npos, item.err.find("no item 'Public Folders|Nowhere'")) << item.err;
  auto leftOver = Options("Ann", {"click Cancel", "click OK"});
  EXPECT_EQ(2, leftOver.status);
  EXPECT_NE(std::string::npos, leftOver.err.find("'click OK'")) << leftOver.err;
  EXPECT_EQ(before, Settings("Ann")) << "nothing was applied";
}

TEST_F(HostOptionsTest, OnlyAFolderNamedOrbitraHasThePage) {
  ASSERT_EQ(0, Run("Ann", {"folder", "add", "Mailbox - Ann|Orbitra"}).status);
  auto orbitra = Run("Ann", {"folder", "properties", "Mailbox - Ann|Orbitra", "--do", "show"});
  ASSERT_EQ(0, orbitra.status) << orbitra.err;
  EXPECT_NE(std::string::npos, orbitra.out.find("[Orbitra Properties]")) << orbitra.out;
  EXPECT_NE(std::string::npos, orbitra.out.find("Page1 (UserControl) \"Orbitra\""));
  EXPECT_NE(std::string::npos, orbitra.out.find("Text6 (TextBox)"));
  auto calendar = Run("Ann", {"folder", "properties", "Mailbox - Ann|Calendar", "--do", "show"});
  ASSERT_EQ(0, calendar.status);
  EXPECT_EQ(std::string::npos, calendar.out.find("Text6")) << calendar.out;
}

TEST_F(HostOptionsTest, APersonOnATerminalActsOnTheForms) {
  auto typed = RunQuorvaneOnTerminal({"--profile", dir / "Ann", "options"},
                                     "click Command1\nselect TreeView1 " + std::string(kTeamPath) +
                                         "\nclick Command1\nset Text6 45\nclick Nope\nclick OK\n");
  ASSERT_EQ(0, typed.status) << typed.out;
  EXPECT_NE(std::string::npos, typed.out.find("Text6 (TextBox)")) << typed.out;
  EXPECT_NE(std::string::npos, typed.out.find("    Team")) << "the tree as indented lines";
  EXPECT_NE(std::string::npos, typed.out.find("no control 'Nope'")) << "said, and asked again";
  EXPECT_NE(std::string::npos, Settings("Ann").find("NoOfDays=45\n"));
  EXPECT_NE(std::string::npos, Settings("Ann").find("GlobalCalendar=Team\n"));
}

}  // namespace
