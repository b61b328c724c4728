#pragma once
#include <functional>

#include "platform/Panel.h"

// A panel that takes the keyboard: the drawn controls built on it (the plot,
// the text editor) receive the arrow keys, Tab and characters.
class TKeyPanel : public TPanel {
 public:
  explicit TKeyPanel(TControl* parent);

  bool WantArrows = true;
  bool WantTabs = true;
  bool WantChars = true;

  std::function<bool(TShiftState, int x, int y)> onMouseWheelDown;
  std::function<bool(TShiftState, int x, int y)> onMouseWheelUp;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool mouseWheel(int delta, TShiftState shift, int x, int y) override;
};
