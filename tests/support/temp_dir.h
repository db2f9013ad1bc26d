#pragma once
#include <string>

namespace testing_support {

// A fresh folder under parent, removed with everything in it at the end of the test.
class TempDir {
 public:
  explicit TempDir(const std::string& parent = "/tmp");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A folder in memory (/dev/shm) where the system has one, else /tmp: for tests that set up
// hundreds of stores and would otherwise spend their time waiting for the disk's syncs.
std::string MemoryFolder();

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

}  // namespace testing_support
