#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "chart/PlotPainter.h"
#include "chart/PointMarker.h"
#include "chart/PricePlot.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ImageList.h"
#include "tests/chart/ChartPictures.h"
#include "tests/chart/ChartTestData.h"

namespace {

constexpr uint32_t white = 0xFFFFFF;
constexpr uint32_t black = 0x000000;

TMarkMetrics metricsOf(TCanvas& canvas) {
  TMarkMetrics metrics;
  metrics.textExtent = [&canvas](const std::string& text, int& w, int& h) {
    const SIZE size = canvas.textExtent(text);
    w = size.cx;
    h = size.cy;
  };
  return metrics;
}

// A plot of the given size over one series of daily records from 1 March
// 2024, highlighted, by index and in view from the first to the last date.
struct TPlotFixture {
  TPlotFixture(int width, int height, std::vector<TQuoteRecord> quotes) : bitmap(width, height) {
    plot.clientWidth = width;
    plot.clientHeight = height;
    plot.showContinuousX = false;
    TPriceSeries& series = *plot.series(plot.addSeries());
    auto prices = std::make_unique<TPrices>();
    for (size_t i = 0; i < quotes.size(); ++i) prices->addRecord(quotes[i], false, 0, day(2024, 3, 1) + i);
    series.takePrices(std::move(prices));
    plot.highlighted = 0;
    looks.font = TFont("Arial", 8);
    looks.font.setColor(clBlack);
  }
  TPriceSeries& series() { return *plot.series(0); }
  void fit() {
    plot.rebuildXValues();
    plot.loX = plot.firstX();
    plot.hiX = plot.lastX();
    plot.fitY(metricsOf(bitmap.canvas()));
  }
  void paint(const std::vector<int>* verticalGrid = nullptr, const std::vector<int>* horizontalGrid = nullptr) {
    TPlotPainter(bitmap.canvas(), plot, looks).paint(overlays, verticalGrid, horizontalGrid);
  }

  TPricePlot plot;
  TPlotLooks looks;
  TPlotOverlays overlays;
  TBitmap bitmap;
};

}  // namespace

TEST(PointMarkers, ShapesAndOnePicturePerKind) {
  TBitmap bitmap(21, 21);
  TCanvas& canvas = bitmap.canvas();
  canvas.fillRect({0, 0, 21, 21}, clWhite);
  canvas.setPen(clBlack);
  canvas.setBrush(clBlack);
  drawPointMarker(canvas, 10, 10, 2, pkSquare);
  for (int y = 5; y <= 15; ++y) {
    for (int x = 5; x <= 15; ++x) {
      const bool inside = x >= 7 && x <= 13 && y >= 7 && y <= 13;
      EXPECT_EQ(bitmap.pixel(x, y), inside ? black : white) << x << "," << y;
    }
  }
  // An upright cross of size 2 reaches three pixels from the centre.
  canvas.fillRect({0, 0, 21, 21}, clWhite);
  drawPointMarker(canvas, 10, 10, 2, pkUprightCross);
  EXPECT_EQ(bitmap.pixel(10, 7), black);
  EXPECT_EQ(bitmap.pixel(10, 13), black);
  EXPECT_EQ(bitmap.pixel(10, 14), white);
  EXPECT_EQ(bitmap.pixel(7, 10), black);
  EXPECT_EQ(bitmap.pixel(11, 11), white);
  // Kinds 0 and out of range draw nothing.
  canvas.fillRect({0, 0, 21, 21}, clWhite);
  drawPointMarker(canvas, 10, 10, 2, pkNone);
  drawPointMarker(canvas, 10, 10, 2, 10);
  EXPECT_EQ(bitmapPixels(bitmap), std::vector<uint32_t>(21 * 21, white));

  // One line of markers per kind, for review.
  TPlotFixture fixture(220, 40 * 10, {});
  fixture.bitmap.canvas().fillRect({0, 0, 220, 400}, clWhite);
  for (int kind = 1; kind <= 9; ++kind) {
    fixture.bitmap.canvas().setPen(clBlue);
    fixture.bitmap.canvas().setBrush(clBlue);
    for (int size = 0; size < 6; ++size) drawPointMarker(fixture.bitmap.canvas(), 15 + size * 35, kind * 40, size, kind);
  }
  saveBitmapPicture(fixture.bitmap, "chart-point-markers");
}

