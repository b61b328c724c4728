// Opening a portfolio with its assets: every asset file, every transaction
// file and every price file is read, the transaction numbers and the merged
// price dates are built, at two sizes to show how the time grows.
#include <cstdio>

#include "bench/PortfolioFixture.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/FloatingPoint.h"

namespace {

void timeOpen(const TFixtureSize& size) {
  TBenchFolder folder;
  TStopwatch writing;
  const std::string portfolio = writePortfolioFixture(folder.path, size);
  const double written = writing.seconds();
  TPortfolioTable table;
  TStopwatch opening;
  const int result = table.open(portfolio, false, {}, nullptr, true, false);
  const double seconds = opening.seconds();
  const int transactions = size.assets * size.transactionsPerAsset;
  std::printf("%4d assets x %5d days, %6d transaction files: open %7.3f s  (%5.1f us per file; result %d, %zu dates)"
              "  [fixture written in %.1f s]\n",
              size.assets, size.days, transactions, seconds, seconds * 1e6 / (size.assets * 2 + transactions), result,
              table.Dates().size(), written);
}

}  // namespace

int main() {
  setExtendedPrecision();
  std::printf("Opening a portfolio\n");
  timeOpen({50, 5000, 100});
  timeOpen({100, 5000, 100});
  timeOpen({200, 5000, 100});
  return 0;
}
