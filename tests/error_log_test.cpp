// The error log: recreated per connection, one entry per call, failures shown once per write.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/addin_fixture.h"

using namespace testing_support;

namespace {

class ErrorLogTest : public AddinFixture {};

TEST_F(ErrorLogTest, EntryWithLineBreaksIsWrittenUnchangedThenOnePair) {
  Connect();
  const std::string before = Log();
  addin->fnPostError("An Error was encountered in X!\r\nError No: (5)\r\nError Desc: bad");
  EXPECT_EQ(before + "An Error was encountered in X!\r\nError No: (5)\r\nError Desc: bad\r\n", Log());
}

TEST_F(ErrorLogTest, SecondConnectionReplacesTheFile) {
  Connect();
  addin->fnPostError("from the first run");
  clock.Advance(60 * 60 * 1000);
  Connect();
  const std::string log = Log();
  EXPECT_EQ(std::string::npos, log.find("from the first run"));
  EXPECT_EQ(0u, log.find("QZT Started on 3/10/2026 at 10:30:00 AM    Version: 2.2.0.5\r\n"));
}

// The log stays open between entries; a log deleted or replaced from outside is written anew.
TEST_F(ErrorLogTest, EntriesFollowTheLogWhenItIsDeletedOrReplaced) {
  Connect();
  addin->fnPostError("kept");
  EXPECT_NE(std::string::npos, Log().find("kept\r\n"));
  std::filesystem::remove(LogPath());
  clock.Advance(250);  // the name is looked at again
  addin->fnPostError("after the delete");
  EXPECT_EQ("after the delete\r\n", Log());

  std::filesystem::rename(LogPath(), LogPath() + ".old");
  {
    std::ofstream replacement(LogPath(), std::ios::binary);
    replacement << "new file\r\n";
  }
  clock.Advance(250);
  addin->fnPostError("into the new one");
  EXPECT_EQ("new file\r\ninto the new one\r\n", Log());
}

TEST_F(ErrorLogTest, MissingTempFolderShowsABoxPerWriteAndTheAddinGoesOn) {
  std::filesystem::remove_all(dir / "WINDOWS/TEMP");
  Connect();
  // The log's creation, the connection line and the four settings lines.
  ASSERT_EQ(6u, ui.shown.size());
  for (const auto& box : ui.shown) {
    EXPECT_EQ("Error: 76\r\nDesc: Path not found", box.text);
    EXPECT_EQ(unsigned{win32::vbOKOnly}, box.style);
  }
  EXPECT_EQ(30, addin->NoOfDays) << "the settings were still loaded";
}

}  // namespace
