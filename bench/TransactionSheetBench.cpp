// The Transactions window's sheet over 20,000 transactions of 4 assets with
// 12 fields, 4 of them formulas: the whole-portfolio build, the switch to
// one asset and back, a numeric sort of the lines and a renumbering plan.
// The line sizes kept with each transaction are taken and given back with
// every rebuild, so they count with the build.
// Budgets: build 3 s, mode switch 3 s, sort 2 s, renumber 5 s.
#include <cstdio>

#include "bench/BenchTiming.h"
#include "bench/PortfolioFixture.h"
#include "model/Asset.h"
#include "model/Portfolio.h"
#include "platform/FloatingPoint.h"
#include "sheet/FieldTable.h"
#include "sheet/Sheet.h"
#include "windows/TransactionDisplayOrder.h"
#include "windows/TransactionEditing.h"
#include "windows/TransactionSheet.h"
#include "windows/TransactionSizes.h"

int main() {
  setExtendedPrecision();
  const int transactions = benchSize(20000, 400);
  constexpr int assets = 4;
  TBenchFolder folder;
  int32_t serials = 0;
  TPortfolio maker{serials};
  TPortfolio portfolio{serials};
  const std::string portfolioFolder = folder.path + "1\\";
  if (maker.createNew("Bench", "B", portfolioFolder, "EUR") != 0) return 1;
  if (portfolio.load(portfolioFolder, false, {}, nullptr, true, false) != 0) return 1;
  for (int i = 0; i < assets; ++i)
    if (portfolio.newAsset("Asset " + std::to_string(i), "A", true, constantPriceFormat, "", "EUR") != 0) return 1;
  for (int i = assets; i < transactions; ++i)
    portfolio.addTransaction(i % assets, 0, 40000 + (i * 7919) % 5000, 1 + i % 13, 100 + (i * 31) % 977, 1, "",
                             "", false);

  TFieldTable fields;
  const int bound[] = {20, 21, 22, 23, 24, 25, 26, 27};
  const char* symbols[] = {"N", "D", "T", "U", "V", "F", "G", "S"};
  for (int i = 0; i < 8; ++i) {
    fields.insertField(i);
    fields.items(i)->Kind = static_cast<std::uint8_t>(bound[i]);
    fields.items(i)->setSymbol(symbols[i]);
    fields.items(i)->setHeader(symbols[i]);
  }
  const char* formulas[] = {"N*2", "N+1", "ABS(N-7)", "N/3"};
  for (int i = 0; i < 4; ++i) {
    fields.insertField(8 + i);
    fields.items(8 + i)->Kind = 1;
    fields.items(8 + i)->Content = formulas[i];
    fields.items(8 + i)->setHeader("Formula " + std::to_string(i));
  }
  TSheet sheet;
  TTransactionSheet builder(sheet, fields);
  TTransactionDisplayOrder order;
  order.loadFromTransactions(portfolio);
  const TBenchTimes build = timeRounds(7, [&] { builder.build(&portfolio, nullptr, true, true, order, true); });
  const TBenchTimes switchModes = timeRounds(7, [&] {
    builder.build(&portfolio, portfolio.assets(1), false, true, order, true);
    builder.build(&portfolio, nullptr, true, true, order, true);
  });
  const int lines = static_cast<int>(builder.linePositions().size());
  const TBenchTimes sort = timeRounds(
      7, [&] { builder.build(&portfolio, nullptr, true, true, order, true); },
      [&] { sheet.sortRange(false, true, 2, lines + 1, 12, 1, 12); });
  std::vector<int32_t> lineNumbers;
  for (int line = 2; line < lines + 2; ++line) lineNumbers.push_back(builder.transactionOnLine(line));
  const TBenchTimes renumber = timeRounds(7, [&] { planRenumbering(lineNumbers, portfolio.TransactionNumbers()); });
  const TBenchTimes sizes = timeRounds(7, [&] {
    captureTransactionSizes(sheet, fields, portfolio, lineNumbers, true);
    applyTransactionSizes(sheet, fields, &portfolio, lineNumbers, true);
  });
  std::printf("%d transactions, 12 fields (4 formulas):\n", lines);
  std::printf("  build                             %s (budget 3,000,000 us)\n", microseconds(build).c_str());
  std::printf("  mode switch and back              %s (budget 3,000,000 us)\n", microseconds(switchModes).c_str());
  std::printf("  numeric sort                      %s (budget 2,000,000 us)\n", microseconds(sort).c_str());
  std::printf("  renumbering plan                  %s (budget 5,000,000 us)\n", microseconds(renumber).c_str());
  std::printf("  line sizes taken and given back   %s\n", microseconds(sizes).c_str());
  return lines == transactions ? 0 : 1;
}
