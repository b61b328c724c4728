#include "controls/ResizablePanel.h"

#include <algorithm>
#include <cmath>

#include "platform/Application.h"
#include "platform/Canvas.h"

namespace {

// The cursor of each resize mode 0..8.
LPCSTR zoneCursor(int zone) {
  switch (zone) {
    case 8:
    case 4:
      return IDC_SIZENWSE;
    case 2:
    case 6:
      return IDC_SIZENESW;
    case 1:
    case 5:
      return IDC_SIZENS;
    case 3:
    case 7:
      return IDC_SIZEWE;
    default:
      return nullptr;
  }
}

long roundHalfEven(long double value) { return std::lrint(static_cast<double>(value)); }

}  // namespace

TDragBevel::TDragBevel(TControl* parent, TResizablePanel* panel) : TBevel(parent, TBevelShape::box, TBevelCut::raised), panel_(panel) {
  setCursor(IDC_SIZEALL);
}

void TDragBevel::mouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TBevel::mouseDown(button, shift, x, y);
  panel_->bevelPressed(x, y);
}

void TDragBevel::mouseMove(TShiftState shift, int x, int y) {
  TBevel::mouseMove(shift, x, y);
  panel_->bevelMoved(shift, x, y);
}

void TDragBevel::paint(TCanvas& canvas) {
  canvas.fillRect(clientRect(), clBtnFace);  // a strip, not a see-through frame
  TBevel::paint(canvas);
}

void TDragBevel::doubleClick() {
  TBevel::doubleClick();
  panel_->toggleMaximized();
}

TResizablePanel::TResizablePanel(TControl* parent) : TKeyPanel(parent) {
  setConstraints(minimumTileSize, minimumTileSize);
  setBounds(0, 0, 185, 185);
  dragBevel_ = &add<TDragBevel>(this);
  dragBevel_->setBounds({3, 3, 7, 182});
  dragBevel_->bringToFront();
}

TResizablePanel::~TResizablePanel() = default;

int TResizablePanel::zoneAt(int x, int y) const {
  const int b = resizeBorder;
  const bool top = y < b;
  const bool bottom = height() - y < b;
  const bool left = x < b;
  const bool right = width() - x < b;
  if (top) return left ? 8 : right ? 2 : 1;
  if (bottom) return left ? 6 : right ? 4 : 5;
  return left ? 7 : right ? 3 : 0;
}

void TResizablePanel::mouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  bringToFront();
  if (canFocus()) setFocus();
  if (maximized()) resizeMode_ = 0;
  else if (shift & ssLeft) resizeMode_ = zoneAt(x, y);
  TKeyPanel::mouseDown(button, shift, x, y);
}

void TResizablePanel::mouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  resizeMode_ = 0;
  TKeyPanel::mouseUp(button, shift, x, y);
}

void TResizablePanel::mouseMove(TShiftState shift, int x, int y) {
  setCursor(maximized() ? nullptr : zoneCursor(zoneAt(x, y)));
  if (parent() && resizeMode_ >= 1 && resizeMode_ <= 8) {
    const RECT b = bounds();
    const int w = parent()->clientWidth();
    const int h = parent()->clientHeight();
    const int newTop = std::max(0L, std::min<long>(b.bottom - minHeight(), b.top + y));
    const int newBottom = std::min<long>(h, std::max<long>(b.top + minHeight(), b.bottom + y - height()));
    const int newLeft = std::max(0L, std::min<long>(b.right - minWidth(), b.left + x));
    const int newRight = std::min<long>(w, std::max<long>(b.left + minWidth(), b.right + x - width()));
    RECT moved = b;
    switch (resizeMode_) {
      case 1: moved.top = newTop; break;
      case 2: moved.top = newTop; moved.right = newRight; break;
      case 3: moved.right = newRight; break;
      case 4: moved.bottom = newBottom; moved.right = newRight; break;
      case 5: moved.bottom = newBottom; break;
      case 6: moved.bottom = newBottom; moved.left = newLeft; break;
      case 7: moved.left = newLeft; break;
      case 8: moved.top = newTop; moved.left = newLeft; break;
      default: break;
    }
    setBounds(moved);
  }
  TKeyPanel::mouseMove(shift, x, y);
}

void TResizablePanel::bevelPressed(int x, int y) {
  if (afterMaximize_ == 0) {
    grab_ = {x, y};
  } else if (--afterMaximize_ == 0) {
    grab_ = {x, y};
  }
  bringToFront();
  TKeyPanel::doEnter();
}

