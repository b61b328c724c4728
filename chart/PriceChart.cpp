#include "chart/PriceChart.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>

#include "chart/Axis.h"
#include "chart/CaptionEditor.h"
#include "chart/PixelRounding.h"
#include "chart/PositionReadout.h"
#include "chart/PriceGraph.h"
#include "controls/ResizablePanelContainer.h"
#include "model/PortableIniFile.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/StdControls.h"

namespace {

constexpr int frameLeft = 8;    // right of the drag strip
constexpr int outerMargin = 3;  // above, below and right of the frame
constexpr int readoutDelay = 500;

TFont smallFont() { return TFont("Small Fonts", 6); }

TFontProperties propertiesOf(const TFont& font) {
  TFontProperties properties;
  properties.name = font.name();
  properties.style = font.style();
  properties.color = font.color();
  properties.size = font.size();
  return properties;
}

TFont fontOf(const TFontProperties& properties) {
  TFont font(properties.name, properties.size, properties.style);
  font.setColor(properties.color);
  return font;
}

}  // namespace

// ------------------------------------------------------------ caption strip

TCaptionPanel::TCaptionPanel(TControl* parent) : TPanel(parent) {
  setBevelOuter(TBevelCut::none);
  setBorderWidth(1);
  setColor(clBtnFace);
}

void TCaptionPanel::setAlignment(int alignment) {
  alignment_ = alignment;
  invalidate();
}

void TCaptionPanel::paint(TCanvas& canvas) {
  RECT rect = clientRect();
  InflateRect(&rect, -1, -1);
  const UINT horizontal = alignment_ == 1 ? DT_RIGHT : alignment_ == 2 ? DT_CENTER : DT_LEFT;
  canvas.setBrush(color(), TBrushStyle::clear);
  canvas.textRect(rect, text(), horizontal | DT_WORDBREAK | DT_NOPREFIX);
}

// ------------------------------------------------------------ chart

TPriceChart::TPriceChart(TControl* parent) : TResizablePanel(parent), readoutTimer_(readoutDelay) {
  setBounds(0, 0, 185, 185);
  setConstraints(9, 23);
  labelColor_ = clInfoBk;

  bottomCaption_ = &add<TCaptionPanel>();
  bottomCaption_->setBounds(frameLeft, 166, 174, 16);
  bottomCaption_->setAnchors(akLeft | akRight | akBottom);
  topCaption_ = &add<TCaptionPanel>();
  topCaption_->setBounds(frameLeft, 3, 174, 16);
  topCaption_->setAnchors(akLeft | akTop | akRight);
  fitCaptionEditor(true);
  fitCaptionEditor(false);

  frame_ = &add<TPanel>();
  frame_->setBounds(frameLeft, 19, 174, 147);
  frame_->setAnchors(akLeft | akTop | akRight | akBottom);
  frame_->setBevelOuter(TBevelCut::none);
  frame_->setColor(clBtnFace);
  frame_->onResize = [this] { layoutFrame(); };

  graph_ = &frame_->add<TPriceGraph>();
  graph_->setBounds(39, 19, 96, 109);
  graph_->setFont(smallFont());
  leftAxis_ = &frame_->add<TYAxis>();
  leftAxis_->setBounds(0, 19, 39, 109);
  rightAxis_ = &frame_->add<TYAxis>();
  rightAxis_->setBounds(135, 19, 39, 109);
  rightAxis_->setRightOfGraph(true);
  topAxis_ = &frame_->add<TXAxis>();
  topAxis_->setBounds(39, 0, 96, 19);
  topAxis_->setAboveGraph(true);
  bottomAxis_ = &frame_->add<TXAxis>();
  bottomAxis_->setBounds(39, 128, 96, 19);
  for (TAxis* axis : std::initializer_list<TAxis*>{leftAxis_, rightAxis_, topAxis_, bottomAxis_}) {
    axis->setFont(smallFont());
    axis->setColor(frame_->color());
    axis->onMouseDown = [this](TMouseButton, TShiftState, int, int) { bringToFront(); };
  }
  for (TControl* strip : std::initializer_list<TControl*>{topCaption_, bottomCaption_}) {
    strip->onMouseDown = [this](TMouseButton, TShiftState, int, int) { bringToFront(); };
  }
  graph_->setVLines(true);
  graph_->setHLines(true);
  graph_->setCursor(normalCursor_);
  graph_->onMouseMove = [this](TShiftState shift, int x, int y) { graphMouseMove(shift, x, y); };
  graph_->onMouseDown = [this](TMouseButton button, TShiftState shift, int x, int y) {
    graphMouseDown(button, shift, x, y);
  };
  graph_->onMouseUp = [this](TMouseButton button, TShiftState shift, int x, int y) {
    graphMouseUp(button, shift, x, y);
  };

  for (TLabel*& label : labels_) {
    label = &graph_->add<TLabel>("");
    label->setBounds(0, 0, 0, 0);
    label->setFont(graph_->font());
    label->hide();
  }
  applyLabelColors();
  readoutTimer_.onTimer = [this] { crossHairText(); };
  openLink = [](const std::string& address) {
    ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  };
  layoutChart();
}

TPriceChart::~TPriceChart() {
  onCrossHairMoved = nullptr;
  graph_->onMouseMove = nullptr;
  graph_->onMouseDown = nullptr;
  graph_->onMouseUp = nullptr;
  readoutTimer_.setEnabled(false);
}

