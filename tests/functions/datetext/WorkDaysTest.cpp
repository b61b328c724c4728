#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "functions/finance/DayCount.h"
#include "functions/datetext/WorkDays.h"
#include "platform/NumericErrors.h"
#include "tests/functions/FinanceTestDates.h"

namespace {
bool isWeekendOrHoliday(int date, const std::vector<int>& holidays) {
  const int sundayFirst = ((date - 1) % 7 + 7) % 7 + 1;  // day 0, 30 Dec 1899, was a Saturday (7)
  return sundayFirst == 1 || sundayFirst == 7 || std::find(holidays.begin(), holidays.end(), date) != holidays.end();
}

// WORKDAY one day at a time.
int workDayByDays(int start, int days, const std::vector<int>& holidays) {
  const int step = days > 0 ? 1 : -1;
  int date = start;
  for (int count = days > 0 ? days : -days; count >= 1;) {
    date += step;
    if (!isWeekendOrHoliday(date, holidays)) --count;
  }
  return date;
}

// NETWORKDAYS one day at a time.
int networkDaysByDays(int start, int end, const std::vector<int>& holidays) {
  int count = 0;
  for (int date = end; date >= start; --date) count += !isWeekendOrHoliday(date, holidays);
  return count;
}

const int friday = static_cast<int>(dayNumber(2011, 7, 8));
const int monday = static_cast<int>(dayNumber(2011, 7, 11));
}  // namespace

TEST(WorkDays, StepsOverWeekendsAndHolidays) {
  EXPECT_EQ(workDay(friday, 1, {}), monday);
  EXPECT_EQ(workDay(monday, -1, {}), friday);
  EXPECT_EQ(workDay(friday, 1, {monday}), monday + 1);
  EXPECT_EQ(workDay(friday, 5, {}), friday + 7);
  EXPECT_EQ(workDay(friday + 1, 0, {}), friday + 1);  // days 0 keeps a weekend start
  EXPECT_EQ(networkDays(monday, monday + 4, {}), 5);
  EXPECT_EQ(networkDays(monday + 4, monday, {}), 0);
  EXPECT_EQ(networkDays(monday, monday + 4, {monday + 2, monday + 2, monday + 5}), 4);
}

TEST(WorkDays, CountingByWeeksMatchesCountingDayByDay) {
  std::mt19937 random(20110708);
  std::uniform_int_distribution<int> anyDate(40000, 41000);
  std::uniform_int_distribution<int> anySpan(-400, 400);
  for (int trial = 0; trial < 2000; ++trial) {
    std::vector<int> holidays(trial % 40);
    for (int& holiday : holidays) holiday = anyDate(random);  // repeats and weekends included
    const int start = anyDate(random);
    const int span = anySpan(random);
    ASSERT_EQ(workDay(start, span, holidays), workDayByDays(start, span, holidays)) << start << " " << span;
    ASSERT_EQ(networkDays(start, start + span, holidays), networkDaysByDays(start, start + span, holidays))
        << start << " " << span;
  }
}

TEST(WorkDays, DatesOutsideTheCalendarAreRangeErrors) {
  EXPECT_THROW(workDay(lastDayNumber + 1, 1, {}), ERangeError);
  EXPECT_THROW(workDay(lastDayNumber - 10, 20, {}), ERangeError);
  EXPECT_THROW(workDay(0, 2147483647, {}), ERangeError);
  EXPECT_THROW(workDay(0, -2147483647 - 1, {}), ERangeError);
  EXPECT_THROW(networkDays(firstDayNumber - 1, 0, {}), ERangeError);
  EXPECT_EQ(networkDays(firstDayNumber, lastDayNumber, {}), networkDaysByDays(firstDayNumber, lastDayNumber, {}));
}
