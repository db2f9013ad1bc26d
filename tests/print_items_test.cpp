// Which appointments reach the page, on which day and in which order; the dialog's choices.
#include <gtest/gtest.h>

#include "platform/outlook/outlook_enums.h"
#include "print/occurrences.h"
#include "tests/support/print_fixture.h"

namespace {

using quorvane::PrintCalForm;
using testing_support::PrintFixture;

class PrintItemsTest : public PrintFixture {};

const char* const kStop9 =
    "An Error was encountered, Processing will stop!\r\nError No: (9)\r\nError Desc: Subscript out of range";

TEST_F(PrintItemsTest, DialogLoadsPrintersCalendarsAndDates) {
  OpenDialog();
  EXPECT_EQ((*dialog)["Combo1"].items, (std::vector<std::string>{"Office Laser", "Quorvane PDF"}));
  EXPECT_EQ((*dialog)["Combo1"].caption, "Quorvane PDF");
  EXPECT_EQ(forms::Form::ItemLines((*dialog)["Combo1"]), (std::vector<std::string>{"  Office Laser", "> Quorvane PDF"}));
  EXPECT_EQ((*dialog)["Combo3"].items, (std::vector<std::string>{kGlobalPath, kLocalPath}));
  EXPECT_EQ((*dialog)["Combo3"].caption, kLocalPath);
  EXPECT_EQ((*dialog)["Combo2"].caption, "60");
  EXPECT_EQ((*dialog)["Text1"].caption, "1");
  EXPECT_EQ((*dialog)["Calendar1"].caption, "2026-03-10");
  EXPECT_EQ((*dialog)["Calendar2"].caption, "2026-05-09");
  EXPECT_EQ((*dialog)["Calendar2"].container, "Frame2");
  EXPECT_EQ((*dialog)["Combo3"].tabIndex, 12);
  EXPECT_EQ((*dialog)["OKButton"].tabIndex, 0);
  EXPECT_EQ((*dialog)["Calendar1"].pos.width, 3735);
  dialog->Type("Combo2", "45");  // a drop-down list takes only its entries
  EXPECT_EQ((*dialog)["Combo2"].caption, "60");
  EXPECT_FALSE(dialog->Select("Calendar1", "2026-02-30"));
  EXPECT_FALSE(dialog->Select("Combo3", "Elsewhere"));
}

TEST_F(PrintItemsTest, SmallHelpers) {
  EXPECT_EQ(PrintCalForm::fnWeekdayMonFirst(At(3, 2)), 1);
  EXPECT_EQ(PrintCalForm::fnWeekdayMonFirst(At(3, 8)), 7);
  EXPECT_EQ(PrintCalForm::fnMonthName(9), "September");
  EXPECT_EQ(PrintCalForm::fnMonthName(13), "");
  EXPECT_EQ(PrintCalForm::fnMonthNameOfDate(At(12, 24)), "December");
}

TEST_F(PrintItemsTest, WeeklySeriesFromAFridayStartsAtOffsetFive) {
  AddSeries("Wednesday", At(2, 4, 10), outlook::olRecursWeekly, outlook::olWednesday);
  PrintRange("2026-03-06");
  EXPECT_EQ(dialog->iDayCount[5], 1);
  EXPECT_EQ(dialog->iDayCount[0], 0);
  EXPECT_EQ(PrintedStartingWith("Wednesday").size(), 8u);       // 11 March to 29 April
  EXPECT_EQ(PrintedAt("Wednesday  10:00 AM"), "(4456, 1831)");  // row 1, Wednesday's column
}

TEST_F(PrintItemsTest, SeriesOnlyOnTheirOwnDays) {
  AddSeries("Ended", At(1, 5, 10), outlook::olRecursDaily, 0, At(3, 1));
  AddSeries("Later", At(3, 20, 11), outlook::olRecursDaily, 0, At(3, 22));
  AddSeries("Monthly", At(1, 15, 12), outlook::olRecursMonthly);
  PrintRange("2026-03-02");
  EXPECT_TRUE(PrintedStartingWith("Ended").empty());
  EXPECT_EQ(PrintedStartingWith("Later").size(), 3u);  // 20 to 22 March, not before it began
  EXPECT_EQ(dialog->iDayCount[18], 1);
  EXPECT_EQ(dialog->iDayCount[17], 0);
  EXPECT_EQ(PrintedStartingWith("Monthly").size(), 2u);  // 15 March and 15 April
  EXPECT_EQ(dialog->iDayCount[13], 1);
  EXPECT_EQ(dialog->iDayCount[44], 1);
}

TEST_F(PrintItemsTest, SeriesMetFirstTakesTheFirstLine) {
  Add("Single", "Desk", At(3, 3, 9));
  AddSeries("Daily", com::Date::FromParts(2025, 11, 1, 15, 0, 0), outlook::olRecursDaily);
  PrintRange("2026-03-02");
  EXPECT_EQ(PrintedAt("Sing  09:00 AM"), "(2253, 935)");  // ordinal 2
  // Each occurrence in its own day's column, the series' own time on every one.
  EXPECT_EQ(PrintedStartingWith("Daily  03:00 PM").size(), 61u);
  EXPECT_EQ(dialog->iDayCount[1], 2);
}

TEST_F(PrintItemsTest, PrivateIsNeverPrinted) {
  auto item = Add("Doctor", "Clinic", At(3, 3, 9));
  item->SetSensitivity(outlook::olPrivate);
  item->Save();
  auto confidential = AddSeries("Therapy", At(3, 1, 9), outlook::olRecursWeekly, outlook::olMonday);
  confidential->SetSensitivity(outlook::olConfidential);
  confidential->Save();
  PrintRange("2026-03-02");
  EXPECT_TRUE(PrintedStartingWith("Doctor").empty());
  EXPECT_TRUE(PrintedStartingWith("Therapy").empty());
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(PrintItemsTest, SelectionEndsBeforeTheEndDate) {
  Add("Last day", "", At(3, 31, 9));
  Add("Day before", "", At(3, 30, 9));
  PrintRange("2026-03-02", "2026-03-31");
  EXPECT_TRUE(PrintedStartingWith("Last day").empty());
  EXPECT_EQ(PrintedStartingWith("Day  ").size(), 1u);  // "Day before ()" cut for the time
}

TEST_F(PrintItemsTest, NegativeOffsetStopsTheJobAfterIt) {
  Add("Conference", "Hall", At(3, 1, 10), 2 * 1440);  // began the day before the range
  Add("After", "", At(3, 5, 10));
  PrintRange("2026-03-02");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{kStop9});
  EXPECT_TRUE(PrintedStartingWith("Conference").empty());
  EXPECT_TRUE(PrintedStartingWith("After").empty());
  ASSERT_EQ(printer->jobs.size(), 1u);  // the page with what was placed is still sent
  EXPECT_TRUE(dialog->bJobFailed);
  EXPECT_FALSE(dialog->loaded());
}

TEST_F(PrintItemsTest, AnEntryIdReturnedAFourthTimeStops) {
  Add("Twice", "", At(3, 3, 9));
  Add("Next", "", At(3, 4, 9));
  mailbox->RepeatItemAt(0, 3);
  PrintRange("2026-03-02");
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(PrintedStartingWith("Twice").size(), 1u);

  printer->operations.clear();
  mailbox->RepeatItemAt(0, 4);
  PrintRange("2026-03-02");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(
      ui.shown[0].text.rfind("Error Detected processing Calendar Item.\r\nSame EntryId Returned Multiple Times\r\n"
                             "EntryID = [",
                             0),
      0u);
  EXPECT_TRUE(PrintedStartingWith("Next").empty());
}

TEST_F(PrintItemsTest, UnreadableCalendarIsReportedNotPrintedEmpty) {
  Add("Standup", "", At(3, 3, 9));
  mailbox->Fail(mapistore::StoreOp::Query, -1);
  PrintRange("2026-03-02");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text.rfind("An Error was encountered, Processing will stop!", 0), 0u);
}

