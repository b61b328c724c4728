#include <gtest/gtest.h>

#include <vector>

#include "functions/signal/DataWindows.h"
#include "functions/signal/SignalLimits.h"
#include "platform/NumericErrors.h"
#include "tests/functions/SeriesAssertions.h"

namespace {

struct WindowRoutines {
  const char* name;
  std::vector<long double> (*window)(std::int64_t);
  long double (*weight)(std::int64_t, std::int64_t);
};

const WindowRoutines allWindows[] = {{"rectangle", rectangleWindow, rectangleWeight},
                                     {"triangle", triangleWindow, triangleWeight},
                                     {"hamming", hammingWindow, hammingWeight},
                                     {"hanning", hanningWindow, hanningWeight},
                                     {"blackman", blackmanWindow, blackmanWeight}};

}  // namespace

TEST(DataWindows, WeightsMatchNumpy) {
  // numpy.hamming(7), numpy.hanning(6), numpy.blackman(5), numpy.bartlett(5) and (4)
  expectSeriesNear(hammingWindow(7), {0.08, 0.31, 0.77, 1.0, 0.77, 0.31, 0.08}, 1e-16L);
  expectSeriesNear(hanningWindow(6),
                   {0.0, 0.3454915028125263, 0.9045084971874737, 0.9045084971874737, 0.3454915028125263, 0.0}, 1e-16L);
  expectSeriesNear(blackmanWindow(5), {0, 0.34, 1.0, 0.34, 0}, 1e-16L);
  expectSeriesNear(triangleWindow(5), {0, 0.5, 1, 0.5, 0}, 1e-18L);
  expectSeriesNear(triangleWindow(4), {0, 2.0L / 3, 2.0L / 3, 0}, 1e-18L);
  expectSeriesNear(hanningWindow(2), {0, 0}, 1e-18L);
  EXPECT_EQ(rectangleWindow(1), (std::vector<long double>{1}));
  EXPECT_EQ(rectangleWindow(3), (std::vector<long double>{1, 1, 1}));
}

TEST(DataWindows, LengthsOutsideTheRangeAreErrors) {
  EXPECT_THROW(rectangleWindow(0), ERangeError);
  for (const WindowRoutines& routines : allWindows) {
    if (routines.window != rectangleWindow) {
      EXPECT_THROW(routines.window(1), ERangeError) << routines.name;
    }
    EXPECT_THROW(routines.window(-5), ERangeError) << routines.name;
    EXPECT_THROW(routines.window(1000000000), ERangeError) << routines.name;
    EXPECT_THROW(routines.window(maxSignalLength + 1), ERangeError) << routines.name;
  }
}

TEST(DataWindows, SingleWeightsAgreeWithTheWholeWindow) {
  for (const WindowRoutines& routines : allWindows) {
    for (std::int64_t n : {2, 5, 8}) {
      const std::vector<long double> weights = routines.window(n);
      for (std::int64_t i = 0; i < n; ++i) EXPECT_EQ(routines.weight(n, i), weights[i]) << routines.name << n << i;
      EXPECT_EQ(routines.weight(n, n), 0.0L) << routines.name;
      EXPECT_EQ(routines.weight(n, -1), 0.0L) << routines.name;
    }
    EXPECT_EQ(routines.weight(0, 0), 0.0L) << routines.name;
    EXPECT_EQ(routines.weight(1, 1), 0.0L) << routines.name;
  }
  // Weight 0 of a window of length 1 divides by n - 1.
  EXPECT_EQ(rectangleWeight(1, 0), 1.0L);
  EXPECT_THROW(triangleWeight(1, 0), EZeroDivide);
  EXPECT_THROW(hammingWeight(1, 0), EZeroDivide);
  EXPECT_THROW(hanningWeight(1, 0), EZeroDivide);
  EXPECT_THROW(blackmanWeight(1, 0), EZeroDivide);
}
