#include "functions/statistics/Statistics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "functions/CheckedArithmetic.h"
#include "functions/statistics/ValueSort.h"
#include "model/Power.h"
#include "model/Rounding.h"
#include "platform/NumericErrors.h"

namespace {

// The sums of the one-pass formulas, accumulated in index order.
struct TPairSums {
  long double n = 0, x = 0, y = 0, xx = 0, yy = 0, xy = 0;
};

TPairSums pairSums(const std::vector<long double>& x, const std::vector<long double>& y) {
  if (x.size() != y.size() || x.empty()) throw ERangeError();
  TPairSums s;
  s.n = static_cast<long double>(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    s.x += x[i];
    s.y += y[i];
    s.xx += x[i] * x[i];
    s.yy += y[i] * y[i];
    s.xy += x[i] * y[i];
  }
  return s;
}

// n.Sum(x^2) - Sum(x)^2 is never negative in exact arithmetic; for equal values
// it can round just below zero, which must read as no spread, not as an
// invalid square root.
long double spreadNumerator(long double n, long double sum, long double sumOfSquares) {
  return std::max(n * sumOfSquares - sum * sum, 0.0L);
}

long double meanOf(const std::vector<long double>& a) { return arithmeticMean(a, static_cast<int>(a.size())); }

long double fourthPower(long double x) {
  long double square = x * x;
  return square * square;
}

void requirePositive(const std::vector<long double>& a) {
  if (a.empty()) throw ERangeError();
  for (long double x : a)
    if (!(x > 0.0L)) throw ERangeError();
}

}  // namespace

long double arithmeticMean(const std::vector<long double>& a, int count) {
  if (count > 0 && static_cast<std::size_t>(count) > a.size()) throw ERangeError();
  if (count <= 0) return 0.0L;
  long double sum = 0.0L;
  for (int i = 0; i < count; ++i) sum += a[i];
  return sum / count;
}

long double averageDeviation(const std::vector<long double>& a) {
  if (a.empty()) return 0.0L;
  long double mean = meanOf(a), sum = 0.0L;
  for (long double x : a) sum += std::fabs(x - mean);
  return sum / a.size();
}

long double devSq(const std::vector<long double>& a) {
  long double mean = meanOf(a), sum = 0.0L;
  for (long double x : a) sum += (x - mean) * (x - mean);
  return sum;
}

// One-pass formula: (n.Sum(x^2) - Sum(x)^2) / n^2.
long double varPopulation(const std::vector<long double>& a) {
  if (a.empty()) throw ERangeError();
  long double n = a.size(), sum = 0.0L, sumOfSquares = 0.0L;
  for (long double x : a) {
    sum += x;
    sumOfSquares += x * x;
  }
  return spreadNumerator(n, sum, sumOfSquares) / (n * n);
}

long double varSample(const std::vector<long double>& a) {
  if (a.size() < 2) throw ERangeError();
  long double n = a.size(), sum = 0.0L, sumOfSquares = 0.0L;
  for (long double x : a) {
    sum += x;
    sumOfSquares += x * x;
  }
  return spreadNumerator(n, sum, sumOfSquares) / (n * (n - 1));
}

long double stdevPopulation(const std::vector<long double>& a) { return std::sqrt(varPopulation(a)); }

long double stdevSample(const std::vector<long double>& a) { return std::sqrt(varSample(a)); }

namespace {

long double sumOfDeviationProducts(const std::vector<long double>& a, const std::vector<long double>& b) {
  if (a.size() != b.size()) throw ERangeError();
  long double meanA = meanOf(a), meanB = meanOf(b), sum = 0.0L;
  for (std::size_t i = 0; i < a.size(); ++i) sum += (a[i] - meanA) * (b[i] - meanB);
  return sum;
}

}  // namespace

long double covarPopulation(const std::vector<long double>& a, const std::vector<long double>& b) {
  long double sum = sumOfDeviationProducts(a, b);
  return quotient(sum, static_cast<long double>(a.size()));
}

long double covarSample(const std::vector<long double>& a, const std::vector<long double>& b) {
  long double sum = sumOfDeviationProducts(a, b);
  return quotient(sum, static_cast<long double>(a.size()) - 1.0L);
}

