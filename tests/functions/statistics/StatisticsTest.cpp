#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include "functions/statistics/Statistics.h"
#include "model/Rounding.h"
#include "tests/functions/NumericTestSupport.h"

namespace {

using Values = std::vector<long double>;

// Two paired samples; expected values from mpmath at 40 digits over the same
// decimal values (percentiles from numpy.percentile, linear).
const Values sampleA = {2.5L, 7, 1.25L, 9.5L, 4, 6.75L, 3, 8.25L, 5.5L, 2, 10, 6.5L};
const Values sampleB = {3.1L, 6.2L, 2.05L, 8.8L, 5.0L, 6.1L, 2.9L, 9.4L, 5.2L, 3.3L, 11.2L, 6.9L};
constexpr long double correlation = 0.9630351193100354705277L;

}  // namespace

using Statistics = TClearsFaultFlags;

TEST_F(Statistics, LocationSpreadAndShape) {
  struct Case {
    const char* name;
    long double actual, expected;
  } table[] = {
      {"arithmeticMean", arithmeticMean(sampleA, 12), 5.520833333333333333333L},
      {"arithmeticMean of 3", arithmeticMean(sampleA, 3), 3.5833333333333333333333L},
      {"averageDeviation", averageDeviation(sampleA), 2.479166666666666666667L},
      {"devSq", devSq(sampleA), 96.43229166666666666667L},
      {"varPopulation", varPopulation(sampleA), 8.036024305555555555556L},
      {"varSample", varSample(sampleA), 8.76657196969696969697L},
      {"covarPopulation", covarPopulation(sampleA, sampleB), 7.458420138888888888889L},
      {"covarSample", covarSample(sampleA, sampleB), 8.136458333333333333333L},
      {"correlPopulation", correlPopulation(sampleA, sampleB), correlation},
      {"correlSample", correlSample(sampleA, sampleB), correlation},
      {"pearson", pearson(sampleA, sampleB), correlation},
      {"rSquared", rSquared(sampleA, sampleB), correlation * correlation},
      {"slope", slope(sampleA, sampleB), 0.9281231433972454766406L},
      {"intercept", intercept(sampleA, sampleB), 0.7218201458277072643802L},
      {"forecast", forecast(sampleA, sampleB, 7.5L), 7.682743721307048339184L},
      {"standardErrorYX", standardErrorYX(sampleA, sampleB), 0.8061825809127953187498L},
      {"geometricMean", geometricMean(sampleA), 4.638843521177687168667L},
      {"harmonicMean", harmonicMean(sampleA), 3.707733874120086079584L},
      {"skewness", skewness(sampleA), 0.04447559871808203590217L},
      {"kurtosis", kurtosis(sampleA), -1.302120029238177451934L},
  };
  for (const auto& c : table) expectRelative(c.actual, c.expected, 1e-15L, c.name);
  EXPECT_EQ(maxValue(sampleA), 10.0L);
  EXPECT_EQ(minValue(sampleA), 1.25L);
}

// 5,000 values, beyond the 1,292 at which 32-bit factor products wrap.
TEST_F(Statistics, KurtosisOfAFiveYearSeries) {
  Values values;
  for (int i = 0; i < 5000; ++i) values.push_back(((i * 7919) % 1000) / 8.0L + (i % 7));
  expectRelative(kurtosis(values), -1.192820699544732341711L, 1e-15L);  // mpmath
}

// n.Sum(x^2) - Sum(x)^2 rounds below zero for equal values such as 0.033.
TEST_F(Statistics, EqualValuesHaveNoSpreadRatherThanAnInvalidRoot) {
  const Values equal = {0.033L, 0.033L, 0.033L};
  EXPECT_EQ(stdevSample(equal), 0.0L);
  EXPECT_EQ(stdevPopulation(equal), 0.0L);
  EXPECT_EQ(stdevPopulation(Values(7, 0.1L)), 0.0L);
  EXPECT_EQ(standardErrorYX({0.1L, 0.2L, 0.3L, 0.4L}, {0.3L, 0.6L, 0.9L, 1.2L}), 0.0L);  // a perfect line
}

TEST_F(Statistics, GeometricMeanOfLongSeriesLeavesTheProductsRange) {
  EXPECT_NEAR(geometricMean(Values(5000, 100)), 100.0L, 1e-14L);
  EXPECT_NEAR(geometricMean(Values(2000, 0.001L)), 0.001L, 1e-17L);
  EXPECT_THROW(geometricMean({1, 0, 2}), ERangeError);
}

