#include "chart/AxisLayout.h"

#include <algorithm>
#include <cmath>

#include "chart/PixelRounding.h"
#include "model/TextFormatting.h"
#include "platform/DateTime.h"
#include "platform/LocaleSettings.h"

namespace {

// A slider label: the text with a blank on either side.
std::string paddedLabel(const std::string& text) {
  std::string padded;
  padded.reserve(text.size() + 2);
  padded += ' ';
  padded += text;
  padded += ' ';
  return padded;
}

}  // namespace

TAxisModel::TAxisModel()
    : floatDecimalSeparator(1, localeSettings().decimalSeparator),
      floatThousandSeparator(1, localeSettings().thousandSeparator) {}

std::string TAxisModel::formatValue(int decimals, double value) const {
  if (!std::isfinite(value)) return {};
  decimals = std::clamp(decimals, -300, maxFixedDecimals);
  try {
    return formatFixed(decimals, !floatCommas, floatTrimZeros, value, floatDecimalSeparator, floatThousandSeparator);
  } catch (...) {
    // A label too long to write is left out rather than break the paint.
    return {};
  }
}

// ---------------------------------------------------------------- X axis

TXAxisModel::TXAxisModel()
    : dateFormatString(localeSettings().shortDateFormat), timeFormatString(localeSettings().shortTimeFormat) {
  bigTickWidth = 2;
  bigTickHeight = 5;
  smallTickWidth = 1;
  smallTickHeight = 4;
}

void TXAxisModel::setLoIndex(int index) {
  loIndex = index;
  if (hiIndex < index) hiIndex = index;
}

void TXAxisModel::setHiIndex(int index) {
  hiIndex = index;
  if (loIndex > index) loIndex = index;
}

void TXAxisModel::setXValues(std::shared_ptr<const std::vector<double>> values) {
  xValues_ = std::move(values);
  const int last = xValues_ ? static_cast<int>(xValues_->size()) - 1 : -1;
  hiIndex = last;
  loIndex = last < 0 ? -1 : 0;
}

std::string TXAxisModel::formatValue(int decimals, double value) const {
  if (!dateLabels) return TAxisModel::formatValue(decimals, value);
  if (!isCalendarDate(value)) return {};
  try {
    return formatDateTime(timeFormatChosen_ ? timeFormatString : dateFormatString, value);
  } catch (...) {
    return {};
  }
}

std::string TXAxisModel::formatTick(double value) const {
  return formatValue(std::min(tickDecimals(tickStep_), floatDecimals), value);
}

struct TXAxisModel::TTickRun {
  TAxisLayout& layout;
  const TTextWidth& textWidth;
  int width;
  int labelTop;
  int lastLabelEnd = -1;
  int lastTickEnd = -1;
};

void TXAxisModel::placeTick(TTickRun& run, int x, double value) const {
  TAxisTick tick;
  tick.position = x;
  if (x > run.lastLabelEnd) {
    tick.text = formatTick(value);
    const int w = run.textWidth(tick.text);
    int left = x < 1 ? 0 : x - w / 2;
    int right = 0;
    if (left <= run.lastLabelEnd) {
      left = run.lastLabelEnd + labelMargin;
      right = left + w;
      tick.labelShown = right < run.width;
    } else {
      right = left + w;
      if (right >= run.width) {
        left = run.width - w;
        right = run.width;
        tick.labelShown = left > run.lastLabelEnd;
      } else {
        tick.labelShown = true;
      }
    }
    run.lastLabelEnd = right + labelMargin;
    tick.labelLeft = left;
    tick.labelTop = run.labelTop;
  }
  tick.labelled = tick.labelShown;
  if (!tick.labelled) tick.text.clear();
  const int pen = tick.labelled ? bigTickWidth : smallTickWidth;
  run.lastTickEnd = x + pen / 2 + 1;
  if (tick.labelled) run.layout.tickPositions.push_back(x);
  run.layout.ticks.push_back(std::move(tick));
}

