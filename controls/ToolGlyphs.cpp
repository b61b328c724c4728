#include "controls/ToolGlyphs.h"

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ExtControls.h"
#include "platform/StdControls.h"
#include "platform/ToolTips.h"

namespace {

constexpr TColor maskColor = 0xFF00FF;  // magenta: never part of a picture
constexpr uint32_t maskPixel = 0xFF00FF;
constexpr uint32_t shadowPixel = 0x808080;
constexpr uint32_t lightPixel = 0xFFFFFF;

// The disabled look beside the picture: its darker pixels in the shadow
// grey with a light edge one pixel below and to the right, its light ones
// left out, as Windows shows the pictures of disabled buttons.
bool darkPixel(uint32_t pixel) {
  const uint32_t red = pixel >> 16 & 0xFF, green = pixel >> 8 & 0xFF, blue = pixel & 0xFF;
  return pixel != maskPixel && 30 * red + 59 * green + 11 * blue < 200 * 100;
}

void drawDisabledLook(TBitmap& strip, int size) {
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (!darkPixel(strip.pixel(x, y))) continue;
      if (x + 1 < size && y + 1 < size && !darkPixel(strip.pixel(x + 1, y + 1)))
        strip.scanLine(y + 1)[size + x + 1] = lightPixel;
    }
  }
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if (darkPixel(strip.pixel(x, y))) strip.scanLine(y)[size + x] = shadowPixel;
}

}  // namespace

int TToolGlyphs::indexOf(const std::string& name) {
  if (const auto found = indices_.find(name); found != indices_.end()) return found->second;
  TBitmap strip(2 * size, size);
  strip.canvas().fillRect({0, 0, 2 * size, size}, maskColor);
  strip.canvas().setClipRect({0, 0, size, size});  // nothing spills into the disabled look
  const bool drawn = drawToolGlyph(strip.canvas(), 0, 0, name);
  strip.canvas().clearClip();
  if (!drawn) return -1;
  GdiFlush();  // the pixels are read straight from the section
  drawDisabledLook(strip, size);
  const int index = images_.add(strip, maskColor);
  indices_[name] = index;
  return index;
}

void TToolGlyphs::apply(TToolButton& button, const std::string& name) {
  const int index = indexOf(name);
  if (index < 0) return;
  button.setImages(&images_, index);
  button.setDisabledImageIndex(index + 1);
}

void TToolGlyphs::apply(TButton& button, const std::string& name) {
  const int index = indexOf(name);
  if (index >= 0) button.setImages(&images_, index, index + 1);
}

TButton& TToolGlyphs::pictureButton(TControl& parent, TToolTips& hints, const std::string& caption,
                                    const std::string& hint, const std::string& name, int& left, int top) {
  constexpr int width = 28;
  constexpr int gap = 2;
  TButton& button = parent.add<TButton>(caption);
  button.setBounds(left, top, width, 24);
  apply(button, name);
  hints.setHint(button, hint);
  left += width + gap;
  return button;
}

void TToolGlyphs::draw(TCanvas& canvas, int x, int y, const std::string& name, bool disabled) {
  const int index = indexOf(name);
  if (index >= 0) images_.draw(canvas, x, y, disabled ? index + 1 : index);
}

void setButtonGlyph(TButton& button, const std::string& name, int size) {
  TBitmap picture(size, size);
  picture.canvas().fillRect({0, 0, size, size}, clBtnFace);
  const int offset = (size - TToolGlyphs::size) / 2;
  drawToolGlyph(picture.canvas(), offset, offset, name);
  button.setPicture(picture);
}
