// quorvane print, run as a person would: a page in a PDF file read back with poppler's tools,
// refusals of bad input, and a job through a CUPS scheduler.
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/private_cups.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

const char* const kTeam = "Public Folders|All Public Folders|Team";
const char* const kLocal = "Mailbox - Ann|Calendar";

std::string Capture(const std::string& command) {
  TempDir io;
  const int rc = std::system((command + " > '" + io / "out" + "' 2>&1").c_str());
  return (rc == 0 ? "" : "[failed] ") + ReadFile(io / "out");
}

class HostPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, Run({"init", "--user", "Ann", "--public", dir / "public.store"}).status);
    ASSERT_EQ(0, Run({"folder", "add", kTeam}).status);
    ASSERT_EQ(0, Run({"set-calendar", "global", kTeam}).status);
    ASSERT_EQ(0, Run({"set-calendar", "local", kLocal}, "ok").status);
    Add("Standup", "Room 1", "2026-03-03 09:00", {});
    Add("Budget review with the regional office", "Board room", "2026-03-04 14:30", {});
    Add("Team sync", "Room 2", "2026-02-04 10:00", {"--recur", "weekly"});
    Add("Doctor", "Clinic", "2026-03-05 08:00", {"--sensitivity", "2"});
  }
  ProgramResult Run(std::vector<std::string> args, const std::string& answer = "") {
    args.insert(args.begin(), {"--profile", dir / "ann"});
    if (!answer.empty()) args.insert(args.begin(), {"--answer", answer});
    return RunQuorvane(args);
  }
  void Add(const std::string& subject, const std::string& location, const std::string& start,
           std::vector<std::string> more) {
    std::vector<std::string> args = {"appt", "add", kLocal, "--subject", subject, "--location", location,
                                     "--start", start, "--end", start.substr(0, 11) + "23:00"};
    args.insert(args.end(), more.begin(), more.end());
    auto r = Run(args);
    ASSERT_EQ(0, r.status) << r.err;
  }
  std::vector<std::string> Printed() const {
    std::vector<std::string> out;
    const std::string folder = dir / "ann/Printed";
    if (!std::filesystem::exists(folder)) return out;
    for (const auto& e : std::filesystem::directory_iterator(folder)) out.push_back(e.path().filename());
    return out;
  }

  TempDir dir;
};

