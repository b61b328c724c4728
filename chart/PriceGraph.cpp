#include "chart/PriceGraph.h"

#include <algorithm>

#include "chart/Axis.h"
#include "platform/Canvas.h"
#include "platform/ImageList.h"

TPriceGraph::TPriceGraph(TControl* parent) : TKeyPanel(parent), measuring_(1, 1) {
  setBevelOuter(TBevelCut::none);
  setColor(clWhite);
  updateClientSize();
}

TPriceGraph::~TPriceGraph() = default;

void TPriceGraph::updateClientSize() {
  plot_.clientWidth = clientWidth();
  plot_.clientHeight = clientHeight();
}

TMarkMetrics TPriceGraph::markMetrics() {
  TMarkMetrics metrics;
  measuring_.canvas().setFont(font());
  metrics.textExtent = [this](const std::string& text, int& w, int& h) {
    const SIZE size = measuring_.canvas().textExtent(text);
    w = size.cx;
    h = size.cy;
  };
  if (looks_.imageList != nullptr) {
    metrics.imageCount = looks_.imageList->count();
    metrics.imageWidth = looks_.imageList->width();
    metrics.imageHeight = looks_.imageList->height();
  }
  return metrics;
}

bool TPriceGraph::highlightedDrawn() const {
  return plot_.drawAllFgHighlighted || plot_.series(plot_.highlighted) != nullptr;
}

void TPriceGraph::removeSeries(int i) {
  if (plot_.removeSeries(i)) {
    fitY();
    invalidate();
  }
}

void TPriceGraph::freeAllSeries() {
  plot_.freeAllSeries();
  fitY();
  invalidate();
}

void TPriceGraph::clearSeriesData() {
  plot_.clearSeriesData();
  fitY();
  invalidate();
}

void TPriceGraph::setForeground(int i, bool on) {
  TPriceSeries* s = plot_.series(i);
  if (s == nullptr || s->foreground == on) return;
  s->foreground = on;
  if (!s->enabled && i != plot_.highlighted) fitY();
  invalidate();
}

void TPriceGraph::setHighlighted(int index) {
  plot_.highlighted = index;
  fitY();
  invalidate();
}

void TPriceGraph::rebuildXValues() {
  plot_.rebuildXValues();
  fitY();
}

void TPriceGraph::fitY(TYAxis* extra1, TYAxis* extra2) {
  updateClientSize();
  plot_.fitY(markMetrics());
  syncXAxis();
  auto give = [this](TYAxis& axis, bool always) {
    axis.setNoPaint(true);
    axis.setLo(plot_.lowY());
    axis.setHi(plot_.highY());
    axis.setNoPaint(false);
    if (always || axis.visible()) axis.invalidate();
  };
  if (hLineMaster_ != nullptr) give(*hLineMaster_, true);
  for (TYAxis* extra : {extra1, extra2}) {
    if (extra != nullptr && extra != hLineMaster_) give(*extra, false);
  }
}

void TPriceGraph::syncXAxis() {
  if (vLineMaster_ == nullptr) return;
  TXAxis& axis = *vLineMaster_;
  axis.setNoPaint(true);
  if (!plot_.showContinuousX) {
    if (plot_.xCount() > 0) {
      axis.setXValues(plot_.xValues());
    } else {
      axis.setXValues(nullptr);
      axis.setLo(0);
      axis.setHi(0);
    }
  } else {
    axis.setXValues(nullptr);
    axis.setLo(plot_.loX);
    axis.setHi(plot_.hiX);
  }
  axis.setLoIndex(plot_.lowIndex());
  axis.setHiIndex(plot_.highIndex());
  axis.setNoPaint(false);
  axis.invalidate();
}

void TPriceGraph::setLogarithmic(bool logarithmic) {
  if (plot_.logarithmic == logarithmic) return;
  plot_.logarithmic = logarithmic;
  if (hLineMaster_ != nullptr) hLineMaster_->storeLogarithmic(logarithmic);
  fitY();
  invalidate();
}

