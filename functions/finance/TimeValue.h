#pragma once

// Annuities and interest rates. Money paid out is negative, money received
// positive; the annuity equation is
//   pv * (1 + rate)^nper + pmt * (1 + rate * type) * ((1 + rate)^nper - 1) / rate + fv = 0
// with type 0 for payments at the end of each period and 1 at the beginning.
// Invalid arguments raise ERangeError; a rate of -1 or below EInvalidOp.

// Most periods the cumulative routines sum; a longer span raises ERangeError.
constexpr int maxCumulativePeriods = 100000;

long double presentValue(int nper, int type, long double rate, long double pmt, long double fv);
long double futureValue(int nper, int type, long double rate, long double pmt, long double pv);
// There is no zero-rate form: a rate of 0 raises EInvalidOp.
long double payment(int nper, int type, long double rate, long double pv, long double fv);
// Does not check per against nper, so interest is also given past the last period.
long double interestPayment(int per, int nper, int type, long double rate, long double pv, long double fv);
long double principalPayment(int per, int nper, int type, long double rate, long double pv, long double fv);
long double periodCount(int type, long double rate, long double pmt, long double pv, long double fv);
// The rate solving the annuity equation, by a secant search from guess that
// ends when successive equation values differ by no more than tolerance;
// ERangeError when cap steps do not get there.
long double loanRate(int nper, int type, int cap, long double pmt, long double pv, long double fv,
                     long double guess, long double tolerance);
// Interest and principal paid over periods start to end.
long double cumulativeInterest(int nper, int start, int end, int type, long double rate, long double pv);
long double cumulativePrincipal(int nper, int start, int end, int type, long double rate, long double pv);
long double effectiveRate(int n, long double rate);
long double nominalRate(int n, long double rate);

// Prices quoted in fractions: 1.02 with fraction 16 is 1 + 2/16.
long double dollarDecimal(int fraction, long double price);
long double dollarFraction(int fraction, long double price);
