#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "platform/CalendarDates.h"
#include "platform/DateTime.h"
#include "platform/NumericErrors.h"

namespace {

double dayNumber(int year, int month, int day) {
  double date = 0;
  EXPECT_TRUE(encodeDate(year, month, day, date));
  return date;
}

double timeOfDay(int hour, int minute, int second = 0, int millisecond = 0) {
  double time = 0;
  EXPECT_TRUE(encodeTime(hour, minute, second, millisecond, time));
  return time;
}

// A German-style record: day first, dots, 24-hour clock without markers.
TLocaleSettings dayFirstSettings() {
  TLocaleSettings settings = defaultLocaleSettings();
  settings.dateSeparator = '.';
  settings.decimalSeparator = ',';
  settings.shortDateFormat = "dd/mm/yyyy";
  settings.longTimeFormat = "hh:nn:ss";
  settings.timeAMString = "";
  settings.timePMString = "";
  return settings;
}

}  // namespace

TEST(DateTime, TimesAreFractionsOfADayAlsoBeforeDayZero) {
  EXPECT_EQ(timeOfDay(12, 0), 0.5);
  EXPECT_EQ(timeOfDay(6, 0), 0.25);
  double time = 7;
  EXPECT_FALSE(encodeTime(24, 0, 0, 0, time));
  EXPECT_FALSE(encodeTime(0, 60, 0, 0, time));
  EXPECT_FALSE(encodeTime(0, 0, 0, 1000, time));
  EXPECT_EQ(time, 7);

  int hour, minute, second, millisecond;
  decodeTime(combineDateAndTime(-1, 0.25), hour, minute, second, millisecond);
  EXPECT_EQ(combineDateAndTime(-1, 0.25), -1.25);
  EXPECT_EQ(hour, 6);
  decodeTime(36526 + timeOfDay(13, 45, 30, 250), hour, minute, second, millisecond);
  EXPECT_EQ(hour * 10000000 + minute * 100000 + second * 1000 + millisecond, 134530250);
  // A hair before midnight stays on its own day.
  decodeTime(36526.99999999999, hour, minute, second, millisecond);
  EXPECT_EQ(hour * 10000000 + minute * 100000 + second * 1000 + millisecond, 235959999);
}

TEST(DateTime, WeekdaysCountFromSunday) {
  EXPECT_EQ(dayOfWeek(0), 7);  // Saturday 30 December 1899
  EXPECT_EQ(dayOfWeek(-1), 6);
  EXPECT_EQ(dayOfWeek(-7.5), 7);
  EXPECT_EQ(dayOfWeek(36526), 7);  // Saturday 1 January 2000
  EXPECT_EQ(dayOfWeek(dayNumber(2024, 3, 15) + 0.9), 6);
}

TEST(DateTime, FormatsWithTheClassicLettersAndTheSettingsNamesAndSeparators) {
  const double value = dayNumber(2024, 3, 5) + timeOfDay(14, 7, 9, 45);
  EXPECT_EQ(formatDateTime("yyyy-mm-dd hh:nn:ss.zzz", value), "2024-03-05 14:07:09.045");
  EXPECT_EQ(formatDateTime("m/d/yy h:n:s z", value), "3/5/24 14:7:9 45");
  EXPECT_EQ(formatDateTime("dddd, mmmm d, yyyy", value), "Tuesday, March 5, 2024");
  EXPECT_EQ(formatDateTime("ddd d mmm", value), "Tue 5 Mar");
  EXPECT_EQ(formatDateTime("DD.MM.YYYY", value), "05.03.2024");
  EXPECT_EQ(formatDateTime("hh:mm", value), "14:07");
  EXPECT_EQ(formatDateTime("h:nn am/pm", value), "2:07 pm");
  EXPECT_EQ(formatDateTime("h:nn AM/PM", dayNumber(2024, 3, 5)), "12:00 AM");
  EXPECT_EQ(formatDateTime("hh A/P", value), "02 P");
  EXPECT_EQ(formatDateTime("h ampm", value), "2 PM");
  EXPECT_EQ(formatDateTime("'day' d \"of\" m", value), "day 5 of 3");
  EXPECT_EQ(formatDateTime("c", value), "3/5/2024 2:07:09 PM");
  EXPECT_EQ(formatDateTime("c", dayNumber(2024, 3, 5)), "3/5/2024");
  EXPECT_EQ(formatDateTime("c", -1.25), "12/29/1899 6:00:00 AM");
  EXPECT_EQ(formatDateTime("yyyy", dayNumber(1, 1, 1)), "0001");

  const TLocaleSettings german = dayFirstSettings();
  EXPECT_EQ(formatDateTime("c", value, german), "05.03.2024 14:07:09");
  EXPECT_EQ(formatDateTime("d/m h:n ampm", value, german), "5.3 2:7 ");
}

TEST(DateTime, FormattingRefusesWhatIsNoDate) {
  EXPECT_THROW(formatDateTime("c", NAN), ERangeError);
  EXPECT_THROW(formatDateTime("c", INFINITY), ERangeError);
  EXPECT_THROW(formatDateTime("c", 2958466), ERangeError);
  EXPECT_THROW(formatDateTime("c", -693594), ERangeError);
  EXPECT_NO_THROW(formatDateTime("c", 2958465.99));
}

