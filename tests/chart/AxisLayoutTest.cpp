#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "chart/AxisLayout.h"
#include "chart/AxisSteps.h"
#include "platform/DateTime.h"
#include "tests/chart/ChartTestData.h"

namespace {

// Six pixels a character: the rules, not a font, decide here.
const TTextWidth sixPerCharacter = [](const std::string& text) { return static_cast<int>(text.size()) * 6; };

std::vector<std::string> labels(const TAxisLayout& layout) {
  std::vector<std::string> texts;
  for (const TAxisTick& tick : layout.ticks) {
    if (tick.labelShown) texts.push_back(tick.text);
  }
  return texts;
}

// The first tick value and the kind an X axis chooses for a date range.
double firstTickOver(double first, double last, TDateTickKind& kind) {
  const TDateStep step = axisDateStep(last - first);
  kind = step.kind;
  double tick = 0;
  EXPECT_TRUE(firstDateTick(step, first, tick));
  return tick;
}

}  // namespace

TEST(AxisSteps, NumberStepsAndLabelDecimals) {
  // 200 px, labels 12 px high, 0 to 100: at most 16.7 labels.
  EXPECT_DOUBLE_EQ(static_cast<double>(axisNumberStep(6, 200.0L / 12, 100)), 5);
  EXPECT_DOUBLE_EQ(static_cast<double>(axisNumberStep(0.06L, 200.0L / 12, 1)), 0.1);
  EXPECT_EQ(axisNumberStep(0, 10, 1), 0);
  EXPECT_EQ(axisNumberStep(1, 10, 0), 0);
  EXPECT_EQ(tickDecimals(5), 0);
  EXPECT_EQ(tickDecimals(1), 1);
  EXPECT_EQ(tickDecimals(0.1L), 2);
  EXPECT_EQ(tickDecimals(0.05L), 2);
  EXPECT_EQ(tickDecimals(20), 0);
  EXPECT_EQ(tickDecimals(500), -2);
}

TEST(AxisSteps, DateStepsAlignOnMondaysAndMonthStarts) {
  TDateTickKind kind{};
  // 14 days from Wednesday 3 January 2024: weekly from Monday the 8th.
  EXPECT_EQ(firstTickOver(day(2024, 1, 3), day(2024, 1, 17), kind), day(2024, 1, 8));
  EXPECT_EQ(kind, TDateTickKind::weeks);
  EXPECT_EQ(firstTickOver(day(2024, 1, 3), day(2024, 1, 16), kind), day(2024, 1, 3));
  EXPECT_EQ(kind, TDateTickKind::plain);
  // 100 days: monthly on the 1st.
  EXPECT_EQ(firstTickOver(day(2024, 1, 3), day(2024, 1, 3) + 100, kind), day(2024, 2, 1));
  EXPECT_EQ(kind, TDateTickKind::months);
  // 365 days: quarterly, starting on the 1st of a month.
  const double first = day(2024, 1, 3);
  double tick = firstTickOver(first, first + 365, kind);
  EXPECT_EQ(kind, TDateTickKind::quarters);
  EXPECT_EQ(tick, day(2024, 2, 1));
  ASSERT_TRUE(nextTickAfter({90, kind}, tick, tick));
  EXPECT_EQ(tick, day(2024, 5, 1));
  // Three years: yearly on 1 January.
  EXPECT_EQ(firstTickOver(day(2021, 6, 5), day(2024, 6, 5), kind), day(2022, 1, 1));
  EXPECT_EQ(kind, TDateTickKind::years);
  // Under a minute the step shrinks to tenths of seconds.
  const TDateStep fine = axisDateStep(2.0L / 86400);
  EXPECT_NEAR(static_cast<double>(fine.step * 86400), 0.1, 1e-12);
  // Outside the calendar there is no tick to start from.
  EXPECT_FALSE(firstDateTick({1, TDateTickKind::plain}, 4e6, tick));
}