TEST(PlotPainter, CandlesOnA102PixelPlotWithTenBars) {
  // Alternating falling (open 80, close 40) and rising (open 40, close 80)
  // days with highs of 100 and lows of 0.
  std::vector<TQuoteRecord> quotes;
  for (int i = 0; i < 10; ++i) quotes.push_back(i % 2 == 0 ? quoteOf(80, 100, 0, 40) : quoteOf(40, 100, 0, 80));
  TPlotFixture fixture(102, 101, quotes);
  fixture.series().barFields = quoteOpenBit | quoteHighBit | quoteLowBit | quoteCloseBit;
  fixture.series().color = clBlack;
  fixture.looks.defaultHighlightedSeriesWidth = 1;
  fixture.fit();
  fixture.paint();
  saveBitmapPicture(fixture.bitmap, "chart-candles-102px");
  const TBitmap& b = fixture.bitmap;
  // Ten columns of 10 px; bar i at x = 10 i + 1; half width round(2.5) = 2.
  // Falling bar 0: a solid body from x - 2 to x + 2, rows 20 (80) to 60 (40).
  for (int x = 0; x <= 4; ++x) EXPECT_EQ(b.pixel(x, 40), x <= 3 ? black : white) << x;
  EXPECT_EQ(b.pixel(1, 19), black);   // the high-low line above the body
  EXPECT_EQ(b.pixel(2, 19), white);
  EXPECT_EQ(b.pixel(1, 0), black);    // the high
  EXPECT_EQ(b.pixel(1, 100), black);  // the low
  // Rising bar 1 at x = 11: hollow, its body framed, the wick within.
  EXPECT_EQ(b.pixel(9, 40), black);
  EXPECT_EQ(b.pixel(13, 40), black);
  EXPECT_EQ(b.pixel(10, 40), white);
  EXPECT_EQ(b.pixel(12, 40), white);
  EXPECT_EQ(b.pixel(10, 20), black);  // top edge of the body
  EXPECT_EQ(b.pixel(14, 40), white);
}

TEST(PlotPainter, GapsStopTheLineAndItsFill) {
  std::vector<TQuoteRecord> quotes;
  for (int i = 0; i < 9; ++i) quotes.push_back(i % 3 == 2 ? quoteOf(1, NAN, NAN, NAN) : quoteOf(NAN, NAN, NAN, 10 + i));
  TPlotFixture fixture(92, 100, quotes);
  TPriceSeries& series = fixture.series();
  series.lineFields = quoteCloseBit;
  series.color = 0xFF0000;  // blue
  fixture.looks.fillHighlighted = true;
  fixture.looks.fillColor = 0x00FFFF;  // yellow
  fixture.fit();
  fixture.paint();
  saveBitmapPicture(fixture.bitmap, "chart-line-gaps");
  // Columns of 10 px; index 2 (x 21 to 31) has no close: nothing drawn there,
  // neither line nor fill.
  const TBitmap& b = fixture.bitmap;
  for (int y = 0; y < 100; ++y) EXPECT_EQ(b.pixel(25, y), white) << y;
  // Index 1 is drawn and filled below its level down to the zero line.
  bool filled = false, lined = false;
  for (int y = 0; y < 100; ++y) {
    filled |= b.pixel(15, y) == 0xFFFF00u;
    lined |= b.pixel(15, y) == 0x0000FFu;
  }
  EXPECT_TRUE(filled);
  EXPECT_TRUE(lined);
}

TEST(PlotPainter, CrossHairAndMeasuringLineInvertAndLeaveNoTrace) {
  std::vector<TQuoteRecord> quotes;
  for (int i = 0; i < 30; ++i) quotes.push_back(quoteOf(NAN, NAN, NAN, 50 + 20 * std::sin(i / 3.0), 1000 + i * 10));
  TPlotFixture fixture(200, 120, quotes);
  fixture.series().lineFields = quoteCloseBit;
  fixture.series().color = 0x0000C0;
  fixture.looks.fillHighlighted = true;
  fixture.looks.profileHighlighted = true;
  fixture.fit();
  fixture.paint();
  const std::vector<uint32_t> before = bitmapPixels(fixture.bitmap);
  TPlotPainter painter(fixture.bitmap.canvas(), fixture.plot, fixture.looks);
  painter.invertCrossHair({60, 40});
  EXPECT_NE(bitmapPixels(fixture.bitmap), before);
  painter.invertMeasureLine({10, 100}, {150, 20});
  saveBitmapPicture(fixture.bitmap, "chart-cross-hair-and-measure");
  painter.invertMeasureLine({10, 100}, {150, 20});
  painter.invertCrossHair({60, 40});
  EXPECT_EQ(bitmapPixels(fixture.bitmap), before);

  // A full paint takes the cross-hair off first and puts it back last.
  fixture.overlays.crossHair = {60, 40};
  painter.invertCrossHair({60, 40});
  fixture.paint();
  EXPECT_EQ(fixture.overlays.crossHair.x, 60);
  painter.invertCrossHair({60, 40});
  EXPECT_EQ(bitmapPixels(fixture.bitmap), before);
}

