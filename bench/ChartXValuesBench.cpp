// Rebuilds the X values of a plot of 100 price series of 5,000 daily records
// each, the series starting 50 days apart so that most dates are shared and
// every series adds some; each series carries 10 text marks. Median of five
// rounds.
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
  const double seconds = medianTime(5, [&] { plot.rebuildXValues(); });
  std::printf("rebuildXValues, %d series x %d records -> %d X values: %.1f ms\n", seriesCount, records,
              plot.xCount(), seconds * 1e3);
  return 0;
}
