#pragma once
// How long a piece of work takes: wall-clock seconds, and, when asked, the processor time this
// process spent on it, printed to stderr as "cpu S" (what is left is waiting: for the disk, or
// for a server).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <functional>

namespace bench {

inline double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

inline double Seconds(const std::function<void()>& f, bool printCpu) {
  const auto t0 = std::chrono::steady_clock::now();
  const double c0 = CpuSeconds();
  f();
  if (printCpu) std::fprintf(stderr, "cpu %.3f\n", CpuSeconds() - c0);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace bench
