#include "chart/SliderScrolling.h"

#include <algorithm>

void TSliderScrolling::setExtent(int contentHeight, int pageHeight) {
  contentHeight_ = std::max(0, contentHeight);
  pageHeight_ = std::max(0, pageHeight);
  setPosition(position_);
}

int TSliderScrolling::maximumPosition() const { return std::max(0, contentHeight_ - pageHeight_); }

void TSliderScrolling::setPosition(int position) { position_ = std::clamp(position, 0, maximumPosition()); }

void TSliderScrolling::show(int top, int bottom) {
  if (bottom > position_ + pageHeight_) setPosition(bottom - pageHeight_);
  if (top < position_) setPosition(top);
}
