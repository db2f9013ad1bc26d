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

void HostWorkgroup::Import(const std::string& who, const std::string& path, int n, const std::string& prefix) {
  std::string ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Quorvane tests//EN\r\n";
  for (int i = 0; i < n; ++i) {
    const std::time_t day = std::time(nullptr) + 86400 * (1 + i % 7);
    std::tm local{};
    localtime_r(&day, &local);
    char start[32];
    std::snprintf(start, sizeof start, "%04d%02d%02dT%02d%02d00", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, 6 + i % 12, i / 84 % 60);
    ics += "BEGIN:VEVENT\r\nUID:" + prefix + std::to_string(i) + "@tests\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:" +
           prefix + std::to_string(i) + "\r\nDTSTART:" + start + "\r\nDTEND:" + start + "\r\nEND:VEVENT\r\n";
  }
  WriteFile(dir / "new.ics", ics + "END:VCALENDAR\r\n");
  auto imported = Run(who, {"import", path, dir / "new.ics"});
  ASSERT_EQ(0, imported.status) << imported.err;
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
