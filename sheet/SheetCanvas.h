#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "model/FontProperties.h"
#include "platform/Colors.h"

// The sheet's drawing surface over a GDI device context that it does not own. The font
// and brush colour are set freely and realised only when text is measured or
// drawn; the canvas restores the context's font when it goes.
class TSheetCanvas {
 public:
  explicit TSheetCanvas(HDC dc);
  ~TSheetCanvas();
  TSheetCanvas(const TSheetCanvas&) = delete;
  TSheetCanvas& operator=(const TSheetCanvas&) = delete;

  HDC handle() const { return dc_; }

  TFontProperties font;
  std::int32_t brushColor = clWindow;

  // Fills the rectangle (right and bottom exclusive, as GDI) with the brush.
  void fillRect(const RECT& rect);
  SIZE textExtent(const std::string& text);
  int textWidth(const std::string& text) { return textExtent(text).cx; }
  int textHeight(const std::string& text) { return textExtent(text).cy; }
  // Text in the font's colour on a transparent background.
  void textOut(int x, int y, const std::string& text);
  // The same, clipped to the rectangle.
  void textRect(const RECT& clip, int x, int y, const std::string& text);

 private:
  void realiseFont();

  HDC dc_;
  HFONT createdFont_ = nullptr;
  HGDIOBJ originalFont_ = nullptr;
  TFontProperties realisedFont_;
};
