#include "functions/statistics/SpecialFunctions.h"

#include <cmath>

#include "functions/CheckedArithmetic.h"
#include "functions/maths/Polynomial.h"
#include "model/Power.h"
#include "platform/NumericErrors.h"

namespace {

constexpr long double halfLnTwoPi = 0.918938533204672741780329736405617639861L;
constexpr long double squareRootTwo = 1.41421356237309504880168872420969807857L;
constexpr long double squareRootTwoPi = 2.50662827463100050241576528481104525301L;
constexpr long double stirlingShift = 10.0L;
// Gamma of arguments up to here stays far inside the extended range
// (Gamma(1700) is about 1E4755, the range ends near 1E4932).
constexpr long double largestDirectGammaArgument = 1700.0L;
constexpr int bracketSteps = 30000;
constexpr int continuedFractionSteps = 100;

// Stirling's series for ln Gamma(y), y >= 10, with nine Bernoulli terms; the
// recurrence Gamma(x) = Gamma(x + k) / (x (x + 1) ... (x + k - 1)) brings
// smaller arguments there. ln Gamma(x) = series - ln(product).
struct TStirlingParts {
  long double series;
  long double product;
};

TStirlingParts stirlingParts(long double x) {
  // The coefficients B(2k) / (2k (2k - 1)), held as doubles.
  static const double coefficients[9] = {1.0 / 12,   -1.0 / 360,        1.0 / 1260,
                                         -1.0 / 1680, 1.0 / 1188,        -691.0 / 360360,
                                         1.0 / 156,  -3617.0 / 122400, 43867.0 / 244188};
  long double y = x, product = 1.0L;
  while (y < stirlingShift) {
    product *= y;
    y += 1.0L;
    // A very negative x would take as many steps as its magnitude (and for
    // |x| >= 2^64 the step no longer moves y): the product overflows long
    // before, which ends the walk.
    if (!std::isfinite(product)) throw EOverflow();
  }
  long double series = (y - 0.5L) * std::log(y) - y + halfLnTwoPi;
  long double ySquared = y * y, yPower = y;
  for (double c : coefficients) {
    series += c / yPower;
    yPower *= ySquared;
  }
  return {series, product};
}

// ln |Gamma(x)| with the sign of Gamma(x) in sign.
long double logAbsGamma(long double x, int& sign) {
  TStirlingParts parts = stirlingParts(x);
  if (parts.product == 0.0L) throw EZeroDivide();
  sign = parts.product < 0 ? -1 : 1;
  return parts.series - std::log(std::fabs(parts.product));
}

// x^a e^-x / Gamma(a), the factor in front of the incomplete gamma series.
// In logarithms the factor stays finite where x^a and Gamma(a) on their own
// leave the extended range (chi-square with thousands of degrees).
long double gammaSeriesFactor(long double a, long double x) {
  if (a > 0 && x > 0) return std::exp(a * std::log(x) - x - gammaLn(a));
  return quotient(power(x, a) * std::exp(-x), gamma(a));
}

// P(alpha, x) for the inverse search: a series that does not settle is a
// failed search.
long double settledGammaP(long double alpha, long double x, int itmax) {
  int n = 0;
  long double sum = incompleteGammaSeries(alpha, x, itmax, n);
  if (n >= itmax) throw EIntOverflow();
  return gammaSeriesFactor(alpha, x) * sum;
}

// Moshier's rational approximation of the inverse normal (Cephes ndtri):
// coefficients highest power first.
const long double centralP[5] = {-59.963350101410789L, 98.001075418599967L, -56.676285746907027L,
                                 13.931260938727968L, -1.2391658386738125L};
const long double centralQ[9] = {1.0L,
                                 1.9544885833814176L,
                                 4.6762791289888153L,
                                 86.360242139089053L,
                                 -225.46268785411937L,
                                 200.26021238006066L,
                                 -82.037225616833339L,
                                 15.90562251262117L,
                                 -1.1833162112133L};
const long double nearTailP[9] = {4.0554489230596245L,   31.525109459989388L,    57.162819224642128L,
                                  44.080507389320083L,   14.684956192885803L,    2.1866330685079025L,
                                  -0.14025607917135449L, -0.035042462682784818L, -0.00085745678515468545L};
const long double nearTailQ[9] = {1.0L,
                                  15.779988325646675L,
                                  45.390763512887922L,
                                  41.317203825467203L,
                                  15.04253856929075L,
                                  2.5046494620830941L,
                                  -0.14218292285478779L,
                                  -0.038080640769157827L,
                                  -0.00093325948089545744L};
const long double farTailP[9] = {3.2377489177694603L,    6.9152288906898418L,     3.9388102529247444L,
                                 1.3330346081580755L,    0.20148538954917908L,    0.012371663481782003L,
                                 0.00030158155350823543L, 2.6580697468673755E-06L, 6.2397453918498331E-09L};
const long double farTailQ[9] = {1.0L,
                                 6.02427039364742L,
                                 3.6798356385616087L,
                                 1.3770209948908132L,
                                 0.21623699359449663L,
                                 0.013420400608854318L,
                                 0.00032801446468212774L,
                                 2.8924786474538068E-06L,
                                 6.7901940800998127E-09L};
constexpr long double expMinusTwo = 0.135335283236612691893999494972484403L;
constexpr long double farTailStart = 8.0L;

}  // namespace

