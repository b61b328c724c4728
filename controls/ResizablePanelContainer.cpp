#include "controls/ResizablePanelContainer.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <vector>

#include "controls/ResizablePanel.h"

namespace {

bool overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Inside the client area and clear of every taken place.
bool isFree(const RECT& rect, const std::vector<RECT>& taken, int width, int height) {
  if (rect.left < 0 || rect.top < 0 || rect.right > width || rect.bottom > height) return false;
  return std::none_of(taken.begin(), taken.end(), [&rect](const RECT& other) { return overlap(rect, other); });
}

// The topmost, then leftmost free place of the first size that has one. A
// free place starts at the container's edge or at another tile's far edge.
std::optional<RECT> firstFreePlace(const std::vector<RECT>& taken, std::initializer_list<SIZE> sizes, int width,
                                   int height) {
  std::vector<POINT> corners{{0, 0}};
  for (const RECT& other : taken) {
    corners.push_back({other.right, 0});
    corners.push_back({0, other.bottom});
    for (const RECT& next : taken) corners.push_back({other.right, next.bottom});
  }
  std::sort(corners.begin(), corners.end(),
            [](const POINT& a, const POINT& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  for (const SIZE& size : sizes) {
    for (const POINT& corner : corners) {
      const RECT rect{corner.x, corner.y, corner.x + size.cx, corner.y + size.cy};
      if (isFree(rect, taken, width, height)) return rect;
    }
  }
  return std::nullopt;
}

}  // namespace

TResizablePanelContainer::TResizablePanelContainer(TControl* parent) : TKeyPanel(parent) {}

std::vector<TResizablePanel*> TResizablePanelContainer::panels(bool visibleOnly) const {
  std::vector<TResizablePanel*> result;
  for (TControl* child : children()) {
    auto* panel = dynamic_cast<TResizablePanel*>(child);
    if (panel && (!visibleOnly || panel->visible())) result.push_back(panel);
  }
  return result;
}

void TResizablePanelContainer::resized() {
  const int w = clientWidth();
  const int h = clientHeight();
  // A container shrunk to nothing (minimised, collapsed by a splitter) would
  // squash every tile to a point: such sizes are ignored, and the tiles come
  // back from their fractions when the container grows again.
  if (w >= 1 && h >= 1) {
    for (TResizablePanel* panel : panels(false)) {
      // A tile without fractions yet (created while the container had no
      // size) stays where it is and takes its fractions from there.
      if (panel->hasFractions()) {
        panel->applyFractions(w, h);
      } else {
        const RECT rect = panel->getRestoredBounds();
        panel->setFractions({static_cast<long double>(rect.left) / w, static_cast<long double>(rect.top) / h,
                             static_cast<long double>(rect.right) / w, static_cast<long double>(rect.bottom) / h});
      }
    }
  }
  TKeyPanel::resized();
}

void TResizablePanelContainer::setRelativeBounds(TResizablePanel* panel, long double left, long double top,
                                                 long double right, long double bottom) {
  if (!panel) return;
  auto clamp = [](long double value) { return std::clamp(value, 0.0L, 1.0L); };
  TTileFractions fractions{clamp(left), clamp(top), clamp(right), clamp(bottom)};
  const bool finite = std::isfinite(left) && std::isfinite(top) && std::isfinite(right) && std::isfinite(bottom);
  if (!finite || fractions.right <= fractions.left || fractions.bottom <= fractions.top) fractions = {};
  const int w = width();
  const int h = height();
  auto scaled = [](int size, long double fraction) { return std::lrint(static_cast<double>(size * fraction)); };
  RECT rect{scaled(w, fractions.left), scaled(h, fractions.top), scaled(w, fractions.right), scaled(h, fractions.bottom)};
  // At least the smallest tile, kept inside the container where it fits.
  const int minimum = TResizablePanel::minimumTileSize;
  bool enlarged = false;
  if (rect.right - rect.left < minimum) {
    rect.right = std::min<long>(std::max(w, minimum), rect.left + minimum);
    rect.left = rect.right - minimum;
    enlarged = true;
  }
  if (rect.bottom - rect.top < minimum) {
    rect.bottom = std::min<long>(std::max(h, minimum), rect.top + minimum);
    rect.top = rect.bottom - minimum;
    enlarged = true;
  }
  panel->setRestoredBounds(rect);
  // The given fractions stay the truth (the pixels have rounded them); a
  // tile made larger keeps the fractions of its new size.
  if (enlarged && w >= 1 && h >= 1)
    fractions = {static_cast<long double>(rect.left) / w, static_cast<long double>(rect.top) / h,
                 static_cast<long double>(rect.right) / w, static_cast<long double>(rect.bottom) / h};
  panel->setFractions(fractions);
}

void TResizablePanelContainer::getRelativeBounds(TResizablePanel* panel, long double& left, long double& top,
                                                 long double& right, long double& bottom) const {
  const int w = width();
  const int h = height();
  if (!panel || w < 1 || h < 1) return;
  if (panel->hasFractions()) {
    const TTileFractions& fractions = panel->fractions();
    left = fractions.left;
    top = fractions.top;
    right = fractions.right;
    bottom = fractions.bottom;
    return;
  }
  const RECT rect = panel->getRestoredBounds();
  left = static_cast<long double>(rect.left) / w;
  top = static_cast<long double>(rect.top) / h;
  right = static_cast<long double>(rect.right) / w;
  bottom = static_cast<long double>(rect.bottom) / h;
}

void TResizablePanelContainer::cascade() {
  const int w = clientWidth();
  const int h = clientHeight();
  int ox = 0, oy = 0, x = 0, y = 0;
  for (TResizablePanel* panel : panels(true)) {
    int right = x + defaultPanelWidth;
    int bottom = y + defaultPanelHeight;
    if (right > w) {
      oy += defaultSeparationHeight;
      x = ox;
      y = oy;
      right = x + defaultPanelWidth;
      bottom = y + defaultPanelHeight;
    } else if (bottom > h) {
      ox += defaultSeparationWidth;
      x = ox;
      y = oy;
      right = x + defaultPanelWidth;
      bottom = y + defaultPanelHeight;
    }
    panel->setBounds({x, y, right, bottom});
    x += defaultSeparationWidth;
    y += defaultSeparationHeight;
  }
}

void TResizablePanelContainer::tileVertical() {
  const std::vector<TResizablePanel*> tiles = panels(true);
  const int n = static_cast<int>(tiles.size());
  const int w = clientWidth();
  const int h = clientHeight();
  const int cols = minPanelWidth > 0 ? std::min(n, w / minPanelWidth) : n;
  if (cols < 1) return;
  const int colWidth = w / cols;
  const int rows = n / cols + (n % cols != 0 ? 1 : 0);
  const int rowHeight = h / rows;
  int placed = 0;
  for (int row = 0; row < rows && placed < n; ++row) {
    const int top = row * rowHeight;
    const int bottom = row == rows - 1 ? h : top + rowHeight;
    int left = 0;
    for (int col = 0; col < cols && placed < n; ++col) {
      const int right = col == cols - 1 ? w : left + colWidth;
      tiles[static_cast<size_t>(placed++)]->setBounds({left, top, right, bottom});
      left = right;
    }
  }
}

void TResizablePanelContainer::tileHorizontal() {
  const std::vector<TResizablePanel*> tiles = panels(true);
  const int n = static_cast<int>(tiles.size());
  const int w = clientWidth();
  const int h = clientHeight();
  const int rows = minPanelHeight > 0 ? std::min(n, h / minPanelHeight) : n;
  if (rows < 1) return;
  const int rowHeight = h / rows;
  const int cols = n / rows + (n % rows != 0 ? 1 : 0);
  const int colWidth = w / cols;
  int placed = 0;
  for (int col = 0; col < cols && placed < n; ++col) {
    const int left = col * colWidth;
    const int right = col == cols - 1 ? w : left + colWidth;
    int top = 0;
    for (int row = 0; row < rows && placed < n; ++row) {
      const int bottom = row == rows - 1 ? h : top + rowHeight;
      tiles[static_cast<size_t>(placed++)]->setBounds({left, top, right, bottom});
      top = bottom;
    }
  }
}

bool TResizablePanelContainer::placeWhereFree(TResizablePanel& panel) {
  const int w = clientWidth();
  const int h = clientHeight();
  std::vector<RECT> taken;
  for (TResizablePanel* tile : panels(true))
    if (tile != &panel) taken.push_back(tile->maximized() ? RECT{0, 0, w, h} : tile->bounds());
  // A maximised new tile covers the others, not the other way round.
  const RECT own = panel.bounds();
  if (panel.maximized() || w < 1 || h < 1 || isFree(own, taken, w, h)) return true;
  const SIZE ownSize{own.right - own.left, own.bottom - own.top};
  const SIZE cascadeSize{defaultPanelWidth, defaultPanelHeight};
  const std::optional<RECT> place = firstFreePlace(taken, {ownSize, cascadeSize}, w, h);
  if (place) panel.setBounds(*place);
  return place.has_value();
}

void TResizablePanelContainer::placeNewPanel(TResizablePanel& panel) {
  if (!placeWhereFree(panel)) {
    for (TResizablePanel* tile : panels(true))
      if (tile != &panel) tile->restore();
    tileHorizontal();
  }
  panel.bringToFront();
}
