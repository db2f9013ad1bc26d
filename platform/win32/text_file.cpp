#include "platform/win32/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/com/com_error.h"
#include "platform/win32/environment.h"

namespace win32 {
namespace {

void Write(const std::string& path, const std::string& text, const char* mode) {
  const std::string native = NativePath(path);
  FILE* f = std::fopen(native.c_str(), mode);
  if (!f) {
    const int e = errno;
    com::Raise(e == ENOENT || e == ENOTDIR ? com::kErrPathNotFound : com::kErrFileAccess);
  }
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool closed = std::fclose(f) == 0;
  if (!ok || !closed) com::Raise(com::kErrFileAccess);
}

}  // namespace

void WriteTextFile(const std::string& path, const std::string& text) { Write(path, text, "wb"); }

void AppendTextFile(const std::string& path, const std::string& text) { Write(path, text, "ab"); }

}  // namespace win32