void TResizablePanel::bevelMoved(TShiftState shift, int x, int y) {
  if (afterMaximize_ != 0) return;
  setCursor(nullptr);
  if (!(shift & ssLeft) || !parent()) return;
  const RECT b = bounds();
  const int w = parent()->clientWidth();
  const int h = parent()->clientHeight();
  int dx = x - grab_.x;
  if (dx > 0) dx = std::min<int>(dx, w - b.right);
  dx = std::max<int>(dx, -b.left);
  int dy = y - grab_.y;
  if (dy > 0) dy = std::min<int>(dy, h - b.bottom);
  dy = std::max<int>(dy, -b.top);
  if (dx != 0 || dy != 0) setBounds({b.left + dx, b.top + dy, b.right + dx, b.bottom + dy});
}

void TResizablePanel::toggleMaximized() {
  if (!maximized()) {
    afterMaximize_ = 4;
    restoreBounds_ = bounds();
    setAlign(TAlign::client);
    dragBevel_->setStyle(TBevelCut::lowered);
    dragBevel_->setCursor(IDC_HAND);
  } else {
    setAlign(TAlign::none);
    setBounds(restoreBounds_);
    dragBevel_->setStyle(TBevelCut::raised);
    dragBevel_->setCursor(IDC_SIZEALL);
  }
}

void TResizablePanel::maximize() {
  if (!maximized()) toggleMaximized();
}

void TResizablePanel::restore() {
  if (maximized()) toggleMaximized();
}

RECT TResizablePanel::getRestoredBounds() const { return maximized() ? restoreBounds_ : bounds(); }

void TResizablePanel::setRestoredBounds(const RECT& rect) {
  if (maximized()) {
    restoreBounds_ = rect;
    recordFractions(rect);
  } else {
    setBounds(rect);
  }
}

void TResizablePanel::scaleBounds(long double xFactor, long double yFactor) {
  RECT rect = getRestoredBounds();
  rect.left = roundHalfEven(rect.left * xFactor);
  rect.right = roundHalfEven(rect.right * xFactor);
  rect.top = roundHalfEven(rect.top * yFactor);
  rect.bottom = roundHalfEven(rect.bottom * yFactor);
  setRestoredBounds(rect);
}

void TResizablePanel::setFractions(const TTileFractions& fractions) {
  fractions_ = fractions;
  hasFractions_ = true;
}

void TResizablePanel::recordFractions(const RECT& rect) {
  if (placing_ || !parent()) return;
  const int w = parent()->clientWidth();
  const int h = parent()->clientHeight();
  if (w < 1 || h < 1) return;
  fractions_ = {static_cast<long double>(rect.left) / w, static_cast<long double>(rect.top) / h,
                static_cast<long double>(rect.right) / w, static_cast<long double>(rect.bottom) / h};
  hasFractions_ = true;
}

void TResizablePanel::applyFractions(int clientWidth, int clientHeight) {
  const RECT rect{roundHalfEven(fractions_.left * clientWidth), roundHalfEven(fractions_.top * clientHeight),
                  roundHalfEven(fractions_.right * clientWidth), roundHalfEven(fractions_.bottom * clientHeight)};
  placing_ = true;
  if (maximized()) restoreBounds_ = rect;
  else setBounds(rect);
  placing_ = false;
}

LRESULT TResizablePanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = TKeyPanel::handleMessage(message, wParam, lParam);
  // Every move or resize by the user or the program (not by the container
  // placing the tile from its fractions) makes new fractions.
  if (message == WM_WINDOWPOSCHANGED && handle() && !maximized()) {
    const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
    if ((position->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) recordFractions(bounds());
  }
  return result;
}

void TResizablePanel::resized() {
  TKeyPanel::resized();
  if (dragBevel_) dragBevel_->setBounds({3, 3, 7, height() - 3});
}

RECT TResizablePanel::alignRect() const {
  RECT rect = TKeyPanel::alignRect();
  if (dragBevel_) rect.left = std::max(rect.left, dragBevel_->bounds().right + 1);
  return rect;
}

void TResizablePanel::doEnter() {
  // A tile the user moves into comes in front, where the keys can be seen
  // going; the keys handed back by the program leave the tiles as they lie.
  if (!application().focusingInPlace()) bringToFront();
  TKeyPanel::doEnter();
}
