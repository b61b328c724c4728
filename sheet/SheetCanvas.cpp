#include "sheet/SheetCanvas.h"

namespace {
constexpr int pointsPerInch = 72;
}  // namespace

TSheetCanvas::TSheetCanvas(HDC dc) : dc_(dc) {}

TSheetCanvas::~TSheetCanvas() {
  if (createdFont_) {
    SelectObject(dc_, originalFont_);
    DeleteObject(createdFont_);
  }
}

void TSheetCanvas::realiseFont() {
  if (createdFont_ && realisedFont_ == font) return;
  LOGFONTA description{};
  description.lfHeight = -MulDiv(font.size, GetDeviceCaps(dc_, LOGPIXELSY), pointsPerInch);
  description.lfWeight = (font.style & fsBold) ? FW_BOLD : FW_NORMAL;
  description.lfItalic = (font.style & fsItalic) ? TRUE : FALSE;
  description.lfUnderline = (font.style & fsUnderline) ? TRUE : FALSE;
  description.lfStrikeOut = (font.style & fsStrikeOut) ? TRUE : FALSE;
  description.lfCharSet = static_cast<BYTE>(font.charSet);
  description.lfPitchAndFamily = static_cast<BYTE>(font.pitch);
  lstrcpynA(description.lfFaceName, font.name.c_str(), LF_FACESIZE);
  HFONT created = CreateFontIndirectA(&description);
  if (!created) return;
  HGDIOBJ previous = SelectObject(dc_, created);
  if (createdFont_) {
    DeleteObject(createdFont_);
  } else {
    originalFont_ = previous;
  }
  createdFont_ = created;
  realisedFont_ = font;
}

void TSheetCanvas::fillRect(const RECT& rect) {
  HBRUSH brush = CreateSolidBrush(colorToRGB(brushColor));
  if (!brush) return;
  FillRect(dc_, &rect, brush);
  DeleteObject(brush);
}

SIZE TSheetCanvas::textExtent(const std::string& text) {
  realiseFont();
  SIZE size{0, 0};
  GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

void TSheetCanvas::textOut(int x, int y, const std::string& text) {
  realiseFont();
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, colorToRGB(font.color));
  TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

void TSheetCanvas::textRect(const RECT& clip, int x, int y, const std::string& text) {
  realiseFont();
  SetBkMode(dc_, TRANSPARENT);
  SetTextColor(dc_, colorToRGB(font.color));
  ExtTextOutA(dc_, x, y, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}
