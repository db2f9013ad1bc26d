// The printed page on the recording printer: frame, grid, day numbers, and the lines.
// The grid font is Arial 8: texts 184 twips high (lines 189 apart), 80 twips per character;
// the landscape page's printable area is 15120 by 11520 twips.
#include <regex>

#include <gtest/gtest.h>

#include "platform/outlook/outlook_enums.h"
#include "tests/support/print_fixture.h"

namespace {

using testing_support::PrintFixture;

class PrintLayoutTest : public PrintFixture {
 protected:
  std::vector<std::string> DayNumbers() const {
    std::vector<std::string> out;
    static const std::regex twoDigits("\\d\\d");
    for (const auto& op : Ops()) {
      const std::string text = op.rfind("Print (", 0) == 0 ? op.substr(op.find(") ") + 2) : "";
      if (std::regex_match(text, twoDigits)) out.push_back(text);
    }
    return out;
  }
  std::vector<std::string> MonthLabels() const {
    std::vector<std::string> out;
    for (const char* m : {"January", "February", "March", "April", "May", "June", "July"}) {
      for (const auto& t : PrintedStartingWith(std::string(m) + " ")) out.push_back(t);
    }
    return out;
  }
};

TEST_F(PrintLayoutTest, FrameGeometryAndColumnWidths) {
  PrintRange("2026-03-02");
  // Monday 2153 wide; Tuesday to Saturday 50 wider; Sunday ends at the right edge, 301 narrower.
  EXPECT_EQ(dialog->iColWidth, 2153);
  EXPECT_EQ((std::array<int16_t, 8>{0, 2203, 4406, 6609, 8812, 11015, 13218, 15421}), dialog->iColRight);
  EXPECT_EQ(dialog->iHalfCol, 1102);  // 1101.5, to the even neighbour
  EXPECT_EQ(dialog->iRowHeight, 1085);
  EXPECT_EQ(dialog->iRightX, 15070);
  EXPECT_EQ(dialog->iBottomY, 11470);
  EXPECT_EQ(Ops()[0], "Orientation 2");
  EXPECT_EQ(Ops()[2], "Box (50, 50)-(15070, 373)");  // the header band
  EXPECT_EQ(PrintedAt("Local Calendar: Mailbox - Ann|Calendar     Printed: 3/10/2026 09:30"), "(100, 28)");
  EXPECT_EQ(PrintedAt("From Date: 3/2/2026 To Date: 5/1/2026"), "(8804, 28)");
  EXPECT_EQ(PrintedAt("MONDAY"), "(862, 378)");
  EXPECT_EQ(PrintedAt("SUNDAY"), "(14079, 378)");
  EXPECT_NE(std::find(Ops().begin(), Ops().end(), "Box (13218, 383)-(15070, 562)"), Ops().end());  // Sunday heading
}

TEST_F(PrintLayoutTest, MondayStartLabelsTheFirstCell) {
  PrintRange("2026-03-02");
  EXPECT_EQ(PrintedAt("02"), "(75, 587)");
  EXPECT_EQ(PrintedAt("March 2026"), "(575, 587)");
}

TEST_F(PrintLayoutTest, ThursdayStartLeavesThreeCellsBlank) {
  PrintRange("2026-03-05");
  EXPECT_EQ(dialog->iStartWeekday, 4);
  EXPECT_EQ(PrintedAt("05"), "(6634, 587)");
  EXPECT_EQ(PrintedAt("March 2026"), "(7134, 587)");
  EXPECT_EQ(DayNumbers().front(), "05");
}

TEST_F(PrintLayoutTest, MonthBoundaryIsLabelledBesideItsFirstDayOnly) {
  PrintRange("2026-03-02");  // 60 days: to 1 May
  EXPECT_EQ(MonthLabels(), (std::vector<std::string>{"March 2026", "April 2026", "May 2026"}));
  // 1 April is a Wednesday in the fifth week row.
  EXPECT_EQ(PrintedAt("April 2026"), "(4931, 4927)");
}

TEST_F(PrintLayoutTest, NumberingStopsAtTheEndDateMidRow) {
  PrintRange("2026-03-02", "2026-03-18");  // ends on a Wednesday
  const auto numbers = DayNumbers();
  ASSERT_EQ(numbers.size(), 17u);
  EXPECT_EQ(numbers.back(), "18");
}

TEST_F(PrintLayoutTest, LinesCarryTheTimeAfterTheNineCharacterCut) {
  Add("Standup", "Room 1", At(3, 3, 9));
  Add("Budget review with the regional office", "Board room", At(3, 2, 14, 30));
  PrintRange("2026-03-02");
  // " (Room 1)" is exactly the nine characters the time replaces.
  EXPECT_EQ(PrintedAt("Standup  09:00 AM"), "(2253, 746)");
  // Monday holds 26 characters (2103 twips): the time replaces the last nine of them, and
  // one more goes because the time is wider than what it replaces.
  EXPECT_EQ(PrintedAt("Budget review wi  02:30 PM"), "(100, 746)");
}

TEST_F(PrintLayoutTest, AllDayAndHolidayLinesHaveNoTime) {
  auto allDay = Add("Offsite", "Lake", At(3, 4), 1440);
  allDay->SetField(outlook::ApptField::AllDayEvent, true);
  allDay->Save();
  auto holiday = Add("Founders", "", At(3, 5, 8));
  holiday->SetField(outlook::ApptField::Categories, "Holiday");
  holiday->Save();
  auto lower = Add("Picnic day", "Park", At(3, 6, 12));
  lower->SetField(outlook::ApptField::Categories, "holiday");
  lower->Save();
  Add("Tea", "", At(3, 6, 16));  // shorter than the cut: printed as it is
  PrintRange("2026-03-02");
  EXPECT_NE(PrintedAt("Offsite (Lake)"), "");
  EXPECT_NE(PrintedAt("Founders ()"), "");
  EXPECT_NE(PrintedAt("Picnic d  12:00 PM"), "");
  EXPECT_NE(PrintedAt("Tea ()"), "");
}

TEST_F(PrintLayoutTest, ThirdLineOfADayIsTwoLinesBelowTheFirst) {
  Add("One", "A", At(3, 3, 8));
  Add("Two", "Hall B", At(3, 3, 9));
  Add("Three", "Room C", At(3, 3, 10));
  PrintRange("2026-03-02");
  EXPECT_EQ(PrintedAt("One ()"), "");  // "One (A)" is 7 characters: printed as it is
  EXPECT_EQ(PrintedAt("One (A)"), "(2253, 746)");
  EXPECT_EQ(PrintedAt("Three  10:00 AM"), "(2253, 1124)");  // 746 + 2 x 189
  EXPECT_EQ(PrintedAt("Two  09:00 AM"), "(2253, 935)");
}

TEST_F(PrintLayoutTest, NinetyDaysSetsTheEndAndFifteenRows) {
  OpenDialog();
  dialog->Select("Calendar1", "2026-03-02");
  dialog->Select("Combo2", "90");
  EXPECT_EQ((*dialog)["Calendar2"].caption, "2026-05-31");
  dialog->Click("OKButton");
  EXPECT_EQ(dialog->iGridRows, 15);
  EXPECT_EQ(dialog->iRowHeight, 724);  // 723.5, to the even neighbour
  EXPECT_EQ(DayNumbers().size(), 91u);
}

TEST_F(PrintLayoutTest, DaysBelowTheLastRowGetRowsOfTheirOwn) {
  // From a Sunday, 31 days need six week rows where 30 days per page give five.
  PrintRange("2026-03-08", std::nullopt, "30");
  EXPECT_EQ(dialog->iGridRows, 6);
  const auto numbers = DayNumbers();
  ASSERT_EQ(numbers.size(), 31u);
  EXPECT_EQ(numbers.back(), "07");
  EXPECT_EQ(PrintedAt("07"), "(2228, 9632)");  // Tuesday of row 5, where its box really is
}

TEST_F(PrintLayoutTest, LinesThatDoNotFitTheirCellAreCountedInIt) {
  for (int h = 8; h < 14; ++h) Add("Slot " + std::to_string(h), "Desk", At(3, 3, h));
  PrintRange("2026-03-02");
  // Four lines fit a cell of 1085 twips; the other two are named by number, never drawn
  // over the next week's cell.
  EXPECT_EQ(PrintedStartingWith("Slot").size(), 4u);
  EXPECT_EQ(PrintedAt("+2 more"), "(3821, 587)");
}

TEST_F(PrintLayoutTest, GoldenPageFromAThursday) {
  Add("Standup", "Room 1", At(3, 5, 9));
  Add("Quarterly planning with everyone", "Main hall", At(3, 6, 13));
  auto holiday = Add("Spring holiday", "", At(3, 20), 1440);
  holiday->SetField(outlook::ApptField::AllDayEvent, true);
  holiday->Save();
  AddSeries("Team sync", At(2, 4, 10), outlook::olRecursWeekly, outlook::olWednesday);
  PrintRange("2026-03-05", std::nullopt, "30");
  testing_support::ExpectGolden("print_page_thursday_30.txt", testing_support::Joined(Ops()));
}

}  // namespace
