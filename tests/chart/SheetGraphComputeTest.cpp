#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "chart/ComputeThread.h"
#include "chart/PricePlot.h"
#include "chart/Series.h"
#include "chart/SheetBuilder.h"
#include "chart/SheetGraphSettings.h"
#include "chart/SourceTable.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Prices.h"
#include "platform/Application.h"
#include "sheet/Sheet.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/TestScriptEngine.h"

namespace {

// A graph's internal parts without its window: the sheet, the plot's series
// and the settings, built and computed on the worker thread.
struct TGraphParts {
  TSheet sheet;
  TPricePlot plot;
  TSourceTable table{TSource::create};
  TSheetGraphSettings pending;
  TFieldValueGetter getter;

  TSource& addSource(const std::string& close) {
    table.insertSource(table.count());
    TSource& source = *table.getSource(table.count() - 1);
    source.Close = close;
    return source;
  }
  void xRange(std::string from, std::string to, std::string steps) {
    pending.fromXFormula = std::move(from);
    pending.toXFormula = std::move(to);
    pending.stepsFormula = std::move(steps);
  }
  bool build() {
    TSheetBuilder builder(sheet, plot, table, pending);
    builder.fieldValueGetter = getter;
    return builder.build();
  }
  void compute() {
    std::vector<TPriceSeries*> series;
    for (int i = 0; i < plot.seriesCount(); ++i) series.push_back(plot.series(i));
    TComputeThread thread(series, sheet, pending.fromDate, pending.toDate, -1, -1, false);
    thread.waitFor();
    ASSERT_TRUE(thread.completed());
  }
  // (X, close) of every point of a line.
  std::vector<std::pair<double, long double>> points(int line) {
    std::vector<std::pair<double, long double>> result;
    TPrices& prices = *plot.series(line)->prices();
    for (int i = 0; i < prices.count(); ++i) {
      double x = 0;
      TQuoteRecord quote;
      prices.getRecordBySortedIndex(i, x, quote);
      result.emplace_back(x, plot.series(line)->fieldValue(quoteFieldClose, quote));
    }
    return result;
  }
};

// Handles the thread's messages one at a time, through the program's
// path, until the condition holds; false after the time-out.
bool handleMessagesUntil(const std::function<bool()>& condition, int timeoutMilliseconds) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMilliseconds);
  while (!condition()) {
    if (GetTickCount64() >= deadline) return false;
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      application().handleMessage(message);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  }
  return true;
}

}  // namespace

TEST(SheetGraphCompute, FormulaWithParameterIsStepAtExactXValues) {
  TGraphParts graph;
  graph.addSource("SIN(X)*P").insertParameter(0, "P", "", "", 2, 0, 5, 11, false);
  graph.xRange("0", "2*PI", "101");
  ASSERT_TRUE(graph.build());
  graph.compute();
  const auto points = graph.points(0);
  ASSERT_EQ(points.size(), 101u);
  const double step = 2 * std::numbers::pi / 100;
  for (int i = 0; i < 101; ++i) {
    EXPECT_EQ(points[i].first, i * step) << i;
    EXPECT_NEAR(static_cast<double>(points[i].second), 2 * std::sin(i * step), 1e-12) << i;
  }
}

TEST(SheetGraphCompute, StepCountsAndTheSinglePointOfOneStepOrFewer) {
  for (const auto& [steps, expected] : std::vector<std::pair<std::string, std::vector<double>>>{
           {"3", {0, 5, 10}}, {"1", {0}}, {"0", {0}}, {"-4", {0}}}) {
    TGraphParts graph;
    graph.addSource("X*X");
    graph.xRange("0", "10", steps);
    ASSERT_TRUE(graph.build());
    graph.compute();
    std::vector<double> xs;
    for (const auto& point : graph.points(0)) xs.push_back(point.first);
    EXPECT_EQ(xs, expected) << "steps " << steps;
  }
}

