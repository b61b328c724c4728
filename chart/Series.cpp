#include "chart/Series.h"

#include <algorithm>
#include <cmath>

#include "model/Prices.h"
#include "model/QuickSort.h"

TPriceSeries::TPriceSeries() = default;
TPriceSeries::~TPriceSeries() = default;

void TPriceSeries::setPrices(TPrices* prices) {
  if (ownedPrices_.get() != prices) ownedPrices_.reset();
  prices_ = prices;
}

void TPriceSeries::takePrices(std::unique_ptr<TPrices> prices) {
  ownedPrices_ = std::move(prices);
  prices_ = ownedPrices_.get();
}

int TPriceSeries::mergeXValues(std::vector<double>& values) const {
  int result = 0;
  if (prices_ != nullptr) {
    result = prices_->mergeDates(values);
    // The price dates arrive unsorted and may repeat; the marks' bisection
    // needs a sorted array without twins.
    if (result == 0) {
      quickSortDoubles(values);
      values.erase(std::unique(values.begin(), values.end()), values.end());
    }
  }
  const int textResult = textMarks.mergeXValues(values);
  if (result == 0) result = textResult;
  const int imageResult = imageMarks.mergeXValues(values);
  if (result == 0) result = imageResult;
  return result;
}

long double TPriceSeries::fieldValue(int field, const TQuoteRecord& record) const {
  switch (field) {
    case quoteFieldOpen:
      return record.Open * scale;
    case quoteFieldHigh:
      return record.High * scale;
    case quoteFieldLow:
      return record.Low * scale;
    case quoteFieldClose:
      return record.Close * scale;
    case quoteFieldVolume:
      return record.Volume * scale;
    default:
      return 0;
  }
}

void TPriceSeries::minimum(long double& value, bool& found, double fromX, double toX) const {
  fold(value, found, fromX, toX, true);
}

void TPriceSeries::maximum(long double& value, bool& found, double fromX, double toX) const {
  fold(value, found, fromX, toX, false);
}

void TPriceSeries::fold(long double& value, bool& found, double fromX, double toX, bool minimums) const {
  if (prices_ == nullptr) return;
  TQuoteRecord extremes;
  if (minimums) {
    prices_->fieldMinimums(extremes, toX, fromX);
  } else {
    prices_->fieldMaximums(extremes, toX, fromX);
  }
  if (extremes.Error != 0) return;

  auto take = [&](long double v) {
    if (!found) {
      value = v;
      found = true;
    } else {
      value = minimums ? std::min(value, v) : std::max(value, v);
    }
  };
  uint16_t fields = static_cast<uint16_t>((lineFields | barFields) & extremes.Mask);
  if (openMarker != 0) fields |= extremes.Mask & quoteOpenBit;
  if (highMarker != 0) fields |= extremes.Mask & quoteHighBit;
  if (lowMarker != 0) fields |= extremes.Mask & quoteLowBit;
  if (closeMarker != 0) fields |= extremes.Mask & quoteCloseBit;
  if (fields & quoteOpenBit) take(scale * extremes.Open);
  if (fields & quoteHighBit) take(scale * extremes.High);
  if (fields & quoteLowBit) take(scale * extremes.Low);
  if (fields & quoteCloseBit) take(scale * extremes.Close);

  long double markY = 0;
  if (minimums ? textMarks.minY(markY) : textMarks.maxY(markY)) take(scale * markY);
  if (minimums ? imageMarks.minY(markY) : imageMarks.maxY(markY)) take(scale * markY);
}

void TPriceSeries::setPercentBase(double x) {
  scale = 1.0L;
  if (prices_ == nullptr) return;
  double recordDate = 0;
  TQuoteRecord record;
  prices_->getRecordAtDate(false, recordDate, record, x);
  if (record.Error != 0) return;
  long double base = 0;
  if (record.Mask & quoteCloseBit) {
    base = record.Close;
  } else if (record.Mask & quoteHighBit) {
    base = record.High;
  } else if (record.Mask & quoteLowBit) {
    base = record.Low;
  } else if (record.Mask & quoteOpenBit) {
    base = record.Open;
  } else {
    return;
  }
  // A base of 0 (or one that is not a number) would scale to infinity.
  if (base != 0 && std::isfinite(base)) scale = 100 / base;
}
