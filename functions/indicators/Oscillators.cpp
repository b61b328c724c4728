#include "functions/indicators/Oscillators.h"

#include <algorithm>
#include <cmath>

#include "functions/indicators/IndicatorSeries.h"
#include "functions/indicators/TechnicalSeries.h"
#include "platform/CalendarDates.h"
#include "platform/NumericErrors.h"

namespace {

// Lambert's constant, which scales the mean deviation so that most values
// fall between -100 and 100.
constexpr long double channelScale = 0.015L;

struct TWindowRange {
  long double highest;
  long double lowest;
};

// Extremes of rows last - period + 1 ... last, scanned back from the last row.
TWindowRange priceWindowRange(const TSeriesRows& rows, int last, int32_t period) {
  TWindowRange range{rows.at(last, priceHigh), rows.at(last, priceLow)};
  for (int row = last - 1; row > last - period; --row) {
    range.highest = std::max(range.highest, rows.at(row, priceHigh));
    range.lowest = std::min(range.lowest, rows.at(row, priceLow));
  }
  return range;
}

// Whole days with a calendar to move through: years 1 to 9999.
constexpr long double firstCalendarDay = -693593;
constexpr long double lastCalendarDay = 2958465;

// The same day of the month `months` months earlier, clamped to the end of
// that month, at the same time of day; false when that month lies before
// year 1.
bool monthsBefore(long double date, int months, long double& earlier) {
  int year, month, day;
  decodeDate(static_cast<double>(date), year, month, day);
  int monthCount = year * 12 + (month - 1) - months;
  int targetYear = monthCount / 12, targetMonth = monthCount % 12 + 1;
  double whole;
  if (!encodeDate(targetYear, targetMonth, std::min(day, daysInMonth(targetYear, targetMonth)), whole)) return false;
  // Before day 0 the fraction counts forward from midnight of the truncated day.
  long double time = std::fabs(date - std::trunc(date));
  earlier = whole < 0 ? whole - time : whole + time;
  return true;
}

// The weighted sum of the 14- and 11-month rates of change over the last ten
// months at row `row`; false when some month's history is missing.
bool coppockSum(const std::vector<long double>& values, int row, long double tolerance, long double& sum) {
  TSeriesRows rows(values, valueWidth);
  long double date = rows.date(row);
  if (!(std::trunc(date) >= firstCalendarDay && std::trunc(date) <= lastCalendarDay)) return false;
  sum = 0;
  long double target14, target, target11;
  for (int back = 9; back >= 0; --back) {
    // The shorter moves below stay in the calendar when this one does.
    if (!monthsBefore(date, back + 14, target14)) return false;
    int32_t start14 = findDateRow(values, valueWidth, 0, row, tolerance, target14);
    if (start14 < 0) return false;
    monthsBefore(date, back, target);
    int32_t end = findDateRow(values, valueWidth, start14, row, tolerance, target);
    if (end < start14) return false;
    long double change14 = rows.at(end, valueColumn) / rows.at(start14, valueColumn) - 1;
    monthsBefore(date, back + 11, target11);
    int32_t start11 = findDateRow(values, valueWidth, 0, row, tolerance, target11);
    if (start11 < 0) return false;
    long double change11 = rows.at(end, valueColumn) / rows.at(start11, valueColumn) - 1;
    sum = sum + (10 - back) * (change14 + change11);
  }
  return true;
}

}  // namespace

void macd(std::vector<long double> values, int32_t period1, int32_t period2, int32_t period3, long double seed1,
          long double seed2, long double seed3, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period1);
  requirePeriod(period2);
  requirePeriod(period3);
  long double alpha1 = smoothingFactor(period1), alpha2 = smoothingFactor(period2), alpha3 = smoothingFactor(period3);
  TSeriesRows rows(values, valueWidth);
  out.reserve(rows.count(), 2);
  long double average1 = seed1, average2 = seed2, signal = seed3;
  for (int t = 0; t < rows.count(); ++t) {
    long double value = rows.at(t, valueColumn);
    average1 = value * alpha1 + average1 * (1 - alpha1);
    average2 = value * alpha2 + average2 * (1 - alpha2);
    long double line = average2 - average1;
    signal = line * alpha3 + signal * (1 - alpha3);
    out.write(rows.date(t), line, signal);
  }
}

