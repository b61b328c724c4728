#include "tests/functions/IndicatorFixture.h"
#include "functions/indicators/DirectionalMovement.h"
#include "platform/NumericErrors.h"

// Directional values are fractions of the true range, not percentages, and
// every average starts from an explicit seed. References: exact fractions
// (Python) of the definitions over the five rows below.

namespace {

// (date, high, low, close): an up move, a down move, an inside day, an up move.
const std::vector<long double> trend{1, 10, 8, 9, 2, 11, 9, 10.5L, 3, 10.5L, 7, 8, 4, 9, 7.5L, 8.5L, 5, 12, 8, 11};

}  // namespace

TEST(DirectionalMovement, MovementAndIndicatorPerRow) {
  std::vector<long double> output;
  directionalMovementSeries({1, 10, 5, 2, 12, 3}, output);  // equal moves both ways
  EXPECT_EQ(output, (std::vector<long double>{2, 0}));
  directionalIndicator(trend, output);
  expectAllNear(output, {2, 0.5L, 3, -4 / 7.0L, 4, 0, 5, 0.75L});
}

TEST(DirectionalMovement, AZeroTrueRangeFaultsAfterTheRowsBeforeIt) {
  // Row 2 sits on the previous close with no range and no move: 0 / 0.
  std::vector<long double> flatRow{1, 10, 8, 9, 2, 11, 9, 10, 3, 10, 10, 10};
  std::vector<long double> output;
  EXPECT_THROW(directionalIndicator(flatRow, output), EInvalidOp);
  EXPECT_EQ(output, (std::vector<long double>{2, 0.5L}));
  EXPECT_FALSE(floatingPointFaultPending());
}

TEST(DirectionalMovement, SmoothedIndicatorsDecayOnRowsTheirSideDidNotWin) {
  std::vector<long double> output;
  plusDirectionalIndicator(trend, 3, 0, 0, output);
  expectAllNear(recordColumn(output, 2, 1), {0, 0.25L, 0.125L, 0.0625L, 0.40625L});
  minusDirectionalIndicator(trend, 3, 0, 0, output);
  expectAllNear(recordColumn(output, 2, 1), {0, 0, 2 / 7.0L, 1 / 7.0L, 1 / 14.0L});
  // From the last row only the seed remains.
  plusDirectionalIndicator(trend, 3, 4, 0.3L, output);
  EXPECT_EQ(output, (std::vector<long double>{5, 0.3L}));
  EXPECT_THROW(plusDirectionalIndicator(trend, 3, -1, 0, output), ERangeError);
}

TEST(DirectionalMovement, AverageIndexAndRating) {
  std::vector<long double> output;
  averageDirectionalIndex(trend, 3, 0, output);
  expectAllNear(output, {3, 13.043478260869563L, 4, 21.739130434782606L, 5, 37.857239604496819L});
  averageDirectionalIndex(trend, 2, 10, output);
  expectAllNear(recordColumn(output, 2, 1), {55, 54.91935483870968L, 54.879032258064512L, 69.808355556695204L});
  averageDirectionalRating(trend, 2, 10, output);
  expectAllNear(output, {4, 54.939516129032256L, 5, 62.363855197702442L});
  // Two rows of index for a period of 2 are too few for a rating.
  EXPECT_THROW(averageDirectionalRating(std::vector<long double>(trend.begin(), trend.begin() + 12), 2, 0, output),
               ERangeError);
  // With a period of 1 both indicators are 0 on the first row.
  EXPECT_THROW(averageDirectionalIndex(trend, 1, 0, output), EInvalidOp);
  EXPECT_THROW(averageDirectionalIndex(trend, 0, 0, output), ERangeError);
}

TEST(DirectionalMovement, AroonLinesDateTheMostRecentExtreme) {
  std::vector<long double> output;
  aroonUp(series({1, 2, 3, 4}), 3, output);
  EXPECT_EQ(recordColumn(output, 2, 1), (std::vector<long double>{100, 100}));
  aroonUp(series({4, 3, 2, 1}), 3, output);
  expectAllNear(recordColumn(output, 2, 1), {100 / 3.0L, 100 / 3.0L});
  // Equal highs at both ends of the window: the current one counts.
  aroonUp(series({5, 3, 5, 1}), 3, output);
  expectAllNear(output, {3, 100, 4, 200 / 3.0L});
  aroonDown(series({5, 3, 5, 1}), 3, output);
  expectAllNear(output, {3, 200 / 3.0L, 4, 100});
  aroonOscillator(series({5, 3, 5, 1}), 3, output);
  expectAllNear(output, {3, 100 / 3.0L, 4, -100 / 3.0L});
  EXPECT_THROW(aroonOscillator(series({5}), 0, output), ERangeError);
}

TEST(DirectionalMovement, VerticalHorizontalFilterLeavesFlatWindowsOut) {
  std::vector<long double> output;
  verticalHorizontalFilter(series({1, 3, 2, 5}), 2, output);
  expectAllNear(output, {3, 1 / 3.0L, 4, 0.75L});
  verticalHorizontalFilter(series({1, 1, 1, 2}), 2, output);
  EXPECT_EQ(output, (std::vector<long double>{4, 1}));
  verticalHorizontalFilter(series({7, 7, 7, 7}), 2, output);
  EXPECT_TRUE(output.empty());
  EXPECT_FALSE(floatingPointFaultPending());
}
