#pragma once
#include <string>

// The distance read-out of the measuring mode: from the anchor (pressed at
// the measuring line's start) to the mouse.
struct TMeasureInput {
  long double dx = 0;           // X units, or bars when X is by index
  bool continuousX = true;
  std::string dxAxisText;       // dx formatted by the X axis (continuous X)
  long double dy = 0;
  std::string dyAxisText;       // dy formatted by the Y axis
  long double anchorY = 0;
  // The Y axis' number settings for the percentages and the slope.
  bool commas = false;
  bool trimZeros = true;
  std::string decimalSeparator;
  std::string thousandSeparator;
};

// "dx : dy (p%)" and, on a second line, "k = slope (q%)". The percentages
// are left out when the anchor is 0 and the slope when dx is 0: there is
// nothing to divide by (a press without a move).
std::string measureText(const TMeasureInput& input);
