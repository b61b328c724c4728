#include "functions/datetext/CurrencyAndTextFunctions.h"

#include <string>
#include <utility>

#include "functions/CallArguments.h"
#include "functions/finance/DayCount.h"
#include "model/PortfolioTable.h"
#include "model/TextFormatting.h"
#include "sheet/Sheet.h"

namespace {

constexpr long double defaultAmount = 1;

// The date is taken with its time of day: a rate dated later that day does
// not apply yet.
void evalCURRENCY_CONVERT(TEvalContext& c) {
  TCallArguments args(c);
  if (!args.countIn(3, 4)) return;
  const std::string from = args.text(0);
  const std::string to = args.text(1);
  const double date = static_cast<double>(args.number(2));
  const long double amount = args.number(3, defaultAmount);
  if (!args) return;
  wholeDayNumber(date);  // a day beyond the calendar raises ERangeError
  const TPortfolioTable* portfolios = c.sheet.portfolioTable;
  if (!portfolios) return c.fail(errNA);
  bool ok = false;
  double rateDate = 0;
  long double result = 0;
  portfolios->convertCurrency(from, to, ok, rateDate, date, result, amount);
  if (!ok) return c.fail(errNA);
  c.setNumberResult(result);
}

void evalCONCATENATE(TEvalContext& c) {
  TCallArguments args(c);
  if (args.count() < 1) return;
  std::string joined;
  for (int i = 0; i < args.count(); ++i) {
    joined += args.text(i);
    if (!args || joined.size() > maxSheetTextLength) return;
  }
  c.setStringResult(std::move(joined));
}

}  // namespace

void registerCurrencyAndTextFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("CURRENCY_CONVERT")] = evalCURRENCY_CONVERT;
  table[FunctionIdOf("CONCATENATE")] = evalCONCATENATE;
}
