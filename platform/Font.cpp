#include "platform/Font.h"

#include <cstring>

#include "platform/GdiObjects.h"

int screenPixelsPerInch() {
  TWindowDC screen(nullptr);
  return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

TFont::TFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    name_ = metrics.lfMessageFont.lfFaceName;
    height_ = metrics.lfMessageFont.lfHeight;
  } else {
    name_ = "Tahoma";
  }
  if (height_ == 0) height_ = -11;
}

TFont::TFont(const std::string& name, int size, unsigned style) : name_(name), style_(style) { setSize(size); }

int TFont::size() const { return MulDiv(-height_, 72, screenPixelsPerInch()); }

void TFont::setName(const std::string& name) {
  name_ = name;
  changed();
}

void TFont::setSize(int points) {
  height_ = -MulDiv(points, screenPixelsPerInch(), 72);
  changed();
}

void TFont::setHeight(int pixels) {
  height_ = pixels;
  changed();
}

void TFont::setStyle(unsigned style) {
  style_ = style;
  changed();
}

LOGFONTA TFont::logFont() const {
  LOGFONTA font{};
  font.lfHeight = height_;
  font.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = (style_ & fsItalic) ? 1 : 0;
  font.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
  font.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  strncpy(font.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
  return font;
}

TFont TFont::fromLogFont(const LOGFONTA& font) {
  TFont result;
  result.name_ = font.lfFaceName;
  result.height_ = font.lfHeight;
  unsigned style = 0;
  if (font.lfWeight >= FW_BOLD) style |= fsBold;
  if (font.lfItalic) style |= fsItalic;
  if (font.lfUnderline) style |= fsUnderline;
  if (font.lfStrikeOut) style |= fsStrikeOut;
  result.style_ = style;
  return result;
}

HFONT TFont::handle() const {
  if (!handle_) {
    const LOGFONTA font = logFont();
    handle_.reset(CreateFontIndirectA(&font), [](HFONT handle) {
      if (handle) DeleteObject(handle);
    });
  }
  return handle_.get();
}

bool TFont::operator==(const TFont& other) const {
  return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ && color_ == other.color_;
}
