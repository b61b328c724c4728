// Drawing the sheet onto a device context, and the geometry of the last
// drawing that mouse handling and the grid control's editor use.
#include <algorithm>
#include <vector>

#include "sheet/SheetCanvas.h"
#include "sheet/ColumnLetters.h"
#include "sheet/Sheet.h"

namespace {

constexpr std::int32_t headerFrameLight = static_cast<std::int32_t>(0x80000005u);
constexpr std::int32_t headerFrameShadow = static_cast<std::int32_t>(0x80000010u);
constexpr std::int32_t headerFrameDark = static_cast<std::int32_t>(0x80000006u);
// A press this close to a grid line grabs the line.
constexpr int borderZone = 3;
// The in-place editor of a text may reach this far past the drawn area.
constexpr int editorOverhang = 4;
constexpr std::uint8_t stringCellType = 2;
constexpr int largestMaxDecimals = 15;

// A solid pen in copy mode, selected while the object lives.
class TPen {
 public:
  TPen(HDC dc, std::int32_t color) : dc_(dc), pen_(CreatePen(PS_SOLID, 1, colorToRGB(color))) {
    previousMode_ = SetROP2(dc_, R2_COPYPEN);
    previousPen_ = SelectObject(dc_, pen_);
  }
  ~TPen() {
    SelectObject(dc_, previousPen_);
    SetROP2(dc_, previousMode_);
    DeleteObject(pen_);
  }
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;

  void line(int x1, int y1, int x2, int y2) {
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
  }

 private:
  HDC dc_;
  HPEN pen_;
  HGDIOBJ previousPen_;
  int previousMode_;
};

// Drawing stays inside the given rectangle; the context's own clipping comes
// back afterwards.
class TClipToRect {
 public:
  TClipToRect(HDC dc, const RECT& rect) : dc_(dc), saved_(CreateRectRgn(0, 0, 0, 0)) {
    hadClip_ = GetClipRgn(dc_, saved_) == 1;
    IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
  }
  ~TClipToRect() {
    SelectClipRgn(dc_, hadClip_ ? saved_ : nullptr);
    DeleteObject(saved_);
  }
  TClipToRect(const TClipToRect&) = delete;
  TClipToRect& operator=(const TClipToRect&) = delete;

 private:
  HDC dc_;
  HRGN saved_;
  bool hadClip_;
};

struct TShownLine {
  int index;  // column or row
  int start;  // its left or top pixel
};

void drawCenteredText(TSheetCanvas& canvas, const RECT& inner, const std::string& text) {
  SIZE size = canvas.textExtent(text);
  int x = std::max<int>(inner.left, (inner.left + inner.right + 1 - size.cx) / 2);
  int y = std::max<int>(inner.top, (inner.top + inner.bottom + 1 - size.cy) / 2);
  canvas.textRect(inner, x, y, text);
}

}  // namespace

// ---- Scrolling rule and origins ----

// Fixed columns always show; after them the walk goes on at leftCol.
int TSheet::columnAfter(int col) const {
  int next = col + 1;
  return next > colProps.fixedCount ? std::max(leftCol, next) : next;
}

int TSheet::rowAfter(int row) const {
  int next = row + 1;
  return next > rowProps.fixedCount ? std::max(topRow, next) : next;
}

int TSheet::cellOriginX() const { return paintedArea.left + (rowProps.showCoords ? getColWidth(0) : 0); }

int TSheet::cellOriginY() const { return paintedArea.top + (colProps.showCoords ? getRowHeight(0) : 0); }

// ---- Options ----

void TSheet::setFixedCols(int n) {
  n = std::max(0, n);
  int old = colProps.fixedCount;
  colProps.fixedCount = n;
  if (n <= old) {
    leftCol = std::max(1, leftCol - old + n);
    return;
  }
  if (leftCol <= n) leftCol = n + 1;
  if (selection.left >= 1 && selection.left <= n) {
    if (selection.right <= n) {
      selection = RECT{-1, -1, -1, -1};
    } else {
      selection.left = n + 1;
    }
  }
  if (currentCol >= 1 && currentCol <= n) currentCol = currentRow = -1;
}

