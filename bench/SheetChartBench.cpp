// Sheet chart computing: 50 formula lines over ten years of days from
// rebuild to finished while the GUI keeps answering; the same with macro
// calls worked in GUI slices; and twenty selection changes a second for ten
// seconds, which must keep memory bounded and end in one computation.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "chart/PriceGraph.h"
#include "chart/Series.h"
#include "chart/SheetGraph.h"
#include "chart/SourceTable.h"
#include "model/Prices.h"
#include "platform/Application.h"
#include "platform/FloatingPoint.h"
#include "platform/Form.h"
#include "platform/Timer.h"
#include "tests/support/TestScriptEngine.h"

namespace {

constexpr double firstDay = 41275;  // 1 January 2013
constexpr double lastDay = firstDay + 3649;

// Pumps messages until done() holds; the longest time the GUI thread went
// without handling a message while the chart computed is measured by a 10 ms
// timer (the final paint of the results is not part of it).
struct TResponsiveness {
  const TSheetGraph& chart;
  double longestGap = 0;
  bool pumpUntil(const std::function<bool()>& done, double timeoutSeconds) {
    auto last = std::chrono::steady_clock::now();
    TTimer ticker(10, [&] {
      const auto now = std::chrono::steady_clock::now();
      if (chart.computing()) longestGap = std::max(longestGap, secondsSince(last));
      last = now;
    });
    ticker.setEnabled(true);
    const auto start = std::chrono::steady_clock::now();
    while (!done()) {
      if (secondsSince(start) > timeoutSeconds) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      application().processMessages();
    }
    return true;
  }
};

double privateMegabytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PagefileUsage / 1048576.0;
}

std::string numbered(const char* prefix, int i) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%d", prefix, i);
  return text;
}

void fill(TSheetGraph& chart, int lines, const std::string& closeFormula) {
  TSourceTable& table = chart.sourceTable();
  table.clear();
  for (int i = 0; i < lines; ++i) {
    table.insertSource(i);
    TSource& source = *table.getSource(i);
    source.Caption = numbered("Line ", i);
    source.Identifier = numbered("L", i);
    source.Close = closeFormula;
    source.insertParameter(0, "K", "", "", i, 0, 100, 101, false);
  }
}

bool done(const TSheetGraph& chart) { return !chart.computing() && !chart.stale(); }

}  // namespace

int main() {
  setExtendedPrecision();
  TFormOptions options;
  options.caption = "Sheet chart";
  options.clientWidth = 800;
  options.clientHeight = 500;
  TForm form(options);
  TSheetChart& chart = form.add<TSheetChart>();
  chart.setBounds(0, 0, 800, 500);
  form.show();

  fill(chart, 50, "100 + K + (X - FROM_DATE) / 10 + 5 * SIN((X - FROM_DATE) / 30 + K)");
  chart.setDateRange(firstDay, lastDay, false);
  TResponsiveness gui{chart};
  bool finished = true;
  const TBenchTimes rebuild = timeRounds(5, [&] {
    chart.rebuild();
    finished = gui.pumpUntil([&] { return done(chart); }, 120) && finished;
  });
  std::printf("sheet chart, 50 lines x %d days: rebuild to finished %s (poll every 0.5 s included), "
              "longest GUI gap %s us, %d points in line 0%s\n",
              static_cast<int>(lastDay - firstDay + 1), microseconds(rebuild).c_str(),
              microsecondsText(gui.longestGap).c_str(), chart.graph().series(0)->prices()->count(),
              finished ? "" : " FAILED: did not finish");

  {
    TTestScriptEngine engine(L"VBScript", L"Function Wave(x, k)\nWave = 100 + k + Sin(x / 30 + k)\nEnd Function\n");
    chart.setActiveScript(engine.get());
    fill(chart, 10, "Wave(X - FROM_DATE, K)");
    TResponsiveness sliced{chart};
    bool slicedFinished = true;
    const TBenchTimes macros = timeRounds(3, [&] {
      chart.rebuild();
      slicedFinished = sliced.pumpUntil([&] { return done(chart); }, 300) && slicedFinished;
    });
    finished = finished && slicedFinished;
    std::printf("sheet chart with macros, 10 lines x 3650 days in GUI slices: %s, longest GUI block %s us, "
                "%d points in line 0%s\n",
                microseconds(macros).c_str(), microsecondsText(sliced.longestGap).c_str(),
                chart.graph().series(0)->prices()->count(), slicedFinished ? "" : " FAILED: did not finish");
    chart.setActiveScript(nullptr);
    chart.rebuild();
    gui.pumpUntil([&] { return done(chart); }, 120);
  }

  fill(chart, 50, "100 + K + (X - FROM_DATE) / 10 + 5 * SIN((X - FROM_DATE) / 30 + K)");
  chart.rebuild();
  gui.pumpUntil([&] { return done(chart); }, 120);
  const double before = privateMegabytes();
  double peak = before;
  TResponsiveness changes{chart};
  const auto start = std::chrono::steady_clock::now();
  int changeCount = 0;
  const int computationsBefore = chart.computationCount();
  // The dates stand in for the selection: the formulas read them, so every
  // change stops the run in progress and asks for a new one.
  while (secondsSince(start) < 10) {
    chart.setDateRange(firstDay + changeCount % 2, lastDay, true);
    ++changeCount;
    changes.pumpUntil([&] { return secondsSince(start) >= changeCount * 0.05; }, 1);
    peak = std::max(peak, privateMegabytes());
  }
  const auto settle = std::chrono::steady_clock::now();
  const int computationsDuring = chart.computationCount() - computationsBefore;
  const bool settled = changes.pumpUntil([&] { return done(chart); }, 120);
  std::printf("%d changes in 10 s: %d computations started meanwhile, %d after the last change; memory %.1f MB "
              "before, %.1f MB at most, %.1f MB after; settled %s us after the last change with %d series held%s\n",
              changeCount, computationsDuring, chart.computationCount() - computationsBefore - computationsDuring,
              before, peak, privateMegabytes(), microsecondsText(secondsSince(settle)).c_str(),
              chart.heldSeriesCount(), settled ? "" : " FAILED: did not settle");
  return finished && settled ? 0 : 1;
}
