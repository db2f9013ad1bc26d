// The quorvane program's profile, folder and appointment commands, run as a person would.
#include <gtest/gtest.h>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

class HostTest : public ::testing::Test {
 protected:
  ProgramResult Run(std::vector<std::string> args, const std::string& profile) {
    args.insert(args.begin(), {"--profile", dir / profile});
    return RunQuorvane(args);
  }
  void Init(const std::string& profile, const std::string& user) {
    auto r = Run({"init", "--user", user, "--public", dir / "public.store"}, profile);
    ASSERT_EQ(0, r.status) << r.err;
  }
  std::string Add(const std::string& profile, const std::string& path, const std::string& subject,
                  std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"appt", "add", path, "--subject", subject, "--start", "2026-03-11 09:00",
                                     "--end", "2026-03-11 10:00"};
    args.insert(args.end(), more.begin(), more.end());
    auto r = Run(args, profile);
    EXPECT_EQ(0, r.status) << r.err;
    return r.out.substr(0, r.out.find('\n'));
  }

  TempDir dir;
};

const char* kTeam = "Public Folders|All Public Folders|Team";

TEST_F(HostTest, MembersShareTheGlobalCalendarThroughOnePublicStore) {
  Init("ann", "Ann");
  Init("bob", "Bob");
  ASSERT_EQ(0, Run({"folder", "add", kTeam}, "ann").status);
  const std::string id = Add("ann", kTeam, "Planning", {"--recur", "weekly", "--until", "2026-06-30"});
  Add("bob", "Mailbox - Bob|Calendar", "Private errand", {"--sensitivity", "2"});

  auto list = Run({"appt", "list", kTeam, "--json"}, "bob");
  ASSERT_EQ(0, list.status) << list.err;
  EXPECT_NE(std::string::npos, list.out.find("\"EntryID\": \"" + id + "\""));
  EXPECT_NE(std::string::npos, list.out.find("\"Subject\": \"Planning\""));
  EXPECT_NE(std::string::npos, list.out.find("\"RecurrenceType\": \"weekly\""));
  EXPECT_NE(std::string::npos, list.out.find("\"LastModificationTime\": \"20"));
  EXPECT_NE(std::string::npos, list.out.find("\"ReminderSet\": false"));

  ASSERT_EQ(0, Run({"appt", "edit", id, "--location", "Room 4"}, "bob").status);
  EXPECT_NE(std::string::npos, Run({"appt", "list", kTeam, "--json"}, "ann").out.find("\"Location\": \"Room 4\""));
  auto folders = Run({"folder", "list"}, "ann");
  EXPECT_NE(std::string::npos, folders.out.find("Public Folders|All Public Folders|Team  (1 appointments)"));
  EXPECT_NE(std::string::npos, folders.out.find("Mailbox - Ann|Calendar  (0 appointments)"));

  ASSERT_EQ(0, Run({"appt", "delete", id}, "ann").status);
  EXPECT_EQ("[]\n", Run({"appt", "list", kTeam, "--json"}, "bob").out);
}

TEST_F(HostTest, BadInputGetsOneLineAndStatusTwoAndChangesNothing) {
  Init("ann", "Ann");
  const std::string cal = "Mailbox - Ann|Calendar";
  const std::vector<std::vector<std::string>> bad = {
      {"appt", "add", cal, "--subject", "x", "--start", "2026-02-30 09:00", "--end", "2026-03-01 10:00"},
      {"appt", "add", cal, "--subject", "x", "--start", "2026-03-11 10:00", "--end", "2026-03-11 09:00"},
      {"appt", "add", "Mailbox - Ann|Nowhere", "--subject", "x", "--start", "2026-03-11 09:00", "--end",
       "2026-03-11 10:00"},
      {"appt", "add", cal, "--subject", "x", "--start", "2026-03-11 09:00", "--end", "2026-03-11 10:00",
       "--sensitivity", "9"},
      {"folder", "add", "Nowhere|Team"},
      {"appt", "edit", "00DEAD", "--subject", "y"},
  };
  for (const auto& args : bad) {
    auto r = Run(args, "ann");
    EXPECT_EQ(2, r.status) << args[1] << " " << r.out;
    EXPECT_EQ(1, std::count(r.err.begin(), r.err.end(), '\n')) << r.err;
  }
  EXPECT_EQ("[]\n", Run({"appt", "list", cal, "--json"}, "ann").out);

  auto missing = Run({"appt", "list", cal}, "nobody");
  EXPECT_EQ(2, missing.status);
  EXPECT_NE(std::string::npos, missing.err.find("no profile"));
}

TEST_F(HostTest, ADamagedStoreIsNamedAndLeftAsItWas) {
  Init("ann", "Ann");
  const std::string garbage(3000, 'q');
  WriteFile(dir / "ann/mailbox.store", garbage);
  auto r = Run({"folder", "list"}, "ann");
  EXPECT_EQ(1, r.status);
  EXPECT_NE(std::string::npos, r.err.find(dir / "ann/mailbox.store")) << r.err;
  EXPECT_EQ(garbage, ReadFile(dir / "ann/mailbox.store"));
}

TEST_F(HostTest, TheAddinConnectsOnAProfileAndWritesItsLog) {
  Init("ann", "Ann");
  auto r = Run({"connect"}, "ann");
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_NE(std::string::npos, r.out.find("QZT On Connection at "));
  EXPECT_NE(std::string::npos, r.out.find("QZT Disconnected at "));
  const std::string reg = ReadFile(dir / "ann/registry.reg");
  EXPECT_NE(std::string::npos, reg.find("\"RefreshRate\"=dword:0000001e"));
}

}  // namespace
