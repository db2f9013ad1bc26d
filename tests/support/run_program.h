#pragma once
// Runs the quorvane program as a person would, capturing what it prints.
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace testing_support {

struct ProgramResult {
  int status = -1;  // the exit status, or -1 when a signal ended it
  std::string out, err;
};

// quorvane started in the background. Its standard input is the text given, or else a pipe the
// test writes to and closes.
class RunningProgram {
 public:
  explicit RunningProgram(const std::vector<std::string>& args, std::optional<std::string> input = std::nullopt);
  ~RunningProgram();  // kills it if it still runs
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  pid_t pid() const { return pid_; }
  void Write(const std::string& text);
  void CloseInput();
  void Signal(int signal);
  // Waits until its standard output holds text; false when it ended first (or after a minute).
  bool WaitForOutput(const std::string& text);
  // Closes its input and waits for its end.
  ProgramResult Wait();

 private:
  TempDir io_;
  pid_t pid_ = -1;
  int input_ = -1;
  std::optional<int> status_;
};

ProgramResult RunQuorvane(const std::vector<std::string>& args, const std::string& input = "");
// The same with the program on a terminal (through script(1)), where it asks its questions and
// reads input's lines as the answers typed; what it prints and what is typed end up in out.
ProgramResult RunQuorvaneOnTerminal(const std::vector<std::string>& args, const std::string& input);

}  // namespace testing_support
