#include "tests/functions/IndicatorFixture.h"
#include "functions/indicators/Bands.h"
#include "platform/NumericErrors.h"

// The Keltner width is the plain mean true range (not Wilder's smoothing)
// and every average starts from its seed. References are hand sums.

TEST(Bands, BollingerBandsCloseOnAConstantWindow) {
  std::vector<long double> output;
  bollingerBands(series({3, 8}), 1, 2, output);
  EXPECT_EQ(output, (std::vector<long double>{1, 3, 3, 3, 2, 8, 8, 8}));
  bollingerBands(series({4, 4, 4}), 3, 2, output);
  EXPECT_EQ(output, (std::vector<long double>{3, 4, 4, 4}));
  EXPECT_THROW(bollingerBands(series({4}), 0, 2, output), ERangeError);
  long double spaced[] = {1, 99, 2, 99, 6};
  TWindowMoments moments = windowMeanAndSquares(spaced, 3, 2);
  EXPECT_EQ(moments.mean, 3);
  EXPECT_EQ(moments.sumOfSquares, 14);
}

TEST(Bands, KeltnerMiddleLineIsSeededBeforeTheFirstRow) {
  // (date, high, low, close); true ranges of rows 1 and 2 are 2 and 3.
  std::vector<long double> rows{1, 11, 9, 10, 2, 12, 10, 11, 3, 13, 10, 12};
  std::vector<long double> output;
  keltnerBands(rows, 1, 2, 0, 2, output);
  EXPECT_EQ(output, (std::vector<long double>{3, 7, 12, 17}));
  // Period 3 from seed 4: 7, 9, then 10.5 on the only written row.
  keltnerBands(rows, 3, 2, 4, 2, output);
  EXPECT_EQ(output, (std::vector<long double>{3, 5.5L, 10.5L, 15.5L}));
  keltnerBands(rows, 3, 3, 4, 2, output);
  EXPECT_TRUE(output.empty());
}

TEST(Bands, MassIndexSumsTheRatioOfTheTwoAverages) {
  // (date, high, low): ranges 2, 4, 1; period 3 from seeds 2 and 2 gives
  // single averages 2, 3, 2 and double averages 2, 2.5, 2.25.
  std::vector<long double> rows{1, 12, 10, 2, 14, 10, 3, 11, 10};
  std::vector<long double> output;
  massIndex(rows, 1, 3, 2, 2, output);
  expectAllNear(output, {1, 1, 2, 1.2L, 3, 8 / 9.0L});
  massIndex(rows, 2, 3, 2, 2, output);
  expectAllNear(output, {2, 2.2L, 3, 1.2L + 8 / 9.0L});
  EXPECT_THROW(massIndex({1, 10, 10, 2, 11, 9}, 1, 3, 0, 0, output), EInvalidOp);
  EXPECT_THROW(massIndex(rows, 1, 0, 0, 0, output), ERangeError);
}