void TPriceChart::fitCaptionEditor(bool top) {
  TCaptionPanel& caption = top ? *topCaption_ : *bottomCaption_;
  std::unique_ptr<TCaptionEditor>& editor = top ? topEditor_ : bottomEditor_;
  if (editor && editor->alignment() == caption.alignment()) return;
  auto made = std::make_unique<TCaptionEditor>(&caption, caption.alignment());
  made->setBounds(1, 1, caption.width() - 1, caption.height() - 1);
  made->setAnchors(akLeft | akTop | akRight | akBottom);
  made->hide();
  TCaptionEditor& shown = *made;
  shown.onDoubleClick = [this, top] { top ? topTextEditDblClick() : bottomTextEditDblClick(); };
  shown.onKeyPress = [this, top](char& key) { top ? topTextEditKeyPress(key) : bottomTextEditKeyPress(key); };
  shown.onExit = [&shown] { shown.hide(); };
  shown.onMouseDown = [this](TMouseButton, TShiftState, int, int) { bringToFront(); };
  editor = std::move(made);
}

TEdit& TPriceChart::topTextEditor() { return *topEditor_; }
TEdit& TPriceChart::bottomTextEditor() { return *bottomEditor_; }

TLabel& TPriceChart::positionLabel(int which) { return *labels_[std::clamp(which, 0, 4)]; }

// ------------------------------------------------------------ layout

void TPriceChart::layoutChart() {
  const int w = std::max(clientWidth() - frameLeft - outerMargin, 1);
  const int h = clientHeight();
  const int topHeight = topCaption_->height();
  const int bottomHeight = bottomCaption_->height();
  topCaption_->setBounds(frameLeft, outerMargin, w, topHeight);
  bottomCaption_->setBounds(frameLeft, h - outerMargin - bottomHeight, w, bottomHeight);
  // A hidden caption lies under the frame, which takes its place.
  const int frameTop = topTextVisible_ ? outerMargin + topHeight : outerMargin;
  const int frameBottom = bottomTextVisible_ ? h - outerMargin - bottomHeight : h - outerMargin;
  topCaption_->setVisible(topTextVisible_);
  bottomCaption_->setVisible(bottomTextVisible_);
  frame_->setBounds(frameLeft, frameTop, w, std::max(frameBottom - frameTop, 1));
  layoutFrame();
}

void TPriceChart::layoutFrame() {
  const int fw = frame_->clientWidth();
  const int fh = frame_->clientHeight();
  // A hidden axis keeps one pixel row or column inside the frame.
  const int topX = topXVisible_ ? 0 : 1 - topAxis_->height();
  const int bottomX = bottomXVisible_ ? fh - bottomAxis_->height() : fh - 1;
  const int leftY = leftYVisible_ ? 0 : 1 - leftAxis_->width();
  const int rightY = rightYVisible_ ? fw - rightAxis_->width() : fw - 1;
  const int plotTop = topX + topAxis_->height();
  const int plotHeight = std::max(bottomX - plotTop, 1);
  // The plot overlaps each Y axis by one pixel column.
  const int plotLeft = leftY + leftAxis_->width() - 1;
  const int plotWidth = std::max(rightY - plotLeft + 1, 1);
  topAxis_->setBounds(plotLeft, topX, plotWidth, topAxis_->height());
  bottomAxis_->setBounds(plotLeft, bottomX, plotWidth, bottomAxis_->height());
  leftAxis_->setBounds(leftY, plotTop, leftAxis_->width(), plotHeight);
  rightAxis_->setBounds(rightY, plotTop, rightAxis_->width(), plotHeight);
  graph_->setBounds(plotLeft, plotTop, plotWidth, plotHeight);
  graph_->bringToFront();
}

void TPriceChart::resized() {
  TResizablePanel::resized();
  if (frame_ == nullptr) return;
  layoutChart();
  graph_->fitY(leftAxis_, rightAxis_);
}

// ------------------------------------------------------------ axes

void TPriceChart::repaintIfMasterX(const TXAxis& axis) {
  if (graph_->vLines() && graph_->vLineMaster() == &axis) graph_->invalidate();
}

void TPriceChart::repaintIfMasterY(const TYAxis& axis) {
  if (graph_->hLines() && graph_->hLineMaster() == &axis) graph_->invalidate();
}

void TPriceChart::setTopXAxisVisible(bool visible) {
  topXVisible_ = visible;
  layoutFrame();
}
bool TPriceChart::getTopXAxisDates() const { return topAxis_->dateLabels(); }
void TPriceChart::setTopXAxisDates(bool dates) {
  if (topAxis_->dateLabels() == dates) return;
  topAxis_->setDateLabels(dates);
  repaintIfMasterX(*topAxis_);
}
bool TPriceChart::getTopXAxisSlider() const { return topAxis_->showSlider(); }
void TPriceChart::setTopXAxisSlider(bool slider) { topAxis_->setShowSlider(slider); }
int TPriceChart::getTopXAxisHeight() const { return topAxis_->height(); }
void TPriceChart::setTopXAxisHeight(int height) {
  if (height < 1) return;
  topAxis_->setSize(topAxis_->width(), height);
  layoutFrame();
}
TFont TPriceChart::getTopXAxisFont() const { return topAxis_->font(); }
void TPriceChart::setTopXAxisFont(const TFont& font) {
  topAxis_->setFont(font);
  repaintIfMasterX(*topAxis_);
}