TAxisLayout TXAxisModel::layout(int width, int height, int labelHeight, const TTextWidth& textWidth) {
  TAxisLayout result;
  int labelTop = 0;
  if (!aboveGraph) {
    result.baseLine = 0;
    result.bigTickEnd = bigTickHeight;
    result.smallTickEnd = smallTickHeight;
    labelTop = bigTickHeight + 2;
  } else {
    result.baseLine = height - 1;
    result.bigTickEnd = result.baseLine - bigTickHeight;
    result.smallTickEnd = result.baseLine - smallTickHeight;
    labelTop = result.bigTickEnd - 2 - labelHeight;
  }

  const int W = width;
  const int sampleWidth = textWidth("1000");
  if (sampleWidth <= 0) return result;
  const int labelCount = (W - 2) / sampleWidth;
  if (labelCount <= 0) return result;

  const std::vector<double>* values = xValues_.get();
  const bool indexed = values != nullptr && !values->empty();
  long double first = 0, range = 0, pixelsPerUnit = 0, minimumStep = 0;
  if (!indexed) {
    first = lo;
    range = static_cast<long double>(hi) - lo;
    if (!(range > 0)) return result;
    pixelsPerUnit = (W - 2) / range;
    minimumStep = range / labelCount;
  } else {
    // Every X beyond the visible range leaves the index range at -1: there
    // is nothing to label then.
    const int size = static_cast<int>(values->size());
    if (loIndex < 0 || hiIndex < loIndex || hiIndex >= size) return result;
    first = (*values)[loIndex];
    range = static_cast<long double>((*values)[hiIndex]) - first;
    if (!(range > 0)) return result;
    const int indexCount = hiIndex - loIndex + 1;
    pixelsPerUnit = static_cast<long double>(W - 2) / indexCount;
    minimumStep = static_cast<long double>(indexCount) / labelCount;
  }
  if (!(pixelsPerUnit > 0) || !std::isfinite(pixelsPerUnit)) return result;

  TDateStep step;
  double tick = 0;
  if (!dateLabels) {
    step.step = axisNumberStep(minimumStep, labelCount, range);
    if (!(step.step > 0)) return result;
    step.kind = TDateTickKind::plain;
    tick = static_cast<double>(step.step * std::nearbyint(first / step.step));
  } else {
    step = axisDateStep(range);
    if (!(step.step > 0) || !firstDateTick(step, static_cast<double>(first), tick)) return result;
  }
  tickStep_ = step.step;
  if (dateLabels) {
    timeFormatChosen_ = step.kind == TDateTickKind::plain &&
                        (indexed ? range < 1 : static_cast<long double>(hi) - tick <= 1);
  }

  TTickRun run{result, textWidth, W, labelTop};
  if (!indexed) {
    int x = roundPixel((tick - first) * pixelsPerUnit) + 1;
    while (x <= W) {
      if (x > run.lastTickEnd) placeTick(run, x, tick);
      if (x >= W) break;
      if (!nextTickAfter(step, tick, tick)) break;
      x = roundPixel((tick - first) * pixelsPerUnit) + 1;
    }
  } else {
    const int size = static_cast<int>(values->size());
    for (int i = loIndex; i <= hiIndex; ++i) {
      const int x = roundPixel((i - loIndex) * pixelsPerUnit) + 1;
      if (x <= run.lastTickEnd) continue;
      if (i < 0 || i >= size) break;
      const double value = (*values)[i];
      if (value >= tick) {
        placeTick(run, x, value);
        if (!nextTickAfter(step, value, tick)) break;
      }
    }
  }

  if (showSlider) {
    bool known = true;
    double value = 0;
    if (!indexed) {
      value = static_cast<double>((sliderPos - 1) / pixelsPerUnit + lo);
    } else {
      const int i = roundPixel((sliderPos - 1) / pixelsPerUnit) + loIndex;
      known = i >= 0 && i < static_cast<int>(values->size());
      if (known) value = (*values)[i];
    }
    if (known) {
      TAxisSlider& slider = result.slider;
      slider.text = paddedLabel(formatTick(value));
      const int w = textWidth(slider.text);
      int left = sliderPos < 1 ? 0 : std::max(0, sliderPos - w / 2);
      if (left + w > W) left = W - w;
      if (left >= 0) {
        slider.shown = true;
        slider.labelLeft = left;
        slider.labelTop = labelTop;
      }
    }
  }
  return result;
}

