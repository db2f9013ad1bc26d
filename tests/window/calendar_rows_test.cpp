// The rows a week shows: single appointments that touch it, and a series' occurrences there.
#include <gtest/gtest.h>

#include "host/window/calendar_rows.h"

namespace {

using com::Date;

window::ApptRow Row(const std::string& subject, Date start, Date end) {
  window::ApptRow r;
  r.subject = subject;
  r.start = start;
  r.end = end;
  return r;
}

std::vector<std::string> Shown(const std::vector<window::ApptRow>& rows, Date monday) {
  std::vector<std::string> out;
  for (const auto& r : window::RowsBetween(rows, monday, monday.AddDays(7))) {
    const com::DateParts p = r.start.Parts();
    out.push_back(r.subject + " " + std::to_string(p.month) + "/" + std::to_string(p.day) + " " + std::to_string(p.hour));
  }
  return out;
}

TEST(CalendarRows, AWeekShowsWhatTouchesItAndTheOccurrencesOfASeries) {
  window::ApptRow series = Row("Standup", Date::FromParts(2029, 12, 17, 9, 0), Date::FromParts(2029, 12, 17, 9, 30));
  series.recurring = true;
  ical::Pattern weekly;
  weekly.type = 1;            // weekly
  weekly.dayOfWeekMask = 2;   // Mondays
  series.pattern = weekly;
  outlook::OccurrenceChange moved;
  moved.originalDate = Date::FromParts(2030, 1, 7, 9, 0);
  moved.start = Date::FromParts(2030, 1, 8, 14, 0);
  moved.end = Date::FromParts(2030, 1, 8, 14, 30);
  moved.subject = "Standup (moved)";
  outlook::OccurrenceChange deleted;
  deleted.originalDate = Date::FromParts(2030, 1, 14, 9, 0);
  deleted.deleted = true;
  series.changes = {moved, deleted};
  const std::vector<window::ApptRow> rows = {
      series,
      Row("Before", Date::FromParts(2030, 1, 6, 22, 0), Date::FromParts(2030, 1, 7, 0, 0)),
      Row("Overnight", Date::FromParts(2030, 1, 6, 23, 0), Date::FromParts(2030, 1, 7, 1, 0)),
      Row("Friday", Date::FromParts(2030, 1, 11, 10, 0), Date::FromParts(2030, 1, 11, 11, 0)),
  };
  EXPECT_EQ(Shown(rows, Date::FromParts(2029, 12, 31)), (std::vector<std::string>{"Standup 12/31 9", "Before 1/6 22",
                                                                                 "Overnight 1/6 23"}));
  EXPECT_EQ(Shown(rows, Date::FromParts(2030, 1, 7)),
            (std::vector<std::string>{"Standup (moved) 1/8 14", "Overnight 1/6 23", "Friday 1/11 10"}));
  EXPECT_EQ(Shown(rows, Date::FromParts(2030, 1, 14)), std::vector<std::string>{}) << "the deleted occurrence";
  EXPECT_EQ(Shown(rows, Date::FromParts(2030, 1, 21)), std::vector<std::string>{"Standup 1/21 9"});
}

}  // namespace