long double correlPopulation(const std::vector<long double>& a, const std::vector<long double>& b) {
  long double covariance = covarPopulation(a, b);
  return quotient(covariance, stdevPopulation(a) * stdevPopulation(b));
}

long double correlSample(const std::vector<long double>& a, const std::vector<long double>& b) {
  long double covariance = covarSample(a, b);
  return quotient(covariance, stdevSample(a) * stdevSample(b));
}

// One-pass product-moment correlation.
long double pearson(const std::vector<long double>& a, const std::vector<long double>& b) {
  TPairSums s = pairSums(a, b);
  long double spread = spreadNumerator(s.n, s.x, s.xx) * spreadNumerator(s.n, s.y, s.yy);
  return quotient(s.n * s.xy - s.x * s.y, std::sqrt(spread));
}

long double rSquared(const std::vector<long double>& a, const std::vector<long double>& b) {
  long double r = pearson(a, b);
  return r * r;
}

long double slope(const std::vector<long double>& x, const std::vector<long double>& y) {
  TPairSums s = pairSums(x, y);
  return quotient(s.n * s.xy - s.x * s.y, s.n * s.xx - s.x * s.x);
}

long double forecast(const std::vector<long double>& x, const std::vector<long double>& y, long double t) {
  long double m = slope(x, y);
  return m * t + (meanOf(y) - meanOf(x) * m);
}

long double intercept(const std::vector<long double>& x, const std::vector<long double>& y) {
  return forecast(x, y, 0.0L);
}

long double standardErrorYX(const std::vector<long double>& x, const std::vector<long double>& y) {
  TPairSums s = pairSums(x, y);
  long double products = s.n * s.xy - s.x * s.y;
  long double explained = quotient(products * products, spreadNumerator(s.n, s.x, s.xx));
  long double residual = std::max(spreadNumerator(s.n, s.y, s.yy) - explained, 0.0L);
  return std::sqrt(quotient(residual, s.n * (s.n - 2)));
}

// The product formed directly keeps the last digits of short series; a product
// that leaves the normal range (thousands of prices multiply beyond it, tiny
// values to zero) falls back to exp(mean of ln x), and the overflow of the
// attempt is dropped with it. The logarithm of the
// product is taken as ln(mantissa) + exponent ln 2 of a product kept scaled:
// adding thousands of equal logarithms would drift by their rounding.
long double geometricMean(const std::vector<long double>& a) {
  constexpr long double lnTwo = 0.693147180559945309417232121458176568L;
  requirePositive(a);
  unsigned callerFlags = floatingPointFlags();
  long double product = 1.0L;
  for (long double x : a) product *= x;
  long double n = a.size();
  if (std::isnormal(product)) return power(product, 1.0L / n);
  restoreFloatingPointFlags(callerFlags);
  long double mantissa = 1.0L;
  long long exponent = 0;
  for (long double x : a) {
    int scale = 0;
    mantissa = std::frexp(mantissa * x, &scale);
    exponent += scale;
  }
  return std::exp((std::log(mantissa) + exponent * lnTwo) / n);
}

long double harmonicMean(const std::vector<long double>& a) {
  requirePositive(a);
  long double sum = 0.0L;
  for (long double x : a) sum += 1.0L / x;
  return a.size() / sum;
}

long double skewness(const std::vector<long double>& a) {
  if (a.size() < 3) throw ERangeError();
  long double n = a.size(), mean = meanOf(a), s = stdevSample(a), sum = 0.0L;
  for (long double x : a) sum += (x - mean) * (x - mean) * (x - mean);
  return quotient(n * sum, s * s * s * (n - 1) * (n - 2));
}

// The factors n(n+1) and (n-1)(n-2)(n-3) are formed in extended precision: in
// 32-bit integers they overflow from n = 1293 on.
long double kurtosis(const std::vector<long double>& a) {
  if (a.size() < 4) throw EDivByZero();
  long double n = a.size(), mean = meanOf(a), s = stdevSample(a), sum = 0.0L;
  for (long double x : a) sum += fourthPower(quotient(x - mean, s));
  return n * (n + 1) * sum / ((n - 1) * (n - 2) * (n - 3)) - 3 * (n - 1) * (n - 1) / ((n - 2) * (n - 3));
}

