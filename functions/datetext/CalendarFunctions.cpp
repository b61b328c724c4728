#include "functions/datetext/CalendarFunctions.h"

#include <vector>

#include "functions/CallArguments.h"
#include "functions/datetext/DateFunctions.h"
#include "functions/finance/DayCount.h"
#include "functions/datetext/WorkDays.h"
#include "platform/CalendarDates.h"
#include "platform/DateTime.h"
#include "platform/NumericErrors.h"
#include "sheet/Sheet.h"

namespace {

constexpr std::int32_t sunday = 1;
constexpr std::int32_t daysPerWeek = 7;
constexpr int longestMonth = 31;

// One date argument of the platform's calendar (years 1 to 9999); a day
// beyond it raises ERangeError ("#VALUE!").
bool dateArgument(TEvalContext& c, int i, double& date) {
  if (!c.numberArgument(i, date)) return false;
  wholeDayNumber(date);
  return true;
}

// DAY, MONTH, YEAR (selector 'D', 'M', 'Y').
void evalDatePart(TEvalContext& c, char selector) {
  double date = 0;
  if (c.argumentCount() != 1 || !dateArgument(c, 0, date)) return;
  int year = 0, month = 0, day = 0;
  decodeDate(date, year, month, day);
  c.setIntegerResult(selector == 'D' ? day : selector == 'M' ? month : year);
}

// HOUR, MINUTE, SECOND (selector 'H', 'M', 'S').
void evalTimePart(TEvalContext& c, char selector) {
  double dateTime = 0;
  if (c.argumentCount() != 1 || !dateArgument(c, 0, dateTime)) return;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  decodeTime(dateTime, hour, minute, second, millisecond);
  c.setIntegerResult(selector == 'H' ? hour : selector == 'M' ? minute : second);
}

void evalWEEKDAY(TEvalContext& c) {
  const int count = c.argumentCount();
  double date = 0;
  if (count < 1 || count > 2 || !dateArgument(c, 0, date)) return;
  std::int32_t type = 1;
  if (count == 2 && !c.integerArgument(1, type)) return c.fail(errNum);
  const std::int32_t weekday = dayOfWeek(date);  // Sunday 1 ... Saturday 7
  switch (type) {
    case 1:
      return c.setIntegerResult(weekday);
    case 2:  // Monday 1 ... Sunday 7
      return c.setIntegerResult(weekday == sunday ? daysPerWeek : weekday - 1);
    case 3:  // Monday 0 ... Sunday 6
      return c.setIntegerResult(weekday == sunday ? daysPerWeek - 1 : weekday - 2);
    default:
      return c.fail(errNum);
  }
}

// The holiday list of WORKDAY and NETWORKDAYS: an array or range whose
// elements all convert to whole days, or a single day. False when one does
// not convert.
bool holidayArgument(TEvalContext& c, int i, std::vector<int>& holidays) {
  TArgumentArray array;
  if (!c.arrayArgument(i, array, valueInteger)) return false;
  if (!array) {
    holidays.push_back(c.argument(i)->value.integer);
    return true;
  }
  holidays.reserve(array->elements().size());
  for (const TValueRecord& element : array->elements()) {
    if (element.kind == valueInteger) {
      holidays.push_back(element.integer);
      continue;
    }
    // The array may be borrowed: convert a copy.
    TValueRecord day = element;
    if (!c.sheet.convertValue(day, valueInteger)) return false;
    holidays.push_back(day.integer);
  }
  return true;
}

// WORKDAY (start, days) and NETWORKDAYS (start, end), each [, holidays].
template <auto workDayRoutine>
void evalWorkingDays(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(2, 3)) return;
  const int start = args.integer(0);
  const int second = args.integer(1);
  if (!args) return;
  std::vector<int> holidays;
  if (args.count() == 3 && !holidayArgument(c, 2, holidays)) return;
  c.setIntegerResult(workDayRoutine(start, second, holidays));
}

void evalEOMONTH(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 2) return;
  const double start = static_cast<double>(args.number(0));
  const std::int32_t months = args.integer(1);
  if (!args) return;
  double moved = 0;
  if (!addMonths(start, months, moved)) throw ERangeError();
  int year = 0, month = 0, day = 0;
  decodeDate(moved, year, month, day);
  // A move that lands on the 31st is already at the month's end and keeps
  // its time of day; any other goes to the last day at midnight.
  if (day < longestMonth) encodeDate(year, month, daysInMonth(year, month), moved);
  c.setNumberResult(moved);
}

}  // namespace

void registerCalendarFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("DAY")] = [](TEvalContext& c) { evalDatePart(c, 'D'); };
  table[FunctionIdOf("MONTH")] = [](TEvalContext& c) { evalDatePart(c, 'M'); };
  table[FunctionIdOf("YEAR")] = [](TEvalContext& c) { evalDatePart(c, 'Y'); };
  table[FunctionIdOf("HOUR")] = [](TEvalContext& c) { evalTimePart(c, 'H'); };
  table[FunctionIdOf("MINUTE")] = [](TEvalContext& c) { evalTimePart(c, 'M'); };
  table[FunctionIdOf("SECOND")] = [](TEvalContext& c) { evalTimePart(c, 'S'); };
  table[FunctionIdOf("WEEKDAY")] = evalWEEKDAY;
  table[FunctionIdOf("WORKDAY")] = evalWorkingDays<workDay>;
  table[FunctionIdOf("NETWORKDAYS")] = evalWorkingDays<networkDays>;
  table[FunctionIdOf("EOMONTH")] = evalEOMONTH;
}
