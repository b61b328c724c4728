#pragma once
#include <functional>

#include "platform/Control.h"

// A system scroll bar that keeps its range, page and position as the edit
// panel sets them, and reports both scrolling and mouse presses.
class TScrollBarEx : public TControl {
 public:
  TScrollBarEx(TControl* parent, bool vertical);

  int min() const { return min_; }
  int max() const { return max_; }
  int position() const { return position_; }
  int pageSize() const { return page_; }
  int largeChange() const { return largeChange_; }
  void setMin(int min);
  void setSmallChange(int change) { smallChange_ = change; }
  // Nothing happens when all three are as they were, so that repeated
  // paints do not make the bar flicker.
  void setParams(int max, int position, int page);

  std::function<void(int position)> onScroll;
  // Set, it takes every scroll code instead (with the thumb's position for
  // the thumb codes) and the owner moves the bar: the sheet grid scrolls
  // lines by codes and maps the bar's fixed scale itself.
  std::function<void(WORD code, int thumbPosition)> onScrollCode;

 protected:
  bool scrollReceived(WORD code, int position) override;

 private:
  void apply();

  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int page_ = 0;
  int smallChange_ = 1;
  int largeChange_ = 1;
};
