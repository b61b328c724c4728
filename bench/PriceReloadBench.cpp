// The reload button after a download: a portfolio of 500 assets whose price
// files hold 5,000 daily quotes each is open, and every price file of the
// cache is read again and the merged dates rebuilt.
#include <cstdio>

#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "model/PortfolioTable.h"
#include "platform/FloatingPoint.h"

int main() {
  setExtendedPrecision();
  constexpr TFixtureSize size{500, 5000, 0};
  TBenchFolder folder;
  const std::string portfolio = writePortfolioFixture(folder.path, size);
  TPortfolioTable table;
  TStopwatch opening;
  const int opened = table.open(portfolio, false, {}, nullptr, true, false);
  const double openTime = opening.seconds();
  int result = 0;
  const TBenchTimes reload = timeRounds(7, [&] {
    if (result == 0) result = table.reloadPrices();
  });
  const bool ok = opened == 0 && result == 0;
  std::printf("%d price files x %d quotes: reload %s, a quote %s  (results %d, %d; %zu dates) [open %.1f s]%s\n",
              size.assets, size.days, microseconds(reload).c_str(),
              microseconds(reload.per(size.assets * double(size.days))).c_str(), opened, result, table.Dates().size(),
              openTime, ok ? "" : " FAILED");
  return ok ? 0 : 1;
}