void TPriceGraph::setLoX(double x) {
  if (plot_.loX == x) return;
  plot_.loX = x;
  for (int i = 0; i < plot_.seriesCount(); ++i) {
    TPriceSeries* s = plot_.series(i);
    if (s != nullptr && s->percent) s->setPercentBase(x);
  }
  fitY();
  invalidate();
}

void TPriceGraph::setHiX(double x) {
  if (plot_.hiX == x) return;
  plot_.hiX = x;
  fitY();
  invalidate();
}

void TPriceGraph::setShowContinuousX(bool continuous) {
  if (plot_.showContinuousX == continuous) return;
  plot_.showContinuousX = continuous;
  syncXAxis();
  invalidate();
}

void TPriceGraph::setHLineMaster(TYAxis* axis) {
  hLineMaster_ = axis;
  if (axis != nullptr) {
    axis->setNoPaint(true);
    axis->setLo(plot_.lowY());
    axis->setHi(plot_.highY());
    axis->storeLogarithmic(plot_.logarithmic);
    axis->setNoPaint(false);
    axis->invalidate();
    if (looks_.hLines) invalidate();
  }
}

void TPriceGraph::setVLineMaster(TXAxis* axis) {
  vLineMaster_ = axis;
  syncXAxis();
  if (looks_.vLines) invalidate();
}

void TPriceGraph::setHLines(bool on) {
  if (looks_.hLines == on) return;
  looks_.hLines = on;
  if (hLineMaster_ != nullptr) invalidate();
}

void TPriceGraph::setVLines(bool on) {
  if (looks_.vLines == on) return;
  looks_.vLines = on;
  if (vLineMaster_ != nullptr) invalidate();
}

