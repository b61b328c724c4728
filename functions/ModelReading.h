#pragma once
#include <cstdint>

#include "functions/CallArguments.h"
#include "model/CashFlows.h"
#include "sheet/BuiltinDispatch.h"

class TAsset;
class TPortfolio;

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

// The ASSET_ built-ins, registered with the portfolio ones.
void registerAssetFunctions(TBuiltinTable& table);
