#include <gtest/gtest.h>

#include "platform/CalendarDates.h"

TEST(CalendarDates, KnownDayNumbers) {
  double date = -99;
  ASSERT_TRUE(encodeDate(1899, 12, 30, date));
  EXPECT_EQ(date, 0);
  ASSERT_TRUE(encodeDate(2000, 1, 1, date));
  EXPECT_EQ(date, 36526);
  ASSERT_TRUE(encodeDate(1899, 12, 29, date));
  EXPECT_EQ(date, -1);
  ASSERT_TRUE(encodeDate(1, 1, 1, date));
  EXPECT_EQ(date, -693593);
  ASSERT_TRUE(encodeDate(9999, 12, 31, date));
  EXPECT_EQ(date, 2958465);
}

TEST(CalendarDates, RejectsDatesOutsideTheCalendar) {
  double date = 5;
  EXPECT_FALSE(encodeDate(2023, 2, 29, date));
  EXPECT_FALSE(encodeDate(1900, 2, 29, date));
  EXPECT_FALSE(encodeDate(2024, 4, 31, date));
  EXPECT_FALSE(encodeDate(0, 1, 1, date));
  EXPECT_FALSE(encodeDate(10000, 1, 1, date));
  EXPECT_FALSE(encodeDate(2024, 13, 1, date));
  EXPECT_FALSE(encodeDate(2024, 1, 0, date));
  EXPECT_EQ(date, 5);
  EXPECT_TRUE(encodeDate(2000, 2, 29, date));
}

TEST(CalendarDates, DecodeInvertsEncodeOverTheWholeRange) {
  for (int year = 1; year <= 9999; year += 7) {
    for (int month = 1; month <= 12; ++month) {
      for (int day : {1, 15, daysInMonth(year, month)}) {
        double date = 0;
        ASSERT_TRUE(encodeDate(year, month, day, date));
        int y = 0, m = 0, d = 0;
        decodeDate(date >= 0 ? date + 0.75 : date - 0.75, y, m, d);
        ASSERT_EQ(y * 10000 + m * 100 + d, year * 10000 + month * 100 + day);
      }
    }
  }
}

TEST(CalendarDates, EncoderAgreesWithEncodeDate) {
  TDateEncoder encoder;
  for (int year : {1900, 2000, 2023, 2024}) {
    for (int month = 0; month <= 13; ++month) {
      for (int day = 0; day <= 32; ++day) {
        double expected = -1, actual = -1;
        const bool valid = encodeDate(year, month, day, expected);
        ASSERT_EQ(encoder.encode(year, month, day, actual), valid) << year << "-" << month << "-" << day;
        if (valid) {
          ASSERT_EQ(actual, expected);
        }
      }
    }
  }
  double date = 0;
  EXPECT_TRUE(encoder.encode(2024, 2, 29, date));
  EXPECT_FALSE(encoder.encode(2023, 2, 29, date));
}
