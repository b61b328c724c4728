#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "chart/Series.h"

struct TQuoteRecord;

// The sizes the plot needs to place marks: text extents in the plot's font
// and the image list's image size and count.
struct TMarkMetrics {
  std::function<void(const std::string& text, int& width, int& height)> textExtent;
  int imageCount = 0;
  int imageWidth = 0;
  int imageHeight = 0;
};

// The plot area without its window: the owned series, the sorted union of
// their X values, the visible index range, the fitted Y range and the
// mapping between values and pixels of a client area of a given size.
class TPricePlot {
 public:
  TPricePlot();
  ~TPricePlot();
  TPricePlot(const TPricePlot&) = delete;
  TPricePlot& operator=(const TPricePlot&) = delete;

  // Options read by the fitting and the mapping.
  bool logarithmic = false;
  bool showContinuousX = true;
  bool drawAllFgHighlighted = false;
  int highlighted = -1;
  double loX = 0;
  double hiX = 0;
  int clientWidth = 0;
  int clientHeight = 0;

  int seriesCount() const { return static_cast<int>(series_.size()); }
  // nullptr for a bad index.
  TPriceSeries* series(int i) const;
  int addSeries();
  // False for a bad index; the X values are rebuilt.
  bool removeSeries(int i);
  void freeAllSeries();
  // Hands the series over with their order, leaving the plot without any
  // (a computation fills them meanwhile); adoptSeries puts them back.
  std::vector<std::unique_ptr<TPriceSeries>> releaseAllSeries();
  void adoptSeries(std::vector<std::unique_ptr<TPriceSeries>> series);
  // Empties every series' prices and marks and rebuilds the X values.
  void clearSeriesData();

  bool isForeground(int i) const;
  uint32_t seriesColor(int i, uint32_t defaultColor) const;
  int seriesPointKind(int i) const;

  const std::shared_ptr<const std::vector<double>>& xValues() const { return xValues_; }
  int xCount() const { return static_cast<int>(xValues_->size()); }
  double xValue(int i) const { return (*xValues_)[i]; }
  double firstX() const;
  double lastX() const;
  double xTolerance() const { return xTolerance_; }

  // Merges every series' X values and marks; empties the list when a merge
  // fails. Then fits Y.
  void rebuildXValues();
  // The visible index range and the Y range over it, widened until the
  // marks fit.
  void fitY(const TMarkMetrics& metrics);

  int lowIndex() const { return lowIndex_; }
  int highIndex() const { return highIndex_; }
  double lowY() const { return lowY_; }
  double highY() const { return highY_; }
  long double xScale() const { return xScale_; }
  long double yScale() const { return yScale_; }

  // A logarithmic plot whose low Y is 0 or below is drawn linear: ln would
  // not be defined at its bottom.
  bool logarithmicInEffect() const { return logarithmic && lowY_ > 0; }
  void setXScale();
  void setYScale();

  int valueToY(long double v) const;
  long double yToValue(long double y) const;
  int indexToX(int i) const;
  // The y of the zero line, the bottom edge on a logarithmic plot.
  int zeroLineY() const;

  // The visible indices: from max(0, low index) to min(last X, high index).
  int firstVisible() const { return lowIndex_ < 0 ? 0 : lowIndex_; }
  int lastVisible() const { return highIndex_ < xCount() - 1 ? highIndex_ : xCount() - 1; }
  // The record dated X[i] within the tolerance; false when there is none.
  bool recordAt(TPrices& prices, int i, TQuoteRecord& record) const;
  // The first visible index whose X lies within the tolerance of x, or -1.
  int locateMark(double x) const;

  // How far the marks of a series would stick out above the top (top) and
  // below the bottom (bottom), folded into the running values.
  void textMarkOvershoot(const TTextMarks& marks, int& top, int& bottom, long double scale,
                         const TMarkMetrics& metrics) const;
  void imageMarkOvershoot(const TImageMarks& marks, int& top, int& bottom, long double scale,
                          const TMarkMetrics& metrics) const;

 private:
  bool takesPartInRange(int i) const;

  std::vector<std::unique_ptr<TPriceSeries>> series_;
  std::shared_ptr<const std::vector<double>> xValues_;
  double xTolerance_ = 0;
  int lowIndex_ = -1;
  int highIndex_ = -1;
  double lowY_ = 0;
  double highY_ = 0;
  long double xScale_ = 0;
  long double yScale_ = 0;
};
