#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <vector>

#include "functions/signal/DigitalFilters.h"
#include "platform/NumericErrors.h"
#include "tests/functions/SeriesAssertions.h"

namespace {

using Complex = std::complex<long double>;
constexpr long double pi = std::numbers::pi_v<long double>;

// Reference sections: scipy.signal.butter(n, 1, analog=True) split by
// scipy.signal.residue, each pole p and residue r mapped to z = exp(w p) and
// w r with w = 2 pi fc, pairs ordered from the pole farthest from the
// imaginary axis, the real pole last.
const std::vector<long double> lowPass4At01 = {0.5804906304278846,  -0.1287465149813644, 1.0870485060456871,
                                               -0.3131787200387958, -0.5804906304278851, 0.27797473149362084,
                                               1.3149584405528354,  -0.6182303329599842};
const std::vector<long double> lowPass4At03 = {1.741471891283654,     0.25742009403624494, 0.2632160711619828,
                                               -0.030716854068611115, -1.741471891283655,  -0.4893305031872811,
                                               -0.16512629868594922,  -0.23629303942921417};
const std::vector<long double> lowPass3At005 = {-0.31415926535897926, 0.3002720190644249,
                                                1.646399373750053,    -0.7304026910486455,
                                                0.31415926535897915,  0,
                                                0.7304026910486455,   0};
const std::vector<long double> lowPass5At03 = {-3.0499222153891203,  1.1138197042661608,
                                               0.19434210451636028,  -0.04736260832992012,
                                               -0.520988912214496,   -0.9376181639816226,
                                               -0.24584069829972807, -0.31193307317569163,
                                               3.5709111276036176,   0,
                                               0.1518358019806479,   0};

const std::vector<long double> testInput = {1.0, 0.5, -0.25, 2.0, 0, 0, -1.5, 3.0, 1.0, 0.75, -2.0, 0.0};

// Response of y[n] = b0 x[n] + b1 x[n-2 or n-1] ... at z = e^(i omega) of
// the one-group forms, evaluated directly.
Complex resonatorResponse(const std::vector<long double>& c, long double omega) {
  const Complex inverseZ = std::polar(1.0L, -omega);
  return c[0] / (1.0L - c[2] * inverseZ - c[3] * inverseZ * inverseZ);
}

}  // namespace

TEST(makeLowPass, ButterworthSectionsMatchThePartialFractionsOfScipy) {
  // scipy's residues come from double-precision polynomial roots.
  expectSeriesNear(makeLowPass(4, 0.1L), lowPass4At01, 1e-13L);
  expectSeriesNear(makeLowPass(5, 0.3L), lowPass5At03, 1e-13L);
  expectSeriesNear(makeLowPass(3, 0.05L), lowPass3At005, 1e-13L);
  EXPECT_EQ(makeLowPass(3, 0.05L)[5], 0.0L);
  EXPECT_EQ(makeLowPass(3, 0.05L)[7], 0.0L);
  // Order 1: the single real pole, (w, 0, e^-w, 0).
  expectSeriesNear(makeLowPass(1, 0.2L), {0.4L * pi, 0, std::exp(-0.4L * pi), 0}, 1e-18L);
}

TEST(makeLowPass, ClampsTheCutoffAndBoundsTheOrder) {
  EXPECT_THROW(makeLowPass(0, 0.1L), ERangeError);
  EXPECT_THROW(makeLowPass(-3, 0.1L), ERangeError);
  EXPECT_THROW(makeLowPass(maxLowPassOrder + 1, 0.1L), ERangeError);
  EXPECT_THROW(makeLowPass(4, std::numeric_limits<long double>::quiet_NaN()), ERangeError);
  EXPECT_EQ(makeLowPass(maxLowPassOrder, 0.1L).size(), 4u * (maxLowPassOrder / 2));
  EXPECT_EQ(makeLowPass(4, 0.7L), makeLowPass(4, 0.499L));
  EXPECT_EQ(makeLowPass(4, -1), makeLowPass(4, 0.001L));
}

TEST(makeHighPass, IsTheLowPassAtTheMirroredCutoffShiftedByHalfTheRate) {
  std::vector<long double> expected = lowPass4At03;
  for (std::size_t section = 0; section < expected.size(); section += 4) {
    expected[section + 1] = -expected[section + 1];
    expected[section + 2] = -expected[section + 2];
  }
  expectSeriesNear(makeHighPass(4, 0.2L), expected, 1e-13L);
  EXPECT_EQ(makeHighPass(3, 0.9L), makeHighPass(3, 0.6L));
  EXPECT_THROW(makeHighPass(0, 0.2L), ERangeError);
}

TEST(applyFilter, AddsTheParallelSectionsLikeScipyLfilter) {
  // sum over sections of scipy.signal.lfilter([b0, b1], [1, -a1, -a2], x), times 0.5
  const std::vector<long double> expected = {-2.220446049250313e-16, 0.008464317474711658, 0.04666545964761892,
                                             0.10477320238394716,    0.16393912175225522,  0.2386423676067615,
                                             0.29817318982204116,    0.2975246791588111,   0.22987375185155767,
                                             0.19590083905541944,    0.23224788344765185,  0.2902961689305652};
  expectSeriesNear(applyFilter(lowPass4At01, testInput, 0.5L), expected, 1e-15L);
  expectSeriesNear(applyHighPass(lowPass4At01, testInput, -0.5L), expected, 1e-15L);
}

