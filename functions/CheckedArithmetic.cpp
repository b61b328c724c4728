#include "functions/CheckedArithmetic.h"

#include <cmath>

#include "model/Power.h"
#include "platform/NumericErrors.h"

long double quotient(long double dividend, long double divisor) {
  if (divisor == 0) {
    if (dividend == 0 || std::isnan(dividend)) throw EInvalidOp();
    throw EZeroDivide();
  }
  return dividend / divisor;
}

long double naturalLog(long double x) {
  if (x == 0) throw EZeroDivide();
  if (!(x > 0)) throw EInvalidOp();
  return std::log(x);
}

long double exponential(long double x) {
  if (std::isnan(x)) throw EInvalidOp();
  long double result = std::exp(x);
  if (std::isinf(result)) throw EOverflow();
  return result;
}

long double logOnePlus(long double x) {
  if (x == -1) throw EZeroDivide();
  if (!(x > -1)) throw EInvalidOp();
  // log1p keeps the digits of small x that 1 + x would round away.
  return std::log1p(x);
}

long double growthExponent(long double rate) {
  if (!(rate > -1)) throw EInvalidOp();
  return logOnePlus(rate);
}

long double growthFactor(long double rate, long double periods) { return exponential(periods * growthExponent(rate)); }

TPowersOf::TPowersOf(long double base) : base_(base), logBase_(base > 0 ? std::log(base) : 0) {}

long double TPowersOf::operator()(long double exponent) const {
  // Whole exponents are squared out as the power rule does; only the others
  // reuse the logarithm, which is exactly the rule's exp(e * ln b).
  if (!(base_ > 0) || exponent == std::trunc(exponent)) return power(base_, exponent);
  return exponential(exponent * logBase_);
}
