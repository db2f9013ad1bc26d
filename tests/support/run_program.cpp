#include "tests/support/run_program.h"

#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/temp_dir.h"

namespace testing_support {

namespace {
std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string Command(const std::vector<std::string>& args) {
  std::string cmd = Quote(std::string(QUORVANE_BIN_DIR) + "/quorvane");
  for (const auto& a : args) cmd += " " + Quote(a);
  return cmd;
}

// Runs cmd with input on its standard input, capturing both outputs.
ProgramResult RunShell(std::string cmd, const std::string& input) {
  TempDir io;
  WriteFile(io / "in", input);
  cmd += " < " + Quote(io / "in") + " > " + Quote(io / "out") + " 2> " + Quote(io / "err");
  ProgramResult r;
  const int rc = std::system(cmd.c_str());
  r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  r.out = ReadFile(io / "out");
  r.err = ReadFile(io / "err");
  return r;
}

}  // namespace

ProgramResult RunQuorvane(const std::vector<std::string>& args, const std::string& input) {
  return RunShell(Command(args), input);
}

ProgramResult RunQuorvaneOnTerminal(const std::vector<std::string>& args, const std::string& input) {
  return RunShell("script -qec " + Quote(Command(args)) + " /dev/null", input);
}

}  // namespace testing_support
