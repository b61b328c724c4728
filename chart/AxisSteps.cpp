#include "chart/AxisSteps.h"

#include <cmath>

#include "platform/CalendarDates.h"
#include "platform/DateTime.h"

namespace {

constexpr long double oneSecond = 1.0L / 86400;
constexpr long double oneMinute = 1.0L / 1440;
constexpr long double quarterHour = 1.0L / 96;
constexpr long double oneHour = 1.0L / 24;
// 1 January 0001 and 31 December 9999.
constexpr long double firstCalendarDay = -693593;
constexpr long double lastCalendarDay = 2958465;

// The 1st of the month months after the month of date.
bool addMonths(double date, int months, double& result) {
  if (!isCalendarDate(date)) return false;
  int year = 0, month = 0, day = 0;
  decodeDate(date, year, month, day);
  const int total = year * 12 + (month - 1) + months;
  return encodeDate(total / 12, total % 12 + 1, 1, result);
}

bool firstOfYear(double date, int yearsLater, double& result) {
  if (!isCalendarDate(date)) return false;
  int year = 0, month = 0, day = 0;
  decodeDate(date, year, month, day);
  return encodeDate(year + yearsLater, 1, 1, result);
}

}  // namespace

bool isCalendarDate(long double date) { return date >= firstCalendarDay && date < lastCalendarDay + 1; }

long double axisNumberStep(long double minimumStep, long double labelCount, long double range) {
  if (!(minimumStep > 0) || !(labelCount > 0) || !(range > 0)) return 0;
  long double step = 1;
  while (step > 10 * minimumStep) step *= 0.1L;
  if (step > 5 * minimumStep) step *= 0.2L;
  if (step > 2 * minimumStep) step *= 0.5L;
  while (step > 0 && std::isfinite(step) && step * labelCount * 10 <= range) step *= 10;
  if (step * labelCount * 5 <= range) step *= 5;
  if (step * labelCount * 2 <= range) step *= 2;
  return step > 0 && std::isfinite(step) ? step : 0;
}

int tickDecimals(long double step) {
  return 1 - static_cast<int>(std::nearbyint(std::log10(step)));
}

TDateStep axisDateStep(long double range) {
  if (range <= oneMinute) {
    long double step = oneSecond;
    while (range < 5 * step && step > 0) step *= 0.1L;
    while (step > 0 && 50 * step <= range) step *= 10;
    return {step, TDateTickKind::plain};
  }
  if (range <= quarterHour) return {oneMinute, TDateTickKind::plain};
  if (range <= oneHour) return {quarterHour, TDateTickKind::plain};
  if (range <= 1) return {oneHour, TDateTickKind::plain};
  if (range < 14) return {1, TDateTickKind::plain};
  if (range < 56) return {7, TDateTickKind::weeks};
  if (range < 365) return {30, TDateTickKind::months};
  if (range < 1095) return {90, TDateTickKind::quarters};
  return {365, TDateTickKind::years};
}

bool firstDateTick(const TDateStep& step, double first, double& tick) {
  if (!(step.step > 0) || !isCalendarDate(first)) return false;
  // Extended precision: a step of a fraction of a second beside a day number
  // of tens of thousands still resolves.
  long double t = step.step * std::trunc(first / step.step);
  switch (step.kind) {
    case TDateTickKind::plain:
      break;
    case TDateTickKind::weeks:
      t = t + 2 - dayOfWeek(static_cast<double>(t));
      while (t < first) t += 7;
      break;
    case TDateTickKind::months:
    case TDateTickKind::quarters: {
      double month = 0;
      if (!addMonths(static_cast<double>(t), 0, month)) return false;
      while (month < first) {
        if (!addMonths(month, 1, month)) return false;
      }
      t = month;
      break;
    }
    case TDateTickKind::years: {
      double year = 0;
      if (!firstOfYear(static_cast<double>(t), 0, year)) return false;
      while (year < first) {
        if (!firstOfYear(year, 1, year)) return false;
      }
      t = year;
      break;
    }
  }
  tick = static_cast<double>(t);
  return true;
}

bool nextTickAfter(const TDateStep& step, double value, double& tick) {
  switch (step.kind) {
    case TDateTickKind::plain:
    case TDateTickKind::weeks: {
      if (!(step.step > 0)) return false;
      const long double start = tick;
      // The count of whole steps to pass value, computed at once: a wide gap
      // between X values would otherwise cost one round per step.
      long double k = value >= start ? std::floor((value - start) / step.step) + 1 : 1;
      long double next = start + k * step.step;
      // The count is right but for rounding: a few more steps at most.
      for (int extra = 0; next <= value && extra < 4; ++extra) next = start + ++k * step.step;
      if (next <= value) return false;
      const double result = static_cast<double>(next);
      if (!(result > tick)) return false;
      tick = result;
      return true;
    }
    case TDateTickKind::months:
    case TDateTickKind::quarters: {
      const int months = step.kind == TDateTickKind::months ? 1 : 3;
      double next = tick;
      do {
        if (!addMonths(next, months, next)) return false;
      } while (next <= value);
      tick = next;
      return true;
    }
    case TDateTickKind::years: {
      double next = tick;
      do {
        if (!firstOfYear(next, 1, next)) return false;
      } while (next <= value);
      tick = next;
      return true;
    }
  }
  return false;
}
