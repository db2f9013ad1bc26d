#include "tests/support/child_process.h"

#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

bool InAnotherProcess(const std::function<void()>& work) {
  const pid_t child = fork();
  if (child == 0) {
    try {
      work();
    } catch (...) {
      _exit(1);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace testing_support