void TSheet::setFixedRows(int n) {
  n = std::max(0, n);
  int old = rowProps.fixedCount;
  rowProps.fixedCount = n;
  if (n <= old) {
    topRow = std::max(1, topRow - old + n);
    return;
  }
  if (topRow <= n) topRow = n + 1;
  if (selection.top >= 1 && selection.top <= n) {
    if (selection.bottom <= n) {
      selection = RECT{-1, -1, -1, -1};
    } else {
      selection.top = n + 1;
    }
  }
  if (currentRow >= 1 && currentRow <= n) currentCol = currentRow = -1;
}

void TSheet::setDefaultMaxDecimals(int n) {
  defaultMaxDecimals = static_cast<std::uint8_t>(std::clamp(n, 0, largestMaxDecimals));
}

// ---- Header parts ----

void TSheet::drawButtonFrame(TSheetCanvas& canvas, const RECT& rect) {
  const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  {
    TPen light(canvas.handle(), headerFrameLight);
    light.line(l, t, l, b);
    light.line(l, t, r, t);
  }
  {
    TPen shadow(canvas.handle(), headerFrameShadow);
    shadow.line(r - 2, t + 1, r - 2, b);
    shadow.line(l + 1, b - 2, r, b - 2);
  }
  TPen dark(canvas.handle(), headerFrameDark);
  dark.line(r - 1, t, r - 1, b);
  dark.line(l, b - 1, r, b - 1);
}

void TSheet::innerRect(const RECT& rect, RECT& inner) {
  inner = RECT{rect.left + 1, rect.top + 1, rect.right - 2, rect.bottom - 2};
}

void TSheet::fillHeaderBackground(TSheetCanvas& canvas, const RECT& rect) {
  RECT inner;
  innerRect(rect, inner);
  canvas.brushColor = headerColor;
  canvas.fillRect(inner);
}

void TSheet::drawColumnHeader(int col, TSheetCanvas& canvas, int top, int left) {
  RECT rect{left, top, left + getColWidth(col), top + getRowHeight(0)};
  drawButtonFrame(canvas, rect);
  fillHeaderBackground(canvas, rect);
  canvas.font = defaultFont;
  if (col == currentCol) canvas.font.style |= fsBold;
  RECT inner;
  innerRect(rect, inner);
  drawCenteredText(canvas, inner, colProps.numericColCoords ? std::to_string(col) : columnLetters(col));
}

void TSheet::drawRowHeader(int row, TSheetCanvas& canvas, int top, int left) {
  RECT rect{left, top, left + getColWidth(0), top + getRowHeight(row)};
  drawButtonFrame(canvas, rect);
  fillHeaderBackground(canvas, rect);
  canvas.font = defaultFont;
  if (row == currentRow) canvas.font.style |= fsBold;
  RECT inner;
  innerRect(rect, inner);
  drawCenteredText(canvas, inner, std::to_string(row));
}

// ---- Cells ----

bool TSheet::inSelection(int col, int row) const {
  return col >= selection.left && col <= selection.right && row >= selection.top && row <= selection.bottom;
}

void TSheet::drawCellBackground(int col, int row, int top, int left, TSheetCanvas& canvas) {
  RECT rect{left, top, left + getColWidth(col), top + getRowHeight(row)};
  if (col <= colProps.fixedCount || row <= rowProps.fixedCount) {
    drawButtonFrame(canvas, rect);
    fillHeaderBackground(canvas, rect);
    return;
  }
  if (gridLines) {
    --rect.right;
    --rect.bottom;
  }
  canvas.brushColor = inSelection(col, row) ? selectionColor : defaultFillColor;
  canvas.fillRect(rect);
}

