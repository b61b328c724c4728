#include "platform/Canvas.h"

#include "platform/Bitmap.h"

TCanvas::TCanvas(HDC dc) : dc_(dc), savedState_(SaveDC(dc)) {
  setPen(clBlack);
  setBrush(clWhite);
}

TCanvas::~TCanvas() {
  // Puts the DC's own objects back before our owners delete theirs.
  if (savedState_) RestoreDC(dc_, savedState_);
}

void TCanvas::setPen(TColor color, int width, int style) {
  penColor_ = color;
  TPenHandle pen(color == clNone ? static_cast<HPEN>(GetStockObject(NULL_PEN))
                                 : CreatePen(style, width, colorToRGB(color)));
  SelectObject(dc_, pen.get());
  if (color == clNone) pen.release();  // stock objects are never deleted
  pen_ = std::move(pen);
}

void TCanvas::setPenMode(int mode) { SetROP2(dc_, mode); }

void TCanvas::setBrush(TColor color, TBrushStyle style) {
  brushColor_ = color;
  brushStyle_ = style;
  HBRUSH handle = nullptr;
  switch (style) {
    case TBrushStyle::clear:
      handle = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
      break;
    case TBrushStyle::solid:
      handle = CreateSolidBrush(colorToRGB(color));
      break;
    case TBrushStyle::horizontal:
      handle = CreateHatchBrush(HS_HORIZONTAL, colorToRGB(color));
      break;
    case TBrushStyle::vertical:
      handle = CreateHatchBrush(HS_VERTICAL, colorToRGB(color));
      break;
    case TBrushStyle::crossing:
      handle = CreateHatchBrush(HS_CROSS, colorToRGB(color));
      break;
  }
  SelectObject(dc_, handle);
  brush_.reset(style == TBrushStyle::clear ? nullptr : handle);
  applyBrushMode();
}

void TCanvas::applyBrushMode() {
  if (brushStyle_ == TBrushStyle::solid) {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, colorToRGB(brushColor_));
  } else {
    SetBkMode(dc_, TRANSPARENT);
  }
}

void TCanvas::setFont(const TFont& font) {
  font_ = font;  // keeps the shared handle alive while selected
  SelectObject(dc_, font_.handle());
  SetTextColor(dc_, colorToRGB(font_.color()));
}

void TCanvas::moveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }
void TCanvas::lineTo(int x, int y) { LineTo(dc_, x, y); }

void TCanvas::line(int x1, int y1, int x2, int y2) {
  MoveToEx(dc_, x1, y1, nullptr);
  LineTo(dc_, x2, y2);
}

void TCanvas::polyline(const std::vector<POINT>& points) {
  if (!points.empty()) Polyline(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::polygon(const std::vector<POINT>& points) {
  if (!points.empty()) Polygon(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::rectangle(const RECT& rect) { Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom); }
void TCanvas::ellipse(const RECT& rect) { Ellipse(dc_, rect.left, rect.top, rect.right, rect.bottom); }

void TCanvas::fillRect(const RECT& rect) {
  if (brush_) FillRect(dc_, &rect, brush_.get());
}

void TCanvas::fillRect(const RECT& rect, TColor color) {
  TBrushHandle brush(CreateSolidBrush(colorToRGB(color)));
  FillRect(dc_, &rect, brush.get());
}

void TCanvas::frameRect(const RECT& rect, TColor color) {
  TBrushHandle brush(CreateSolidBrush(colorToRGB(color)));
  FrameRect(dc_, &rect, brush.get());
}

void TCanvas::frame3D(RECT rect, TColor topLeft, TColor bottomRight, int width) {
  for (int step = 0; step < width && rect.right - rect.left > 1 && rect.bottom - rect.top > 1; ++step) {
    fillRect({rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
    fillRect({rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
    fillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
    fillRect({rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
    InflateRect(&rect, -1, -1);
  }
}

void TCanvas::setPixel(int x, int y, TColor color) { SetPixel(dc_, x, y, colorToRGB(color)); }
COLORREF TCanvas::pixel(int x, int y) const { return GetPixel(dc_, x, y); }

void TCanvas::textOut(int x, int y, const std::string& text) {
  TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

void TCanvas::textOutDx(int x, int y, const std::string& text, const std::vector<int>& advances,
                        const RECT* clip) {
  // ExtTextOut reads one advance a character: a shorter array would be read
  // past its end, so such a call draws without the advances.
  const bool withAdvances = advances.size() >= text.size();
  ExtTextOutA(dc_, x, y, clip ? ETO_CLIPPED : 0, clip, text.data(), static_cast<UINT>(text.size()),
              withAdvances ? advances.data() : nullptr);
}

void TCanvas::textRect(const RECT& rect, const std::string& text, UINT format) {
  RECT bounds = rect;
  DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &bounds, format);
}

SIZE TCanvas::textExtent(const std::string& text) const {
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

void TCanvas::setClipRect(const RECT& rect) {
  TRegionHandle region(CreateRectRgnIndirect(&rect));
  SelectClipRgn(dc_, region.get());  // the DC keeps its own copy
}

void TCanvas::intersectClipRect(const RECT& rect) {
  IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void TCanvas::clearClip() { SelectClipRgn(dc_, nullptr); }

void TCanvas::draw(int x, int y, const TBitmap& bitmap) {
  BitBlt(dc_, x, y, bitmap.width(), bitmap.height(), bitmap.canvas().handle(), 0, 0, SRCCOPY);
}

void TCanvas::stretchDraw(const RECT& target, const TBitmap& bitmap) {
  // Shrinking averages the pixels it drops; enlarging repeats them exactly.
  const bool shrinking = target.right - target.left < bitmap.width() || target.bottom - target.top < bitmap.height();
  SetStretchBltMode(dc_, shrinking ? HALFTONE : COLORONCOLOR);
  SetBrushOrgEx(dc_, 0, 0, nullptr);
  StretchBlt(dc_, target.left, target.top, target.right - target.left, target.bottom - target.top,
             bitmap.canvas().handle(), 0, 0, bitmap.width(), bitmap.height(), SRCCOPY);
}

void TCanvas::copyRect(const RECT& target, const TCanvas& source, const RECT& sourceRect) {
  StretchBlt(dc_, target.left, target.top, target.right - target.left, target.bottom - target.top, source.dc_,
             sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
             sourceRect.bottom - sourceRect.top, SRCCOPY);
}
