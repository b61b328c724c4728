// Latency of the chart's position read-out: a mouse move over the plot of a
// chart of 5 series x 2,000 daily records with all five position labels and
// the cross-hair on (labels hidden, cross-hair moved, slider marks set), the
// read-out placed as the timer would place it, and the window repainted.
// The least and the median of 200 moves, then of each part of a move.
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/BenchTiming.h"
#include "chart/Axis.h"
#include "chart/PriceChart.h"
#include "chart/PriceGraph.h"
#include "model/Prices.h"
#include "platform/Form.h"
#include "platform/ShiftState.h"

int main() {
  TFormOptions options;
  options.caption = "Read-out";
  options.clientWidth = 900;
  options.clientHeight = 600;
  TForm form(options);
  TPriceChart& chart = form.add<TPriceChart>();
  chart.setBounds(0, 0, 880, 580);
  TPriceGraph& graph = chart.graph();
  for (int s = 0; s < 5; ++s) {
    TPriceSeries& series = *graph.series(graph.addSeries());
    auto prices = std::make_unique<TPrices>();
    TQuoteRecord quote;
    quote.Mask = quoteOpenBit | quoteHighBit | quoteLowBit | quoteCloseBit;
    for (int i = 0; i < 2000; ++i) {
      const long double close = 100 + s * 5 + 10 * std::sin(i / 40.0);
      quote.Open = close - 1;
      quote.High = close + 2;
      quote.Low = close - 2;
      quote.Close = close;
      prices->addRecord(quote, false, 0, 40000.0 + i);
    }
    series.takePrices(std::move(prices));
    series.lineFields = quoteCloseBit;
  }
  graph.setHighlighted(0);
  chart.setBottomXGrid(true);
  chart.setLeftYGrid(true);
  chart.setBottomXAxisDates(true);
  graph.rebuildXValues();
  graph.setLoX(graph.firstX());
  graph.setHiX(graph.lastX());
  chart.syncAxes();
  chart.setShowPositionCenter(true);
  chart.setShowPositionTop(true);
  chart.setShowPositionBottom(true);
  chart.setShowPositionLeft(true);
  chart.setShowPositionRight(true);
  form.showModeless();
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  chart.setCrossHair(true);

  int step = 0;
  const TBenchTimes readout = timeRounds(200, [&] {
    const int x = 20 + (step * 7) % (graph.clientWidth() - 40);
    const int y = 20 + (step * 3) % (graph.clientHeight() - 40);
    ++step;
    POINT at{x, y};
    ClientToScreen(graph.handle(), &at);
    SetCursorPos(at.x, at.y);
    chart.graphMouseMove(0, x, y);
    chart.crossHairText();
    UpdateWindow(form.handle());
    RedrawWindow(form.handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  });
  std::vector<double> moveTimes, textTimes, redrawTimes;
  for (int i = 0; i < benchRounds(50); ++i) {
    const int x = 20 + (i * 11) % (graph.clientWidth() - 40);
    const int y = 20 + (i * 5) % (graph.clientHeight() - 40);
    auto start = std::chrono::steady_clock::now();
    chart.graphMouseMove(0, x, y);
    moveTimes.push_back(secondsSince(start));
    start = std::chrono::steady_clock::now();
    chart.crossHairText();
    textTimes.push_back(secondsSince(start));
    start = std::chrono::steady_clock::now();
    RedrawWindow(form.handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    redrawTimes.push_back(secondsSince(start));
  }
  std::printf("read-out: mouse move to repainted labels, 5 series x 2000 records: %s\n",
              microseconds(readout).c_str());
  std::printf("  of which: move %s\n", microseconds(summarised(moveTimes)).c_str());
  std::printf("            read-out %s\n", microseconds(summarised(textTimes)).c_str());
  std::printf("            pending paints %s\n", microseconds(summarised(redrawTimes)).c_str());
  chart.setCrossHair(false);
  form.close();
  return 0;
}
