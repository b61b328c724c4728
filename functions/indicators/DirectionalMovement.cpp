#include "functions/indicators/DirectionalMovement.h"

#include <algorithm>
#include <cmath>

#include "functions/indicators/IndicatorSeries.h"
#include "functions/indicators/TechnicalSeries.h"
#include "platform/NumericErrors.h"

namespace {

enum class TMoveSide { minus, plus };

// Ranges and prices hold the high and the low in the same places.
long double rowMovement(const TSeriesRows& rows, int t) {
  return directionalMovement(rows.at(t - 1, priceHigh), rows.at(t - 1, priceLow), rows.at(t, priceHigh),
                             rows.at(t, priceLow));
}

long double rowTrueRange(const TSeriesRows& rows, int t) {
  return trueRange(rows.at(t, priceLow), rows.at(t, priceHigh), rows.at(t - 1, priceClose));
}

// Exponential average of one side's winning moves as fractions of the true
// range; a row the side did not win only decays the average.
void directionalIndicatorSide(TMoveSide side, std::vector<long double> values, int32_t period, int32_t startRow,
                              long double seed, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  if (startRow < 0) throw ERangeError();
  TSeriesRows rows(values, priceWidth);
  if (rows.count() - startRow < 1) return;
  long double alpha = smoothingFactor(period);
  out.reserve(rows.count() - startRow, 1);
  long double average = seed;
  out.write(rows.date(startRow), average);
  for (int t = startRow + 1; t < rows.count(); ++t) {
    long double move = rowMovement(rows, t);
    bool won = side == TMoveSide::minus ? move < 0 : move > 0;
    if (won)
      average = average * (1 - alpha) + (std::fabs(move) / rowTrueRange(rows, t)) * alpha;
    else
      average = average * (1 - alpha);
    out.write(rows.date(t), average);
  }
}

struct TExtremeAges {
  int ofMaximum;
  int ofMinimum;
};

// Scans the window back from its last row; a value replaces an extreme only
// when strictly beyond it, so among equal extremes the most recent counts.
TExtremeAges windowExtremeAges(const TSeriesRows& rows, int last, int32_t period) {
  long double maximum = rows.at(last, valueColumn);
  long double minimum = maximum;
  TExtremeAges ages{0, 0};
  for (int age = 1; age < period; ++age) {
    long double value = rows.at(last - age, valueColumn);
    if (value > maximum) {
      maximum = value;
      ages.ofMaximum = age;
    }
    if (value < minimum) {
      minimum = value;
      ages.ofMinimum = age;
    }
  }
  return ages;
}

enum class TAroonLine { down, up, oscillator };

void aroon(TAroonLine line, std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, valueWidth);
  out.reserve(static_cast<long long>(rows.count()) - period + 1, 1);
  long double factor = 100.0L / period;
  for (int t = period - 1; t < rows.count(); ++t) {
    TExtremeAges ages = windowExtremeAges(rows, t, period);
    long double value = 0;
    switch (line) {
      case TAroonLine::down: value = (period - ages.ofMinimum) * factor; break;
      case TAroonLine::up: value = (period - ages.ofMaximum) * factor; break;
      case TAroonLine::oscillator: value = (ages.ofMinimum - ages.ofMaximum) * factor; break;
    }
    out.write(rows.date(t), value);
  }
}

}  // namespace

void directionalMovementSeries(std::vector<long double> values, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  TSeriesRows rows(values, rangeWidth);
  out.reserve(rows.count() - 1, 1);
  for (int t = 1; t < rows.count(); ++t) out.write(rows.date(t), rowMovement(rows, t));
}

void directionalIndicator(std::vector<long double> values, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  TSeriesRows rows(values, priceWidth);
  out.reserve(rows.count() - 1, 1);
  for (int t = 1; t < rows.count(); ++t) out.write(rows.date(t), rowMovement(rows, t) / rowTrueRange(rows, t));
}

void minusDirectionalIndicator(std::vector<long double> values, int32_t period, int32_t startRow, long double seed,
                               std::vector<long double>& output) {
  directionalIndicatorSide(TMoveSide::minus, std::move(values), period, startRow, seed, output);
}

void plusDirectionalIndicator(std::vector<long double> values, int32_t period, int32_t startRow, long double seed,
                              std::vector<long double>& output) {
  directionalIndicatorSide(TMoveSide::plus, std::move(values), period, startRow, seed, output);
}

void averageDirectionalIndex(std::vector<long double> values, int32_t period, long double seed,
                             std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, priceWidth);
  long long count = static_cast<long long>(rows.count()) - period + 1;
  if (count < 1) return;
  std::vector<long double> plus, minus;
  plusDirectionalIndicator(values, period, 0, 0, plus);
  minusDirectionalIndicator(values, period, 0, 0, minus);
  TSeriesRows plusRows(plus, valueWidth), minusRows(minus, valueWidth);
  out.reserve(count, 1);
  long double reciprocal = 1.0L / period;
  long double index = seed;
  for (int i = period - 1; i < rows.count(); ++i) {
    long double p = plusRows.at(i, valueColumn), m = minusRows.at(i, valueColumn);
    long double dx = std::fabs(p - m) / (p + m) * 100;
    index = (index * (period - 1) + dx) * reciprocal;
    out.write(rows.date(i), index);
  }
}

void averageDirectionalRating(std::vector<long double> values, int32_t period, long double seed,
                              std::vector<long double>& output) {
  TIndicatorOutput out(output);
  std::vector<long double> index;
  averageDirectionalIndex(std::move(values), period, seed, index);
  TSeriesRows indexRows(index, valueWidth);
  if (indexRows.count() <= period) throw ERangeError();
  out.reserve(indexRows.count() - period, 1);
  for (int k = 0; k + period < indexRows.count(); ++k)
    out.write(indexRows.date(k + period),
              (indexRows.at(k, valueColumn) + indexRows.at(k + period, valueColumn)) * 0.5L);
}

// A plain mean over each window, not Wilder's recursive smoothing.
void averageTrueRangeSeries(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, priceWidth);
  out.reserve(static_cast<long long>(rows.count()) - period, 1);
  for (int t = period; t < rows.count(); ++t) out.write(rows.date(t), averageTrueRange(values, t, period));
}

void aroonDown(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  aroon(TAroonLine::down, std::move(values), period, output);
}

void aroonUp(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  aroon(TAroonLine::up, std::move(values), period, output);
}

void aroonOscillator(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  aroon(TAroonLine::oscillator, std::move(values), period, output);
}

void verticalHorizontalFilter(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, valueWidth);
  out.reserve(static_cast<long long>(rows.count()) - period, 1);
  for (int t = period; t < rows.count(); ++t) {
    long double highest = rows.at(t, valueColumn), lowest = highest, travel = 0;
    for (int k = 0; k < period; ++k) {
      long double value = rows.at(t - k, valueColumn);
      highest = std::max(highest, value);
      lowest = std::min(lowest, value);
      travel += std::fabs(value - rows.at(t - k - 1, valueColumn));
    }
    long double ratio = (highest - lowest) / travel;
    if (!out.faulted(ratio)) out.write(rows.date(t), ratio);
  }
}
