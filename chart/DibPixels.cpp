#include "chart/DibPixels.h"

#include <algorithm>

#include "platform/GdiObjects.h"

TDibPixels::TDibPixels(HDC dc) : dc_(dc) {
  if (dc == nullptr || GetObjectType(dc) != OBJ_MEMDC) return;
  DIBSECTION dib{};
  HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
  if (bitmap == nullptr || GetObjectA(bitmap, sizeof(dib), &dib) != sizeof(dib)) return;
  if (dib.dsBm.bmBits == nullptr || dib.dsBm.bmBitsPixel != 32 || dib.dsBmih.biCompression != BI_RGB) return;
  POINT viewportOrigin{}, windowOrigin{};
  GetViewportOrgEx(dc, &viewportOrigin);
  GetWindowOrgEx(dc, &windowOrigin);
  if (GetMapMode(dc) != MM_TEXT || GetGraphicsMode(dc) != GM_COMPATIBLE || viewportOrigin.x != 0 ||
      viewportOrigin.y != 0 || windowOrigin.x != 0 || windowOrigin.y != 0) {
    return;
  }
  bits_ = static_cast<uint32_t*>(dib.dsBm.bmBits);
  width_ = dib.dsBm.bmWidth;
  height_ = dib.dsBm.bmHeight;
  if (width_ <= 0 || height_ <= 0) bits_ = nullptr;
}

bool TDibPixels::ready() {
  if (bits_ == nullptr || GetROP2(dc_) != R2_COPYPEN) return false;
  TRegionHandle clip(CreateRectRgn(0, 0, 0, 0));
  if (GetClipRgn(dc_, clip.get()) != 0) return false;
  GdiFlush();
  if (!orientationKnown_) findOrientation();
  return true;
}

void TDibPixels::findOrientation() {
  // The header given back does not say reliably which way up the rows lie:
  // a pixel set at the top (nothing clips it now) shows where the top row
  // is. The words touched are put back as they were.
  uint32_t* first = bits_;
  uint32_t* last = bits_ + static_cast<ptrdiff_t>(height_ - 1) * width_;
  const uint32_t firstWord = *first;
  const uint32_t lastWord = *last;
  *first = 0;
  *last = 0;
  SetPixel(dc_, 0, 0, RGB(1, 2, 3));
  GdiFlush();
  topDown_ = *first != 0;
  *first = firstWord;
  *last = lastWord;
  orientationKnown_ = true;
}

void TDibPixels::fill(int y, int x0, int x1, uint32_t pixel) const {
  if (y < 0 || y >= height_) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, width_);
  if (x0 < x1) std::fill(row(y) + x0, row(y) + x1, pixel);
}

uint32_t TDibPixels::pixelOf(TColor color) {
  const COLORREF rgb = colorToRGB(color);
  return (static_cast<uint32_t>(GetRValue(rgb)) << 16) | (static_cast<uint32_t>(GetGValue(rgb)) << 8) | GetBValue(rgb);
}
