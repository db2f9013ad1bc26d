// Calendar files as other programs write them, through import and export: golden files, a
// second reader (python3-icalendar) of what we write, the pattern's every form, zones, UIDs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

const char* kCal = "Mailbox - Ann|Calendar";
const std::string kFixtures = std::string(QUORVANE_SOURCE_DIR) + "/tests/fixtures/ical/";

// Every program here runs in Berlin's time, whatever this computer keeps.
class IcalFilesTest : public ::testing::Test {
 protected:
  IcalFilesTest() {
    const char* tz = std::getenv("TZ");
    if (tz) savedTz_ = tz;
    ::setenv("TZ", "Europe/Berlin", 1);
    EXPECT_EQ(0, Run({"init", "--user", "Ann"}).status);
  }
  ~IcalFilesTest() override {
    if (savedTz_)
      ::setenv("TZ", savedTz_->c_str(), 1);
    else
      ::unsetenv("TZ");
  }
  ProgramResult Run(std::vector<std::string> args, const std::string& profile = "ann") {
    args.insert(args.begin(), {"--profile", dir / profile});
    return RunQuorvane(args);
  }
  std::string Json() { return Run({"appt", "list", kCal, "--json"}).out; }
  ProgramResult ImportText(const std::string& text, std::vector<std::string> extra = {}) {
    WriteFile(dir / "in.ics", text);
    std::vector<std::string> args{"import", kCal, dir / "in.ics"};
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args);
  }
  // What an export holds but the moment it was made and the zone's rules, which the system's
  // zone database gives.
  static std::string Comparable(const std::string& exported) {
    std::string out, line;
    std::istringstream in(exported);
    bool inZone = false;
    while (std::getline(in, line)) {
      if (line.rfind("BEGIN:VTIMEZONE", 0) == 0) inZone = true;
      if (!inZone && line.rfind("DTSTAMP:", 0) != 0) out += line + "\n";
      if (line.rfind("END:VTIMEZONE", 0) == 0) inZone = false;
    }
    return out;
  }

  TempDir dir;

 private:
  std::optional<std::string> savedTz_;
};

std::string Event(const std::string& lines) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:x1\r\n" + lines + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Each file goes in, comes out as its golden file says, is read the same by python3-icalendar,
// and goes in and out of a second profile unchanged.
TEST_F(IcalFilesTest, FilesOfOtherProgramsRoundTripAsTheGoldenFilesSay) {
  for (const std::string name : {"google", "thunderbird", "apple", "outlook"}) {
    SCOPED_TRACE(name);
    const std::string profile = "p-" + name;
    ASSERT_EQ(0, Run({"init", "--user", "Ann"}, profile).status);
    auto r = Run({"import", kCal, kFixtures + name + ".ics"}, profile);
    ASSERT_EQ(0, r.status) << r.err;
    const std::string out = dir / (name + ".out.ics");
    ASSERT_EQ(0, Run({"export", kCal, out}, profile).status);
    EXPECT_EQ(ReadFile(kFixtures + name + ".expected.ics"), Comparable(ReadFile(out)));

    WriteFile(dir / "list.json", Run({"appt", "list", kCal, "--json"}, profile).out);
    const std::string check = "/usr/bin/python3 " + std::string(QUORVANE_SOURCE_DIR) + "/tests/ical_second_reader.py " +
                              out + " " + (dir / "list.json") + " 2>&1";
    FILE* pipe = ::popen(check.c_str(), "r");
    ASSERT_TRUE(pipe);
    std::string said;
    char buf[512];
    while (size_t n = std::fread(buf, 1, sizeof buf, pipe)) said.append(buf, n);
    EXPECT_EQ(0, ::pclose(pipe)) << said;

    ASSERT_EQ(0, Run({"init", "--user", "Ann"}, profile + "-again").status);
    ASSERT_EQ(0, Run({"import", kCal, out}, profile + "-again").status);
    ASSERT_EQ(0, Run({"export", kCal, dir / "again.ics"}, profile + "-again").status);
    EXPECT_EQ(Comparable(ReadFile(out)), Comparable(ReadFile(dir / "again.ics")));
  }
}

