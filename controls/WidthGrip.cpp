#include "controls/WidthGrip.h"

TWidthGrip::TWidthGrip(TControl* parent, int height) : TControl(parent) {
  TWindowParams params;
  params.bounds = {0, 0, 2, height};
  createWindow(params);
  setCursor(IDC_SIZEWE);
}

void TWidthGrip::mouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TControl::mouseDown(button, shift, x, y);
  if (button == TMouseButton::left) grabX_ = x;
  dragging_ = button == TMouseButton::left;
}

void TWidthGrip::mouseMove(TShiftState shift, int x, int y) {
  TControl::mouseMove(shift, x, y);
  if (dragging_ && onDrag && x != grabX_) onDrag(x - grabX_);
}

void TWidthGrip::mouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TControl::mouseUp(button, shift, x, y);
  dragging_ = false;
}
