#pragma once

// The power rule that every sheet function follows: x^0 is 1 (also 0^0);
// 0 to a positive power is 0; an integral exponent of magnitude at most
// 2147483647 is applied by repeated squaring (a negative base is allowed, a
// negative exponent takes the reciprocal); any other power is
// e^(exponent * ln base).
// Raises EZeroDivide for 0 to a negative power, EInvalidOp for a negative
// base with a fractional exponent and EOverflow for a finite power too large
// for extended precision.
long double power(long double base, long double exponent);
