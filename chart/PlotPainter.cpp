#include "chart/PlotPainter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/PixelRounding.h"
#include "chart/PointMarker.h"
#include "chart/PricePlot.h"
#include "chart/Series.h"
#include "model/Prices.h"
#include "platform/Canvas.h"
#include "platform/ImageList.h"

namespace {

uint16_t fieldBit(int field) {
  switch (field) {
    case quoteFieldOpen:
      return quoteOpenBit;
    case quoteFieldHigh:
      return quoteHighBit;
    case quoteFieldLow:
      return quoteLowBit;
    case quoteFieldClose:
      return quoteCloseBit;
    case quoteFieldVolume:
      return quoteVolumeBit;
    default:
      return 0;
  }
}

bool hasRecords(const TPrices* prices) { return prices != nullptr && prices->count() > 0; }

constexpr int absentRow = std::numeric_limits<int>::min();

// What a stamp holds: the first number of its key.
enum TStampShape { stampMarker, stampWick, stampTick, stampBody };

// Thousands of records share the few hundred columns of a plot, and a wide
// pen makes every segment costly. The segments of a run of points in one
// column all lie on that column: going from the first to the lowest, the
// highest and the last point covers the same pixels.
void compressColumns(std::vector<POINT>& points) {
  std::vector<POINT> kept;
  kept.reserve(points.size());
  auto put = [&kept](POINT p) {
    if (kept.empty() || kept.back().x != p.x || kept.back().y != p.y) kept.push_back(p);
  };
  size_t i = 0;
  while (i < points.size()) {
    size_t end = i + 1;
    LONG top = points[i].y, bottom = points[i].y;
    while (end < points.size() && points[end].x == points[i].x) {
      top = std::min(top, points[end].y);
      bottom = std::max(bottom, points[end].y);
      ++end;
    }
    put(points[i]);
    put({points[i].x, top});
    put({points[i].x, bottom});
    put(points[end - 1]);
    i = end;
  }
  points.swap(kept);
}

// GDI builds a wide pen's outline as one region for a whole polyline, at a
// cost that grows faster than its points. Round joins and round caps are the
// same disc, so short polylines sharing their end points cover the same
// pixels.
void polylineInPieces(TCanvas& canvas, const std::vector<POINT>& points, int width) {
  constexpr size_t piece = 16;
  if (width <= 1 || points.size() <= piece + 1) {
    canvas.polyline(points);
    return;
  }
  for (size_t first = 0; first + 1 < points.size(); first += piece) {
    const size_t end = std::min(points.size(), first + piece + 1);
    Polyline(canvas.handle(), points.data() + first, static_cast<int>(end - first));
  }
}

}  // namespace

TPlotPainter::TPlotPainter(TCanvas& canvas, TPricePlot& plot, const TPlotLooks& looks)
    : canvas_(canvas), plot_(plot), looks_(looks), pixels_(canvas.handle()) {}

bool TPlotPainter::fieldValue(TPrices& prices, int i, int field, long double scale, long double& value) const {
  TQuoteRecord record;
  if (!plot_.recordAt(prices, i, record)) return false;
  const uint16_t bit = fieldBit(field);
  if (bit == 0 || !(record.Mask & bit)) return false;
  value = record.*quoteValueFields[field - quoteFieldOpen] * scale;
  // A logarithmic plot has no place for values at or below 0.
  return !plot_.logarithmicInEffect() || value > 0;
}

int TPlotPainter::columnX(int i) {
  const int first = plot_.firstVisible();
  if (columns_.empty()) {
    for (int index = first; index <= std::max(plot_.lastVisible(), first - 1) + 1; ++index) {
      columns_.push_back(plot_.indexToX(index));
    }
  }
  return columns_[i - first];
}

