#pragma once
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "chart/DibPixels.h"
#include "chart/ShapeStamps.h"
#include "platform/Colors.h"
#include "platform/Font.h"

class TCanvas;
class TImageList;
class TPricePlot;
class TPrices;
class TTextMarks;
class TImageMarks;
class TSeries;

// The looks of a plot area: its colours, widths and what it draws of the
// highlighted series.
struct TPlotLooks {
  TColor color = clWhite;  // the panel's background
  TFont font;              // the plot's font (mark texts, position labels)
  bool noPaint = false;
  bool hLines = false;
  bool vLines = false;
  bool fillHighlighted = false;
  bool profileHighlighted = false;
  bool fillProfile = true;
  TColor bgSeriesColor = 0x808080;
  TColor gridColor = 0xC0C0C0;
  TColor fillColor = 0xAAFFFF;
  TColor profileFillColor = 0xAAFFFF;
  int defaultSeriesWidth = 1;
  int defaultHighlightedSeriesWidth = 2;
  int gridWidth = 1;
  int maxProfileBins = 16;
  int gridStyle = PS_SOLID;
  long double profileWidthFraction = 0.5L;
  const TImageList* imageList = nullptr;
  std::string linkCaption;
};

// The screen-only overlays of a plot, drawn by inversion: drawing one twice
// leaves the picture as it was.
struct TPlotOverlays {
  POINT crossHair{-1, -1};
  POINT measureStart{-1, -1};
  POINT measureEnd{-1, -1};
  SIZE linkCaptionExtent{0, -1};
};

// Draws a plot area onto a canvas: the series of the plot with its mapping,
// bars, the volume profile, marks, grid and the overlays. Works on a bitmap
// as on a window. A painter draws one picture: it keeps the pixel positions
// it has found, so the plot's mapping stays as it is while the painter
// lives (a full paint sets it first).
class TPlotPainter {
 public:
  TPlotPainter(TCanvas& canvas, TPricePlot& plot, const TPlotLooks& looks);

  // The whole picture; the grids follow the labelled ticks of the master
  // axes (null: no grid that way).
  void paint(TPlotOverlays& overlays, const std::vector<int>* verticalGrid, const std::vector<int>* horizontalGrid);

  void drawSeriesLine(const TPrices* prices, int field, bool fill, bool breakAtGaps, long double scale, int width,
                      TColor fillColor, TColor color);
  void drawSeriesMarkers(int kind, const TPrices* prices, long double scale, int size, TColor color, int field);
  void drawBars(const TPrices* prices, unsigned fields, long double scale, int width, TColor risingColor,
                TColor color);
  void drawProfile(const TPrices* prices, TColor color, bool fill, long double scale, TColor fillColor);
  void drawTextMarks(TTextMarks& marks, TColor defaultBackground, long double scale);
  void drawImageMarks(TImageMarks& marks, long double scale);
  void drawLinkCaption(TPlotOverlays& overlays);

  // The overlays: each call inverts what it draws.
  void invertCrossHair(POINT at);
  void invertMeasureLine(POINT from, POINT to);

 private:
  bool fieldValue(TPrices& prices, int i, int field, long double scale, long double& value) const;
  // The x of index i, from the first visible index to one past the last.
  int columnX(int i);
  // The y of a field of a series at each visible index (absentRow where the
  // record or the field is missing), found once for its line and markers.
  const std::vector<int>& fieldRows(const TPrices* prices, int field, long double scale);
  void drawHighlightedBackground(int index);
  void drawHighlightedTop(int index);
  int highlightedWidth(const TSeries& series) const;
  // The stamp of a marker when it can be written into the bitmap directly.
  const TStamp* markerStamp(int kind, int size, TColor color);

  TCanvas& canvas_;
  TPricePlot& plot_;
  const TPlotLooks& looks_;
  TDibPixels pixels_;
  TShapeStamps stamps_;
  std::vector<int> columns_;
  struct TFieldRows {
    const TPrices* prices;
    int field;
    long double scale;
    std::vector<int> rows;
  };
  std::deque<TFieldRows> fieldRows_;  // references stay valid as it grows
};
