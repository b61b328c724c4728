// The quote editor over 30 years of daily quotes with six fields: a rebuild
// of the rows from the series, an edit of every close, and a commit back
// into the series. Budgets: rebuild 0.5 s, commit 1 s.
#include <cstdio>

#include "bench/BenchTiming.h"
#include "model/Prices.h"
#include "model/QuoteRecord.h"
#include "platform/CalendarDates.h"
#include "windows/QuoteEditorRows.h"

int main() {
  constexpr int days = 30 * 365;
  constexpr uint16_t fields = quoteOpenBit | quoteHighBit | quoteLowBit | quoteCloseBit | quoteVolumeBit;
  double first = 0;
  encodeDate(1995, 1, 2, first);
  TPrices prices;
  for (int i = 0; i < days; ++i) {
    TQuoteRecord quote;
    quote.Open = 100 + i % 50;
    quote.High = quote.Open + 2;
    quote.Low = quote.Open - 2;
    quote.Close = quote.Open + 1;
    quote.Volume = 1000 + i;
    quote.Mask = fields;
    prices.addRecord(quote, false, 0, first + i);
  }
  TQuoteEditorRows rows;
  const TBenchTimes rebuild = timeRounds(51, [&] { rows.load(prices, fields); });
  rows.applyArithmetic(TQuoteEditorRows::multiplyOperation, 1.01L, 4, 0, 4, rows.rowCount() - 1);
  const TBenchTimes commit = timeRounds(51, [&] { rows.commitTo(prices); });
  std::printf("quote editor, %d daily records:\n", days);
  std::printf("  rebuild %s (budget 500,000 us)\n", microseconds(rebuild).c_str());
  std::printf("  commit  %s (budget 1,000,000 us)\n", microseconds(commit).c_str());
  return prices.count() == days ? 0 : 1;
}