// Stirling's series after the upward recurrence.
long double gamma(long double x) {
  TStirlingParts parts = stirlingParts(x);
  return quotient(exponential(parts.series), parts.product);
}

// The same series kept in logarithms, so that arguments whose Gamma leaves
// the extended range (x >= 1755 or so) still have a logarithm.
long double gammaLn(long double x) {
  TStirlingParts parts = stirlingParts(x);
  return parts.series - naturalLog(parts.product);
}

long double betaFunction(long double a, long double b) {
  if (a <= largestDirectGammaArgument && b <= largestDirectGammaArgument && a + b <= largestDirectGammaArgument)
    return gamma(a) * gamma(b) / gamma(a + b);
  int signA = 1, signB = 1, signSum = 1;
  long double logarithm = logAbsGamma(a, signA) + logAbsGamma(b, signB) - logAbsGamma(a + b, signSum);
  return signA * signB * signSum * std::exp(logarithm);
}

// Series of the lower incomplete gamma function; stops when the geometric
// bound of the remaining terms falls below 1E-10 of the sum.
long double incompleteGammaSeries(long double a, long double x, int itmax, int& n) {
  constexpr long double relativeBound = 1e10L;
  long double term = quotient(1.0L, a);
  long double sum = term;
  long double c = x * relativeBound, d = x - a;
  n = 1;
  while (n <= itmax) {
    term = quotient(term * x, a + n);
    sum += term;
    if (n > c * term / sum + d) break;
    ++n;
  }
  return sum;
}

long double incompleteGammaP(long double a, long double x, int itmax) {
  if (x < 0) return 0.0L;
  int n = 0;
  long double sum = incompleteGammaSeries(a, x, itmax, n);
  if (n >= itmax) return 1.0L;
  return gammaSeriesFactor(a, x) * sum;
}

long double erf(long double x, int itmax) {
  long double p = incompleteGammaP(0.5L, x * x, itmax);
  return x < 0 ? -p : p;
}

// Continued fraction of the incomplete beta function, renormalised at every
// step; at most 100 steps, stopping on an absolute change below eps. A
// fraction still moving after them is no value (it strays outside 0 ... 1
// for shape parameters in the millions), so it raises EIntOverflow.
long double betaContinuedFraction(long double x, long double a, long double b, long double eps) {
  long double am = 1.0L, bm = 1.0L, az = 1.0L;
  long double bz = 1.0L - (a + b) * x / (a + 1.0L);
  for (int m = 1; m <= continuedFractionSteps; ++m) {
    long double twoM = 2.0L * m;
    long double d = m * (b - m) * x / ((a - 1.0L + twoM) * (a + twoM));
    long double ap = az + d * am;
    long double bp = bz + d * bm;
    d = -(a + m) * (a + b + m) * x / ((a + twoM) * (a + 1.0L + twoM));
    long double app = ap + d * az;
    long double bpp = bp + d * bz;
    long double aold = az;
    am = ap / bpp;
    bm = bp / bpp;
    az = app / bpp;
    bz = 1.0L;
    if (std::fabs(az - aold) < eps) return az;
  }
  throw EIntOverflow();
}

