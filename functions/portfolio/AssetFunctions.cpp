// The ASSET_ built-ins: amounts in the asset's own currency, its holdings,
// its price rows and quote fields.
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "functions/ArrayStorage.h"
#include "functions/portfolio/ModelReading.h"
#include "model/Asset.h"
#include "model/Prices.h"
#include "platform/NumericErrors.h"
#include "sheet/Sheet.h"

namespace {

void evalASSET_NAME(TEvalContext& c) { evalOwnerText(c, &TSheet::getAssetName); }
void evalASSET_SYMBOL(TEvalContext& c) { evalOwnerText(c, &TSheet::getAssetSymbol); }
void evalASSET_CURRENCY(TEvalContext& c) { evalOwnerText(c, &TSheet::getAssetCurrency); }

// ---- Holdings and values at the end of a day ----

// (asset, day): the units held at the end of the day; (asset, from, to): the
// units of each date's transactions in the range.
void evalASSET_UNITS(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(2, 3)) return;
  const std::int32_t index = args.integer(0);
  const std::int32_t fromDay = args.integer(1);
  const std::int32_t toDay = args.integer(2, fromDay);
  if (!args) return;
  TAsset* asset = assetNamed(c, index);
  if (!asset) return c.fail(errNA);
  if (args.count() == 2) return c.setNumberResult(asset->Transactions().unitsAt(endOfDay(fromDay)));
  TFlowList flows;
  bool ok = false;
  asset->Transactions().unitsFlows(flows, ok, startOfRange(fromDay), endOfDay(toDay));
  if (!ok) return c.fail(errNA);
  setFlowsResult(c, flows);
}

// Without the at-or-before flag the day itself must have a quote.
void evalASSET_NAV(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(2, 3)) return;
  const std::int32_t index = args.integer(0);
  const std::int32_t day = args.integer(1);
  const bool atOrBefore = args.integer(2, 0) != 0;
  if (!args) return;
  TAsset* asset = assetNamed(c, index);
  if (!asset) return c.fail(errNA);
  long double value = 0;
  bool ok = false;
  asset->navAt(atOrBefore, value, ok, endOfDay(day));
  if (!ok) return c.fail(errNA);
  c.setNumberResult(value);
}

void evalASSET_FLAG(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 2) return;
  const std::int32_t index = args.integer(0);
  const std::int32_t day = args.integer(1);
  if (!args) return;
  TAsset* asset = assetNamed(c, index);
  if (!asset) return c.fail(errNA);
  std::string flag;
  bool found = false;
  asset->flagAt(flag, found, endOfDay(day));
  if (!found) return c.fail(errNA);
  c.setStringResult(std::move(flag));
}

// Selector 1 to 4: stocks, bonds, cash, other of the asset's own allocation.
void evalAssetPercent(TEvalContext& c, int selector) {
  TCallArguments args(c);
  if (args.count() != 1) return;
  const std::int32_t index = args.integer(0);
  if (!args) return;
  const TAsset* asset = assetNamed(c, index);
  if (!asset) return c.fail(errNA);
  double shares[4] = {0, 0, 0, 0};
  if (!asset->getAllocation(shares[0], shares[1], shares[2], shares[3])) return c.fail(errNA);
  c.setNumberResult(shares[selector - 1]);
}

// ---- Amounts and flows over a period, in the asset's currency ----

using TAssetAmount = void (TAsset::*)(const std::string&, long double&, bool&, double);

void evalAssetAmount(TEvalContext& c, TAssetAmount amountAt) {
  evalOwnerAmount<TAsset>(c, [amountAt](TAsset& asset, long double& amount, bool& ok, double instant) {
    (asset.*amountAt)(asset.getCurrency(), amount, ok, instant);
  });
}

void evalASSET_INVESTMENT(TEvalContext& c) { evalAssetAmount(c, &TAsset::investmentAt); }
void evalASSET_PRINCIPAL(TEvalContext& c) { evalAssetAmount(c, &TAsset::principalAt); }
void evalASSET_FEES(TEvalContext& c) { evalAssetAmount(c, &TAsset::feesAt); }

void evalAssetFlows(TEvalContext& c, TFlowKind kind) {
  evalOwnerFlows<TAsset>(c, [kind](TAsset& asset, TFlowList& flows, bool& ok, double from, double to) {
    const std::string& currency = asset.getCurrency();
    switch (kind) {
      case investmentFlowsKind: asset.investmentFlows(currency, flows, ok, from, to); break;
      case principalFlowsKind: asset.principalFlows(currency, flows, ok, from, to); break;
      case feeFlowsKind: asset.feeFlows(currency, flows, ok, from, to); break;
    }
  });
}

