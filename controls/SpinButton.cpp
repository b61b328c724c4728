#include "controls/SpinButton.h"

#include <commctrl.h>
#include <windowsx.h>

TSpinButton::TSpinButton(TControl* parent) : TControl(parent), timer_(200, [this] { step(); }) {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  TWindowParams params;
  params.className = UPDOWN_CLASSA;
  params.style = WS_CHILD | WS_VISIBLE;
  params.bounds = {0, 0, 16, 21};
  createWindow(params);
}

void TSpinButton::stop() {
  repeat_.stop();
  timer_.setEnabled(false);
  if (GetCapture() == handle()) ReleaseCapture();
}

void TSpinButton::step() {
  if (!repeat_.active()) {
    timer_.setEnabled(false);
    return;
  }
  if (onSpin) onSpin(repeat_.direction());
  timer_.setInterval(repeat_.nextDelayMs());
  timer_.restart();
}

LRESULT TSpinButton::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    // The system's own repeat and acceleration are left out: presses and
    // releases drive the schedule here.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetCapture(handle());
      repeat_.start(GET_Y_LPARAM(lParam) < clientHeight() / 2 ? 1 : -1);
      repeat_.nextDelayMs();  // the step at once
      step();
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (GetCapture() == handle()) ReleaseCapture();
      repeat_.stop();
      timer_.setEnabled(false);
      return 0;
    default:
      return TControl::handleMessage(message, wParam, lParam);
  }
}
