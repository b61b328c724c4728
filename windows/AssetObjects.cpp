#include "windows/AssetObjects.h"

#include "model/Asset.h"
#include "model/Portfolio.h"

TAsset* TAssetObjects::asset(int index) const {
  const TPortfolio* portfolio = portfolio_();
  return portfolio ? portfolio->assets(index) : nullptr;
}

int TAssetObjects::count() const {
  const TPortfolio* portfolio = portfolio_();
  return portfolio ? portfolio->assetCount() : 0;
}

TCustomPropertyObject* TAssetObjects::item(int index) const { return asset(index); }

bool TAssetObjects::hasLine(int index) const {
  TAsset* shown = asset(index);
  return shown && (!hasLine_ || hasLine_(*shown));
}

int TAssetObjects::currentIndex() const {
  const TPortfolio* portfolio = portfolio_();
  return portfolio ? portfolio->currentAssetIndex() : -1;
}

void TAssetObjects::setCurrentIndex(int index) {
  if (TPortfolio* portfolio = portfolio_()) portfolio->setCurrentAssetIndex(index);
}
