#include <gtest/gtest.h>

#include <vector>

#include "functions/signal/MaximumEntropy.h"
#include "platform/NumericErrors.h"
#include "tests/functions/SeriesAssertions.h"

namespace {

// sin(0.7 t) + 0.5 cos(1.9 t) + 0.1 ((7 t) mod 5 - 2), t = 0 .. 23
const std::vector<long double> testSignal = {0.3,
                                             0.4825729038059393,
                                             0.7899658740312516,
                                             1.1805657590684535,
                                             0.560618071447033,
                                             -1.049369305787809,
                                             -0.674830339239643,
                                             -0.4110780262724973,
                                             -1.1681351293778617,
                                             0.027909364922790142,
                                             0.9513389078121237,
                                             0.7574348816690455,
                                             0.7094339699874939,
                                             0.6730081612274498,
                                             -0.21480279569993957,
                                             -1.5670183978319987,
                                             -0.7157614136700128,
                                             -0.1011339674501669,
                                             -0.5347608870051969,
                                             0.7554138958534456,
                                             1.2681441777185178,
                                             0.5511373527792932,
                                             0.2160698760301843,
                                             -0.0018623808216712001};

// The same method written independently in numpy as the lattice recursion
// (reflection k = -2 f.b / (f.f + b.b), Levinson update of the prediction
// polynomial a, error power times 1 - k^2), reported as (power, -a[1:]).
const std::vector<long double> order4Coefficients = {0.10704932422118832, 0.7620720746080494, -0.7062623940880772,
                                                     0.6433606251251514, -0.8368297647807403};

}  // namespace

TEST(memCoefficients, BurgCoefficientsMatchTheLatticeRecursion) {
  expectSeriesNear(memCoefficients(testSignal, 4), order4Coefficients, 1e-13L);
  // Order 10 on 5 values uses order 4.
  expectSeriesNear(memCoefficients(std::vector<long double>{1, 3, 2, -1, 0.5}, 10),
                   {0.64726473068148, 0.3592663553625711, -0.3484705191235455, 0.4247923126654063, 0.49153460310578806},
                   1e-13L);
  // Order 1: the mean square times 1 - d^2, d = 2 sum x[j] x[j+1] / sum (x[j]^2 + x[j+1]^2).
  expectSeriesNear(memCoefficients(std::vector<long double>{1, 2}, 1), {2.5L * (1 - 0.64L), 0.8L}, 1e-18L);
}

TEST(memCoefficients, DegenerateInputs) {
  EXPECT_TRUE(memCoefficients(std::vector<long double>{}, 3).empty());
  EXPECT_TRUE(memCoefficients(std::vector<long double>{5}, 3).empty());
  EXPECT_TRUE(memCoefficients(testSignal, 0).empty());
  EXPECT_TRUE(memCoefficients(testSignal, -2).empty());
  // All error terms zero: 0 / 0.
  EXPECT_THROW(memCoefficients(std::vector<long double>(6, 0), 2), EInvalidOp);
}

TEST(memSpectrum, MatchesTheModelSpectrumAndIsZeroOutsideTheBand) {
  // a0 / |1 - sum d[k] e^(-2 pi i f k)|^2 in numpy at f = 0, 0.05, 0.1, 0.25, 0.4, 0.5
  expectSeriesNear(memSpectrum(order4Coefficients, std::vector<long double>{0, 0.05L, 0.1L, 0.25L, 0.4L, 0.5L}),
                   {0.08271025613877304, 0.1455201118912929, 4.11353006025366, 0.08283788297570478, 0.01825841735939976,
                    0.006866164071576846},
                   1e-13L);
  EXPECT_EQ(memSpectrum(order4Coefficients, std::vector<long double>{0.6L, -0.1L}), (std::vector<long double>{0, 0}));
  EXPECT_TRUE(memSpectrum(std::vector<long double>{1}, std::vector<long double>{}).empty());
  EXPECT_THROW(memSpectrum(std::vector<long double>{1}, std::vector<long double>{0.1L}), ERangeError);
  // 1 - d e^(i 0) = 0 at frequency 0.
  EXPECT_THROW(memSpectrum(std::vector<long double>{1, 1}, std::vector<long double>{0}), EZeroDivide);
}
