// Signal-processing hot paths: the FFT behind FFTC and FFTP, Burg's method
// behind MEM, and a Butterworth low-pass run over a long series. The FFT
// ratio against FFTW comes from tools/bench-fft-compare (native Linux).
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench/BenchTiming.h"
#include "functions/signal/DigitalFilters.h"
#include "functions/signal/FFT.h"
#include "functions/signal/MaximumEntropy.h"
#include "platform/FloatingPoint.h"

namespace {

void report(const char* what, const TBenchTimes& times) {
  std::printf("%-50s %s\n", what, microseconds(times).c_str());
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
  const TBenchTimes transform = timeRounds(
      51, [&] { data = signal; },
      [&] {
        fft.transform(data);
        sink = sink + data[1].re;
      });
  report("Tfft.transform, 65,536 complex points:", transform);

  const std::vector<long double> spectrumInput(real.begin(), real.begin() + fftPoints);
  report("fourierSpectrum (FFTC), 65,536 values:",
         timeRounds(21, [&] { sink = sink + fourierSpectrum(spectrumInput, false)[3]; }));

  const std::vector<long double> memInput = testSeries(5000);
  std::vector<long double> coefficients;
  report("memCoefficients, order 50 on 5,000 points:",
         timeRounds(21, [&] { coefficients = memCoefficients(memInput, 50); }));
  std::vector<long double> frequencies(1000);
  for (std::size_t i = 0; i < frequencies.size(); ++i) frequencies[i] = 0.5L * i / (frequencies.size() - 1);
  report("memSpectrum, order 50 at 1,000 frequencies:",
         timeRounds(21, [&] { sink = sink + memSpectrum(coefficients, frequencies)[10]; }));

  const std::vector<long double> longSeries = testSeries(1000000);
  const std::vector<long double> lowPass = makeLowPass(4, 0.05L);
  report("4th-order low-pass over 1,000,000 samples:",
         timeRounds(11, [&] { sink = sink + applyFilter(lowPass, longSeries, 1)[999999]; }));
  report("makeLowPass at the highest order (1,000):",
         timeRounds(9, [&] { sink = sink + makeLowPass(maxLowPassOrder, 0.05L)[0]; }));
  return sink == 12345 ? 1 : 0;
}
