// Calendars from other programs, in and out as iCalendar files.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

const char* kCal = "Mailbox - Ann|Calendar";

class IcalTest : public ::testing::Test {
 protected:
  IcalTest() {
    auto r = Run({"init", "--user", "Ann"});
    EXPECT_EQ(0, r.status) << r.err;
  }
  ProgramResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--profile", dir / "ann"});
    return RunQuorvane(args);
  }
  std::string Json() { return Run({"appt", "list", kCal, "--json"}).out; }

  TempDir dir;
};

TEST_F(IcalTest, EventsOfEveryKindComeInAndGoOutAgainWithTheirLinks) {
  WriteFile(dir / "in.ics",
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
            "BEGIN:VEVENT\r\nUID:1\r\nDTSTART:20260311T090000\r\nDTEND:20260311T100000\r\nSUMMARY:Planning\r\n"
            "DESCRIPTION:Agenda\r\nLOCATION:Room 1\r\nCATEGORIES:Work\r\nCLASS:CONFIDENTIAL\r\n"
            "X-QUORVANE-ORIGENTRYID:00ABC\r\nX-QUORVANE-HASBEENPROCESSEDQZT:True\r\nEND:VEVENT\r\n"
            "BEGIN:VEVENT\r\nUID:2\r\nDTSTART;VALUE=DATE:20260320\r\nDTEND;VALUE=DATE:20260321\r\n"
            "SUMMARY:Away\r\nEND:VEVENT\r\n"
            "BEGIN:VEVENT\r\nUID:3\r\nDTSTART:20260302T083000\r\nDURATION:PT15M\r\nSUMMARY:Standup\r\n"
            "RRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;UNTIL=20260630T000000\r\nEND:VEVENT\r\n"
            "END:VCALENDAR\r\n");
  auto r = Run({"import", kCal, dir / "in.ics"});
  ASSERT_EQ(0, r.status) << r.err;
  const std::string json = Json();
  EXPECT_NE(std::string::npos, json.find("\"OrigEntryId\": \"00ABC\""));
  EXPECT_NE(std::string::npos, json.find("\"Sensitivity\": 3"));
  EXPECT_NE(std::string::npos, json.find("\"AllDayEvent\": true"));
  EXPECT_NE(std::string::npos, json.find("\"DayOfWeekMask\": 18")) << "Monday and Thursday";
  EXPECT_NE(std::string::npos, json.find("\"Interval\": 2"));
  EXPECT_NE(std::string::npos, json.find("\"PatternEndDate\": \"2026-06-25 00:00\""));
  EXPECT_NE(std::string::npos, json.find("\"End\": \"2026-03-02T08:45:00.000\"")) << "from the duration";

  ASSERT_EQ(0, Run({"export", kCal, dir / "out.ics"}).status);
  const std::string out = ReadFile(dir / "out.ics");
  EXPECT_NE(std::string::npos, out.find("X-QUORVANE-ORIGENTRYID:00ABC"));
  EXPECT_NE(std::string::npos, out.find("CLASS:CONFIDENTIAL"));
  EXPECT_NE(std::string::npos, out.find("RRULE:FREQ=WEEKLY;UNTIL=20260625T083000;INTERVAL=2;BYDAY=MO,TH"));

  // Into a second profile and out again: the same appointments, links and all.
  auto second = RunQuorvane({"--profile", dir / "bob", "init", "--user", "Bob"});
  ASSERT_EQ(0, second.status);
  ASSERT_EQ(0, RunQuorvane({"--profile", dir / "bob", "import", "Mailbox - Bob|Calendar", dir / "out.ics"}).status);
  const std::string bob = RunQuorvane({"--profile", dir / "bob", "appt", "list", "Mailbox - Bob|Calendar", "--json"}).out;
  EXPECT_NE(std::string::npos, bob.find("\"OrigEntryId\": \"00ABC\""));
  EXPECT_NE(std::string::npos, bob.find("\"HasBeenProcessedQZT\": \"True\""));
  EXPECT_EQ(3, std::count(bob.begin(), bob.end(), '{') - std::count(bob.begin(), bob.end(), '}') + 3);
}