void TPriceChart::setBottomXAxisVisible(bool visible) {
  bottomXVisible_ = visible;
  layoutFrame();
}
bool TPriceChart::getBottomXAxisDates() const { return bottomAxis_->dateLabels(); }
void TPriceChart::setBottomXAxisDates(bool dates) {
  if (bottomAxis_->dateLabels() == dates) return;
  bottomAxis_->setDateLabels(dates);
  repaintIfMasterX(*bottomAxis_);
}
bool TPriceChart::getBottomXAxisSlider() const { return bottomAxis_->showSlider(); }
void TPriceChart::setBottomXAxisSlider(bool slider) { bottomAxis_->setShowSlider(slider); }
int TPriceChart::getBottomXAxisHeight() const { return bottomAxis_->height(); }
void TPriceChart::setBottomXAxisHeight(int height) {
  if (height < 1) return;
  bottomAxis_->setSize(bottomAxis_->width(), height);
  layoutFrame();
}
TFont TPriceChart::getBottomXAxisFont() const { return bottomAxis_->font(); }
void TPriceChart::setBottomXAxisFont(const TFont& font) {
  bottomAxis_->setFont(font);
  repaintIfMasterX(*bottomAxis_);
}

void TPriceChart::setLeftYAxisVisible(bool visible) {
  leftYVisible_ = visible;
  layoutFrame();
}
bool TPriceChart::getLeftYAxisSlider() const { return leftAxis_->showSlider(); }
void TPriceChart::setLeftYAxisSlider(bool slider) { leftAxis_->setShowSlider(slider); }
int TPriceChart::getLeftYAxisWidth() const { return leftAxis_->width(); }
void TPriceChart::setLeftYAxisWidth(int width) {
  if (width < 1) return;
  leftAxis_->setSize(width, leftAxis_->height());
  layoutFrame();
}
TFont TPriceChart::getLeftYAxisFont() const { return leftAxis_->font(); }
void TPriceChart::setLeftYAxisFont(const TFont& font) {
  leftAxis_->setFont(font);
  repaintIfMasterY(*leftAxis_);
}

void TPriceChart::setRightYAxisVisible(bool visible) {
  rightYVisible_ = visible;
  layoutFrame();
}
bool TPriceChart::getRightYAxisSlider() const { return rightAxis_->showSlider(); }
void TPriceChart::setRightYAxisSlider(bool slider) { rightAxis_->setShowSlider(slider); }
int TPriceChart::getRightYAxisWidth() const { return rightAxis_->width(); }
void TPriceChart::setRightYAxisWidth(int width) {
  if (width < 1) return;
  rightAxis_->setSize(width, rightAxis_->height());
  layoutFrame();
}
TFont TPriceChart::getRightYAxisFont() const { return rightAxis_->font(); }
void TPriceChart::setRightYAxisFont(const TFont& font) {
  rightAxis_->setFont(font);
  repaintIfMasterY(*rightAxis_);
}

void TPriceChart::setAxesFont(const TFont& font) {
  for (TAxis* axis : std::initializer_list<TAxis*>{topAxis_, bottomAxis_, leftAxis_, rightAxis_}) axis->setFont(font);
  if (graph_->hLines() || graph_->vLines()) graph_->invalidate();
}

TColor TPriceChart::getAxesColor() const { return frame_->color(); }
void TPriceChart::setAxesColor(TColor color) {
  frame_->setColor(color);
  for (TAxis* axis : std::initializer_list<TAxis*>{topAxis_, bottomAxis_, leftAxis_, rightAxis_}) {
    axis->setColor(color);
  }
}

bool TPriceChart::getTopXGrid() const { return graph_->vLineMaster() == topAxis_; }
void TPriceChart::setTopXGrid(bool on) {
  if (on) {
    graph_->setVLineMaster(topAxis_);
  } else if (getTopXGrid()) {
    graph_->setVLineMaster(nullptr);
  }
}
bool TPriceChart::getBottomXGrid() const { return graph_->vLineMaster() == bottomAxis_; }
void TPriceChart::setBottomXGrid(bool on) {
  if (on) {
    graph_->setVLineMaster(bottomAxis_);
  } else if (getBottomXGrid()) {
    graph_->setVLineMaster(nullptr);
  }
}
bool TPriceChart::getLeftYGrid() const { return graph_->hLineMaster() == leftAxis_; }
void TPriceChart::setLeftYGrid(bool on) {
  if (on) {
    graph_->setHLineMaster(leftAxis_);
  } else if (getLeftYGrid()) {
    graph_->setHLineMaster(nullptr);
  }
}
bool TPriceChart::getRightYGrid() const { return graph_->hLineMaster() == rightAxis_; }
void TPriceChart::setRightYGrid(bool on) {
  if (on) {
    graph_->setHLineMaster(rightAxis_);
  } else if (getRightYGrid()) {
    graph_->setHLineMaster(nullptr);
  }
}
TColor TPriceChart::getGridColor() const { return graph_->gridColor(); }
void TPriceChart::setGridColor(TColor color) { graph_->setGridColor(color); }

