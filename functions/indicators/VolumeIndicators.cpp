#include "functions/indicators/VolumeIndicators.h"

#include <algorithm>

#include "functions/indicators/IndicatorSeries.h"
#include "functions/indicators/TechnicalSeries.h"

namespace {

// (date, high, low, close, volume)
constexpr int flowWidth = 5;
constexpr int flowHigh = 1;
constexpr int flowLow = 2;
constexpr int flowClose = 3;
constexpr int flowVolume = 4;

// (date, close, volume)
constexpr int volumeWidth = 3;
constexpr int volumeClose = 1;
constexpr int volumeVolume = 2;

// (date, high, low, volume)
constexpr int movementWidth = 4;
constexpr int movementHigh = 1;
constexpr int movementLow = 2;
constexpr int movementVolume = 3;

// (date, a, b)
constexpr int differenceWidth = 3;
constexpr int differenceFirst = 1;
constexpr int differenceSecond = 2;

// A total carried over (date, close, volume) rows: row 0 holds the seed,
// every later row the total after `update`(total, close, previous close,
// volume, previous volume).
template <class Update>
void volumeTotal(const std::vector<long double>& values, long double seed, std::vector<long double>& output,
                 Update update) {
  TIndicatorOutput out(output);
  TSeriesRows rows(values, volumeWidth);
  if (rows.count() < 1) return;
  out.reserve(rows.count(), 1);
  long double total = seed;
  out.write(rows.date(0), total);
  for (int t = 1; t < rows.count(); ++t) {
    total = update(total, rows.at(t, volumeClose), rows.at(t - 1, volumeClose), rows.at(t, volumeVolume),
                   rows.at(t - 1, volumeVolume));
    out.write(rows.date(t), total);
  }
}

long double barSwingIndex(const TSeriesRows& rows, int t, long double reciprocalLimitMove) {
  return swingIndex(reciprocalLimitMove, rows.at(t - 1, barOpen), rows.at(t - 1, barClose), rows.at(t, barOpen),
                    rows.at(t, barHigh), rows.at(t, barLow), rows.at(t, barClose));
}

enum class TFlowSide { negative, positive };

// Sum of the last `period` flows kept in a ring, the running sum carried
// along: the window of row t holds rows t - period + 1 ... t.
void moneyFlow(TFlowSide side, const std::vector<long double>& values, int32_t period,
               std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, flowWidth);
  if (rows.count() - period < 1) return;
  out.reserve(rows.count() - period, 1);
  auto typical = [&](int t) {
    return typicalPrice(rows.at(t, flowHigh), rows.at(t, flowLow), rows.at(t, flowClose));
  };
  auto flow = [&](int t) {
    long double price = typical(t), previous = typical(t - 1);
    bool counts = side == TFlowSide::negative ? price < previous : price > previous;
    return counts ? price * rows.at(t, flowVolume) : 0.0L;
  };
  std::vector<long double> ring(period, 0.0L);
  long double sum = 0;
  for (int t = 1; t < period; ++t) {
    ring[t - 1] = flow(t);
    sum += ring[t - 1];
  }
  int slot = period - 1;
  for (int t = period; t < rows.count(); ++t) {
    long double current = flow(t);
    sum = sum - ring[slot] + current;
    ring[slot] = current;
    out.write(rows.date(t), sum);
    slot = slot + 1 == period ? 0 : slot + 1;
  }
}

}  // namespace

void accumulationDistribution(std::vector<long double> values, long double seed, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  TSeriesRows rows(values, flowWidth);
  out.reserve(rows.count(), 1);
  long double total = seed;
  for (int t = 0; t < rows.count(); ++t) {
    long double high = rows.at(t, flowHigh), low = rows.at(t, flowLow), close = rows.at(t, flowClose);
    long double next = ((close - low) - (high - close)) * rows.at(t, flowVolume) / (high - low) + total;
    if (!out.faulted(next)) total = next;
    out.write(rows.date(t), total);
  }
}

void onBalanceVolume(std::vector<long double> values, long double seed, std::vector<long double>& output) {
  volumeTotal(values, seed, output, [](long double total, long double close, long double previousClose,
                                       long double volume, long double) {
    if (close > previousClose) return total + volume;
    if (close < previousClose) return total - volume;
    return total;
  });
}

void negativeVolumeIndex(std::vector<long double> values, long double seed, std::vector<long double>& output) {
  volumeTotal(values, seed, output, [](long double total, long double close, long double previousClose,
                                       long double volume, long double previousVolume) {
    return volume < previousVolume ? total * (close / previousClose) : total;
  });
}

void positiveVolumeIndex(std::vector<long double> values, long double seed, std::vector<long double>& output) {
  volumeTotal(values, seed, output, [](long double total, long double close, long double previousClose,
                                       long double volume, long double previousVolume) {
    return volume > previousVolume ? total * (close / previousClose) : total;
  });
}

void priceVolumeTrend(std::vector<long double> values, long double seed, std::vector<long double>& output) {
  volumeTotal(values, seed, output, [](long double total, long double close, long double previousClose,
                                       long double volume, long double) {
    return total + volume * ((close - previousClose) / previousClose);
  });
}

