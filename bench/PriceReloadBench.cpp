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
  const double reload = medianTime(3, [&] { result = table.reloadPrices(); });
  std::printf("%d price files x %d quotes: open %.3f s, reload %.3f s (%.0f ns a quote; results %d, %d; %zu dates)\n",
              size.assets, size.days, openTime, reload, reload * 1e9 / (size.assets * double(size.days)), opened,
              result, table.Dates().size());
  return 0;
}
