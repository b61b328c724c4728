#include "chart/PositionReadout.h"

#include <cmath>

#include "model/TextFormatting.h"

namespace {

std::string fixed(const TMeasureInput& input, int decimals, long double value) {
  if (!std::isfinite(value)) return {};
  try {
    return formatFixed(decimals, !input.commas, input.trimZeros, value, input.decimalSeparator,
                       input.thousandSeparator);
  } catch (...) {
    return {};
  }
}

}  // namespace

std::string measureText(const TMeasureInput& input) {
  std::string dxText = input.continuousX ? input.dxAxisText
                                         : fixed(input, 0, std::nearbyint(input.dx));
  if (input.dx >= 0) dxText = "+" + dxText;
  std::string dyText = input.dyAxisText;
  if (input.dy >= 0) dyText = "+" + dyText;
  const bool anchorIsZero = input.anchorY == 0 || !std::isfinite(input.anchorY);
  if (!anchorIsZero) dyText += " (" + fixed(input, 2, std::fabs(input.dy / input.anchorY) * 100) + "%)";
  std::string text = dxText + " : " + dyText;
  if (input.dx != 0 && std::isfinite(input.dx)) {
    const long double slope = input.dy / input.dx;
    text += slope < 0 ? "\nk = " : "\nk = +";
    text += fixed(input, 4, slope);
    if (!anchorIsZero) text += " (" + fixed(input, 4, std::fabs(slope / input.anchorY) * 100) + "%)";
  }
  return text;
}
