// The portfolio's net asset value in euros on every price date of 20 years
// for assets in euros, US dollars (an inverted table) and Swiss francs (a
// cross rate through the dollar), at two sizes to show how the time grows.
#include <cstdio>

#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/FloatingPoint.h"

namespace {

// False when the portfolio did not open or a value was not found.
bool timeDailyNav(const TFixtureSize& size) {
  TBenchFolder folder;
  const std::string folio = writePortfolioFixture(folder.path, size);
  TPortfolioTable table;
  TStopwatch opening;
  int result = table.open(folio, false, {}, nullptr, true, false);
  if (result == 0) result = table.loadForexTables({}, nullptr);
  const double opened = opening.seconds();
  TPortfolio& portfolio = *table.items(0);

  long double checksum = 0;
  int failures = 0;
  const TBenchTimes times = timeRounds(5, [&] {
    checksum = 0;
    failures = 0;
    for (double date : portfolio.Dates()) {
      long double value = 0;
      bool ok = false;
      double maxRateAge = 0;
      portfolio.navAt(true, value, ok, maxRateAge, date + 0.75);
      if (ok) checksum += value;
      else ++failures;
    }
  });
  const size_t dates = portfolio.Dates().size();
  const bool ok = result == 0 && failures == 0;
  std::printf("%3d assets, %6d transactions, %zu dates: %s  (an asset and date %s; %d failed; sum %.6Le)"
              "  [open %.1f s, result %d]%s\n",
              size.assets, size.assets * size.transactionsPerAsset, dates, microseconds(times).c_str(),
              microseconds(times.per(static_cast<double>(dates) * size.assets)).c_str(), failures, checksum, opened,
              result, ok ? "" : " FAILED");
  return ok;
}

}  // namespace

int main() {
  setExtendedPrecision();
  std::printf("Daily net asset value over 20 years with currency conversion\n");
  const bool valued = timeDailyNav({25, 5200, 1000});
  return timeDailyNav({50, 5200, 1000}) && valued ? 0 : 1;
}
