#include "tests/functions/IndicatorFixture.h"
#include "functions/indicators/Bands.h"
#include "functions/indicators/DirectionalMovement.h"
#include "functions/indicators/Oscillators.h"
#include "functions/indicators/TechnicalSeries.h"

// The window-type indicators over the fixture table, against their window
// formulas evaluated independently in exact rational arithmetic (Python
// fractions; the Bollinger square roots with 40-digit decimals), period 5
// and width 2. True ranges use the previous close; the average true range is
// a plain mean of five of them, not Wilder's smoothing.

namespace {

std::vector<long double> closes() { return flatRows(fixtureBars(), {&TBar::close}); }
std::vector<long double> prices() { return flatRows(fixtureBars(), {&TBar::high, &TBar::low, &TBar::close}); }
std::vector<long double> datesFrom(int row) {
  std::vector<long double> dates;
  for (std::size_t i = row; i < fixtureBars().size(); ++i) dates.push_back(fixtureBars()[i].date);
  return dates;
}

const std::vector<long double> movingAverage5{
    96.21L,  95.69L,  95.12L,  95.118L, 94.562L, 93.698L, 93.226L, 92.502L, 91.544L, 90.944L,
    90.882L, 90.844L, 91.932L, 93.29L,  93.508L, 94.012L, 94.908L, 95.832L, 96.11L,  96.964L,
};

}  // namespace

TEST(WindowIndicators, MovingAverageAndBollingerBandsFollowTheWindowMeanAndPopulationDeviation) {
  std::vector<long double> average, bands;
  simpleMovingAverage(closes(), 5, average);
  expectAllNear(recordColumn(average, 2, 0), datesFrom(4), 0);
  expectAllNear(recordColumn(average, 2, 1), movingAverage5);

  bollingerBands(closes(), 5, 2, bands);
  expectAllNear(recordColumn(bands, 4, 0), datesFrom(4), 0);
  expectAllNear(recordColumn(bands, 4, 2), movingAverage5);
  expectAllNear(recordColumn(bands, 4, 1),
                {93.7886945669742530L, 93.3830713058267276L, 92.6507653007459983L, 92.6447381861193910L,
                 92.6230353278102254L, 91.9072951108571798L, 91.5872394927873079L, 89.7289468090207862L,
                 88.0958561514925164L, 88.5033246836172575L, 88.5432345136803476L, 88.6022649576722944L,
                 87.6573229361740085L, 89.1917857547463432L, 89.8300788480447273L, 90.7773773017552727L,
                 91.6623160967216786L, 90.3976735467953345L, 90.5554559142986362L, 93.1012631464206625L});
  expectAllNear(recordColumn(bands, 4, 3),
                {98.6313054330257470L, 97.9969286941732724L, 97.5892346992540017L, 97.5912618138806090L,
                 96.5009646721897746L, 95.4887048891428202L, 94.8647605072126921L, 95.2750531909792138L,
                 94.9921438485074836L, 93.3846753163827425L, 93.2207654863196524L, 93.0857350423277056L,
                 96.2066770638259915L, 97.3882142452536568L, 97.1859211519552727L, 97.2466226982447273L,
                 98.1536839032783214L, 101.266326453204666L, 101.664544085701364L, 100.826736853579337L});
}

TEST(WindowIndicators, TypicalPriceTrueRangeAndAverageTrueRange) {
  std::vector<long double> typical, ranges, average;
  typicalPriceSeries(prices(), typical);
  expectAllNear(recordColumn(typical, 2, 0), datesFrom(0), 0);
  expectAllNear(recordColumn(typical, 2, 1),
                {98.4633333333333333L, 96.9566666666666667L, 94.5166666666666667L, 95.8966666666666667L,
                 97.1966666666666667L, 94.9233333333333333L, 94.41L, 93.41L, 93.9433333333333333L,
                 92.1533333333333333L, 92.4666666666666667L, 91.2733333333333333L, 88.6833333333333333L,
                 90.7233333333333333L, 91.3233333333333333L, 91.3933333333333333L, 95L, 96.5666666666666667L,
                 93.38L, 93.6466666666666667L, 95.9133333333333333L, 99.48L, 97.9033333333333333L,
                 97.0666666666666667L});

  trueRangeSeries(prices(), ranges);
  expectAllNear(recordColumn(ranges, 2, 0), datesFrom(1), 0);
  expectAllNear(recordColumn(ranges, 2, 1), {2.75L, 3.63L, 5.11L, 2.66L, 2.73L, 4.36L, 3.64L, 2.23L, 3.49L, 3.36L,
                                             3.91L, 2.45L, 4.05L, 3.07L, 2.77L, 5.17L, 3.51L, 4.45L, 3.82L, 5.67L,
                                             5.05L, 3.46L, 2.76L},
                1e-14L);

  averageTrueRangeSeries(prices(), 5, average);
  expectAllNear(recordColumn(average, 2, 0), datesFrom(5), 0);
  expectAllNear(recordColumn(average, 2, 1), {3.376L, 3.698L, 3.7L, 3.124L, 3.29L, 3.416L, 3.326L, 3.088L, 3.452L,
                                              3.368L, 3.25L, 3.502L, 3.714L, 3.794L, 3.944L, 4.524L, 4.5L, 4.49L,
                                              4.152L},
                1e-14L);
  // A period of rows - 1 leaves one window: every true range of the table.
  averageTrueRangeSeries(prices(), 23, average);
  ASSERT_EQ(average.size(), 2u);
  EXPECT_NEAR(static_cast<double>(average[1]), 84.10 / 23, 1e-13);
}

TEST(WindowIndicators, WilliamsPercentRunsFromMinusHundredAtTheLowToZeroAtTheHigh) {
  std::vector<long double> percentR;
  williamsPercentR(prices(), 5, percentR);
  expectAllNear(recordColumn(percentR, 2, 0), datesFrom(4), 0);
  expectAllNear(recordColumn(percentR, 2, 1),
                {-55.9796437659033079L, -68.9883913764510779L, -80.0312012480499220L, -66.8865435356200528L,
                 -65.4353562005277045L, -75.625L, -69.84375L, -93.6293436293436293L, -81.6438356164383562L,
                 -49.6111975116640747L, -37.7916018662519440L, -25.5389718076285240L, -17.2088142707240294L,
                 -27.7227722772277228L, -72.6072607260726073L, -48.5682819383259912L, -27.0718232044198895L,
                 -13.4445534838076546L, -42.7870461236506379L, -51.8155053974484789L},
                1e-14L);

  // A close at the window's high reads 0; a window without range reads 100.
  std::vector<long double> flat{1, 5, 5, 5, 2, 5, 5, 5, 3, 6, 4, 6};
  williamsPercentR(flat, 2, percentR);
  EXPECT_EQ(percentR, (std::vector<long double>{2, 100, 3, 0}));
}
