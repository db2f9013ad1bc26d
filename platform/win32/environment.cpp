#include "platform/win32/environment.h"

#include <atomic>

#include "platform/com/com_error.h"

namespace win32 {
namespace {
std::atomic<Environment*> gEnv{nullptr};
}

Environment& Env() {
  Environment* env = gEnv.load();
  if (!env) com::Raise(com::kErrObjectNotSet);
  return *env;
}

void SetEnv(Environment* env) { gEnv.store(env); }

std::string GetWindowsDirectory(size_t bufferSize) {
  std::string dir = Env().windowsDirectory;
  if (bufferSize > 0 && dir.size() > bufferSize - 1) dir.resize(bufferSize - 1);
  return dir;
}

std::string NativePath(const std::string& path) {
  std::string out;
  for (char c : path) {
    const char n = c == '\\' ? '/' : c;
    if (n == '/' && !out.empty() && out.back() == '/') continue;
    out += n;
  }
  return out;
}

}  // namespace win32
