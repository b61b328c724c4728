#pragma once

// What shows of the slider window's column of groups when the window is
// shorter than the column: the scroll position in pixels from its top.
class TSliderScrolling {
 public:
  // The column's height and the visible height; the position is kept within
  // what can be scrolled.
  void setExtent(int contentHeight, int pageHeight);
  void setPosition(int position);
  // Scrolls as little as needed for the span [top, bottom) of the column to
  // show whole, or its top when it is taller than the page.
  void show(int top, int bottom);

  int position() const { return position_; }
  int contentHeight() const { return contentHeight_; }
  int pageHeight() const { return pageHeight_; }
  int maximumPosition() const;
  bool needed() const { return maximumPosition() > 0; }

 private:
  int contentHeight_ = 0;
  int pageHeight_ = 0;
  int position_ = 0;
};
