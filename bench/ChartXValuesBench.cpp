// Rebuilds the X values of a plot of 100 price series of 5,000 daily records
// each, the series starting 50 days apart so that most dates are shared and
// every series adds some; each series carries 10 text marks.
#include <cstdio>
#include <memory>

#include "bench/BenchTiming.h"
#include "chart/PricePlot.h"
#include "model/Prices.h"

int main() {
  constexpr int seriesCount = 100;
  constexpr int records = 5000;
  TPricePlot plot;
  for (int s = 0; s < seriesCount; ++s) {
    TPriceSeries& series = *plot.series(plot.addSeries());
    auto prices = std::make_unique<TPrices>();
    TQuoteRecord quote;
    quote.Mask = quoteCloseBit;
    for (int i = 0; i < records; ++i) {
      quote.Close = 100 + i % 37;
      prices->addRecord(quote, false, 0, 40000.0 + s * 50 + i);
    }
    series.takePrices(std::move(prices));
    for (int m = 0; m < 10; ++m) series.textMarks.add("mark", 0, 0, 0, 0, 40000.0 + s * 50 + m * 400, 100);
  }
  const TBenchTimes times = timeRounds(9, [&] { plot.rebuildXValues(); });
  std::printf("rebuildXValues, %d series x %d records -> %d X values: %s\n", seriesCount, records, plot.xCount(),
              microseconds(times).c_str());
  return 0;
}
