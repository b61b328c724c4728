#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "functions/signal/FFT.h"
#include "functions/signal/SignalLimits.h"
#include "platform/NumericErrors.h"
#include "tests/functions/SeriesAssertions.h"

namespace {

constexpr long double pi = std::numbers::pi_v<long double>;

// Every third element of a spectrum, starting at column.
std::vector<long double> column(const std::vector<long double>& rows, int index) {
  std::vector<long double> values;
  for (std::size_t i = index; i < rows.size(); i += 3) values.push_back(rows[i]);
  return values;
}

}  // namespace

TEST(Tfft, SixteenPointTransformMatchesNumpy) {
  std::vector<TComplex> data(16);
  for (int j = 0; j < 16; ++j) data[j] = {static_cast<long double>(j * j % 7 - 3), static_cast<long double>(j % 3 - 1)};
  Tfft fft(16);
  fft.transform(data);

  // numpy.fft.fft((j*j % 7 - 3) + 1j*(j % 3 - 1)) for j = 0 .. 15
  const std::vector<long double> re = {-19.0, -3.15432202989895,    -6.828427124746191,  0.8225006678182485,
                                       1.0,   0.22417076458398277,  -4.585786437626905,  2.251510256709831,
                                       -1.0,  3.15432202989895,     -1.1715728752538093, -7.650927792564438,
                                       -1.0,  -0.22417076458398277, -7.414213562373095,  -3.423083131963641};
  const std::vector<long double> im = {-1.0,
                                       -2.3889551651687704,
                                       -8.242640687119286,
                                       -0.627433662445009,
                                       -7.0,
                                       2.0719298296065563,
                                       6.0,
                                       0.14978611614105386,
                                       1.0,
                                       2.3889551651687704,
                                       0.24264068711928566,
                                       -15.857847711793562,
                                       3.0,
                                       -2.0719298296065563,
                                       6.0,
                                       0.33549525809751746};
  std::vector<long double> actualRe, actualIm;
  for (const TComplex& value : data) {
    actualRe.push_back(value.re);
    actualIm.push_back(value.im);
  }
  expectSeriesNear(actualRe, re, 1e-14L);
  expectSeriesNear(actualIm, im, 1e-14L);
}

TEST(Tfft, LongOddStageTransformMatchesTheDirectSum) {
  // 2^11 points: an odd number of stages and long rotation chains.
  constexpr int n = 2048;
  std::vector<TComplex> signal(n);
  for (int j = 0; j < n; ++j) signal[j] = {std::sin(0.37L * j) + (j % 11) * 0.1L, std::cos(1.3L * j * j / n)};
  std::vector<TComplex> data = signal;
  Tfft fft(n);
  fft.transform(data);

  long double largestError = 0;
  for (int k = 0; k < n; k += 37) {
    long double re = 0, im = 0;
    for (int j = 0; j < n; ++j) {
      const long double angle = -2 * pi * ((static_cast<long long>(j) * k) % n) / n;
      re += signal[j].re * std::cos(angle) - signal[j].im * std::sin(angle);
      im += signal[j].re * std::sin(angle) + signal[j].im * std::cos(angle);
    }
    largestError = std::max(largestError, std::hypot(data[k].re - re, data[k].im - im));
  }
  EXPECT_LT(largestError, 1e-13L);
}

TEST(Tfft, OnlyPowersOfTwoMakeAUsableObject) {
  for (int n : {-4, 0, 1, 6, 12}) {
    Tfft fft(n);
    EXPECT_FALSE(fft.valid()) << n;
    EXPECT_EQ(fft.size(), 0) << n;
    std::vector<TComplex> data(std::max(n, 1));
    EXPECT_THROW(fft.transform(data), ERangeError) << n;
  }

  Tfft fft(8);
  ASSERT_TRUE(fft.valid());
  EXPECT_EQ(fft.size(), 8);
  EXPECT_EQ(fft.half(), 4);
  EXPECT_EQ(fft.stages(), 3);

  std::vector<TComplex> shortData(4);
  EXPECT_THROW(fft.transform(shortData), ERangeError);
}

TEST(fourierSpectrum, PadsToAPowerOfTwoAndScalesByTheLength) {
  const std::vector<long double> spectrum = fourierSpectrum(std::vector<long double>{1, 2, 3, 4, 5}, false);
  ASSERT_EQ(spectrum.size(), 15u);
  // numpy.fft.rfft([1, 2, 3, 4, 5], 8) / 8
  expectSeriesNear(column(spectrum, 0), {1.875, -0.6767766952966369, 0.375, -0.32322330470336313, 0.375}, 1e-15L);
  expectSeriesNear(column(spectrum, 1), {0.0, -0.9053300858899107, 0.25, -0.1553300858899107, 0.0}, 1e-15L);
  expectSeriesNear(column(spectrum, 2), {0, pi / 4, pi / 2, 3 * pi / 4, pi}, 1e-18L);

  const std::vector<long double> polar = fourierSpectrum(std::vector<long double>{1, 2, 3, 4, 5}, true);
  // numpy.abs and numpy.angle of the same bins
  expectSeriesNear(column(polar, 0), {1.875, 1.1303314822272579, 0.4506939094329987, 0.3586094537040681, 0.375},
                   1e-15L);
  expectSeriesNear(column(polar, 1), {0.0, -2.212725599311675, 0.5880026035475676, -2.6936128795070107, 0.0}, 1e-15L);
}

TEST(fourierSpectrum, ConstantSeriesHasOnlyItsMean) {
  const std::vector<long double> constant(8, 2.5L);
  for (bool polar : {false, true}) {
    const std::vector<long double> spectrum = fourierSpectrum(constant, polar);
    ASSERT_EQ(spectrum.size(), 15u);
    EXPECT_EQ(spectrum[0], 2.5L);
    EXPECT_EQ(spectrum[1], 0.0L);
    for (int row = 1; row < 5; ++row) {
      EXPECT_NEAR(static_cast<double>(spectrum[3 * row]), 0.0, 1e-18);
      if (!polar) {
        EXPECT_NEAR(static_cast<double>(spectrum[3 * row + 1]), 0.0, 1e-18);
      }
    }
  }
}

TEST(fourierSpectrum, ShortSeriesGiveOneRow) {
  EXPECT_EQ(fourierSpectrum(std::vector<long double>{}, false), (std::vector<long double>{0, 0, 0}));
  EXPECT_EQ(fourierSpectrum(std::vector<long double>{4}, false), (std::vector<long double>{4, 0, 0}));
  EXPECT_EQ(fourierSpectrum(std::vector<long double>{4}, true), (std::vector<long double>{4, 0, 0}));
  // The polar form of a negative value is its size and the phase pi, as for
  // every longer series; a negative magnitude would be wrong.
  EXPECT_EQ(fourierSpectrum(std::vector<long double>{-3}, true), (std::vector<long double>{3, pi, 0}));
}

TEST(fourierSpectrum, RejectsSeriesBeyondTheElementLimit) {
  const std::vector<long double> tooLong(maxSignalLength + 1);
  EXPECT_THROW(fourierSpectrum(tooLong, false), ERangeError);
}
