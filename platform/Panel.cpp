#include "platform/Panel.h"

#include "platform/Canvas.h"

namespace {

void drawBevel(TCanvas& canvas, RECT& rect, TBevelCut cut, int width) {
  if (cut == TBevelCut::none) return;
  const bool raised = cut == TBevelCut::raised;
  canvas.frame3D(rect, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight, width);
  InflateRect(&rect, -width, -width);
}

}  // namespace

TPanel::TPanel(TControl* parent, const std::string& caption) : TControl(parent) {
  TWindowParams params;
  params.caption = caption;
  params.bounds = {0, 0, 185, 41};
  createWindow(params);
  setColor(clBtnFace);
}

void TPanel::setCaption(const std::string& caption) {
  setText(caption);
  invalidate();
}

void TPanel::setBevelOuter(TBevelCut cut) {
  bevelOuter_ = cut;
  frameChanged();
}

void TPanel::setBevelInner(TBevelCut cut) {
  bevelInner_ = cut;
  frameChanged();
}

void TPanel::setBevelWidth(int width) {
  bevelWidth_ = width;
  frameChanged();
}

void TPanel::setBorderWidth(int width) {
  borderWidth_ = width;
  frameChanged();
}

void TPanel::frameChanged() {
  realign();
  invalidate();
}

int TPanel::frameWidth() const {
  return (bevelOuter_ != TBevelCut::none ? bevelWidth_ : 0) + borderWidth_ +
         (bevelInner_ != TBevelCut::none ? bevelWidth_ : 0);
}

RECT TPanel::alignRect() const {
  RECT rect = clientRect();
  const int frame = frameWidth();
  InflateRect(&rect, -frame, -frame);
  return rect;
}

void TPanel::paint(TCanvas& canvas) {
  RECT rect = clientRect();
  drawBevel(canvas, rect, bevelOuter_, bevelWidth_);
  InflateRect(&rect, -borderWidth_, -borderWidth_);
  drawBevel(canvas, rect, bevelInner_, bevelWidth_);
  const std::string caption = text();
  if (!caption.empty()) {
    canvas.setBrush(color(), TBrushStyle::clear);
    canvas.textRect(rect, caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  TControl::paint(canvas);
}

TPanel& addPlainPanel(TControl& parent) {
  TPanel& panel = parent.add<TPanel>();
  panel.setBevelOuter(TBevelCut::none);
  return panel;
}