const std::vector<int>& TPlotPainter::fieldRows(const TPrices* prices, int field, long double scale) {
  for (const TFieldRows& known : fieldRows_) {
    if (known.prices == prices && known.field == field && known.scale == scale) return known.rows;
  }
  TPrices& series = const_cast<TPrices&>(*prices);
  std::vector<int> rows;
  long double value = 0;
  for (int i = plot_.firstVisible(); i <= plot_.lastVisible(); ++i) {
    rows.push_back(fieldValue(series, i, field, scale, value) ? plot_.valueToY(value) : absentRow);
  }
  fieldRows_.push_back({prices, field, scale, std::move(rows)});
  return fieldRows_.back().rows;
}

void TPlotPainter::drawSeriesLine(const TPrices* prices, int field, bool fill, bool breakAtGaps, long double scale,
                                  int width, TColor fillColor, TColor color) {
  if (!hasRecords(prices)) return;
  if (fill) canvas_.setBrush(fillColor);

  // The staircase is gathered into runs between gaps and drawn one run at a
  // time, over its fill: thousands of records share the columns of a plot.
  const std::vector<int>& rows = fieldRows(prices, field, scale);
  const int first = plot_.firstVisible();
  std::vector<POINT> run;
  std::vector<std::vector<POINT>> runs;
  bool penDown = plot_.lowIndex() >= 0 && plot_.lowIndex() < plot_.xCount() && !rows.empty() && rows[0] != absentRow;
  int y = penDown ? rows[0] : 0;
  if (penDown) run.push_back({0, y});
  const int zeroY = plot_.zeroLineY();
  int x = 0;
  auto extend = [&run](int px, int py) {
    if (run.empty() || run.back().x != px || run.back().y != py) run.push_back({px, py});
  };
  for (int i = first; i <= plot_.lastVisible(); ++i) {
    const int columnStart = x;
    if (rows[i - first] != absentRow) {
      y = rows[i - first];
      if (!penDown && run.size() > 1) runs.push_back(std::move(run));
      if (!penDown) run.clear();
      extend(columnStart, y);
      penDown = true;
    } else if (breakAtGaps) {
      penDown = false;
    }
    x = columnX(i + 1);
    if (!penDown) continue;
    extend(x, y);
    if (fill && x > columnStart) {
      if (y < zeroY) {
        canvas_.fillRect({columnStart + 1, y + 1, x + 1, zeroY});
      } else {
        canvas_.fillRect({columnStart + 1, zeroY, x + 1, y});
      }
    }
  }
  if (run.size() > 1) runs.push_back(std::move(run));
  canvas_.setPen(color, width);
  for (std::vector<POINT>& points : runs) {
    compressColumns(points);
    polylineInPieces(canvas_, points, width);
  }
}

void TPlotPainter::drawSeriesMarkers(int kind, const TPrices* prices, long double scale, int size, TColor color,
                                     int field) {
  if (kind == pkNone || !hasRecords(prices)) return;
  canvas_.setPen(color, 1);
  canvas_.setBrush(color);
  const std::vector<int>& rows = fieldRows(prices, field, scale);
  const int first = plot_.firstVisible();
  const TStamp* stamp = markerStamp(kind, size, color);
  const uint32_t pixel = TDibPixels::pixelOf(color);
  POINT last{-farPixel, -farPixel};
  for (int i = first; i <= plot_.lastVisible(); ++i) {
    if (rows[i - first] == absentRow) continue;
    const POINT at{columnX(i), rows[i - first]};
    // The same marker on the same spot draws the same pixels.
    if (at.x == last.x && at.y == last.y) continue;
    if (stamp != nullptr) {
      TShapeStamps::put(pixels_, *stamp, at.x, at.y, pixel, pixel);
    } else {
      drawPointMarker(canvas_, at.x, at.y, size, kind);
    }
    last = at;
  }
}

const TStamp* TPlotPainter::markerStamp(int kind, int size, TColor color) {
  // Larger markers are few and cheap to draw next to what a stamp costs.
  constexpr int largestStamped = 32;
  if (size < 0 || size > largestStamped || color == clNone || !pixels_.ready()) return nullptr;
  const int reach = size + 3;
  return stamps_.stamp({stampMarker, kind, size, 0}, {reach, reach, reach, reach}, 1,
                       [=](TCanvas& canvas, int x, int y) { drawPointMarker(canvas, x, y, size, kind); });
}

