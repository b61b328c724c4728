#pragma once
#include <functional>

#include "controls/SpinRepeat.h"
#include "platform/Control.h"
#include "platform/Timer.h"

// An up-down button that repeats while held on the program's own schedule:
// a step at once, the next after 0.2 s, then each wait 0.9 times the one
// before. The upper half steps +1, the lower half -1.
class TSpinButton : public TControl {
 public:
  explicit TSpinButton(TControl* parent);

  // The direction of the step held now: +1, -1, or 0 when released.
  int position() const { return repeat_.direction(); }
  std::function<void(int direction)> onSpin;
  // Ends a repeat at once (its editor closes, its value cannot be stepped).
  void stop();

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void step();

  TSpinRepeat repeat_;
  TTimer timer_;
};