// iCalendar has no blank texts: written so, the file would not import again.
TEST_F(IcalTest, AppointmentsWithoutSubjectOrWithBlankTextsGoOutAndComeBackIn) {
  ASSERT_EQ(0, Run({"appt", "add", kCal, "--subject", "", "--start", "2026-03-11 09:00", "--end", "2026-03-11 10:00"})
                   .status);
  ASSERT_EQ(0, Run({"appt", "add", kCal, "--subject", " \t", "--location", "\r", "--body", "\b\f ", "--start",
                    "2026-03-12 09:00", "--end", "2026-03-12 10:00"})
                   .status);
  ASSERT_EQ(0, Run({"export", kCal, dir / "out.ics"}).status);
  EXPECT_EQ(std::string::npos, ReadFile(dir / "out.ics").find("SUMMARY:"));

  ASSERT_EQ(0, RunQuorvane({"--profile", dir / "bob", "init", "--user", "Bob"}).status);
  auto r = RunQuorvane({"--profile", dir / "bob", "import", "Mailbox - Bob|Calendar", dir / "out.ics"});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_NE(std::string::npos, r.out.find("Imported 2 appointments"));
}

// The calendar library writes zeros for such dates: the file would not import again.
TEST_F(IcalTest, DatesOutsideTheYears1To3000NeitherComeInNorGoOut) {
  WriteFile(dir / "far.ics",
            "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20260311T090000\nDTEND:40520622T100000\n"
            "END:VEVENT\nEND:VCALENDAR\n");
  auto r = Run({"import", kCal, dir / "far.ics"});
  EXPECT_EQ(2, r.status);
  EXPECT_NE(std::string::npos, r.err.find("DTEND is no date")) << r.err;
  WriteFile(dir / "early.ics",
            "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:-0260311T090000\nDTEND:20260311T100000\n"
            "END:VEVENT\nEND:VCALENDAR\n");
  r = Run({"import", kCal, dir / "early.ics"});
  EXPECT_EQ(2, r.status);
  EXPECT_NE(std::string::npos, r.err.find("DTSTART is no date")) << r.err;
  WriteFile(dir / "series.ics",
            "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20260311T090000\nRRULE:FREQ=YEARLY;UNTIL=30010101\n"
            "END:VEVENT\nEND:VCALENDAR\n");
  r = Run({"import", kCal, dir / "series.ics"});
  EXPECT_EQ(2, r.status);
  EXPECT_NE(std::string::npos, r.err.find("the series ends outside the years 1 to 3000")) << r.err;
  EXPECT_EQ("[]\n", Json());

  ASSERT_EQ(0, Run({"appt", "add", kCal, "--subject", "Far", "--start", "4052-06-22 10:00", "--end",
                    "4052-06-22 11:00"})
                   .status);
  r = Run({"export", kCal, dir / "out.ics"});
  EXPECT_NE(0, r.status);
  EXPECT_NE(std::string::npos, r.err.find("\"Far\" on ")) << r.err;
  EXPECT_NE(std::string::npos, r.err.find("lies outside the years 1 to 3000")) << r.err;
  EXPECT_FALSE(std::ifstream(dir / "out.ics")) << "nothing is written";
}

TEST_F(IcalTest, AFaultyFileIsRefusedByLineAndImportsNothing) {
  WriteFile(dir / "bad.ics",
            "BEGIN:VCALENDAR\nVERSION:2.0\n"
            "BEGIN:VEVENT\nDTSTART:20260311T090000\nSUMMARY:Fine\nEND:VEVENT\n"
            "BEGIN:VEVENT\nDTSTART:20260399T090000\nSUMMARY:Broken\nEND:VEVENT\n"
            "END:VCALENDAR\n");
  auto r = Run({"import", kCal, dir / "bad.ics"});
  EXPECT_EQ(2, r.status);
  EXPECT_NE(std::string::npos, r.err.find("line 8: DTSTART is no date")) << r.err;
  EXPECT_EQ("[]\n", Json()) << "not even the good event";

  WriteFile(dir / "open.ics", "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20260311T090000\nEND:VCALENDAR\n");
  r = Run({"import", kCal, dir / "open.ics"});
  EXPECT_EQ(2, r.status);
  EXPECT_NE(std::string::npos, r.err.find("line 4")) << r.err;

  WriteFile(dir / "mixed.ics",
            "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART;VALUE=DATE:20260312\nDTEND:20260313T070000\nEND:VEVENT\n"
            "END:VCALENDAR\n");
  r = Run({"import", kCal, dir / "mixed.ics"});
  EXPECT_EQ(2, r.status);
  EXPECT_NE(std::string::npos, r.err.find("line 3: DTSTART and DTEND are not both dates or both times")) << r.err;
  EXPECT_EQ("[]\n", Json());
}

}  // namespace