TEST_F(HostPrintTest, PdfPageHoldsTheCalendar) {
  const std::string pdf = dir / "page.pdf";
  auto r = Run({"print", "--printer", "Quorvane PDF", "--from", "2026-03-02", "--days", "30", "--output", pdf});
  ASSERT_EQ(0, r.status) << r.out << r.err;
  EXPECT_NE(r.out.find("on Quorvane PDF: " + pdf), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("[Print Calendar]"), std::string::npos) << "the command fills the dialog itself:\n" << r.out;

  const std::string info = Capture("pdfinfo '" + pdf + "'");
  EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
  EXPECT_NE(info.find("842 x 595 pts"), std::string::npos) << info;  // A4, landscape
  const std::string text = Capture("pdftotext -layout '" + pdf + "' -");
  for (const char* expected : {"Local Calendar: ", "From Date: 3/2/2026 To Date: 4/1/2026", "MONDAY", "TUESDAY",
                               "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY", "SUNDAY", "March 2026", "April 2026",
                               "02", "31", "Standup", "09:00 AM", "Budget review", "02:30 PM", "Team sync"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in:\n" << text;
  }
  EXPECT_EQ(text.find("Doctor"), std::string::npos);
  // Arial is drawn with its metric twin, and the fonts travel inside the file.
  const std::string fonts = Capture("pdffonts '" + pdf + "'");
  EXPECT_NE(fonts.find("LiberationSans"), std::string::npos) << fonts;
  const size_t emb = fonts.find("emb");
  size_t embedded = 0;
  for (size_t line = fonts.find('\n', fonts.find("----")); line != std::string::npos && line + 1 < fonts.size();
       line = fonts.find('\n', line + 1)) {
    EXPECT_EQ(fonts.substr(line + 1 + emb, 3), "yes") << fonts;
    ++embedded;
  }
  EXPECT_EQ(embedded, 2u) << fonts;
  EXPECT_EQ(Capture("pdftoppm -png -r 40 '" + pdf + "' '" + dir / "page" + "'"), "");
  EXPECT_TRUE(std::filesystem::exists(dir / "page-1.png"));
}

TEST_F(HostPrintTest, DefaultFileIsNamedAfterTheCalendarAndDate) {
  auto r = Run({"print", "--printer", "Quorvane PDF", "--from", "2026-03-02", "--copies", "2"});
  ASSERT_EQ(0, r.status) << r.out << r.err;
  ASSERT_EQ(Printed(), std::vector<std::string>{"Calendar 2026-03-02.pdf"});
  ASSERT_EQ(0, Run({"print", "--printer", "Quorvane PDF", "--from", "2026-03-02"}).status);
  EXPECT_EQ(Printed().size(), 2u);  // "Calendar 2026-03-02 (2).pdf": the first is kept
  // The PDF printer keeps one page per copy.
  EXPECT_NE(Capture("pdfinfo '" + dir / "ann/Printed/Calendar 2026-03-02.pdf" + "'").find("Pages:           2"),
            std::string::npos);
}

TEST_F(HostPrintTest, BadInputExitsTwoAndPrintsNothing) {
  const std::vector<std::vector<std::string>> cases = {
      {"--printer", "No such printer"},
      {"--calendar", "Elsewhere"},
      {"--from", "2026-02-30"},
      {"--from", "2026-03-10", "--to", "2026-03-09"},
      {"--from", "2026-03-01", "--to", "2026-06-01"},
      {"--days", "45"},
      {"--copies", "0"},
      {"--frmo", "2026-03-01"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"print", "--printer", "Quorvane PDF"};
    if (c[0] == "--printer") args.resize(1);
    args.insert(args.end(), c.begin(), c.end());
    auto r = Run(args);
    EXPECT_EQ(2, r.status) << c[0] << " " << c[1] << ": " << r.err;
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_TRUE(Printed().empty());
  EXPECT_NE(Run({"print", "--printer", "No such printer"}).err.find("the dialog lists: 'Quorvane PDF'"),
            std::string::npos);
}

TEST_F(HostPrintTest, ToolbarButtonOpensTheDialog) {
  ASSERT_EQ(0, Run({"settings", "CalToolbar=1"}).status);
  auto r = Run({"click", "&Print Calendar"}, "yes");
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_NE(r.out.find("[Print Calendar] Printer: Calendar to Print: Days Per Page Number of Copies"),
            std::string::npos)
      << r.out;
  EXPECT_TRUE(Printed().empty());
}

TEST_F(HostPrintTest, ToolbarDialogDrivenByActions) {
  ASSERT_EQ(0, Run({"settings", "CalToolbar=1"}).status);
  auto r = Run({"click", "&Print Calendar", "--do", "select Calendar1 2026-03-02", "--do", "select Combo2 30", "--do",
                "set Text1 2", "--do", "click OKButton"},
               "yes");
  ASSERT_EQ(0, r.status) << r.out << r.err;
  const auto printed = Printed();
  ASSERT_EQ(printed.size(), 1u);
  const std::string text = Capture("pdftotext '" + dir / "ann/Printed" + "/" + printed[0] + "' -");
  EXPECT_NE(text.find("From Date: 3/2/2026 To Date: 4/1/2026"), std::string::npos) << text;

  auto wrong = Run({"click", "&Print Calendar", "--do", "select Combo2 45"}, "yes");
  EXPECT_EQ(2, wrong.status) << wrong.out << wrong.err;
  EXPECT_EQ(Printed().size(), 1u);
}

TEST_F(HostPrintTest, JobThroughACupsScheduler) {
  PrivateCups cups("QuorvaneTest");
  if (!cups.failure().empty()) GTEST_SKIP() << "no CUPS scheduler of our own: " << cups.failure();
  setenv("CUPS_SERVER", cups.socket().c_str(), 1);
  auto listed = Run({"print", "--printer", "No such printer"});
  auto r = Run({"print", "--printer", "QuorvaneTest", "--from", "2026-03-02", "--copies", "2"});
  unsetenv("CUPS_SERVER");
  EXPECT_NE(listed.err.find("the dialog lists: 'QuorvaneTest', 'Quorvane PDF'"), std::string::npos) << listed.err;
  ASSERT_EQ(0, r.status) << r.out << r.err;
  EXPECT_NE(r.out.find("on QuorvaneTest: printer QuorvaneTest"), std::string::npos) << r.out;
  const auto documents = cups.WaitForDocuments(1);
  ASSERT_EQ(documents.size(), 1u);
  EXPECT_NE(documents[0].find("-2.pdf"), std::string::npos) << documents[0];  // two copies asked of the spooler
  const std::string text = Capture("pdftotext -layout '" + documents[0] + "' -");
  EXPECT_NE(text.find("Standup"), std::string::npos) << text;
  EXPECT_NE(text.find("WEDNESDAY"), std::string::npos);
  EXPECT_TRUE(Printed().empty());
}

}  // namespace
