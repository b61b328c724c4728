#include "functions/finance/DayCount.h"

#include <cmath>
#include <cstdlib>

#include "platform/CalendarDates.h"
#include "platform/NumericErrors.h"

namespace {
constexpr int monthsPerYear = 12;

struct TCalendarDate {
  int year;
  int month;
  int day;
};

TCalendarDate splitDate(long double date) {
  TCalendarDate parts;
  decodeDate(wholeDayNumber(date), parts.year, parts.month, parts.day);
  return parts;
}

void checkBasis(int basis) {
  if (basis < 0 || basis > 4) throw ERangeError();
}

// Builds (year, month, day), moving a day past the month's end back to the
// month's last day.
long double buildDate(int year, int month, int day) {
  double date = 0;
  while (!encodeDate(year, month, day, date)) {
    if (day <= 28) throw ERangeError();
    --day;
  }
  return date;
}

struct TCouponSchedule {
  int year;   // of the previous coupon date
  int month;  // of the previous coupon date
  int day;    // of maturity, kept on every coupon date
  int count;  // coupons from the previous coupon date to maturity
  int step;   // months between coupons
};

TCouponSchedule couponSchedule(int frequency, int basis, long double settlement, long double maturity) {
  if (!(settlement < maturity)) throw ERangeError();
  if (frequency != 1 && frequency != 2 && frequency != 4) throw ERangeError();
  checkBasis(basis);
  const TCalendarDate end = splitDate(maturity);
  const TCalendarDate start = splitDate(settlement);
  TCouponSchedule schedule{end.year, end.month, end.day, 0, monthsPerYear / frequency};
  // The steps back to the settlement's year, counted at once: months numbered
  // from January of year 0.
  const int maturityMonth = end.year * monthsPerYear + end.month - 1;
  const int monthAfterSettlementYear = (start.year + 1) * monthsPerYear;
  if (maturityMonth >= monthAfterSettlementYear) {
    schedule.count = (maturityMonth - monthAfterSettlementYear) / schedule.step + 1;
    const int month = maturityMonth - schedule.count * schedule.step;
    schedule.year = month / monthsPerYear;
    schedule.month = month % monthsPerYear + 1;
  }
  // Then back within that year while the month lies after the settlement's.
  while (schedule.month > start.month && schedule.year == start.year) {
    if (schedule.month > schedule.step) {
      schedule.month -= schedule.step;
    } else {
      schedule.month += monthsPerYear - schedule.step;
      --schedule.year;
    }
    ++schedule.count;
  }
  return schedule;
}
}  // namespace

int wholeDayNumber(long double date) {
  if (!(date > firstDayNumber - 1 && date < lastDayNumber + 1)) throw ERangeError();
  return static_cast<int>(std::trunc(date));
}

int days360(bool european, long double startDate, long double endDate) {
  TCalendarDate start = splitDate(startDate);
  TCalendarDate end = splitDate(endDate);
  // The last days of February count as the 30th even in a leap year.
  if (start.day == 31 || (start.month == 2 && start.day >= 28)) start.day = 30;
  if (european) {
    if (end.day == 31 || (end.month == 2 && end.day >= 28)) end.day = 30;
  } else if (end.day == 31) {
    if (start.day < 30) {
      end.day = 1;
      if (++end.month > monthsPerYear) {
        end.month = 1;
        ++end.year;
      }
    } else {
      end.day = 30;
    }
  }
  return (end.year - start.year) * 360 + (end.month - start.month) * 30 + (end.day - start.day);
}

long double yearFraction(int basis, long double startDate, long double endDate) {
  checkBasis(basis);
  const long double start = wholeDayNumber(startDate);
  const long double end = wholeDayNumber(endDate);
  const long double days = std::fabs(end - start);
  switch (basis) {
    case 0:
      return std::abs(days360(false, start, end)) / 360.0L;
    case 1: {
      // Over several years the divisor is the average length of the years spanned.
      const int firstYear = splitDate(std::fmin(start, end)).year;
      const int lastYear = splitDate(std::fmax(start, end)).year;
      const long double yearsSpanned = buildDate(lastYear, 12, 31) - buildDate(firstYear, 1, 1) + 1;
      return days * (lastYear - firstYear + 1) / yearsSpanned;
    }
    case 2:
      return days / 360.0L;
    case 3:
      return days / 365.0L;
    default:
      // Two days more than the 30/360 count.
      return (std::abs(days360(true, start, end)) + 2) / 360.0L;
  }
}

long double basisDayCount(int basis, long double startDate, long double endDate) {
  checkBasis(basis);
  if (basis == 0) return days360(false, startDate, endDate);
  if (basis == 4) return days360(true, startDate, endDate);
  return static_cast<long double>(wholeDayNumber(endDate)) - wholeDayNumber(startDate);
}

long double previousCouponDate(int frequency, int basis, long double settlement, long double maturity) {
  const TCouponSchedule schedule = couponSchedule(frequency, basis, settlement, maturity);
  return buildDate(schedule.year, schedule.month, schedule.day);
}

long double nextCouponDate(int frequency, int basis, long double settlement, long double maturity) {
  const TCouponSchedule schedule = couponSchedule(frequency, basis, settlement, maturity);
  int year = schedule.year;
  int month = schedule.month + schedule.step;
  if (month > monthsPerYear) {
    month -= monthsPerYear;
    ++year;
  }
  return buildDate(year, month, schedule.day);
}

int couponCount(int frequency, int basis, long double settlement, long double maturity) {
  return couponSchedule(frequency, basis, settlement, maturity).count;
}

long double couponDays(int frequency, int basis, long double settlement, long double maturity) {
  return basisDayCount(basis, previousCouponDate(frequency, basis, settlement, maturity),
                       nextCouponDate(frequency, basis, settlement, maturity));
}

long double couponDaysBefore(int frequency, int basis, long double settlement, long double maturity) {
  return basisDayCount(basis, previousCouponDate(frequency, basis, settlement, maturity), settlement);
}

long double couponDaysNext(int frequency, int basis, long double settlement, long double maturity) {
  return basisDayCount(basis, settlement, nextCouponDate(frequency, basis, settlement, maturity));
}
