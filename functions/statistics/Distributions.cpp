#include "functions/statistics/Distributions.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "functions/CheckedArithmetic.h"
#include "functions/maths/Combinatorics.h"
#include "functions/FaultWatch.h"
#include "functions/statistics/SpecialFunctions.h"
#include "model/Power.h"
#include "platform/NumericErrors.h"

namespace {

constexpr long double squareRootTwo = 1.41421356237309504880168872420969807857L;
constexpr long double squareRootTwoPi = 2.50662827463100050241576528481104525301L;
constexpr long double pi = 3.14159265358979323846264338327950288420L;

bool isProbability(long double p) { return p >= 0.0L && p <= 1.0L; }

// Counts formed from two counts (N - K, f + s - 1) must stay signed 32-bit
// values, as the combinatorial routines take them.
int countOf(std::int64_t value) {
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) throw ERangeError();
  return static_cast<int>(value);
}

// The terms of the cumulative sums grow through products that overflow: a
// factor that is no longer finite ends the sum (it would otherwise run on to
// k, possibly billions of terms).
long double finiteFactor(long double value) {
  if (!std::isfinite(value)) throw EOverflow();
  return value;
}

long double binomialTerm(int i, int n, long double p) {
  long double count = finiteFactor(combinations(n, i));
  long double successes = power(p, i);
  long double term = count * successes * power(1.0L - p, static_cast<long double>(n) - i);
  return finiteFactor(term);
}

long double poissonTerm(int i, long double mean, long double expMinusMean) {
  long double numerator = power(mean, i) * expMinusMean;
  return numerator / finiteFactor(factorial(i));
}

// ln(mean^i e^-mean / i!), finite where the power and the factorial are not.
long double logPoissonTerm(long double i, long double mean) {
  return i * std::log(mean) - mean - gammaLn(i + 1.0L);
}

// Neighbouring terms are in the ratio mean / i, so a sum may run from its
// largest term away from the centre, scaled by that term, until the terms no
// longer reach the last digit: the work grows with the spread of the
// distribution (its square root), not with k.
constexpr long double negligibleShare = 1e-22L;

long double poissonCumulativeInLogarithms(int k, long double mean) {
  if (mean == 0.0L) return 1.0L;
  long double share = 1.0L, sum = 1.0L;
  if (k >= mean) {
    // P(X <= k) = 1 - P(X > k), whose terms fall from k + 1 on.
    for (long double i = k + 2.0L; share >= negligibleShare * sum; i += 1.0L) {
      share *= mean / i;
      sum += share;
    }
    return 1.0L - std::exp(logPoissonTerm(k + 1.0L, mean)) * sum;
  }
  // Below the mean the terms rise up to k.
  for (long double i = k; i > 0 && share >= negligibleShare * sum; i -= 1.0L) {
    share *= i / mean;
    sum += share;
  }
  return std::exp(logPoissonTerm(k, mean)) * sum;
}

}  // namespace

long double normCumulative(long double x, long double mu, long double sigma, int itmax) {
  return (erf(quotient(x - mu, squareRootTwo * sigma), itmax) + 1.0L) * 0.5L;
}

long double normDensity(long double x, long double mu, long double sigma) {
  long double exponent = -quotient((x - mu) * (x - mu), 2.0L * sigma * sigma);
  return std::exp(exponent) / (squareRootTwoPi * sigma);
}

long double normDist(long double x, long double mu, long double sigma, bool cumulative, int itmax) {
  return cumulative ? normCumulative(x, mu, sigma, itmax) : normDensity(x, mu, sigma);
}

long double normsDist(long double z, bool cumulative, int itmax) {
  return cumulative ? normsCumulative(z, itmax) : normsDensity(z);
}

long double normInv(long double p, long double mu, long double sigma) {
  if (sigma < 0) throw ERangeError();
  return normsInv(p) * sigma + mu;
}

long double standardize(long double x, long double mu, long double sigma) {
  if (!(sigma > 0)) throw ERangeError();
  return (x - mu) / sigma;
}

// The density is that of x itself, phi(z) / (x sigma): the standard normal
// density of z alone would not integrate to 1 over x.
long double logNormDist(long double x, long double mu, long double sigma, bool cumulative, int itmax) {
  long double z = quotient(naturalLog(x) - mu, sigma);
  if (cumulative) return normsCumulative(z, itmax);
  return normsDensity(z) / (x * sigma);
}

long double logInv(long double p, long double mu, long double sigma) {
  return exponential(normsInv(p) * sigma + mu);
}

long double confidence(long double alpha, long double sigma, int n) {
  if (!(alpha > 0.0L && alpha < 1.0L) || !(sigma > 0) || n < 1) throw ERangeError();
  return normsInv(1.0L - alpha / 2.0L) * sigma / std::sqrt(static_cast<long double>(n));
}

long double binomProbability(int k, int n, long double p) {
  if (!isProbability(p)) throw ERangeError();
  return binomialTerm(k, n, p);
}

