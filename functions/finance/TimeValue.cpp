#include "functions/finance/TimeValue.h"

#include <cmath>

#include "functions/CheckedArithmetic.h"
#include "functions/finance/SecantSearch.h"
#include "model/Power.h"
#include "platform/NumericErrors.h"

namespace {
// Below this size a rate takes the annuity's limit form at zero.
constexpr long double nearZeroRate = 1e-10L;

void checkType(int type) {
  if (type != 0 && type != 1) throw ERangeError();
}

long double annuityFutureValue(int nper, int type, long double rate, long double exponent, long double pmt,
                               long double pv) {
  const long double g = exponential(nper * exponent);
  if (std::fabs(rate) < nearZeroRate) return -pmt * nper * (1 + rate * (nper - 1) / 2) * (1 + rate * type) - pv * g;
  return (type + 1 / rate) * pmt * (1 - g) - g * pv;
}

// The interest share of period per, given the payment p of the loan paid at
// the end of each period.
long double interestGivenPayment(int per, int type, long double rate, long double exponent, long double pv,
                                 long double p) {
  return annuityFutureValue(per - 1, 0, rate, exponent, p, pv) * rate / (1 + rate * type);
}

void checkCumulativeSpan(int nper, int start, int end, int type, long double rate, long double pv) {
  if (!(rate > 0) || !(pv > 0) || nper < 1 || start < 1 || end < 1 || end < start) throw ERangeError();
  checkType(type);
  if (end - start >= maxCumulativePeriods) throw ERangeError();
}

// fraction / 10^d for the smallest d with 10^d >= fraction: 16 scales to
// 0.16, 8 to 0.8, and the powers of ten to 1 (so they leave a price as it is).
long double fractionScale(int fraction) {
  if (fraction < 0) throw ERangeError();
  if (fraction == 0) return 0;
  long double tenPower = 1;
  while (tenPower < fraction) tenPower *= 10;
  return fraction / tenPower;
}
}  // namespace

long double presentValue(int nper, int type, long double rate, long double pmt, long double fv) {
  if (nper < 1) throw ERangeError();
  checkType(type);
  if (std::fabs(rate) <= nearZeroRate) return -(fv + nper * pmt * (1 + rate * type)) / (1 + rate * nper);
  const long double g = growthFactor(rate, nper);
  return quotient((1 - g) * pmt * (type + 1 / rate) - fv, g);
}

long double futureValue(int nper, int type, long double rate, long double pmt, long double pv) {
  if (nper < 0) throw ERangeError();
  checkType(type);
  return annuityFutureValue(nper, type, rate, growthExponent(rate), pmt, pv);
}

long double payment(int nper, int type, long double rate, long double pv, long double fv) {
  if (nper < 1) throw ERangeError();
  checkType(type);
  const long double g = growthFactor(rate, nper);
  return quotient(rate * (fv + g * pv), (1 - g) * (1 + rate * type));
}

long double interestPayment(int per, int nper, int type, long double rate, long double pv, long double fv) {
  if (per < 1) throw ERangeError();
  checkType(type);
  // The first payment in advance carries no interest.
  if (type == per) return 0;
  const long double p = payment(nper, 0, rate, pv, fv);
  return interestGivenPayment(per, type, rate, growthExponent(rate), pv, p);
}

long double principalPayment(int per, int nper, int type, long double rate, long double pv, long double fv) {
  if (per < 1 || nper < per || nper < 1) throw ERangeError();
  checkType(type);
  return payment(nper, type, rate, pv, fv) - interestPayment(per, nper, type, rate, pv, fv);
}

long double periodCount(int type, long double rate, long double pmt, long double pv, long double fv) {
  checkType(type);
  const long double p = pmt * (1 + rate * type);
  if (std::fabs(rate) <= nearZeroRate) return quotient(-(pv + fv), p + rate * pv);
  return quotient(naturalLog(quotient(p - fv * rate, p + rate * pv)), logOnePlus(rate));
}

long double loanRate(int nper, int type, int cap, long double pmt, long double pv, long double fv,
                     long double guess, long double tolerance) {
  if (nper < 1) throw ERangeError();
  checkType(type);
  auto balance = [=](long double r) {
    if (std::fabs(r) < tolerance) return fv + nper * pmt * (1 + r * type) + pv * (1 + r * nper);
    const long double g = growthFactor(r, nper);
    return fv + (g - 1) * pmt * (type + 1 / r) + g * pv;
  };
  return secantRoot(balance, guess, cap, tolerance);
}

long double cumulativeInterest(int nper, int start, int end, int type, long double rate, long double pv) {
  checkCumulativeSpan(nper, start, end, type, rate, pv);
  const long double p = payment(nper, 0, rate, pv, 0);
  const long double exponent = growthExponent(rate);
  long double total = 0;
  for (int per = start; per <= end; ++per) {
    if (per != type) total += interestGivenPayment(per, type, rate, exponent, pv, p);
  }
  return total;
}

long double cumulativePrincipal(int nper, int start, int end, int type, long double rate, long double pv) {
  checkCumulativeSpan(nper, start, end, type, rate, pv);
  if (end > nper) throw ERangeError();
  const long double p = payment(nper, 0, rate, pv, 0);
  const long double paid = payment(nper, type, rate, pv, 0);
  const long double exponent = growthExponent(rate);
  long double total = 0;
  for (int per = start; per <= end; ++per) {
    total += paid - (per != type ? interestGivenPayment(per, type, rate, exponent, pv, p) : 0);
  }
  return total;
}

long double effectiveRate(int n, long double rate) {
  if (!(rate > 0) || n < 1) throw ERangeError();
  return power(1 + rate / n, n) - 1;
}

long double nominalRate(int n, long double rate) {
  if (!(rate > 0) || n < 1) throw ERangeError();
  return n * (power(1 + rate, 1.0L / n) - 1);
}

long double dollarDecimal(int fraction, long double price) {
  const long double scale = fractionScale(fraction);
  const long double whole = std::trunc(price);
  return whole + quotient(price - whole, scale);
}

long double dollarFraction(int fraction, long double price) {
  const long double scale = fractionScale(fraction);
  const long double whole = std::trunc(price);
  return whole + (price - whole) * scale;
}
