#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/Colors.h"
#include "platform/Font.h"
#include "platform/GdiObjects.h"

class TBitmap;

enum class TBrushStyle { solid, clear, horizontal, vertical, crossing };

// Drawing on a device context with a current pen, brush and font. The canvas
// does not own the DC; it owns the GDI objects it selects and puts the DC's
// state back when it goes.
class TCanvas {
 public:
  explicit TCanvas(HDC dc);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC handle() const { return dc_; }

  // The pen: a mode of R2_NOT inverts what it draws over, so drawing the
  // same line twice leaves the picture as it was.
  void setPen(TColor color, int width = 1, int style = PS_SOLID);
  void setPenMode(int mode);
  void setBrush(TColor color, TBrushStyle style = TBrushStyle::solid);
  void setFont(const TFont& font);
  TColor penColor() const { return penColor_; }
  TColor brushColor() const { return brushColor_; }

  void moveTo(int x, int y);
  void lineTo(int x, int y);
  void line(int x1, int y1, int x2, int y2);
  void polyline(const std::vector<POINT>& points);
  void polygon(const std::vector<POINT>& points);
  void rectangle(const RECT& rect);  // outline with the pen, inside with the brush
  void ellipse(const RECT& rect);
  void fillRect(const RECT& rect);  // the brush only
  void fillRect(const RECT& rect, TColor color);
  void frameRect(const RECT& rect, TColor color);
  void frame3D(RECT rect, TColor topLeft, TColor bottomRight, int width = 1);
  void setPixel(int x, int y, TColor color);
  COLORREF pixel(int x, int y) const;

  // Text in the current font and colour; the background shows through unless
  // the brush is solid.
  void textOut(int x, int y, const std::string& text);
  // Text with the advance of every character given (one entry a character),
  // clipped to a rectangle when one is given.
  void textOutDx(int x, int y, const std::string& text, const std::vector<int>& advances,
                 const RECT* clip = nullptr);
  void textRect(const RECT& rect, const std::string& text, UINT format);
  SIZE textExtent(const std::string& text) const;
  int textWidth(const std::string& text) const { return textExtent(text).cx; }
  int textHeight(const std::string& text) const { return textExtent(text).cy; }

  // Clipping: restricts drawing to a rectangle until cleared.
  void setClipRect(const RECT& rect);
  void intersectClipRect(const RECT& rect);
  void clearClip();

  void draw(int x, int y, const TBitmap& bitmap);
  void stretchDraw(const RECT& target, const TBitmap& bitmap);
  // Copies a rectangle of another canvas, stretching it to the target.
  void copyRect(const RECT& target, const TCanvas& source, const RECT& sourceRect);

 private:
  void applyBrushMode();

  HDC dc_;
  int savedState_;
  TPenHandle pen_;
  TBrushHandle brush_;
  TFont font_;
  TColor penColor_ = clBlack;
  TColor brushColor_ = clWhite;
  TBrushStyle brushStyle_ = TBrushStyle::solid;
};
