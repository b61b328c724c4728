#include "tests/functions/IndicatorFixture.h"
#include "functions/indicators/ParabolicSar.h"
#include "platform/NumericErrors.h"

TEST(ParabolicSar, FirstStopFollowsTheMidpoints) {
  std::vector<long double> output;
  parabolicSAR({1, 10, 8, 2, 11, 9}, 0.02L, 0.2L, output);
  EXPECT_EQ(output, (std::vector<long double>{2, 8}));
  parabolicSAR({1, 10, 8, 2, 11, 7}, 0.02L, 0.2L, output);  // equal midpoints: short
  EXPECT_EQ(output, (std::vector<long double>{2, 11}));
  parabolicSAR({1, 10, 8}, 0.02L, 0.2L, output);
  EXPECT_TRUE(output.empty());
}

TEST(ParabolicSar, ReversesWhenThisOrThePreviousRowReachesTheStop) {
  // A rise with new highs (the factor reaches its maximum and stays there),
  // a low below the stop (reverse to short at the highest high), a new low
  // (factor back up), then the previous row's high above the stop (reverse
  // to long at the lowest low).
  std::vector<long double> rows{1, 10, 8, 2, 11, 9, 3, 12, 10, 4, 13, 11, 5, 12.5L, 7, 6, 12, 6.5L};
  std::vector<long double> output;
  parabolicSAR(rows, 0.1L, 0.2L, output);
  expectAllNear(output, {2, 8, 3, 8.8L, 4, 9.64L, 5, 13, 6, 6.5L});
}

TEST(ZigZag, JoinsPivotsByRowCount) {
  std::vector<long double> output;
  zigZag(series({5, 7}), false, 0.1L, output);
  EXPECT_EQ(output, (std::vector<long double>{1, 5, 2, 7}));
  zigZag(series({1, 2, 4, 8}), false, 0.1L, output);
  expectAllNear(recordColumn(output, 2, 1), {1, 1 + 7 / 3.0L, 1 + 14 / 3.0L, 8});
  // Threshold 0 takes every extreme beyond the last pivot; the last row then
  // replaces the last pivot found.
  zigZag(series({1, 3, 2, 4, 1, 5}), false, 0, output);
  expectAllNear(recordColumn(output, 2, 1), {1, 3, 2, 4, 4.5L, 5});
  // At 60 % the trough at 2 is too shallow, so the peak moves on to 4.
  zigZag(series({1, 3, 2, 4, 1, 5}), false, 0.6L, output);
  expectAllNear(recordColumn(output, 2, 1), {1, 2, 3, 4, 4.5L, 5});
  zigZag(series({1, 2, 4}), true, 0.1L, output);
  expectAllNear(recordColumn(output, 2, 1), {1, 2, 4});
}

TEST(ZigZag, ADateColumnThatRunsBackwardsStillEndsEachLegAtItsPivot) {
  std::vector<long double> expected{1, 3, 11 / 3.0L, 13 / 3.0L, 5};
  std::vector<long double> output;
  zigZag(dated({5, 4, 3, 2, 1}, {1, 3, 2, 4, 5}), false, 0, output);
  EXPECT_EQ(recordColumn(output, 2, 0), (std::vector<long double>{5, 4, 3, 2, 1}));
  expectAllNear(recordColumn(output, 2, 1), expected);
  zigZag(dated({0, 0, 0, 0, 0}, {1, 3, 2, 4, 5}), false, 0, output);
  expectAllNear(recordColumn(output, 2, 1), expected);
}

TEST(ZigZag, Faults) {
  std::vector<long double> output;
  EXPECT_THROW(zigZag({}, false, -0.1L, output), ERangeError);
  EXPECT_THROW(zigZag(series({0, 1, 0.5L}), false, 0.1L, output), EZeroDivide);
  EXPECT_THROW(zigZag(series({0, 1}), true, 0.1L, output), EZeroDivide);
  EXPECT_THROW(zigZag(series({-1, 1}), true, 0.1L, output), EInvalidOp);
  EXPECT_TRUE(output.empty());
}