TEST_F(PrintItemsTest, PrinterCalendarAndCopies) {
  Add("Standup", "", At(3, 3, 9));
  OpenDialog();
  dialog->Type("Combo1", "Office Laser");
  dialog->Type("Combo3", kGlobalPath);
  dialog->Type("Text1", "3");
  dialog->Click("OKButton");
  ASSERT_EQ(other->jobs.size(), 1u);
  EXPECT_TRUE(printer->jobs.empty());
  EXPECT_EQ(other->jobs[0].copies, 3);
  EXPECT_EQ(other->jobs[0].orientation, printer::vbPRORLandscape);
  EXPECT_EQ(other->Copies(), 1);  // both settings back as they were
  EXPECT_EQ(other->Orientation(), printer::vbPRORPortrait);
  EXPECT_EQ(other->jobs[0].page[1].text.rfind("Global Calendar: " + std::string(kGlobalPath), 0), 0u);
}

TEST_F(PrintItemsTest, RangesThePageCannotHoldAreRefused) {
  OpenDialog();
  dialog->Select("Calendar1", "2026-03-02");
  dialog->Select("Calendar2", "2026-06-01");  // 91 days later
  dialog->Click("OKButton");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text.rfind("One page holds at most 91 days", 0), 0u);
  ui.shown.clear();
  dialog->Select("Calendar2", "2026-03-01");
  dialog->Click("OKButton");
  dialog->Select("Calendar2", "2026-03-31");
  dialog->Type("Text1", "three");
  dialog->Click("OKButton");
  dialog->Type("Text1", "1");
  dialog->Type("Combo3", "Elsewhere");
  dialog->Click("OKButton");
  dialog->Type("Combo3", kLocalPath);
  dialog->Type("Combo1", "Office Lazer");
  dialog->Click("OKButton");
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                            "The Print End Date lies before the Print Start Date. Nothing was printed.",
                            "Number of Copies takes a whole number from 1 to 99. Nothing was printed.",
                            "Calendar to Print: 'Elsewhere' is neither of the two calendars listed. Nothing was printed.",
                            "Printer: no installed printer is named 'Office Lazer'. Nothing was printed.",
                        }));
  EXPECT_TRUE(printer->operations.empty());
  EXPECT_TRUE(other->operations.empty());
  EXPECT_TRUE(dialog->loaded());  // open for the user to put right
  dialog->Type("Combo1", "Quorvane PDF");
  dialog->Click("OKButton");
  EXPECT_EQ(printer->jobs.size(), 1u);
}

