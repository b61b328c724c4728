// The portfolio's net asset value in euros on every price date of 20 years
// for assets in euros, US dollars (an inverted table) and Swiss francs (a
// cross rate through the dollar), at two sizes to show how the time grows.
#include <cstdio>

#include "bench/PortfolioFixture.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/FloatingPoint.h"

namespace {

void timeDailyNav(const TFixtureSize& size) {
  TBenchFolder folder;
  const std::string folio = writePortfolioFixture(folder.path, size);
  TPortfolioTable table;
  TStopwatch opening;
  int result = table.open(folio, false, {}, nullptr, true, false);
  if (result == 0) result = table.loadForexTables({}, nullptr);
  const double opened = opening.seconds();
  TPortfolio& portfolio = *table.items(0);

  TStopwatch valuing;
  long double checksum = 0;
  int failures = 0;
  for (double date : portfolio.Dates()) {
    long double value = 0;
    bool ok = false;
    double maxRateAge = 0;
    portfolio.navAt(true, value, ok, maxRateAge, date + 0.75);
    if (ok) checksum += value;
    else ++failures;
  }
  const double seconds = valuing.seconds();
  const size_t dates = portfolio.Dates().size();
  std::printf("%3d assets, %6d transactions, %zu dates: %7.3f s  (%6.2f us per asset and date; %d failed; "
              "sum %.6Le)  [open %.1f s, result %d]\n",
              size.assets, size.assets * size.transactionsPerAsset, dates, seconds,
              seconds * 1e6 / (static_cast<double>(dates) * size.assets), failures, checksum, opened, result);
}

}  // namespace

int main() {
  setExtendedPrecision();
  std::printf("Daily net asset value over 20 years with currency conversion\n");
  timeDailyNav({25, 5200, 1000});
  timeDailyNav({50, 5200, 1000});
  return 0;
}
