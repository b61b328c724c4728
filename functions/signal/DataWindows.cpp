#include "functions/signal/DataWindows.h"

#include <cmath>
#include <numbers>

#include "functions/signal/SignalLimits.h"
#include "platform/NumericErrors.h"

namespace {

constexpr long double pi = std::numbers::pi_v<long double>;

using WeightFormula = long double (*)(std::int64_t n, std::int64_t i);

// The weight formulas, for 0 <= i < n and n >= 2.
long double triangle(std::int64_t n, std::int64_t i) {
  const long double ramp = 2 * static_cast<long double>(i) / (n - 1);
  return i < n / 2 ? ramp : 2 - ramp;
}

long double position(std::int64_t n, std::int64_t i) { return static_cast<long double>(i) / (n - 1); }

long double hamming(std::int64_t n, std::int64_t i) { return 0.54L - 0.46L * std::cos(2 * pi * position(n, i)); }

long double hanning(std::int64_t n, std::int64_t i) { return 0.5L - 0.5L * std::cos(2 * pi * position(n, i)); }

long double blackman(std::int64_t n, std::int64_t i) {
  const long double x = position(n, i);
  return 0.42L - 0.5L * std::cos(2 * pi * x) + 0.08L * std::cos(4 * pi * x);
}

std::vector<long double> window(std::int64_t n, WeightFormula weight) {
  if (n < 2) throw ERangeError();
  requireSignalLength(n);
  std::vector<long double> weights(n);
  for (std::int64_t i = 0; i < n; ++i) weights[i] = weight(n, i);
  return weights;
}

long double singleWeight(std::int64_t n, std::int64_t i, WeightFormula weight) {
  if (i < 0 || i >= n) return 0;
  if (n == 1) throw EZeroDivide();
  return weight(n, i);
}

}  // namespace

std::vector<long double> rectangleWindow(std::int64_t n) {
  if (n < 1) throw ERangeError();
  requireSignalLength(n);
  return std::vector<long double>(n, 1.0L);
}

std::vector<long double> triangleWindow(std::int64_t n) { return window(n, triangle); }
std::vector<long double> hammingWindow(std::int64_t n) { return window(n, hamming); }
std::vector<long double> hanningWindow(std::int64_t n) { return window(n, hanning); }
std::vector<long double> blackmanWindow(std::int64_t n) { return window(n, blackman); }

long double rectangleWeight(std::int64_t n, std::int64_t i) { return i >= 0 && i < n ? 1 : 0; }
long double triangleWeight(std::int64_t n, std::int64_t i) { return singleWeight(n, i, triangle); }
long double hammingWeight(std::int64_t n, std::int64_t i) { return singleWeight(n, i, hamming); }
long double hanningWeight(std::int64_t n, std::int64_t i) { return singleWeight(n, i, hanning); }
long double blackmanWeight(std::int64_t n, std::int64_t i) { return singleWeight(n, i, blackman); }
