#include "functions/indicators/TechnicalSeries.h"

#include <algorithm>
#include <cmath>

#include "functions/indicators/IndicatorSeries.h"
#include "platform/NumericErrors.h"

long double trueRange(long double low, long double high, long double previousClose) {
  return std::max({previousClose - low, high - previousClose, high - low});
}

long double averageTrueRange(const std::vector<long double>& series, int32_t lastRow, int32_t period) {
  TSeriesRows rows(series, priceWidth);
  if (period < 1 || static_cast<long long>(lastRow) - period < 0 || lastRow >= rows.count()) throw ERangeError();
  long double sum = 0;
  for (int row = lastRow - period + 1; row <= lastRow; ++row)
    sum += trueRange(rows.at(row, priceLow), rows.at(row, priceHigh), rows.at(row - 1, priceClose));
  return sum / period;
}

long double directionalMovement(long double previousHigh, long double previousLow, long double high, long double low) {
  long double up = std::max(high - previousHigh, 0.0L);
  long double down = std::max(previousLow - low, 0.0L);
  if (up > down) return up;
  if (down > up) return -down;
  return 0;
}

// Wilder's swing index; ties of the range terms go to the high, then the low.
long double swingIndex(long double reciprocalLimitMove, long double previousOpen, long double previousClose,
                       long double open, long double high, long double low, long double close) {
  long double a = std::fabs(high - previousClose);
  long double b = std::fabs(low - previousClose);
  long double c = std::fabs(high - low);
  long double carried = 0.25L * std::fabs(previousClose - previousOpen);
  long double range;
  if (a >= std::max(b, c))
    range = a - 0.5L * b + carried;
  else if (b >= std::max(c, a))
    range = b - 0.5L * a + carried;
  else
    range = c + carried;
  if (range == 0) return 0;
  long double k = std::max(a, b);
  long double move = (close - open) * 0.5L + (close - previousClose) + (previousClose - previousOpen) * 0.25L;
  return move / range * 50 * k * reciprocalLimitMove;
}

void exponentialMovingAverage(std::vector<long double> values, int32_t period, long double seed,
                              std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  long double alpha = smoothingFactor(period);
  TSeriesRows rows(values, valueWidth);
  out.reserve(rows.count(), 1);
  long double average = seed;
  for (int t = 0; t < rows.count(); ++t) {
    average = rows.at(t, valueColumn) * alpha + average * (1 - alpha);
    out.write(rows.date(t), average);
  }
}

// The running sum is carried from window to window, so its rounding carries
// along the series as well.
void simpleMovingAverage(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, valueWidth);
  long long windows = static_cast<long long>(rows.count()) - period + 1;
  if (windows < 1) return;
  out.reserve(windows, 1);
  long double reciprocal = 1.0L / period;
  long double sum = rows.at(0, valueColumn);
  for (int t = 1; t < period; ++t) sum += rows.at(t, valueColumn);
  for (int k = 0; k < windows; ++k) {
    out.write(rows.date(k + period - 1), sum * reciprocal);
    if (k + 1 < windows) sum = rows.at(k + period, valueColumn) + (sum - rows.at(k, valueColumn));
  }
}

void momentum(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, valueWidth);
  out.reserve(static_cast<long long>(rows.count()) - period, 1);
  for (int t = period; t < rows.count(); ++t)
    out.write(rows.date(t), rows.at(t, valueColumn) - rows.at(t - period, valueColumn));
}

void rateOfChange(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, valueWidth);
  out.reserve(static_cast<long long>(rows.count()) - period, 1);
  for (int t = period; t < rows.count(); ++t) {
    long double change = (rows.at(t, valueColumn) / rows.at(t - period, valueColumn) - 1) * 100;
    if (!out.faulted(change)) out.write(rows.date(t), change);
  }
}

void typicalPriceSeries(std::vector<long double> values, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  TSeriesRows rows(values, priceWidth);
  out.reserve(rows.count(), 1);
  for (int t = 0; t < rows.count(); ++t)
    out.write(rows.date(t), typicalPrice(rows.at(t, priceHigh), rows.at(t, priceLow), rows.at(t, priceClose)));
}

void trueRangeSeries(std::vector<long double> values, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  TSeriesRows rows(values, priceWidth);
  out.reserve(rows.count() - 1, 1);
  for (int t = 1; t < rows.count(); ++t)
    out.write(rows.date(t), trueRange(rows.at(t, priceLow), rows.at(t, priceHigh), rows.at(t - 1, priceClose)));
}
