// Signal-processing hot paths: the FFT behind FFTC and FFTP, Burg's method
// behind MEM, and a Butterworth low-pass run over a long series. The FFT
// ratio against FFTW comes from tools/bench-fft-compare (native Linux).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench/BenchTiming.h"
#include "functions/signal/DigitalFilters.h"
#include "functions/signal/FFT.h"
#include "functions/signal/MaximumEntropy.h"
#include "platform/FloatingPoint.h"

namespace {

using Clock = std::chrono::steady_clock;

// Median wall time of runs calls, in milliseconds.
template <class Work>
double medianMilliseconds(int runs, Work work) {
  return medianTime(runs, work) * 1e3;
}

std::vector<long double> testSeries(std::size_t length) {
  std::vector<long double> series(length);
  for (std::size_t t = 0; t < length; ++t)
    series[t] = std::sin(0.031L * t) + 0.5L * std::cos(0.17L * t) + 0.2L * std::sin(1.3L * t * t / length);
  return series;
}

}  // namespace

int main() {
  setExtendedPrecision();
  volatile long double sink = 0;

  constexpr int fftPoints = 65536;
  Tfft fft(fftPoints);
  std::vector<TComplex> signal(fftPoints), data;
  const std::vector<long double> real = testSeries(2 * fftPoints);
  for (int i = 0; i < fftPoints; ++i) signal[i] = {real[2 * i], real[2 * i + 1]};
  std::vector<double> transformTimes;
  for (int run = 0; run < 51; ++run) {
    data = signal;
    const auto start = Clock::now();
    fft.transform(data);
    transformTimes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    sink = sink + data[1].re;
  }
  std::sort(transformTimes.begin(), transformTimes.end());
  std::printf("%-50s %8.3f ms\n", "Tfft.transform, 65,536 complex points:", transformTimes[transformTimes.size() / 2]);

  const std::vector<long double> spectrumInput(real.begin(), real.begin() + fftPoints);
  std::printf("%-50s %8.3f ms\n", "fourierSpectrum (FFTC), 65,536 values:", medianMilliseconds(21, [&] {
                sink = sink + fourierSpectrum(spectrumInput, false)[3];
              }));

  const std::vector<long double> memInput = testSeries(5000);
  std::vector<long double> coefficients;
  std::printf("%-50s %8.3f ms\n", "memCoefficients, order 50 on 5,000 points:", medianMilliseconds(21, [&] {
                coefficients = memCoefficients(memInput, 50);
              }));
  std::vector<long double> frequencies(1000);
  for (std::size_t i = 0; i < frequencies.size(); ++i) frequencies[i] = 0.5L * i / (frequencies.size() - 1);
  std::printf("%-50s %8.3f ms\n", "memSpectrum, order 50 at 1,000 frequencies:", medianMilliseconds(21, [&] {
                sink = sink + memSpectrum(coefficients, frequencies)[10];
              }));

  const std::vector<long double> longSeries = testSeries(1000000);
  const std::vector<long double> lowPass = makeLowPass(4, 0.05L);
  std::printf("%-50s %8.3f ms\n", "4th-order low-pass over 1,000,000 samples:", medianMilliseconds(11, [&] {
                sink = sink + applyFilter(lowPass, longSeries, 1)[999999];
              }));
  std::printf("%-50s %8.3f ms\n", "makeLowPass at the highest order (1,000):", medianMilliseconds(5, [&] {
                sink = sink + makeLowPass(maxLowPassOrder, 0.05L)[0];
              }));
  return sink == 12345 ? 1 : 0;
}
