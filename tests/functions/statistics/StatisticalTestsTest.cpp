#include <gtest/gtest.h>

#include <vector>

#include "functions/statistics/StatisticalTests.h"
#include "tests/functions/NumericTestSupport.h"

// Expected probabilities from scipy.stats (ttest_rel, ttest_ind, f, chi2,
// norm) over the same decimal values.

namespace {

using Values = std::vector<long double>;
constexpr long double eps = static_cast<long double>(1e-10);
constexpr int itmax = 10000;

const Values sampleA = {2.5L, 7, 1.25L, 9.5L, 4, 6.75L, 3, 8.25L, 5.5L, 2, 10, 6.5L};
const Values sampleB = {3.1L, 6.2L, 2.05L, 8.8L, 5.0L, 6.1L, 2.9L, 9.4L, 5.2L, 3.3L, 11.2L, 6.9L};
const Values sampleC = {4.2L, 5.9L, 7.7L, 3.3L, 6.1L, 8.4L, 5.5L};

}  // namespace

using StatisticalTests = TClearsFaultFlags;

TEST_F(StatisticalTests, Probabilities) {
  struct Case {
    const char* name;
    long double actual, expected;
  } table[] = {
      {"paired t, two tails", tTest(sampleA, sampleB, 2, 1, eps), 0.18573508916723097L},
      {"paired t, one tail", tTest(sampleA, sampleB, 1, 1, eps), 0.18573508916723097L / 2},
      {"equal variances", tTest(sampleA, sampleC, 2, 2, eps), 0.7809790373604738L},
      {"unequal variances", tTest(sampleA, sampleC, 2, 3, eps), 0.7519409123003052L},
      {"F test", fTest(sampleA, sampleC, eps), 0.2305097367961688L},
      {"F test reversed", fTest(sampleC, sampleA, eps), 0.2305097367961688L},
      {"chi-square test", chiTest({18, 22, 30, 30}, {25, 25, 25, 25}, 3, itmax), 0.22891886433610517L},
      {"z test, known sigma", zTestKnownSigma(sampleA, 4.5L, 2.5L, itmax), 0.07860637667000196L},
      {"z test, sample sigma", zTestSampleSigma(sampleA, 4.5L, itmax), 0.11617110758325006L},
  };
  for (const auto& c : table) expectRelative(c.actual, c.expected, 1e-9L, c.name);
}

// Two samples of 2,000: B(1999, 0.5) through Gamma would overflow.
TEST_F(StatisticalTests, TTestOfLargeSamples) {
  Values x, y;
  for (int i = 0; i < 2000; ++i) {
    x.push_back(((i * 7919) % 1000) / 8.0L);
    y.push_back(((i * 104729) % 997) / 8.0L + 1.5L);
  }
  EXPECT_NEAR(tTest(x, y, 2, 2, eps), 0.30622134263800127L, 1e-9L);
  EXPECT_NEAR(tTest(x, y, 2, 3, eps), 0.3062213428139944L, 1e-9L);
}

TEST_F(StatisticalTests, DegreesOfFreedomOfATable) {
  EXPECT_EQ(chiTestDegrees(3, 4), 6);
  EXPECT_EQ(chiTestDegrees(1, 5), 4);
  EXPECT_EQ(chiTestDegrees(6, 1), 5);
  EXPECT_THROW(chiTestDegrees(65536, 65536), ERangeError);
}

TEST_F(StatisticalTests, ArgumentChecks) {
  EXPECT_THROW(tTest(sampleA, sampleB, 3, 1, eps), ERangeError);
  EXPECT_THROW(tTest(sampleA, sampleB, 2, 4, eps), ERangeError);
  EXPECT_THROW(tTest(sampleA, sampleC, 2, 1, eps), ERangeError);  // paired needs equal counts
  EXPECT_THROW(chiSquare({1}, {0}), EZeroDivide);
  EXPECT_THROW(fTest({1, 1}, {2, 2}, eps), EInvalidOp);
  EXPECT_THROW(zTestKnownSigma(sampleA, 4.5L, 0, itmax), EZeroDivide);
}