void TSheet::drawCell(int col, int row, const RECT& clip, int top, int left, TSheetCanvas& canvas) {
  TCell* cell = getCell(col, row);
  if (!cell) return;
  RECT rect{left, top, left + getColWidth(col), top + getRowHeight(row)};
  if (col <= colProps.fixedCount || row <= rowProps.fixedCount) {
    drawButtonFrame(canvas, rect);
    fillHeaderBackground(canvas, rect);
    canvas.font = defaultFont;
    // Without coordinate headers the first fixed column or row marks the
    // current row or column instead.
    if ((col == 1 && row == currentRow && !rowProps.showCoords) ||
        (row == 1 && col == currentCol && !colProps.showCoords)) {
      canvas.font.style |= fsBold;
    }
    canvas.brushColor = headerColor;
    RECT inner;
    innerRect(rect, inner);
    cell->draw(canvas, inner, inner.left, inner.right);
    return;
  }
  if (gridLines) {
    --rect.right;
    --rect.bottom;
  }
  // A text runs on over empty neighbours, never into the fixed columns nor
  // left of the scrolled part.
  int leftLimit = rect.left;
  for (int c = col - 1; c > colProps.fixedCount && c >= leftCol && leftLimit > clip.left && !getCell(c, row); --c) {
    leftLimit -= getColWidth(c);
  }
  leftLimit = std::max<int>(leftLimit, clip.left);
  int rightLimit = rect.right;
  for (int c = col + 1; c <= colProps.count && rightLimit < clip.right && !getCell(c, row); ++c) {
    rightLimit += getColWidth(c);
  }
  rightLimit = std::min<int>(rightLimit, clip.right);
  cell->prepareCanvas(canvas);
  if (inSelection(col, row)) {
    canvas.brushColor = selectionColor;
    canvas.font.color = selectionTextColor;
  }
  cell->draw(canvas, rect, leftLimit, rightLimit);
}

void TSheet::drawCurrentCellFrame(int col, int row, int top, int left, TSheetCanvas& canvas) {
  if (!showCurrentCellFrame) return;
  int gridLine = gridLines ? 1 : 0;
  int right = left + getColWidth(col) - gridLine;
  int bottom = top + getRowHeight(row) - gridLine;
  TPen pen(canvas.handle(), selectionColor);
  pen.line(left - 1, top - 1, right, top - 1);
  pen.line(right, top - 1, right, bottom);
  pen.line(right, bottom, left - 1, bottom);
  pen.line(left - 1, bottom, left - 1, top - 1);
}

// ---- The whole sheet ----

