#pragma once
#include <cstdint>

// Day numbers of the proleptic Gregorian calendar: whole days counted from
// 30 December 1899 (day 0), the time of day as the fraction. Earlier dates
// are negative; their fraction still counts forward from midnight of the
// day given by the whole part truncated toward zero.

// The day number of a calendar date; false (date untouched) when the year is
// outside 1..9999, the month outside 1..12 or the day outside the month.
bool encodeDate(int year, int month, int day, double& date);

// The calendar date of a day number's whole part (truncated toward zero).
// The date must lie in years 1..9999.
void decodeDate(double date, int& year, int& month, int& day);

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// The local date and time now, as a day number with the time as fraction.
double currentDateTime();

// encodeDate for long runs of dates that mostly share their month, as the
// lines of a quote file do: the month's first day is computed once.
class TDateEncoder {
 public:
  bool encode(int year, int month, int day, double& date);

 private:
  int year_ = 0;
  int month_ = 0;
  int monthLength_ = 0;
  double firstOfMonth_ = 0;
};
