#include "functions/portfolio/PortfolioFunctions.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "functions/finance/DayCount.h"
#include "functions/portfolio/ModelReading.h"
#include "model/Asset.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "sheet/Sheet.h"

namespace {

enum TCurrencyPart { ownCurrencyPart, convertedCurrencyPart };

void evalPORTFOLIO_NAME(TEvalContext& c) { evalOwnerText(c, &TSheet::getPortfolioName); }
void evalPORTFOLIO_SYMBOL(TEvalContext& c) { evalOwnerText(c, &TSheet::getPortfolioSymbol); }
void evalPORTFOLIO_CURRENCY(TEvalContext& c) { evalOwnerText(c, &TSheet::getPortfolioCurrency); }

// ---- Values at the end of a day ----

void evalPORTFOLIO_NAV(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(2, 3)) return;
  const std::int32_t index = args.integer(0);
  const std::int32_t day = args.integer(1);
  const bool acceptEarlier = args.integer(2, 0) != 0;
  if (!args) return;
  TPortfolio* portfolio = portfolioNamed(c, index);
  if (!portfolio) return c.fail(errNA);
  long double value = 0;
  bool ok = false;
  double maxRateAge = 0;
  portfolio->navAt(acceptEarlier, value, ok, maxRateAge, endOfDay(day));
  if (!ok) return c.fail(errNA);
  c.setNumberResult(value);
}

// Selector 1 to 4: stocks, bonds, cash, other.
void evalPortfolioPercent(TEvalContext& c, int selector) {
  TCallArguments args(c);
  if (!args.countIn(2, 3)) return;
  const std::int32_t index = args.integer(0);
  const std::int32_t day = args.integer(1);
  const bool acceptEarlier = args.integer(2, 0) != 0;
  if (!args) return;
  TPortfolio* portfolio = portfolioNamed(c, index);
  if (!portfolio) return c.fail(errNA);
  double shares[4] = {0, 0, 0, 0};
  bool ok = false;
  double maxRateAge = 0;
  portfolio->allocationAt(acceptEarlier, shares[0], shares[1], shares[2], shares[3], ok, maxRateAge, endOfDay(day));
  if (!ok) return c.fail(errNA);
  c.setNumberResult(shares[selector - 1]);
}

void evalPortfolioCurrencyPart(TEvalContext& c, TCurrencyPart part) {
  TCallArguments args(c);
  if (!args.countIn(3, 4)) return;
  const std::string currency = args.text(0);
  const std::int32_t index = args.integer(1);
  const std::int32_t day = args.integer(2);
  const bool acceptEarlier = args.integer(3, 0) != 0;
  if (!args) return;
  TPortfolio* portfolio = portfolioNamed(c, index);
  if (!portfolio) return c.fail(errNA);
  long double value = 0;
  bool ok = false;
  if (part == ownCurrencyPart) {
    portfolio->currencyPartAt(currency, acceptEarlier, ok, value, endOfDay(day));
  } else {
    long double nativeValue = 0;
    double maxRateAge = 0;
    portfolio->convertedCurrencyPartAt(currency, acceptEarlier, ok, value, nativeValue, maxRateAge, endOfDay(day));
  }
  if (!ok) return c.fail(errNA);
  c.setNumberResult(value);
}

// ---- Amounts over a period ----

using TPortfolioAmount = void (TPortfolio::*)(long double&, bool&, double);

void evalPortfolioAmount(TEvalContext& c, TPortfolioAmount amountAt) {
  evalOwnerAmount<TPortfolio>(c, std::mem_fn(amountAt));
}

void evalPORTFOLIO_INVESTMENT(TEvalContext& c) { evalPortfolioAmount(c, &TPortfolio::investmentAt); }
void evalPORTFOLIO_PRINCIPAL(TEvalContext& c) { evalPortfolioAmount(c, &TPortfolio::principalAt); }
void evalPORTFOLIO_FEES(TEvalContext& c) { evalPortfolioAmount(c, &TPortfolio::feesAt); }

void evalPortfolioFlows(TEvalContext& c, TFlowKind kind) {
  evalOwnerFlows<TPortfolio>(c, [kind](TPortfolio& portfolio, TFlowList& flows, bool& ok, double from, double to) {
    switch (kind) {
      case investmentFlowsKind: portfolio.investmentFlows(flows, ok, from, to); break;
      case principalFlowsKind: portfolio.principalFlows(flows, ok, from, to); break;
      case feeFlowsKind: portfolio.feeFlows(flows, ok, from, to); break;
    }
  });
}