long double binomCumulative(int k, int n, long double p) {
  if (!isProbability(p)) throw ERangeError();
  long double sum = 0.0L;
  for (int i = 0; i <= k; ++i) sum += binomialTerm(i, n, p);
  return sum;
}

long double binomDist(int k, int n, long double p, bool cumulative) {
  return cumulative ? binomCumulative(k, n, p) : binomProbability(k, n, p);
}

// Growing the cumulative sum term by term adds exactly what a fresh
// binomCumulative(k, ...) adds, in the same order, without its quadratic cost.
int critBinom(int n, long double p, long double alpha) {
  if (n < 0 || !isProbability(alpha) || !isProbability(p)) throw ERangeError();
  long double cumulative = 0.0L;
  for (int k = 0; k <= n; ++k) {
    cumulative += binomialTerm(k, n, p);
    if (cumulative >= alpha) return k;
  }
  return n;
}

// A p outside 0 ... 1 would give negative "probabilities".
long double negBinomDist(int failures, int successes, long double p) {
  if (!isProbability(p)) throw ERangeError();
  long double count = combinations(countOf(std::int64_t{failures} + successes - 1), countOf(std::int64_t{successes} - 1));
  long double successPart = power(p, successes);
  return count * successPart * power(1.0L - p, failures);
}

// A negative mean would give probabilities above 1 or below 0.
long double poissonProbability(int k, long double mean) {
  if (mean < 0) throw ERangeError();
  return directOrLogarithmic([&] { return poissonTerm(k, mean, std::exp(-mean)); },
                             [&] { return mean == 0.0L ? 0.0L : std::exp(logPoissonTerm(k, mean)); });
}

long double poissonCumulative(int k, long double mean) {
  if (k < 0 || mean < 0) throw ERangeError();
  auto direct = [&] {
    long double expMinusMean = std::exp(-mean);
    long double sum = expMinusMean;
    for (int i = 1; i <= k; ++i) sum += poissonTerm(i, mean, expMinusMean);
    return sum;
  };
  return directOrLogarithmic(direct, [&] { return poissonCumulativeInLogarithms(k, mean); });
}

long double poisson(int k, long double mean, bool cumulative) {
  return cumulative ? poissonCumulative(k, mean) : poissonProbability(k, mean);
}

long double hypGeomProbability(int sampleSuccesses, int sampleSize, int populationSuccesses, int populationSize) {
  long double chosen = finiteFactor(combinations(populationSuccesses, sampleSuccesses));
  long double others = finiteFactor(combinations(countOf(std::int64_t{populationSize} - populationSuccesses),
                                                 countOf(std::int64_t{sampleSize} - sampleSuccesses)));
  long double all = finiteFactor(combinations(populationSize, sampleSize));
  return chosen * others / all;
}

long double hypGeomCumulative(int sampleSuccesses, int sampleSize, int populationSuccesses, int populationSize) {
  long double sum = 0.0L;
  for (int i = 0; i <= sampleSuccesses; ++i)
    sum += hypGeomProbability(i, sampleSize, populationSuccesses, populationSize);
  return sum;
}

long double hypGeomDist(int sampleSuccesses, int sampleSize, int populationSuccesses, int populationSize,
                        bool cumulative) {
  return cumulative ? hypGeomCumulative(sampleSuccesses, sampleSize, populationSuccesses, populationSize)
                    : hypGeomProbability(sampleSuccesses, sampleSize, populationSuccesses, populationSize);
}

long double exponCumulative(long double x, long double lambda) {
  if (!(x >= 0) || !(lambda >= 0)) throw ERangeError();
  return 1.0L - std::exp(-lambda * x);
}

long double exponDensity(long double x, long double lambda) {
  if (!(x >= 0) || !(lambda >= 0)) throw ERangeError();
  return lambda * std::exp(-lambda * x);
}

long double exponDist(long double x, long double lambda, bool cumulative) {
  return cumulative ? exponCumulative(x, lambda) : exponDensity(x, lambda);
}

long double exponInv(long double p, long double lambda) {
  if (!isProbability(p) || !(lambda >= 0)) throw ERangeError();
  return quotient(-naturalLog(1.0L - p), lambda);
}

long double gammaDensity(long double x, long double alpha, long double beta) {
  auto direct = [&] {
    long double numerator = power(x, alpha - 1.0L) * std::exp(-quotient(x, beta));
    long double denominator = gamma(alpha) * power(beta, alpha);
    return quotient(numerator, denominator);
  };
  // Only positive arguments have the logarithmic form; the others keep the
  // direct form's own failure.
  if (!(x > 0 && alpha > 0 && beta > 0)) return direct();
  return directOrLogarithmic(direct, [&] {
    return std::exp((alpha - 1.0L) * std::log(x) - x / beta - gammaLn(alpha) - alpha * std::log(beta));
  });
}

long double gammaDist(long double x, long double alpha, long double beta, bool cumulative, int itmax) {
  if (cumulative) return incompleteGammaP(alpha, quotient(x, beta), itmax);
  return gammaDensity(x, alpha, beta);
}

