#include "model/Rounding.h"

#include <array>
#include <cmath>

#include "model/Power.h"
#include "platform/FloatingPoint.h"
#include "platform/NumericErrors.h"

namespace {

// 10^4931 and 10^-4931 are the widest powers of ten that stay finite, normal
// extended numbers.
constexpr int farthestDecimalPosition = 4931;
// Both tie thresholds are the doubles nearest to these decimals, widened:
// scaled fractions within them count as exactly one half.
constexpr long double tieUpper = 0.500000000000001;
constexpr long double tieLower = 0.499999999999999;
// From 2^63 on every extended number is whole; a scaled value that large
// has no digit left to round.
constexpr long double firstAlwaysWhole = 9223372036854775808.0L;
// Scaling by 10^digits cannot overflow below these bounds; beyond them the
// binary exponent decides.
constexpr int safeScalingDigits = 4000;
constexpr long double safeScalingMagnitude = 1e900L;
constexpr double scalingOverflowExponent = 16000.0;
constexpr double log2Of10 = 3.321928094887362;
// A scaled value this close (relative) to a whole number is that number: two
// to four ulps of a double, room for the error a decimal typed into a double
// brings along and a little arithmetic, so ROUNDUP(1.1;1) stays 1.1.
constexpr long double wholeNumberBand = 0x1p-51L;
constexpr long double floorLift = 1E-14;

long double snapToNearWhole(long double scaled) {
  long double band = scaled * wholeNumberBand;
  if (band >= 0.5L) return scaled;  // too coarse: a genuine half would be lost
  long double nearest = std::floor(scaled + 0.5L);
  return std::fabs(scaled - nearest) <= band ? nearest : scaled;
}

// 10^0 to 10^18, each exact in any precision and so equal to what the power
// routine gives: ROUND's usual digits skip it.
constexpr std::array<long double, 19> wholePowersOfTen = [] {
  std::array<long double, 19> powers{};
  long double value = 1.0L;
  for (long double& place : powers) {
    place = value;
    value *= 10.0L;
  }
  return powers;
}();

// The whole part of a scaled value, 0 <= scaled < 2^63. Most scaled values
// are far below 2^62, where the nearest whole number is at most one above.
std::uint64_t wholePart(long double scaled) {
  if (scaled >= 0x1p62L) return static_cast<std::uint64_t>(scaled);
  std::int64_t nearest = nearestInt64(scaled);
  if (static_cast<long double>(nearest) > scaled) --nearest;
  return static_cast<std::uint64_t>(nearest);
}

long double positiveZeroFor(long double result) { return result == 0 ? 0.0L : result; }

// x / step with the division faults raised, as the hardware would with its
// exceptions unmasked.
long double checkedQuotient(long double x, long double step) {
  if (step == 0) {
    if (x == 0 || std::isnan(x)) throw EInvalidOp();
    throw EZeroDivide();
  }
  return x / step;
}

}  // namespace

long double roundToDigits(int digits, int mode, long double x) {
  if (digits > farthestDecimalPosition || digits < -farthestDecimalPosition) throw ERangeError();
  if (std::isnan(x)) return x;
  if (x == 0) return 0.0L;
  if (digits > 0 && (digits > safeScalingDigits || std::fabs(x) >= safeScalingMagnitude) &&
      std::ilogb(x) + digits * log2Of10 > scalingOverflowExponent)
    return x;

  long double scale = digits >= 0 && digits < static_cast<int>(wholePowersOfTen.size())
                          ? wholePowersOfTen[static_cast<std::size_t>(digits)]
                          : power(10.0L, digits);
  long double sign = x > 0 ? 1.0L : -1.0L;
  long double scaled = std::fabs(x) * scale;
  if (scaled >= firstAlwaysWhole) return sign * scaled / scale;
  if (mode != 0) scaled = snapToNearWhole(scaled);

  std::uint64_t whole = wholePart(scaled);
  long double fraction = scaled - static_cast<long double>(whole);
  if (mode > 0) {
    if (fraction > 0) ++whole;
  } else if (mode == 0) {
    // Round half to even, a half being anything inside the tie band.
    if (fraction > tieUpper) {
      ++whole;
    } else if (fraction >= tieLower && (whole & 1u) != 0) {
      ++whole;
    }
  }
  return positiveZeroFor(sign * static_cast<long double>(whole) / scale);
}

long double ceilingToMultiple(long double x, long double step) {
  long double quotient = checkedQuotient(x, step);
  if (!(quotient > 0)) throw ERangeError();
  // The count stays in extended precision: CEILING(3E9;1) is 3E9.
  return std::ceil(quotient) * step;
}

long double floorToMultiple(long double x, long double step) {
  long double quotient = checkedQuotient(x, step) + floorLift;
  if (!(quotient > 0)) throw ERangeError();
  return std::trunc(quotient) * step;
}

long double roundToMultiple(long double x, long double step) {
  if (step == 0) throw EZeroDivide();
  long double count = roundToDigits(0, 0, std::fabs(x / step));
  return positiveZeroFor(signOf(x) * std::fabs(step) * count);
}

std::int32_t roundUpToOdd(long double x) {
  constexpr long double largestResult = 2147483647.0L;
  long double magnitude = std::ceil(std::fabs(x));
  if (!(magnitude <= largestResult)) throw ERangeError();  // also NaN
  std::int32_t odd = static_cast<std::int32_t>(magnitude);
  if (odd % 2 == 0) ++odd;
  return x < 0 ? -odd : odd;
}

int signOf(long double x) {
  if (x > 0) return 1;
  if (x < 0) return -1;
  return 0;
}
