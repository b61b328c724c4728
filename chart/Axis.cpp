#include "chart/Axis.h"

#include "platform/Canvas.h"

TAxis::TAxis(TControl* parent) : TPanel(parent) {
  setBevelOuter(TBevelCut::none);
  bitmap_.setSize(std::max(width(), 1), std::max(height(), 1));
}

TAxis::~TAxis() = default;

void TAxis::setFloatDecimals(int decimals) {
  model().floatDecimals = decimals;
  changed();
}

void TAxis::setFloatCommas(bool commas) {
  model().floatCommas = commas;
  changed();
}

void TAxis::setFloatTrimZeros(bool trimZeros) {
  model().floatTrimZeros = trimZeros;
  changed();
}

void TAxis::setFloatDecimalSeparator(const std::string& separator) {
  model().floatDecimalSeparator = separator;
  changed();
}

void TAxis::setFloatThousandSeparator(const std::string& separator) {
  model().floatThousandSeparator = separator;
  changed();
}

void TAxis::setLineWidth(int width) {
  model().lineWidth = width;
  changed();
}

void TAxis::setBigTickWidth(int width) {
  model().bigTickWidth = width;
  changed();
}

void TAxis::setBigTickHeight(int height) {
  model().bigTickHeight = height;
  changed();
}

void TAxis::setSmallTickWidth(int width) {
  model().smallTickWidth = width;
  if (model().smallTicks) changed();
}

void TAxis::setSmallTickHeight(int height) {
  model().smallTickHeight = height;
  if (model().smallTicks) changed();
}

void TAxis::setLabelMargin(int margin) {
  model().labelMargin = margin;
  changed();
}

void TAxis::setSmallTicks(bool smallTicks) {
  model().smallTicks = smallTicks;
  changed();
}

void TAxis::setShowSlider(bool show) {
  if (model().showSlider == show) return;
  model().showSlider = show;
  changed();
}

void TAxis::setSliderPos(int position) {
  model().sliderPos = position;
  if (model().showSlider) changed();
}

void TAxis::resized() {
  bitmap_.setSize(std::max(width(), 1), std::max(height(), 1));
  TPanel::resized();
}

void TAxis::updateTicks() {
  render();
  invalidate();
}

void TAxis::render() {
  const int w = std::max(clientWidth(), 1);
  const int h = std::max(clientHeight(), 1);
  if (bitmap_.width() != w || bitmap_.height() != h) bitmap_.setSize(w, h);
  TCanvas& canvas = bitmap_.canvas();
  canvas.fillRect({0, 0, w, h}, color());
  if (noPaint_) return;
  tickPositions_.clear();
  canvas.setFont(font());
  const int labelHeight = canvas.textHeight("1");
  const TAxisLayout layout = layOut(w, h, labelHeight, [&canvas](const std::string& text) {
    return canvas.textWidth(text);
  });
  tickPositions_ = layout.tickPositions;

  const TColor ink = font().color();
  canvas.setPen(ink, model().lineWidth);
  drawBaseLine(canvas, layout);
  canvas.setBrush(color(), TBrushStyle::clear);
  for (const TAxisTick& tick : layout.ticks) {
    drawTickLine(canvas, tick.position, tick.labelled, layout);
    if (tick.labelShown) canvas.textOut(tick.labelLeft, tick.labelTop, tick.text);
  }
  if (layout.slider.shown) {
    // The slider label stands out in swapped colours.
    TFont swapped = font();
    swapped.setColor(color());
    canvas.setFont(swapped);
    canvas.setBrush(ink);
    canvas.textOut(layout.slider.labelLeft, layout.slider.labelTop, layout.slider.text);
    canvas.setFont(font());
    drawTickLine(canvas, model().sliderPos, true, layout);
  }
}

void TAxis::paint(TCanvas& canvas) {
  render();
  // A suspended axis leaves the screen as it was.
  if (noPaint_) return;
  canvas.draw(0, 0, bitmap_);
}

// ---------------------------------------------------------------- X axis

TXAxis::TXAxis(TControl* parent) : TAxis(parent) { setBounds(0, 0, 96, 24); }

void TXAxis::setLo(double lo) {
  model_.lo = lo;
  if (!model_.xValues()) changed();
}

void TXAxis::setHi(double hi) {
  model_.hi = hi;
  if (!model_.xValues()) changed();
}

void TXAxis::setLoIndex(int index) {
  model_.setLoIndex(index);
  changed();
}

void TXAxis::setHiIndex(int index) {
  model_.setHiIndex(index);
  changed();
}

void TXAxis::setXValues(std::shared_ptr<const std::vector<double>> values) {
  model_.setXValues(std::move(values));
  changed();
}

void TXAxis::setAboveGraph(bool above) {
  model_.aboveGraph = above;
  changed();
}

void TXAxis::setDateLabels(bool dates) {
  model_.dateLabels = dates;
  changed();
}

void TXAxis::setDateFormatString(const std::string& format) {
  model_.dateFormatString = format;
  if (model_.dateLabels) changed();
}

void TXAxis::setTimeFormatString(const std::string& format) {
  model_.timeFormatString = format;
  if (model_.dateLabels) changed();
}

TAxisLayout TXAxis::layOut(int width, int height, int labelHeight, const TTextWidth& textWidth) {
  return model_.layout(width, height, labelHeight, textWidth);
}

namespace {

// A tick from the base line to its end, that end included (GDI leaves a
// line's end point out).
int pastEnd(int end, int baseLine) { return end >= baseLine ? end + 1 : end - 1; }

}  // namespace

// On an X axis a tick's pen width is its width and its length its height.
void TXAxis::drawTickLine(TCanvas& canvas, int position, bool labelled, const TAxisLayout& layout) {
  const int pen = labelled ? model_.bigTickWidth : model_.smallTickWidth;
  const int end = labelled ? layout.bigTickEnd : layout.smallTickEnd;
  canvas.setPen(font().color(), pen > 0 ? pen : 1);
  canvas.line(position, layout.baseLine, position, pastEnd(end, layout.baseLine));
}

void TXAxis::drawBaseLine(TCanvas& canvas, const TAxisLayout& layout) {
  canvas.line(0, layout.baseLine, clientWidth(), layout.baseLine);
}

// ---------------------------------------------------------------- Y axis

TYAxis::TYAxis(TControl* parent) : TAxis(parent) { setBounds(0, 0, 24, 96); }

void TYAxis::setLo(double lo) {
  model_.lo = lo;
  changed();
}

void TYAxis::setHi(double hi) {
  model_.hi = hi;
  changed();
}

void TYAxis::setRightOfGraph(bool right) {
  model_.rightOfGraph = right;
  changed();
}

void TYAxis::setLogarithmic(bool logarithmic) {
  model_.logarithmic = logarithmic;
  changed();
}

TAxisLayout TYAxis::layOut(int width, int height, int labelHeight, const TTextWidth& textWidth) {
  return model_.layout(width, height, labelHeight, textWidth);
}

// On a Y axis the pen width is a tick's height and the length its width.
void TYAxis::drawTickLine(TCanvas& canvas, int position, bool labelled, const TAxisLayout& layout) {
  const int pen = labelled ? model_.bigTickHeight : model_.smallTickHeight;
  const int end = labelled ? layout.bigTickEnd : layout.smallTickEnd;
  canvas.setPen(font().color(), pen > 0 ? pen : 1);
  canvas.line(layout.baseLine, position, pastEnd(end, layout.baseLine), position);
}

void TYAxis::drawBaseLine(TCanvas& canvas, const TAxisLayout& layout) {
  canvas.line(layout.baseLine, 0, layout.baseLine, clientHeight());
}