void trix(std::vector<long double> values, int32_t period, long double seed1, long double seed2, long double seed3,
          std::vector<long double>& output) {
  TIndicatorOutput out(output);
  std::vector<long double> smoothed;
  exponentialMovingAverage(std::move(values), period, seed1, smoothed);
  exponentialMovingAverage(smoothed, period, seed2, smoothed);
  exponentialMovingAverage(smoothed, period, seed3, smoothed);
  rateOfChange(std::move(smoothed), period, output);
}

void trueStrengthIndex(std::vector<long double> values, int32_t period1, int32_t period2,
                       std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period1);
  requirePeriod(period2);
  std::vector<long double> change, size;
  momentum(std::move(values), 1, change);
  if (change.empty()) return;
  size = change;
  for (std::size_t i = 1; i < size.size(); i += valueWidth) size[i] = std::fabs(size[i]);
  exponentialMovingAverage(change, period1, 0, change);
  exponentialMovingAverage(change, period2, 0, change);
  exponentialMovingAverage(size, period1, 0, size);
  exponentialMovingAverage(size, period2, 0, size);
  TSeriesRows changeRows(change, valueWidth), sizeRows(size, valueWidth);
  out.reserve(changeRows.count(), 1);
  for (int t = 0; t < changeRows.count(); ++t) {
    long double index = changeRows.at(t, valueColumn) / sizeRows.at(t, valueColumn);
    if (!out.faulted(index)) out.write(changeRows.date(t), index);
  }
}

// Wilder's smoothing, except that a row moves only the average of its own
// side: the other side's average is not decayed.
void relativeStrengthIndex(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, valueWidth);
  if (rows.count() - period < 1) return;
  out.reserve(rows.count() - period, 1);
  long double reciprocal = 1.0L / period;
  long double up = 0, down = 0;
  for (int t = 1; t <= period; ++t) {
    long double change = rows.at(t, valueColumn) - rows.at(t - 1, valueColumn);
    if (change > 0) up += change;
    if (change < 0) down += -change;
  }
  up *= reciprocal;
  down *= reciprocal;
  for (int t = period; t < rows.count(); ++t) {
    if (t > period) {
      long double change = rows.at(t, valueColumn) - rows.at(t - 1, valueColumn);
      if (change > 0) up = (change + (period - 1) * up) * reciprocal;
      if (change < 0) down = (-change + (period - 1) * down) * reciprocal;
    }
    long double index = 100 - 100 / (up / down + 1);
    if (out.faulted(index)) index = up == down ? 50 : 100;
    out.write(rows.date(t), index);
  }
}

void relativeStrength(std::vector<long double> first, std::vector<long double> second, int32_t period,
                      std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows a(first, valueWidth), b(second, valueWidth);
  std::vector<long double> ratios;
  int j = 0;
  for (int i = 0; i < a.count() && j < b.count(); ++i) {
    while (j < b.count() && b.date(j) < a.date(i)) ++j;
    if (j == b.count() || b.date(j) != a.date(i)) continue;
    long double ratio = a.at(i, valueColumn) / b.at(j, valueColumn);
    if (!out.faulted(ratio)) appendRecord(ratios, a.date(i), ratio);
    ++j;
  }
  TSeriesRows ratioRows(ratios, valueWidth);
  out.reserve(ratioRows.count() - period, 1);
  for (int k = 0; k + period < ratioRows.count(); ++k) {
    long double change = ratioRows.at(k + period, valueColumn) / ratioRows.at(k, valueColumn);
    if (!out.faulted(change)) out.write(ratioRows.date(k + period), change);
  }
}

// The last row never ends a window: there are rows - period windows.
void detrendedPriceOscillator(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, valueWidth);
  long long count = static_cast<long long>(rows.count()) - period;
  if (count < 1) return;
  out.reserve(count, 1);
  int shift = period / 2;
  long double reciprocal = 1.0L / period;
  long double sum = rows.at(0, valueColumn);
  for (int t = 1; t < period; ++t) sum += rows.at(t, valueColumn);
  for (int k = 0; k < count; ++k) {
    int row = k + period - 1 - shift;
    out.write(rows.date(row), rows.at(row, valueColumn) - reciprocal * sum);
    if (k + 1 < count) sum = rows.at(k + period, valueColumn) + (sum - rows.at(k, valueColumn));
  }
}

