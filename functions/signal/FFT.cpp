#include "functions/signal/FFT.h"

#include <cmath>
#include <cstdint>
#include <new>
#include <numbers>
#include <utility>

#include "functions/signal/SignalLimits.h"
#include "platform/NumericErrors.h"

namespace {

constexpr long double pi = std::numbers::pi_v<long double>;

inline TComplex multiply(const TComplex& a, const TComplex& b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// The butterfly (u, v) -> (u + v w, u - v w); the factor 1 needs no
// multiplication.
inline void combine(TComplex& lower, TComplex& upper, const TComplex& factor) {
  const TComplex t = multiply(upper, factor);
  upper = {lower.re - t.re, lower.im - t.im};
  lower = {lower.re + t.re, lower.im + t.im};
}

inline void combine(TComplex& lower, TComplex& upper) {
  const TComplex v = upper;
  upper = {lower.re - v.re, lower.im - v.im};
  lower = {lower.re + v.re, lower.im + v.im};
}

}  // namespace

Tfft::Tfft(int n) {
  if (n <= 1) return;
  while ((std::int64_t{1} << stages_) < n) ++stages_;
  if ((std::int64_t{1} << stages_) != n) return;
  try {
    rotations_.resize(stages_);
    for (int k = 0; k < stages_; ++k) {
      long double angle = pi / static_cast<long double>(std::int64_t{1} << k);
      rotations_[k] = {std::cos(angle), -std::sin(angle)};
    }
    stageFactors_.resize(n);
    for (int k = 0, span = 1; k < stages_; ++k, span *= 2) {
      stageFactors_[span] = {1, 0};
      TComplex factor = rotations_[k];
      for (int j = 1; j < span; ++j) {
        stageFactors_[span + j] = factor;
        factor = multiply(factor, rotations_[k]);
      }
    }
  } catch (const std::bad_alloc&) {
    rotations_.clear();
    stageFactors_.clear();
    return;
  }
  size_ = n;
  half_ = n / 2;
  valid_ = true;
}

// Radix-2 decimation in time: bit-reversal permutation, then log2(n) stages
// of butterflies. Stages are done two at a time (the same butterflies in the
// same arithmetic, so the result is unchanged): each value is then loaded
// and stored once per two stages, which on the x87 unit is most of the cost.
void Tfft::transform(std::span<TComplex> data) const {
  if (!valid_ || data.size() != static_cast<std::size_t>(size_)) throw ERangeError();
  TComplex* x = data.data();
  const int n = size_;

  for (int i = 0, j = 0; i < n - 1; ++i) {
    if (i < j) std::swap(x[i], x[j]);
    int m = half_;
    while (m <= j) {
      j -= m;
      m /= 2;
    }
    j += m;
  }

  int span = 1;
  if (stages_ % 2 == 1) {
    for (int block = 0; block < n; block += 2) combine(x[block], x[block + 1]);
    span = 2;
  }
  for (; span < n; span *= 4) {
    const TComplex* firstFactors = stageFactors_.data() + span;
    const TComplex* secondFactors = stageFactors_.data() + 2 * span;
    for (int block = 0; block < n; block += 4 * span) {
      TComplex* quarter0 = x + block;
      TComplex* quarter1 = quarter0 + span;
      TComplex* quarter2 = quarter1 + span;
      TComplex* quarter3 = quarter2 + span;
      combine(quarter0[0], quarter1[0]);
      combine(quarter2[0], quarter3[0]);
      combine(quarter0[0], quarter2[0]);
      combine(quarter1[0], quarter3[0], secondFactors[span]);
      for (int j = 1; j < span; ++j) {
        TComplex a = quarter0[j], b = quarter1[j], c = quarter2[j], d = quarter3[j];
        combine(a, b, firstFactors[j]);
        combine(c, d, firstFactors[j]);
        combine(a, c, secondFactors[j]);
        combine(b, d, secondFactors[span + j]);
        quarter0[j] = a;
        quarter1[j] = b;
        quarter2[j] = c;
        quarter3[j] = d;
      }
    }
  }
}

void Tfft::scale(std::span<TComplex> data, long double divisor) const {
  if (!(divisor > 0)) return;
  const long double factor = 1 / divisor;
  for (TComplex& value : data) {
    value.re *= factor;
    value.im *= factor;
  }
}

void Tfft::toPolar(std::span<TComplex> data) const {
  for (TComplex& value : data) {
    const long double magnitude = std::sqrt(value.re * value.re + value.im * value.im);
    const long double phase = std::atan2(value.im, value.re);
    value = {magnitude, phase};
  }
}

std::vector<long double> fourierSpectrum(std::span<const long double> values, bool polar) {
  requireSignalLength(static_cast<std::int64_t>(values.size()));
  int length = 1;
  while (static_cast<std::size_t>(length) < values.size()) length *= 2;

  std::vector<TComplex> buffer(length);
  for (std::size_t i = 0; i < values.size(); ++i) buffer[i].re = values[i];

  Tfft fft(length);
  // A transform of one point is the identity; Tfft serves lengths from 2 on.
  if (length > 1) {
    // At a power of two the object is unusable only when its tables could
    // not be allocated.
    if (!fft.valid()) throw std::bad_alloc();
    fft.transform(buffer);
    fft.scale(buffer, length);
  }
  if (polar) fft.toPolar(buffer);

  const int rows = length / 2 + 1;
  std::vector<long double> spectrum(3 * static_cast<std::size_t>(rows));
  for (int k = 0; k < rows; ++k) {
    spectrum[3 * k] = buffer[k].re;
    spectrum[3 * k + 1] = buffer[k].im;
    spectrum[3 * k + 2] = 2 * pi * k / length;
  }
  return spectrum;
}