TEST_F(IcalFilesTest, WhatOtherProgramsWriteComesInAsTheyMeantIt) {
  ASSERT_EQ(0, Run({"import", kCal, kFixtures + "google.ics"}).status);
  std::string json = Json();
  EXPECT_TRUE(Has(json, "\"RecurrenceType\": \"monthnth\", \"Interval\": 1, \"DayOfWeekMask\": 4")) << json;
  EXPECT_TRUE(Has(json, "\"Instance\": 2, \"Occurrences\": 6")) << "the second Tuesday, six times";
  EXPECT_TRUE(Has(json, "\"PatternEndDate\": \"2026-08-11 00:00\""));
  EXPECT_TRUE(Has(json, "{\"OriginalDate\": \"2026-04-14 09:00\", \"Deleted\": true}")) << "EXDATE";
  EXPECT_TRUE(Has(json, "{\"OriginalDate\": \"2026-06-09 09:00\", \"Deleted\": true}")) << "a cancelled occurrence";
  EXPECT_TRUE(Has(json, "\"OriginalDate\": \"2026-05-12 09:00\", \"Deleted\": false, \"Start\": \"2026-05-12 14:00\""));
  EXPECT_TRUE(Has(json, "\"Location\": \"Raum 3.14, Gebäude B, Straße des 17. Juni 135"))
      << "a fold inside a character";
  EXPECT_TRUE(Has(json,
                  "\"ReminderMinutesBeforeStart\": 30, \"ReminderOverrideDefault\": false, "
                  "\"ReminderPlaySound\": false, \"ReminderSet\": true"));
  EXPECT_TRUE(Has(json, "\"GlobalAppointmentID\": \"5k2m9q1r7t3v0x8z4b6d@google.com\""));
  EXPECT_TRUE(Has(json, "\"Subject\": \"Ostern\", \"Start\": \"2026-04-03T00:00:00.000\"")) << json;
  EXPECT_EQ(2u, Count(json, "\"EntryID\"")) << "two appointments, the override in its series";

  ASSERT_EQ(0, Run({"import", kCal, kFixtures + "thunderbird.ics"}).status);
  json = Json();
  EXPECT_TRUE(Has(json, "\"Body\": \"Lektion 1 bis 30\"")) << "a fold inside the property's name";
  EXPECT_TRUE(Has(json, "\"Location\": \"Kursraum 4\"")) << "a fold inside a quoted parameter";
  EXPECT_TRUE(Has(json, "\"DayOfWeekMask\": 42, \"PatternEndDate\": \"2026-06-26 00:00\""))
      << "a UTC UNTIL keeps the last Friday";
  EXPECT_TRUE(Has(json, "{\"OriginalDate\": \"2026-04-03 18:00\", \"Deleted\": true}"));
  EXPECT_TRUE(Has(json, "\"Categories\": \"Persönlich\"") && Has(json, "\"Sensitivity\": 2"));

  ASSERT_EQ(0, Run({"import", kCal, kFixtures + "apple.ics"}).status) << "a byte-order mark, two calendars";
  json = Json();
  // 02:30 does not exist in New York on 8 March: the offset before the gap, -05:00, gives 07:30 UTC.
  EXPECT_TRUE(Has(json, "\"Subject\": \"Early flight\", \"Start\": \"2026-03-08T08:30:00.000\"")) << json;
  EXPECT_TRUE(Has(json, "\"Subject\": \"Sow tomatoes\"")) << "the second calendar";
  EXPECT_TRUE(Has(json, "\"Floating\": true, \"Duration\": 120"));
  EXPECT_TRUE(Has(json, "\"RecurrenceType\": \"yearnth\", \"Interval\": 1, \"DayOfWeekMask\": 16")) << json;

  ASSERT_EQ(0, Run({"import", kCal, kFixtures + "outlook.ics"}).status);
  json = Json();
  EXPECT_TRUE(Has(json,
                  "\"DayOfWeekMask\": 62, \"PatternEndDate\": \"2027-02-26 00:00\", \"DayOfMonth\": 0, "
                  "\"MonthOfYear\": 0, \"Instance\": 5, \"Occurrences\": 12"))
      << "the last weekday of the month (BYSETPOS=-1)";
  EXPECT_TRUE(Has(json, "\"BusyStatus\": 1")) << "tentative";
  EXPECT_TRUE(Has(json,
                  "\"RecurrenceType\": \"yearly\", \"Interval\": 1, \"DayOfWeekMask\": 0, "
                  "\"PatternEndDate\": null, \"DayOfMonth\": 14, \"MonthOfYear\": 5"));
}

