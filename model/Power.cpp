#include "model/Power.h"

#include <cmath>
#include <cstdint>

#include "platform/FloatingPoint.h"
#include "platform/NumericErrors.h"

namespace {

constexpr long double largestSquaredExponent = 2147483647.0L;

// Binary exponentiation: square the base, multiply in the set bits.
long double integralPower(long double base, std::uint32_t exponent) {
  long double result = 1.0L;
  while (exponent != 0) {
    if (exponent & 1u) result *= base;
    exponent >>= 1;
    if (exponent != 0) base *= base;
  }
  return result;
}

}  // namespace

long double power(long double base, long double exponent) {
  if (exponent == 0) return 1.0L;
  if (base == 0) {
    if (exponent > 0) return 0.0L;
    if (exponent < 0) throw EZeroDivide();
  }
  long double result;
  std::int64_t wholeExponent = 0;
  if (std::fabs(exponent) <= largestSquaredExponent &&
      static_cast<long double>(wholeExponent = nearestInt64(exponent)) == exponent) {
    // Only a reciprocal can need the flags as they were: reading them
    // waits for the work in flight.
    const unsigned callerFlags = wholeExponent < 0 ? floatingPointFlags() : 0;
    auto wholeMagnitude = static_cast<std::uint32_t>(std::llabs(wholeExponent));
    long double magnitude = integralPower(base, wholeMagnitude);
    if (wholeExponent >= 0) {
      result = magnitude;
    } else if (std::isinf(magnitude) && std::isfinite(base)) {
      // 2^-20000: the power of the base leaves the range on the way to a
      // reciprocal that is merely tiny, so the reciprocal is raised instead.
      restoreFloatingPointFlags(callerFlags);
      result = integralPower(1.0L / base, wholeMagnitude);
    } else {
      result = 1.0L / magnitude;
    }
  } else {
    // The maths library answers NaN for a negative logarithm without
    // flagging it, so the domain is checked here.
    if (base < 0) throw EInvalidOp();
    result = std::exp(exponent * std::log(base));
  }
  if (std::isinf(result) && std::isfinite(base) && std::isfinite(exponent)) throw EOverflow();
  return result;
}
