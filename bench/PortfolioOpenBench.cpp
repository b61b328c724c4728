// Opening a portfolio with its assets: every asset file, every transaction
// file and every price file is read, the transaction numbers and the merged
// price dates are built, at three sizes to show how the time grows.
#include <cstdio>
#include <memory>

#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "platform/FloatingPoint.h"

namespace {

// False when the portfolio did not open. Each round opens it in a fresh
// table; the first reads files the fixture's writing left in the cache.
bool timeOpen(const TFixtureSize& size) {
  TBenchFolder folder;
  TStopwatch writing;
  const std::string portfolio = writePortfolioFixture(folder.path, size);
  const double written = writing.seconds();
  std::unique_ptr<TPortfolioTable> table;
  int result = 0;
  const TBenchTimes times = timeRounds(
      5, [&] { table = std::make_unique<TPortfolioTable>(); },
      [&] { result = table->open(portfolio, false, {}, nullptr, true, false); });
  const int transactions = size.assets * size.transactionsPerAsset;
  std::printf("%4d assets x %5d days, %6d transaction files: open %s  (a file %s; result %d, %zu dates)"
              "  [fixture written in %.1f s]%s\n",
              size.assets, size.days, transactions, microseconds(times).c_str(),
              microseconds(times.per(size.assets * 2 + transactions)).c_str(), result, table->Dates().size(), written,
              result == 0 ? "" : " FAILED");
  return result == 0;
}

}  // namespace

int main() {
  setExtendedPrecision();
  std::printf("Opening a portfolio\n");
  bool opened = true;
  for (int assets : {50, 100, 200}) opened = timeOpen({assets, 5000, 100}) && opened;
  return opened ? 0 : 1;
}
