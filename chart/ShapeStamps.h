#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class TBitmap;
class TCanvas;
class TDibPixels;

// A shape as GDI draws it around a point: rows of pixels relative to the
// point, each drawn by the pen or inside by the brush.
struct TStamp {
  struct TRun {
    int dy;
    int dx;
    int length;
    bool brush;
  };
  std::vector<TRun> runs;
};

// Shapes drawn once by GDI on a scratch bitmap and then written straight
// into a DIB wherever they are needed. GDI draws a shape at whole-pixel
// coordinates with the same pixels wherever it lies, so a copy is what the
// call would have drawn there, at a fraction of the cost of a call, which
// thousands of small markers and bars a paint add up to.
class TShapeStamps {
 public:
  using TKey = std::array<int, 4>;
  using TDraw = std::function<void(TCanvas& canvas, int x, int y)>;

  TShapeStamps();
  ~TShapeStamps();
  TShapeStamps(const TShapeStamps&) = delete;
  TShapeStamps& operator=(const TShapeStamps&) = delete;

  // The stamp of the shape that draw puts around (x, y) with a solid pen of
  // the given width and a solid brush, reaching no further from the point
  // than reach (left, top, right, bottom offsets, the pen's width included).
  // Null when the shape strays outside its reach or the reach is too large:
  // it is then drawn by GDI.
  const TStamp* stamp(const TKey& key, const RECT& reach, int penWidth, const TDraw& draw);

  // Writes a stamp around (x, y), clipped to the bitmap.
  static void put(const TDibPixels& pixels, const TStamp& stamp, int x, int y, uint32_t pen, uint32_t brush);

 private:
  std::map<TKey, std::unique_ptr<TStamp>> stamps_;
  std::unique_ptr<TBitmap> scratch_;
};
