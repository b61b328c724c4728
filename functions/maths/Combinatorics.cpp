#include "functions/maths/Combinatorics.h"

#include <algorithm>
#include <cmath>

#include "platform/NumericErrors.h"

namespace {

// first * (first + step) * ... up to last. A product that has left extended
// range stays infinite, so the walk stops there instead of running through
// up to two billion factors.
long double productOf(long long first, long long last, long long step) {
  long double product = 1.0L;
  for (long long factor = first; factor <= last; factor += step) {
    product *= static_cast<long double>(factor);
    if (std::isinf(product)) break;
  }
  return product;
}

// C(n, k) as a running product of (n - m + i) / i over the smaller side m:
// every partial product is itself a binomial coefficient, so nothing
// overflows unless the result does.
long double binomialByRunningProduct(int n, int k) {
  int smaller = std::min(k, n - k);
  long double result = 1.0L;
  for (int i = 1; i <= smaller; ++i) {
    result = result * static_cast<long double>(n - smaller + i) / static_cast<long double>(i);
    if (std::isinf(result)) break;
  }
  return result;
}

}  // namespace

long double permutations(int n, int k) {
  if (n < 1 || k < 0 || k > n) throw ERangeError();
  if (k == 0) return 1.0L;
  return productOf(static_cast<long long>(n) - k + 1, n, 1);
}

long double combinations(int n, int k) {
  if (k == 0) {
    if (n < 0) throw ERangeError();
    return 1.0L;
  }
  // Beyond 1754! the quotient of the two products is infinity over infinity;
  // COMBIN(2000;2000) is still 1. The overflow of the attempt is no fault of
  // the result, and the evaluator would report a flag left pending.
  unsigned callerFlags = floatingPointFlags();
  long double arrangements = permutations(n, k);
  long double orderings = permutations(k, k);
  if (std::isinf(arrangements) || std::isinf(orderings)) {
    restoreFloatingPointFlags(callerFlags);
    return binomialByRunningProduct(n, k);
  }
  return arrangements / orderings;
}

long double factorial(int n) {
  if (n == 0) return 1.0L;
  return permutations(n, n);
}

long double doubleFactorial(int n) {
  if (n < 0) throw ERangeError();
  return productOf(n % 2 == 0 ? 2 : 1, n, 2);
}
