// Text in and out of the quorvane program: what it takes must be UTF-8, what it prints is valid
// whatever the stores hold.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/mapistore/sqlite_store.h"
#include "platform/win32/clock.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

const char* kCal = "Mailbox - Ann|Calendar";

class HostTextTest : public ::testing::Test {
 protected:
  HostTextTest() {
    EXPECT_EQ(0, Run({"init", "--user", "Ann", "--public", dir / "public.store"}).status);
  }
  ProgramResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--profile", dir / "ann"});
    return RunQuorvane(args);
  }
  std::string Add(const std::string& subject) {
    auto r = Run({"appt", "add", kCal, "--subject", subject, "--start", "2026-03-11 09:00", "--end",
                  "2026-03-11 10:00"});
    EXPECT_EQ(0, r.status) << r.err;
    return r.out.substr(0, r.out.find('\n'));
  }
  // Puts raw bytes into an appointment's subject, as an older version or a careless member may
  // have stored them.
  void StoreRawSubject(const std::string& entryId, const std::string& bytes) {
    win32::SystemClock clock;
    auto store = mapistore::SqliteStore::Open(dir / "ann/mailbox.store", clock);
    auto item = store->LoadItem(*store->FindItem(entryId));
    item->fields.Set(outlook::ApptField::Subject, com::Variant(bytes));
    store->SaveItem(*item);
    store->MakeDurable();
  }
  // What python3's JSON reader makes of text: its value again as JSON with every non-ASCII
  // character escaped, or "invalid".
  std::string Reread(const std::string& json) {
    WriteFile(dir / "out.json", json);
    const std::string command =
        "python3 -c 'import json,sys\ntry: print(json.dumps(json.load(open(sys.argv[1], encoding=\"utf-8\"))))\n"
        "except Exception: print(\"invalid\")' " + dir / "out.json";
    FILE* p = ::popen(command.c_str(), "r");
    std::string out;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
    return out;
  }

  TempDir dir;
};

TEST_F(HostTextTest, AWordThatIsNotUtf8IsRefusedByWhereItStands) {
  auto subject = Run({"appt", "add", kCal, "--subject", "caf\xe9", "--start", "2026-03-11 09:00", "--end",
                      "2026-03-11 10:00"});
  EXPECT_EQ(2, subject.status);
  EXPECT_EQ("quorvane: the value of --subject is not valid UTF-8 (byte 0xe9 at position 4)\n", subject.err);

  // An overlong slash and a lone surrogate are no UTF-8 either.
  auto folder = Run({"folder", "add", "Mailbox - Ann|\xc0\xaf"});
  EXPECT_EQ(2, folder.status);
  EXPECT_NE(std::string::npos, folder.err.find("argument 5 is not valid UTF-8")) << folder.err;
  auto surrogate = Run({"appt", "add", kCal, "--subject", "\xed\xa0\x80", "--start", "2026-03-11 09:00", "--end",
                        "2026-03-11 10:00"});
  EXPECT_EQ(2, surrogate.status);
  EXPECT_NE(std::string::npos, surrogate.err.find("--subject is not valid UTF-8 (byte 0xed")) << surrogate.err;

  // What an error repeats of the input stays on its one line.
  auto named = Run({"appt", "list", "Mailbox - Ann|No\nwhere"});
  EXPECT_EQ(2, named.status);
  EXPECT_EQ("quorvane: no folder 'Mailbox - Ann|No\\nwhere'\n", named.err);

  // Nor is a line typed while the host runs.
  auto typed = RunQuorvane({"--profile", dir / "ann", "run", "--minutes", "1"}, "folder Mailbox - \xff\nquit\n");
  EXPECT_EQ(0, typed.status) << typed.err;
  EXPECT_NE(std::string::npos, typed.out.find("quorvane: the line typed is not valid UTF-8 (byte 0xff at position 18)"))
      << typed.out;

  EXPECT_EQ("[]\n", Run({"appt", "list", kCal, "--json"}).out) << "nothing stored";
  EXPECT_EQ(std::string::npos, Run({"folder", "list"}).out.find("Mailbox - Ann|\xc0"));
  EXPECT_EQ(0, Run({"appt", "add", kCal, "--subject", "caf\xc3\xa9 \xf0\x9f\x93\x85", "--start", "2026-03-11 09:00",
                    "--end", "2026-03-11 10:00"})
                   .status);
}

TEST_F(HostTextTest, ListingsAreValidWhateverTheStoreHolds) {
  const std::string controls = Add("tab\there \"q\" back\\slash bell\x07 del\x7f next\x0aline");
  const std::string raw = Add("placeholder");
  StoreRawSubject(raw, "bad\xff\xfe byte \xe2\x82 cut");

  auto json = Run({"appt", "list", kCal, "--json"});
  ASSERT_EQ(0, json.status) << json.err;
  EXPECT_NE(std::string::npos,
            json.out.find("\"Subject\": \"tab\\there \\\"q\\\" back\\\\slash bell\\u0007 del\\u007f next\\nline\""))
      << json.out;
  const std::string reread = Reread(json.out);
  EXPECT_NE(std::string::npos, reread.find("\"Subject\": \"bad\\ufffd\\ufffd byte \\ufffd\\ufffd cut\"")) << reread;

  // One line per appointment, nothing that a terminal would act on.
  auto text = Run({"appt", "list", kCal});
  ASSERT_EQ(0, text.status);
  EXPECT_EQ(2, std::count(text.out.begin(), text.out.end(), '\n')) << text.out;
  EXPECT_NE(std::string::npos, text.out.find("tab\\there \"q\" back\\slash bell\\x07 del\\x7f next\\nline"));
  EXPECT_NE(std::string::npos, text.out.find("bad\\xff\\xfe byte \\xe2\\x82 cut")) << text.out;
}

}  // namespace