TEST_F(IcalFilesTest, ImportingAFileAgainUpdatesItsAppointmentsInsteadOfAddingThem) {
  ASSERT_EQ(0, Run({"import", kCal, kFixtures + "google.ics"}).status);
  const std::string first = Json();
  auto again = Run({"import", kCal, kFixtures + "google.ics"});
  EXPECT_TRUE(Has(again.out, "(0 new, 0 updated, 2 unchanged)")) << again.out;
  EXPECT_EQ(first, Json()) << "not even the modification time";

  std::string text = ReadFile(kFixtures + "google.ics");
  text.replace(text.find("SUMMARY:Ostern"), 14, "SUMMARY:Easter");
  auto changed = ImportText(text);
  EXPECT_TRUE(Has(changed.out, "(0 new, 1 updated, 1 unchanged)")) << changed.out;
  const std::string json = Json();
  EXPECT_TRUE(Has(json, "\"Subject\": \"Easter\"") && !Has(json, "Ostern"));
  const std::string easterId = json.substr(json.rfind("{\"EntryID\": \"", json.find("Easter")) + 13, 72);
  EXPECT_TRUE(Has(first, easterId)) << "the same appointment";

  // An export names each appointment by the UID it came with.
  ASSERT_EQ(0, Run({"export", kCal, dir / "out.ics"}).status);
  EXPECT_TRUE(Has(ReadFile(dir / "out.ics"), "UID:0a1b2c3d4e5f6g7h8i9j@google.com"));
}

