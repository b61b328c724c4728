// Every technical indicator routine over one 5,000-row daily price table with
// period 200, and the candlestick scan also with its usual trend of 5 rows
// (the routine alone: the flat input is built once beforehand and
// passed by move, as the sheet functions pass theirs).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "bench/BenchTiming.h"
#include "functions/indicators/Bands.h"
#include "functions/indicators/Candlesticks.h"
#include "functions/indicators/DirectionalMovement.h"
#include "functions/indicators/Oscillators.h"
#include "functions/indicators/ParabolicSar.h"
#include "functions/indicators/TechnicalSeries.h"
#include "functions/indicators/VolumeIndicators.h"
#include "platform/FloatingPoint.h"

namespace {

using TValues = std::vector<long double>;

constexpr int rowCount = 5000;
constexpr int period = 200;
constexpr int runs = 15;

struct TBar {
  long double date, open, high, low, close, volume;
};

// A random walk of daily bars on consecutive days from 1 January 2000.
std::vector<TBar> priceTable() {
  std::mt19937_64 generator(20240611);
  std::normal_distribution<double> move(0.0, 0.012);
  std::uniform_real_distribution<double> spread(0.0, 0.01);
  std::uniform_int_distribution<int> volume(1000, 90000);
  std::vector<TBar> bars;
  long double close = 100;
  for (int t = 0; t < rowCount; ++t) {
    long double open = close * (1 + move(generator) / 3);
    close = open * (1 + move(generator));
    long double high = std::max(open, close) * (1 + spread(generator));
    long double low = std::min(open, close) * (1 - spread(generator));
    bars.push_back({36526.0L + t, open, high, low, close, static_cast<long double>(volume(generator) * 10)});
  }
  return bars;
}

TValues flatRows(const std::vector<TBar>& bars, std::initializer_list<long double TBar::*> fields) {
  TValues values;
  for (const TBar& bar : bars) {
    values.push_back(bar.date);
    for (auto field : fields) values.push_back(bar.*field);
  }
  return values;
}

TBenchTimes total;

// The input copy is made, and the output of the round before freed, off the clock.
void timeRoutine(const char* name, const TValues& input, const std::function<void(TValues, TValues&)>& routine) {
  TValues copy, output;
  const TBenchTimes times = timeRounds(
      runs,
      [&] {
        copy = input;
        output = TValues();
      },
      [&] { routine(std::move(copy), output); });
  total = total + times;
  std::printf("%-6s %s  (%zu output values)\n", name, microseconds(times).c_str(), output.size());
}

}  // namespace

