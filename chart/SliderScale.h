#pragma once
#include <string>

// One slider of the parameter window without its controls: the parameter's
// range, the grid of values Low + k * step it offers, the track bar
// positions that stand for them and the text that shows them. The text is
// read back at every change, so it shows every grid value exactly.
class TSliderScale {
 public:
  TSliderScale(long double value, long double low, long double high, int steps);

  // The smallest number of decimals, at most maxDecimals, at which both low
  // and step are whole multiples of 10^-decimals (relative tolerance 1e-9).
  static int countDecimals(int maxDecimals, long double low, long double step);

  static constexpr int maxTrackPositions = 1000;
  int trackMaximum() const { return trackMaximum_; }
  int positionOf(long double value) const;
  // The grid value nearest to the position.
  long double valueAt(int position) const;
  long double clamp(long double value) const;
  // The value as the edit box shows it, in the user's decimal separator.
  std::string format(long double value) const;
  // A number read from the edit box, clamped; Low for text that is not one.
  long double read(const std::string& text) const;

  long double Value;
  long double Low;
  long double High;
  int Steps;
  long double step;
  int decimals;

 private:
  int trackMaximum_;
};