void TSheet::paint(TSheetCanvas& canvas, const RECT& rect) {
  TClipToRect clipping(canvas.handle(), rect);
  paintedArea = rect;
  // What the cells leave uncovered shows as the grid lines.
  canvas.brushColor = gridColor == clDefault ? headerColor : gridColor;
  canvas.fillRect(rect);
  rightCol = leftCol;
  bottomRow = topRow;
  const int originX = cellOriginX();
  const int originY = cellOriginY();
  canvas.brushColor = headerColor;
  canvas.fillRect(RECT{rect.left, rect.top, originX, originY});

  std::vector<TShownLine> columns;
  int x = originX;
  int col = columnAfter(0);
  for (; col <= colProps.count && x < rect.right; col = columnAfter(col)) {
    columns.push_back({col, x});
    x += getColWidth(col);
  }
  std::vector<TShownLine> rows;
  int y = originY;
  int row = rowAfter(0);
  for (; row <= rowProps.count && y < rect.bottom; row = rowAfter(row)) {
    rows.push_back({row, y});
    y += getRowHeight(row);
  }
  // The last column and row wholly inside.
  if (!columns.empty()) rightCol = columns.back().index - (x > rect.right ? 1 : 0);
  if (!rows.empty()) bottomRow = rows.back().index - (y > rect.bottom ? 1 : 0);

  POINT currentOrigin{-1, -1};
  for (const TShownLine& column : columns) {
    for (const TShownLine& line : rows) {
      drawCellBackground(column.index, line.index, line.start, column.start, canvas);
      if (column.index == currentCol && line.index == currentRow) currentOrigin = POINT{column.start, line.start};
    }
  }
  canvas.brushColor = backgroundColor;
  if (x < rect.right) canvas.fillRect(RECT{x, rect.top, rect.right, rect.bottom});
  if (y < rect.bottom) canvas.fillRect(RECT{rect.left, y, rect.right, rect.bottom});
  rightCol = std::max(rightCol, leftCol);
  bottomRow = std::max(bottomRow, topRow);

  for (const TShownLine& line : rows) {
    int lastCol = std::min(lastColumnWithRow(line.index), colProps.count);
    int nextX = x;
    int nextCol = col;
    for (const TShownLine& column : columns) {
      if (column.index <= colProps.fixedCount) continue;
      if (column.index > lastCol) break;
      drawCell(column.index, line.index, rect, line.start, column.start, canvas);
    }
    // Beyond the right edge only the first cell matters: a right-aligned
    // text of it may run on leftward into view.
    for (; nextCol <= lastCol; nextCol = columnAfter(nextCol)) {
      if (getCell(nextCol, line.index)) {
        drawCell(nextCol, line.index, rect, line.start, nextX, canvas);
        break;
      }
      nextX += getColWidth(nextCol);
    }
    for (const TShownLine& column : columns) {
      if (column.index > colProps.fixedCount) break;
      drawCellBackground(column.index, line.index, line.start, column.start, canvas);
      drawCell(column.index, line.index, rect, line.start, column.start, canvas);
    }
  }

  if (currentOrigin.x >= 0 && selection.left == currentCol && selection.right == currentCol &&
      selection.top == currentRow && selection.bottom == currentRow) {
    drawCurrentCellFrame(currentCol, currentRow, currentOrigin.y, currentOrigin.x, canvas);
  }

  if (colProps.showCoords) {
    int headerX = originX;
    int headerCol = columnAfter(0);
    for (; headerCol <= colProps.count && headerX < rect.right; headerCol = columnAfter(headerCol)) {
      drawColumnHeader(headerCol, canvas, rect.top, headerX);
      headerX += getColWidth(headerCol);
      rightCol = headerCol - (headerX > rect.right ? 1 : 0);
    }
    rightCol = std::max(rightCol, leftCol);
  }
  if (rowProps.showCoords) {
    int headerY = originY;
    int headerRow = rowAfter(0);
    for (; headerRow <= rowProps.count && headerY < rect.bottom; headerRow = rowAfter(headerRow)) {
      drawRowHeader(headerRow, canvas, headerY, rect.left);
      headerY += getRowHeight(headerRow);
      bottomRow = headerRow - (headerY > rect.bottom ? 1 : 0);
    }
    bottomRow = std::max(bottomRow, topRow);
  }
}

// ---- Geometry ----

void TSheet::pointToCell(int x, int y, POINT& place, int& cellLeft, int& cellTop) const {
  const int originX = cellOriginX();
  const int originY = cellOriginY();
  if (x < paintedArea.left) {
    place.x = -1;
    cellLeft = x;
  } else if (x < originX) {
    place.x = 0;
    cellLeft = paintedArea.left;
  } else {
    int col = columnAfter(0);
    int left = originX;
    // Past the drawing the walk goes on, so a drag beyond the edge finds the
    // column it would reach.
    while (col <= colProps.count && left + getColWidth(col) <= x) {
      left += std::max(1, getColWidth(col));
      col = columnAfter(col);
    }
    place.x = col;
    cellLeft = left;
  }
  if (y < paintedArea.top) {
    place.y = -1;
    cellTop = y;
  } else if (y < originY) {
    place.y = 0;
    cellTop = paintedArea.top;
  } else {
    int row = rowAfter(0);
    int top = originY;
    while (row <= rowProps.count && top + getRowHeight(row) <= y) {
      top += std::max(1, getRowHeight(row));
      row = rowAfter(row);
    }
    place.y = row;
    cellTop = top;
  }
}

