#pragma once
#include "windows/DataObjects.h"

class TPortfolioTable;

// The open portfolios as the objects of the Portfolios window; the key field
// is the first field bound to a portfolio's name, symbol or currency.
class TPortfolioObjects : public TDataObjects {
 public:
  explicit TPortfolioObjects(TPortfolioTable& table) : table_(table) {}

  int count() const override;
  TCustomPropertyObject* item(int index) const override;
  bool isKeyKind(std::uint8_t kind) const override { return kind >= 10 && kind <= 12; }
  int currentIndex() const override;
  void setCurrentIndex(int index) override;

 private:
  TPortfolioTable& table_;
};
