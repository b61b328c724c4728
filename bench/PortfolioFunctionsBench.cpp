// PORTFOLIO_QUOTES over 20 years of daily prices, ascending and descending,
// for portfolios of 50 and 100 assets in euros, US dollars and Swiss francs,
// and the single-day built-ins over the same portfolio for comparison.
#include <cstdio>
#include <string>

#include "bench/PortfolioFixture.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/FloatingPoint.h"
#include "sheet/Sheet.h"

namespace {

struct TTiming {
  double seconds;
  int rows;
  std::uint8_t code;
};

// Entered into a cell, where the formula is compiled and evaluated at once.
TTiming timeFormula(TSheet& sheet, const std::string& formula) {
  TStopwatch stopwatch;
  sheet.setCellContent(1, 1, 0, formula, 1);
  const double seconds = stopwatch.seconds();
  sheet.currentCol = sheet.currentRow = 1;
  const TArray* array = sheet.currentCellArray();
  return {seconds, array ? array->dimensions()[0] : 0, sheet.getCell(1, 1)->state};
}

void timeQuotes(const TFixtureSize& size) {
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

  std::printf("%3d assets x %zu price dates, %d transactions [open result %d]\n", size.assets,
              portfolio.Dates().size(), size.assets * size.transactionsPerAsset, result);
  const std::string formulas[] = {
      "=PORTFOLIO_QUOTES(0," + first + "," + last + ")",
      "=PORTFOLIO_QUOTES(0," + last + "," + first + ")",
      "=PORTFOLIO_QUOTES(0," + last + "," + first + ",250)",
  };
  for (const std::string& formula : formulas) {
    const TTiming timing = timeFormula(sheet, formula);
    const double days = portfolio.Dates().back() - portfolio.Dates().front() + 1;
    std::printf("  %-40s %7.3f s  %5d rows  (%5.2f us per asset and calendar day; code %d)\n", formula.c_str(),
                timing.seconds, timing.rows, timing.seconds * 1e6 / (days * size.assets), timing.code);
  }
  // The same values one day at a time, as a column of PORTFOLIO_NAV cells
  // would ask for them.
  TStopwatch stopwatch;
  int valued = 0;
  for (double date : portfolio.Dates()) {
    const std::string formula = "=PORTFOLIO_NAV(0," + std::to_string(static_cast<long>(date)) + ")";
    if (sheet.parseAndEvaluate(formula, 1, 1, false) == 0) ++valued;
  }
  std::printf("  %-40s %7.3f s  %5d values\n", "PORTFOLIO_NAV on every price date", stopwatch.seconds(), valued);
}

}  // namespace

int main() {
  setExtendedPrecision();
  std::printf("Portfolio functions over 20 years of daily prices\n");
  timeQuotes({50, 5200, 50});
  timeQuotes({100, 5200, 50});
  return 0;
}
