// The address lists and the Appointment Options dialog from the command line.
#include <gtest/gtest.h>

#include "tests/support/host_workgroup.h"

using namespace testing_support;

namespace {

class HostAddressTest : public ::testing::Test {
 protected:
  HostAddressTest() {
    EXPECT_EQ(0, Run("Ann", {"init", "--user", "Ann", "--public", dir / "public.store"}).status);
    EXPECT_EQ(0, Run("Bob", {"init", "--user", "Bob", "--public", dir / "public.store", "--address", "bob@x.org"}).status);
  }
  ProgramResult Run(const std::string& who, std::vector<std::string> args) {
    args.insert(args.begin(), {"--profile", dir / who});
    return RunQuorvane(args);
  }
  TempDir dir;
};

TEST_F(HostAddressTest, TheWorkgroupSharesOneGlobalListAndEachMemberHasContactsOfItsOwn) {
  auto add = Run("Ann", {"address", "add", "global address list", "--name", "Sales Team", "--address", "sales@x.org",
                         "--display-type", "1"});
  ASSERT_EQ(0, add.status) << add.err;
  EXPECT_EQ("Added Sales Team to Global Address List\n", add.out);
  ASSERT_EQ(0, Run("Ann", {"address", "add", "Contacts", "--name", "Mum", "--type", "EX"}).status);
  const std::string bob = Run("Bob", {"address", "list"}).out;
  EXPECT_EQ(
      "Global Address List (3)\n"
      "  Ann <Ann@workgroup> SMTP\n"
      "  Bob <bob@x.org> SMTP\n"
      "  Sales Team <sales@x.org> SMTP, display type 1\n"
      "Contacts (0)\n",
      bob);
  const std::string ann = Run("Ann", {"address", "list", "Contacts", "--json"}).out;
  EXPECT_EQ(
      "[\n  {\"list\": \"Contacts\", \"index\": 2, \"entries\": [\n"
      "    {\"name\": \"Mum\", \"address\": \"\", \"type\": \"EX\", \"displayType\": 0}\n  ]}\n]\n",
      ann);
  EXPECT_EQ(0, Run("Bob", {"address", "delete", "Global Address List", "sales team"}).status);
  auto again = Run("Bob", {"address", "delete", "Global Address List", "Sales Team"});
  EXPECT_EQ(1, again.status);
  EXPECT_NE(std::string::npos, again.err.find("has no entry 'Sales Team'")) << again.err;
  EXPECT_EQ(2, Run("Ann", {"address", "add", "Friends", "--name", "X"}).status) << "no such list";
  EXPECT_EQ(2, Run("Ann", {"address", "add", "Contacts", "--name", " "}).status);
  EXPECT_EQ(2, Run("Ann", {"address", "add", "Contacts", "--name", "X", "--display-type", "7"}).status);
}

TEST_F(HostAddressTest, FindUserFillsTheFirstBoxOfTheAppointmentOptions) {
  for (const std::vector<std::string>& entry : {std::vector<std::string>{"--name", "Sales Team", "--display-type", "1"},
                                               {"--name", "Front Desk", "--address", "desk@x.org"}}) {
    std::vector<std::string> args = {"address", "add", "Global Address List"};
    args.insert(args.end(), entry.begin(), entry.end());
    ASSERT_EQ(0, Run("Ann", args).status);
  }
  ASSERT_EQ(0, Run("Ann", {"folder", "add", kTeamPath}).status);
  ASSERT_EQ(0, Run("Ann", {"--answer", "ok", "set-calendar", "global", kTeamPath}).status);
  ASSERT_EQ(0, Run("Ann", {"--answer", "ok", "set-calendar", "local", "Mailbox - Ann|Calendar"}).status);
  auto r = Run("Ann", {"appointment-options", "--do", "click Command1", "--do", "show", "--do", "select ListView1 Sales Team", "--do",
                       "click Command1", "--do", "set Text1 fr", "--do", "click Command1", "--do", "click OKButton",
                       "--do", "show", "--do", "click OKButton"});
  ASSERT_EQ(0, r.status) << r.out << r.err;
  EXPECT_NE(std::string::npos, r.out.find("Name | Email Address | EmailType\n")) << r.out;
  EXPECT_NE(std::string::npos, r.out.find("Text1 (TextBox) \"None;Sales Team;Front Desk\"\n")) << r.out;
  EXPECT_NE(std::string::npos, r.out.find("Text2 (TextBox) \"Everyone\"\n"));
  auto wrong = Run("Ann", {"appointment-options", "--do", "click Command1", "--do", "select ListView1 Nobody"});
  EXPECT_EQ(2, wrong.status);
  EXPECT_NE(std::string::npos, wrong.err.find("no item 'Nobody' in ListView1")) << wrong.err;
}

}  // namespace
