// Times what a person's `quorvane sync local` and `quorvane sync global` cost when nothing is
// to do, each in a fresh process as a person or a cron job runs them: a profile with N
// appointments in each calendar (half of them made on each side, then copied by a first run),
// then REPEAT rounds of the two commands. Prints per N the first run, the fastest round of the
// two passes together and of each pass, the largest peak resident memory of a pass, and the
// blocks a no-change pass wrote to the file system.
//   cold_pass QUORVANE [N ...]       default: 5000 10000
// COLD_PASS_REPEAT=K rounds (default 5). COLD_PASS_DROP_CACHES=1 empties the kernel's page
// cache before each pass (root only), so the stores are read from the disk as after a reboot.
// COLD_PASS_KEEP=1 leaves the profiles in the temporary folder, for a profiler.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_calendar.h"
#include "platform/win32/clock.h"

namespace {

struct Outcome {
  double seconds = 0;
  double peakMiB = 0;
  long writtenBlocks = 0;
};

std::string quorvane;

Outcome Run(const std::string& profile, std::vector<std::string> args) {
  args.insert(args.begin(), {quorvane, "--profile", profile});
  const auto t0 = std::chrono::steady_clock::now();
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::freopen("/dev/null", "w", stdout);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Outcome o;
  o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  o.peakMiB = usage.ru_maxrss / 1024.0;
  o.writtenBlocks = usage.ru_oublock;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::string line;
    for (const std::string& a : args) line += " " + a;
    std::fprintf(stderr, "failed (status %d):%s\n", status, line.c_str());
    std::exit(1);
  }
  return o;
}

void DropCaches() {
  if (!std::getenv("COLD_PASS_DROP_CACHES")) return;
  sync();
  std::ofstream("/proc/sys/vm/drop_caches") << "3\n";
}

int64_t FolderNamed(mapistore::Store& store, int64_t parent, const std::string& name) {
  for (const auto& f : store.SubFolders(parent)) {
    if (f.name == name) return f.id;
  }
  std::fprintf(stderr, "no folder %s\n", name.c_str());
  std::exit(1);
}

void Measure(int n, int repeat) {
  const std::string dir = std::filesystem::temp_directory_path() / ("quorvane-cold-" + std::to_string(n));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string ann = dir + "/ann";
  Run(ann, {"init", "--user", "Ann", "--public", dir + "/public.store"});
  Run(ann, {"folder", "add", "Public Folders|All Public Folders|Team"});
  {
    win32::SystemClock clock;
    const com::Date today = clock.Now().DateOnly();
    auto mailbox = mapistore::SqliteStore::Open(ann + "/mailbox.store", clock);
    bench::Fill(*mailbox, FolderNamed(*mailbox, mailbox->Root().id, "Calendar"), n / 2, "Local ", today);
    auto pub = mapistore::SqliteStore::Open(dir + "/public.store", clock);
    const int64_t all = FolderNamed(*pub, pub->Root().id, "All Public Folders");
    bench::Fill(*pub, FolderNamed(*pub, all, "Team"), n - n / 2, "Global ", today);
  }
  Run(ann, {"set-calendar", "global", "Public Folders|All Public Folders|Team"});
  Run(ann, {"set-calendar", "local", "Mailbox - Ann|Calendar"});
  Run(ann, {"settings", "UpdBoth=1", "GlobalOwner=1"});
  const double first = Run(ann, {"sync", "local"}).seconds + Run(ann, {"sync", "global"}).seconds;
  // The first run's writes reach the disk now, not while the passes are timed.
  sync();

  double both = 1e9, local = 1e9, global = 1e9, peak = 0;
  long written = 0;
  for (int i = 0; i < repeat; ++i) {
    DropCaches();
    const Outcome l = Run(ann, {"sync", "local"});
    DropCaches();
    const Outcome g = Run(ann, {"sync", "global"});
    both = std::min(both, l.seconds + g.seconds);
    local = std::min(local, l.seconds);
    global = std::min(global, g.seconds);
    peak = std::max({peak, l.peakMiB, g.peakMiB});
    written = std::max({written, l.writtenBlocks, g.writtenBlocks});
  }
  {
    win32::SystemClock clock;
    auto mailbox = mapistore::SqliteStore::Open(ann + "/mailbox.store", clock);
    mapistore::ItemQuery q;
    q.folderId = FolderNamed(*mailbox, mailbox->Root().id, "Calendar");
    if (mailbox->CountItems(q) != n) {
      std::fprintf(stderr, "N=%d: the Local Calendar holds %d\n", n, mailbox->CountItems(q));
      std::exit(1);
    }
  }
  std::printf("%8d  %10.3f  %10.3f  %10.3f  %10.3f  %10.1f  %8ld\n", n, first, both, local, global, peak, written);
  std::fflush(stdout);
  if (!std::getenv("COLD_PASS_KEEP")) std::filesystem::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: cold_pass QUORVANE [N ...]\n");
    return 2;
  }
  quorvane = std::filesystem::absolute(argv[1]);
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {5000, 10000};
  const char* repeatText = std::getenv("COLD_PASS_REPEAT");
  const int repeat = repeatText ? std::max(1, std::atoi(repeatText)) : 5;
  std::printf("%8s  %10s  %10s  %10s  %10s  %10s  %8s\n", "N", "first s", "both s", "local s", "global s",
              "peak MiB", "written");
  for (int n : sizes) Measure(n, repeat);
  return 0;
}