TEST(PlotPainter, ProfileFillAndGridPicture) {
  std::vector<TQuoteRecord> quotes;
  for (int i = 0; i < 60; ++i) {
    const long double close = 100 + 30 * std::sin(i / 7.0);
    quotes.push_back(quoteOf(close - 3 + (i % 4) * 2, close + 6, close - 6, close, i % 5 == 0 ? -500 : 800 + 40 * i));
  }
  TPlotFixture fixture(400, 240, quotes);
  TPriceSeries& series = fixture.series();
  series.barFields = quoteOpenBit | quoteHighBit | quoteLowBit | quoteCloseBit;
  series.color = 0x400000;
  fixture.looks.fillHighlighted = true;
  fixture.looks.profileHighlighted = true;
  fixture.looks.vLines = true;
  fixture.looks.hLines = true;
  fixture.fit();
  const std::vector<int> vertical{50, 150, 250, 350};
  const std::vector<int> horizontal{40, 120, 200};
  fixture.paint(&vertical, &horizontal);
  saveBitmapPicture(fixture.bitmap, "chart-candles-profile-fill-grid");
  // The grid lies over everything.
  for (int y = 0; y < 240; y += 7) EXPECT_EQ(fixture.bitmap.pixel(150, y), 0xC0C0C0u) << y;
  // The profile's widest bar reaches half the width from the left edge.
  int widest = 0;
  for (int y = 0; y < 240; ++y) {
    for (int x = 1; x < 400; ++x) {
      if (fixture.bitmap.pixel(x, y) == 0xFFFFAAu && x > widest) widest = x;
    }
  }
  EXPECT_GE(widest, 190);
}

TEST(PlotPainter, TextMarksInEachFrameStyle) {
  std::vector<TQuoteRecord> quotes;
  for (int i = 0; i < 8; ++i) quotes.push_back(closeQuote(10 + i));
  TPlotFixture fixture(320, 160, quotes);
  TPriceSeries& series = fixture.series();
  series.lineFields = quoteCloseBit;
  series.textMarks.add("plain", 0, markDefaultColor, markDefaultColor, 0, day(2024, 3, 2), 11);
  series.textMarks.add("box", 0, 0xE0FFE0, 0x800000, 1, day(2024, 3, 4), 13);
  series.textMarks.add("above", -14, 0xFFE0E0, markDefaultColor, 2, day(2024, 3, 6), 15);
  series.textMarks.add("below", 14, markDefaultColor, clBlack, 2, day(2024, 3, 7), 16);
  fixture.fit();
  fixture.paint();
  saveBitmapPicture(fixture.bitmap, "chart-text-marks");
  // Every mark was placed inside the plot, and can be found again.
  for (int m = 0; m < series.textMarks.count(); ++m) {
    const TMarkRect& r = series.textMarks.item(m)->screenRect;
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.bottom, 160);
    EXPECT_EQ(series.textMarks.markAt((r.left + r.right) / 2, (r.top + r.bottom) / 2), series.textMarks.item(m));
  }
  // The box above its point has its pointer under its lower edge.
  const TMarkRect& above = series.textMarks.item(2)->screenRect;
  const int pointerX = fixture.plot.indexToX(5);
  EXPECT_EQ(fixture.bitmap.pixel(pointerX, above.bottom + 3), black);
  EXPECT_EQ(fixture.bitmap.pixel(pointerX, above.bottom + 2), 0xE0E0FFu);
  EXPECT_EQ(fixture.bitmap.pixel(above.left - 1, above.bottom + 2), white);
}