TEST_F(Statistics, CountAndDivisorChecks) {
  EXPECT_THROW(arithmeticMean(sampleA, 13), ERangeError);
  EXPECT_THROW(varSample({1}), ERangeError);
  EXPECT_THROW(covarSample({1, 2}, {1, 2, 3}), ERangeError);
  EXPECT_THROW(standardErrorYX({1, 2}, {3, 5}), EInvalidOp);  // n - 2 = 0 with a perfect fit
  EXPECT_THROW(pearson({2, 2, 2}, {1, 2, 3}), EInvalidOp);
  EXPECT_THROW(skewness({1, 2}), ERangeError);
  EXPECT_THROW(kurtosis({1, 2, 3}), EDivByZero);
  EXPECT_THROW(kurtosis({2, 2, 2, 2}), EInvalidOp);
}

TEST_F(Statistics, OrderStatisticsSortTheirCopy) {
  Values values = {3, 1, 2, 4}, odd = {5, 1, 3};
  EXPECT_EQ(median(values), 2.5L);
  EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
  EXPECT_EQ(median(odd), 3.0L);
  Values modes = {3, 3, 1, 2, 2}, noMode = {1, 2, 3};
  EXPECT_EQ(modeValue(modes), 2.0L);  // the first of two equally long runs
  EXPECT_THROW(modeValue(noMode), ERangeError);

  Values sample = sampleA;
  EXPECT_EQ(kthLargest(sample, 1), 10.0L);
  EXPECT_EQ(kthSmallest(sample, 2), 2.0L);
  EXPECT_THROW(kthLargest(sample, 13), ERangeError);
  EXPECT_THROW(kthSmallest(sample, INT_MIN), ERangeError);
  EXPECT_NEAR(percentile(sample, 0.1L), 2.05L, 1e-17L);
  EXPECT_EQ(quartile(sample, 1), 2.875L);
  EXPECT_EQ(quartile(sample, 3), 7.3125L);
  EXPECT_EQ(quartile(sample, 4), 10.0L);
  Values four = {1, 2, 3, 4};
  EXPECT_EQ(percentile(four, 1), 4.0L);
}

// Long ranges of sheet values take the radix sort; it must order negative
// values, zeros and values that differ only in their last bit.
TEST_F(Statistics, LongRangesSortLikeAComparisonSort) {
  Values values;
  for (int i = 0; i < 3000; ++i) values.push_back(((i * 7919) % 2001 - 1000) * 0.37);
  values.push_back(-0.0L);
  values.push_back(1.0L + 2.220446049250313e-16L);
  values.push_back(1.0L);
  Values expected = values;
  std::sort(expected.begin(), expected.end());
  sortAscending(values);
  EXPECT_EQ(values, expected);
  values.push_back(0.1L);  // no double: the comparison sort
  expected.push_back(0.1L);
  std::sort(expected.begin(), expected.end());
  sortAscending(values);
  EXPECT_EQ(values, expected);
}

TEST_F(Statistics, PercentRankAndRankUseTheFirstOfEqualValues) {
  Values four = {4, 1, 3, 2}, single = {7}, duplicates = {1, 2, 2, 2, 3};
  EXPECT_EQ(percentRank(four, 3, 2), 0.333L);
  EXPECT_EQ(percentRank(four, 3, 2.5L), 0.5L);
  EXPECT_THROW(percentRank(four, 3, 0.5L), ERangeError);
  EXPECT_THROW(percentRank(four, 3, 5), ERangeError);
  EXPECT_EQ(percentRank(single, 3, 7), 1.0L);
  EXPECT_EQ(percentRank(duplicates, 3, 2), 0.25L);

  Values ranked = {2, 1, 3, 2};
  EXPECT_EQ(rankOf(ranked, 1, 2), 2);
  EXPECT_EQ(rankOf(ranked, 0, 2), 3);
  EXPECT_THROW(rankOf(ranked, 1, 2.5L), ERangeError);
}

namespace {

// RANK and PERCENTRANK as a sorted copy defines them; nothing for an error.
std::optional<int> sortedRank(Values a, int order, long double x) {
  std::sort(a.begin(), a.end());
  std::size_t i = std::lower_bound(a.begin(), a.end(), x) - a.begin();
  if (i == a.size() || a[i] != x) return std::nullopt;
  return static_cast<int>(order != 0 ? i + 1 : a.size() - i);
}

std::optional<long double> sortedPercentRank(Values a, int digits, long double x) {
  std::sort(a.begin(), a.end());
  std::size_t n = a.size(), i = std::lower_bound(a.begin(), a.end(), x) - a.begin();
  if (i == n) return std::nullopt;
  if (a[i] == x) return n == 1 ? 1.0L : roundToDigits(digits, 0, static_cast<long double>(i) / (n - 1));
  if (i == 0) return std::nullopt;
  return roundToDigits(digits, 0, (i - 1 + (x - a[i - 1]) / (a[i] - a[i - 1])) / (n - 1));
}

template <class Kernel>
auto attempt(Kernel kernel) -> std::optional<decltype(kernel())> {
  try {
    return kernel();
  } catch (const ERangeError&) {
    return std::nullopt;
  }
}

// Values from a few levels, so that ties are common, with zeros of both
// signs; long arrays of doubles take the radix order, the others (and
// arrays holding a value that is no double) the comparison sort's.
Values tiedValues(std::mt19937_64& random, std::size_t count, bool extended) {
  std::uniform_int_distribution<int> level(-6, 6);
  std::bernoulli_distribution negative(0.5);
  Values values(count);
  for (long double& value : values) {
    int step = level(random);
    value = step == 0 ? (negative(random) ? -0.0L : 0.0L) : step * 0.375L;
  }
  if (extended) values[count / 3] = 1.0L / 3.0L;
  return values;
}

bool sameBits(long double a, long double b) { return a == b && std::signbit(a) == std::signbit(b); }

}  // namespace