TEST(applyFilter, UsesWholeGroupsOfFourOnly) {
  const std::vector<long double> oneSection(lowPass4At01.begin(), lowPass4At01.begin() + 4);
  std::vector<long double> withPartialGroup = oneSection;
  withPartialGroup.push_back(9);
  withPartialGroup.push_back(9);
  EXPECT_EQ(applyFilter(withPartialGroup, testInput, 1), applyFilter(oneSection, testInput, 1));
  EXPECT_THROW(applyFilter(std::vector<long double>{1, 2, 3}, testInput, 1), ERangeError);
  EXPECT_TRUE(applyFilter(std::vector<long double>{1, 2, 3}, std::vector<long double>{}, 1).empty());
}

TEST(makeEma, IsTheExponentialAverageOfThePeriod) {
  const std::vector<long double> ema = makeEma(9);
  expectSeriesNear(ema, {0.2L, 0, 0.8L, 0}, 1e-19L);
  // scipy.signal.lfilter([0.2], [1, -0.8], [5] * 6): rises from 0.2 c towards c
  expectSeriesNear(applyFilter(ema, std::vector<long double>(6, 5), 1), {1.0, 1.8, 2.44, 2.952, 3.3616, 3.68928},
                   1e-15L);
  EXPECT_THROW(makeEma(-1), EZeroDivide);
}

TEST(makeNotch, PutsTheZerosOnTheNotchWithUnitGainAtZeroFrequency) {
  const std::vector<long double> notch = makeNotch(0.1L, 0.9L);
  // c = cos(0.2 pi); ((1 + r^2 - 2 r c) / (2 - 2 c), -2 c0 c, 2 r c, -r^2) in numpy
  expectSeriesNear(notch, {0.9261803398874988, -1.4985912696499033, 1.4562305898749057, -0.81}, 1e-15L);
  // scipy.signal.lfilter([c0, c1, c0], [1, -c2, -c3], x)
  const std::vector<long double> expected = {0.9261803398874988,  0.31323104297875914,  -0.34872982873411124,
                                             1.9285504781139782,  -0.13784226264960164, 0.08950467305475407,
                                             -1.1472788342459856, 3.2832266054179744,   0.7515668931465906,
                                             0.4096261546769675,  -2.062382838720235,   0.35671563114963645};
  expectSeriesNear(applyNotch(notch, testInput), expected, 1e-15L);

  const std::vector<long double> settled = applyNotch(notch, std::vector<long double>(400, 3));
  EXPECT_NEAR(static_cast<double>(settled.back()), 3.0, 1e-12);

  EXPECT_EQ(makeNotch(0.1L, 1.5L), makeNotch(0.1L, 0.999L));
  EXPECT_EQ(makeNotch(0.6L, 0), makeNotch(0.499L, 0.001L));
  EXPECT_THROW(applyNotch(std::vector<long double>{1, 2, 3}, testInput), ERangeError);
  EXPECT_TRUE(applyNotch(std::vector<long double>{1, 2, 3}, std::vector<long double>{}).empty());
}

TEST(makeResonator, ReachesTheAskedGainsAtZeroAndAtTheResonance) {
  const long double theta = 2 * pi * 0.1L;
  auto powerRatio = [theta](const std::vector<long double>& c) {
    return std::norm(resonatorResponse(c, theta)) / std::norm(resonatorResponse(c, 0));
  };
  const std::vector<long double> resonator = makeResonator(0.1L, 2, 20);
  ASSERT_EQ(resonator.size(), 4u);
  EXPECT_EQ(resonator[1], 0.0L);
  EXPECT_NEAR(static_cast<double>(std::abs(resonatorResponse(resonator, 0))), 2.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(powerRatio(resonator) / 100), 1.0, 1e-4);

  // A peak gain below the zero-frequency gain is raised to it (ratio 1).
  const std::vector<long double> flat = makeResonator(0.1L, 2, 0.5L);
  EXPECT_EQ(flat, makeResonator(0.1L, 2, 2));
  EXPECT_NEAR(static_cast<double>(powerRatio(flat)), 1.0, 1e-4);
  // At a quarter of the rate the ratio grows with the radius from 1 at 0,
  // so the search closes in on the origin.
  EXPECT_LT(-makeResonator(0.25L, 2, 2)[3], 1e-4L);
  EXPECT_EQ(makeResonator(0.1L, 0, 0), makeResonator(0.1L, 0.001L, 0.001L));
}

TEST(applyResonator, IgnoresTheSecondCoefficient) {
  // scipy.signal.lfilter([0.25], [1, -1.5, 0.81], x)
  const std::vector<long double> expected = {0.25,        0.5,          0.485,        0.8225,
                                             0.8409,      0.595125,     -0.1634415,   0.0227865,
                                             0.416567365, 0.7938939825, 0.3534214081, -0.112922013675};
  expectSeriesNear(applyResonator(std::vector<long double>{0.25, 7, 1.5, -0.81}, testInput), expected, 1e-15L);
  EXPECT_THROW(applyResonator(std::vector<long double>{0.25}, testInput), ERangeError);
}

TEST(convolve, MatchesNumpyConvolve) {
  expectSeriesNear(convolve(std::vector<long double>{1, 2}, std::vector<long double>{1, 1}, 1), {1, 3, 2}, 0);
  // numpy.convolve([0.5, -1, 2, 3.25], [1, 2, -0.5, 4, 0, 1.5]) * 0.75 (exact in binary)
  expectSeriesNear(
      convolve(std::vector<long double>{0.5, -1, 2, 3.25}, std::vector<long double>{1, 2, -0.5, 4, 0, 1.5}, 0.75L),
      {0.375, 0.0, -0.1875, 7.3125, 1.125, 5.34375, 8.625, 2.25, 3.65625}, 0);
  EXPECT_EQ(convolve(std::vector<long double>{}, std::vector<long double>{1, 2, 3}, 1),
            (std::vector<long double>{0, 0}));
  EXPECT_TRUE(convolve(std::vector<long double>{}, std::vector<long double>{}, 1).empty());
}
