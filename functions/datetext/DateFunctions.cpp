#include "functions/datetext/DateFunctions.h"

#include <algorithm>
#include <cmath>

#include "platform/CalendarDates.h"
#include "platform/DateTime.h"
#include "sheet/EvalContext.h"

namespace {

// The arguments arrive as 32-bit integers; a 16-bit reading would turn
// 67536 into 2000 and -1 into 65535 and answer a date nobody asked for.
constexpr std::int32_t largestDatePart = 65535;

bool withinDatePartRange(std::int32_t part) { return part >= 0 && part <= largestDatePart; }

constexpr std::int64_t firstYear = 1;
constexpr std::int64_t lastYear = 9999;
constexpr double secondsPerDay = 86400.0;

}  // namespace

bool dateFromParts(std::int32_t year, std::int32_t month, std::int32_t day, double& date) {
  if (!withinDatePartRange(year) || !withinDatePartRange(month) || !withinDatePartRange(day)) return false;
  return encodeDate(year, month, day, date);
}

bool timeFromParts(std::int32_t hour, std::int32_t minute, std::int32_t second, double& time) {
  if (!withinDatePartRange(hour) || !withinDatePartRange(minute) || !withinDatePartRange(second)) return false;
  if (hour >= 24 || minute >= 60 || second >= 60) return false;
  time = (hour * 3600.0 + minute * 60.0 + second) / secondsPerDay;
  return true;
}

bool dateFromText(const std::string& text, double& date) { return tryStrToDate(text, date); }

bool timeFromText(const std::string& text, double& time) { return tryStrToTime(text, time); }

bool addMonths(double start, std::int32_t months, double& result) {
  if (!std::isfinite(start)) return false;
  const double day = std::trunc(start);
  double lowest = 0, highest = 0;
  encodeDate(firstYear, 1, 1, lowest);
  encodeDate(lastYear, 12, 31, highest);
  if (day < lowest || day > highest) return false;

  int year = 0, month = 0, dayOfMonth = 0;
  decodeDate(day, year, month, dayOfMonth);
  const std::int64_t monthIndex = year * std::int64_t{12} + (month - 1) + months;
  const std::int64_t targetYear = monthIndex / 12;
  const int targetMonth = static_cast<int>(monthIndex % 12) + 1;
  if (monthIndex < 0 || targetYear < firstYear || targetYear > lastYear) return false;
  const int targetDay = std::min(dayOfMonth, daysInMonth(static_cast<int>(targetYear), targetMonth));
  double movedDay = 0;
  encodeDate(static_cast<int>(targetYear), targetMonth, targetDay, movedDay);
  // Before day 0 the fraction still counts forward from midnight, and on
  // day 0 itself the sign of start tells which side it was written on.
  const double time = std::fabs(start - day);
  result = movedDay == 0 && start < 0 ? -time : combineDateAndTime(movedDay, time);
  return true;
}

double now() { return currentDateTime(); }

double today() { return std::trunc(currentDateTime()); }

namespace {

// DATE (year, month, day).
void evalDATE(TEvalContext& context) {
  std::int32_t year = 0, month = 0, day = 0;
  double date = 0;
  if (context.argumentCount() != 3 || !context.integerArgument(0, year) || !context.integerArgument(1, month) ||
      !context.integerArgument(2, day) || !dateFromParts(year, month, day, date))
    return;
  context.setNumberResult(date);
}

// TIME (hour, minute, second).
void evalTIME(TEvalContext& context) {
  std::int32_t hour = 0, minute = 0, second = 0;
  double time = 0;
  if (context.argumentCount() != 3 || !context.integerArgument(0, hour) || !context.integerArgument(1, minute) ||
      !context.integerArgument(2, second) || !timeFromParts(hour, minute, second, time))
    return;
  context.setNumberResult(time);
}

// DATEVALUE (text) and TIMEVALUE (text): a text that is none is an unknown
// name rather than a wrong value.
void evalTextAsDateOrTime(TEvalContext& context, bool (*read)(const std::string&, double&)) {
  std::string text;
  if (context.argumentCount() != 1 || !context.stringArgument(0, text)) return;
  double value = 0;
  if (!read(text, value)) {
    context.fail(errName);
    return;
  }
  context.setNumberResult(value);
}

// EDATE (start, months).
void evalEDATE(TEvalContext& context) {
  double start = 0, moved = 0;
  std::int32_t months = 0;
  if (context.argumentCount() != 2 || !context.numberArgument(0, start) || !context.integerArgument(1, months) ||
      !addMonths(start, months, moved))
    return;
  context.setNumberResult(moved);
}

void evalNOW(TEvalContext& context) {
  if (context.argumentCount() == 0) context.setNumberResult(now());
}

void evalTODAY(TEvalContext& context) {
  if (context.argumentCount() == 0) context.setNumberResult(today());
}

}  // namespace

void registerDateFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("DATE")] = evalDATE;
  table[FunctionIdOf("DATEVALUE")] = [](TEvalContext& context) { evalTextAsDateOrTime(context, dateFromText); };
  table[FunctionIdOf("EDATE")] = evalEDATE;
  table[FunctionIdOf("NOW")] = evalNOW;
  table[FunctionIdOf("TIME")] = evalTIME;
  table[FunctionIdOf("TIMEVALUE")] = [](TEvalContext& context) { evalTextAsDateOrTime(context, timeFromText); };
  table[FunctionIdOf("TODAY")] = evalTODAY;
}
