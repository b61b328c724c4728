#include "functions/portfolio/ModelReading.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "functions/ArrayStorage.h"
#include "sheet/Sheet.h"

TPortfolio* portfolioNamed(const TEvalContext& c, std::int32_t index) {
  TPortfolio* portfolio = nullptr;
  bool found = false;
  c.sheet.findPortfolio(index, portfolio, found);
  return found ? portfolio : nullptr;
}

TAsset* assetNamed(const TEvalContext& c, std::int32_t index) {
  TAsset* asset = nullptr;
  bool found = false;
  c.sheet.findAsset(index, asset, found);
  return found ? asset : nullptr;
}

void evalOwnerText(TEvalContext& c, TSheetText getter) {
  TCallArguments args(c);
  if (args.count() != 1) return;
  const std::int32_t index = args.integer(0);
  if (!args) return;
  std::string text;
  bool found = false;
  (c.sheet.*getter)(index, text, found);
  if (!found) return c.fail(errNA);
  c.setStringResult(std::move(text));
}

// The start value is the first row and the end value the one after it, also
// on a one-day period or with the days reversed: they are the holding's
// values at the two ends, not flows of one date to be merged and sorted.
TFlowList startingFlows(TCallArguments& args, std::int32_t fromDay, std::int32_t toDay) {
  const long double startValue = args.number(3, 0);
  const long double endValue = args.number(4, 0);
  TFlowList flows;
  if (startValue != 0) {
    flows.push_back(fromDay);
    flows.push_back(startValue);
  }
  if (endValue != 0) {
    flows.push_back(toDay);
    flows.push_back(endValue);
  }
  return flows;
}

void setFlowsResult(TEvalContext& c, const TFlowList& flows) {
  const auto rows = static_cast<std::int64_t>(flows.size() / 2);
  if (rows == 0) return c.fail(errNA);
  if (!fitsArray(rows, 2)) return;
  auto array = std::make_unique<TArray>();
  storeVectorInArray(flows, 2, static_cast<int>(rows), *array, true);
  c.setArrayResult(std::move(array));
}

std::int64_t rowLimit(double from, double to, std::int32_t maxRows) {
  const double days = std::max(0.0, std::trunc(to - from));
  // Beyond the element limit the exact count no longer matters.
  std::int64_t limit = static_cast<std::int64_t>(std::min(days, static_cast<double>(maxArrayElements))) + 1;
  if (maxRows > 0) limit = std::min<std::int64_t>(limit, maxRows);
  return limit;
}

bool fitsArray(std::int64_t rows, std::int64_t columns) {
  return rows >= 0 && columns >= 0 && (columns == 0 || rows <= maxArrayElements / columns);
}