// ------------------------------------------------------------ plot options

bool TPriceChart::getLogarithmic() const { return graph_->logarithmic(); }
void TPriceChart::setLogarithmic(bool on) {
  graph_->setLogarithmic(on);
  leftAxis_->setLogarithmic(on);
  rightAxis_->setLogarithmic(on);
}

void TPriceChart::setShowFlag(bool& flag, int label, bool show) {
  flag = show;
  if (!show) {
    labels_[label]->hide();
    labels_[label]->setText("");
  }
}
void TPriceChart::setShowPositionCenter(bool show) { setShowFlag(showCenter_, 0, show); }
void TPriceChart::setShowPositionTop(bool show) { setShowFlag(showTop_, 1, show); }
void TPriceChart::setShowPositionBottom(bool show) { setShowFlag(showBottom_, 2, show); }
void TPriceChart::setShowPositionLeft(bool show) { setShowFlag(showLeft_, 3, show); }
void TPriceChart::setShowPositionRight(bool show) { setShowFlag(showRight_, 4, show); }

void TPriceChart::applyLabelColors() {
  // A transparent label shows the plot's background.
  for (TLabel* label : labels_) label->setColor(transparentLabel_ ? clDefault : labelColor_);
}
void TPriceChart::setTransparentLabel(bool transparent) {
  transparentLabel_ = transparent;
  applyLabelColors();
}
void TPriceChart::setLabelColor(TColor color) {
  labelColor_ = color;
  applyLabelColors();
}

bool TPriceChart::getFill() const { return graph_->fillHighlighted(); }
void TPriceChart::setFill(bool on) { graph_->setFillHighlighted(on); }
TColor TPriceChart::getGraphColor() const { return graph_->color(); }
void TPriceChart::setGraphColor(TColor color) { graph_->setColor(color); }
TColor TPriceChart::getFillColor() const { return graph_->fillColor(); }
void TPriceChart::setFillColor(TColor color) { graph_->setFillColor(color); }
TFont TPriceChart::getGraphFont() const { return graph_->font(); }
bool TPriceChart::getProfileVisible() const { return graph_->profileHighlighted(); }
void TPriceChart::setProfileVisible(bool on) { graph_->setProfileHighlighted(on); }
bool TPriceChart::getProfileFill() const { return graph_->fillProfile(); }
void TPriceChart::setProfileFill(bool on) { graph_->setFillProfile(on); }
int TPriceChart::getMaxProfileBins() const { return graph_->maxProfileBins(); }
void TPriceChart::setMaxProfileBins(int bins) { graph_->setMaxProfileBins(bins); }
TColor TPriceChart::getProfileFillColor() const { return graph_->profileFillColor(); }
void TPriceChart::setProfileFillColor(TColor color) { graph_->setProfileFillColor(color); }

// ------------------------------------------------------------ captions

void TPriceChart::setTopTextVisible(bool visible) {
  topTextVisible_ = visible;
  layoutChart();
}
int TPriceChart::getTopTextAlign() const { return topCaption_->alignment(); }
void TPriceChart::setTopTextAlign(int align) {
  topCaption_->setAlignment(align);
  fitCaptionEditor(true);
}
TColor TPriceChart::getTopTextColor() const { return topCaption_->color(); }
void TPriceChart::setTopTextColor(TColor color) { topCaption_->setColor(color); }
TFont TPriceChart::getTopTextFont() const { return topCaption_->font(); }
std::string TPriceChart::getTopText() const { return topCaption_->text(); }
void TPriceChart::setTopText(const std::string& text) { topCaption_->setCaption(text); }
int TPriceChart::getTopTextHeight() const { return topCaption_->height(); }
void TPriceChart::setTopTextHeight(int height) {
  if (height < 1) return;
  topCaption_->setSize(topCaption_->width(), height);
  layoutChart();
}

void TPriceChart::setBottomTextVisible(bool visible) {
  bottomTextVisible_ = visible;
  layoutChart();
}
int TPriceChart::getBottomTextAlign() const { return bottomCaption_->alignment(); }
void TPriceChart::setBottomTextAlign(int align) {
  bottomCaption_->setAlignment(align);
  fitCaptionEditor(false);
}
TColor TPriceChart::getBottomTextColor() const { return bottomCaption_->color(); }
void TPriceChart::setBottomTextColor(TColor color) { bottomCaption_->setColor(color); }
TFont TPriceChart::getBottomTextFont() const { return bottomCaption_->font(); }
std::string TPriceChart::getBottomText() const { return bottomCaption_->text(); }
void TPriceChart::setBottomText(const std::string& text) { bottomCaption_->setCaption(text); }
int TPriceChart::getBottomTextHeight() const { return bottomCaption_->height(); }
void TPriceChart::setBottomTextHeight(int height) {
  if (height < 1) return;
  // The caption grows upwards: its bottom stays at the frame's bottom.
  bottomCaption_->setSize(bottomCaption_->width(), height);
  layoutChart();
}

void TPriceChart::editTopText() {
  if (!visible()) return;
  topEditor_->setText(topCaption_->text());
  topEditor_->show();
  if (topEditor_->canFocus()) topEditor_->setFocus();
}

void TPriceChart::editBottomText() {
  if (!visible()) return;
  bottomEditor_->setText(bottomCaption_->text());
  bottomEditor_->show();
  if (bottomEditor_->canFocus()) bottomEditor_->setFocus();
}