TEST_F(Statistics, CountedRanksAndSelectedMediansMatchTheSortedDefinitions) {
  std::mt19937_64 random(20261207);
  for (std::size_t count : {1u, 2u, 3u, 7u, 40u, 255u, 256u, 257u, 1000u, 4001u}) {
    for (bool extended : {false, true}) {
      if (extended && count < 3) continue;
      for (int round = 0; round < 6; ++round) {
        const Values values = tiedValues(random, count, extended);
        Values sorted = values, selected = values;
        const long double expected = median(sorted);
        const long double actual = medianBySelection(selected);
        EXPECT_TRUE(sameBits(actual, expected)) << count << " values: " << static_cast<double>(actual) << " vs "
                                                << static_cast<double>(expected);

        // x on every level, between levels and beyond both ends.
        for (int step = -14; step <= 14; ++step) {
          const long double x = step * 0.1875L;
          for (int order : {0, 1}) {
            EXPECT_EQ(attempt([&] { return rankOf(values, order, x); }), sortedRank(values, order, x))
                << count << " values, x = " << static_cast<double>(x);
          }
          const auto rank = attempt([&] { return percentRank(values, 3, x); });
          const auto expectedRank = sortedPercentRank(values, 3, x);
          ASSERT_EQ(rank.has_value(), expectedRank.has_value()) << count << " values, x = " << static_cast<double>(x);
          if (rank) {
            EXPECT_TRUE(sameBits(*rank, *expectedRank));
          }
        }
      }
    }
  }
}

TEST_F(Statistics, TrimmedMeanFrequencyAndRangeProbability) {
  Values trimmed = {1, 100, 3, 4, 2}, few = {1, 2, 9}, even = {1, 2, 3, 4};
  EXPECT_EQ(trimmedMean(trimmed, 0.4L), 3.0L);
  EXPECT_EQ(trimmedMean(few, 0.5L), 4.0L);         // t = 0 keeps every value
  EXPECT_THROW(trimmedMean(even, 1), EInvalidOp);  // nothing left to average

  Values counts;
  frequency({1, 2, 3, 4, 5}, {2, 4}, counts);
  EXPECT_EQ(counts, (Values{2, 2, 1}));
  frequency({1, 5, 3}, {4, 2}, counts);  // bins in the given order
  EXPECT_EQ(counts, (Values{2, 0, 1}));
  // Bins that an earlier bound already covers, equal bounds and NaN.
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  frequency({0, 1, 2, 3, 4, 5, 6, 7, nan}, {2, nan, 1, 5, 5, 3, 6}, counts);
  EXPECT_EQ(counts, (Values{3, 0, 0, 3, 0, 0, 1, 2}));
  // So many rising bins that the values are sorted and walked instead.
  Values manyBins, manyValues, walked;
  for (int j = 0; j < 40000; ++j) manyBins.push_back(j % 2 == 0 ? j : -j);
  for (int i = 0; i < 50000; ++i) manyValues.push_back((i * 7919) % 50000 - 5000.5L);
  manyValues.push_back(nan);
  frequency(manyValues, manyBins, walked);
  // Only the even bins, bound j at position j, can take a value.
  Values expected(manyBins.size() + 1, 0);
  for (long double d : manyValues) {
    long long j = std::isnan(d) ? 40000 : d <= 0 ? 0 : static_cast<long long>(std::ceil(d));
    if (j % 2 != 0) ++j;
    expected[std::min<std::size_t>(j, manyBins.size())] += 1;
  }
  EXPECT_EQ(walked, expected);

  EXPECT_NEAR(rangeProbability({1, 2, 3, 4}, {0.1L, 0.2L, 0.3L, 0.4L}, 2, 3), 0.5L, 1e-18L);
  EXPECT_THROW(rangeProbability({1, 2, 3}, {0.2L, 0.3L, 0.4L}, 1, 3), EIntOverflow);
  EXPECT_THROW(rangeProbability({1, 2}, {1.5L, -0.5L}, 1, 3), ERangeError);
}
