// PORTFOLIO_QUOTES over 20 years of daily prices, ascending and descending,
// for portfolios of 50 and 100 assets in euros, US dollars and Swiss francs,
// and the single-day built-ins over the same portfolio for comparison.
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/FloatingPoint.h"
#include "sheet/Sheet.h"

namespace {

// Entered into a cell, where the formula is compiled and evaluated at once
// (a number is entered first, off the clock: the same text again would
// change nothing): the times of the entry, and in rows and code what the
// cell then holds.
TBenchTimes timeFormula(TSheet& sheet, const std::string& formula, int& rows, std::uint8_t& code) {
  const TBenchTimes times =
      timeRounds(5, [&] { sheet.setCellContent(1, 1, 0, "0", 1); }, [&] { sheet.setCellContent(1, 1, 0, formula, 1); });
  sheet.currentCol = sheet.currentRow = 1;
  const TArray* array = sheet.currentCellArray();
  rows = array ? array->dimensions()[0] : 0;
  code = sheet.getCell(1, 1)->state;
  return times;
}

// False when the portfolio did not open or a formula gave an error.
bool timeQuotes(const TFixtureSize& size) {
  TBenchFolder folder;
  const std::string folio = writePortfolioFixture(folder.path, size);
  TPortfolioTable table;
  int result = table.open(folio, false, {}, nullptr, true, false);
  if (result == 0) result = table.loadForexTables({}, nullptr);
  table.setCurrentIndex(0);
  TSheet sheet;
  sheet.portfolioTable = &table;
  const TPortfolio& portfolio = *table.items(0);
  const std::string first = std::to_string(static_cast<long>(portfolio.Dates().front()));
  const std::string last = std::to_string(static_cast<long>(portfolio.Dates().back()));

  bool ok = result == 0;
  std::printf("%3d assets x %zu price dates, %d transactions [open result %d]%s\n", size.assets,
              portfolio.Dates().size(), size.assets * size.transactionsPerAsset, result, ok ? "" : " FAILED");
  const std::string formulas[] = {
      "=PORTFOLIO_QUOTES(0," + first + "," + last + ")",
      "=PORTFOLIO_QUOTES(0," + last + "," + first + ")",
      "=PORTFOLIO_QUOTES(0," + last + "," + first + ",250)",
  };
  const double days = portfolio.Dates().back() - portfolio.Dates().front() + 1;
  for (const std::string& formula : formulas) {
    int rows = 0;
    std::uint8_t code = 0;
    const TBenchTimes times = timeFormula(sheet, formula, rows, code);
    ok = ok && code == 0;
    std::printf("  %-40s %s  %5d rows, an asset and calendar day %s (code %d)%s\n", formula.c_str(),
                microseconds(times).c_str(), rows, microseconds(times.per(days * size.assets)).c_str(), code,
                code == 0 ? "" : " FAILED");
  }
  // The same values one day at a time, as a column of PORTFOLIO_NAV cells
  // would ask for them.
  int valued = 0;
  const TBenchTimes nav = timeRounds(3, [&] {
    valued = 0;
    for (double date : portfolio.Dates()) {
      const std::string formula = "=PORTFOLIO_NAV(0," + std::to_string(static_cast<long>(date)) + ")";
      if (sheet.parseAndEvaluate(formula, 1, 1, false) == 0) ++valued;
    }
  });
  std::printf("  %-40s %s  %5d values\n", "PORTFOLIO_NAV on every price date", microseconds(nav).c_str(), valued);
  return ok;
}

}  // namespace

int main() {
  setExtendedPrecision();
  std::printf("Portfolio functions over 20 years of daily prices\n");
  const bool quoted = timeQuotes({50, 5200, 50});
  return timeQuotes({100, 5200, 50}) && quoted ? 0 : 1;
}
