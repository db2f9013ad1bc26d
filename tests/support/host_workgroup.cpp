#include "tests/support/host_workgroup.h"

#include <cstdio>
#include <ctime>

namespace testing_support {

const char* const kTeamPath = "Public Folders|All Public Folders|Team";

std::string Tomorrow(int hour) {
  const std::time_t t = std::time(nullptr) + 86400;
  std::tm local{};
  localtime_r(&t, &local);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:00", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, hour);
  return buf;
}

HostWorkgroup::HostWorkgroup() {
  for (const char* who : {"Ann", "Bob"}) {
    EXPECT_EQ(0, Run(who, {"init", "--user", who, "--public", dir / "public.store"}).status);
  }
  EXPECT_EQ(0, Run("Ann", {"folder", "add", kTeamPath}).status);
  for (const char* who : {"Ann", "Bob"}) {
    EXPECT_EQ(0, Run(who, {"set-calendar", "global", kTeamPath}).status);
    EXPECT_EQ(0, Run(who, {"set-calendar", "local", std::string("Mailbox - ") + who + "|Calendar"}).status);
  }
}

ProgramResult HostWorkgroup::Run(const std::string& who, std::vector<std::string> args) {
  args.insert(args.begin(), {"--profile", dir / who});
  return RunQuorvane(args);
}

std::unique_ptr<RunningProgram> HostWorkgroup::Start(const std::string& who, std::vector<std::string> args) {
  args.insert(args.begin(), {"--profile", dir / who});
  return std::make_unique<RunningProgram>(args);
}

}  // namespace testing_support
