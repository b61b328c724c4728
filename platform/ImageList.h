#pragma once
#include <windows.h>
#include <commctrl.h>

#include "platform/Colors.h"

class TBitmap;
class TCanvas;

// A common-controls image list of equal-sized images with a mask.
class TImageList {
 public:
  TImageList(int width, int height);
  ~TImageList();
  TImageList(const TImageList&) = delete;
  TImageList& operator=(const TImageList&) = delete;

  HIMAGELIST handle() const { return list_; }
  int width() const { return width_; }
  int height() const { return height_; }
  int count() const;

  // Adds the images of a strip (a bitmap as wide as several images); pixels
  // of the mask colour stay transparent. Returns the index of the first.
  int add(const TBitmap& strip, TColor maskColor);
  void clear();
  void draw(TCanvas& canvas, int x, int y, int index) const;

 private:
  HIMAGELIST list_;
  int width_;
  int height_;
};
