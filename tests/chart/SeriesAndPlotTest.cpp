#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "chart/PricePlot.h"
#include "chart/Series.h"
#include "tests/chart/ChartTestData.h"

namespace {

// Text marks are 20 x 10 pixels whatever they say.
TMarkMetrics fixedMetrics() {
  TMarkMetrics metrics;
  metrics.textExtent = [](const std::string&, int& w, int& h) {
    w = 20;
    h = 10;
  };
  metrics.imageCount = 2;
  metrics.imageWidth = 16;
  metrics.imageHeight = 16;
  return metrics;
}

// Closes on consecutive days from 1 March 2024, appended in the order given.
std::unique_ptr<TPrices> dailyCloses(const std::vector<long double>& closes, int firstDayOffset = 0) {
  auto prices = std::make_unique<TPrices>();
  for (size_t i = 0; i < closes.size(); ++i) {
    prices->addRecord(closeQuote(closes[i]), false, 0, day(2024, 3, 1) + firstDayOffset + static_cast<double>(i));
  }
  return prices;
}

}  // namespace

TEST(Marks, AddFindAndMerge) {
  TTextMarks marks;
  EXPECT_EQ(marks.add("", 0, markDefaultColor, markDefaultColor, 0, 1, 1), -7);
  EXPECT_EQ(marks.count(), 0);
  ASSERT_EQ(marks.add("a", 0, markDefaultColor, markDefaultColor, 0, 5, 2), 0);
  ASSERT_EQ(marks.add("b", 0, markDefaultColor, markDefaultColor, 1, 3, 7), 0);
  EXPECT_EQ(marks.item(2), nullptr);
  EXPECT_EQ(marks.item(-1), nullptr);
  // Never placed marks cannot be hit; overlapping ones answer the last added.
  EXPECT_EQ(marks.markAt(-1, -1), nullptr);
  marks.item(0)->screenRect = {0, 0, 10, 10};
  marks.item(1)->screenRect = {5, 5, 15, 15};
  EXPECT_EQ(marks.markAt(10, 10), marks.item(1));
  EXPECT_EQ(marks.markAt(0, 0), marks.item(0));
  long double y = 0;
  ASSERT_TRUE(marks.minY(y));
  EXPECT_EQ(y, 2);
  ASSERT_TRUE(marks.maxY(y));
  EXPECT_EQ(y, 7);

  std::vector<double> values{1, 3, 4};
  EXPECT_EQ(marks.mergeXValues(values), 0);
  EXPECT_EQ(values, (std::vector<double>{1, 3, 4, 5}));

  // Image marks without an image take no part in the range.
  TImageMarks images;
  images.add(-1, 0, "hint", 1, 100);
  EXPECT_FALSE(images.minY(y));
  images.add(0, 0, "", 1, 4);
  ASSERT_TRUE(images.maxY(y));
  EXPECT_EQ(y, 4);
  images.item(1)->clear();
  EXPECT_EQ(images.imageMark(1)->imageIndex, -1);
  EXPECT_EQ(images.item(1)->screenRect.left, -1);
}

TEST(PriceSeries, RangeOverFieldsMarkersAndMarks) {
  TPriceSeries series;
  auto prices = std::make_unique<TPrices>();
  prices->addRecord(quoteOf(10, 12, 9, 11), false, 0, day(2024, 3, 1));
  prices->addRecord(quoteOf(11, 15, 8, 14), false, 0, day(2024, 3, 2));
  series.takePrices(std::move(prices));
  long double low = 0, high = 0;
  bool lowFound = false, highFound = false;
  // No fields and no markers: only the marks count.
  series.minimum(low, lowFound, day(2024, 3, 1), day(2024, 3, 2));
  EXPECT_FALSE(lowFound);
  series.textMarks.add("m", 0, markDefaultColor, markDefaultColor, 0, day(2024, 3, 2), 3);
  series.minimum(low, lowFound, day(2024, 3, 1), day(2024, 3, 2));
  ASSERT_TRUE(lowFound);
  EXPECT_EQ(low, 3);
  series.textMarks.clear();

  series.barFields = quoteHighBit | quoteLowBit;
  series.closeMarker = 5;
  series.scale = 2;
  lowFound = false;
  series.minimum(low, lowFound, day(2024, 3, 1), day(2024, 3, 2));
  series.maximum(high, highFound, day(2024, 3, 1), day(2024, 3, 2));
  EXPECT_EQ(low, 16);
  EXPECT_EQ(high, 30);
}

