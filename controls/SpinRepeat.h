#pragma once
#include <string>

class TSheet;

// The repeat schedule of a held spin button: a step at once, the next after
// 200 ms, then each wait 0.9 times the one before, never below 30 ms.
class TSpinRepeat {
 public:
  static constexpr unsigned firstDelayMs = 200;
  static constexpr unsigned floorDelayMs = 30;

  // direction +1 (upper half) or -1 (lower half).
  void start(int direction);
  void stop();
  bool active() const { return direction_ != 0; }
  int direction() const { return direction_; }
  // The wait before the next step: 0 for the first, then 200, 180, 162 ...
  unsigned nextDelayMs();

 private:
  int direction_ = 0;
  int stepsTaken_ = 0;
  double delayMs_ = firstDelayMs;
};

// One spin step on an editor's text: the number read with the sheet's
// separators plus direction, written back with them. False (text untouched)
// when the text is not a number.
bool spinStep(const TSheet& sheet, std::string& text, int direction);
