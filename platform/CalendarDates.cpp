#include "platform/CalendarDates.h"

#include <windows.h>

#include <cmath>

namespace {
constexpr long long originShift = 693899;  // days from 0000-03-01 to 1899-12-30

// Days since 0000-03-01 of a civil date (Hinnant's days-from-civil, with
// years starting in March so that the leap day ends the year).
long long daysFromCivil(long long year, int month, int day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const int shiftedMonth = month > 2 ? month - 3 : month + 9;
  const long long dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra;
}
}  // namespace

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && isLeapYear(year) ? 29 : lengths[month - 1];
}

bool encodeDate(int year, int month, int day, double& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return false;
  date = static_cast<double>(daysFromCivil(year, month, day) - originShift);
  return true;
}

void decodeDate(double date, int& year, int& month, int& day) {
  // Civil-from-days, the inverse of daysFromCivil.
  const long long days = static_cast<long long>(std::trunc(date)) + originShift;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int shiftedMonth = static_cast<int>((5 * dayOfYear + 2) / 153);
  day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
}

double currentDateTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  double date = 0;
  encodeDate(now.wYear, now.wMonth, now.wDay, date);
  constexpr double millisecondsPerDay = 86400000.0;
  const double time = ((now.wHour * 60.0 + now.wMinute) * 60.0 + now.wSecond) * 1000.0 + now.wMilliseconds;
  return date + time / millisecondsPerDay;
}

bool TDateEncoder::encode(int year, int month, int day, double& date) {
  if (year != year_ || month != month_) {
    if (!encodeDate(year, month, 1, firstOfMonth_)) return false;
    year_ = year;
    month_ = month;
    monthLength_ = daysInMonth(year, month);
  }
  if (day < 1 || day > monthLength_) return false;
  date = firstOfMonth_ + (day - 1);
  return true;
}
