// A full paint of a plot of 20 price series of 10,000 daily records each
// onto a 1000 x 600 bitmap: one series highlighted with candles, fill and
// volume profile, the others as foreground lines with markers, and a grid.
// The least and the median of a few rounds.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "bench/BenchTiming.h"
#include "chart/PlotPainter.h"
#include "chart/PricePlot.h"
#include "model/Prices.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

int main() {
  constexpr int seriesCount = 20;
  constexpr int records = 10000;
  constexpr int width = 1000;
  constexpr int height = 600;
  TBitmap bitmap(width, height);
  TPricePlot plot;
  plot.clientWidth = width;
  plot.clientHeight = height;
  plot.showContinuousX = false;
  for (int s = 0; s < seriesCount; ++s) {
    TPriceSeries& series = *plot.series(plot.addSeries());
    auto prices = std::make_unique<TPrices>();
    TQuoteRecord quote;
    quote.Mask = quoteOpenBit | quoteHighBit | quoteLowBit | quoteCloseBit | quoteVolumeBit;
    for (int i = 0; i < records; ++i) {
      const long double close = 100 + s * 3 + 20 * std::sin(i / 150.0 + s);
      quote.Open = close - 1 + (i % 3);
      quote.High = close + 2;
      quote.Low = close - 2;
      quote.Close = close;
      quote.Volume = 1000 + i % 500;
      prices->addRecord(quote, false, 0, 40000.0 + i);
    }
    series.takePrices(std::move(prices));
    series.color = static_cast<uint32_t>(0x101010 * (s % 12));
    series.closeMarker = s % 10;
  }
  TPriceSeries& highlighted = *plot.series(0);
  highlighted.barFields = quoteOpenBit | quoteHighBit | quoteLowBit | quoteCloseBit;
  highlighted.lineFields = quoteCloseBit;
  plot.highlighted = 0;
  plot.rebuildXValues();
  plot.loX = plot.firstX();
  plot.hiX = plot.lastX();
  plot.fitY(TMarkMetrics());

  TPlotLooks looks;
  looks.fillHighlighted = true;
  looks.profileHighlighted = true;
  looks.vLines = true;
  looks.hLines = true;
  TPlotOverlays overlays;
  std::vector<int> vertical, horizontal;
  for (int x = 50; x < width; x += 100) vertical.push_back(x);
  for (int y = 30; y < height; y += 60) horizontal.push_back(y);

  const TBenchTimes paint = timeRounds(9, [&] {
    TPlotPainter(bitmap.canvas(), plot, looks).paint(overlays, &vertical, &horizontal);
  });
  const TBenchTimes lookups = timeRounds(9, [&] {
    TQuoteRecord record;
    for (int s = 0; s < seriesCount; ++s)
      for (int i = 0; i < plot.xCount(); ++i) plot.recordAt(*plot.series(s)->prices(), i, record);
  });
  std::printf("lookups only %s\n", microseconds(lookups).c_str());
  {
    // A painter keeps the positions and shapes it has found: each round of a
    // part starts with a new one, as each paint does.
    auto part = [&](const char* what, auto step) {
      std::printf("  %-18s %s\n", what, microseconds(timeRounds(9, [&] {
                                            TPlotPainter painter(bitmap.canvas(), plot, looks);
                                            step(painter);
                                          })).c_str());
    };
    part("line", [&](TPlotPainter& painter) {
      painter.drawSeriesLine(plot.series(1)->prices(), 6, false, true, 1, 1, 0, 0);
    });
    part("fill", [&](TPlotPainter& painter) {
      painter.drawSeriesLine(plot.series(1)->prices(), 6, true, true, 1, 1, 0xFFFF, 0);
    });
    part("wide line", [&](TPlotPainter& painter) {
      painter.drawSeriesLine(plot.series(1)->prices(), 6, false, true, 1, 2, 0, 0);
    });
    for (int kind = 1; kind <= 9; ++kind) {
      const std::string name = "markers of kind " + std::to_string(kind);
      part(name.c_str(), [&](TPlotPainter& painter) {
        painter.drawSeriesMarkers(kind, plot.series(1)->prices(), 1, 1, 0, 6);
      });
    }
    part("bars", [&](TPlotPainter& painter) { painter.drawBars(plot.series(1)->prices(), 120, 1, 2, 0xFFFFFF, 0); });
    part("profile", [&](TPlotPainter& painter) { painter.drawProfile(plot.series(1)->prices(), 0, true, 1, 0xFFFF); });
  }
  std::printf("full plot paint, %d series x %d records on %d x %d: %s\n", seriesCount, records, width, height,
              microseconds(paint).c_str());
  return 0;
}
