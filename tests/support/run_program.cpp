#include "tests/support/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace testing_support {

RunningProgram::RunningProgram(const std::vector<std::string>& args, std::optional<std::string> input) {
  const std::string program = std::string(QUORVANE_BIN_DIR) + "/quorvane";
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  int pipeEnds[2] = {-1, -1};
  if (input) {
    WriteFile(io_ / "in", *input);
    posix_spawn_file_actions_addopen(&actions, 0, (io_ / "in").c_str(), O_RDONLY, 0);
  } else {
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], 0);
    input_ = pipeEnds[1];
  }
  posix_spawn_file_actions_addopen(&actions, 1, (io_ / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, (io_ / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (pipeEnds[0] >= 0) ::close(pipeEnds[0]);
  if (rc != 0) throw std::runtime_error("cannot start " + program);
}

RunningProgram::~RunningProgram() {
  if (!status_) {
    Signal(SIGKILL);
    Wait();
  }
  CloseInput();
}

void RunningProgram::Write(const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(input_, text.data() + done, text.size() - done);
    if (n <= 0) throw std::runtime_error("cannot write to quorvane's input");
    done += static_cast<size_t>(n);
  }
}

void RunningProgram::CloseInput() {
  if (input_ >= 0) ::close(input_);
  input_ = -1;
}

void RunningProgram::Signal(int signal) { ::kill(pid_, signal); }

bool RunningProgram::WaitForOutput(const std::string& text) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (ReadFile(io_ / "out").find(text) == std::string::npos) {
    siginfo_t ended{};
    if (status_ || ::waitid(P_PID, static_cast<id_t>(pid_), &ended, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        ended.si_pid != 0 || std::chrono::steady_clock::now() > giveUp) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

ProgramResult RunningProgram::Wait() {
  CloseInput();
  if (!status_) {
    int rc = 0;
    while (::waitpid(pid_, &rc, 0) < 0 && errno == EINTR) {
    }
    status_ = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  }
  return ProgramResult{*status_, ReadFile(io_ / "out"), ReadFile(io_ / "err")};
}

ProgramResult RunQuorvane(const std::vector<std::string>& args, const std::string& input) {
  return RunningProgram(args, input).Wait();
}

namespace {
std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}
}  // namespace

ProgramResult RunQuorvaneOnTerminal(const std::vector<std::string>& args, const std::string& input) {
  std::string cmd = Quote(std::string(QUORVANE_BIN_DIR) + "/quorvane");
  for (const auto& a : args) cmd += " " + Quote(a);
  TempDir io;
  WriteFile(io / "in", input);
  const std::string shell = "script -qec " + Quote(cmd) + " /dev/null < " + Quote(io / "in") + " > " +
                            Quote(io / "out") + " 2> " + Quote(io / "err");
  const int rc = std::system(shell.c_str());
  return ProgramResult{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadFile(io / "out"), ReadFile(io / "err")};
}

}  // namespace testing_support
