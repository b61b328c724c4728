#include "controls/KeyPanel.h"

TKeyPanel::TKeyPanel(TControl* parent) : TPanel(parent) {}

LRESULT TKeyPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETDLGCODE) {
    // Built from nothing: what a panel would answer by itself does not count.
    LRESULT codes = 0;
    if (WantArrows) codes |= DLGC_WANTARROWS;
    if (WantTabs) codes |= DLGC_WANTTAB;
    if (WantChars) codes |= DLGC_WANTCHARS;
    return codes;
  }
  return TPanel::handleMessage(message, wParam, lParam);
}

bool TKeyPanel::mouseWheel(int delta, TShiftState shift, int x, int y) {
  if (TPanel::mouseWheel(delta, shift, x, y)) return true;
  if (delta < 0 && onMouseWheelDown) return onMouseWheelDown(shift, x, y);
  if (delta > 0 && onMouseWheelUp) return onMouseWheelUp(shift, x, y);
  return false;
}