TEST(AxisSteps, NextTickJumpsWholeStepsPastAValue) {
  double tick = 10;
  ASSERT_TRUE(nextTickAfter({5, TDateTickKind::plain}, 31, tick));
  EXPECT_EQ(tick, 35);
  // A step lost in the magnitude cannot advance.
  tick = 1e30;
  EXPECT_FALSE(nextTickAfter({1, TDateTickKind::plain}, 1e30, tick));
}

TEST(YAxisLayout, LinearTicksLabelWithoutOverlap) {
  TYAxisModel axis;
  axis.lo = 0;
  axis.hi = 100;
  const TAxisLayout layout = axis.layout(39, 200, 12, sixPerCharacter);
  EXPECT_DOUBLE_EQ(static_cast<double>(axis.tickStep()), 5);
  ASSERT_FALSE(layout.ticks.empty());
  EXPECT_EQ(layout.ticks.front().position, 0);  // 100 at the top edge
  EXPECT_EQ(layout.ticks.back().position, 200);
  // Labels at least a label height apart, never in the bottom label height.
  for (size_t i = 1; i < layout.tickPositions.size(); ++i) {
    EXPECT_GE(layout.tickPositions[i] - layout.tickPositions[i - 1], 12);
  }
  EXPECT_LE(layout.tickPositions.back(), 200 - 12);
  // The top label would be cut off: its tick is long, its text not shown.
  EXPECT_TRUE(layout.ticks.front().labelled);
  EXPECT_FALSE(layout.ticks.front().labelShown);
  const std::vector<std::string> shown = labels(layout);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.front(), "90");
  // Left of the plot labels end a margin before the long tick's end.
  const TAxisTick& labelled = layout.ticks[2];
  EXPECT_EQ(labelled.labelLeft, 39 - 1 - 4 - 5 - 12);
}

TEST(YAxisLayout, TrimmedDecimalsFollowTheStep) {
  TYAxisModel axis;
  axis.lo = 0;
  axis.hi = 1;
  axis.layout(39, 200, 12, sixPerCharacter);
  EXPECT_EQ(axis.formatTick(0.5), "0.5");
  axis.floatTrimZeros = false;
  EXPECT_EQ(axis.formatTick(0.5), "0.50");
  axis.floatCommas = true;
  axis.floatThousandSeparator = "'";
  EXPECT_EQ(axis.formatTick(12345.5), "12'345.50");
}

TEST(YAxisLayout, LogarithmicDecadesThinOut) {
  TYAxisModel axis;
  axis.logarithmic = true;
  axis.lo = 1;
  axis.hi = 1000;
  const TAxisLayout layout = axis.layout(39, 400, 12, sixPerCharacter);
  EXPECT_DOUBLE_EQ(static_cast<double>(axis.tickStep()), 20);
  // Ticks run 1000, 980, ..., 20, then 18, ..., 2, then 1.8, ... down to 1:
  // each position follows ln(v).
  std::vector<double> values;
  long double step = 20, k = 50;
  while (true) {
    values.push_back(static_cast<double>(k * step));
    if (k * step <= 1) break;
    if (k == 1) {
      step /= 10;
      k = 10;
    }
    --k;
  }
  std::vector<int> expected;
  int lastEnd = -1;
  for (double v : values) {
    const int y = 400 - static_cast<int>(std::nearbyint(std::log(v) * 400 / std::log(1000.0)));
    if (y > lastEnd) {
      expected.push_back(y);
      // A long tick (pen 2) ends a pixel further down than a short one.
      const bool labelled = std::find(layout.tickPositions.begin(), layout.tickPositions.end(), y) !=
                            layout.tickPositions.end();
      lastEnd = y + (labelled ? 2 : 1);
    }
  }
  std::vector<int> positions;
  for (const TAxisTick& tick : layout.ticks) positions.push_back(tick.position);
  EXPECT_EQ(positions, expected);
  // Labels appear in every decade.
  const std::vector<std::string> shown = labels(layout);
  EXPECT_NE(std::find(shown.begin(), shown.end(), "100"), shown.end());
  EXPECT_NE(std::find(shown.begin(), shown.end(), "10"), shown.end());
}