void stochastic(std::vector<long double> values, int32_t lookback, int32_t kPeriod, int32_t dPeriod,
                std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(lookback);
  requirePeriod(kPeriod);
  requirePeriod(dPeriod);
  TSeriesRows rows(values, priceWidth);
  long long count = static_cast<long long>(rows.count()) - lookback - kPeriod - dPeriod + 3;
  if (count < 1) return;
  std::vector<long double> raw;
  raw.reserve(2 * static_cast<std::size_t>(rows.count() - lookback + 1));
  for (int t = lookback - 1; t < rows.count(); ++t) {
    TWindowRange range = priceWindowRange(rows, t, lookback);
    long double value = (rows.at(t, priceClose) - range.lowest) * 100 / (range.highest - range.lowest);
    if (out.faulted(value)) value = 100;
    appendRecord(raw, rows.date(t), value);
  }
  std::vector<long double> k, d;
  simpleMovingAverage(raw, kPeriod, k);
  simpleMovingAverage(k, dPeriod, d);
  TSeriesRows rawRows(raw, valueWidth), kRows(k, valueWidth), dRows(d, valueWidth);
  out.reserve(count, 3);
  for (int i = 0; i < count; ++i)
    out.write(dRows.date(i), rawRows.at(i + kPeriod + dPeriod - 2, valueColumn), kRows.at(i + dPeriod - 1, valueColumn),
              dRows.at(i, valueColumn));
}

void williamsPercentR(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, priceWidth);
  out.reserve(static_cast<long long>(rows.count()) - period + 1, 1);
  for (int t = period - 1; t < rows.count(); ++t) {
    TWindowRange range = priceWindowRange(rows, t, period);
    long double value = (rows.at(t, priceClose) - range.highest) * 100 / (range.highest - range.lowest);
    if (out.faulted(value)) value = 100;
    out.write(rows.date(t), value);
  }
}

// The mean deviation is taken over the `period` rows before the current one,
// not over the window that ends at it.
void commodityChannelIndex(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, priceWidth);
  if (rows.count() - period < 1) return;
  out.reserve(rows.count() - period, 1);
  std::vector<long double> typical;
  typicalPriceSeries(values, typical);
  TSeriesRows tp(typical, valueWidth);
  long double reciprocal = 1.0L / period;
  for (int t = period; t < tp.count(); ++t) {
    long double sum = tp.at(t, valueColumn);
    for (int k = 1; k < period; ++k) sum += tp.at(t - k, valueColumn);
    long double mean = sum * reciprocal;
    long double deviation = 0;
    for (int k = 1; k <= period; ++k) deviation += std::fabs(tp.at(t - k, valueColumn) - mean);
    out.write(tp.date(t), (period * tp.at(t, valueColumn) - sum) / (channelScale * deviation));
  }
}

void coppockCurve(std::vector<long double> values, int32_t toleranceDays, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  TSeriesRows rows(values, valueWidth);
  long double tolerance = toleranceDays;
  for (int i = 0; i < rows.count(); ++i) {
    long double sum = 0;
    bool complete = coppockSum(values, i, tolerance, sum);
    if (!out.faulted(sum) && complete) out.write(rows.date(i), sum * 10);
  }
}

// Binary search that stops at the first probe within the tolerance.
int32_t findDateRow(const std::vector<long double>& values, int width, int32_t firstRow, int32_t lastRow,
                    long double tolerance, long double target) {
  if (firstRow > lastRow) return -1;
  TSeriesRows rows(values, width);
  if (firstRow < 0 || lastRow >= rows.count()) throw ERangeError();
  auto within = [&](int32_t row) { return std::fabs(rows.date(row) - target) <= tolerance; };
  if (target < rows.date(firstRow)) return within(firstRow) ? firstRow : -1;
  if (target > rows.date(lastRow)) return within(lastRow) ? lastRow : -1;
  while (firstRow <= lastRow) {
    int32_t middle = firstRow + (lastRow - firstRow) / 2;
    if (within(middle)) return middle;
    if (target < rows.date(middle))
      lastRow = middle - 1;
    else
      firstRow = middle + 1;
  }
  return -1;
}
