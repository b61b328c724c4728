#pragma once
#include <span>
#include <vector>

// Recursive filters held as coefficient arrays, and convolution.
//
// Section layout: groups of 4 values (b0, b1, a1, a2), one group per section.
// The low-pass, high-pass and moving-average filters run all sections in
// parallel on the same input and add their outputs; section k computes
//   y_k[n] = b0 x[n] + b1 x[n-1] + a1 y_k[n-1] + a2 y_k[n-2].
// The notch and resonator use one group of 4 with a meaning of their own.
// Every filter starts from rest. Frequencies are in cycles per sample.
// Invalid arguments raise ERangeError.

// The highest order the Butterworth designs accept: their work grows with the
// square of the order, and far below this the coefficients are already
// dominated by rounding.
inline constexpr int maxLowPassOrder = 1000;

// Butterworth low-pass of the given order by impulse invariance, as parallel
// sections: 4 * (order div 2 + order mod 2) values. The cutoff is clamped to
// [0.001, 0.499]. The gain at zero frequency is left as the design gives it.
std::vector<long double> makeLowPass(int order, long double cutoff);
// The low-pass at 0.5 - cutoff moved by half the sampling rate (z -> -z).
std::vector<long double> makeHighPass(int order, long double cutoff);
// Exponential moving average of the period: (alpha, 0, 1 - alpha, 0) with
// alpha = 2 / (period + 1). A period of -1 raises EZeroDivide.
std::vector<long double> makeEma(int period);
// Notch at frequency with poles at radius: (c0, c1, c2, c3) for
// y[n] = c0 x[n] + c1 x[n-1] + c0 x[n-2] + c2 y[n-1] + c3 y[n-2], unit gain
// at zero frequency.
std::vector<long double> makeNotch(long double frequency, long double radius);
// Two-pole resonator with gain zeroGain at zero frequency and about
// peakGain at the resonance: (c0, 0, c2, c3) for
// y[n] = c0 x[n] + c2 y[n-1] + c3 y[n-2].
std::vector<long double> makeResonator(long double frequency, long double zeroGain, long double peakGain);

// Runs the series through the parallel sections and multiplies the summed
// output by gain. A trailing partial group of coefficients is ignored.
std::vector<long double> applyFilter(std::span<const long double> coefficients, std::span<const long double> series,
                                     long double gain);
// applyFilter with the gain negated.
std::vector<long double> applyHighPass(std::span<const long double> coefficients, std::span<const long double> series,
                                       long double gain);
std::vector<long double> applyNotch(std::span<const long double> coefficients, std::span<const long double> series);
std::vector<long double> applyResonator(std::span<const long double> coefficients, std::span<const long double> series);

// Linear convolution scaled by gain: len(a) + len(b) - 1 values (zeros when
// one series is empty, nothing when both are).
std::vector<long double> convolve(std::span<const long double> a, std::span<const long double> b, long double gain);
