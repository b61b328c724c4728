#pragma once
#include <cstdint>

// Decimal rounding and rounding to a multiple, in extended precision. The one
// decimal rounding of the program: ROUND, ROUNDUP, ROUNDDOWN, TRUNC, INT and
// the number display of every sheet cell go through roundToDigits.
// Invalid arguments raise ERangeError (platform/NumericErrors.h).

// Rounds x at the 10^-digits position (negative digits round to tens,
// hundreds, ...): mode > 0 away from zero, mode < 0 toward zero, mode 0 to
// nearest with a half going to the even neighbour. A zero result is +0.
// digits outside -4931 ... 4931 (beyond extended range) raise ERangeError.
long double roundToDigits(int digits, int mode, long double x);

// ceil(x / step) * step; the quotient must be positive.
long double ceilingToMultiple(long double x, long double step);

// trunc(x / step + 1E-14) * step; the lifted quotient must be positive, so
// floorToMultiple(0, 1) is 0.
long double floorToMultiple(long double x, long double step);

// The multiple of step nearest to x, the sign taken from x; a half goes to
// the even multiple. A zero step raises EZeroDivide.
long double roundToMultiple(long double x, long double step);

// The odd integer at or beyond x, away from zero (0 gives 1, -0.5 gives -1).
// A result outside the signed 32-bit range raises ERangeError.
std::int32_t roundUpToOdd(long double x);

// 1, -1 or 0 for positive, negative and zero (also for NaN).
int signOf(long double x);