void TPriceChart::topTextEditDblClick() {
  topCaption_->setCaption(topEditor_->text());
  topEditor_->hide();
}

void TPriceChart::bottomTextEditDblClick() {
  bottomCaption_->setCaption(bottomEditor_->text());
  bottomEditor_->hide();
}

void TPriceChart::topTextEditKeyPress(char& key) {
  if (key == 13) topCaption_->setCaption(topEditor_->text());
  if (key == 13 || key == 27) {
    topEditor_->hide();
    key = 0;
  }
}

void TPriceChart::bottomTextEditKeyPress(char& key) {
  if (key == 13) bottomCaption_->setCaption(bottomEditor_->text());
  if (key == 13 || key == 27) {
    bottomEditor_->hide();
    key = 0;
  }
}

// ------------------------------------------------------------ series

void TPriceChart::setImageList(const TImageList* images) { graph_->setImageList(images); }

int TPriceChart::getLegendCount() const {
  int count = 0;
  bool enabled = false;
  std::string caption;
  for (int i = getLegendItem(0, enabled, caption); i >= 0; i = getLegendItem(i + 1, enabled, caption)) ++count;
  return count;
}

int TPriceChart::getLegendItem(int start, bool& enabled, std::string& caption) const {
  if (start < 0) return -1;
  for (int i = start; i < graph_->seriesCount(); ++i) {
    const TPriceSeries* s = graph_->series(i);
    if (s == nullptr || !s->inLegend || s->caption.empty()) continue;
    enabled = s->foreground;
    caption = s->caption;
    return i;
  }
  return -1;
}

bool TPriceChart::getSeriesEnabled(int index) const { return graph_->isForeground(index); }

void TPriceChart::setSeriesEnabled(int index, bool enabled) {
  if (graph_->series(index) == nullptr || graph_->isForeground(index) == enabled) return;
  graph_->setForeground(index, enabled);
  syncAxes();
}

TColor TPriceChart::getSeriesColor(int index) const { return graph_->seriesColor(index); }
int TPriceChart::getSeriesPointKind(int index) const { return graph_->seriesPointKind(index); }

void TPriceChart::copyToBitmap(TBitmap& bitmap) {
  const int left = frame_->left();
  bitmap.setSize(std::max(clientWidth() - left, 1), std::max(clientHeight() - 1, 1));
  TWindowDC dc(handle());
  TCanvas source(dc.get());
  bitmap.canvas().copyRect({0, 0, bitmap.width(), bitmap.height()}, source,
                           {left, 1, left + bitmap.width(), 1 + bitmap.height()});
}

void TPriceChart::syncAxes() {
  const TPricePlot& plot = graph_->plot();
  for (TXAxis* axis : {topAxis_, bottomAxis_}) {
    if (axis == graph_->vLineMaster()) continue;
    axis->setNoPaint(true);
    if (plot.showContinuousX) {
      axis->setXValues(nullptr);
      axis->setLo(plot.loX);
      axis->setHi(plot.hiX);
    } else if (plot.xCount() > 0) {
      axis->setXValues(plot.xValues());
    } else {
      axis->setXValues(nullptr);
      axis->setLo(0);
      axis->setHi(0);
    }
    axis->setLoIndex(plot.lowIndex());
    axis->setHiIndex(plot.highIndex());
    axis->setNoPaint(false);
    axis->invalidate();
  }
  for (TYAxis* axis : {leftAxis_, rightAxis_}) {
    if (axis == graph_->hLineMaster()) continue;
    axis->setNoPaint(true);
    axis->setLo(plot.lowY());
    axis->setHi(plot.highY());
    axis->storeLogarithmic(plot.logarithmic);
    axis->setNoPaint(false);
    axis->invalidate();
  }
}

// ------------------------------------------------------------ layout file