// ---- Trade dates, flags ----

void evalPORTFOLIO_FIRST_TRADE(TEvalContext& c) { evalOwnerDate(c, &TPortfolio::firstTradeDate); }
void evalPORTFOLIO_LAST_TRADE(TEvalContext& c) { evalOwnerDate(c, &TPortfolio::lastTradeDate); }

// One row per asset: its index and its flag at the end of the day, an empty
// cell when it has no transaction by then.
void evalPORTFOLIO_FLAGS(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 2) return;
  const std::int32_t index = args.integer(0);
  const std::int32_t day = args.integer(1);
  if (!args) return;
  TPortfolio* portfolio = portfolioNamed(c, index);
  // A portfolio without assets has its (empty) table; only a missing one fails.
  if (!portfolio) return c.fail(errNA);
  auto array = std::make_unique<TArray>();
  array->setSize2D(portfolio->assetCount(), 2);
  for (int asset = 0; asset < portfolio->assetCount(); ++asset) {
    TValueRecord& number = array->at(asset, 0);
    number.kind = valueInteger;
    number.integer = asset;
    std::string flag;
    bool found = false;
    portfolio->assets(asset)->flagAt(flag, found, endOfDay(day));
    if (!found) continue;
    TValueRecord& text = array->at(asset, 1);
    text.kind = valueString;
    text.string = std::move(flag);
  }
  c.setArrayResult(std::move(array));
}

// ---- Net asset value by day ----

// Every day from..to with a value (prices on the very day) gives a row:
// ascending rows are taken at midnight, descending ones at the end of each
// day. A "from" without a value moves back to the last day with one.
void evalPORTFOLIO_QUOTES(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(2, 4)) return;
  const std::int32_t index = args.integer(0);
  const std::int32_t fromDay = args.integer(1);
  const std::int32_t toDay = args.integer(2, fromDay);
  const std::int32_t maxRows = args.integer(3, 0);
  if (!args) return;
  // Days beyond the calendar are no dates, and a walk from one would value
  // the portfolio on billions of days (ERangeError: "#VALUE!").
  wholeDayNumber(fromDay);
  wholeDayNumber(toDay);
  TPortfolio* portfolio = portfolioNamed(c, index);
  if (!portfolio) return c.fail(errNA);

  double from = fromDay;
  double to = toDay;
  double step = 1;
  if (args.count() >= 3) {
    if (to < from) {
      std::swap(from, to);
      step = -1;
    }
    to += endOfDayOffset;
  }
  double firstQuote = 0, lastQuote = 0;
  bool firstFound = false, lastFound = false;
  portfolio->firstQuoteDate(firstQuote, firstFound);
  portfolio->lastQuoteDate(lastQuote, lastFound);
  if (!firstFound || !lastFound) return c.fail(errNA);
  firstQuote = std::trunc(firstQuote);
  lastQuote = std::trunc(lastQuote);

  long double value = 0;
  auto valueAt = [&](double date) {
    bool ok = false;
    double maxRateAge = 0;
    portfolio->navAt(false, value, ok, maxRateAge, date);
    return ok;
  };
  bool valued = valueAt(from);
  // After the last quote and the last trade the holdings and their prices no
  // longer change from day to day, so a day without a value there has none
  // back to that point either: jumping there spares a walk over every day
  // of a far "from".
  double settled = lastQuote;
  for (int asset = 0; !valued && asset < portfolio->assetCount(); ++asset) {
    double lastTrade = 0;
    bool found = false;
    portfolio->assets(asset)->lastTransactionDate(lastTrade, found);
    if (found) settled = std::max(settled, std::trunc(lastTrade));
  }
  if (!valued && from > settled + 1 && from > firstQuote) {
    from = std::max(settled + 1, firstQuote);
    valued = valueAt(from);
  }
  while (!valued && from > firstQuote) {
    from -= 1;
    valued = valueAt(from);
  }
  if (!valued) return c.fail(errNA);

  const std::int64_t limit = rowLimit(from, to, maxRows);
  // A descending walk from beyond the last quote would stop at its first
  // step: it starts at the end of the last quote day instead, as an
  // ascending walk ends there.
  double date = step > 0 ? from : std::min(to, lastQuote + endOfDayOffset);
  std::vector<long double> rows;
  while (true) {
    if (valueAt(date)) {
      rows.push_back(date);
      rows.push_back(value);
      if (static_cast<std::int64_t>(rows.size() / 2) >= limit) break;
    }
    date += step;
    if (date >= lastQuote + 1 || date < from || (!rows.empty() && date > to)) break;
  }
  setFlowsResult(c, rows);
}

