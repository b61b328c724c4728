#pragma once

// Gamma, beta, incomplete gamma and beta, error function and the standard
// normal distribution, in extended precision. Invalid arguments raise
// ERangeError, a bisection that runs out of steps EIntOverflow; poles,
// logarithms of non-positive numbers and overflow raise the floating-point
// exceptions (CheckedArithmetic.h). Accuracies eps and iteration limits itmax come
// from the callers (the sheet passes 1E-10 and 10000).

long double gamma(long double x);
long double gammaLn(long double x);
long double betaFunction(long double a, long double b);

// Series of the regularised lower incomplete gamma function; n receives the
// index of the last term (itmax + 1 when the series did not settle).
long double incompleteGammaSeries(long double a, long double x, int itmax, int& n);
// P(a, x); 0 for x < 0 and 1 when the series does not settle within itmax terms.
long double incompleteGammaP(long double a, long double x, int itmax);
long double erf(long double x, int itmax);

// Raises EIntOverflow when the fraction has not settled within its steps.
long double betaContinuedFraction(long double x, long double a, long double b, long double eps);
// Regularised I_x(a, b); x outside 0 ... 1 raises ERangeError.
long double incompleteBeta(long double x, long double a, long double b, long double eps);
// The x in 0 ... 1 with I_x(a, b) = p, by bisection (p = 0 and 1 give 0 and
// 1); EIntOverflow when the search runs out of steps or closes in on 0 or 1.
long double betaInv(long double p, long double a, long double b, long double eps, int itmax);
// The x with P(alpha, x / beta) = p, by bracketing and bisection;
// EIntOverflow when either runs out of steps.
long double gammaInv(long double p, long double alpha, long double beta, long double eps, int itmax);

long double normsCumulative(long double z, int itmax);
long double normsDensity(long double z);
long double normsInv(long double p);