void TPlotPainter::drawBars(const TPrices* prices, unsigned fields, long double scale, int width, TColor risingColor,
                            TColor color) {
  if (!hasRecords(prices) || fields == 0) return;
  TPrices& series = const_cast<TPrices&>(*prices);
  const int b = std::max(roundPixel(plot_.xScale() * 0.25L), 1);
  canvas_.setPen(color, width);
  TQuoteRecord record;
  const bool logScale = plot_.logarithmicInEffect();
  auto present = [&](uint16_t bit, long double recordValue, int& y) {
    if (!(fields & bit) || !(record.Mask & bit)) return false;
    const long double value = recordValue * scale;
    if (logScale && !(value > 0)) return false;
    y = plot_.valueToY(value);
    return true;
  };
  // A brush is made only when the body colour changes.
  int risingBrush = -1;
  auto useBrush = [&](bool rising) {
    if (risingBrush == static_cast<int>(rising)) return;
    canvas_.setBrush(rising ? risingColor : color);
    risingBrush = rising;
  };
  // Each shape is written from its stamp when the bitmap takes that, and
  // drawn by GDI otherwise.
  const bool direct = color != clNone && risingColor != clNone && pixels_.ready();
  const uint32_t penPixel = TDibPixels::pixelOf(color);
  const uint32_t risingPixel = TDibPixels::pixelOf(risingColor);
  const int reach = width + 2;
  auto stamped = [&](const TShapeStamps::TKey& key, const RECT& shapeReach, int x, int y, uint32_t brush,
                     const TShapeStamps::TDraw& draw) {
    const TStamp* stamp = direct ? stamps_.stamp(key, shapeReach, width, draw) : nullptr;
    if (stamp != nullptr) TShapeStamps::put(pixels_, *stamp, x, y, penPixel, brush);
    return stamp != nullptr;
  };
  auto wick = [&](int x, int yHigh, int yLow) {
    const int dy = yLow - yHigh;
    const RECT wickReach{reach, std::max(-dy, 0) + reach, reach, std::max(dy, 0) + reach};
    if (stamped({stampWick, dy, width, 0}, wickReach, x, yHigh, penPixel,
                [dy](TCanvas& canvas, int sx, int sy) { canvas.line(sx, sy, sx, sy + dy); })) {
      return;
    }
    canvas_.line(x, yHigh, x, yLow);
    GdiFlush();
  };
  auto tick = [&](int x, int y) {
    if (stamped({stampTick, b, width, 0}, {b + reach, reach, b + 1 + reach, reach}, x, y, penPixel,
                [b](TCanvas& canvas, int sx, int sy) { canvas.line(sx - b, sy, sx + b + 1, sy); })) {
      return;
    }
    canvas_.line(x - b, y, x + b + 1, y);
    GdiFlush();
  };
  auto body = [&](int x, int top, int bottom, bool rising) {
    const int h = bottom - top;
    if (stamped({stampBody, b, h, width}, {b + reach, reach, b + 1 + reach, h + reach}, x, top,
                rising ? risingPixel : penPixel,
                [b, h](TCanvas& canvas, int sx, int sy) { canvas.rectangle({sx - b, sy, sx + b + 1, sy + h}); })) {
      return;
    }
    useBrush(rising);
    canvas_.rectangle({x - b, top, x + b + 1, bottom});
    GdiFlush();
  };
  auto dot = [&](int x, int y) {
    if (direct) {
      pixels_.fill(y, x, x + 1, penPixel);
    } else {
      canvas_.setPixel(x, y, color);
    }
  };
  for (int i = plot_.firstVisible(); i <= plot_.lastVisible(); ++i) {
    if (!plot_.recordAt(series, i, record)) continue;
    const int x = columnX(i);
    int yOpen = 0, yHigh = 0, yLow = 0, yClose = 0;
    const bool open = present(quoteOpenBit, record.Open, yOpen);
    const bool high = present(quoteHighBit, record.High, yHigh);
    const bool low = present(quoteLowBit, record.Low, yLow);
    const bool close = present(quoteCloseBit, record.Close, yClose);
    if (high && low) {
      // The line starts on the high's pixel, which it sets.
      wick(x, yHigh, yLow);
    } else if (high) {
      dot(x, yHigh);
    } else if (low) {
      dot(x, yLow);
    }
    if (close) {
      if (open && yOpen != yClose) {
        body(x, std::min(yOpen, yClose), std::max(yOpen, yClose), yOpen > yClose);
      } else {
        tick(x, yClose);
      }
    } else if (open) {
      tick(x, yOpen);
    }
  }
}