TEST(SheetGraphCompute, QualifiedNamesGridFieldsAndPercentLines) {
  TGraphParts graph;
  TSource& first = graph.addSource("k");
  first.Identifier.assign(1, 'A');
  first.insertSymbol(0, "k", "X*10", "");
  TSource& second = graph.addSource("a.K + GRID.Price + SELF");
  second.Index = true;
  graph.getter = [](const std::string& name, std::string& value, bool& found) {
    found = name == "Price";
    if (found) value = "12.5";
  };
  graph.xRange("1", "3", "3");
  ASSERT_TRUE(graph.build());
  graph.compute();
  EXPECT_EQ(graph.points(0)[2].second, 30);
  // Without a value for SELF the line has no points; with one it reads in
  // percent of its first value.
  EXPECT_TRUE(graph.points(1).empty());

  graph.table.getSource(1)->Close = "A.k + GRID.Price";
  ASSERT_TRUE(graph.build());
  graph.compute();
  const auto percent = graph.points(1);
  ASSERT_EQ(percent.size(), 3u);
  EXPECT_NEAR(static_cast<double>(percent[0].second), 100, 1e-12);
  EXPECT_NEAR(static_cast<double>(percent[2].second), 100 * 42.5 / 22.5, 1e-12);
}

TEST(SheetGraphCompute, UsesFlagsFollowTheFormulasThatReadTheInputs) {
  TGraphParts graph;
  graph.addSource("X");
  graph.xRange("FROM_DATE", "", "2");
  ASSERT_TRUE(graph.build());
  EXPECT_FALSE(graph.pending.usesFromDate);
  graph.table.getSource(0)->Close = "X + FROM_DATE + ISLOG";
  graph.table.getSource(0)->Text = "{\"n\"; NOPENS}";
  ASSERT_TRUE(graph.build());
  EXPECT_TRUE(graph.pending.usesFromDate);
  EXPECT_TRUE(graph.pending.usesIsLog);
  EXPECT_FALSE(graph.pending.usesToDate);
  EXPECT_EQ(graph.plot.series(0)->countedFields, 0);

  graph.table.getSource(0)->Enabled = false;
  EXPECT_FALSE(graph.build());
  EXPECT_EQ(graph.plot.seriesCount(), 0);
}

TEST(SheetGraphSettings, OnlyInputsThatFormulasReadLeadToAComputation) {
  TSheetChartSettings applied, pending;
  EXPECT_EQ(pending.stepsFormula, "TO_DATE - FROM_DATE + 1");
  applied.built = true;
  applied.fromDate = pending.fromDate = 100;
  applied.toDate = pending.toDate = 200;
  EXPECT_FALSE(applied.needsRebuild(&pending));
  pending.logarithmic = true;
  pending.portfolioIndex = 3;
  EXPECT_FALSE(applied.needsRecompute(&pending));
  applied.usesPortfolio = true;
  EXPECT_TRUE(applied.needsRebuild(&pending));
  applied.usesPortfolio = false;

  // A plain caption is shown at once; a formula caption is computed.
  EXPECT_FALSE(pending.setTopText("Title"));
  EXPECT_FALSE(applied.needsRecompute(&pending));
  EXPECT_TRUE(pending.setTopText("=B2"));
  EXPECT_TRUE(applied.needsRecompute(&pending));
  pending.setTopText("");

  // Narrowing the dates of a chart whose formulas do not read them lies
  // within the computed data and computes nothing new.
  pending.fromDate = 120;
  pending.toDate = 180;
  EXPECT_FALSE(applied.needsRecomputeForRange(&pending, 100, 200));
  pending.fromDate = 90;
  EXPECT_TRUE(applied.needsRecomputeForRange(&pending, 100, 200));
  pending.fromDate = 100;
  pending.toDate = 210;
  EXPECT_TRUE(applied.needsRecomputeForRange(&pending, 100, 200));
  EXPECT_FALSE(applied.needsRecomputeForRange(&pending, 100, 220));
  EXPECT_TRUE(applied.needsRecomputeForRange(&pending, 150, 150));
  applied.usesToDate = true;
  EXPECT_TRUE(applied.needsRecomputeForRange(&pending, 100, 220));
}

