#pragma once
#include <span>

// Horner evaluation of c[0] x^n + c[1] x^(n-1) + ... + c[n] (highest power
// first). A degree of 0 or less gives c[0]; a degree beyond the coefficients
// given, or no coefficient at all, raises ERangeError.
long double polyEval(std::span<const long double> coefficients, int degree, long double x);