TEST(PriceSeries, PercentBase) {
  TPriceSeries series;
  auto prices = std::make_unique<TPrices>();
  prices->addRecord(quoteOf(NAN, NAN, 50, NAN), false, 0, day(2024, 3, 1));
  prices->addRecord(quoteOf(NAN, NAN, NAN, 0), false, 0, day(2024, 3, 2));
  prices->addRecord(quoteOf(NAN, NAN, NAN, NAN, 7), false, 0, day(2024, 3, 3));
  series.takePrices(std::move(prices));
  series.setPercentBase(day(2024, 3, 1));
  EXPECT_EQ(series.scale, 2);  // 100 / low
  // A base of 0 keeps scale 1 rather than divide by zero.
  series.setPercentBase(day(2024, 3, 2));
  EXPECT_EQ(series.scale, 1);
  series.scale = 5;
  series.setPercentBase(day(2024, 3, 3));  // no price field
  EXPECT_EQ(series.scale, 1);
}

TEST(PricePlot, UnsortedDatesAndMarksMergeOnce) {
  TPricePlot plot;
  TPriceSeries& first = *plot.series(plot.addSeries());
  auto prices = std::make_unique<TPrices>();
  // Appended out of order, one date twice.
  for (int d : {3, 1, 2, 3, 0}) prices->addRecord(closeQuote(d + 10), false, 0, day(2024, 3, 1) + d);
  first.takePrices(std::move(prices));
  first.textMarks.add("on a date", 0, markDefaultColor, markDefaultColor, 0, day(2024, 3, 2), 11);
  first.imageMarks.add(0, 0, "", day(2024, 3, 9), 11);
  TPriceSeries& second = *plot.series(plot.addSeries());
  second.takePrices(dailyCloses({1, 2}, 1));
  plot.rebuildXValues();
  const std::vector<double> expected{day(2024, 3, 1), day(2024, 3, 2), day(2024, 3, 3), day(2024, 3, 4),
                                     day(2024, 3, 9)};
  EXPECT_EQ(*plot.xValues(), expected);
  EXPECT_EQ(plot.xTolerance(), 0.5);
  EXPECT_EQ(plot.firstX(), day(2024, 3, 1));
  EXPECT_EQ(plot.lastX(), day(2024, 3, 9));

  plot.removeSeries(0);
  EXPECT_EQ(plot.xCount(), 2);
  EXPECT_FALSE(plot.removeSeries(5));
  plot.freeAllSeries();
  EXPECT_EQ(plot.xCount(), 0);
  EXPECT_EQ(plot.firstX(), 0);
}

TEST(PricePlot, FitsTheVisibleRangeAndMakesRoomForMarks) {
  TPricePlot plot;
  plot.clientWidth = 102;
  plot.clientHeight = 100;
  TPriceSeries& series = *plot.series(plot.addSeries());
  series.takePrices(dailyCloses({10, 20, 30, 40, 50}));
  series.lineFields = quoteCloseBit;
  plot.rebuildXValues();
  plot.loX = day(2024, 3, 2);
  plot.hiX = day(2024, 3, 4);
  plot.fitY(fixedMetrics());
  EXPECT_EQ(plot.lowIndex(), 1);
  EXPECT_EQ(plot.highIndex(), 3);
  EXPECT_EQ(plot.lowY(), 20);
  EXPECT_EQ(plot.highY(), 40);

  // A series that is neither enabled, foreground nor highlighted counts not.
  series.foreground = false;
  plot.fitY(fixedMetrics());
  EXPECT_EQ(plot.highY() - plot.lowY(), 0);
  series.foreground = true;

  // A mark far above the data widens the range until it fits.
  plot.highlighted = 0;
  series.textMarks.add("high", -10, markDefaultColor, markDefaultColor, 2, day(2024, 3, 3), 40);
  plot.fitY(fixedMetrics());
  EXPECT_GT(plot.highY(), 40);
  EXPECT_EQ(plot.lowY(), 20);
  const int markTop = plot.valueToY(40) - 5 - 10;
  EXPECT_GE(markTop, 0);
  EXPECT_LE(markTop, 1);
  // A mark between two dates, farther than the tolerance, is not placed.
  EXPECT_EQ(plot.locateMark(day(2024, 3, 3) + 0.5), -1);
  EXPECT_EQ(plot.locateMark(day(2024, 3, 3) + 0.4), 2);
  EXPECT_EQ(plot.locateMark(day(2024, 3, 5)), -1);  // beyond the view
}

