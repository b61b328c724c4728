#include "functions/signal/DigitalFilters.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>

#include "functions/signal/SignalLimits.h"
#include "platform/NumericErrors.h"

namespace {

using Complex = std::complex<long double>;

constexpr long double pi = std::numbers::pi_v<long double>;
constexpr long double lowestFrequency = 0.001L;
constexpr long double highestFrequency = 0.499L;
constexpr long double smallestRadius = 0.001L;
constexpr long double largestRadius = 0.999L;
constexpr long double smallestGain = 0.001L;
constexpr long double largestResonatorRadius = 0.99L;
constexpr int resonatorHalvings = 100;
constexpr long double resonatorTolerance = 0.0001L;
constexpr int sectionLength = 4;

long double clampFrequency(long double frequency) { return std::clamp(frequency, lowestFrequency, highestFrequency); }

// Poles of the analogue Butterworth prototype (cutoff 1 rad/s): the upper
// member of each conjugate pair followed by its conjugate, then the real pole
// of an odd order.
std::vector<Complex> butterworthPoles(int order) {
  std::vector<Complex> poles;
  poles.reserve(order);
  const bool even = order % 2 == 0;
  const int pairs = order / 2;
  for (int k = 0; k < pairs; ++k) {
    const long double theta = even ? (k + 0.5L) * pi / order : (k + 1) * pi / order;
    const long double cosine = std::clamp(std::cos(theta), -1.0L, 1.0L);
    const long double sine = std::clamp(std::sqrt(std::max(0.0L, 1 - cosine * cosine)), 0.0L, 1.0L);
    poles.emplace_back(-cosine, sine);
    poles.emplace_back(-cosine, -sine);
  }
  if (!even) poles.emplace_back(-1.0L, 0.0L);
  return poles;
}

// Residue of 1 / product of (s - s_j) at pole k.
Complex residueAt(const std::vector<Complex>& poles, std::size_t k) {
  Complex product = 1;
  for (std::size_t j = 0; j < poles.size(); ++j)
    if (j != k) product *= poles[k] - poles[j];
  const long double norm = product.real() * product.real() + product.imag() * product.imag();
  return {product.real() / norm, -product.imag() / norm};
}

// The analogue pole s mapped to the digital plane at sampling pulsatance w.
Complex impulseInvariantPole(Complex s, long double w) {
  const long double radius = std::exp(w * s.real());
  return {radius * std::cos(w * s.imag()), radius * std::sin(w * s.imag())};
}

void requireNumber(long double value) {
  if (std::isnan(value)) throw ERangeError();
}

}  // namespace

// Butterworth prototype, impulse invariance, partial fractions.
std::vector<long double> makeLowPass(int order, long double cutoff) {
  if (order < 1 || order > maxLowPassOrder) throw ERangeError();
  requireNumber(cutoff);
  const long double w = 2 * pi * clampFrequency(cutoff);
  const std::vector<Complex> poles = butterworthPoles(order);

  std::vector<long double> coefficients;
  coefficients.reserve(sectionLength * (order / 2 + order % 2));
  for (std::size_t k = 0; k + 1 < poles.size(); k += 2) {
    const Complex residue = w * residueAt(poles, k);
    const Complex z = impulseInvariantPole(poles[k], w);
    coefficients.push_back(2 * residue.real());
    coefficients.push_back(-2 * (residue.real() * z.real() + residue.imag() * z.imag()));
    coefficients.push_back(2 * z.real());
    coefficients.push_back(-(z.real() * z.real() + z.imag() * z.imag()));
  }
  if (order % 2 == 1) {
    const std::size_t k = poles.size() - 1;
    coefficients.push_back(w * residueAt(poles, k).real());
    coefficients.push_back(0);
    coefficients.push_back(impulseInvariantPole(poles[k], w).real());
    coefficients.push_back(0);
  }
  return coefficients;
}

std::vector<long double> makeHighPass(int order, long double cutoff) {
  requireNumber(cutoff);
  std::vector<long double> coefficients = makeLowPass(order, 0.5L - cutoff);
  for (std::size_t section = 0; section + sectionLength <= coefficients.size(); section += sectionLength) {
    coefficients[section + 1] = -coefficients[section + 1];
    coefficients[section + 2] = -coefficients[section + 2];
  }
  return coefficients;
}

std::vector<long double> makeEma(int period) {
  if (period == -1) throw EZeroDivide();
  const long double alpha = 2 / (static_cast<long double>(period) + 1);
  return {alpha, 0, 1 - alpha, 0};
}

// Zeros on the unit circle at the notch, poles at the radius, c0 scaled for
// unit gain at zero frequency.
std::vector<long double> makeNotch(long double frequency, long double radius) {
  requireNumber(frequency);
  requireNumber(radius);
  const long double c = std::cos(2 * pi * clampFrequency(frequency));
  const long double r = std::clamp(radius, smallestRadius, largestRadius);
  const long double c0 = (1 + r * r - 2 * r * c) / (2 - 2 * c);
  return {c0, -2 * c0 * c, 2 * r * c, -(r * r)};
}

