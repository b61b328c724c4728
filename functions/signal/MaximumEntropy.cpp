#include "functions/signal/MaximumEntropy.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "platform/NumericErrors.h"

namespace {

constexpr long double pi = std::numbers::pi_v<long double>;
constexpr long double highestFrequency = 0.5L;

// The floating-point unit runs with its faults masked, so a division that
// would fault raises the fault's exception here instead of yielding inf or
// NaN.
long double quotient(long double numerator, long double denominator) {
  if (denominator == 0) {
    if (numerator == 0 || std::isnan(numerator)) throw EInvalidOp();
    throw EZeroDivide();
  }
  return numerator / denominator;
}

}  // namespace

// Burg's method.
std::vector<long double> memCoefficients(std::span<const long double> series, int order) {
  const auto n = static_cast<std::int64_t>(series.size());
  const std::int64_t m = std::min<std::int64_t>(order, n - 1);
  if (n == 0 || m <= 0) return {};

  long double sumOfSquares = 0;
  for (long double x : series) sumOfSquares += x * x;
  long double meanSquare = sumOfSquares / n;

  std::vector<long double> forward(series.begin(), series.end() - 1);
  std::vector<long double> backward(series.begin() + 1, series.end());
  std::vector<long double> d(m + 1), previous(m + 1);
  for (std::int64_t k = 1; k <= m; ++k) {
    long double numerator = 0, denominator = 0;
    for (std::int64_t j = 0; j < n - k; ++j) {
      numerator += forward[j] * backward[j];
      denominator += forward[j] * forward[j] + backward[j] * backward[j];
    }
    d[k] = quotient(2 * numerator, denominator);
    meanSquare *= 1 - d[k] * d[k];
    for (std::int64_t i = 1; i < k; ++i) d[i] = previous[i] - d[k] * previous[k - i];
    if (k == m) break;
    for (std::int64_t i = 1; i <= k; ++i) previous[i] = d[i];
    for (std::int64_t j = 0; j < n - k - 1; ++j) {
      forward[j] -= previous[k] * backward[j];
      backward[j] = backward[j + 1] - previous[k] * forward[j + 1];
    }
  }
  d[0] = meanSquare;
  return d;
}

std::vector<long double> memSpectrum(std::span<const long double> coefficients,
                                     std::span<const long double> frequencies) {
  if (frequencies.empty()) return {};
  if (coefficients.size() < 2) throw ERangeError();
  std::vector<long double> spectrum(frequencies.size());
  for (std::size_t point = 0; point < frequencies.size(); ++point) {
    const long double f = frequencies[point];
    if (f < 0 || f > highestFrequency) continue;
    const long double theta = 2 * pi * f;
    const long double cosine = std::cos(theta), sine = std::sin(theta);
    long double wr = 1, wi = 0, sr = 1, si = 0;
    for (std::size_t i = 1; i < coefficients.size(); ++i) {
      const long double rotated = wr * cosine - wi * sine;
      wi = wi * cosine + wr * sine;
      wr = rotated;
      sr -= coefficients[i] * wr;
      si -= coefficients[i] * wi;
    }
    spectrum[point] = quotient(coefficients[0], sr * sr + si * si);
  }
  return spectrum;
}
