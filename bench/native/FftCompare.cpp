// Native Linux comparison of the program's FFT with FFTW, built and run by
// tools/bench-fft-compare. FFTW is used only here: the program never links it.
// Each transform is timed alone on a fresh copy of the same input; the
// figures are medians over the runs.
#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "functions/signal/FFT.h"

namespace {

constexpr int points = 65536;
constexpr int runs = 101;

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point start, Clock::time_point end) {
  return std::chrono::duration<double>(end - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::vector<TComplex> testSignal() {
  std::vector<TComplex> signal(points);
  unsigned state = 12345;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return static_cast<long double>((state >> 8) & 0xFFFF) / 65536.0L - 0.5L;
  };
  for (TComplex& value : signal) value = {next(), next()};
  return signal;
}

}  // namespace

int main() {
  const std::vector<TComplex> signal = testSignal();

  Tfft fft(points);
  std::vector<TComplex> ours(points);
  std::vector<double> ourTimes;
  for (int run = 0; run < runs; ++run) {
    ours = signal;
    auto start = Clock::now();
    fft.transform(ours);
    ourTimes.push_back(seconds(start, Clock::now()));
  }

  fftw_complex* doubleData = fftw_alloc_complex(points);
  fftw_plan doublePlan = fftw_plan_dft_1d(points, doubleData, doubleData, FFTW_FORWARD, FFTW_MEASURE);
  std::vector<double> doubleTimes;
  for (int run = 0; run < runs; ++run) {
    for (int i = 0; i < points; ++i) {
      doubleData[i][0] = static_cast<double>(signal[i].re);
      doubleData[i][1] = static_cast<double>(signal[i].im);
    }
    auto start = Clock::now();
    fftw_execute(doublePlan);
    doubleTimes.push_back(seconds(start, Clock::now()));
  }

  fftwl_complex* extendedData = fftwl_alloc_complex(points);
  fftwl_plan extendedPlan = fftwl_plan_dft_1d(points, extendedData, extendedData, FFTW_FORWARD, FFTW_MEASURE);
  std::vector<double> extendedTimes;
  for (int run = 0; run < runs; ++run) {
    for (int i = 0; i < points; ++i) {
      extendedData[i][0] = signal[i].re;
      extendedData[i][1] = signal[i].im;
    }
    auto start = Clock::now();
    fftwl_execute(extendedPlan);
    extendedTimes.push_back(seconds(start, Clock::now()));
  }

  // The comparison means something only if both compute the same transform.
  long double largestError = 0, largestValue = 0;
  for (int i = 0; i < points; ++i) {
    largestError = std::max(largestError, std::hypot(ours[i].re - extendedData[i][0], ours[i].im - extendedData[i][1]));
    largestValue = std::max(largestValue, std::hypot(extendedData[i][0], extendedData[i][1]));
  }

  const double ourTime = median(ourTimes);
  const double doubleTime = median(doubleTimes);
  const double extendedTime = median(extendedTimes);
  std::printf("FFT of %d complex points, median of %d runs\n", points, runs);
  std::printf("  Tfft (long double)        %9.3f ms\n", ourTime * 1e3);
  std::printf("  FFTW (double)             %9.3f ms   ratio %.2f\n", doubleTime * 1e3, ourTime / doubleTime);
  std::printf("  FFTW (long double)        %9.3f ms   ratio %.2f\n", extendedTime * 1e3, ourTime / extendedTime);
  std::printf("  largest difference to FFTW (long double), relative to the largest bin: %.3Le\n",
              largestError / largestValue);

  fftw_destroy_plan(doublePlan);
  fftw_free(doubleData);
  fftwl_destroy_plan(extendedPlan);
  fftwl_free(extendedData);
  return 0;
}
