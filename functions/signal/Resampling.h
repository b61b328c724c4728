#pragma once
#include <cstdint>
#include <span>
#include <vector>

// Advances the position (index, fraction) by step, then interpolates the
// series there with the four-point Lagrange cubic through the samples at
// index - 1 .. index + 2. Samples outside 0 .. last (or past the end of the
// series) count as 0.
long double cubicInterpolate(std::int64_t& index, long double& fraction, std::span<const long double> series,
                             std::int64_t last, long double step);

// The series interpolated at positions 0, 1 / factor, 2 / factor, ...:
// length * factor values, rounded to the nearest integer with halves to
// even. A factor that is not above 0, or a result longer than
// maxSignalLength, raises ERangeError.
std::vector<long double> resample(std::span<const long double> series, long double factor);
