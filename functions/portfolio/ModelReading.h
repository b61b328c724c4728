#pragma once
#include <cstdint>
#include <string>

#include "functions/CallArguments.h"
#include "model/CashFlows.h"
#include "sheet/BuiltinDispatch.h"
#include "sheet/CellStates.h"

class TAsset;
class TPortfolio;
class TSheet;

// What the portfolio and the asset built-ins share: the instants their day
// arguments stand for, their owners, and their flow and row results.

// A "to" day is read at 23:59:59, so that the day's transactions count; a
// "from" day one second before the midnight that begins it.
constexpr double endOfDayOffset = 0.999988425925926;
constexpr double startOfRangeOffset = 0.0000115740740740741;
inline double endOfDay(std::int32_t day) { return day + endOfDayOffset; }
inline double startOfRange(std::int32_t day) { return day - startOfRangeOffset; }

// The open portfolio at the 0-based index, or the asset at the index in the
// current portfolio, of the sheet's portfolio table; nullptr when none.
TPortfolio* portfolioNamed(const TEvalContext& c, std::int32_t index);
TAsset* assetNamed(const TEvalContext& c, std::int32_t index);
// The same for the owner type of a shared evaluation below.
template <class TOwner>
TOwner* ownerNamed(const TEvalContext& c, std::int32_t index);
template <>
inline TPortfolio* ownerNamed<TPortfolio>(const TEvalContext& c, std::int32_t index) {
  return portfolioNamed(c, index);
}
template <>
inline TAsset* ownerNamed<TAsset>(const TEvalContext& c, std::int32_t index) {
  return assetNamed(c, index);
}

// The flow list a flow built-in starts with: the optional start value at the
// from day, then the optional end value at the to day; zero values add no
// pair. Reads arguments 3 and 4 when the call has them.
TFlowList startingFlows(TCallArguments& args, std::int32_t fromDay, std::int32_t toDay);
// The list's (date, amount) pairs as rows; "#N/A" for an empty list.
void setFlowsResult(TEvalContext& c, const TFlowList& flows);

// The rows a walk over the dates from..to may give: the whole days between
// them plus one, lowered to maxRows when that is positive.
std::int64_t rowLimit(double from, double to, std::int32_t maxRows);
// Whether a result of rows x columns stays within the element limit of
// arrays; a larger one fails with "#VALUE!".
bool fitsArray(std::int64_t rows, std::int64_t columns);

// The flows a flow built-in lists.
enum TFlowKind { investmentFlowsKind, principalFlowsKind, feeFlowsKind };

// The evaluations the portfolio and the asset built-ins share. Every
// argument is read before the owner is looked for, so a bad argument fails
// with "#VALUE!" before a missing owner with "#N/A".

// (owner): a text of the owner at the index, through the sheet's getter.
using TSheetText = void (TSheet::*)(std::int32_t, std::string&, bool&) const;
void evalOwnerText(TEvalContext& c, TSheetText getter);

// (owner): a date of the owner; "#N/A" when it has none.
template <class TOwner>
void evalOwnerDate(TEvalContext& c, void (TOwner::*dateOf)(double&, bool&)) {
  TCallArguments args(c);
  if (args.count() != 1) return;
  const std::int32_t index = args.integer(0);
  if (!args) return;
  TOwner* owner = ownerNamed<TOwner>(c, index);
  if (!owner) return c.fail(errNA);
  double date = 0;
  bool found = false;
  (owner->*dateOf)(date, found);
  if (!found) return c.fail(errNA);
  c.setNumberResult(date);
}

// (owner, from, to): the cumulative amount at the end of "to" less the one
// just before "from"; a "from" after "to" gives the negative difference.
// amountAt(owner, amount, ok, instant) reads the amount at an instant.
template <class TOwner, class AmountAt>
void evalOwnerAmount(TEvalContext& c, AmountAt amountAt) {
  TCallArguments args(c);
  if (args.count() != 3) return;
  const std::int32_t index = args.integer(0);
  const std::int32_t fromDay = args.integer(1);
  const std::int32_t toDay = args.integer(2);
  if (!args) return;
  TOwner* owner = ownerNamed<TOwner>(c, index);
  if (!owner) return c.fail(errNA);
  long double atEnd = 0, atStart = 0;
  bool endOk = false, startOk = false;
  amountAt(*owner, atEnd, endOk, endOfDay(toDay));
  amountAt(*owner, atStart, startOk, startOfRange(fromDay));
  if (!endOk || !startOk) return c.fail(errNA);
  c.setNumberResult(atEnd - atStart);
}

// (owner, from, to [, start value [, end value]]): the starting flows, then
// what flowsOf(owner, flows, ok, from instant, to instant) adds.
template <class TOwner, class FlowsOf>
void evalOwnerFlows(TEvalContext& c, FlowsOf flowsOf) {
  TCallArguments args(c);
  if (!args.countIn(3, 5)) return;
  const std::int32_t index = args.integer(0);
  const std::int32_t fromDay = args.integer(1);
  const std::int32_t toDay = args.integer(2);
  TFlowList flows = startingFlows(args, fromDay, toDay);
  if (!args) return;
  TOwner* owner = ownerNamed<TOwner>(c, index);
  if (!owner) return c.fail(errNA);
  bool ok = false;
  flowsOf(*owner, flows, ok, startOfRange(fromDay), endOfDay(toDay));
  if (!ok) return c.fail(errNA);
  setFlowsResult(c, flows);
}

// The ASSET_ built-ins, registered with the portfolio ones.
void registerAssetFunctions(TBuiltinTable& table);
