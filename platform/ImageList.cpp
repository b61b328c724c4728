#include "platform/ImageList.h"

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

TImageList::TImageList(int width, int height)
    : list_(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4)), width_(width), height_(height) {}

TImageList::~TImageList() {
  if (list_) ImageList_Destroy(list_);
}

int TImageList::count() const { return ImageList_GetImageCount(list_); }

int TImageList::add(const TBitmap& strip, TColor maskColor) {
  // The list selects what it is given into a DC of its own, which the strip's
  // DIB (selected in the strip's DC for good) cannot be: it gets a copy.
  TWindowDC screen(nullptr);
  TBitmapHandle compatible(CreateCompatibleBitmap(screen.get(), strip.width(), strip.height()));
  {
    TMemoryDC dc(screen.get());
    TSelectedObject selected(dc.get(), compatible.get());
    BitBlt(dc.get(), 0, 0, strip.width(), strip.height(), strip.canvas().handle(), 0, 0, SRCCOPY);
  }
  return ImageList_AddMasked(list_, compatible.get(), colorToRGB(maskColor));
}

void TImageList::clear() { ImageList_RemoveAll(list_); }

void TImageList::draw(TCanvas& canvas, int x, int y, int index) const {
  ImageList_Draw(list_, index, canvas.handle(), x, y, ILD_NORMAL);
}