TChartLayout TPriceChart::getLayout() const {
  TChartLayout layout;
  if (auto* container = dynamic_cast<TResizablePanelContainer*>(parent())) {
    layout.inContainer = true;
    long double l = 0, t = 0, r = 1, b = 1;
    container->getRelativeBounds(const_cast<TPriceChart*>(this), l, t, r, b);
    layout.tileLeft = static_cast<double>(l);
    layout.tileTop = static_cast<double>(t);
    layout.tileRight = static_cast<double>(r);
    layout.tileBottom = static_cast<double>(b);
  }
  layout.maximized = maximized();
  auto xAxis = [](const TXAxis& axis, bool visible) {
    TChartLayout::TXAxisSettings settings;
    settings.visible = visible;
    settings.dates = axis.dateLabels();
    settings.slider = axis.showSlider();
    settings.height = axis.height();
    settings.font = propertiesOf(axis.font());
    return settings;
  };
  auto yAxis = [](const TYAxis& axis, bool visible) {
    TChartLayout::TYAxisSettings settings;
    settings.visible = visible;
    settings.slider = axis.showSlider();
    settings.width = axis.width();
    settings.font = propertiesOf(axis.font());
    return settings;
  };
  layout.topXAxis = xAxis(*topAxis_, topXVisible_);
  layout.bottomXAxis = xAxis(*bottomAxis_, bottomXVisible_);
  layout.leftYAxis = yAxis(*leftAxis_, leftYVisible_);
  layout.rightYAxis = yAxis(*rightAxis_, rightYVisible_);
  layout.axesColor = getAxesColor();
  layout.logarithmic = getLogarithmic();
  layout.crossHair = crossHairMode_;
  layout.showPositionCenter = showCenter_;
  layout.showPositionTop = showTop_;
  layout.showPositionBottom = showBottom_;
  layout.showPositionLeft = showLeft_;
  layout.showPositionRight = showRight_;
  layout.transparentLabel = transparentLabel_;
  layout.labelColor = labelColor_;
  layout.fill = getFill();
  layout.graphColor = getGraphColor();
  layout.fillColor = getFillColor();
  layout.graphFont = propertiesOf(getGraphFont());
  layout.gridTopX = getTopXGrid();
  layout.gridBottomX = getBottomXGrid();
  layout.gridLeftY = getLeftYGrid();
  layout.gridRightY = getRightYGrid();
  layout.gridColor = getGridColor();
  layout.profileVisible = getProfileVisible();
  layout.profileFill = getProfileFill();
  layout.maxProfileBins = getMaxProfileBins();
  layout.profileFillColor = getProfileFillColor();
  auto caption = [](const TCaptionPanel& panel, bool visible) {
    TChartLayout::TCaptionSettings settings;
    settings.visible = visible;
    settings.align = panel.alignment();
    settings.color = panel.color();
    settings.font = propertiesOf(panel.font());
    settings.text = panel.text();
    settings.height = panel.height();
    return settings;
  };
  layout.topText = caption(*topCaption_, topTextVisible_);
  layout.bottomText = caption(*bottomCaption_, bottomTextVisible_);
  return layout;
}

void TPriceChart::applyLayout(const TChartLayout& layout) {
  if (auto* container = dynamic_cast<TResizablePanelContainer*>(parent()); container && layout.inContainer) {
    container->setRelativeBounds(this, layout.tileLeft, layout.tileTop, layout.tileRight, layout.tileBottom);
  }
  setMaximized(layout.maximized);
  auto caption = [this](TCaptionPanel& panel, const TChartLayout::TCaptionSettings& settings, bool top) {
    top ? setTopTextVisible(settings.visible) : setBottomTextVisible(settings.visible);
    top ? setTopTextAlign(settings.align) : setBottomTextAlign(settings.align);
    panel.setColor(settings.color);
    panel.setFont(fontOf(settings.font));
    panel.setCaption(settings.text);
    top ? setTopTextHeight(settings.height) : setBottomTextHeight(settings.height);
  };
  caption(*topCaption_, layout.topText, true);
  caption(*bottomCaption_, layout.bottomText, false);

  setLogarithmic(layout.logarithmic);
  setCrossHair(layout.crossHair);
  setShowPositionCenter(layout.showPositionCenter);
  setShowPositionTop(layout.showPositionTop);
  setShowPositionBottom(layout.showPositionBottom);
  setShowPositionLeft(layout.showPositionLeft);
  setShowPositionRight(layout.showPositionRight);
  setTransparentLabel(layout.transparentLabel);
  setLabelColor(layout.labelColor);
  setFill(layout.fill);
  setGraphColor(layout.graphColor);
  setFillColor(layout.fillColor);
  graph_->setFont(fontOf(layout.graphFont));
  for (TLabel* label : labels_) label->setFont(graph_->font());
  setProfileVisible(layout.profileVisible);
  setProfileFill(layout.profileFill);
  setMaxProfileBins(layout.maxProfileBins);
  setProfileFillColor(layout.profileFillColor);

  setTopXAxisVisible(layout.topXAxis.visible);
  setTopXAxisDates(layout.topXAxis.dates);
  setTopXAxisSlider(layout.topXAxis.slider);
  setTopXAxisHeight(layout.topXAxis.height);
  setTopXAxisFont(fontOf(layout.topXAxis.font));
  setBottomXAxisVisible(layout.bottomXAxis.visible);
  setBottomXAxisDates(layout.bottomXAxis.dates);
  setBottomXAxisSlider(layout.bottomXAxis.slider);
  setBottomXAxisHeight(layout.bottomXAxis.height);
  setBottomXAxisFont(fontOf(layout.bottomXAxis.font));
  setLeftYAxisVisible(layout.leftYAxis.visible);
  setLeftYAxisSlider(layout.leftYAxis.slider);
  setLeftYAxisWidth(layout.leftYAxis.width);
  setLeftYAxisFont(fontOf(layout.leftYAxis.font));
  setRightYAxisVisible(layout.rightYAxis.visible);
  setRightYAxisSlider(layout.rightYAxis.slider);
  setRightYAxisWidth(layout.rightYAxis.width);
  setRightYAxisFont(fontOf(layout.rightYAxis.font));
  setAxesColor(layout.axesColor);
  setTopXGrid(layout.gridTopX);
  setBottomXGrid(layout.gridBottomX);
  setLeftYGrid(layout.gridLeftY);
  setRightYGrid(layout.gridRightY);
  setGridColor(layout.gridColor);
}

int TPriceChart::loadLayout(const TPortableIniFile& ini) {
  TChartLayout layout = getLayout();
  const int result = readChartLayout(ini, layout);
  if (result != 0) return result;
  try {
    applyLayout(layout);
  } catch (...) {
    return -3;
  }
  return 0;
}