// ---- Transactions ----

void evalTRANSACTION_PORTFOLIO(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 1) return;
  const std::int32_t number = args.integer(0);
  if (!args) return;
  if (number < 1) return c.fail(errNum);
  const TPortfolioTable* portfolios = c.sheet.portfolioTable;
  for (int index = 0; portfolios && index < portfolios->count(); ++index) {
    if (portfolios->items(index)->findTransaction(number)) return c.setIntegerResult(index);
  }
  c.fail(errNA);
}

void evalTRANSACTION_ASSET(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() != 1) return;
  const std::int32_t number = args.integer(0);
  if (!args) return;
  if (number < 1) return c.fail(errNum);
  const TPortfolio* current = c.sheet.portfolioTable ? c.sheet.portfolioTable->current() : nullptr;
  for (int index = 0; current && index < current->assetCount(); ++index) {
    if (current->assets(index)->Transactions().findNumber(number)) return c.setIntegerResult(index);
  }
  c.fail(errNA);
}

}  // namespace

void registerPortfolioFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("PORTFOLIO_NAME")] = evalPORTFOLIO_NAME;
  table[FunctionIdOf("PORTFOLIO_SYMBOL")] = evalPORTFOLIO_SYMBOL;
  table[FunctionIdOf("PORTFOLIO_CURRENCY")] = evalPORTFOLIO_CURRENCY;
  table[FunctionIdOf("PORTFOLIO_QUOTES")] = evalPORTFOLIO_QUOTES;
  table[FunctionIdOf("PORTFOLIO_NAV")] = evalPORTFOLIO_NAV;
  table[FunctionIdOf("PORTFOLIO_PERCENT_STOCKS")] = [](TEvalContext& c) { evalPortfolioPercent(c, 1); };
  table[FunctionIdOf("PORTFOLIO_PERCENT_BONDS")] = [](TEvalContext& c) { evalPortfolioPercent(c, 2); };
  table[FunctionIdOf("PORTFOLIO_PERCENT_CASH")] = [](TEvalContext& c) { evalPortfolioPercent(c, 3); };
  table[FunctionIdOf("PORTFOLIO_PERCENT_OTHER")] = [](TEvalContext& c) { evalPortfolioPercent(c, 4); };
  table[FunctionIdOf("PORTFOLIO_INVESTMENT")] = evalPORTFOLIO_INVESTMENT;
  table[FunctionIdOf("PORTFOLIO_PRINCIPAL")] = evalPORTFOLIO_PRINCIPAL;
  table[FunctionIdOf("PORTFOLIO_FEES")] = evalPORTFOLIO_FEES;
  table[FunctionIdOf("PORTFOLIO_FLOWS")] = [](TEvalContext& c) { evalPortfolioFlows(c, investmentFlowsKind); };
  table[FunctionIdOf("PORTFOLIO_PRINCIPAL_FLOWS")] = [](TEvalContext& c) {
    evalPortfolioFlows(c, principalFlowsKind);
  };
  table[FunctionIdOf("PORTFOLIO_FEE_FLOWS")] = [](TEvalContext& c) { evalPortfolioFlows(c, feeFlowsKind); };
  table[FunctionIdOf("PORTFOLIO_CURRENCY_PART")] = [](TEvalContext& c) {
    evalPortfolioCurrencyPart(c, ownCurrencyPart);
  };
  table[FunctionIdOf("PORTFOLIO_CONVERTED_CURRENCY_PART")] = [](TEvalContext& c) {
    evalPortfolioCurrencyPart(c, convertedCurrencyPart);
  };
  table[FunctionIdOf("PORTFOLIO_FIRST_TRADE")] = evalPORTFOLIO_FIRST_TRADE;
  table[FunctionIdOf("PORTFOLIO_LAST_TRADE")] = evalPORTFOLIO_LAST_TRADE;
  table[FunctionIdOf("PORTFOLIO_FLAGS")] = evalPORTFOLIO_FLAGS;
  table[FunctionIdOf("TRANSACTION_PORTFOLIO")] = evalTRANSACTION_PORTFOLIO;
  table[FunctionIdOf("TRANSACTION_ASSET")] = evalTRANSACTION_ASSET;
  registerAssetFunctions(table);
}
