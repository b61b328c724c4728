#include "functions/datetext/DateFunctions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/CalendarDates.h"
#include "platform/LocaleSettings.h"
#include "tests/sheet/SheetTestSupport.h"

namespace {

double date(std::int32_t year, std::int32_t month, std::int32_t day) {
  double result = NAN;
  EXPECT_TRUE(dateFromParts(year, month, day, result)) << year << "-" << month << "-" << day;
  return result;
}

TEST(DateFunctionsTest, DateGivesKnownDayNumbers) {
  EXPECT_EQ(0, date(1899, 12, 30));
  EXPECT_EQ(-1, date(1899, 12, 29));
  EXPECT_EQ(1, date(1899, 12, 31));
  EXPECT_EQ(61, date(1900, 3, 1));  // no 29 February 1900
  EXPECT_EQ(36526, date(2000, 1, 1));
  EXPECT_EQ(36585, date(2000, 2, 29));
  EXPECT_EQ(45658, date(2025, 1, 1));
  EXPECT_EQ(-693593, date(1, 1, 1));
  EXPECT_EQ(2958465, date(9999, 12, 31));
}

TEST(DateFunctionsTest, DateRefusesWhatDoesNotExist) {
  double result = 7;
  for (auto [year, month, day] : {std::tuple{2020, 13, 1}, {2020, 2, 30}, {2021, 2, 29}, {2020, 0, 1}, {2020, 1, 0},
                                  {0, 1, 1}, {10000, 1, 1}, {-1, 1, 1},
                                  // 16-bit wrap-around would make these 2000-01-01 and 2000-01-02
                                  {67536, 1, 1}, {2000, 65537, 1}, {2000, 1, 65538}, {2000, 1, -65534}})
    EXPECT_FALSE(dateFromParts(year, month, day, result)) << year << "-" << month << "-" << day;
  EXPECT_EQ(7, result);
}

TEST(DateFunctionsTest, TimeOfDayFromParts) {
  double time = NAN;
  ASSERT_TRUE(timeFromParts(12, 0, 0, time));
  EXPECT_EQ(0.5, time);
  ASSERT_TRUE(timeFromParts(23, 59, 59, time));
  EXPECT_DOUBLE_EQ(86399.0 / 86400.0, time);
  ASSERT_TRUE(timeFromParts(0, 0, 0, time));
  EXPECT_EQ(0, time);
  for (auto [hour, minute, second] : {std::tuple{24, 0, 0}, {0, 60, 0}, {0, 0, 60}, {-1, 0, 0}, {65560, 0, 0}})
    EXPECT_FALSE(timeFromParts(hour, minute, second, time)) << hour << ":" << minute << ":" << second;
}

TEST(DateFunctionsTest, TextReadInTheSystemForms) {
  localeSettings() = defaultLocaleSettings();
  double value = NAN;
  ASSERT_TRUE(dateFromText("1/2/2000", value));  // month first in the default short date form
  EXPECT_EQ(date(2000, 1, 2), value);
  EXPECT_FALSE(dateFromText("13/13/2000", value));
  EXPECT_FALSE(dateFromText("1/2/2000 12:00", value));  // no time part
  EXPECT_FALSE(dateFromText("abc", value));
  ASSERT_TRUE(timeFromText("6:30 PM", value));
  EXPECT_DOUBLE_EQ(18.5 / 24, value);
  ASSERT_TRUE(timeFromText("06:30:15", value));
  EXPECT_DOUBLE_EQ((6 * 3600 + 30 * 60 + 15) / 86400.0, value);
  EXPECT_FALSE(timeFromText("25:00", value));
  EXPECT_FALSE(timeFromText("noon", value));
}

TEST(DateFunctionsTest, MonthsMoveAndClipToTheMonthEnd) {
  double moved = NAN;
  ASSERT_TRUE(addMonths(date(2021, 1, 31), 1, moved));
  EXPECT_EQ(date(2021, 2, 28), moved);
  ASSERT_TRUE(addMonths(date(2024, 1, 31), 1, moved));
  EXPECT_EQ(date(2024, 2, 29), moved);
  ASSERT_TRUE(addMonths(date(2024, 3, 31), -13, moved));
  EXPECT_EQ(date(2023, 2, 28), moved);
  ASSERT_TRUE(addMonths(date(2000, 5, 15) + 0.75, 0, moved));
  EXPECT_EQ(date(2000, 5, 15) + 0.75, moved);
  ASSERT_TRUE(addMonths(date(2000, 5, 15) + 0.25, 240, moved));
  EXPECT_EQ(date(2020, 5, 15) + 0.25, moved);
  // Before day 0 the time still counts forward from midnight.
  ASSERT_TRUE(addMonths(date(1899, 11, 29) - 0.25, 1, moved));
  EXPECT_EQ(date(1899, 12, 29) - 0.25, moved);
  ASSERT_TRUE(addMonths(date(1900, 1, 30) + 0.25, -1, moved));
  EXPECT_EQ(0.25, moved);
}

TEST(DateFunctionsTest, MonthsStayWithinTheCalendar) {
  double moved = 5;
  EXPECT_FALSE(addMonths(date(9999, 12, 1), 1, moved));
  EXPECT_FALSE(addMonths(date(1, 1, 1), -1, moved));
  EXPECT_FALSE(addMonths(date(2000, 1, 1), 2147483647, moved));
  EXPECT_FALSE(addMonths(date(2000, 1, 1), -2147483647 - 1, moved));
  EXPECT_FALSE(addMonths(3e6, 0, moved));
  EXPECT_FALSE(addMonths(NAN, 0, moved));
  EXPECT_EQ(5, moved);
  ASSERT_TRUE(addMonths(date(1, 1, 31), 9998 * 12 + 10, moved));
  EXPECT_EQ(date(9999, 11, 30), moved);
}

TEST(DateFunctionsTest, TodayIsNowWithoutTheTime) {
  const double before = now();
  const double day = today();
  EXPECT_EQ(std::trunc(day), day);
  EXPECT_LE(day, before + 1e-3);
  EXPECT_GT(day, before - 1);
}

}  // namespace

namespace {

TEST(DateFormulas, ArgumentsAndErrors) {
  localeSettings() = defaultLocaleSettings();
  TSheet sheet;
  EXPECT_EQ("36526", evaluated(sheet, "=DATE(2000,1,1)"));
  EXPECT_EQ("36526", evaluated(sheet, "=DATE(2000.9,\"1\",1)"));  // numbers truncated, texts read
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=DATE(67536,1,1)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=DATE(-1,1,1)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=DATE(2020,2,30)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=DATE(2020,2)"));
  EXPECT_EQ("1", evaluated(sheet, "=EDATE(DATE(2021,1,31),1)=DATE(2021,2,28)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=EDATE(DATE(9999,12,1),1)"));
  EXPECT_EQ("0.5", evaluated(sheet, "=TIME(12,0,0)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=TIME(24,0,0)"));
  EXPECT_EQ("36527", evaluated(sheet, "=DATEVALUE(\"1/2/2000\")"));
  EXPECT_EQ("#NAME?", evaluated(sheet, "=DATEVALUE(\"no date\")"));
  EXPECT_EQ("0.75", evaluated(sheet, "=TIMEVALUE(\"18:00\")"));
  EXPECT_EQ("#NAME?", evaluated(sheet, "=TIMEVALUE(\"no time\")"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=DATEVALUE()"));
  EXPECT_EQ("1", evaluated(sheet, "=TODAY()<=NOW()"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=NOW(1)"));
  EXPECT_EQ("#VALUE!", evaluated(sheet, "=TODAY(1)"));
}

}  // namespace