TEST(YAxisLayout, LogarithmicOverZeroIsLaidOutLinear) {
  TYAxisModel axis;
  axis.logarithmic = true;
  axis.lo = 0;
  axis.hi = 100;
  const TAxisLayout layout = axis.layout(39, 200, 12, sixPerCharacter);
  EXPECT_FALSE(axis.logarithmicInEffect());
  EXPECT_FALSE(layout.ticks.empty());
}

TEST(YAxisLayout, LargeValuesOverANarrowRangeEnd) {
  TYAxisModel axis;
  axis.lo = 1e15;
  axis.hi = 1e15 + 0.5;
  const TAxisLayout layout = axis.layout(39, 200, 12, sixPerCharacter);
  EXPECT_LT(layout.ticks.size(), 200u);
  axis.lo = 1e300;
  axis.hi = 1.0000001e300;
  EXPECT_LT(axis.layout(39, 200, 12, sixPerCharacter).ticks.size(), 400u);
}

TEST(XAxisLayout, NumberLabelsKeepToFloatDecimals) {
  TXAxisModel axis;
  axis.lo = 0;
  axis.hi = 0.001;
  axis.layout(500, 24, 12, sixPerCharacter);
  EXPECT_EQ(axis.formatTick(0.00012345), "0.00012");
  axis.floatDecimals = 3;
  EXPECT_EQ(axis.formatTick(0.00012345), "0");
}

TEST(XAxisLayout, TenDaysOn500PixelsTickDailyAndThinLabels) {
  TXAxisModel axis;
  axis.dateLabels = true;
  axis.dateFormatString = "yyyy-mm-dd";
  axis.lo = day(2024, 1, 1);
  axis.hi = day(2024, 1, 11);
  const TAxisLayout layout = axis.layout(500, 24, 12, sixPerCharacter);
  ASSERT_EQ(layout.ticks.size(), 11u);
  EXPECT_EQ(layout.ticks[0].position, 1);
  EXPECT_EQ(layout.ticks[1].position, 51);
  const std::vector<std::string> shown = labels(layout);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.front(), "2024-01-01");
  EXPECT_LT(shown.size(), 11u);
  EXPECT_EQ(layout.tickPositions.size(), shown.size());
  // A label is never pushed past the strip's right end.
  for (const TAxisTick& tick : layout.ticks) {
    if (tick.labelShown) {
      EXPECT_LE(tick.labelLeft + static_cast<int>(tick.text.size()) * 6, 500);
    }
  }
}

TEST(XAxisLayout, IndexedValuesAboveTheRangeDrawNothing) {
  TXAxisModel axis;
  auto values = std::make_shared<std::vector<double>>(std::vector<double>{5, 6, 7});
  axis.setXValues(values);
  EXPECT_EQ(axis.loIndex, 0);
  EXPECT_EQ(axis.hiIndex, 2);
  // The plot's range lies below every X: both indices fall to -1.
  axis.setHiIndex(-1);
  EXPECT_EQ(axis.loIndex, -1);
  EXPECT_TRUE(axis.layout(500, 24, 12, sixPerCharacter).ticks.empty());
  axis.setLoIndex(1);
  EXPECT_EQ(axis.hiIndex, 1);
}

TEST(XAxisLayout, TimeLabelsWithinADay) {
  TXAxisModel axis;
  axis.dateLabels = true;
  axis.timeFormatString = "hh:nn";
  axis.lo = day(2024, 1, 2) + 0.5;
  axis.hi = axis.lo + 1.0 / 24;
  const TAxisLayout layout = axis.layout(500, 24, 12, sixPerCharacter);
  EXPECT_TRUE(axis.timeFormatChosen());
  EXPECT_EQ(labels(layout).front(), "12:00");
  axis.showSlider = true;
  axis.sliderPos = 250;
  const TAxisLayout withSlider = axis.layout(500, 24, 12, sixPerCharacter);
  EXPECT_TRUE(withSlider.slider.shown);
  EXPECT_EQ(withSlider.slider.text, " 12:30 ");
}
