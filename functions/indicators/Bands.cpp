#include "functions/indicators/Bands.h"

#include <cmath>

#include "functions/indicators/IndicatorSeries.h"
#include "functions/indicators/TechnicalSeries.h"
#include "platform/NumericErrors.h"

TWindowMoments windowMeanAndSquares(const long double* first, int32_t count, int stride) {
  if (count < 1) throw ERangeError();
  long double sum = 0;
  for (int32_t i = 0; i < count; ++i) sum += first[static_cast<std::ptrdiff_t>(i) * stride];
  TWindowMoments moments{sum / count, 0};
  for (int32_t i = 0; i < count; ++i) {
    long double deviation = first[static_cast<std::ptrdiff_t>(i) * stride] - moments.mean;
    moments.sumOfSquares += deviation * deviation;
  }
  return moments;
}

// The standard deviation divides by the window's length, not one less.
void bollingerBands(std::vector<long double> values, int32_t period, long double width,
                    std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(period);
  TSeriesRows rows(values, valueWidth);
  out.reserve(static_cast<long long>(rows.count()) - period + 1, 3);
  for (int t = period - 1; t < rows.count(); ++t) {
    TWindowMoments moments = windowMeanAndSquares(rows.column(t - period + 1, valueColumn), period, valueWidth);
    long double offset = std::sqrt(moments.sumOfSquares / period) * width;
    out.write(rows.date(t), moments.mean - offset, moments.mean, moments.mean + offset);
  }
}

// The band width is the plain mean true range, not Wilder's smoothed one.
void keltnerBands(std::vector<long double> values, int32_t averagePeriod, int32_t rangePeriod, long double seed,
                  long double width, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(averagePeriod);
  requirePeriod(rangePeriod);
  TSeriesRows rows(values, priceWidth);
  if (rows.count() - rangePeriod < 1) return;
  out.reserve(rows.count() - rangePeriod, 3);
  long double alpha = smoothingFactor(averagePeriod);
  long double average = seed;
  for (int t = 0; t < rows.count(); ++t) {
    average = average * (1 - alpha) + rows.at(t, priceClose) * alpha;
    if (t < rangePeriod) continue;
    long double offset = averageTrueRange(values, t, rangePeriod) * width;
    out.write(rows.date(t), average - offset, average, average + offset);
  }
}

void massIndex(std::vector<long double> values, int32_t sumPeriod, int32_t averagePeriod, long double seed1,
               long double seed2, std::vector<long double>& output) {
  TIndicatorOutput out(output);
  requirePeriod(sumPeriod);
  requirePeriod(averagePeriod);
  TSeriesRows rows(values, rangeWidth);
  if (rows.count() - sumPeriod + 1 < 1) return;
  out.reserve(rows.count() - sumPeriod + 1, 1);
  long double alpha = smoothingFactor(averagePeriod);
  long double single = seed1, twice = seed2, sum = 0;
  std::vector<long double> ring(sumPeriod, 0.0L);
  int slot = 0;
  for (int t = 0; t < rows.count(); ++t) {
    single = alpha * (rows.at(t, rangeHigh) - rows.at(t, rangeLow)) + single * (1 - alpha);
    twice = single * alpha + twice * (1 - alpha);
    long double ratio = single / twice;
    sum = t < sumPeriod - 1 ? sum + ratio : ratio + (sum - ring[slot]);
    ring[slot] = ratio;
    slot = slot + 1 == sumPeriod ? 0 : slot + 1;
    if (t >= sumPeriod - 1) out.write(rows.date(t), sum);
  }
}
