#pragma once
#include <cstdint>
#include <string>

#include "sheet/BuiltinDispatch.h"

// The date and time built-ins the evaluator computes itself. Dates are day
// numbers (platform/CalendarDates.h: 30 December 1899 is day 0) with the
// time of day as the fraction. Each returns false where the built-in fails;
// the evaluator names the cell error.

// DATE: the day number of a calendar date of years 1 to 9999, without
// rolling an overlong day or month into the next month or year. Parts
// outside 0 to 65535 fail rather than wrap as 16-bit values would.
bool dateFromParts(std::int32_t year, std::int32_t month, std::int32_t day, double& date);

// TIME: the fraction of a day of hour < 24, minute < 60, second < 60.
bool timeFromParts(std::int32_t hour, std::int32_t minute, std::int32_t second, double& time);

// DATEVALUE and TIMEVALUE: the text read as a date in the system's short
// date form, or as a time of day in its time form.
bool dateFromText(const std::string& text, double& date);
bool timeFromText(const std::string& text, double& time);

// EDATE: start moved by whole months, the day of the month clipped to the
// target month's length and the time of day kept; false when start or the
// result lies outside years 1 to 9999.
bool addMonths(double start, std::int32_t months, double& result);

// NOW and TODAY: the local date and time, and the local date at midnight.
double now();
double today();

// DATE, DATEVALUE, EDATE, NOW, TIME, TIMEVALUE and TODAY.
void registerDateFunctions(TBuiltinTable& table);