void williamsAccumulationDistribution(std::vector<long double> values, long double seed,
                                      std::vector<long double>& output) {
  TIndicatorOutput out(output);
  TSeriesRows rows(values, priceWidth);
  if (rows.count() < 1) return;
  out.reserve(rows.count(), 1);
  long double total = seed;
  out.write(rows.date(0), total);
  for (int t = 1; t < rows.count(); ++t) {
    long double close = rows.at(t, priceClose), previousClose = rows.at(t - 1, priceClose);
    if (close > previousClose)
      total = total + (close - std::min(rows.at(t, priceLow), previousClose));
    else if (close < previousClose)
      total = total + (close - std::max(rows.at(t, priceHigh), previousClose));
    out.write(rows.date(t), total);
  }
}

void accumulationSwingIndex(std::vector<long double> values, long double limitMove, long double seed,
                            std::vector<long double>& output) {
  TIndicatorOutput out(output);
  long double reciprocalLimitMove = out.checked(1 / limitMove);
  TSeriesRows rows(values, barWidth);
  if (rows.count() < 1) return;
  out.reserve(rows.count(), 1);
  long double total = seed;
  out.write(rows.date(0), total);
  for (int t = 1; t < rows.count(); ++t) {
    total = total + barSwingIndex(rows, t, reciprocalLimitMove);
    out.write(rows.date(t), total);
  }
}

void swingIndexSeries(std::vector<long double> values, long double limitMove, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  long double reciprocalLimitMove = out.checked(1 / limitMove);
  TSeriesRows rows(values, barWidth);
  out.reserve(rows.count() - 1, 1);
  for (int t = 1; t < rows.count(); ++t) out.write(rows.date(t), barSwingIndex(rows, t, reciprocalLimitMove));
}

void forceIndex(std::vector<long double> values, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  TSeriesRows rows(values, volumeWidth);
  out.reserve(rows.count() - 1, 1);
  for (int t = 1; t < rows.count(); ++t)
    out.write(rows.date(t), (rows.at(t, volumeClose) - rows.at(t - 1, volumeClose)) * rows.at(t, volumeVolume));
}

void easeOfMovement(std::vector<long double> values, long double scale, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  TSeriesRows rows(values, movementWidth);
  out.reserve(rows.count() - 1, 1);
  long double halfScale = scale * 0.5L;
  for (int t = 1; t < rows.count(); ++t) {
    long double high = rows.at(t, movementHigh), low = rows.at(t, movementLow);
    long double midpointShift = (high + low) - (rows.at(t - 1, movementHigh) + rows.at(t - 1, movementLow));
    long double ease = (high - low) * halfScale * midpointShift / rows.at(t, movementVolume);
    if (!out.faulted(ease)) out.write(rows.date(t), ease);
  }
}

void negativeMoneyFlow(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  moneyFlow(TFlowSide::negative, values, period, output);
}

void positiveMoneyFlow(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  moneyFlow(TFlowSide::positive, values, period, output);
}

void moneyFlowIndex(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  std::vector<long double> positive, negative;
  positiveMoneyFlow(values, period, positive);
  if (positive.empty()) return;
  negativeMoneyFlow(std::move(values), period, negative);
  TSeriesRows up(positive, valueWidth), down(negative, valueWidth);
  out.reserve(up.count(), 1);
  for (int t = 0; t < up.count(); ++t) {
    long double index = 100 - 100 / (1 + up.at(t, valueColumn) / down.at(t, valueColumn));
    if (out.faulted(index)) index = 100;
    out.write(up.date(t), index);
  }
}

// Two rings of the last `period` up and down volumes; the window of row t
// holds the changes of rows t - period + 1 ... t.
void upDownVolumeRatio(std::vector<long double> values, int32_t period, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, volumeWidth);
  if (rows.count() - period < 1) return;
  out.reserve(rows.count() - period, 1);
  std::vector<long double> upRing(period, 0.0L), downRing(period, 0.0L);
  long double up = 0, down = 0;
  int slot = 0;
  for (int t = 1; t < rows.count(); ++t) {
    long double close = rows.at(t, volumeClose), previousClose = rows.at(t - 1, volumeClose);
    long double volume = rows.at(t, volumeVolume);
    up -= upRing[slot];
    down -= downRing[slot];
    upRing[slot] = downRing[slot] = 0;
    if (close > previousClose) {
      up += volume;
      upRing[slot] = volume;
    } else if (close < previousClose) {
      down += volume;
      downRing[slot] = volume;
    }
    slot = slot + 1 == period ? 0 : slot + 1;
    if (t < period) continue;
    long double ratio = up / down;
    if (!out.faulted(ratio)) out.write(rows.date(t), ratio);
  }
}

void differenceOscillator(std::vector<long double> values, int32_t period, long double seed,
                          std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, differenceWidth);
  if (rows.count() < 1) return;
  std::vector<long double> difference;
  difference.reserve(2 * static_cast<std::size_t>(rows.count()));
  for (int t = 0; t < rows.count(); ++t)
    appendRecord(difference, rows.date(t), rows.at(t, differenceFirst) - rows.at(t, differenceSecond));
  exponentialMovingAverage(difference, period, seed, difference);
  rateOfChange(std::move(difference), period, output);
}
