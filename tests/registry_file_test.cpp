// The registry file: its text format, and that it survives concurrent writers and crashes.
#include <gtest/gtest.h>

#include <fstream>
#include <signal.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/win32/file_registry.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;
using namespace win32;

namespace {

const char* kKey = "Software\\Quorvane\\Test";

HKEY CreateKey(FileRegistry& reg) {
  HKEY key = 0;
  EXPECT_EQ(ERROR_SUCCESS, reg.RegCreateKeyEx(HKEY_CURRENT_USER, kKey, "1", 0, KEY_ALL_ACCESS, &key, nullptr));
  return key;
}

std::string ReadText(FileRegistry& reg, HKEY key, const std::string& name) {
  DWORD type = 0;
  Bytes data;
  if (reg.RegQueryValueEx(key, name, &type, &data) != ERROR_SUCCESS) return "<missing>";
  return std::string(data.begin(), data.end());
}

TEST(RegistryFileTest, ValuesOfEveryTypeSurviveTheTextFormat) {
  TempDir dir;
  FileRegistry reg(dir / "r.reg");
  HKEY key = CreateKey(reg);
  const std::string tricky = R"(C:\Path "quoted")";
  ASSERT_EQ(0, reg.RegSetValueEx(key, "Text", REG_SZ, Bytes(tricky.begin(), tricky.end())));
  ASSERT_EQ(0, reg.RegSetValueEx(key, "Lines", REG_SZ, Bytes{'a', '\r', '\n', 'b'}));
  ASSERT_EQ(0, reg.RegSetValueEx(key, "Rate", REG_DWORD, DwordBytes(30)));
  ASSERT_EQ(0, reg.RegSetValueEx(key, "Blob", REG_BINARY, Bytes{0x00, 0xff}));
  ASSERT_EQ(0, reg.RegSetValueEx(key, "Multi", 7, Bytes{'x', 0, 0}));

  const std::string text = ReadFile(dir / "r.reg");
  EXPECT_EQ(0u, text.find("Windows Registry Editor Version 5.00\n"));
  EXPECT_NE(std::string::npos, text.find("[HKEY_CURRENT_USER\\Software\\Quorvane\\Test]\n"));
  EXPECT_NE(std::string::npos, text.find(R"("Text"="C:\\Path \"quoted\"")"));
  EXPECT_NE(std::string::npos, text.find("\"Rate\"=dword:0000001e"));
  EXPECT_NE(std::string::npos, text.find("\"Blob\"=hex:00,ff"));
  EXPECT_NE(std::string::npos, text.find("\"Multi\"=hex(7):78,00,00"));

  FileRegistry again(dir / "r.reg");
  HKEY k2 = 0;
  ASSERT_EQ(0, again.RegOpenKeyEx(HKEY_CURRENT_USER, "SOFTWARE\\quorvane\\test", 0, 0, &k2));
  EXPECT_EQ(tricky, ReadText(again, k2, "text"));
  EXPECT_EQ("a\r\nb", ReadText(again, k2, "Lines"));
  DWORD type = 0;
  Bytes data;
  ASSERT_EQ(0, again.RegQueryValueEx(k2, "Multi", &type, &data));
  EXPECT_EQ(7u, type);
  ASSERT_EQ(0, again.RegQueryValueEx(k2, "Rate", &type, &data));
  EXPECT_EQ(30u, BytesToDword(data));
}

TEST(RegistryFileTest, MissingKeysAndValuesGiveCodeTwo) {
  TempDir dir;
  FileRegistry reg(dir / "r.reg");
  HKEY key = 0;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.RegOpenKeyEx(HKEY_CURRENT_USER, kKey, 0, 0, &key));
  key = CreateKey(reg);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.RegQueryValueEx(key, "Nope", nullptr, nullptr));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.RegDeleteValue(key, "Nope"));
}

