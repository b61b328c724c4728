#include "controls/SpinRepeat.h"

#include <algorithm>
#include <cmath>

#include "sheet/Sheet.h"

void TSpinRepeat::start(int direction) {
  direction_ = direction > 0 ? 1 : -1;
  stepsTaken_ = 0;
  delayMs_ = firstDelayMs;
}

void TSpinRepeat::stop() { direction_ = 0; }

unsigned TSpinRepeat::nextDelayMs() {
  if (stepsTaken_++ == 0) return 0;
  const unsigned delay = std::max(floorDelayMs, static_cast<unsigned>(std::lround(delayMs_)));
  delayMs_ *= 0.9;
  return delay;
}

bool spinStep(const TSheet& sheet, std::string& text, int direction) {
  // A cleared edit counts from 0, as an empty number cell shows it.
  double value = 0.0;
  if (text.find_first_not_of(" \t") != std::string::npos && !sheet.tryStrToFloat(text, value)) return false;
  text = sheet.floatToStr(value + direction);
  return true;
}
