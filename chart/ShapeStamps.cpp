#include "chart/ShapeStamps.h"

#include <algorithm>

#include "chart/DibPixels.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace {

// Scratch colours told apart after drawing: the background, the pen's and
// the brush's.
constexpr TColor scratchBackground = 0x000000;
constexpr TColor scratchPen = 0x0000FF;
constexpr TColor scratchBrush = 0x00FF00;
// A frame of untouched pixels around the reach shows that the shape kept
// within it.
constexpr int margin = 2;
// A shape larger than this either way, such as a wick from a price far
// outside the view, is left to GDI, which clips it instead of drawing it
// whole.
constexpr int largestReach = 2048;

}  // namespace

TShapeStamps::TShapeStamps() = default;
TShapeStamps::~TShapeStamps() = default;

const TStamp* TShapeStamps::stamp(const TKey& key, const RECT& reach, int penWidth, const TDraw& draw) {
  auto found = stamps_.find(key);
  if (found != stamps_.end()) return found->second.get();
  const bool fits = reach.left >= 0 && reach.top >= 0 && reach.right >= 0 && reach.bottom >= 0 &&
                    reach.left + reach.right <= largestReach && reach.top + reach.bottom <= largestReach;
  if (!fits) return (stamps_[key] = nullptr).get();

  const int width = reach.left + reach.right + 1 + 2 * margin;
  const int height = reach.top + reach.bottom + 1 + 2 * margin;
  if (!scratch_) scratch_ = std::make_unique<TBitmap>();
  if (scratch_->width() < width || scratch_->height() < height) {
    scratch_->setSize(std::max(scratch_->width(), width), std::max(scratch_->height(), height));
    if (scratch_->width() < width || scratch_->height() < height) return nullptr;  // out of memory
  }
  TCanvas& canvas = scratch_->canvas();
  canvas.fillRect({0, 0, width, height}, scratchBackground);
  canvas.setPen(scratchPen, penWidth);
  canvas.setBrush(scratchBrush);
  const int originX = margin + reach.left;
  const int originY = margin + reach.top;
  draw(canvas, originX, originY);
  GdiFlush();

  const uint32_t pen = TDibPixels::pixelOf(scratchPen);
  const uint32_t brush = TDibPixels::pixelOf(scratchBrush);
  auto result = std::make_unique<TStamp>();
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = scratch_->scanLine(y);
    int x = 0;
    while (x < width) {
      const uint32_t pixel = row[x] & 0x00FFFFFF;
      if (pixel != pen && pixel != brush) {
        ++x;
        continue;
      }
      const bool inside = y >= margin && y < height - margin && x >= margin && x < width - margin;
      if (!inside) return (stamps_[key] = nullptr).get();
      int end = x + 1;
      while (end < width - margin && (row[end] & 0x00FFFFFF) == pixel) ++end;
      result->runs.push_back({y - originY, x - originX, end - x, pixel == brush});
      x = end;
    }
  }
  return (stamps_[key] = std::move(result)).get();
}

void TShapeStamps::put(const TDibPixels& pixels, const TStamp& stamp, int x, int y, uint32_t pen, uint32_t brush) {
  for (const TStamp::TRun& run : stamp.runs) {
    pixels.fill(y + run.dy, x + run.dx, x + run.dx + run.length, run.brush ? brush : pen);
  }
}
