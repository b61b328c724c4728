#pragma once

#include <cmath>

#include "platform/NumericErrors.h"

// Secant search for a root of f, started at guess and guess + 0.01. The
// search ends when two successive function values differ by no more than
// tolerance, answering the latest point (the loan-rate, bond-yield and
// dated-rate searches all stop that way); when cap steps do not get there it
// raises ERangeError.
template <class Function>
long double secantRoot(Function f, long double guess, int cap, long double tolerance) {
  constexpr long double secondPointOffset = 0.01L;
  long double x0 = guess;
  long double x1 = guess + secondPointOffset;
  long double f0 = f(x0);
  long double f1 = f(x1);
  for (int step = 0; step < cap; ++step) {
    if (std::fabs(f0 - f1) <= tolerance) return x1;
    const long double x2 = (x0 * f1 - x1 * f0) / (f1 - f0);
    x0 = x1;
    f0 = f1;
    x1 = x2;
    f1 = f(x2);
  }
  throw ERangeError();
}