TEST(PlotPainter, ImageMarksCentredOnTheirPointOrHidden) {
  std::vector<TQuoteRecord> quotes;
  for (int i = 0; i < 5; ++i) quotes.push_back(closeQuote(10 + i));
  TPlotFixture fixture(120, 100, quotes);
  TImageList images(8, 8);
  TBitmap strip(16, 8);
  strip.canvas().fillRect({0, 0, 8, 8}, clRed);
  strip.canvas().fillRect({8, 0, 16, 8}, clBlue);
  images.add(strip, clWhite);
  fixture.looks.imageList = &images;
  TPriceSeries& series = fixture.series();
  series.lineFields = quoteCloseBit;
  series.imageMarks.add(1, 0, "blue", day(2024, 3, 3), 12);
  series.imageMarks.add(7, 0, "no such image", day(2024, 3, 4), 13);
  TMarkMetrics metrics = metricsOf(fixture.bitmap.canvas());
  metrics.imageCount = images.count();
  metrics.imageWidth = 8;
  metrics.imageHeight = 8;
  fixture.plot.rebuildXValues();
  fixture.plot.loX = fixture.plot.firstX();
  fixture.plot.hiX = fixture.plot.lastX();
  fixture.plot.fitY(metrics);
  fixture.paint();
  const TMarkRect& shown = series.imageMarks.item(0)->screenRect;
  EXPECT_EQ(shown.right - shown.left, 8);
  EXPECT_EQ(shown.left, fixture.plot.indexToX(2) - 4);
  EXPECT_EQ(fixture.bitmap.pixel(shown.left + 4, shown.top + 4), 0x0000FFu);
  EXPECT_FALSE(series.imageMarks.item(1)->screenRect.placed());
  EXPECT_EQ(series.imageMarks.markAt(shown.left + 1, shown.top + 1), series.imageMarks.item(0));
}

TEST(PlotPainter, WritingStraightIntoTheBitmapDrawsWhatGdiDraws) {
  // Several records a column, gaps, candles both ways, wide lines and every
  // marker kind, reaching the edges of the plot.
  std::vector<TQuoteRecord> quotes;
  for (int i = 0; i < 400; ++i) {
    const long double close = 50 + 40 * std::sin(i / 9.0) + i % 7;
    quotes.push_back(i % 17 == 5 ? quoteOf(close, close + 4, NAN, NAN)
                                 : quoteOf(close + (i % 3 - 1) * 3, close + 5, close - 5, close, 100 + i));
  }
  TPlotFixture fixture(150, 90, quotes);
  TPriceSeries& highlighted = fixture.series();
  highlighted.barFields = quoteOpenBit | quoteHighBit | quoteLowBit | quoteCloseBit;
  highlighted.lineFields = quoteHighBit | quoteCloseBit;
  highlighted.closeMarker = pkDiamond;
  highlighted.color = 0x204080;
  for (int kind = pkDot; kind <= pkDiamond; ++kind) {
    TPriceSeries& series = *fixture.plot.series(fixture.plot.addSeries());
    auto prices = std::make_unique<TPrices>();
    for (int i = 0; i < 400; i += kind) {
      prices->addRecord(closeQuote(10 + kind * 10 + 30 * std::cos(i / 7.0 + kind)), false, 0, day(2024, 3, 1) + i);
    }
    series.takePrices(std::move(prices));
    series.closeMarker = kind;
    series.foreground = kind % 2 == 0;
    series.color = 0x101010u * kind;
  }
  fixture.looks.fillHighlighted = true;
  fixture.looks.profileHighlighted = true;
  fixture.looks.defaultSeriesWidth = 2;
  fixture.fit();
  // And a candle whose high lies far above the view.
  TPrices outlier;
  outlier.addRecord(quoteOf(40, 1e12, 10, 60), false, 0, day(2024, 3, 1) + 200);
  auto paint = [&](TCanvas& canvas) {
    TPlotPainter painter(canvas, fixture.plot, fixture.looks);
    painter.paint(fixture.overlays, nullptr, nullptr);
    painter.drawBars(&outlier, highlighted.barFields, 1, 3, clWhite, clRed);
  };
  paint(fixture.bitmap.canvas());
  const std::vector<uint32_t> direct = bitmapPixels(fixture.bitmap);

  // A clip region keeps every shape on GDI.
  fixture.bitmap.canvas().setClipRect({0, 0, 150, 90});
  paint(fixture.bitmap.canvas());
  fixture.bitmap.canvas().clearClip();
  EXPECT_EQ(bitmapPixels(fixture.bitmap), direct);

  // A bitmap whose rows lie bottom up.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 150;
  info.bmiHeader.biHeight = 90;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  TBitmapHandle upward(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_TRUE(upward);
  TMemoryDC dc;
  const HGDIOBJ original = SelectObject(dc.get(), upward.get());
  {
    TCanvas canvas(dc.get());
    paint(canvas);
  }
  GdiFlush();
  std::vector<uint32_t> upwardPixels;
  for (int y = 89; y >= 0; --y) {
    for (int x = 0; x < 150; ++x) upwardPixels.push_back(static_cast<const uint32_t*>(bits)[y * 150 + x] & 0xFFFFFF);
  }
  SelectObject(dc.get(), original);
  EXPECT_EQ(upwardPixels, direct);
}
