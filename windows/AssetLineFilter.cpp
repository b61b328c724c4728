#include "windows/AssetLineFilter.h"

#include <cmath>

#include "model/Asset.h"

namespace {

constexpr long double nullUnits = 0.001L;

}  // namespace

bool assetHasLine(TAsset& asset, TAssetLineWindow window, bool showNulls, double toDate) {
  if (window == TAssetLineWindow::quotes && asset.noPriceHistoryLocation()) return false;
  if (showNulls) return true;
  const long double units = asset.Transactions().unitsAt(std::round(toDate));
  return window == TAssetLineWindow::assets ? std::fabs(units) >= nullUnits : units >= nullUnits;
}