TSheet::TPointLocation TSheet::locatePoint(int x, int y) const {
  TPointLocation location;
  int cellLeft = 0;
  int cellTop = 0;
  pointToCell(x, y, location.place, cellLeft, cellTop);
  location.origin = POINT{cellLeft, cellTop};
  const POINT place = location.place;
  if (place.x < 0 || place.y < 0 || place.x > colProps.count || place.y > rowProps.count) return location;

  // A border zone near a cell's left (top) edge belongs to the column (row)
  // drawn before it.
  auto previousColumn = [this](int col) {
    int previous = col > colProps.fixedCount && col <= std::max(leftCol, colProps.fixedCount + 1)
                       ? colProps.fixedCount
                       : col - 1;
    return previous == 0 && !rowProps.showCoords ? -1 : previous;
  };
  auto previousRow = [this](int row) {
    int previous = row > rowProps.fixedCount && row <= std::max(topRow, rowProps.fixedCount + 1)
                       ? rowProps.fixedCount
                       : row - 1;
    return previous == 0 && !colProps.showCoords ? -1 : previous;
  };
  int width = getColWidth(place.x);
  if (x >= cellLeft + width - borderZone) {
    location.borderIndex = place.x;
    location.borderOrigin = cellLeft;
  } else if (x < cellLeft + borderZone && place.x > 0 && previousColumn(place.x) >= 0) {
    location.borderIndex = previousColumn(place.x);
    location.borderOrigin = cellLeft - getColWidth(location.borderIndex);
  }
  if (location.borderIndex >= 0) {
    bool fixedPart = place.y <= rowProps.fixedCount || location.borderIndex <= colProps.fixedCount;
    location.area = fixedPart ? areaFixedColumnBorder : areaColumnBorder;
    return location;
  }
  int height = getRowHeight(place.y);
  if (y >= cellTop + height - borderZone) {
    location.borderIndex = place.y;
    location.borderOrigin = cellTop;
  } else if (y < cellTop + borderZone && place.y > 0 && previousRow(place.y) >= 0) {
    location.borderIndex = previousRow(place.y);
    location.borderOrigin = cellTop - getRowHeight(location.borderIndex);
  }
  if (location.borderIndex >= 0) {
    bool fixedPart = place.x <= colProps.fixedCount || location.borderIndex <= rowProps.fixedCount;
    location.area = fixedPart ? areaFixedRowBorder : areaRowBorder;
    return location;
  }
  location.area = place.x == 0 || place.y == 0 ? areaNowhere : areaCell;
  return location;
}

int TSheet::pointArea(int x, int y, POINT& place, POINT& origin) const {
  TPointLocation location = locatePoint(x, y);
  place = location.place;
  origin = location.origin;
  return location.area;
}

int TSheet::hitTest(int x, int y) const { return locatePoint(x, y).area; }

void TSheet::getCurrentCellRect(RECT& rect) const {
  rect = RECT{-1, -1, -1, -1};
  if (!hasCurrentCell() || currentCol > rightCol || currentRow > bottomRow) return;
  if (currentCol > colProps.fixedCount && currentCol < leftCol) return;
  if (currentRow > rowProps.fixedCount && currentRow < topRow) return;
  int left = cellOriginX();
  for (int col = columnAfter(0); col < currentCol; col = columnAfter(col)) left += getColWidth(col);
  int top = cellOriginY();
  for (int row = rowAfter(0); row < currentRow; row = rowAfter(row)) top += getRowHeight(row);
  rect = RECT{left, top, left + getColWidth(currentCol), top + getRowHeight(currentRow)};

  const TCell* cell = currentCell();
  if (!cell || cell->cellType() != stringCellType) return;
  bool rightAligned = (cell->alignment & alignRight) && !(cell->alignment & alignHorizontalLow);
  if (rightAligned) {
    for (int col = currentCol - 1; col > colProps.fixedCount && col >= leftCol && !getCell(col, currentRow); --col) {
      if (rect.left - getColWidth(col) < paintedArea.left) break;
      rect.left -= getColWidth(col);
    }
  } else {
    LONG ownRight = rect.right;
    for (int col = currentCol + 1; col <= colProps.count && rect.right < paintedArea.right && !getCell(col, currentRow);
         ++col) {
      rect.right += getColWidth(col);
    }
    rect.right = std::max<LONG>(ownRight, std::min<LONG>(rect.right, paintedArea.right + editorOverhang));
  }
}