long double chiDist(long double x, int degrees, bool cumulative, int itmax) {
  if (degrees < 1) throw ERangeError();
  long double half = degrees / 2.0L;
  if (cumulative) return x < 0 ? 0.0L : 1.0L - incompleteGammaP(half, x / 2.0L, itmax);
  if (x < 0) throw ERangeError();
  long double numerator = power(x, half - 1.0L) * std::exp(-x / 2.0L);
  return quotient(numerator, gamma(half) * power(2.0L, half));
}

long double chiInv(long double p, int degrees, long double eps, int itmax) {
  if (degrees < 1) throw ERangeError();
  return gammaInv(1.0L - p, degrees / 2.0L, 2.0L, eps, itmax);
}

long double betaDensity(long double x, long double a, long double b) {
  long double numerator = power(x, a - 1.0L) * power(1.0L - x, b - 1.0L);
  return quotient(numerator, betaFunction(a, b));
}

long double betaDist(long double x, long double a, long double b, bool cumulative, long double eps) {
  return cumulative ? incompleteBeta(x, a, b, eps) : betaDensity(x, a, b);
}

long double fCumulative(long double x, int d1, int d2, long double eps) {
  if (!(x >= 0) || d1 < 1 || d2 < 1) throw ERangeError();
  return incompleteBeta(d1 * x / (d2 + d1 * x), d1 / 2.0L, d2 / 2.0L, eps);
}

long double fDensity(long double x, int d1, int d2) {
  if (!(x >= 0) || d1 < 1 || d2 < 1) throw ERangeError();
  long double h1 = d1 / 2.0L, h2 = d2 / 2.0L;
  long double numerator = gamma(h1 + h2) * power(d1, h1) * power(d2, h2) * power(x, h1 - 1.0L);
  long double denominator = gamma(h1) * gamma(h2) * power(d1 * x + d2, h1 + h2);
  return quotient(numerator, denominator);
}

long double fDist(long double x, int d1, int d2, bool cumulative, long double eps) {
  return cumulative ? fCumulative(x, d1, d2, eps) : fDensity(x, d1, d2);
}

long double fInv(long double q, int d1, int d2, long double eps, int itmax) {
  if (d1 < 1 || d2 < 1) throw ERangeError();
  long double b = betaInv(q, d1 / 2.0L, d2 / 2.0L, eps, itmax);
  // The end of the search lies beyond every number (q rounded to 1).
  if (b == 1.0L) throw EIntOverflow();
  return quotient(d2 * b, d1 * (1.0L - b));
}

long double tCumulative(long double x, int degrees, long double eps) {
  if (degrees < 1) throw ERangeError();
  return 1.0L - incompleteBeta(degrees / (x * x + degrees), degrees / 2.0L, 0.5L, eps);
}

long double tDensity(long double x, int degrees) {
  if (degrees < 1) throw ERangeError();
  long double nu = degrees;
  long double scale = gamma((nu + 1.0L) / 2.0L) / (std::sqrt(nu * pi) * gamma(nu / 2.0L));
  return scale * power(x * x / nu + 1.0L, -(nu + 1.0L) / 2.0L);
}

long double tDist(long double x, int degrees, bool cumulative, long double eps) {
  return cumulative ? tCumulative(x, degrees, eps) : tDensity(x, degrees);
}

long double tInv(long double q, int degrees, long double eps, int itmax) {
  if (degrees < 1) throw ERangeError();
  long double b = betaInv(1.0L - q, degrees / 2.0L, 0.5L, eps, itmax);
  // The end of the search lies beyond every number (1 - q rounded to 0).
  if (b == 0.0L) throw EIntOverflow();
  return std::sqrt((quotient(1.0L, b) - 1.0L) * degrees);
}

namespace {
void requireWeibullParameters(long double alpha, long double beta) {
  if (!(alpha > 0) || !(beta > 0)) throw ERangeError();
}
}  // namespace

long double weibullCumulative(long double x, long double alpha, long double beta) {
  if (!(x >= 0)) throw ERangeError();
  requireWeibullParameters(alpha, beta);
  return 1.0L - std::exp(-power(x / beta, alpha));
}

long double weibullDensity(long double x, long double alpha, long double beta) {
  if (!(x >= 0)) throw ERangeError();
  requireWeibullParameters(alpha, beta);
  long double scale = alpha / power(beta, alpha) * power(x, alpha - 1.0L);
  return scale * std::exp(-power(x / beta, alpha));
}

long double weibull(long double x, long double alpha, long double beta, bool cumulative) {
  return cumulative ? weibullCumulative(x, alpha, beta) : weibullDensity(x, alpha, beta);
}

long double weibullInv(long double p, long double alpha, long double beta) {
  if (!isProbability(p)) throw ERangeError();
  requireWeibullParameters(alpha, beta);
  long double scaled = -power(beta, alpha) * naturalLog(1.0L - p);
  return power(scaled, 1.0L / alpha);
}

long double fisher(long double x) { return 0.5L * naturalLog(quotient(1.0L + x, 1.0L - x)); }

long double hyperbolicTangent(long double x) {
  long double e = exponential(2.0L * x);
  return (e - 1.0L) / (e + 1.0L);
}
