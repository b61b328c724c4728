#pragma once
#include <functional>

#include "windows/DataObjects.h"

class TAsset;
class TPortfolio;

// The assets of one portfolio as the objects of the Assets and Quotes
// windows: the portfolio whose view the window holds, which the window
// names; the key field is the first field bound to an asset's name, symbol,
// currency or allocation. Which assets get a line is the window's filter;
// the Quotes window keeps its line sizes and order under names of its own,
// so each window has its own layout of the same assets.
class TAssetObjects : public TDataObjects {
 public:
  TAssetObjects(std::function<TPortfolio*()> portfolio, std::function<bool(TAsset&)> hasLine, bool quoteKeys)
      : portfolio_(std::move(portfolio)), hasLine_(std::move(hasLine)), quoteKeys_(quoteKeys) {}

  int count() const override;
  TCustomPropertyObject* item(int index) const override;
  bool hasLine(int index) const override;
  bool isKeyKind(std::uint8_t kind) const override { return kind >= 13 && kind <= 19; }
  int currentIndex() const override;
  void setCurrentIndex(int index) override;

  std::string rowHeightKey() const override { return quoteKeys_ ? "QuoteRowHeight" : "RowHeight"; }
  std::string colWidthKey() const override { return quoteKeys_ ? "QuoteColWidth" : "ColWidth"; }
  std::string displayOrderKey() const override { return quoteKeys_ ? "QuoteDisplayOrder" : "DisplayOrder"; }

 private:
  TAsset* asset(int index) const;

  std::function<TPortfolio*()> portfolio_;
  std::function<bool(TAsset&)> hasLine_;
  bool quoteKeys_;
};