void TPlotPainter::drawProfile(const TPrices* prices, TColor color, bool fill, long double scale, TColor fillColor) {
  if (!hasRecords(prices)) return;
  TPrices& series = const_cast<TPrices&>(*prices);
  const int H = plot_.clientHeight;
  const int W = plot_.clientWidth;
  const int n = std::min(H, looks_.maxProfileBins);
  if (n <= 0) return;
  const long double binHeight = static_cast<long double>(H) / n;
  std::vector<long double> bottoms(n);
  std::vector<long double> sums(n, 0.0L);
  for (int k = 0; k < n; ++k) bottoms[k] = plot_.yToValue(std::trunc(binHeight * (k + 1)));

  TQuoteRecord record;
  long double largest = 0;
  for (int i = plot_.firstVisible(); i <= plot_.lastVisible(); ++i) {
    if (!plot_.recordAt(series, i, record)) continue;
    if ((record.Mask & (quoteCloseBit | quoteVolumeBit)) != (quoteCloseBit | quoteVolumeBit)) continue;
    const long double v = record.Close * scale;
    long double top = plot_.highY();
    for (int k = 0; k < n; ++k) {
      if (bottoms[k] <= v && v <= top) {
        sums[k] += std::fabs(record.Volume);
        largest = std::max(largest, sums[k]);
        break;
      }
      top = bottoms[k];
    }
  }
  if (!(largest > 0)) return;

  const long double factor = looks_.profileWidthFraction * (W - 2) / largest;
  std::vector<int> edges(n);
  for (int k = 0; k < n; ++k) edges[k] = static_cast<int>(std::trunc(sums[k] * factor)) + 1;
  canvas_.setPen(color, 1);
  canvas_.setBrush(fillColor);
  canvas_.moveTo(edges[0], 0);
  int binTop = 0;
  for (int k = 0; k < n; ++k) {
    const int binBottom = plot_.valueToY(bottoms[k]);
    canvas_.lineTo(edges[k], binBottom);
    if (fill && edges[k] > 1) {
      canvas_.fillRect({1, binTop + 1, edges[k], binBottom});
    }
    if (k + 1 < n) canvas_.lineTo(edges[k + 1], binBottom);
    binTop = binBottom;
  }
}

void TPlotPainter::drawTextMarks(TTextMarks& marks, TColor defaultBackground, long double scale) {
  const TFont plotFont = looks_.font;
  for (int m = 0; m < marks.count(); ++m) {
    TTextMark& mark = *marks.textMark(m);
    TFont font = plotFont;
    if (mark.textColor != markDefaultColor) font.setColor(static_cast<TColor>(mark.textColor));
    canvas_.setFont(font);
    const SIZE extent = canvas_.textExtent(mark.text);
    const int i = plot_.locateMark(mark.x);
    if (i < 0) continue;
    const TColor fontColor = font.color();
    const TColor background =
        mark.backgroundColor != markDefaultColor ? static_cast<TColor>(mark.backgroundColor) : defaultBackground;
    const int x = plot_.indexToX(i);
    const int y = plot_.valueToY(mark.y * scale);
    const int left = x - extent.cx / 2;
    const int top = y - extent.cy / 2 + mark.offset;
    const int right = left + extent.cx;
    const int bottom = top + extent.cy;
    mark.screenRect = {left, top, right, bottom};
    if (mark.frameStyle == 0) {
      canvas_.setBrush(background, TBrushStyle::clear);
    } else {
      canvas_.setPen(fontColor, 1);
      canvas_.setBrush(background);
      if (mark.frameStyle == 2 && mark.offset < 0) {
        canvas_.polygon({{left - 1, top - 1}, {right + 1, top - 1}, {right + 1, bottom + 1}, {x + 2, bottom + 1},
                         {x, bottom + 3}, {x - 2, bottom + 1}, {left - 1, bottom + 1}});
      } else if (mark.frameStyle == 2 && mark.offset > 0) {
        canvas_.polygon({{left - 1, top - 1}, {x - 2, top - 1}, {x, top - 3}, {x + 2, top - 1}, {right + 1, top - 1},
                         {right + 1, bottom + 1}, {left - 1, bottom + 1}});
      } else {
        canvas_.polygon({{left - 1, top - 1}, {right + 1, top - 1}, {right + 1, bottom + 1}, {left - 1, bottom + 1}});
      }
    }
    canvas_.textOut(left, top, mark.text);
  }
  canvas_.setFont(plotFont);
  canvas_.setBrush(looks_.color);
}

