#pragma once
#include <span>
#include <vector>

// Maximum-entropy (autoregressive) spectra.

// Burg's method for the model x[t] = sum of d[i] x[t - i] + error, of order
// min(order, n - 1): element 0 is the mean square of the prediction error,
// elements 1 .. order the coefficients d. Empty for an empty series or an
// order that comes out at 0 or below. A series whose error terms vanish
// raises EInvalidOp (0 / 0).
std::vector<long double> memCoefficients(std::span<const long double> series, int order);

// The spectrum of such coefficients at each frequency (cycles per sample):
// a0 / |1 - sum of d[i] e^(i 2 pi f i)|^2, and 0 outside 0 .. 0.5. Fewer than
// 2 coefficients raise ERangeError.
std::vector<long double> memSpectrum(std::span<const long double> coefficients,
                                     std::span<const long double> frequencies);
