#pragma once

// Arithmetic for the numeric routines that raises the platform's
// floating-point exceptions itself. The units run with their faults masked
// and the maths library answers NaN or infinity without a flag, so without
// these a division by zero or the logarithm of a negative number would
// pass on as a value.

// dividend / divisor: a zero divisor raises EZeroDivide, 0 / 0 EInvalidOp.
long double quotient(long double dividend, long double divisor);

// ln x: x = 0 raises EZeroDivide, a negative x (or NaN) EInvalidOp.
long double naturalLog(long double x);

// ln(1 + x), exact for small x; the faults of naturalLog(1 + x).
long double logOnePlus(long double x);

// e^x: a result beyond the extended range raises EOverflow.
long double exponential(long double x);

// (1 + rate)^periods computed as exp(periods * ln(1 + rate)): a rate of -1
// or below raises EInvalidOp. growthExponent is the ln(1 + rate) of it, for
// callers that need many periods of one rate.
long double growthFactor(long double rate, long double periods);
long double growthExponent(long double rate);

// Powers of one base for many exponents, bit for bit the power rule
// (model/Power.h): the logarithm of a positive base is taken once for all
// exponents that are not whole.
class TPowersOf {
 public:
  explicit TPowersOf(long double base);
  long double operator()(long double exponent) const;

 private:
  long double base_;
  long double logBase_;
};
