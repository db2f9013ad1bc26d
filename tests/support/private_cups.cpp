#include "tests/support/private_cups.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace testing_support {

namespace fs = std::filesystem;

namespace {
const char* const kCupsd = "/usr/sbin/cupsd";
const char* const kCupsBin = "/usr/lib/cups";

// Copies the document, from the file argument or standard input, into the folder of its URI.
const char* const kBackend = R"(#!/bin/sh
if [ $# -eq 0 ]; then echo 'file keep "Unknown" "Keep the document"'; exit 0; fi
dir=${DEVICE_URI#keep:}
if [ -n "$6" ]; then cat "$6"; else cat; fi > "$dir/job-$1-$4.tmp" && mv "$dir/job-$1-$4.tmp" "$dir/job-$1-$4.pdf"
)";

int Run(const std::string& command) { return std::system(command.c_str()); }
}  // namespace

PrivateCups::PrivateCups(const std::string& printerName) {
  if (access(kCupsd, X_OK) != 0) {
    failure_ = std::string(kCupsd) + " is not installed (scripts/install-deps.sh installs cups)";
    return;
  }
  const std::string d = dir_.path();
  for (const char* sub : {"spool", "cache", "log", "run", "state", "out", "ppd", "bin/backend"}) {
    fs::create_directories(d + "/" + sub);
  }
  // The backend runs as the spooler's unprivileged user when the scheduler runs as root.
  chmod(d.c_str(), 0755);
  chmod((d + "/out").c_str(), 01777);
  for (const auto& entry : fs::directory_iterator(kCupsBin)) {
    if (entry.path().filename() != "backend")
      fs::create_symlink(entry.path(), fs::path(d) / "bin" / entry.path().filename());
  }
  WriteFile(d + "/bin/backend/keep", kBackend);
  chmod((d + "/bin/backend/keep").c_str(), 0755);
  WriteFile(d + "/cupsd.conf", "Listen " + socket() +
                                   "\nLogLevel info\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                                   "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                   "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
  const std::string group = getuid() == 0 ? "root" : std::to_string(getgid());
  WriteFile(d + "/cups-files.conf", "ServerRoot " + d + "\nRequestRoot " + d + "/spool\nCacheDir " + d +
                                        "/cache\nStateDir " + d + "/state\nTempDir " + d + "/spool\nServerBin " + d +
                                        "/bin\nDataDir /usr/share/cups\nFileDevice Yes\nSandboxing Relaxed\n"
                                        "SystemGroup " +
                                        group + "\nErrorLog " + d + "/log/error_log\nAccessLog " + d +
                                        "/log/access_log\nPageLog " + d + "/log/page_log\n");
  pid_ = fork();
  if (pid_ == 0) {
    execl(kCupsd, kCupsd, "-f", "-c", (d + "/cupsd.conf").c_str(), "-s", (d + "/cups-files.conf").c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  const std::string env = "CUPS_SERVER='" + socket() + "' ";
  for (int i = 0; i < 100; ++i) {
    // lpstat -r says whether the scheduler runs, and exits 0 either way.
    if (Run(env + "lpstat -r 2>/dev/null | grep -q '^scheduler is running'") == 0) break;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      failure_ = "cupsd did not start: " + ReadFile(d + "/log/error_log");
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  const std::string add = env + "lpadmin -p '" + printerName + "' -v 'keep:" + outDir() + "' -E > '" + d +
                          "/log/lpadmin' 2>&1";
  if (Run(add) != 0) {
    failure_ = "lpadmin could not add the printer: " + ReadFile(d + "/log/lpadmin") + ReadFile(d + "/log/error_log");
  }
}

PrivateCups::~PrivateCups() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
}

std::vector<std::string> PrivateCups::WaitForDocuments(size_t count) const {
  std::vector<std::string> found;
  for (int i = 0; i < 200; ++i) {
    found.clear();
    for (const auto& entry : fs::directory_iterator(outDir())) {
      if (entry.path().extension() == ".pdf") found.push_back(entry.path());
    }
    if (found.size() >= count) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return found;
}

}  // namespace testing_support
