// Times a both-directions run (local pass, global pass, the loop's turn) on one member's
// calendars with N appointments per calendar inside the window: half of them start on each
// side, so the first run copies N/2 each way; the second run finds nothing to do.
//   sync_bench [N ...]        default: 1000 10000 20000
// SYNC_BENCH_REPEAT=K times each N on K fresh workgroups and reports the fastest first and
// second run (this machine's timings vary by 10-20% from one moment to the next).
// For profiling: SYNC_BENCH_EXTRA_RUNS=K adds K more no-change runs; SYNC_BENCH_CPU=1 prints
// each run's processor time as well.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "addin/quorvane_class.h"
#include "bench/bench_calendar.h"
#include "bench/timing.h"
#include "platform/mapistore/mapi_application.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/outlook/items.h"
#include "platform/win32/file_registry.h"

namespace {

struct Result {
  int n;
  double first, second;
};

double Seconds(const std::function<void()>& f) { return bench::Seconds(f, std::getenv("SYNC_BENCH_CPU")); }

Result Run(int n) {
  const std::string dir = std::filesystem::temp_directory_path() / ("quorvane-bench-" + std::to_string(n));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir + "/WINDOWS/TEMP");
  win32::SystemClock clock;
  win32::MessageLoop loop(clock);
  win32::FileRegistry registry(dir + "/registry.reg");
  win32::ScriptedUi ui;
  win32::Environment env{registry, ui, clock, loop, dir + "/WINDOWS"};
  win32::SetEnv(&env);

  std::shared_ptr<mapistore::SqliteStore> mailbox = mapistore::SqliteStore::Create(dir + "/mailbox.store", "Mailbox - Bench", mapistore::DbServices{clock, &loop});
  const auto calendar = mailbox->AddFolder(mailbox->Root().id, "Calendar", 1);
  std::shared_ptr<mapistore::SqliteStore> pub = mapistore::SqliteStore::Create(dir + "/public.store", "Public Folders", mapistore::DbServices{clock, &loop});
  const auto team = pub->AddFolder(pub->Root().id, "Team", 1);
  const com::Date today = clock.Now().DateOnly();
  bench::Fill(*mailbox, calendar.id, n / 2, "Local ", today);
  bench::Fill(*pub, team.id, n - n / 2, "Global ", today);

  auto ns = std::make_shared<mapistore::MapiSession>(&loop);
  ns->AddStore(mailbox);
  ns->AddStore(pub);
  ns->SetDefaultCalendar(mailbox, calendar.id);
  auto app = std::make_shared<mapistore::MapiApplication>(ns, std::make_shared<mapistore::MapiExplorer>());
  auto addin = std::make_shared<quorvane::QuorvaneClass>(env);
  com::Args custom;
  addin->OnConnection(app, 0, nullptr, custom);
  addin->CheckRegistryValues();
  addin->oNS = ns;
  addin->GlobalOwner = 1;
  addin->UpdBoth = 1;
  addin->SetGlobalFolderPath("Public Folders|Team");
  addin->SetLocalFolderPath("Mailbox - Bench|Calendar");

  Result r{n, 0, 0};
  // As the timer runs them: both passes, then the loop's turn, which commits what is held back
  // and delivers the events the passes raised.
  auto both = [&] {
    addin->oProcessLocalFolders();
    addin->oProcessGlobalFolders();
    loop.DoEvents();
  };
  r.first = Seconds(both);
  r.second = Seconds(both);
  // More no-change runs on request, so a profiler sees mostly the second run.
  if (const char* extra = std::getenv("SYNC_BENCH_EXTRA_RUNS")) {
    for (int i = std::atoi(extra); i > 0; --i) both();
  }
  const int local = addin->oLocalCalendar->Items()->Count(), global = addin->oGlobalCalendar->Items()->Count();
  if (local != n || global != n) {
    std::fprintf(stderr, "N=%d: expected %d on each side, found %d local and %d global\n", n, n, local, global);
    std::exit(1);
  }
  win32::SetEnv(nullptr);
  addin.reset();
  std::filesystem::remove_all(dir);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 10000, 20000};
  std::vector<Result> results;
  std::printf("%8s  %12s  %12s\n", "N", "first run s", "second run s");
  const char* repeatText = std::getenv("SYNC_BENCH_REPEAT");
  const int repeat = repeatText ? std::max(1, std::atoi(repeatText)) : 1;
  for (int n : sizes) {
    Result best = Run(n);
    for (int i = 1; i < repeat; ++i) {
      const Result r = Run(n);
      best.first = std::min(best.first, r.first);
      best.second = std::min(best.second, r.second);
    }
    results.push_back(best);
    std::printf("%8d  %12.3f  %12.3f\n", n, results.back().first, results.back().second);
    std::fflush(stdout);
  }
  for (size_t i = 1; i < results.size(); ++i) {
    std::printf("growth %d -> %d: first x%.2f, second x%.2f\n", results[i - 1].n, results[i].n,
                results[i].first / results[i - 1].first, results[i].second / results[i - 1].second);
  }
  return 0;
}
