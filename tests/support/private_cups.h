#pragma once
// A CUPS scheduler of the test's own, in a scratch folder, reached through its socket (set
// CUPS_SERVER to socket()). Its one printer takes each job's document as the spooler hands
// it to a backend and keeps it as OUT/job-<id>-<copies>.pdf.
#include <string>
#include <vector>
#include <sys/types.h>

#include "tests/support/temp_dir.h"

namespace testing_support {

class PrivateCups {
 public:
  explicit PrivateCups(const std::string& printerName);
  ~PrivateCups();  // stops the scheduler it started
  PrivateCups(const PrivateCups&) = delete;
  PrivateCups& operator=(const PrivateCups&) = delete;

  // Empty when the scheduler runs with the printer; else why it could not be had.
  const std::string& failure() const { return failure_; }
  std::string socket() const { return dir_ / "run/cups.sock"; }
  std::string outDir() const { return dir_ / "out"; }
  // The documents kept so far, waiting up to 20 s for at least `count` of them.
  std::vector<std::string> WaitForDocuments(size_t count) const;

 private:
  TempDir dir_;
  pid_t pid_ = -1;
  std::string failure_;
};

}  // namespace testing_support
