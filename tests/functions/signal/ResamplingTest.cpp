#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "functions/signal/Resampling.h"
#include "functions/signal/SignalLimits.h"
#include "platform/NumericErrors.h"
#include "tests/functions/SeriesAssertions.h"

TEST(resample, DoublingKeepsTheSamplesAndInterpolatesAgainstZerosPastTheEnd) {
  // (1, 4, 9) at positions 0, 0.5, ... 2.5; the Lagrange weights at 0.5 are
  // (-1, 9, 9, -1) / 16 and the samples at -1, 3 and 4 count as 0.
  expectSeriesNear(resample(std::vector<long double>{1, 4, 9}, 2), {1, 2.25, 4, 7.25, 9, 4.8125}, 1e-18L);
}

TEST(resample, IsExactForCubicsAwayFromTheEnds) {
  auto cubic = [](long double t) { return 0.5L * t * t * t - 2 * t * t + t - 3; };
  std::vector<long double> series;
  for (int t = 0; t < 12; ++t) series.push_back(cubic(t));
  const std::vector<long double> tripled = resample(series, 3);
  ASSERT_EQ(tripled.size(), 36u);
  for (std::size_t k = 3; k < 30; ++k)
    EXPECT_NEAR(static_cast<double>(tripled[k]), static_cast<double>(cubic(k / 3.0L)), 1e-12) << k;
}

TEST(resample, LengthRoundsHalvesToEven) {
  const std::vector<long double> five = {10, 20, 30, 40, 50};
  // 2.5 values round to 2, picking the samples at 0 and 2.
  expectSeriesNear(resample(five, 0.5L), {10, 30}, 1e-18L);
  EXPECT_EQ(resample(std::vector<long double>{1, 2, 3}, 0.5L).size(), 2u);  // 1.5 -> 2
  EXPECT_EQ(resample(five, 0.7L).size(), 4u);                               // 3.5 -> 4
  EXPECT_EQ(resample(five, 0.01L).size(), 0u);
  EXPECT_TRUE(resample(std::vector<long double>{}, 2).empty());
}

TEST(resample, FactorsThatAreNotPositiveOrTooLargeAreErrors) {
  const std::vector<long double> series = {1, 2, 3};
  EXPECT_THROW(resample(series, 0), ERangeError);
  EXPECT_THROW(resample(series, -1), ERangeError);
  EXPECT_THROW(resample(std::vector<long double>{}, 0), ERangeError);
  EXPECT_THROW(resample(series, std::numeric_limits<long double>::quiet_NaN()), ERangeError);
  EXPECT_THROW(resample(series, std::numeric_limits<long double>::infinity()), ERangeError);
  EXPECT_THROW(resample(series, 1e9L), ERangeError);
  EXPECT_THROW(resample(series, maxSignalLength / 3.0L + 1), ERangeError);
  EXPECT_EQ(resample(std::vector<long double>{1, 2}, maxSignalLength / 2.0L).size(),
            static_cast<std::size_t>(maxSignalLength));
}

TEST(cubicInterpolate, AdvancesThePositionAndStaysInsideTheSeries) {
  const std::vector<long double> series = {1, 4, 9, 16};
  std::int64_t index = 1;
  long double fraction = 0.75L;
  // 0.75 + 1.25 = 2: index 3, fraction 0, the sample itself.
  EXPECT_EQ(cubicInterpolate(index, fraction, series, 3, 1.25L), 16.0L);
  EXPECT_EQ(index, 3);
  EXPECT_EQ(fraction, 0.0L);
  // A last index below the series end hides the later samples.
  index = 2;
  fraction = 0;
  EXPECT_EQ(cubicInterpolate(index, fraction, series, 1, 0), 0.0L);
  // A last index beyond the series end reads nothing past it.
  index = 3;
  fraction = 0;
  EXPECT_EQ(cubicInterpolate(index, fraction, series, 100, 0.5L), 16.0L * 9 / 16 + 9.0L * -1 / 16);
}
