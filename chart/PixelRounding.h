#pragma once
#include <cmath>

// Chart coordinates: values mapped to pixels are rounded half to even, as the
// rest of the program rounds, and clamped first, so that a value far outside
// the view (a huge price on a narrow range) cannot overflow the conversion.
constexpr int farPixel = 1 << 28;

inline int roundPixel(long double position) {
  if (std::isnan(position)) return farPixel;
  if (position > farPixel) return farPixel;
  if (position < -farPixel) return -farPixel;
  // rint rounds as nearbyint does in the default mode, without saving and
  // restoring the floating-point state, which costs ten times the rounding.
  return static_cast<int>(std::rint(position));
}