TEST(RegistryFileTest, AKeyIsDeletedWithItsValuesButNotOverItsSubkeys) {
  TempDir dir;
  FileRegistry reg(dir / "r.reg");
  HKEY key = CreateKey(reg);
  ASSERT_EQ(0, reg.RegSetValueEx(key, "Rate", REG_DWORD, DwordBytes(30)));
  HKEY other = 0;
  ASSERT_EQ(0, reg.RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Quorvane\\Test Old", "", 0, 0, &other, nullptr));
  HKEY parent = 0;
  ASSERT_EQ(0, reg.RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Quorvane", 0, 0, &parent));

  EXPECT_EQ(ERROR_ACCESS_DENIED, reg.RegDeleteKey(HKEY_CURRENT_USER, "Software\\Quorvane"));
  EXPECT_EQ(ERROR_SUCCESS, reg.RegDeleteKey(parent, "TEST"));
  EXPECT_EQ(std::string::npos, ReadFile(dir / "r.reg").find("Quorvane\\Test]"));
  EXPECT_EQ(ERROR_KEY_DELETED, reg.RegQueryValueEx(key, "Rate", nullptr, nullptr)) << "an open handle finds it gone";
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.RegDeleteKey(HKEY_CURRENT_USER, kKey));
  HKEY again = 0;
  EXPECT_EQ(ERROR_SUCCESS, reg.RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Quorvane\\Test Old", 0, 0, &again))
      << "a key whose name merely begins the same stays";
}

TEST(RegistryFileTest, UnparsableFileIsRefusedWithItsLineAndLeftUntouched) {
  TempDir dir;
  const std::string bad = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n\"Ok\"=\"1\"\n\"Broken=\n";
  WriteFile(dir / "r.reg", bad);
  FileRegistry reg(dir / "r.reg");
  HKEY key = 0;
  EXPECT_EQ(ERROR_BADDB, reg.RegCreateKeyEx(HKEY_CURRENT_USER, kKey, "", 0, 0, &key, nullptr));
  EXPECT_NE(std::string::npos, reg.LastErrorText().find(dir / "r.reg"));
  EXPECT_NE(std::string::npos, reg.LastErrorText().find("line 5"));
  EXPECT_EQ(bad, ReadFile(dir / "r.reg"));

  WriteFile(dir / "h.reg", "REGEDIT4\n");
  FileRegistry old(dir / "h.reg");
  EXPECT_EQ(ERROR_BADDB, old.RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, 0, &key));
  EXPECT_NE(std::string::npos, old.LastErrorText().find("line 1"));
}

// A registry keeps what it read while the file stays as it was; any other writer's change, by
// another registry or by hand in place (its time even set back), is read at the next call.
TEST(RegistryFileTest, EveryCallSeesTheFileAsItIsNow) {
  TempDir dir;
  FileRegistry reader(dir / "r.reg"), writer(dir / "r.reg");
  HKEY r = CreateKey(reader), w = CreateKey(writer);
  ASSERT_EQ(0, writer.RegSetValueEx(w, "Name", REG_SZ, Bytes{'o', 'n', 'e'}));
  EXPECT_EQ("one", ReadText(reader, r, "Name"));
  ASSERT_EQ(0, writer.RegSetValueEx(w, "Name", REG_SZ, Bytes{'t', 'w', 'o'}));
  EXPECT_EQ("two", ReadText(reader, r, "Name"));
  ASSERT_EQ(0, reader.RegSetValueEx(r, "Rate", REG_DWORD, DwordBytes(5)));
  EXPECT_EQ("two", ReadText(reader, r, "Name")) << "a write starts from the file, not from what was read";

  struct stat before{};
  ASSERT_EQ(0, ::stat((dir / "r.reg").c_str(), &before));
  std::string text = ReadFile(dir / "r.reg");
  const size_t at = text.find("\"two\"");
  ASSERT_NE(std::string::npos, at);
  text.replace(at, 5, "\"six\"");
  {
    std::fstream in(dir / "r.reg", std::ios::in | std::ios::out | std::ios::binary);
    in << text;
  }
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(0, ::utimensat(AT_FDCWD, (dir / "r.reg").c_str(), times, 0));
  EXPECT_EQ("six", ReadText(reader, r, "Name"));
  EXPECT_EQ("six", ReadText(writer, w, "Name"));
}

TEST(RegistryFileTest, TwoProcessesWritingAtOnceKeepEachOthersValues) {
  TempDir dir;
  {
    FileRegistry reg(dir / "r.reg");
    CreateKey(reg);
  }
  constexpr int kWrites = 60;
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    children[c] = fork();
    if (children[c] == 0) {
      FileRegistry reg(dir / "r.reg");
      HKEY key = 0;
      if (reg.RegOpenKeyEx(HKEY_CURRENT_USER, kKey, 0, 0, &key) != 0) _exit(1);
      for (int i = 0; i < kWrites; ++i) {
        const std::string name = "P" + std::to_string(c) + "_" + std::to_string(i);
        if (reg.RegSetValueEx(key, name, REG_DWORD, DwordBytes(i)) != 0) _exit(2);
      }
      _exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  FileRegistry reg(dir / "r.reg");
  HKEY key = 0;
  ASSERT_EQ(0, reg.RegOpenKeyEx(HKEY_CURRENT_USER, kKey, 0, 0, &key));
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < kWrites; ++i) {
      Bytes data;
      ASSERT_EQ(0, reg.RegQueryValueEx(key, "P" + std::to_string(c) + "_" + std::to_string(i), nullptr, &data));
      EXPECT_EQ(static_cast<DWORD>(i), BytesToDword(data));
    }
  }
}

TEST(RegistryFileTest, WriterKilledMidWayLeavesAWholeFile) {
  TempDir dir;
  const std::string big(20000, 'x');
  for (int round = 0; round < 5; ++round) {
    pid_t child = fork();
    if (child == 0) {
      FileRegistry reg(dir / "r.reg");
      HKEY key = CreateKey(reg);
      for (int i = 0;; ++i) {
        const std::string v = big + std::to_string(i);
        reg.RegSetValueEx(key, "V" + std::to_string(i % 40), REG_SZ, Bytes(v.begin(), v.end()));
      }
    }
    usleep(20000 + round * 7000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    FileRegistry reg(dir / "r.reg");
    EXPECT_NO_THROW(reg.Load()) << "round " << round;
  }
}

}  // namespace