int main() {
  setExtendedPrecision();
  const std::vector<TBar> bars = priceTable();
  const TValues closes = flatRows(bars, {&TBar::close});
  const TValues hl = flatRows(bars, {&TBar::high, &TBar::low});
  const TValues hlc = flatRows(bars, {&TBar::high, &TBar::low, &TBar::close});
  const TValues hlv = flatRows(bars, {&TBar::high, &TBar::low, &TBar::volume});
  const TValues cv = flatRows(bars, {&TBar::close, &TBar::volume});
  const TValues ohlc = flatRows(bars, {&TBar::open, &TBar::high, &TBar::low, &TBar::close});
  const TValues hlcv = flatRows(bars, {&TBar::high, &TBar::low, &TBar::close, &TBar::volume});
  std::printf("Indicator routines over %d rows, period %d, %d rounds\n", rowCount, period, runs);

  timeRoutine("ACD", hlcv, [](TValues v, TValues& o) { accumulationDistribution(std::move(v), 0, o); });
  timeRoutine("ADX", hlc, [](TValues v, TValues& o) { averageDirectionalIndex(std::move(v), period, 0, o); });
  timeRoutine("ADXR", hlc, [](TValues v, TValues& o) { averageDirectionalRating(std::move(v), period, 0, o); });
  timeRoutine("ARD", closes, [](TValues v, TValues& o) { aroonDown(std::move(v), period, o); });
  timeRoutine("ARO", closes, [](TValues v, TValues& o) { aroonOscillator(std::move(v), period, o); });
  timeRoutine("ARU", closes, [](TValues v, TValues& o) { aroonUp(std::move(v), period, o); });
  timeRoutine("ASI", ohlc, [](TValues v, TValues& o) { accumulationSwingIndex(std::move(v), 10000, 0, o); });
  timeRoutine("ATR", hlc, [](TValues v, TValues& o) { averageTrueRangeSeries(std::move(v), period, o); });
  timeRoutine("BOL", closes, [](TValues v, TValues& o) { bollingerBands(std::move(v), period, 2, o); });
  timeRoutine("CBI", closes, [](TValues v, TValues& o) { coppockCurve(std::move(v), 7, o); });
  timeRoutine("CSP", ohlc,
              [](TValues v, TValues& o) { candlestickPatterns(std::move(v), period, 0.1L, 0.7L, -0.001L, 0.001L, o); });
  timeRoutine("CSP 5", ohlc,
              [](TValues v, TValues& o) { candlestickPatterns(std::move(v), 5, 0.1L, 0.7L, -0.001L, 0.001L, o); });
  timeRoutine("CCI", hlc, [](TValues v, TValues& o) { commodityChannelIndex(std::move(v), period, o); });
  timeRoutine("DI", hlc, [](TValues v, TValues& o) { directionalIndicator(std::move(v), o); });
  timeRoutine("DIM", hlc, [](TValues v, TValues& o) { minusDirectionalIndicator(std::move(v), period, 0, 0, o); });
  timeRoutine("DIP", hlc, [](TValues v, TValues& o) { plusDirectionalIndicator(std::move(v), period, 0, 0, o); });
  timeRoutine("DM", hl, [](TValues v, TValues& o) { directionalMovementSeries(std::move(v), o); });
  timeRoutine("DPO", closes, [](TValues v, TValues& o) { detrendedPriceOscillator(std::move(v), period, o); });
  timeRoutine("EFI", cv, [](TValues v, TValues& o) { forceIndex(std::move(v), o); });
  timeRoutine("EMA", closes, [](TValues v, TValues& o) { exponentialMovingAverage(std::move(v), period, 0, o); });
  timeRoutine("EOM", hlv, [](TValues v, TValues& o) { easeOfMovement(std::move(v), 10000, o); });
  timeRoutine("KB", hlc, [](TValues v, TValues& o) { keltnerBands(std::move(v), period, period, 0, 2, o); });
  timeRoutine("MA", closes, [](TValues v, TValues& o) { simpleMovingAverage(std::move(v), period, o); });
  timeRoutine("MACD", closes, [](TValues v, TValues& o) { macd(std::move(v), period, period / 2, 9, 0, 0, 0, o); });
  timeRoutine("MFI", hlcv, [](TValues v, TValues& o) { moneyFlowIndex(std::move(v), period, o); });
  timeRoutine("MFM", hlcv, [](TValues v, TValues& o) { negativeMoneyFlow(std::move(v), period, o); });
  timeRoutine("MFP", hlcv, [](TValues v, TValues& o) { positiveMoneyFlow(std::move(v), period, o); });
  timeRoutine("MI", hl, [](TValues v, TValues& o) { massIndex(std::move(v), period, 9, 0, 0, o); });
  timeRoutine("MO", closes, [](TValues v, TValues& o) { momentum(std::move(v), period, o); });
  timeRoutine("NVI", cv, [](TValues v, TValues& o) { negativeVolumeIndex(std::move(v), 1, o); });
  timeRoutine("OBV", cv, [](TValues v, TValues& o) { onBalanceVolume(std::move(v), 0, o); });
  timeRoutine("PVI", cv, [](TValues v, TValues& o) { positiveVolumeIndex(std::move(v), 1, o); });
  timeRoutine("PVT", cv, [](TValues v, TValues& o) { priceVolumeTrend(std::move(v), 0, o); });
  timeRoutine("ROC", closes, [](TValues v, TValues& o) { rateOfChange(std::move(v), period, o); });
  timeRoutine("RS", closes, [&](TValues v, TValues& o) { relativeStrength(std::move(v), closes, period, o); });
  timeRoutine("RSI", closes, [](TValues v, TValues& o) { relativeStrengthIndex(std::move(v), period, o); });
  timeRoutine("SAR", hl, [](TValues v, TValues& o) { parabolicSAR(std::move(v), 0.02L, 0.2L, o); });
  timeRoutine("SI", ohlc, [](TValues v, TValues& o) { swingIndexSeries(std::move(v), 10000, o); });
  timeRoutine("STO", hlc, [](TValues v, TValues& o) { stochastic(std::move(v), period, 3, 3, o); });
  timeRoutine("TP", hlc, [](TValues v, TValues& o) { typicalPriceSeries(std::move(v), o); });
  timeRoutine("TR", hlc, [](TValues v, TValues& o) { trueRangeSeries(std::move(v), o); });
  timeRoutine("TRIX", closes, [](TValues v, TValues& o) { trix(std::move(v), period, 0, 0, 0, o); });
  timeRoutine("TSI", closes, [](TValues v, TValues& o) { trueStrengthIndex(std::move(v), period, period / 2, o); });
  timeRoutine("UDR", cv, [](TValues v, TValues& o) { upDownVolumeRatio(std::move(v), period, o); });
  timeRoutine("VHF", closes, [](TValues v, TValues& o) { verticalHorizontalFilter(std::move(v), period, o); });
  timeRoutine("VOI", hl, [](TValues v, TValues& o) { differenceOscillator(std::move(v), period, 0, o); });
  timeRoutine("WAD", hlc, [](TValues v, TValues& o) { williamsAccumulationDistribution(std::move(v), 0, o); });
  timeRoutine("WRO", hlc, [](TValues v, TValues& o) { williamsPercentR(std::move(v), period, o); });
  timeRoutine("ZZI", closes, [](TValues v, TValues& o) { zigZag(std::move(v), false, 0.05L, o); });
  std::printf("all    %s\n", microseconds(total).c_str());
  return 0;
}