TEST(SheetGraphCompute, PortfolioLinesTakeIndexNameAndColour) {
  TSampleWorkFolder sample;
  TPortfolioTable portfolios;
  ASSERT_EQ(portfolios.openAll(sample.folios, true, {}, nullptr, true, false), 0);
  ASSERT_GE(portfolios.count(), 2);
  portfolios.setCurrentIndex(0);
  portfolios.items(0)->setCustomProperty("_COLOR", "255");
  portfolios.items(1)->setCustomProperty("_COLOR", "");  // no colour of its own

  TGraphParts graph;
  TSource& perPortfolio = graph.addSource("SELF*10 + X");
  perPortfolio.Kind = 1;
  perPortfolio.AutoColor = true;
  perPortfolio.Caption = "Value";
  graph.addSource("SELF").Kind = 2;
  graph.pending.portfolioTable = &portfolios;
  graph.pending.portfolioIndex = 0;
  graph.xRange("1", "1", "1");
  TSheetBuilder builder(graph.sheet, graph.plot, graph.table, graph.pending);
  builder.bgSeriesColor = 0x123456;
  ASSERT_TRUE(builder.build());
  const int count = portfolios.count();
  ASSERT_EQ(graph.plot.seriesCount(), count + 1);
  EXPECT_EQ(graph.plot.series(0)->caption, "Value: " + portfolios.items(0)->Name());
  EXPECT_EQ(graph.plot.series(0)->color, 255u);
  EXPECT_EQ(graph.plot.series(1)->color, 0x123456u);
  EXPECT_TRUE(graph.pending.usesPortfolio);
  graph.compute();
  for (int i = 0; i < count; ++i) EXPECT_EQ(graph.points(i)[0].second, i * 10 + 1) << i;
  EXPECT_EQ(graph.points(count)[0].second, 0);
}

TEST(SheetGraphCompute, MacroCallsAreWorkedOnTheGuiThreadInSlices) {
  TTestScriptEngine engine(L"VBScript", L"Function Twice(x)\nTwice = 2 * x\nEnd Function\n");
  TGraphParts graph;
  graph.addSource("Twice(X)");
  graph.xRange("0", "10", "11");
  ASSERT_TRUE(graph.build());
  graph.sheet.setScriptEngine(engine.get(), false);
  graph.compute();
  const auto points = graph.points(0);
  ASSERT_EQ(points.size(), 11u);
  EXPECT_EQ(points[10].second, 20);
}

TEST(SheetGraphCompute, StoppingARunOfMacrosReturnsWithoutWaitingForTheRest) {
  TTestScriptEngine engine(L"VBScript", L"Function Twice(x)\nTwice = 2 * x\nEnd Function\n");
  TGraphParts graph;
  graph.addSource("Twice(X)");
  graph.xRange("0", "1", "1000000");
  ASSERT_TRUE(graph.build());
  graph.sheet.setScriptEngine(engine.get(), false);
  std::vector<TPriceSeries*> series{graph.plot.series(0)};
  bool underWay = false;
  {
    TComputeThread thread(series, graph.sheet, 0, 0, -1, -1, false);
    // Slices of macro calls run on this thread, one a message: handled one
    // at a time, the stop comes right after the run's first point, however
    // the threads are scheduled.
    underWay = handleMessagesUntil([&] { return graph.plot.series(0)->prices()->count() > 0; }, 60000);
    thread.terminate();
  }
  EXPECT_TRUE(underWay);
  // Stopped right after the first point, not at the end of the run.
  EXPECT_EQ(graph.plot.series(0)->prices()->count(), 1);
}

// A stop may come before the thread has begun: every line then still has
// prices of its own, and none keeps the points of the run before.
TEST(SheetGraphCompute, AStopAtOnceLeavesEveryLineWithPricesOfItsOwnAndNoOldPoints) {
  TTestScriptEngine engine(L"VBScript", L"Function Twice(x)\nTwice = 2 * x\nEnd Function\n");
  TGraphParts graph;
  graph.addSource("Twice(X)");
  graph.addSource("X");
  graph.xRange("0", "10", "11");
  ASSERT_TRUE(graph.build());
  graph.sheet.setScriptEngine(engine.get(), false);
  std::vector<TPriceSeries*> series{graph.plot.series(0), graph.plot.series(1)};
  for (int run = 0; run < 10; ++run) {
    {
      TComputeThread thread(series, graph.sheet, 0, 0, -1, -1, false);
      thread.terminate();
    }
    // Macro calls run on this thread, which gives the stopped run at most
    // its first step.
    for (int line = 0; line < 2; ++line) {
      ASSERT_NE(graph.plot.series(line)->prices(), nullptr) << "run " << run << ", line " << line;
      EXPECT_LE(graph.plot.series(line)->prices()->count(), 1) << "run " << run << ", line " << line;
    }
    graph.compute();
    ASSERT_EQ(graph.points(1).size(), 11u);
  }
}
