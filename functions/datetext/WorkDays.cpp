#include "functions/datetext/WorkDays.h"

#include <algorithm>
#include <functional>

#include "functions/finance/DayCount.h"
#include "platform/NumericErrors.h"

namespace {
constexpr long long daysPerWeek = 7;
constexpr long long workingDaysPerWeek = 5;
constexpr long long aMonday = 2;  // 1 January 1900

// Monday 0 ... Sunday 6.
int weekdayIndex(long long date) {
  const long long offset = (date - aMonday) % daysPerWeek;
  return static_cast<int>(offset < 0 ? offset + daysPerWeek : offset);
}

bool isWeekday(long long date) { return weekdayIndex(date) < workingDaysPerWeek; }

// The count-th weekday after date (count > 0), holidays ignored.
long long weekdaysAfter(long long date, long long count) {
  int weekday = weekdayIndex(date);
  if (weekday >= workingDaysPerWeek) {  // counting from a weekend starts from its Friday
    date -= weekday - 4;
    weekday = 4;
  }
  const long long rest = count % workingDaysPerWeek;
  date += count / workingDaysPerWeek * daysPerWeek + rest;
  return weekday + rest > 4 ? date + 2 : date;
}

// The count-th weekday before date (count > 0), holidays ignored.
long long weekdaysBefore(long long date, long long count) {
  int weekday = weekdayIndex(date);
  if (weekday >= workingDaysPerWeek) {  // counting back from a weekend starts from its Monday
    date += daysPerWeek - weekday;
    weekday = 0;
  }
  const long long rest = count % workingDaysPerWeek;
  date -= count / workingDaysPerWeek * daysPerWeek + rest;
  return weekday - rest < 0 ? date - 2 : date;
}

// Weekdays among the dates before date, counted from a fixed Monday.
long long weekdaysUpTo(long long date) {
  const long long offset = date - aMonday;
  long long weeks = offset / daysPerWeek;
  long long rest = offset % daysPerWeek;
  if (rest < 0) {
    rest += daysPerWeek;
    --weeks;
  }
  return weeks * workingDaysPerWeek + std::min(rest, workingDaysPerWeek);
}

// The holidays that fall on weekdays, sorted, each once.
std::vector<int> weekdayHolidays(const std::vector<int>& holidays) {
  std::vector<int> sorted;
  sorted.reserve(holidays.size());
  for (int holiday : holidays) {
    if (isWeekday(holiday)) sorted.push_back(holiday);
  }
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  return sorted;
}

int checkedDate(long long date) {
  if (date < firstDayNumber || date > lastDayNumber) throw ERangeError();
  return static_cast<int>(date);
}
}  // namespace

int workDay(int start, int days, const std::vector<int>& holidays) {
  checkedDate(start);
  if (days == 0) return start;
  const std::vector<int> skipped = weekdayHolidays(holidays);
  long long date = start;
  // Each holiday the count passes over pushes the result one weekday further;
  // taking them in the direction of travel also catches those it moves onto.
  if (days > 0) {
    date = weekdaysAfter(date, days);
    for (auto holiday = std::upper_bound(skipped.begin(), skipped.end(), start);
         holiday != skipped.end() && *holiday <= date; ++holiday) {
      date = weekdaysAfter(date, 1);
    }
  } else {
    date = weekdaysBefore(date, -static_cast<long long>(days));
    for (auto holiday = std::upper_bound(skipped.rbegin(), skipped.rend(), start, std::greater<int>());
         holiday != skipped.rend() && *holiday >= date; ++holiday) {
      date = weekdaysBefore(date, 1);
    }
  }
  return checkedDate(date);
}

int networkDays(int start, int end, const std::vector<int>& holidays) {
  checkedDate(start);
  checkedDate(end);
  if (start > end) return 0;
  const std::vector<int> skipped = weekdayHolidays(holidays);
  const auto first = std::lower_bound(skipped.begin(), skipped.end(), start);
  const auto last = std::upper_bound(skipped.begin(), skipped.end(), end);
  return static_cast<int>(weekdaysUpTo(static_cast<long long>(end) + 1) - weekdaysUpTo(start) - (last - first));
}
