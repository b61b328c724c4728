#include "functions/finance/CashFlows.h"

#include <cmath>

#include "functions/CheckedArithmetic.h"
#include "functions/finance/SecantSearch.h"
#include "model/Power.h"
#include "platform/NumericErrors.h"

namespace {
constexpr long double daysPerYear = 365;
}  // namespace

long double futureValueSchedule(const std::vector<long double>& rates, long double principal) {
  long double result = principal;
  for (long double rate : rates) result *= 1 + rate;
  return result;
}

long double netPresentValue(const std::vector<long double>& values, long double rate) {
  long double total = 0;
  for (std::size_t i = 0; i < values.size(); ++i) total += quotient(values[i], power(1 + rate, i + 1.0L));
  return total;
}

long double internalRate(const std::vector<long double>& values, int cap, long double guess, long double tolerance) {
  if (values.size() < 2) throw ERangeError();
  // Newton step: the present value over its derivative, both by Horner's scheme.
  auto step = [&](long double x) {
    const long double v = quotient(1, 1 + x);
    long double presentValue = 0;
    long double slope = 0;
    for (std::size_t i = values.size(); i-- > 0;) {
      presentValue = values[i] + v * presentValue;
      slope = v * (slope + i * values[i]);
    }
    return std::fabs(slope) >= tolerance ? quotient(presentValue, slope) : tolerance * presentValue;
  };
  long double x0 = guess;
  long double x1 = x0 + step(x0);
  for (int iteration = 0; iteration < cap; ++iteration) {
    if (std::fabs(x1 - x0) <= tolerance) {
      if (x1 < -1) throw ERangeError();
      return x1;
    }
    x0 = x1;
    x1 += step(x1);
  }
  throw ERangeError();
}

long double modifiedInternalRate(const std::vector<long double>& values, long double financeRate,
                                 long double reinvestRate) {
  std::vector<long double> received(values.size());
  std::vector<long double> paid(values.size());
  bool anyPaid = false;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (values[i] >= 0) {
      received[i] = values[i];
    } else {
      paid[i] = values[i];
      anyPaid = true;
    }
  }
  if (!anyPaid) throw ERangeError();
  const long double n = values.size();
  const long double terminalValue = -netPresentValue(received, reinvestRate) * power(1 + reinvestRate, n);
  const long double presentCost = netPresentValue(paid, financeRate) * (1 + financeRate);
  return power(quotient(terminalValue, presentCost), quotient(1, n - 1)) - 1;
}

long double datedNetPresentValue(const std::vector<long double>& values, std::vector<long double>& dates,
                                 long double rate) {
  if (values.size() < 2 || dates.size() != values.size()) throw ERangeError();
  const long double firstDate = std::trunc(dates[0]);
  for (long double& date : dates) {
    date = std::trunc(date);
    if (date < firstDate) throw ERangeError();
  }
  const TPowersOf growth(1 + rate);
  long double total = values[0];
  for (std::size_t i = 1; i < values.size(); ++i) {
    total += quotient(values[i], growth((dates[i] - firstDate) / daysPerYear));
  }
  return total;
}

long double datedInternalRate(const std::vector<long double>& values, std::vector<long double>& dates, int cap,
                              long double guess, long double tolerance) {
  if (values.size() < 2 || dates.size() != values.size()) throw ERangeError();
  bool anyPositive = false;
  bool anyNegative = false;
  for (long double value : values) {
    anyPositive = anyPositive || value > 0;
    anyNegative = anyNegative || value < 0;
  }
  if (!anyPositive || !anyNegative) throw ERangeError();
  const long double firstDate = std::trunc(dates[0]);
  for (long double& date : dates) {
    date = std::trunc(date - firstDate) / daysPerYear;
    if (date < 0) throw ERangeError();
  }
  dates[0] = 0;
  auto presentValue = [&](long double x) {
    const TPowersOf growth(1 + x);
    long double total = values[0];
    for (std::size_t i = 1; i < values.size(); ++i) total += quotient(values[i], growth(dates[i]));
    return total;
  };
  return secantRoot(presentValue, guess, cap, tolerance);
}