// Bisection for the pole radius whose gain ratio between the resonance and
// zero frequency is the one asked for.
std::vector<long double> makeResonator(long double frequency, long double zeroGain, long double peakGain) {
  requireNumber(frequency);
  requireNumber(zeroGain);
  requireNumber(peakGain);
  const long double g0 = std::max(zeroGain, smallestGain);
  const long double g1 = std::max(peakGain, g0);
  const long double theta = 2 * pi * clampFrequency(frequency);
  const long double cosine = std::cos(theta);

  auto gainAtZero = [cosine](long double r) { return 1 - 2 * r * cosine + r * r; };
  // |D(theta)|^2 with D(theta) = 1 - 2 r cos(theta) e^(-i theta) + r^2 e^(-2 i theta).
  auto powerRatio = [&](long double r) {
    const long double re = 1 - 2 * r * cosine * cosine + r * r * std::cos(2 * theta);
    const long double im = 2 * r * cosine * std::sin(theta) - r * r * std::sin(2 * theta);
    const long double d1 = gainAtZero(r);
    return d1 * d1 / (re * re + im * im);
  };

  const long double target = (g1 / g0) * (g1 / g0);
  long double low = 0, high = largestResonatorRadius, r = 0;
  for (int halving = 0; halving < resonatorHalvings; ++halving) {
    r = (low + high) / 2;
    const long double ratio = powerRatio(r);
    if (ratio >= target) {
      if (ratio - target < resonatorTolerance * target) break;
      high = r;
    } else {
      if (target - ratio < resonatorTolerance * target) break;
      low = r;
    }
  }
  return {g0 * gainAtZero(r), 0, 2 * r * cosine, -(r * r)};
}

std::vector<long double> applyFilter(std::span<const long double> coefficients, std::span<const long double> series,
                                     long double gain) {
  if (series.empty()) return {};
  const std::size_t sections = coefficients.size() / sectionLength;
  if (sections < 1) throw ERangeError();

  // Section by section over the whole series, so each section's state stays
  // in registers; the outputs are added in the same order as sample by sample.
  std::vector<long double> output(series.size());
  for (std::size_t k = 0; k < sections; ++k) {
    const long double* c = coefficients.data() + sectionLength * k;
    const long double b0 = c[0], b1 = c[1], a1 = c[2], a2 = c[3];
    long double previousInput = 0, previousOutput = 0, olderOutput = 0;
    for (std::size_t n = 0; n < series.size(); ++n) {
      const long double x = series[n];
      const long double y = b0 * x + b1 * previousInput + a1 * previousOutput + a2 * olderOutput;
      previousInput = x;
      olderOutput = previousOutput;
      previousOutput = y;
      output[n] += y;
    }
  }
  for (long double& value : output) value *= gain;
  return output;
}

std::vector<long double> applyHighPass(std::span<const long double> coefficients, std::span<const long double> series,
                                       long double gain) {
  return applyFilter(coefficients, series, -gain);
}

std::vector<long double> applyNotch(std::span<const long double> coefficients, std::span<const long double> series) {
  if (series.empty()) return {};
  if (coefficients.size() < sectionLength) throw ERangeError();
  const long double c0 = coefficients[0], c1 = coefficients[1], c2 = coefficients[2], c3 = coefficients[3];
  std::vector<long double> output(series.size());
  long double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (std::size_t n = 0; n < series.size(); ++n) {
    const long double x = series[n];
    const long double y = c0 * x + c1 * x1 + c0 * x2 + c2 * y1 + c3 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    output[n] = y;
  }
  return output;
}

std::vector<long double> applyResonator(std::span<const long double> coefficients,
                                        std::span<const long double> series) {
  if (series.empty()) return {};
  if (coefficients.size() < sectionLength) throw ERangeError();
  const long double c0 = coefficients[0], c2 = coefficients[2], c3 = coefficients[3];
  std::vector<long double> output(series.size());
  long double y1 = 0, y2 = 0;
  for (std::size_t n = 0; n < series.size(); ++n) {
    const long double y = c0 * series[n] + c2 * y1 + c3 * y2;
    y2 = y1;
    y1 = y;
    output[n] = y;
  }
  return output;
}

std::vector<long double> convolve(std::span<const long double> a, std::span<const long double> b, long double gain) {
  if (a.empty() && b.empty()) return {};
  const std::int64_t length = static_cast<std::int64_t>(a.size()) + static_cast<std::int64_t>(b.size()) - 1;
  requireSignalLength(length);
  std::vector<long double> result(length);
  if (a.empty() || b.empty()) return result;
  for (std::int64_t k = 0; k < length; ++k) {
    const std::int64_t first = std::max<std::int64_t>(0, k - static_cast<std::int64_t>(b.size()) + 1);
    const std::int64_t last = std::min<std::int64_t>(k, static_cast<std::int64_t>(a.size()) - 1);
    long double sum = 0;
    for (std::int64_t j = first; j <= last; ++j) sum += a[j] * b[k - j];
    result[k] = gain * sum;
  }
  return result;
}