void evalASSET_FIRST_TRADE(TEvalContext& c) { evalOwnerDate(c, &TAsset::firstTransactionDate); }
void evalASSET_LAST_TRADE(TEvalContext& c) { evalOwnerDate(c, &TAsset::lastTransactionDate); }

// ---- Quotes ----

// Selector 3 to 12: the quote record's mask bit of open ... ask size.
void evalAssetQuoteField(TEvalContext& c, int selector) {
  TCallArguments args(c);
  if (args.count() != 2) return;
  const std::int32_t index = args.integer(0);
  const std::int32_t day = args.integer(1);
  if (!args) return;
  const TAsset* asset = assetNamed(c, index);
  if (!asset) return c.fail(errNA);
  double recordDate = 0;
  TQuoteRecord quote;
  asset->Prices().getRecordAtDate(false, recordDate, quote, day);
  const auto bit = static_cast<std::uint16_t>(1u << selector);
  if (quote.Error || std::trunc(recordDate) != day || (quote.Mask & bit) == 0) return c.fail(errNA);
  c.setNumberResult(quote.*quoteValueFields[selector - 3]);
}

// The value index (0 open ... 9 ask size) of a letter of ASSET_QUOTES, -1
// for a character that names no field.
int quoteFieldByLetter(char letter) {
  switch (letter) {
    case 'O': case 'o': return 0;
    case 'H': case 'h': return 1;
    case 'L': case 'l': return 2;
    case 'C': case 'c': return 3;
    case 'V': case 'v': return 4;
    case 'I': case 'i': return 5;
    case 'B': case 'b': return 6;
    case 'A': case 'a': return 7;
    case 'P': case 'p': return 8;
    case 'Q': case 'q': return 9;
    default: return -1;
  }
}

double sortedDateAt(TPrices& prices, int position) {
  double date = 0;
  TQuoteRecord quote;
  prices.getRecordBySortedIndex(position, date, quote);
  return date;
}

// The position of the last record dated at or before the date; -1 when
// there is none.
int lastPositionAtOrBefore(TPrices& prices, double date) {
  int position = -1;
  const int found = prices.findDate(position, date, 0);
  if (found >= 0) position = found;
  while (position >= 0 && sortedDateAt(prices, position) > date) --position;
  while (position + 1 < prices.count() && sortedDateAt(prices, position + 1) <= date) ++position;
  return position;
}

// The last record dated at or before the date, or the first record when
// none is earlier.
int ascendingStart(TPrices& prices, double date) {
  int position = -1;
  const int found = prices.findDate(position, date, 0);
  if (found >= 0) return found;
  if (position > 0 && sortedDateAt(prices, position) > date) --position;
  return position;
}

// (asset, letters, from [, to [, max rows]]): a row per record from..to,
// the date and one column per letter; "to" before "from" lists the span in
// descending order.
void evalASSET_QUOTES(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(3, 5)) return;
  const std::int32_t index = args.integer(0);
  const std::string letters = args.text(1);
  const std::int32_t fromDay = args.integer(2);
  const std::int32_t toDay = args.integer(3, fromDay);
  const std::int32_t maxRows = args.integer(4, 0);
  if (!args) return;
  TAsset* asset = assetNamed(c, index);
  if (!asset) return c.fail(errNA);
  const auto columns = static_cast<std::int64_t>(letters.size()) + 1;
  if (!fitsArray(1, columns)) return;
  // The stand-in series of an asset without prices has a record for every
  // date but no field in any: no row can be kept.
  TPrices& prices = asset->Prices();
  if (prices.isNull()) return c.fail(errNA);

  double from = fromDay;
  double to = toDay;
  bool descending = false;
  if (args.count() >= 4) {
    if (to < from) {
      std::swap(from, to);
      descending = true;
    }
    to += endOfDayOffset;
  }
  const std::int64_t limit = rowLimit(from, to, maxRows);
  std::vector<int> fields;
  for (char letter : letters) fields.push_back(quoteFieldByLetter(letter));

  // Descending, the walk starts at the last record of the span's end day (a
  // search for the end-of-day instant never hits a record).
  int position = descending ? lastPositionAtOrBefore(prices, to) : ascendingStart(prices, from);
  const int step = descending ? -1 : 1;
  std::vector<std::pair<double, TQuoteRecord>> kept;
  for (bool first = true;; first = false, position += step) {
    double date = 0;
    TQuoteRecord quote;
    prices.getRecordBySortedIndex(position, date, quote);
    if (quote.Error) break;
    // Only the start record may lie outside the span; a walk that has kept
    // nothing yet must not run on past its far end either.
    if (!first && (descending ? date < from : date > to)) break;
    bool present = false;
    for (int field : fields) present = present || (field >= 0 && (quote.Mask & quoteValueBit(field)) != 0);
    if (!present) continue;
    kept.emplace_back(date, quote);
    if (static_cast<std::int64_t>(kept.size()) >= limit) break;
  }
  if (kept.empty()) return c.fail(errNA);
  if (!fitsArray(static_cast<std::int64_t>(kept.size()), columns)) return;

  auto array = std::make_unique<TArray>();
  array->setSize2D(static_cast<std::int32_t>(kept.size()), static_cast<std::int32_t>(columns));
  for (std::size_t row = 0; row < kept.size(); ++row) {
    const auto& [date, quote] = kept[row];
    const auto r = static_cast<std::int32_t>(row);
    storeNumber(array->at(r, 0), date);
    for (std::size_t letter = 0; letter < fields.size(); ++letter) {
      const int field = fields[letter];
      if (field < 0 || (quote.Mask & quoteValueBit(field)) == 0) continue;
      storeNumber(array->at(r, static_cast<std::int32_t>(letter) + 1), quote.*quoteValueFields[field]);
    }
  }
  c.setArrayResult(std::move(array));
}

}  // namespace

void registerAssetFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("ASSET_NAME")] = evalASSET_NAME;
  table[FunctionIdOf("ASSET_SYMBOL")] = evalASSET_SYMBOL;
  table[FunctionIdOf("ASSET_CURRENCY")] = evalASSET_CURRENCY;
  table[FunctionIdOf("ASSET_UNITS")] = evalASSET_UNITS;
  table[FunctionIdOf("ASSET_NAV")] = evalASSET_NAV;
  table[FunctionIdOf("ASSET_QUOTES")] = evalASSET_QUOTES;
  table[FunctionIdOf("ASSET_OPEN")] = [](TEvalContext& c) { evalAssetQuoteField(c, 3); };
  table[FunctionIdOf("ASSET_HIGH")] = [](TEvalContext& c) { evalAssetQuoteField(c, 4); };
  table[FunctionIdOf("ASSET_LOW")] = [](TEvalContext& c) { evalAssetQuoteField(c, 5); };
  table[FunctionIdOf("ASSET_CLOSE")] = [](TEvalContext& c) { evalAssetQuoteField(c, 6); };
  table[FunctionIdOf("ASSET_VOLUME")] = [](TEvalContext& c) { evalAssetQuoteField(c, 7); };
  table[FunctionIdOf("ASSET_OPEN_INTEREST")] = [](TEvalContext& c) { evalAssetQuoteField(c, 8); };
  table[FunctionIdOf("ASSET_BID")] = [](TEvalContext& c) { evalAssetQuoteField(c, 9); };
  table[FunctionIdOf("ASSET_ASK")] = [](TEvalContext& c) { evalAssetQuoteField(c, 10); };
  table[FunctionIdOf("ASSET_BID_SIZE")] = [](TEvalContext& c) { evalAssetQuoteField(c, 11); };
  table[FunctionIdOf("ASSET_ASK_SIZE")] = [](TEvalContext& c) { evalAssetQuoteField(c, 12); };
  table[FunctionIdOf("ASSET_PERCENT_STOCKS")] = [](TEvalContext& c) { evalAssetPercent(c, 1); };
  table[FunctionIdOf("ASSET_PERCENT_BONDS")] = [](TEvalContext& c) { evalAssetPercent(c, 2); };
  table[FunctionIdOf("ASSET_PERCENT_CASH")] = [](TEvalContext& c) { evalAssetPercent(c, 3); };
  table[FunctionIdOf("ASSET_PERCENT_OTHER")] = [](TEvalContext& c) { evalAssetPercent(c, 4); };
  table[FunctionIdOf("ASSET_INVESTMENT")] = evalASSET_INVESTMENT;
  table[FunctionIdOf("ASSET_PRINCIPAL")] = evalASSET_PRINCIPAL;
  table[FunctionIdOf("ASSET_FEES")] = evalASSET_FEES;
  table[FunctionIdOf("ASSET_FLOWS")] = [](TEvalContext& c) { evalAssetFlows(c, investmentFlowsKind); };
  table[FunctionIdOf("ASSET_PRINCIPAL_FLOWS")] = [](TEvalContext& c) { evalAssetFlows(c, principalFlowsKind); };
  table[FunctionIdOf("ASSET_FEE_FLOWS")] = [](TEvalContext& c) { evalAssetFlows(c, feeFlowsKind); };
  table[FunctionIdOf("ASSET_FIRST_TRADE")] = evalASSET_FIRST_TRADE;
  table[FunctionIdOf("ASSET_LAST_TRADE")] = evalASSET_LAST_TRADE;
  table[FunctionIdOf("ASSET_FLAG")] = evalASSET_FLAG;
}
