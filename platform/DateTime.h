#pragma once
#include <string>

#include "platform/LocaleSettings.h"

// Times of day and the text forms of day numbers (platform/CalendarDates.h:
// day 0 is 30 December 1899, the time of day is the fraction, and before day
// 0 the fraction still counts forward from midnight: -1.25 is 29 December
// 1899, 06:00). Every routine takes its separators, formats and names from
// the settings passed, the program-wide locale record by default; a caller
// with a format of its own passes a copy instead of changing the record,
// which the sheet graph's worker thread reads at the same time.

// The fraction of a day; false (time untouched) outside 0:00:00.000 to
// 23:59:59.999.
bool encodeTime(int hour, int minute, int second, int millisecond, double& time);

// The time of day, rounded to the millisecond; a value that rounds up to the
// next midnight gives 0:00:00.000.
void decodeTime(double dateTime, int& hour, int& minute, int& second, int& millisecond);

// A day number and a time of day as one value (the time counts forward from
// midnight also before day 0).
double combineDateAndTime(double date, double time);

// 1 for Sunday to 7 for Saturday.
int dayOfWeek(double dateTime);

// The value written with a format of these letters (case does not matter):
//   d dd ddd dddd   day, two-digit day, short and long day name
//   m mm mmm mmmm   month likewise; m or mm right after an hour is minutes
//   yy yyyy         two- and four-digit year
//   h hh  n nn  s ss  hour, minute, second, without and with a leading zero
//   z zzz           milliseconds, without and with leading zeros
//   am/pm a/p       12-hour clock with these markers, in the case written
//   ampm            12-hour clock with the settings' AM and PM texts
//   c               the short date format, then the long time format unless
//                   the time is midnight
//   / :             the settings' date and time separators
//   "text" 'text'   the text as it is
// Anything else is copied. The value is rounded to the millisecond. A value
// that is not a date of years 1 to 9999 raises ERangeError.
std::string formatDateTime(const std::string& format, double dateTime,
                           const TLocaleSettings& settings = localeSettings());

// A date in the order of day, month and year of the settings' short date
// format: numbers (or a month name) separated by the date separator or the
// separators of the format; a missing year is this year, a two-digit year is
// 1950 to 2049. No time part.
bool tryStrToDate(const std::string& text, double& date, const TLocaleSettings& settings = localeSettings());

// A time of day: hours and minutes, optional seconds and milliseconds (after
// the decimal separator), separated by the time separator, with an optional
// AM/PM marker before or after.
bool tryStrToTime(const std::string& text, double& time, const TLocaleSettings& settings = localeSettings());

// A date, a time, or a date followed by a time after blanks.
bool tryStrToDateTime(const std::string& text, double& dateTime, const TLocaleSettings& settings = localeSettings());