TEST_F(PrintItemsTest, ARefusedPageIsReported) {
  Add("Standup", "", At(3, 3, 9));
  printer->refuse = true;
  PrintRange("2026-03-02");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text,
            "An Error was encountered, Processing will stop!\r\nError No: (482)\r\nError Desc: Printer error");
  EXPECT_TRUE(dialog->bJobFailed);
}

TEST_F(PrintItemsTest, CancelPrintsNothing) {
  OpenDialog();
  dialog->Click("CancelButton");
  EXPECT_FALSE(dialog->loaded());
  EXPECT_TRUE(printer->operations.empty());
}

TEST(Occurrences, OnlyThePatternsOwnDays) {
  using quorvane::OccursOn;
  auto day = [](int y, int m, int d) { return com::Date::FromParts(y, m, d); };
  using Facts = quorvane::PatternFacts;
  Facts everyOther{.type = outlook::olRecursDaily, .interval = 2, .patternStart = day(2026, 3, 1)};
  EXPECT_TRUE(OccursOn(everyOther, day(2026, 3, 3)));
  EXPECT_FALSE(OccursOn(everyOther, day(2026, 3, 4)));
  Facts monWedFri{.type = outlook::olRecursWeekly,
                  .interval = 2,
                  .dayOfWeekMask = outlook::olMonday | outlook::olWednesday | outlook::olFriday,
                  .patternStart = day(2026, 3, 2)};
  EXPECT_TRUE(OccursOn(monWedFri, day(2026, 3, 4)));
  EXPECT_FALSE(OccursOn(monWedFri, day(2026, 3, 11)));  // the week in between
  EXPECT_TRUE(OccursOn(monWedFri, day(2026, 3, 20)));
  Facts on31st{.type = outlook::olRecursMonthly, .dayOfMonth = 31, .patternStart = day(2026, 1, 31)};
  EXPECT_TRUE(OccursOn(on31st, day(2026, 4, 30)));  // the month's last day instead
  EXPECT_FALSE(OccursOn(on31st, day(2026, 4, 29)));
  Facts lastFriday{
      .type = outlook::olRecursMonthNth, .dayOfWeekMask = outlook::olFriday, .patternStart = day(2026, 1, 30)};
  EXPECT_TRUE(OccursOn(lastFriday, day(2026, 3, 27)));
  EXPECT_FALSE(OccursOn(lastFriday, day(2026, 3, 20)));
  Facts yearly{.type = outlook::olRecursYearly, .interval = 12, .patternStart = day(2024, 3, 9)};
  EXPECT_TRUE(OccursOn(yearly, day(2026, 3, 9)));
  Facts ends{.type = outlook::olRecursDaily,
             .patternStart = day(2026, 3, 1),
             .noEndDate = false,
             .patternEnd = day(2026, 3, 5)};
  EXPECT_EQ(quorvane::OccurrenceDays(ends, day(2026, 3, 3), day(2026, 3, 9)).size(), 3u);
  Facts unknown{.type = 4, .patternStart = day(2026, 3, 1)};
  EXPECT_FALSE(OccursOn(unknown, day(2026, 3, 1)));
}

}  // namespace
