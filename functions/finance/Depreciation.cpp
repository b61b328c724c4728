#include "functions/finance/Depreciation.h"

#include <cmath>

#include "functions/CheckedArithmetic.h"
#include "model/Power.h"
#include "model/Rounding.h"
#include "platform/NumericErrors.h"

namespace {
constexpr int monthsPerYear = 12;
constexpr int rateDigits = 3;
constexpr int roundToNearest = 0;

// The declining balance of VDB. Once it switches to straight line the amount
// stays the one of the switch.
class TDecliningBalance {
 public:
  TDecliningBalance(bool noSwitch, long double cost, long double salvage, long double rate)
      : book(cost), noSwitch_(noSwitch), salvage_(salvage), rate_(rate) {}

  // The amount of one period with periodsLeft periods to go.
  void step(long double periodsLeft) {
    if (switched_) return;
    dep = book * rate_;
    // With no period left there is nothing to spread over.
    if (noSwitch_ || !(periodsLeft > 0)) return;
    const long double straightLine = (book - salvage_) / periodsLeft;
    if (dep <= straightLine) {
      switched_ = true;
      dep = straightLine;
    }
  }

  long double book;
  long double dep = 0;

 private:
  bool noSwitch_;
  long double salvage_;
  long double rate_;
  bool switched_ = false;
};
}  // namespace

long double fixedDecliningBalance(int life, int period, int month, long double cost, long double salvage) {
  if (!(cost > 0) || !(cost > salvage) || life < 1 || period < 1 || month < 1 || month > monthsPerYear) {
    throw ERangeError();
  }
  const long long lastPeriod = month < monthsPerYear ? life + 1LL : life;
  if (period > lastPeriod || period > maxDepreciationPeriods) throw ERangeError();
  const long double rate = roundToDigits(rateDigits, roundToNearest, 1 - power(salvage / cost, 1.0L / life));
  const long double firstPeriod = cost * rate * month / monthsPerYear;
  if (period == 1) return firstPeriod;
  long double total = firstPeriod;
  for (int p = 2; p < period; ++p) total += rate * (cost - total);
  if (period == lastPeriod && month < monthsPerYear) return (cost - total) * rate * (monthsPerYear - month) / monthsPerYear;
  return rate * (cost - total);
}

long double doubleDecliningBalance(int life, int period, long double cost, long double salvage, long double factor) {
  if (!(cost > 0) || !(cost > salvage) || life < 0 || period < 1 || period > life || !(factor > 0) ||
      period > maxDepreciationPeriods) {
    throw ERangeError();
  }
  long double book = cost;
  long double dep = 0;
  for (int p = 1; p <= period; ++p) {
    dep = book * factor / life;
    if (book - dep < salvage) dep = book - salvage;
    if (dep < 0) return 0;
    book -= dep;
  }
  return dep;
}

long double straightLineDepreciation(long double cost, long double salvage, long double life) {
  return quotient(cost - salvage, life);
}

long double sumOfYearsDepreciation(long double cost, long double salvage, long double life, long double period) {
  return quotient((cost - salvage) * (life - period + 1) * 2, life * (life + 1));
}

long double variableDecliningBalance(bool noSwitch, long double cost, long double salvage, long double life,
                                     long double start, long double end, long double factor) {
  if (!(cost > 0) || !(cost > salvage) || life < 0 || end > life || start < 0 || end < start || !(factor > 0) ||
      end >= maxDepreciationPeriods + 1.0L) {
    throw ERangeError();
  }
  TDecliningBalance balance(noSwitch, cost, salvage, quotient(factor, life));
  const int startPeriod = static_cast<int>(start);
  const int endPeriod = static_cast<int>(end);
  const long double startFraction = start - startPeriod;
  const long double endFraction = end - endPeriod;
  long double total = 0;
  // Adds a final amount clipped to what is left above salvage.
  auto finish = [&](long double amount) {
    if (balance.book - amount < salvage) amount = balance.book - salvage;
    if (amount >= 0) total += amount;
    return total;
  };

  for (int i = 0; i < startPeriod; ++i) {
    balance.step(life - i);
    balance.book -= balance.dep;
    if (balance.book < salvage) return 0;
  }
  balance.step(life - startPeriod);
  balance.book -= balance.dep * startFraction;
  if (balance.book < salvage) return 0;
  balance.step(life - startPeriod);

  if (endPeriod == startPeriod) return finish(balance.dep * (end - start));
  const long double restOfStart = balance.dep * (1 - startFraction);
  if (balance.book - restOfStart < salvage) return finish(restOfStart);
  balance.book -= restOfStart;
  total += restOfStart;

  for (int i = startPeriod + 1; i < endPeriod; ++i) {
    balance.step(life - i);
    if (balance.book - balance.dep < salvage) return finish(balance.dep);
    balance.book -= balance.dep;
    total += balance.dep;
  }
  if (endFraction > 0) {
    balance.step(life - endPeriod);
    return finish(balance.dep * endFraction);
  }
  return total;
}