TEST(DateTime, ReadsDatesInTheOrderOfTheShortDateFormat) {
  double date = -99;
  ASSERT_TRUE(tryStrToDate("3/15/2024", date));
  EXPECT_EQ(date, dayNumber(2024, 3, 15));
  ASSERT_TRUE(tryStrToDate(" 12/30/1899 ", date));
  EXPECT_EQ(date, 0);
  ASSERT_TRUE(tryStrToDate("3/15/24", date));
  EXPECT_EQ(date, dayNumber(2024, 3, 15));
  ASSERT_TRUE(tryStrToDate("3/15/70", date));
  EXPECT_EQ(date, dayNumber(1970, 3, 15));
  // Without a year: this year.
  ASSERT_TRUE(tryStrToDate("3/1", date));
  int year, month, day, readYear, readMonth, readDay;
  decodeDate(currentDateTime(), year, month, day);
  decodeDate(date, readYear, readMonth, readDay);
  EXPECT_EQ(readYear * 10000 + readMonth * 100 + readDay, year * 10000 + 301);

  date = -99;
  for (const char* notADate : {"2/30/2024", "13/1/2024", "3/15/2024 10:00", "3-15-2024", "15", "abc", "", "3/15/2024/1"})
    EXPECT_FALSE(tryStrToDate(notADate, date)) << notADate;
  EXPECT_EQ(date, -99);

  const TLocaleSettings german = dayFirstSettings();
  ASSERT_TRUE(tryStrToDate("15.3.2024", date, german));
  EXPECT_EQ(date, dayNumber(2024, 3, 15));
  EXPECT_FALSE(tryStrToDate("3/15/2024", date, german));

  TLocaleSettings named = defaultLocaleSettings();
  named.shortDateFormat = "dd mmm yyyy";
  ASSERT_TRUE(tryStrToDate("15 Mar 2024", date, named));
  EXPECT_EQ(date, dayNumber(2024, 3, 15));
  ASSERT_TRUE(tryStrToDate("1 january 2000", date, named));
  EXPECT_EQ(date, 36526);
  EXPECT_FALSE(tryStrToDate("Mar 15 2024", date, named));
}

TEST(DateTime, ReadsTimesWithSecondsMillisecondsAndMarkers) {
  double time = -1;
  ASSERT_TRUE(tryStrToTime("10:30", time));
  EXPECT_EQ(time, timeOfDay(10, 30));
  ASSERT_TRUE(tryStrToTime("10:30:15.5", time));
  EXPECT_EQ(time, timeOfDay(10, 30, 15, 500));
  ASSERT_TRUE(tryStrToTime("2:05 pm", time));
  EXPECT_EQ(time, timeOfDay(14, 5));
  ASSERT_TRUE(tryStrToTime("12:00 AM", time));
  EXPECT_EQ(time, 0);
  ASSERT_TRUE(tryStrToTime("12:00PM", time));
  EXPECT_EQ(time, 0.5);
  ASSERT_TRUE(tryStrToTime("P 3:00", time));
  EXPECT_EQ(time, timeOfDay(15, 0));
  for (const char* notATime : {"24:00", "13:00 PM", "10:60", "10", "10:30:", "10:30 XM", "10.30", ""})
    EXPECT_FALSE(tryStrToTime(notATime, time)) << notATime;

  TLocaleSettings localMarkers = dayFirstSettings();
  localMarkers.timeSeparator = '.';
  localMarkers.timeAMString = "vorm.";
  localMarkers.timePMString = "nachm.";
  ASSERT_TRUE(tryStrToTime("3.15.20,25 nachm.", time, localMarkers));
  EXPECT_EQ(time, timeOfDay(15, 15, 20, 250));
}

TEST(DateTime, ReadsADateFollowedByATime) {
  double value = 0;
  ASSERT_TRUE(tryStrToDateTime("3/15/2024 10:30 PM", value));
  EXPECT_EQ(value, dayNumber(2024, 3, 15) + timeOfDay(22, 30));
  ASSERT_TRUE(tryStrToDateTime("12/29/1899 06:00", value));
  EXPECT_EQ(value, -1.25);
  ASSERT_TRUE(tryStrToDateTime("18:00", value));
  EXPECT_EQ(value, 0.75);
  ASSERT_TRUE(tryStrToDateTime("1/1/2000", value));
  EXPECT_EQ(value, 36526);
  TLocaleSettings named = defaultLocaleSettings();
  named.shortDateFormat = "dd mmm yyyy";
  ASSERT_TRUE(tryStrToDateTime("15 Mar 2024  9:00", value, named));
  EXPECT_EQ(value, dayNumber(2024, 3, 15) + timeOfDay(9, 0));
  EXPECT_FALSE(tryStrToDateTime("3/15/2024 soon", value));
}

TEST(DateTime, ConcurrentReadersWithOwnFormatsDoNotDisturbEachOther) {
  const TLocaleSettings german = dayFirstSettings();
  const double expected = dayNumber(2024, 3, 15);
  bool workerRight = true;
  std::thread worker([&] {
    for (int i = 0; i < 2000; ++i) {
      double date = 0;
      workerRight = workerRight && tryStrToDate("15.03.2024", date, german) && date == expected;
    }
  });
  bool mainRight = true;
  for (int i = 0; i < 2000; ++i) {
    double date = 0;
    mainRight = mainRight && tryStrToDate("3/15/2024", date) && date == expected;
  }
  worker.join();
  EXPECT_TRUE(workerRight);
  EXPECT_TRUE(mainRight);
  EXPECT_EQ(localeSettings().shortDateFormat, defaultLocaleSettings().shortDateFormat);
}
