// Replacing a file whole: a failure leaves the old file, no temporary file and no open descriptor.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/win32/atomic_file.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

size_t OpenDescriptors() {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

TEST(AtomicFileTest, AFailedFlushClosesAndRemovesTheTemporaryFile) {
  TempDir dir;
  const std::string path = dir / "r.reg";
  WriteFile(path, "old");
  // The temporary file is a device that takes the text but cannot be flushed.
  const std::string tmp = path + ".tmp." + std::to_string(::getpid());
  ASSERT_EQ(0, ::symlink("/dev/null", tmp.c_str()));
  const size_t before = OpenDescriptors();
  std::string error;
  EXPECT_FALSE(win32::WriteFileAtomically(path, "new", error));
  EXPECT_EQ(before, OpenDescriptors());
  EXPECT_EQ(0u, error.find("cannot flush " + tmp + ": ")) << error;
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(tmp)));
  EXPECT_EQ("old", ReadFile(path));

  EXPECT_TRUE(win32::WriteFileAtomically(path, "new", error)) << error;
  EXPECT_EQ("new", ReadFile(path));
}

}  // namespace
