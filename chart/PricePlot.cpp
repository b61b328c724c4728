#include "chart/PricePlot.h"

#include <algorithm>
#include <cmath>

#include "chart/PixelRounding.h"
#include "model/Prices.h"
#include "model/QuickSort.h"

TPricePlot::TPricePlot() : xValues_(std::make_shared<std::vector<double>>()) {}

TPricePlot::~TPricePlot() = default;

TPriceSeries* TPricePlot::series(int i) const {
  return i < 0 || i >= seriesCount() ? nullptr : series_[i].get();
}

int TPricePlot::addSeries() {
  series_.push_back(std::make_unique<TPriceSeries>());
  return seriesCount() - 1;
}

bool TPricePlot::removeSeries(int i) {
  if (i < 0 || i >= seriesCount()) return false;
  series_.erase(series_.begin() + i);
  rebuildXValues();
  return true;
}

void TPricePlot::freeAllSeries() {
  while (!series_.empty()) series_.pop_back();
  rebuildXValues();
}

std::vector<std::unique_ptr<TPriceSeries>> TPricePlot::releaseAllSeries() {
  std::vector<std::unique_ptr<TPriceSeries>> released = std::move(series_);
  series_.clear();
  rebuildXValues();
  return released;
}

void TPricePlot::adoptSeries(std::vector<std::unique_ptr<TPriceSeries>> series) {
  series_ = std::move(series);
  rebuildXValues();
}

void TPricePlot::clearSeriesData() {
  for (auto entry = series_.rbegin(); entry != series_.rend(); ++entry) {
    TPriceSeries* s = entry->get();
    if (s == nullptr) continue;
    if (s->ownsPrices()) {
      s->prices()->clear(false);
    } else {
      s->setPrices(nullptr);
    }
    s->textMarks.clear();
    s->imageMarks.clear();
  }
  rebuildXValues();
}

bool TPricePlot::isForeground(int i) const {
  const TPriceSeries* s = series(i);
  return s != nullptr && s->foreground;
}

uint32_t TPricePlot::seriesColor(int i, uint32_t defaultColor) const {
  const TPriceSeries* s = series(i);
  return s != nullptr ? s->color : defaultColor;
}

int TPricePlot::seriesPointKind(int i) const {
  const TPriceSeries* s = series(i);
  return s != nullptr ? s->closeMarker : 0;
}

double TPricePlot::firstX() const { return xValues_->empty() ? 0 : xValues_->front(); }
double TPricePlot::lastX() const { return xValues_->empty() ? 0 : xValues_->back(); }

void TPricePlot::rebuildXValues() {
  auto values = std::make_shared<std::vector<double>>();
  for (const auto& s : series_) {
    if (s == nullptr) continue;
    if (s->mergeXValues(*values) != 0) {
      values->clear();
      break;
    }
    quickSortDoubles(*values);
  }
  // Twins would make the tolerance 0, and no mark could be placed.
  values->erase(std::unique(values->begin(), values->end()), values->end());
  xTolerance_ = 0;
  if (values->size() >= 2) {
    double smallest = (*values)[1] - (*values)[0];
    for (size_t i = 2; i < values->size(); ++i) smallest = std::min(smallest, (*values)[i] - (*values)[i - 1]);
    xTolerance_ = 0.5 * smallest;
  }
  // A new array rather than a change in place: axes may still share the old.
  xValues_ = std::move(values);
}

bool TPricePlot::takesPartInRange(int i) const {
  const TPriceSeries* s = series(i);
  return s != nullptr && (i == highlighted || s->foreground || s->enabled);
}

void TPricePlot::fitY(const TMarkMetrics& metrics) {
  const std::vector<double>& x = *xValues_;
  highIndex_ = static_cast<int>(std::upper_bound(x.begin(), x.end(), hiX) - x.begin()) - 1;
  lowIndex_ = 0;
  while (lowIndex_ < highIndex_ && x[lowIndex_ + 1] <= loX) ++lowIndex_;
  if (highIndex_ < 0) lowIndex_ = highIndex_;

  long double low = 0, high = 0;
  bool lowFound = false, highFound = false;
  if (lowIndex_ >= 0 && lowIndex_ <= highIndex_) {
    for (int i = 0; i < seriesCount(); ++i) {
      if (!takesPartInRange(i)) continue;
      series_[i]->minimum(low, lowFound, loX, hiX);
      series_[i]->maximum(high, highFound, loX, hiX);
    }
  }
  lowY_ = static_cast<double>(low);
  highY_ = static_cast<double>(high);

  if (highY_ - lowY_ > 0 && (!logarithmic || lowY_ > 0)) {
    for (int round = 0; round < 10; ++round) {
      setYScale();
      int top = 0, bottom = 0;
      for (int i = 0; i < seriesCount(); ++i) {
        TPriceSeries* s = series_[i].get();
        if (s == nullptr || !(i == highlighted || (s->foreground && drawAllFgHighlighted))) continue;
        imageMarkOvershoot(s->imageMarks, top, bottom, s->scale, metrics);
        textMarkOvershoot(s->textMarks, top, bottom, s->scale, metrics);
      }
      if (top < 1 && bottom < 1) break;
      const double newHigh = static_cast<double>(yToValue(-top));
      const double newLow = static_cast<double>(yToValue(clientHeight + bottom));
      if (!std::isfinite(newHigh) || !std::isfinite(newLow) || !(newHigh > newLow)) break;
      highY_ = newHigh;
      lowY_ = newLow;
    }
  }
  setYScale();
}