long double maxValue(const std::vector<long double>& a) {
  if (a.empty()) throw ERangeError();
  return *std::max_element(a.begin(), a.end());
}

long double minValue(const std::vector<long double>& a) {
  if (a.empty()) throw ERangeError();
  return *std::min_element(a.begin(), a.end());
}

void sortAscending(std::vector<long double>& a) { sortValuesAscending(a); }

long double median(std::vector<long double>& a) {
  if (a.empty()) throw ERangeError();
  sortAscending(a);
  std::size_t n = a.size();
  if (n % 2 != 0) return a[n / 2];
  return (a[n / 2 - 1] + a[n / 2]) * 0.5L;
}

long double medianBySelection(std::vector<long double>& a) {
  if (a.empty()) throw ERangeError();
  std::size_t n = a.size();
  if (n == 1) return a[0];
  const TSortedPair middle = sortedPairAt(a, n / 2);
  if (n % 2 != 0) return middle.upper;
  return (middle.lower + middle.upper) * 0.5L;
}

long double modeValue(std::vector<long double>& a) {
  if (a.empty()) throw ERangeError();
  sortAscending(a);
  std::size_t longest = 0, runStart = 0;
  long double mode = 0.0L;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    if (i < a.size() && a[i] == a[runStart]) continue;
    if (i - runStart > longest) {
      longest = i - runStart;
      mode = a[runStart];
    }
    runStart = i;
  }
  if (longest < 2) throw ERangeError();
  return mode;
}

long double kthLargest(std::vector<long double>& a, int k) {
  if (k < 1 || static_cast<std::size_t>(k) > a.size()) throw ERangeError();
  sortAscending(a);
  return a[a.size() - k];
}

long double kthSmallest(std::vector<long double>& a, int k) {
  std::int64_t fromTop = static_cast<std::int64_t>(a.size()) - k + 1;
  if (fromTop < 1 || fromTop > static_cast<std::int64_t>(a.size())) throw ERangeError();
  return kthLargest(a, static_cast<int>(fromTop));
}

// Linear interpolation between the closest ranks, h = (n - 1)p.
long double percentile(std::vector<long double>& a, long double p) {
  if (a.empty() || !(p >= 0.0L && p <= 1.0L)) throw ERangeError();
  sortAscending(a);
  std::size_t n = a.size();
  long double h = (n - 1) * p;
  std::size_t i = static_cast<std::size_t>(h);
  long double f = h - i;
  if (i < n - 1) return (1.0L - f) * a[i] + f * a[i + 1];
  return a[n - 1];
}

long double quartile(std::vector<long double>& a, int q) {
  switch (q) {
    case 0: return minValue(a);
    case 1: return percentile(a, 0.25L);
    case 2: return percentile(a, 0.5L);
    case 3: return percentile(a, 0.75L);
    case 4: return maxValue(a);
    default: throw ERangeError();
  }
}

namespace {

// What a sorted copy of the values tells about x, counted instead: the
// first place i with a[i] >= x is the count of values below x, and a[i - 1]
// and a[i] are the nearest values below and above x.
struct TPlaceOf {
  std::size_t below = 0;
  bool present = false;
  long double nearestBelow = 0, nearestAbove = 0;
};

TPlaceOf placeOf(const std::vector<long double>& a, long double x) {
  TPlaceOf place;
  bool anyAbove = false;
  for (long double value : a) {
    if (value < x) {
      if (place.below == 0 || value > place.nearestBelow) place.nearestBelow = value;
      ++place.below;
    } else if (value == x) {
      place.present = true;
    } else if (!anyAbove || value < place.nearestAbove) {
      place.nearestAbove = value;
      anyAbove = true;
    }
  }
  return place;
}

}  // namespace

