#include "controls/PaintBoxEx.h"

TPaintBoxEx::TPaintBoxEx(TControl* parent) : TControl(parent) {
  TWindowParams params;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  createWindow(params);
}

LRESULT TPaintBoxEx::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEWHEEL:
      if (parent()) return SendMessageA(parent()->handle(), message, wParam, lParam);
      break;
    default:
      break;
  }
  return TControl::handleMessage(message, wParam, lParam);
}