int TPriceChart::saveLayout(TPortableIniFile& ini) const {
  try {
    return writeChartLayout(ini, getLayout());
  } catch (...) {
    return -4;
  }
}

// ------------------------------------------------------------ read-out

bool TPriceChart::xValueAt(int mouseX, double& x) const {
  const TPricePlot& plot = graph_->plot();
  if (!(plot.xScale() > 0)) return false;
  if (plot.showContinuousX) {
    x = static_cast<double>((mouseX - 1) / plot.xScale() + plot.loX);
    return true;
  }
  const long double bar = plot.lowIndex() + std::nearbyint((mouseX - 1) / plot.xScale());
  if (bar < 0 || bar >= plot.xCount()) return false;
  x = plot.xValue(static_cast<int>(bar));
  return true;
}

bool TPriceChart::yValueAt(int mouseY, long double& y) const {
  const TPricePlot& plot = graph_->plot();
  if (!(plot.yScale() > 0)) return false;
  y = plot.yToValue(mouseY);
  return std::isfinite(y);
}

const TAxis& TPriceChart::xTextAxis() const {
  if (graph_->vLineMaster() != nullptr) return *graph_->vLineMaster();
  if (bottomXVisible_) return *bottomAxis_;
  if (topXVisible_) return *topAxis_;
  return *bottomAxis_;
}

const TAxis& TPriceChart::yTextAxis() const {
  if (graph_->hLineMaster() != nullptr) return *graph_->hLineMaster();
  if (leftYVisible_) return *leftAxis_;
  if (rightYVisible_) return *rightAxis_;
  return *leftAxis_;
}

void TPriceChart::placeLabel(TLabel& label, const std::string& text, int left, int top) {
  // The labels write in the plot's font.
  if (!(label.font() == graph_->font())) label.setFont(graph_->font());
  label.setText(text);
  label.autoSize();
  label.setBounds(left, top, label.width(), label.height());
  label.show();
}

void TPriceChart::hidePositionLabels() {
  bool anyShown = false;
  for (TLabel* label : labels_) anyShown |= label->visible();
  if (!anyShown) return;
  graph_->drawMeasure();
  graph_->repairAfter([this] {
    for (TLabel* label : labels_) {
      label->hide();
      label->setText("");
    }
  });
  graph_->drawMeasure();
}

void TPriceChart::crossHairText() {
  readoutTimer_.setEnabled(false);
  hidePositionLabels();
  graph_->drawMeasure();
  POINT mouse;
  GetCursorPos(&mouse);
  ScreenToClient(graph_->handle(), &mouse);
  const int cw = graph_->clientWidth();
  const int ch = graph_->clientHeight();
  if (mouse.x < 0 || mouse.x > cw || mouse.y < 0 || mouse.y > ch || graph_->seriesCount() == 0) {
    graph_->drawMeasure();
    return;
  }

  std::string centre;
  for (int i = graph_->seriesCount() - 1; i >= 0 && centre.empty(); --i) {
    const TPriceSeries* s = graph_->series(i);
    if (s == nullptr) continue;
    for (const TMarks* marks : std::initializer_list<const TMarks*>{&s->textMarks, &s->imageMarks}) {
      const TMark* mark = marks->markAt(mouse.x, mouse.y);
      if (mark != nullptr && !mark->text.empty()) {
        centre = mark->text;
        break;
      }
    }
  }
  const bool hint = !centre.empty();

  double x = 0;
  std::string xText;
  const bool hasX = (showCenter_ || showTop_ || showBottom_ || measuring_) && xValueAt(mouse.x, x);
  if (hasX) xText = xTextAxis().formatTick(x);
  long double y = 0;
  std::string yText;
  const bool hasY = (showCenter_ || showLeft_ || showRight_ || measuring_) && yValueAt(mouse.y, y);
  if (hasY) yText = yTextAxis().formatTick(static_cast<double>(y));

  if (hasY && showLeft_) {
    TLabel& label = *labels_[3];
    placeLabel(label, " " + yText + " ", 0, 0);
    label.setBounds(0, std::max(0, std::min<int>(mouse.y, ch) - label.height()), label.width(), label.height());
  }
  if (hasY && showRight_) {
    TLabel& label = *labels_[4];
    placeLabel(label, " " + yText + " ", 0, 0);
    label.setBounds(std::max(0, cw - label.width()), std::max(0, std::min<int>(mouse.y, ch) - label.height()),
                    label.width(), label.height());
  }
  if (hasX && showTop_) {
    TLabel& label = *labels_[1];
    placeLabel(label, xText + " ", 0, 0);
    label.setBounds(std::max(0, std::min<int>(mouse.x + 1, cw - label.width())), 0, label.width(), label.height());
  }
  if (hasX && showBottom_) {
    TLabel& label = *labels_[2];
    placeLabel(label, xText + " ", 0, 0);
    label.setBounds(std::max(0, std::min<int>(mouse.x + 1, cw - label.width())),
                    std::max(0, ch - label.height()), label.width(), label.height());
  }
  if (showCenter_ && !hint && hasX && hasY) centre = xText + " : " + yText;

  const TPricePlot& plot = graph_->plot();
  if (hasX && measuring_ && (showCenter_ || centre.empty())) {
    TMeasureInput input;
    input.dx = (mouse.x - graph_->measureStart().x) / plot.xScale();
    input.continuousX = plot.showContinuousX;
    if (input.continuousX) input.dxAxisText = xTextAxis().formatTick(static_cast<double>(input.dx));
    input.dy = y - anchorY_;
    input.dyAxisText = yTextAxis().formatTick(static_cast<double>(input.dy));
    input.anchorY = anchorY_;
    const TAxisModel& numbers = yTextAxis().settings();
    input.commas = numbers.floatCommas;
    input.trimZeros = numbers.floatTrimZeros;
    input.decimalSeparator = numbers.floatDecimalSeparator;
    input.thousandSeparator = numbers.floatThousandSeparator;
    const std::string measured = measureText(input);
    centre = centre.empty() ? measured : centre + "\n" + measured;
  }
  if (!centre.empty()) {
    TLabel& label = *labels_[0];
    placeLabel(label, centre + " ", 0, 0);
    label.setBounds(std::max(0, std::min<int>(mouse.x + 1, cw - label.width())),
                    std::max(0, std::min<int>(mouse.y, ch) - label.height()), label.width(), label.height());
  }
  graph_->drawMeasure();
}