long double percentRank(const std::vector<long double>& a, int digits, long double x) {
  if (a.empty() || digits < 1) throw ERangeError();
  const TPlaceOf place = placeOf(a, x);
  std::size_t n = a.size(), i = place.below;
  if (i == n) throw ERangeError();
  if (place.present) return n == 1 ? 1.0L : roundToDigits(digits, 0, static_cast<long double>(i) / (n - 1));
  if (i == 0) throw ERangeError();
  long double f = (x - place.nearestBelow) / (place.nearestAbove - place.nearestBelow);
  return roundToDigits(digits, 0, (i - 1 + f) / (n - 1));
}

int rankOf(const std::vector<long double>& a, int order, long double x) {
  const TPlaceOf place = placeOf(a, x);
  if (!place.present) throw ERangeError();
  return static_cast<int>(order != 0 ? place.below + 1 : a.size() - place.below);
}

long double trimmedMean(std::vector<long double>& a, long double p) {
  if (!(p >= 0.0L && p <= 1.0L)) throw ERangeError();
  if (a.empty()) return 0.0L;
  std::int64_t n = a.size();
  std::int64_t t = static_cast<std::int64_t>(n * p) / 2;
  if (t < 1) return meanOf(a);
  sortAscending(a);
  long double sum = 0.0L;
  for (std::int64_t i = t; i <= n - t - 1; ++i) sum += a[i];
  return quotient(sum, static_cast<long double>(n - 2 * t));
}

// A value goes to the first bin in the given order whose bound reaches it.
// Only a bin whose bound passes every bound before it can ever be that first
// one; those bins, in order, have rising bounds, so each value finds its bin
// by binary search among them: O(n log m) instead of comparing every value
// with every bin. Once those bounds outgrow the processor's cache, scattered
// probes cost more than sorting the values and walking both lists side by
// side (4,000,000 rising bins: 3.5 s against 0.7 s).
void frequency(const std::vector<long double>& data, const std::vector<long double>& bins,
               std::vector<long double>& counts) {
  constexpr std::size_t cachedBounds = 1 << 14;
  counts.assign(bins.size() + 1, 0.0L);
  std::vector<long double> risingBounds;
  std::vector<std::size_t> risingBins;
  for (std::size_t j = 0; j < bins.size(); ++j) {
    // A NaN bound reaches no value.
    if (std::isnan(bins[j]) || (!risingBounds.empty() && !(bins[j] > risingBounds.back()))) continue;
    risingBounds.push_back(bins[j]);
    risingBins.push_back(j);
  }
  if (risingBounds.size() <= cachedBounds) {
    for (long double d : data) {
      auto found = std::isnan(d) ? risingBounds.end() : std::lower_bound(risingBounds.begin(), risingBounds.end(), d);
      std::size_t j = found == risingBounds.end() ? bins.size() : risingBins[found - risingBounds.begin()];
      counts[j] += 1.0L;
    }
    return;
  }
  // NaN values reach no bound; the others are sorted and met in order.
  std::vector<long double> sorted(data);
  auto numbersEnd = std::partition(sorted.begin(), sorted.end(), [](long double d) { return !std::isnan(d); });
  counts.back() += static_cast<long double>(sorted.end() - numbersEnd);
  std::sort(sorted.begin(), numbersEnd);
  std::size_t candidate = 0;
  for (auto d = sorted.begin(); d != numbersEnd; ++d) {
    while (candidate < risingBounds.size() && risingBounds[candidate] < *d) ++candidate;
    counts[candidate < risingBounds.size() ? risingBins[candidate] : bins.size()] += 1.0L;
  }
}

long double rangeProbability(const std::vector<long double>& x, const std::vector<long double>& p,
                             long double lower, long double upper) {
  // The double nearest to 1E-10, as the sheet passes it.
  const long double totalTolerance = static_cast<long double>(1e-10);
  if (x.size() != p.size()) throw ERangeError();
  long double total = 0.0L, inRange = 0.0L;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (!(p[i] >= 0.0L && p[i] <= 1.0L)) throw ERangeError();
    total += p[i];
    if (lower <= x[i] && x[i] <= upper) inRange += p[i];
  }
  if (std::fabs(1.0L - total) > totalTolerance) throw EIntOverflow();
  return inRange;
}