// The front factor x^a (1 - x)^b / B(a, b) is formed in logarithms: B(a, b)
// through Gamma overflows once a + b passes about 1755 (t tests of large
// samples), while the factor itself is modest.
long double incompleteBeta(long double x, long double a, long double b, long double eps) {
  if (!(x >= 0.0L && x <= 1.0L)) throw ERangeError();
  long double factor = 0.0L;
  if (x != 0.0L && x != 1.0L) {
    if (a > 0 && b > 0)
      factor = std::exp(a * std::log(x) + b * std::log1p(-x) - (gammaLn(a) + gammaLn(b) - gammaLn(a + b)));
    else
      factor = quotient(power(x, a) * power(1.0L - x, b), betaFunction(a, b));
  }
  if (x < (a + 1.0L) / (a + b + 2.0L)) return factor * betaContinuedFraction(x, a, b, eps) / a;
  return 1.0L - factor * betaContinuedFraction(1.0L - x, b, a, eps) / b;
}

// Bisection on 0 ... 1. A bisection that closes in on 0 or 1 for a p
// strictly between has not found its x, only that it lies within eps of the
// end: TINV and FINV divide by x or 1 - x and would show the bracket's
// resolution (131072, 17179869183) as a result, so it raises EIntOverflow.
// The ends themselves need no search.
long double betaInv(long double p, long double a, long double b, long double eps, int itmax) {
  if (!(p >= 0.0L && p <= 1.0L)) throw ERangeError();
  if (p == 0.0L || p == 1.0L) return p;
  long double lo = 0.0L, hi = 1.0L, x = 0.5L;
  for (int step = 0; step < itmax; ++step) {
    long double f = incompleteBeta(x, a, b, eps);
    if (f == p) return x;
    if (p < f)
      hi = x;
    else
      lo = x;
    x = (lo + hi) * 0.5L;
    if (std::fabs(x - lo) < eps) {
      if (lo == 0.0L || hi == 1.0L) throw EIntOverflow();
      return x;
    }
  }
  throw EIntOverflow();
}

// Bracketing by multiples of the small-argument approximation, then bisection.
long double gammaInv(long double p, long double alpha, long double beta, long double eps, int itmax) {
  if (!(p >= 0.0L && p <= 1.0L)) throw ERangeError();
  // x0 = (p alpha Gamma(alpha))^(1/alpha), in logarithms where Gamma(alpha)
  // would leave the extended range.
  long double x0;
  if (alpha <= largestDirectGammaArgument || p == 0.0L)
    x0 = power(p * alpha * gamma(alpha), 1.0L / alpha);
  else
    x0 = std::exp((std::log(p * alpha) + gammaLn(alpha)) / alpha);

  // A bracket not found within its steps leaves the bisection nothing to
  // close in on: its result would be the last multiple tried.
  long double lo = x0, hi = x0;
  bool bracketed = false;
  for (int i = 1; i <= bracketSteps && !bracketed; ++i) {
    hi = i * x0;
    bracketed = settledGammaP(alpha, hi, itmax) >= p;
    if (!bracketed) lo = hi;
  }
  if (!bracketed) throw EIntOverflow();
  long double mid = (lo + hi) * 0.5L;
  for (int step = 0; step < itmax; ++step) {
    long double probability = settledGammaP(alpha, mid, itmax);
    if (probability == p) return mid * beta;
    if (probability > p)
      hi = mid;
    else
      lo = mid;
    mid = (lo + hi) * 0.5L;
    if (std::fabs(mid - lo) < eps) return mid * beta;
  }
  throw EIntOverflow();
}

long double normsCumulative(long double z, int itmax) { return (erf(z / squareRootTwo, itmax) + 1.0L) * 0.5L; }

long double normsDensity(long double z) { return std::exp(-z * z / 2.0L) / squareRootTwoPi; }

// Moshier's rational approximation: a central form around 0.5 and two tail
// forms in t = sqrt(-2 ln q).
long double normsInv(long double p) {
  if (!(p >= 0.0L && p <= 1.0L)) throw ERangeError();
  long double q = p;
  bool folded = false;
  if (q > 1.0L - expMinusTwo) {
    q = 1.0L - q;
    folded = true;
  }
  if (q > expMinusTwo) {
    long double y = q - 0.5L, ySquared = y * y;
    return (y + y * ySquared * polyEval(centralP, 4, ySquared) / polyEval(centralQ, 8, ySquared)) * squareRootTwoPi;
  }
  long double t = std::sqrt(-2.0L * naturalLog(q));
  long double z = 1.0L / t;
  long double tail = t < farTailStart ? z * polyEval(nearTailP, 8, z) / polyEval(nearTailQ, 8, z)
                                      : z * polyEval(farTailP, 8, z) / polyEval(farTailQ, 8, z);
  long double x = t - std::log(t) / t - tail;
  return folded ? x : -x;
}
