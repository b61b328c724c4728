#include "chart/SliderScale.h"

#include <algorithm>
#include <cmath>

#include "model/TextFormatting.h"
#include "platform/LocaleSettings.h"
#include "sheet/NumberText.h"

TSliderScale::TSliderScale(long double value, long double low, long double high, int steps)
    : Value(value),
      Low(low),
      High(high),
      Steps(steps),
      step(steps > 1 ? (high - low) / (steps - 1) : 0),
      decimals(countDecimals(10, low, step)),
      trackMaximum_(std::min(steps, maxTrackPositions)) {}

int TSliderScale::countDecimals(int maxDecimals, long double low, long double step) {
  auto whole = [](long double x) {
    const long double nearest = std::round(x);
    return std::fabs(x - nearest) <= 1e-9L * std::max(1.0L, std::fabs(x));
  };
  long double scale = 1;
  for (int d = 0; d < maxDecimals; ++d, scale *= 10) {
    if (whole(low * scale) && whole(step * scale)) return d;
  }
  return maxDecimals;
}

int TSliderScale::positionOf(long double value) const {
  if (High <= Low) return 0;
  return static_cast<int>(std::lround(static_cast<double>(trackMaximum_ * (value - Low) / (High - Low))));
}

long double TSliderScale::valueAt(int position) const {
  if (trackMaximum_ <= 0 || step <= 0) return Low;
  const long double fraction = (High - Low) * position / trackMaximum_;
  return clamp(Low + step * std::round(fraction / step));
}

long double TSliderScale::clamp(long double value) const { return std::max(Low, std::min(High, value)); }

std::string TSliderScale::format(long double value) const {
  try {
    return formatFixed(decimals, true, false, value, std::string(1, localeSettings().decimalSeparator), "");
  } catch (...) {
    return std::string();
  }
}

long double TSliderScale::read(const std::string& text) const {
  double number = 0;
  return localTextToFloat(text, number) ? clamp(number) : Low;
}