namespace {

// A setter that stores a changed value and repaints when the plot shows it.
template <class Value>
bool store(Value& field, const Value& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

void TPriceGraph::setGridStyle(int style) {
  if (store(looks_.gridStyle, style) && ((looks_.hLines && hLineMaster_) || (looks_.vLines && vLineMaster_))) {
    invalidate();
  }
}

void TPriceGraph::setGridColor(TColor color) {
  if (store(looks_.gridColor, color) && ((looks_.hLines && hLineMaster_) || (looks_.vLines && vLineMaster_))) {
    invalidate();
  }
}

void TPriceGraph::setGridWidth(int width) {
  if (width < 0) return;
  if (store(looks_.gridWidth, width) && ((looks_.hLines && hLineMaster_) || (looks_.vLines && vLineMaster_))) {
    invalidate();
  }
}

void TPriceGraph::setFillHighlighted(bool on) {
  if (store(looks_.fillHighlighted, on) && highlightedDrawn()) invalidate();
}

void TPriceGraph::setProfileHighlighted(bool on) {
  if (store(looks_.profileHighlighted, on) && highlightedDrawn()) invalidate();
}

void TPriceGraph::setFillColor(TColor color) {
  if (store(looks_.fillColor, color) && highlightedDrawn()) invalidate();
}

void TPriceGraph::setDefaultHighlightedSeriesWidth(int width) {
  if (store(looks_.defaultHighlightedSeriesWidth, width) && highlightedDrawn()) invalidate();
}

void TPriceGraph::setFillProfile(bool on) {
  if (store(looks_.fillProfile, on) && looks_.profileHighlighted && highlightedDrawn()) invalidate();
}

void TPriceGraph::setProfileFillColor(TColor color) {
  if (store(looks_.profileFillColor, color) && looks_.profileHighlighted && highlightedDrawn()) invalidate();
}

void TPriceGraph::setMaxProfileBins(int bins) {
  if (bins < 2) return;
  if (store(looks_.maxProfileBins, bins) && looks_.profileHighlighted && highlightedDrawn()) invalidate();
}

void TPriceGraph::setProfileWidthFraction(long double fraction) {
  if (!(fraction > 0 && fraction <= 1)) return;
  if (store(looks_.profileWidthFraction, fraction) && looks_.profileHighlighted && highlightedDrawn()) invalidate();
}

void TPriceGraph::setDrawAllFgHighlighted(bool on) {
  if (store(plot_.drawAllFgHighlighted, on)) invalidate();
}

void TPriceGraph::setBgSeriesColor(TColor color) {
  if (store(looks_.bgSeriesColor, color)) invalidate();
}

void TPriceGraph::setDefaultSeriesWidth(int width) {
  if (store(looks_.defaultSeriesWidth, width)) invalidate();
}

void TPriceGraph::setImageList(const TImageList* images) {
  looks_.imageList = images;
  invalidate();
}

void TPriceGraph::setLinkCaption(const std::string& caption) {
  looks_.linkCaption = caption;
  invalidate();
}

template <class Draw>
void TPriceGraph::drawOnScreen(Draw draw) {
  if (handle() == nullptr) return;
  TWindowDC dc(handle());
  TCanvas canvas(dc.get());
  updateClientSize();
  TPlotPainter painter(canvas, plot_, looks_);
  draw(painter);
}

void TPriceGraph::moveCrossHair(int x, int y) {
  const POINT old = overlays_.crossHair;
  drawOnScreen([&](TPlotPainter& painter) {
    painter.invertCrossHair(old);
    painter.invertCrossHair({x, y});
  });
  overlays_.crossHair = {x, y};
}

void TPriceGraph::startMeasure(POINT point) {
  overlays_.measureStart = point;
  overlays_.measureEnd = point;
}

void TPriceGraph::moveMeasure(int x, int y) {
  const POINT start = overlays_.measureStart;
  const POINT end = overlays_.measureEnd;
  drawOnScreen([&](TPlotPainter& painter) {
    painter.invertMeasureLine(start, end);
    painter.invertMeasureLine(start, {x, y});
  });
  overlays_.measureEnd = {x, y};
}

void TPriceGraph::drawMeasure() {
  const POINT start = overlays_.measureStart;
  const POINT end = overlays_.measureEnd;
  drawOnScreen([&](TPlotPainter& painter) { painter.invertMeasureLine(start, end); });
}

void TPriceGraph::endMeasure() {
  drawMeasure();
  overlays_.measureStart = {-1, -1};
  overlays_.measureEnd = {-1, -1};
}

void TPriceGraph::paintTo(TCanvas& canvas) {
  updateClientSize();
  looks_.color = color();
  looks_.font = font();
  const std::vector<int>* verticalGrid = nullptr;
  const std::vector<int>* horizontalGrid = nullptr;
  if (looks_.vLines && vLineMaster_ != nullptr) {
    vLineMaster_->updateTicks();
    verticalGrid = &vLineMaster_->tickPositions();
  }
  if (looks_.hLines && hLineMaster_ != nullptr) {
    hLineMaster_->updateTicks();
    horizontalGrid = &hLineMaster_->tickPositions();
  }
  TPlotPainter(canvas, plot_, looks_).paint(overlays_, verticalGrid, horizontalGrid);
}

void TPriceGraph::paint(TCanvas& canvas) {
  if (looks_.noPaint) {
    paintTo(canvas);
    return;
  }
  const int w = std::max(clientWidth(), 1);
  const int h = std::max(clientHeight(), 1);
  if (!repairing_ || picture_.width() != w || picture_.height() != h) {
    if (picture_.width() != w || picture_.height() != h) picture_.setSize(w, h);
    // The picture is kept without the cross-hair, which lives on the screen.
    const POINT crossHair = overlays_.crossHair;
    overlays_.crossHair = {-1, -1};
    paintTo(picture_.canvas());
    overlays_.crossHair = crossHair;
  }
  canvas.draw(0, 0, picture_);
  // Only the part being painted is drawn to: the cross-hair elsewhere on the
  // screen stays as it is.
  TPlotPainter(canvas, plot_, looks_).invertCrossHair(overlays_.crossHair);
}

void TPriceGraph::resized() {
  TKeyPanel::resized();
  updateClientSize();
  fitY();
}
