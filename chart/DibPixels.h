#pragma once
#include <windows.h>

#include <cstdint>

#include "platform/Colors.h"

// The memory of the DIB section a memory DC draws on, for shapes written
// straight into it instead of through one GDI call each. Only a 32-bit DIB
// drawn on without mapping qualifies; anything else keeps to GDI.
class TDibPixels {
 public:
  explicit TDibPixels(HDC dc);

  // True when pixels may be written now: the DC copies its pen (no
  // inversion) and clips to nothing but the bitmap. Finishes GDI's pending
  // drawing first, so that what is written lands on top of it.
  bool ready();

  int width() const { return width_; }
  int height() const { return height_; }
  uint32_t* row(int y) const { return bits_ + static_cast<ptrdiff_t>(topDown_ ? y : height_ - 1 - y) * width_; }
  // Fills pixels x0 to x1 - 1 of row y, clipped to the bitmap.
  void fill(int y, int x0, int x1, uint32_t pixel) const;

  // The word GDI writes for a solid colour.
  static uint32_t pixelOf(TColor color);

 private:
  void findOrientation();

  HDC dc_;
  uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool topDown_ = true;
  bool orientationKnown_ = false;
};
