#pragma once

#include <gtest/gtest.h>

#include "platform/CalendarDates.h"

// The day number of a calendar date, for readable test data.
inline long double dayNumber(int year, int month, int day) {
  double date = 0;
  EXPECT_TRUE(encodeDate(year, month, day, date)) << year << "-" << month << "-" << day;
  return date;
}
