#include "functions/indicators/ParabolicSar.h"

#include <algorithm>
#include <cmath>

#include "functions/indicators/IndicatorSeries.h"
#include "platform/NumericErrors.h"

namespace {

struct TPivot {
  int row;
  long double date;
  long double value;
};

// Alternating peaks and troughs, each beyond the previous pivot by more than
// the threshold; while no new pivot of the other kind is found, a further
// extreme of the same kind moves the last pivot. The last row always ends the
// list, taking the place of the last pivot found.
std::vector<TPivot> findPivots(const TSeriesRows& rows, long double threshold) {
  std::vector<TPivot> pivots{{0, rows.date(0), rows.at(0, valueColumn)}};
  long double last = pivots.back().value;
  bool peakAllowed = true, troughAllowed = true;
  int lastRow = rows.count() - 1;
  for (int t = 1; t < lastRow; ++t) {
    long double value = rows.at(t, valueColumn);
    long double before = rows.at(t - 1, valueColumn), after = rows.at(t + 1, valueColumn);
    bool peak = value > before && value > after && value > last;
    bool trough = value < before && value < after && value < last;
    if (!peak && !trough) continue;
    bool allowed = peak ? peakAllowed : troughAllowed;
    if (allowed) {
      long double move = peak ? value / last - 1 : last / value - 1;
      if (move > threshold) {
        pivots.push_back({t, rows.date(t), value});
        last = value;
        peakAllowed = !peak;
        troughAllowed = peak;
      }
    } else if (pivots.size() > 1) {
      pivots.back() = {t, rows.date(t), value};
      last = value;
    }
  }
  TPivot end{lastRow, rows.date(lastRow), rows.at(lastRow, valueColumn)};
  if (pivots.size() < 2)
    pivots.push_back(end);
  else
    pivots.back() = end;
  return pivots;
}

// The logarithm of a pivot value, faulting as the unit's own logarithm would.
long double pivotLogarithm(long double value) {
  if (value == 0) throw EZeroDivide();
  if (value < 0) throw EInvalidOp();
  return std::log(value);
}

}  // namespace

void parabolicSAR(std::vector<long double> values, long double step, long double maximumFactor,
                  std::vector<long double>& output) {
  TIndicatorOutput out(output);
  TSeriesRows rows(values, rangeWidth);
  if (rows.count() - 1 < 1) return;
  out.reserve(rows.count() - 1, 1);
  auto high = [&](int t) { return rows.at(t, rangeHigh); };
  auto low = [&](int t) { return rows.at(t, rangeLow); };
  long double extremeHigh = std::max(high(0), high(1));
  long double extremeLow = std::min(low(0), low(1));
  long double factor = step;
  bool isLong = high(1) + low(1) > high(0) + low(0);
  long double stop = isLong ? extremeLow : extremeHigh;
  out.write(rows.date(1), stop);
  // The stop is not held back at the prior lows or highs: reaching into the
  // range of this or the previous row reverses on this row, at the old extreme.
  for (int t = 2; t < rows.count(); ++t) {
    if (isLong) {
      if (high(t) > extremeHigh) {
        extremeHigh = high(t);
        if (factor < maximumFactor) factor = std::min(maximumFactor, factor + step);
      }
      stop = stop + factor * (extremeHigh - stop);
      if (low(t - 1) < stop || low(t) < stop) {
        stop = extremeHigh;
        factor = step;
        extremeLow = std::min(low(t), low(t - 1));
        isLong = false;
      }
    } else {
      if (low(t) < extremeLow) {
        extremeLow = low(t);
        if (factor < maximumFactor) factor = std::min(maximumFactor, factor + step);
      }
      stop = stop + factor * (extremeLow - stop);
      if (high(t - 1) > stop || high(t) > stop) {
        stop = extremeLow;
        factor = step;
        extremeHigh = std::max(high(t), high(t - 1));
        isLong = true;
      }
    }
    out.write(rows.date(t), stop);
  }
}

// Between two pivots the line is spread evenly over the rows, not over the
// dates. A leg ends at its pivot's own row, so a date column that repeats or
// runs backwards cannot run the line past the last pivot.
void zigZag(std::vector<long double> values, bool logarithmic, long double threshold,
            std::vector<long double>& output) {
  TIndicatorOutput out(output);
  if (threshold < 0) throw ERangeError();
  TSeriesRows rows(values, valueWidth);
  if (rows.count() < 2) return;
  std::vector<TPivot> pivots = findPivots(rows, threshold);
  out.raisePending();
  if (logarithmic)
    for (TPivot& pivot : pivots) pivot.value = pivotLogarithm(pivot.value);

  std::vector<long double> line(rows.count());
  line[0] = rows.at(0, valueColumn);
  long double previous = pivots[0].value;
  std::size_t next = 1;
  int steps = 1;
  for (int t = 1; t < rows.count(); ++t) {
    if (pivots[next].row > t) {
      ++steps;
      continue;
    }
    long double increment = (pivots[next].value - previous) / steps;
    for (int j = 1; j <= steps; ++j) {
      long double point = previous + increment * j;
      line[t - steps + j] = logarithmic ? std::exp(point) : point;
    }
    previous = pivots[next].value;
    ++next;
    steps = 1;
  }
  out.reserve(rows.count(), 1);
  for (int t = 0; t < rows.count(); ++t) out.write(rows.date(t), line[t]);
}