void TPlotPainter::drawImageMarks(TImageMarks& marks, long double scale) {
  const TImageList* images = looks_.imageList;
  for (int m = 0; m < marks.count(); ++m) {
    TImageMark& mark = *marks.imageMark(m);
    if (mark.imageIndex < 0 || images == nullptr || mark.imageIndex >= images->count()) {
      mark.screenRect = TMarkRect();
      continue;
    }
    const int i = plot_.locateMark(mark.x);
    if (i < 0) continue;
    const int x = plot_.indexToX(i);
    const int y = plot_.valueToY(mark.y * scale);
    const int left = x - images->width() / 2;
    const int top = y - images->height() / 2 + mark.offset;
    mark.screenRect = {left, top, left + images->width(), top + images->height()};
    images->draw(canvas_, left, top, mark.imageIndex);
  }
}

int TPlotPainter::highlightedWidth(const TSeries& series) const {
  return looks_.defaultHighlightedSeriesWidth < 1 ? series.width : looks_.defaultHighlightedSeriesWidth;
}

void TPlotPainter::drawHighlightedBackground(int index) {
  const TPriceSeries& s = *plot_.series(index);
  const int w = highlightedWidth(s);
  if (looks_.fillHighlighted && s.fillable) {
    drawSeriesLine(s.prices(), quoteFieldClose, true, true, s.scale, w, looks_.fillColor, static_cast<TColor>(s.color));
  }
  if (looks_.profileHighlighted) {
    drawProfile(s.prices(), static_cast<TColor>(s.color), looks_.fillProfile, s.scale, looks_.profileFillColor);
  }
}

void TPlotPainter::drawHighlightedTop(int index) {
  TPriceSeries& s = *plot_.series(index);
  const int w = highlightedWidth(s);
  const TColor color = static_cast<TColor>(s.color);
  const int lineFields[] = {quoteFieldOpen, quoteFieldHigh, quoteFieldLow, quoteFieldClose};
  for (int field : lineFields) {
    if (s.lineFields & fieldBit(field)) drawSeriesLine(s.prices(), field, false, true, s.scale, w, 0, color);
  }
  drawSeriesMarkers(s.closeMarker, s.prices(), s.scale, w, color, quoteFieldClose);
  drawBars(s.prices(), s.barFields, s.scale, w, looks_.color, color);
  drawTextMarks(s.textMarks, looks_.color, s.scale);
  drawImageMarks(s.imageMarks, s.scale);
}