// ---------------------------------------------------------------- Y axis

TYAxisModel::TYAxisModel() {
  bigTickWidth = 4;
  bigTickHeight = 2;
  smallTickWidth = 3;
  smallTickHeight = 1;
}

std::string TYAxisModel::formatTick(double value) const { return formatValue(tickDecimals(tickStep_), value); }

TAxisLayout TYAxisModel::layout(int width, int height, int labelHeight, const TTextWidth& textWidth) {
  TAxisLayout result;
  const int H = height;
  if (!rightOfGraph) {
    result.baseLine = width - 1;
    result.bigTickEnd = result.baseLine - bigTickWidth;
    result.smallTickEnd = result.baseLine - smallTickWidth;
  } else {
    result.baseLine = 0;
    result.bigTickEnd = bigTickWidth;
    result.smallTickEnd = smallTickWidth;
  }
  const int e = result.bigTickEnd;
  const long double range = static_cast<long double>(hi) - lo;
  if (!(range > 0) || labelHeight <= 0) return result;

  const bool logScale = logarithmicInEffect();
  long double pixelsPerUnit = 0, minimumStep = 0;
  if (!logScale) {
    pixelsPerUnit = H / range;
    minimumStep = labelHeight / pixelsPerUnit;
  } else {
    pixelsPerUnit = H / std::log(static_cast<long double>(hi) / lo);
    minimumStep = lo * (std::exp(H / pixelsPerUnit) - std::exp((H - labelHeight) / pixelsPerUnit));
  }
  const long double labelCount = static_cast<long double>(H) / labelHeight;
  if (!(pixelsPerUnit > 0) || !(minimumStep > 0) || !std::isfinite(pixelsPerUnit)) return result;
  long double step = axisNumberStep(minimumStep, labelCount, range);
  if (!(step > 0)) return result;
  tickStep_ = step;

  auto toY = [&](long double v) {
    if (!logScale) return H - roundPixel((v - lo) * pixelsPerUnit);
    if (!(v > 0)) return farPixel;
    return H - roundPixel(std::log(v / lo) * pixelsPerUnit);
  };
  // k in extended precision: hi / step overflows 32 bits on large values
  // over narrow ranges.
  long double k = std::trunc(hi / step);
  long double v = k * step;
  int y = toY(v);
  int lastTickEnd = -1;
  int lastLabelEnd = -1;
  const int halfLabel = labelHeight / 2 + 1;
  while (y <= H) {
    if (y > lastTickEnd) {
      TAxisTick tick;
      tick.position = y;
      if (y > lastLabelEnd && y <= H - labelHeight) {
        tick.labelled = true;
        tick.text = formatTick(static_cast<double>(v));
        const int w = textWidth(tick.text);
        tick.labelLeft = !rightOfGraph ? std::max(0, e - labelMargin - w) : e + labelMargin;
        tick.labelTop = y - halfLabel;
        tick.labelShown = y > halfLabel;
        lastLabelEnd = y + labelHeight;
        result.tickPositions.push_back(y);
        lastTickEnd = y + bigTickHeight / 2 + 1;
      } else {
        lastTickEnd = y + smallTickHeight / 2 + 1;
      }
      result.ticks.push_back(std::move(tick));
    }
    if (y >= H) break;
    if (logScale && k == 1) {
      step *= 0.1L;
      k = 10;
    }
    const long double nextK = k - 1;
    // A step lost in the magnitude of k would never move the tick.
    if (nextK == k) break;
    k = nextK;
    v = k * step;
    y = toY(v);
  }

  if (showSlider) {
    const long double value =
        logScale ? std::exp((H - sliderPos) / pixelsPerUnit) * lo : (H - sliderPos) / pixelsPerUnit + lo;
    TAxisSlider& slider = result.slider;
    slider.text = paddedLabel(formatTick(static_cast<double>(value)));
    const int w = textWidth(slider.text);
    slider.labelLeft = !rightOfGraph ? std::max(0, e - labelMargin - w) : e + labelMargin;
    const int top = std::min(std::max(sliderPos - halfLabel, 0), H - labelHeight);
    slider.shown = top >= 0;
    slider.labelTop = top;
  }
  return result;
}
