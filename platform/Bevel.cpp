#include "platform/Bevel.h"

#include "platform/Canvas.h"

TBevel::TBevel(TControl* parent, TBevelShape shape, TBevelCut style) : TControl(parent), shape_(shape), style_(style) {
  TWindowParams params;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  params.bounds = {0, 0, 50, 50};
  createWindow(params);
}

LRESULT TBevel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;
  return TControl::handleMessage(message, wParam, lParam);
}

void TBevel::setShape(TBevelShape shape) {
  shape_ = shape;
  invalidate();
}

void TBevel::setStyle(TBevelCut style) {
  style_ = style;
  invalidate();
}

void TBevel::paint(TCanvas& canvas) {
  const RECT r = clientRect();
  const TColor first = style_ == TBevelCut::raised ? clBtnHighlight : clBtnShadow;
  const TColor second = style_ == TBevelCut::raised ? clBtnShadow : clBtnHighlight;
  switch (shape_) {
    case TBevelShape::box:
      canvas.frame3D(r, first, second);
      break;
    case TBevelShape::frame:
      canvas.frameRect({r.left, r.top, r.right - 1, r.bottom - 1}, first);
      canvas.frameRect({r.left + 1, r.top + 1, r.right, r.bottom}, second);
      break;
    case TBevelShape::topLine:
      canvas.fillRect({r.left, r.top, r.right, r.top + 1}, first);
      canvas.fillRect({r.left, r.top + 1, r.right, r.top + 2}, second);
      break;
    case TBevelShape::bottomLine:
      canvas.fillRect({r.left, r.bottom - 2, r.right, r.bottom - 1}, first);
      canvas.fillRect({r.left, r.bottom - 1, r.right, r.bottom}, second);
      break;
    case TBevelShape::leftLine:
      canvas.fillRect({r.left, r.top, r.left + 1, r.bottom}, first);
      canvas.fillRect({r.left + 1, r.top, r.left + 2, r.bottom}, second);
      break;
    case TBevelShape::rightLine:
      canvas.fillRect({r.right - 2, r.top, r.right - 1, r.bottom}, first);
      canvas.fillRect({r.right - 1, r.top, r.right, r.bottom}, second);
      break;
  }
  TControl::paint(canvas);
}
