#pragma once
#include <windows.h>

#include <string>

#include "chart/PlotPainter.h"
#include "chart/PricePlot.h"
#include "platform/Bitmap.h"
#include "controls/KeyPanel.h"

class TXAxis;
class TYAxis;
class TImageList;

// The plot area of a price chart: a white panel that owns the series, maps
// them to pixels, keeps its master axes in line with its ranges and draws
// the cross-hair and measuring line that the chart moves with the mouse.
class TPriceGraph : public TKeyPanel {
 public:
  explicit TPriceGraph(TControl* parent);
  ~TPriceGraph() override;

  TPricePlot& plot() { return plot_; }
  const TPricePlot& plot() const { return plot_; }
  const TPlotLooks& looks() const { return looks_; }

  int addSeries() { return plot_.addSeries(); }
  TPriceSeries* series(int i) const { return plot_.series(i); }
  int seriesCount() const { return plot_.seriesCount(); }
  void removeSeries(int i);
  void freeAllSeries();
  void clearSeriesData();
  bool isForeground(int i) const { return plot_.isForeground(i); }
  void setForeground(int i, bool on);
  TColor seriesColor(int i) const { return static_cast<TColor>(plot_.seriesColor(i, looks_.bgSeriesColor)); }
  int seriesPointKind(int i) const { return plot_.seriesPointKind(i); }
  double firstX() const { return plot_.firstX(); }
  double lastX() const { return plot_.lastX(); }
  int highlighted() const { return plot_.highlighted; }
  void setHighlighted(int index);

  void rebuildXValues();
  // Fits Y and hands the ranges to the master axes and to the extra Y axes
  // given (the chart's after a resize).
  void fitY(TYAxis* extra1 = nullptr, TYAxis* extra2 = nullptr);
  void syncXAxis();

  bool logarithmic() const { return plot_.logarithmic; }
  void setLogarithmic(bool logarithmic);
  double loX() const { return plot_.loX; }
  double hiX() const { return plot_.hiX; }
  void setLoX(double x);
  void setHiX(double x);
  bool showContinuousX() const { return plot_.showContinuousX; }
  void setShowContinuousX(bool continuous);
  bool noPaint() const { return looks_.noPaint; }
  void setNoPaint(bool noPaint) { looks_.noPaint = noPaint; }

  TYAxis* hLineMaster() const { return hLineMaster_; }
  TXAxis* vLineMaster() const { return vLineMaster_; }
  void setHLineMaster(TYAxis* axis);
  void setVLineMaster(TXAxis* axis);
  bool hLines() const { return looks_.hLines; }
  bool vLines() const { return looks_.vLines; }
  void setHLines(bool on);
  void setVLines(bool on);
  void setGridStyle(int style);
  TColor gridColor() const { return looks_.gridColor; }
  void setGridColor(TColor color);
  void setGridWidth(int width);

  bool fillHighlighted() const { return looks_.fillHighlighted; }
  void setFillHighlighted(bool on);
  bool profileHighlighted() const { return looks_.profileHighlighted; }
  void setProfileHighlighted(bool on);
  TColor fillColor() const { return looks_.fillColor; }
  void setFillColor(TColor color);
  void setDefaultHighlightedSeriesWidth(int width);
  bool fillProfile() const { return looks_.fillProfile; }
  void setFillProfile(bool on);
  TColor profileFillColor() const { return looks_.profileFillColor; }
  void setProfileFillColor(TColor color);
  int maxProfileBins() const { return looks_.maxProfileBins; }
  void setMaxProfileBins(int bins);
  long double profileWidthFraction() const { return looks_.profileWidthFraction; }
  void setProfileWidthFraction(long double fraction);
  void setDrawAllFgHighlighted(bool on);
  TColor bgSeriesColor() const { return looks_.bgSeriesColor; }
  void setBgSeriesColor(TColor color);
  void setDefaultSeriesWidth(int width);
  void setImageList(const TImageList* images);
  void setLinkCaption(const std::string& caption);

  // The overlays, drawn at once on the screen by inversion.
  void moveCrossHair(int x, int y);
  POINT crossHair() const { return overlays_.crossHair; }
  void startMeasure(POINT point);
  void moveMeasure(int x, int y);
  void drawMeasure();
  void endMeasure();
  POINT measureStart() const { return overlays_.measureStart; }
  SIZE linkCaptionExtent() const { return overlays_.linkCaptionExtent; }

  // Draws the whole plot onto a canvas of the client's size (a bitmap for
  // pictures, the window when painting).
  void paintTo(TCanvas& canvas);

  // Runs a change that uncovers parts of the plot without changing what it
  // shows (hiding the position labels over it): pending paints are done
  // first, and the uncovered parts are then restored from the last picture
  // instead of drawing every series again.
  template <class Change>
  void repairAfter(Change change) {
    update();
    repairing_ = true;
    change();
    update();
    repairing_ = false;
  }

 protected:
  void paint(TCanvas& canvas) override;
  void resized() override;

 private:
  TMarkMetrics markMetrics();
  void updateClientSize();
  bool highlightedDrawn() const;
  // Draws on the window now, outside a paint.
  template <class Draw>
  void drawOnScreen(Draw draw);

  TPricePlot plot_;
  TPlotLooks looks_;
  TPlotOverlays overlays_;
  TYAxis* hLineMaster_ = nullptr;
  TXAxis* vLineMaster_ = nullptr;
  TBitmap measuring_;  // a canvas with the plot's font for text extents
  TBitmap picture_;    // the last full paint, without the overlays
  bool repairing_ = false;
};