void TPricePlot::setXScale() {
  const int W = clientWidth;
  if (showContinuousX) {
    const long double range = static_cast<long double>(hiX) - loX;
    xScale_ = range > 0 ? (W - 2) / range : 0;
  } else {
    xScale_ = static_cast<long double>(W - 2) / (highIndex_ - lowIndex_ + 1);
  }
}

void TPricePlot::setYScale() {
  const int H = clientHeight;
  if (!(highY_ - lowY_ > 0)) {
    yScale_ = 0;
  } else if (logarithmicInEffect()) {
    yScale_ = H / std::log(static_cast<long double>(highY_) / lowY_);
  } else {
    yScale_ = H / (static_cast<long double>(highY_) - lowY_);
  }
}

int TPricePlot::valueToY(long double v) const {
  const int H = clientHeight;
  if (!logarithmicInEffect()) return H - roundPixel((v - lowY_) * yScale_);
  // ln of 0 or below is not defined: such values sit at the bottom edge.
  if (!(v > 0)) return H;
  return H - roundPixel(std::log(v / lowY_) * yScale_);
}

long double TPricePlot::yToValue(long double y) const {
  const int H = clientHeight;
  if (!logarithmicInEffect()) return (H - y) / yScale_ + lowY_;
  return std::exp((H - y) / yScale_) * lowY_;
}

int TPricePlot::indexToX(int i) const {
  if (!showContinuousX) return roundPixel((i - lowIndex_) * xScale_) + 1;
  if (i < 0) return 0;
  if (i >= xCount()) return clientWidth;
  return roundPixel((static_cast<long double>((*xValues_)[i]) - loX) * xScale_) + 1;
}

int TPricePlot::zeroLineY() const { return logarithmicInEffect() ? clientHeight : valueToY(0); }

bool TPricePlot::recordAt(TPrices& prices, int i, TQuoteRecord& record) const {
  int position = -1;
  if (prices.findDate(position, (*xValues_)[i], xTolerance_) < 0) return false;
  double date = 0;
  prices.getRecordBySortedIndex(position, date, record);
  return record.Error == 0;
}

int TPricePlot::locateMark(double x) const {
  const std::vector<double>& values = *xValues_;
  const int last = lastVisible();
  // The first visible X within the tolerance: the X values are sorted, so a
  // bisection finds the first candidate.
  int i = static_cast<int>(std::upper_bound(values.begin(), values.end(), x - xTolerance_) - values.begin());
  i = std::max(i, firstVisible());
  for (; i <= last; ++i) {
    if (values[i] - xTolerance_ >= x) break;
    if (x < values[i] + xTolerance_) return i;
  }
  return -1;
}

void TPricePlot::textMarkOvershoot(const TTextMarks& marks, int& top, int& bottom, long double scale,
                                   const TMarkMetrics& metrics) const {
  int smallestTop = 0;
  int largestBottom = clientHeight;
  for (int m = 0; m < marks.count(); ++m) {
    const TTextMark* mark = marks.textMark(m);
    if (locateMark(mark->x) < 0) continue;
    int w = 0, h = 0;
    if (metrics.textExtent) metrics.textExtent(mark->text, w, h);
    const int markTop = valueToY(mark->y * scale) - h / 2 + mark->offset;
    smallestTop = std::min(smallestTop, markTop);
    largestBottom = std::max(largestBottom, markTop + h);
  }
  top = std::max(top, -smallestTop);
  bottom = std::max(bottom, largestBottom - clientHeight);
}

void TPricePlot::imageMarkOvershoot(const TImageMarks& marks, int& top, int& bottom, long double scale,
                                    const TMarkMetrics& metrics) const {
  int smallestTop = 0;
  int largestBottom = clientHeight;
  for (int m = 0; m < marks.count(); ++m) {
    const TImageMark* mark = marks.imageMark(m);
    if (mark->imageIndex < 0 || mark->imageIndex >= metrics.imageCount) continue;
    if (locateMark(mark->x) < 0) continue;
    const int markTop = valueToY(mark->y * scale) - metrics.imageHeight / 2 + mark->offset;
    smallestTop = std::min(smallestTop, markTop);
    largestBottom = std::max(largestBottom, markTop + metrics.imageHeight);
  }
  top = std::max(top, -smallestTop);
  bottom = std::max(bottom, largestBottom - clientHeight);
}
