// Named date formats and the dates typed into store filters.
#include <gtest/gtest.h>

#include "platform/win32/locale.h"

using com::Date;
using win32::Locale;

namespace {

class LocaleTest : public ::testing::Test {
 protected:
  ~LocaleTest() override { Locale::SetCurrent("en-US"); }
};

TEST_F(LocaleTest, NamedFormatsFollowTheCurrentLocale) {
  const Date d = Date::FromParts(2026, 3, 9, 14, 5, 7);
  Locale& us = Locale::Current();
  EXPECT_EQ("3/9/2026", us.Format(d, "Short Date"));
  EXPECT_EQ("14:05", us.Format(d, "Short Time"));
  EXPECT_EQ("02:05 PM", us.Format(d, "hh:mm AMPM"));
  EXPECT_EQ("3/9/2026 2:05:07 PM", us.GeneralDate(d));
  EXPECT_EQ("3/9/2026", us.GeneralDate(d.DateOnly()));
  EXPECT_EQ("07", Locale::FormatNumber(7, "00"));
  ASSERT_TRUE(Locale::SetCurrent("en-GB"));
  EXPECT_EQ("09/03/2026", Locale::Current().Format(d, "Short Date"));
  ASSERT_TRUE(Locale::SetCurrent("de-DE"));
  EXPECT_EQ("09.03.2026", Locale::Current().Format(d, "Short Date"));
  EXPECT_FALSE(Locale::SetCurrent("xx-XX"));
}

TEST_F(LocaleTest, ShortDatesParseInTheLocalesOrderAndBadOnesAreRefused) {
  Date d;
  ASSERT_TRUE(Locale::Current().ParseDate("4/9/2026", d));
  EXPECT_EQ(Date::FromParts(2026, 4, 9), d);
  ASSERT_TRUE(Locale::Current().ParseDate("12/31/2025 11:30 PM", d));
  EXPECT_EQ(Date::FromParts(2025, 12, 31, 23, 30, 0), d);
  ASSERT_TRUE(Locale::Current().ParseDate("2026-03-10 08:00", d));
  EXPECT_EQ(Date::FromParts(2026, 3, 10, 8, 0, 0), d);
  // An hour of many digits once overflowed as it was read (seen under the sanitizers).
  for (const char* bad : {"2/30/2026", "13/1/2026", "3/10", "tomorrow", "3/10/2026 25:00", "3/10/2026 100:00", "",
                          "3/11/2026 688888888888888888888888888888:00"}) {
    EXPECT_FALSE(Locale::Current().ParseDate(bad, d)) << bad;
  }
  Locale::SetCurrent("en-GB");
  ASSERT_TRUE(Locale::Current().ParseDate("09/04/2026", d));
  EXPECT_EQ(Date::FromParts(2026, 4, 9), d);
}

TEST(DateTest, PartsRoundTripAndWeekdays) {
  const Date d = Date::FromParts(com::DateParts{2024, 2, 29, 23, 59, 58, 250});
  const com::DateParts p = d.Parts();
  EXPECT_EQ(2024, p.year);
  EXPECT_EQ(29, p.day);
  EXPECT_EQ(250, p.millisecond);
  EXPECT_EQ(5, Date::FromParts(2026, 3, 12).Weekday()) << "a Thursday";
  EXPECT_EQ(Date::FromParts(2026, 3, 1), Date::FromParts(2026, 2, 28).AddDays(1));
  EXPECT_DOUBLE_EQ(46092.0, Date::FromParts(2026, 3, 11).serial()) << "days since 30 December 1899";
}

}  // namespace