TEST(PricePlot, MappingByIndexValueAndLogarithm) {
  TPricePlot plot;
  plot.clientWidth = 102;
  plot.clientHeight = 100;
  TPriceSeries& series = *plot.series(plot.addSeries());
  series.takePrices(dailyCloses({1, 10, 100, 1000, 10, 10, 10, 10, 10, 10}));
  series.lineFields = quoteCloseBit;
  plot.rebuildXValues();
  plot.loX = plot.firstX();
  plot.hiX = plot.lastX();
  plot.showContinuousX = false;
  plot.fitY(fixedMetrics());
  plot.setXScale();
  EXPECT_EQ(plot.xScale(), 10);
  EXPECT_EQ(plot.indexToX(0), 1);
  EXPECT_EQ(plot.indexToX(10), 101);
  plot.showContinuousX = true;
  plot.setXScale();
  EXPECT_EQ(plot.indexToX(9), 101);
  EXPECT_EQ(plot.indexToX(-1), 0);
  EXPECT_EQ(plot.indexToX(10), 102);

  plot.logarithmic = true;
  plot.fitY(fixedMetrics());
  EXPECT_EQ(plot.valueToY(1), 100);
  EXPECT_EQ(plot.valueToY(1000), 0);
  EXPECT_EQ(plot.valueToY(10), 67);
  EXPECT_NEAR(static_cast<double>(plot.yToValue(plot.valueToY(100))), 100, 8);
  // ln(0) is undefined: zero and below sit on the bottom edge.
  EXPECT_EQ(plot.zeroLineY(), 100);
  EXPECT_EQ(plot.valueToY(-5), 100);
  // A huge value maps to a far but finite pixel.
  EXPECT_LT(plot.valueToY(1e300), -1000);

  // Low Y at 0 on a logarithmic plot: drawn linear.
  TPriceSeries& zero = *plot.series(plot.addSeries());
  zero.takePrices(dailyCloses({0}));
  zero.lineFields = quoteCloseBit;
  plot.rebuildXValues();
  plot.fitY(fixedMetrics());
  EXPECT_EQ(plot.lowY(), 0);
  EXPECT_FALSE(plot.logarithmicInEffect());
  EXPECT_EQ(plot.valueToY(500), 50);
}

TEST(PricePlot, ClearingKeepsOwnedPricesAndDropsBorrowedOnes) {
  TPricePlot plot;
  TPrices borrowed;
  borrowed.addRecord(closeQuote(1), false, 0, day(2024, 3, 1));
  plot.series(plot.addSeries())->setPrices(&borrowed);
  plot.series(plot.addSeries())->takePrices(dailyCloses({1, 2}));
  plot.series(1)->textMarks.add("x", 0, 0, 0, 0, day(2024, 3, 1), 1);
  plot.rebuildXValues();
  EXPECT_EQ(plot.xCount(), 2);
  plot.clearSeriesData();
  EXPECT_EQ(plot.series(0)->prices(), nullptr);
  ASSERT_NE(plot.series(1)->prices(), nullptr);
  EXPECT_EQ(plot.series(1)->prices()->count(), 0);
  EXPECT_EQ(plot.series(1)->textMarks.count(), 0);
  EXPECT_EQ(plot.xCount(), 0);
  EXPECT_EQ(borrowed.count(), 1);
  EXPECT_EQ(plot.seriesColor(7, 0x808080), 0x808080u);
  EXPECT_EQ(plot.seriesPointKind(-1), 0);
}
