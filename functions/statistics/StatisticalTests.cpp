#include "functions/statistics/StatisticalTests.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "functions/CheckedArithmetic.h"
#include "functions/statistics/Distributions.h"
#include "functions/statistics/SpecialFunctions.h"
#include "functions/statistics/Statistics.h"
#include "platform/NumericErrors.h"

namespace {

// The library answers NaN for the root of a negative number (one that
// rounding pushed below zero); the sheet shows it as an invalid operation.
long double rootOf(long double x) {
  if (!(x >= 0)) throw EInvalidOp();
  return std::sqrt(x);
}

long double meanOf(const std::vector<long double>& a) { return arithmeticMean(a, static_cast<int>(a.size())); }

}  // namespace

long double chiSquare(const std::vector<long double>& observed, const std::vector<long double>& expected) {
  if (observed.size() != expected.size() || observed.empty()) throw ERangeError();
  long double sum = 0.0L;
  for (std::size_t i = 0; i < observed.size(); ++i) {
    long double difference = observed[i] - expected[i];
    sum += quotient(difference * difference, expected[i]);
  }
  return sum;
}

long double chiTest(const std::vector<long double>& observed, const std::vector<long double>& expected, int degrees,
                    int itmax) {
  return chiDist(chiSquare(observed, expected), degrees, true, itmax);
}

int chiTestDegrees(int rows, int columns) {
  if (rows < 1 || columns < 1) throw ERangeError();
  std::int64_t degrees = rows > 1 && columns > 1 ? std::int64_t{rows - 1} * (columns - 1)
                                                 : std::int64_t{rows} * columns - 1;
  if (degrees > std::numeric_limits<int>::max()) throw ERangeError();
  return static_cast<int>(degrees);
}

// Twice the F distribution's lower tail at the ratio of the smaller to the
// larger sample variance.
long double fTest(const std::vector<long double>& a, const std::vector<long double>& b, long double eps) {
  long double va = varSample(a), vb = varSample(b);
  long double na = a.size(), nb = b.size();
  long double f, d1, d2;
  if (vb <= va) {
    f = quotient(vb, va);
    d1 = nb - 1;
    d2 = na - 1;
  } else {
    f = quotient(va, vb);
    d1 = na - 1;
    d2 = nb - 1;
  }
  long double lower = incompleteBeta(d1 * f / (d2 + d1 * f), d1 / 2, d2 / 2, eps);
  long double upper = incompleteBeta(d2 / (d1 * f + d2), d2 / 2, d1 / 2, eps);
  return 2.0L - (1.0L - lower + upper);
}

long double tTest(const std::vector<long double>& a, const std::vector<long double>& b, int tails, int type,
                  long double eps) {
  if (tails != 1 && tails != 2) throw ERangeError();
  long double na = a.size(), nb = b.size();
  long double df, s;
  switch (type) {
    case 1: {
      if (a.size() != b.size()) throw ERangeError();
      df = na - 1;
      long double spread = varSample(a) + varSample(b) - 2.0L * covarSample(a, b);
      s = rootOf(spread / na);
      break;
    }
    case 2: {
      df = na + nb - 2;
      long double pooled = ((nb - 1) * varSample(b) + (na - 1) * varSample(a)) / df;
      s = rootOf(pooled * (1.0L / na + 1.0L / nb));
      break;
    }
    case 3: {
      // Welch's approximation; the degrees stay fractional.
      long double qa = varSample(a) / na, qb = varSample(b) / nb;
      df = quotient((qa + qb) * (qa + qb), qb * qb / (nb - 1) + qa * qa / (na - 1));
      s = rootOf(qa + qb);
      break;
    }
    default:
      throw ERangeError();
  }
  long double t = quotient(meanOf(a) - meanOf(b), s);
  return incompleteBeta(df / (t * t + df), df / 2, 0.5L, eps) * 0.5L * tails;
}

long double zTestKnownSigma(const std::vector<long double>& a, long double mu0, long double sigma, int itmax) {
  long double n = a.size();
  return 1.0L - normsCumulative(quotient(std::sqrt(n) * (meanOf(a) - mu0), sigma), itmax);
}

long double zTestSampleSigma(const std::vector<long double>& a, long double mu0, int itmax) {
  long double n = a.size();
  long double deviation = stdevSample(a);
  return 1.0L - normsCumulative(quotient(std::sqrt(n) * (meanOf(a) - mu0), deviation), itmax);
}
