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
  constexpr int transactions = 20000;
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
  const double build = medianTime(3, [&] { builder.build(&portfolio, nullptr, true, true, order, true); });
  const double switchModes = medianTime(3, [&] {
    builder.build(&portfolio, portfolio.assets(1), false, true, order, true);
    builder.build(&portfolio, nullptr, true, true, order, true);
  });
  const int lines = static_cast<int>(builder.linePositions().size());
  const double sort = medianTime(3, [&] {
    builder.build(&portfolio, nullptr, true, true, order, true);
    sheet.sortRange(false, true, 2, lines + 1, 12, 1, 12);
  }) - build;
  std::vector<int32_t> lineNumbers;
  for (int line = 2; line < lines + 2; ++line) lineNumbers.push_back(builder.transactionOnLine(line));
  const double renumber = medianTime(3, [&] { planRenumbering(lineNumbers, portfolio.TransactionNumbers()); });
  const double sizes = medianTime(3, [&] {
    captureTransactionSizes(sheet, fields, portfolio, lineNumbers, true);
    applyTransactionSizes(sheet, fields, &portfolio, lineNumbers, true);
  });
  std::printf("%d transactions, 12 fields (4 formulas): build %.3f s (3), mode switch and back %.3f s (3), "
              "numeric sort %.3f s (2), renumbering plan %.4f s (5), line sizes taken and given back %.3f s\n",
              lines, build, switchModes, sort, renumber, sizes);
  return lines == transactions ? 0 : 1;
}