void TPlotPainter::paint(TPlotOverlays& overlays, const std::vector<int>* verticalGrid,
                         const std::vector<int>* horizontalGrid) {
  const POINT crossHair = overlays.crossHair;
  invertCrossHair(crossHair);
  overlays.crossHair = {-1, -1};
  const int W = plot_.clientWidth;
  const int H = plot_.clientHeight;
  canvas_.fillRect({0, 0, W, H}, looks_.color);
  canvas_.setFont(looks_.font);

  auto finish = [&] {
    drawLinkCaption(overlays);
    invertCrossHair(crossHair);
    overlays.crossHair = crossHair;
    canvas_.setBrush(looks_.color);
  };
  if (looks_.noPaint) {
    finish();
    return;
  }
  canvas_.setBrush(looks_.color);
  if (plot_.lowIndex() < 0 || plot_.highIndex() <= plot_.lowIndex()) return;
  plot_.setXScale();
  if (!(plot_.highY() - plot_.lowY() > 0)) return;
  plot_.setYScale();
  columns_.clear();
  fieldRows_.clear();

  const int h = plot_.series(plot_.highlighted) != nullptr ? plot_.highlighted : -1;
  auto isTop = [&](int i) {
    return i == h || (plot_.drawAllFgHighlighted && plot_.series(i) != nullptr && plot_.series(i)->foreground);
  };
  for (int i = 0; i < plot_.seriesCount(); ++i) {
    if (isTop(i)) drawHighlightedBackground(i);
  }
  for (int i = 0; i < plot_.seriesCount(); ++i) {
    const TPriceSeries* s = plot_.series(i);
    if (s == nullptr || isTop(i) || !s->enabled || s->foreground) continue;
    const int w = looks_.defaultSeriesWidth;
    drawSeriesLine(s->prices(), quoteFieldClose, false, true, s->scale, w, 0, looks_.bgSeriesColor);
    drawSeriesMarkers(s->closeMarker, s->prices(), s->scale, w, looks_.bgSeriesColor, quoteFieldClose);
  }
  for (int i = 0; i < plot_.seriesCount(); ++i) {
    const TPriceSeries* s = plot_.series(i);
    if (s == nullptr || isTop(i) || !s->foreground) continue;
    const int w = looks_.defaultSeriesWidth;
    const TColor color = static_cast<TColor>(s->color);
    drawSeriesLine(s->prices(), quoteFieldClose, false, true, s->scale, w, 0, color);
    drawSeriesMarkers(s->closeMarker, s->prices(), s->scale, w, color, quoteFieldClose);
  }
  for (int i = 0; i < plot_.seriesCount(); ++i) {
    if (isTop(i)) drawHighlightedTop(i);
  }

  canvas_.setPen(looks_.gridColor, looks_.gridWidth, looks_.gridStyle);
  if (looks_.vLines && verticalGrid != nullptr) {
    for (int x : *verticalGrid) canvas_.line(x, 0, x, H);
  }
  if (looks_.hLines && horizontalGrid != nullptr) {
    for (int y : *horizontalGrid) canvas_.line(0, y, W, y);
  }
  finish();
}

void TPlotPainter::drawLinkCaption(TPlotOverlays& overlays) {
  if (looks_.linkCaption.empty()) return;
  TFont font("Verdana", 8, fsUnderline);
  const TColor background = looks_.color;
  font.setColor(isSystemColor(background) ? static_cast<TColor>(colorToRGB(background) ^ 0xFFFFFF)
                                          : static_cast<TColor>(background ^ 0xFFFFFF));
  canvas_.setFont(font);
  canvas_.setBrush(background, TBrushStyle::clear);
  canvas_.textOut(2, 0, looks_.linkCaption);
  const SIZE extent = canvas_.textExtent(looks_.linkCaption);
  overlays.linkCaptionExtent = {extent.cx + 2, extent.cy};
  canvas_.setFont(looks_.font);
  canvas_.setBrush(background);
}

void TPlotPainter::invertCrossHair(POINT at) {
  if (at.x < 0 && at.y < 0) return;
  canvas_.setPen(clBlack, 1);
  canvas_.setPenMode(R2_NOT);
  canvas_.line(at.x, 0, at.x, plot_.clientHeight);
  canvas_.line(0, at.y, plot_.clientWidth, at.y);
  canvas_.setPenMode(R2_COPYPEN);
}

void TPlotPainter::invertMeasureLine(POINT from, POINT to) {
  if (from.x < 0 && from.y < 0) return;
  canvas_.setPen(clBlack, 1);
  canvas_.setPenMode(R2_NOT);
  canvas_.line(from.x, from.y, to.x, to.y);
  canvas_.setPenMode(R2_COPYPEN);
}
