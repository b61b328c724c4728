#include "platform/Bevel.h"

#include "platform/Canvas.h"

TBevel::TBevel(TControl* parent) : TControl(parent) {
  TWindowParams params;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  createWindow(params);
}

// Only the frame is drawn: what lies inside shows through.
LRESULT TBevel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;
  return TControl::handleMessage(message, wParam, lParam);
}

void TBevel::paint(TCanvas& canvas) { canvas.frame3D(clientRect(), clBtnShadow, clBtnHighlight); }