// What the pattern cannot hold is refused by line with what would be lost; --flatten-unsupported
// takes such a series as its first occurrence and says so.
TEST_F(IcalFilesTest, RulesThePatternCannotHoldAreRefusedOrFlattenedAndListed) {
  struct Case {
    std::string lines, said;
  } cases[] = {
      {"DTSTART:20260310T090000\r\nRRULE:FREQ=HOURLY;COUNT=3\r\n", "more often than daily"},
      {"DTSTART:20260302T090000\r\nRRULE:FREQ=MONTHLY;BYDAY=1MO,3MO\r\n", "days of the month"},
      {"DTSTART:20260310T090000\r\nRRULE:FREQ=DAILY;COUNT=3\r\nRDATE:20260320T090000\r\n", "RDATE"},
      {"DTSTART:20260331T090000\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=31;BYMONTH=1,3\r\n", "limited to some months"},
      // A series in UTC moves an hour in Berlin's summer.
      {"DTSTART:20260310T090000Z\r\nRRULE:FREQ=WEEKLY;COUNT=5\r\n", "time zone or week would move"},
      {"DTSTART:20260304T090000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=SU,WE;WKST=SU\r\n", "week would move"},
      {"DTSTART:20260311T090000\r\nRRULE:FREQ=MONTHLY;BYDAY=2TU\r\n", "start that is not one of"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    auto r = ImportText(Event(c.lines + "SUMMARY:Odd\r\n"));
    EXPECT_EQ(2, r.status);
    EXPECT_TRUE(Has(r.err, "in.ics, line ") && Has(r.err, c.said)) << r.err;
    EXPECT_EQ("[]\n", Json());
    r = ImportText(Event(c.lines + "SUMMARY:Odd\r\n"), {"--flatten-unsupported"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_TRUE(Has(r.out, "line 3: \"Odd\" imported without ") && Has(r.out, c.said)) << r.out;
    const std::string json = Json();
    EXPECT_TRUE(Has(json, "\"IsRecurring\": false")) << json;
    ASSERT_EQ(0, Run({"appt", "delete", json.substr(json.find("\"EntryID\": \"") + 12, 72)}).status);
  }
  // An occurrence free while its series is busy: the exception cannot say so.
  auto r = ImportText(Event("DTSTART:20260310T090000\r\nRRULE:FREQ=DAILY;COUNT=3\r\nSUMMARY:Odd\r\n") +
                      "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:x1\r\nRECURRENCE-ID:20260311T090000\r\n"
                      "DTSTART:20260311T100000\r\nTRANSP:TRANSPARENT\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
  EXPECT_EQ(2, r.status);
  EXPECT_TRUE(Has(r.err, "line 11: the event cannot be kept as it is: a changed occurrence's own busy state")) << r.err;
  // WKST changes nothing for a series on one weekday: that one is kept.
  auto kept = ImportText(Event("DTSTART:20260304T090000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2;WKST=SU\r\n"));
  ASSERT_EQ(0, kept.status) << kept.err;
}

TEST_F(IcalFilesTest, ZonesAreReadByTheirRulesAndAnUnknownOneIsRefusedByLine) {
  auto r = ImportText(Event("DTSTART;TZID=Mars/Olympus_Mons:20260310T090000\r\nSUMMARY:Far\r\n"));
  EXPECT_EQ(2, r.status);
  EXPECT_TRUE(Has(r.err, "line 5: the time zone \"Mars/Olympus_Mons\" is unknown")) << r.err;

  // No VTIMEZONE: the system's zone of that name. 09:00 in Chicago (CDT, -05:00) is 16:00 in Berlin (CET).
  r =
      ImportText(Event("DTSTART;TZID=America/Chicago:20260310T090000\r\nDTEND;TZID=America/Chicago:"
                       "20260310T100000\r\nSUMMARY:Call\r\n"));
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_TRUE(Has(Json(), "\"Start\": \"2026-03-10T15:00:00.000\"")) << Json();

  // libical's own spelling of a system zone's name.
  ASSERT_EQ(0, ImportText(Event("DTSTART;TZID=/freeassociation.sourceforge.net/America/Chicago:20260310T100000\r\n"
                                "SUMMARY:Call\r\n"))
                   .status);
  EXPECT_TRUE(Has(Json(), "\"Start\": \"2026-03-10T16:00:00.000\"")) << Json();

  // 02:30 on 29 March does not exist in Berlin: RFC 5545 reads it with the offset before the gap.
  ASSERT_EQ(0, ImportText(Event("DTSTART;TZID=Europe/Berlin:20260329T023000\r\nSUMMARY:Gap\r\n")).status);
  EXPECT_TRUE(Has(Json(), "\"Subject\": \"Gap\", \"Start\": \"2026-03-29T03:30:00.000\"")) << Json();
  // 02:30 on 25 October is there twice: the first, still in summer time, is meant.
  ASSERT_EQ(0, ImportText(Event("DTSTART;TZID=Europe/Berlin:20261025T023000\r\nDTEND:20261025T003000Z\r\n"
                                "SUMMARY:Twice\r\n"))
                   .status);
  EXPECT_TRUE(Has(Json(),
                  "\"Subject\": \"Twice\", \"Start\": \"2026-10-25T02:30:00.000\", \"End\": "
                  "\"2026-10-25T02:30:00.000\""));
}

TEST_F(IcalFilesTest, TimesGoOutZonedOrFloatingAsTheyCameAndUntilHasTheStartsType) {
  ASSERT_EQ(0, Run({"appt", "add", kCal, "--subject", "Weekly", "--start", "2026-03-02 09:00", "--end",
                    "2026-03-02 10:00", "--recur", "weekly", "--until", "2026-06-29"})
                   .status);
  ASSERT_EQ(0, ImportText(Event("DTSTART:20260303T090000\r\nRRULE:FREQ=DAILY;UNTIL=20260305T090000\r\n"
                                "SUMMARY:Floating\r\n"))
                   .status);
  ASSERT_EQ(0, Run({"export", kCal, dir / "out.ics"}).status);
  const std::string out = ReadFile(dir / "out.ics");
  EXPECT_TRUE(Has(out, "DTSTART;TZID=Europe/Berlin:20260302T090000"));
  EXPECT_TRUE(Has(out, "TZID:Europe/Berlin")) << "its VTIMEZONE";
  EXPECT_TRUE(Has(out, "RRULE:FREQ=WEEKLY;UNTIL=20260629T070000Z;BYDAY=MO")) << out;
  EXPECT_TRUE(Has(out, "DTSTART:20260303T090000\r\n") && Has(out, "RRULE:FREQ=DAILY;UNTIL=20260305T090000\r\n")) << out;

  // A file of an older version ended a series of times with a date: the series keeps that day.
  ASSERT_EQ(0, ImportText(Event("DTSTART:20260303T090000\r\nRRULE:FREQ=WEEKLY;UNTIL=20260630;BYDAY=TU\r\n")).status);
  EXPECT_TRUE(Has(Json(), "\"DayOfWeekMask\": 4, \"PatternEndDate\": \"2026-06-30 00:00\"")) << Json();
}

TEST_F(IcalFilesTest, TheCommandLineSpeaksThePatternWhole) {
  auto r = Run({"appt", "add", kCal, "--subject", "Last Friday", "--start", "2026-03-27 15:00", "--end",
                "2026-03-27 16:00", "--recur", "monthnth", "--instance", "5", "--days", "FR", "--count", "6"});
  ASSERT_EQ(0, r.status) << r.err;
  r = Run({"appt", "add", kCal, "--subject", "Thanksgiving", "--start", "2026-11-26", "--end", "2026-11-27",
           "--all-day", "--recur", "yearnth", "--instance", "4", "--days", "TH", "--month", "11"});
  ASSERT_EQ(0, r.status) << r.err;
  const std::string json = Json();
  EXPECT_TRUE(Has(json,
                  "\"RecurrenceType\": \"monthnth\", \"Interval\": 1, \"DayOfWeekMask\": 32, \"PatternEndDate\": "
                  "\"2026-08-28 00:00\", \"DayOfMonth\": 0, \"MonthOfYear\": 0, \"Instance\": 5, \"Occurrences\": 6"))
      << json;
  EXPECT_TRUE(Has(json, "\"MonthOfYear\": 11, \"Instance\": 4, \"Occurrences\": 0")) << json;
  ASSERT_EQ(0, Run({"export", kCal, dir / "out.ics"}).status);
  const std::string out = ReadFile(dir / "out.ics");
  EXPECT_TRUE(Has(out, "RRULE:FREQ=MONTHLY;COUNT=6;BYDAY=-1FR")) << out;
  EXPECT_TRUE(Has(out, "RRULE:FREQ=YEARLY;BYDAY=4TH;BYMONTH=11")) << out;
  EXPECT_EQ(2, Run({"appt", "add", kCal, "--subject", "x", "--start", "2026-03-27 15:00", "--end", "2026-03-27 16:00",
                    "--recur", "weekly", "--days", "XY"})
                   .status);
}

// Control characters, blanks at the ends and other programs' readers: the file stays valid, and
// our own import brings back every character.
TEST_F(IcalFilesTest, ControlCharactersAreEscapedOnTheWayOutAndComeBackWhole) {
  ASSERT_EQ(0, Run({"appt", "add", kCal, "--subject", " Tab\there, bell\x07 ", "--body", "line one\r\nline two\r",
                    "--start", "2026-03-11 09:00", "--end", "2026-03-11 10:00"})
                   .status);
  const std::string before = Json();
  ASSERT_EQ(0, Run({"export", kCal, dir / "out.ics"}).status);
  const std::string out = ReadFile(dir / "out.ics");
  EXPECT_TRUE(Has(out, "SUMMARY: Tab\there\\, bell\xE2\x90\x87 \r\n")) << out;
  EXPECT_TRUE(Has(out, "DESCRIPTION:line one\\nline two\xE2\x90\x8D")) << out;
  for (char c : out) {
    EXPECT_FALSE((static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n' && c != '\t') || c == 0x7F);
  }
  ASSERT_EQ(0, Run({"init", "--user", "Ann"}, "bob").status);
  ASSERT_EQ(0, Run({"import", kCal, dir / "out.ics"}, "bob").status);
  const std::string after = Run({"appt", "list", kCal, "--json"}, "bob").out;
  EXPECT_TRUE(Has(after, "\"Subject\": \" Tab\\there, bell\\u0007 \"")) << after;
  EXPECT_TRUE(Has(after, "\"Body\": \"line one\\r\\nline two\\r\"")) << after;
}

TEST_F(IcalFilesTest, TextThatIsNotUtf8IsRefusedByItsLine) {
  auto r = ImportText(Event("DTSTART:20260310T090000\r\nSUMMARY:caf\xE9\r\n"));
  EXPECT_EQ(2, r.status);
  EXPECT_TRUE(Has(r.err, "line 6: the text is not UTF-8")) << r.err;
  // A fold between a character's two bytes is no fault; a stray byte on a continuation line is, on its line.
  ASSERT_EQ(0, ImportText(Event("DTSTART:20260310T090000\r\nSUMMARY:caf\xC3\r\n \xA9\r\n")).status);
  EXPECT_TRUE(Has(Json(), "\"Subject\": \"café\""));
  r = ImportText(Event("DTSTART:20260310T090000\r\nSUMMARY:ok\r\n \xFF\r\n"));
  EXPECT_TRUE(Has(r.err, "line 7: the text is not UTF-8")) << r.err;
}

}  // namespace