void TPriceChart::graphMouseMove(TShiftState shift, int x, int y) {
  readoutTimer_.setEnabled(false);
  hidePositionLabels();
  if (shift & ssLeft) graph_->moveMeasure(x, y);
  if (crossHairMode_) {
    lastCrossHair_ = {x, y};
    if (!plotBusy_) graph_->moveCrossHair(x, y);
  }
  double value = 0;
  if (onCrossHairMoved && x >= 0 && x <= graph_->clientWidth() && xValueAt(x, value)) {
    onCrossHairMoved(graph_, value);
  }
  topAxis_->setSliderPos(x);
  bottomAxis_->setSliderPos(x);
  leftAxis_->setSliderPos(y);
  rightAxis_->setSliderPos(y);
  readoutTimer_.setEnabled(true);
}

void TPriceChart::graphMouseDown(TMouseButton button, TShiftState, int x, int y) {
  bringToFront();
  if (button == TMouseButton::left) {
    measuring_ = false;
    graph_->startMeasure({x, y});
    const TPricePlot& plot = graph_->plot();
    long double value = 0;
    if (plot.xScale() > 0 && x >= 0 && x <= graph_->clientWidth() && y >= 0 && y <= graph_->clientHeight() &&
        yValueAt(y, value)) {
      anchorY_ = value;
      measuring_ = true;
    }
  }
  const SIZE link = graph_->linkCaptionExtent();
  linkPress_ = x >= 0 && x <= link.cx && y >= 0 && y <= link.cy;
}

void TPriceChart::graphMouseUp(TMouseButton button, TShiftState, int x, int y) {
  if (button != TMouseButton::left) return;
  measuring_ = false;
  graph_->endMeasure();
  const SIZE link = graph_->linkCaptionExtent();
  if (linkPress_ && x >= 0 && x <= link.cx && y >= 0 && y <= link.cy && openLink && !linkAddress.empty()) {
    openLink(linkAddress);
  }
  linkPress_ = false;
}

void TPriceChart::setCrossHair(bool on) {
  if (crossHairMode_ == on) return;
  crossHairMode_ = on;
  if (on) {
    POINT mouse;
    GetCursorPos(&mouse);
    ScreenToClient(graph_->handle(), &mouse);
    lastCrossHair_ = mouse;
    if (plotBusy_) return;
    graph_->setCursor(emptyCursor);
    graph_->moveCrossHair(mouse.x, mouse.y);
  } else if (!plotBusy_) {
    graph_->moveCrossHair(-1, -1);
    graph_->setCursor(normalCursor_);
  }
}

void TPriceChart::setPlotBusy(bool busy) {
  plotBusy_ = busy;
  if (busy) {
    graph_->setCursor(IDC_WAIT);
    graph_->moveCrossHair(-1, -1);
  } else {
    // The cursor follows the mode, never the other way round: in cross-hair
    // mode the cross-hair stands in for the pointer.
    graph_->setCursor(crossHairMode_ ? emptyCursor : normalCursor_);
  }
}

void TPriceChart::showCrossHair() {
  if (crossHairMode_ && !plotBusy_) graph_->moveCrossHair(lastCrossHair_.x, lastCrossHair_.y);
}

void TPriceChart::moveCrossHairToX(TPriceGraph* sender, double x) {
  if (!crossHairMode_ || sender == graph_) return;
  const TPricePlot& plot = graph_->plot();
  int pixel = 0;
  if (plot.xCount() > 0) {
    int best = 0;
    for (int i = 1; i < plot.xCount(); ++i) {
      if (std::fabs(plot.xValue(i) - x) < std::fabs(plot.xValue(best) - x)) best = i;
    }
    pixel = roundPixel((best - plot.lowIndex()) * plot.xScale()) + 1;
  } else {
    pixel = roundPixel((x - plot.loX) * plot.xScale()) + 1;
  }
  lastCrossHair_.x = pixel;
  if (!plotBusy_) graph_->moveCrossHair(pixel, lastCrossHair_.y);
  topAxis_->setSliderPos(pixel);
  bottomAxis_->setSliderPos(pixel);
}
