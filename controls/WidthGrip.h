#pragma once
#include <functional>

#include "platform/Control.h"

// A narrow grip at the right end of a list or box: dragging it with the
// left button reports how far the mouse moved, and the host resizes.
class TWidthGrip : public TControl {
 public:
  explicit TWidthGrip(TControl* parent, int height = 22);
  std::function<void(int dx)> onDrag;

 protected:
  void mouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void mouseMove(TShiftState shift, int x, int y) override;
  void mouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  bool dragging_ = false;
  int grabX_ = 0;
};
