// The files a member owns: what export writes to, a registry or profile one may not change, and
// a profile that init could not finish.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const char* kCal = "Mailbox - Ann|Calendar";

class HostFilesTest : public ::testing::Test {
 protected:
  ProgramResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--profile", dir / "ann"});
    return RunQuorvane(args);
  }
  void Init() {
    auto r = Run({"init", "--user", "Ann", "--public", dir / "public.store"});
    ASSERT_EQ(0, r.status) << r.err;
    ASSERT_EQ(0, Run({"appt", "add", kCal, "--subject", "Planning", "--start", "2026-03-11 09:00", "--end",
                      "2026-03-11 10:00"})
                     .status);
  }
  std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir dir;
};

TEST_F(HostFilesTest, ExportWritesOnlyRegularFiles) {
  Init();
  ASSERT_EQ(0, ::mkfifo((dir / "fifo.ics").c_str(), 0644));
  fs::create_directory(dir / "folder.ics");
  ASSERT_EQ(0, ::symlink("/dev/null", (dir / "null.ics").c_str()));
  const std::vector<std::pair<std::string, std::string>> refused = {
      {dir / "fifo.ics", "is a FIFO"}, {dir / "folder.ics", "is a folder"}, {"/dev/null", "is a device"},
      {dir / "null.ics", "/dev/null is a device"}, {dir / "nowhere/x.ics", "no folder"}};
  for (const auto& [target, why] : refused) {
    auto r = Run({"export", kCal, target});
    EXPECT_EQ(2, r.status) << target;
    EXPECT_NE(std::string::npos, r.err.find(why)) << r.err;
  }
  EXPECT_TRUE(fs::is_fifo(dir / "fifo.ics"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_TRUE(fs::is_symlink(dir / "null.ics"));

  // Through a relative link into another folder: the link stays, its target is replaced whole
  // and keeps its permissions.
  fs::create_directory(dir / "real");
  WriteFile(dir / "real/cal.ics", "old");
  ::chmod((dir / "real/cal.ics").c_str(), 0600);
  ASSERT_EQ(0, ::symlink("real/cal.ics", (dir / "link.ics").c_str()));
  auto linked = Run({"export", kCal, dir / "link.ics"});
  ASSERT_EQ(0, linked.status) << linked.err;
  EXPECT_TRUE(fs::is_symlink(dir / "link.ics"));
  EXPECT_NE(std::string::npos, ReadFile(dir / "real/cal.ics").find("SUMMARY:Planning"));
  EXPECT_EQ(fs::perms(0600), fs::status(dir / "real/cal.ics").permissions() & fs::perms::all);
  EXPECT_EQ(std::vector<std::string>{"cal.ics"}, Names(dir / "real")) << "no temporary file left";

  // A read-only target is left as it is.
  ::chmod((dir / "real/cal.ics").c_str(), 0444);
  auto readOnly = Run({"export", kCal, dir / "real/cal.ics"});
  EXPECT_EQ(1, readOnly.status);
  EXPECT_NE(std::string::npos, readOnly.err.find("is read-only (Permission denied)")) << readOnly.err;
}

TEST_F(HostFilesTest, AProfileOneMayNotChangeIsRefusedWithTheReasonAndLeftAsItWas) {
  Init();
  ASSERT_EQ(0, Run({"connect"}).status);
  const std::string registry = dir / "ann/registry.reg";
  const std::string before = ReadFile(registry);
  ::chmod(registry.c_str(), 0444);
  for (std::vector<std::string> change : {std::vector<std::string>{"settings", "RefreshRate=5"},
                                          {"set-calendar", "local", kCal},
                                          {"appt", "add", kCal, "--subject", "x", "--start", "2026-03-12",
                                           "--all-day"}}) {
    auto r = Run(change);
    EXPECT_EQ(1, r.status) << change[0];
    EXPECT_NE(std::string::npos, r.err.find(registry + " is read-only (Permission denied); nothing was changed"))
        << r.err;
  }
  EXPECT_EQ(before, ReadFile(registry));
  EXPECT_EQ(fs::perms(0444), fs::status(registry).permissions() & fs::perms::all) << "not replaced";

  // A read-only profile folder still reads.
  ::chmod(registry.c_str(), 0644);
  const std::vector<std::string> names = Names(dir / "ann");
  ::chmod((dir / "ann").c_str(), 0555);
  auto change = Run({"settings", "RefreshRate=5"});
  EXPECT_EQ(1, change.status);
  EXPECT_NE(std::string::npos, change.err.find("folder " + dir / "ann is read-only (Permission denied)")) << change.err;
  auto list = Run({"appt", "list", kCal});
  EXPECT_EQ(0, list.status) << list.err;
  EXPECT_NE(std::string::npos, list.out.find("Planning"));
  auto settings = Run({"settings"});
  EXPECT_EQ(0, settings.status) << settings.err;
  EXPECT_NE(std::string::npos, settings.out.find("RefreshRate=30\n"));
  ::chmod((dir / "ann").c_str(), 0755);
  EXPECT_EQ(names, Names(dir / "ann"));
  EXPECT_EQ(before, ReadFile(registry));
}

TEST_F(HostFilesTest, AFailedInitLeavesNothingAndCanBeTriedAgain) {
  const std::string garbage(3000, 'q');
  WriteFile(dir / "damaged.store", garbage);
  auto failed = Run({"init", "--user", "Ann", "--public", dir / "damaged.store"});
  EXPECT_EQ(1, failed.status);
  EXPECT_NE(std::string::npos, failed.err.find(dir / "damaged.store")) << failed.err;
  EXPECT_FALSE(fs::exists(dir / "ann"));
  EXPECT_EQ(garbage, ReadFile(dir / "damaged.store"));

  // Into a read-only folder that was there: it stays, empty, and the new public store with the
  // folder made for it goes too.
  fs::create_directory(dir / "ann");
  fs::create_directory(dir / "team");
  ::chmod((dir / "ann").c_str(), 0555);
  auto readOnly = Run({"init", "--user", "Ann", "--public", dir / "team/sub/public.store"});
  EXPECT_EQ(1, readOnly.status);
  EXPECT_NE(std::string::npos, readOnly.err.find("is read-only (Permission denied)")) << readOnly.err;
  ::chmod((dir / "ann").c_str(), 0755);
  EXPECT_TRUE(Names(dir / "ann").empty());
  EXPECT_TRUE(Names(dir / "team").empty());

  // An init killed part-way left its list of what it had made: the next one takes that away
  // and starts afresh, where otherwise the half-made registry and mailbox would block it.
  fs::create_directories(dir / "ann/WINDOWS/TEMP");
  WriteFile(dir / "ann/mailbox.store", "half");
  WriteFile(dir / "ann/registry.reg", "half");
  std::string list;
  for (const char* made : {"WINDOWS", "WINDOWS/TEMP", "mailbox.store", "mailbox.store-wal", "registry.reg"}) {
    list += dir / "ann/" + made + '\0';
  }
  WriteFile(dir / "ann/init.incomplete", list);
  auto retried = Run({"init", "--user", "Ann", "--public", dir / "public.store"});
  ASSERT_EQ(0, retried.status) << retried.err;
  EXPECT_EQ(0, Run({"appt", "list", kCal}).status);
  EXPECT_FALSE(fs::exists(dir / "ann/init.incomplete"));

  // A finished profile has no such list, and init leaves it alone.
  EXPECT_EQ(2, Run({"init", "--user", "Ann", "--public", dir / "public.store"}).status);
  EXPECT_EQ(0, Run({"appt", "list", kCal}).status);
}

}  // namespace

TEST_F(HostFilesTest, DemoClearsOnlyAFolderItMade) {
  const fs::path mine = dir / "mine";
  fs::create_directory(mine);
  { std::ofstream(mine / "thesis.txt") << "years of work\n"; }
  auto r = RunQuorvane({"demo", "--dir", mine});
  EXPECT_EQ(2, r.status);
  EXPECT_NE(std::string::npos, r.err.find("holds files the demo did not make")) << r.err;
  EXPECT_EQ(std::vector<std::string>{"thesis.txt"}, Names(mine));

  // Its own folder it makes again from nothing, as often as asked.
  for (int run = 0; run < 2; ++run) {
    r = RunQuorvane({"demo", "--dir", dir / "demo"});
    ASSERT_EQ(0, r.status) << r.err;
  }
  EXPECT_TRUE(fs::exists(dir / "demo/alice/registry.reg"));
}
