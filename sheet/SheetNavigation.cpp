// The current cell, the selection and the scroll position, moved by the keys
// and mouse actions that the grid control passes on.
#include <algorithm>

#include "sheet/Sheet.h"

namespace {

struct TViewState {
  int currentCol, currentRow, leftCol, topRow;
  RECT selection;
  bool operator==(const TViewState& other) const {
    return currentCol == other.currentCol && currentRow == other.currentRow && leftCol == other.leftCol &&
           topRow == other.topRow && EqualRect(&selection, &other.selection);
  }
};

}  // namespace

// ---- Current cell and selection ----

void TSheet::setCurrentCell(int col, int row) {
  bool inside = col > colProps.fixedCount && col <= colProps.count && row > rowProps.fixedCount &&
                row <= rowProps.count;
  if (!inside) {
    currentCol = currentRow = -1;
    anchor = POINT{-1, -1};
    selection = RECT{-1, -1, -1, -1};
    resizeState = areaNowhere;
    return;
  }
  currentCol = col;
  currentRow = row;
  anchor = POINT{col, row};
  selection = RECT{col, row, col, row};
  resizeState = areaCell;
}

void TSheet::setSelection(int left, int top, int right, int bottom) {
  bool inside = left <= right && top <= bottom && left > colProps.fixedCount && right <= colProps.count &&
                top > rowProps.fixedCount && bottom <= rowProps.count;
  if (!inside) {
    setCurrentCell(-1, -1);
    return;
  }
  setCurrentCell(left, top);
  selection = RECT{left, top, right, bottom};
}

void TSheet::selectAll() {
  if (!multiSelect) return;
  setSelection(colProps.fixedCount + 1, rowProps.fixedCount + 1, colProps.count, rowProps.count);
}

// ---- Scrolling ----

// The smallest top row that still shows row at the bottom of the drawing.
int TSheet::topRowShowing(int row) const {
  int available = paintedArea.bottom - paintedArea.top - (colProps.showCoords ? getRowHeight(0) : 0);
  for (int fixed = 1; fixed <= rowProps.fixedCount; ++fixed) available -= getRowHeight(fixed);
  available -= getRowHeight(row);
  while (row - 1 > rowProps.fixedCount && getRowHeight(row - 1) <= available) {
    available -= getRowHeight(row - 1);
    --row;
  }
  return std::max(row, rowProps.fixedCount + 1);
}

int TSheet::leftColShowing(int col) const {
  int available = paintedArea.right - paintedArea.left - (rowProps.showCoords ? getColWidth(0) : 0);
  for (int fixed = 1; fixed <= colProps.fixedCount; ++fixed) available -= getColWidth(fixed);
  available -= getColWidth(col);
  while (col - 1 > colProps.fixedCount && getColWidth(col - 1) <= available) {
    available -= getColWidth(col - 1);
    --col;
  }
  return std::max(col, colProps.fixedCount + 1);
}

int TSheet::topRowShowingCurrentRow() const { return topRowShowing(currentRow); }

int TSheet::leftColShowingCurrentCol() const { return leftColShowing(currentCol); }

bool TSheet::scrollToCurrentCell() {
  if (currentCol <= colProps.fixedCount || currentCol > colProps.count || currentRow <= rowProps.fixedCount ||
      currentRow > rowProps.count) {
    return false;
  }
  int oldLeft = leftCol;
  int oldTop = topRow;
  // Moving right never scrolls the view back left, even where a narrow
  // column would fit into the slack of a partly shown one.
  if (currentCol < leftCol) {
    leftCol = currentCol;
  } else if (currentCol >= rightCol) {
    leftCol = std::max(leftCol, leftColShowingCurrentCol());
  }
  if (currentRow < topRow) {
    topRow = currentRow;
  } else if (currentRow >= bottomRow) {
    topRow = std::max(topRow, topRowShowingCurrentRow());
  }
  return leftCol != oldLeft || topRow != oldTop;
}

// ---- Keyboard ----

bool TSheet::keyDown(WORD key, TShiftState shift) {
  bool ctrl = shift & ssCtrl;
  if ((shift & ssAlt) && !ctrl) return false;
  if (!ctrl && key == VK_DELETE) return clearSelection();
  const TViewState before{currentCol, currentRow, leftCol, topRow, selection};
  const int firstCol = colProps.fixedCount + 1;
  const int firstRow = rowProps.fixedCount + 1;
  const bool hasCurrent = hasCurrentCell();
  auto moveTo = [this](int col, int row) {
    setCurrentCell(col, row);
    scrollToCurrentCell();
  };
  if (ctrl) {
    switch (key) {
      case VK_PRIOR:
        if (hasCurrent) setCurrentCell(currentCol, topRow);
        break;
      case VK_NEXT:
        if (hasCurrent) setCurrentCell(currentCol, bottomRow);
        break;
      case VK_END: {
        POINT used = getUsedExtent();
        int col = std::min<int>(used.x, colProps.count);
        int row = std::min<int>(used.y, rowProps.count);
        if (col < firstCol || row < firstRow || (col == currentCol && row == currentRow)) break;
        setCurrentCell(col, row);
        leftCol = leftColShowingCurrentCol();
        topRow = topRowShowingCurrentRow();
        break;
      }
      case VK_HOME:
        setCurrentCell(firstCol, firstRow);
        leftCol = firstCol;
        topRow = firstRow;
        break;
      case VK_LEFT:
        if (leftCol > firstCol) --leftCol;
        break;
      case VK_UP:
        if (topRow > firstRow) --topRow;
        break;
      case VK_RIGHT:
        if (leftCol < colProps.count) ++leftCol;
        break;
      case VK_DOWN:
        if (topRow < rowProps.count) ++topRow;
        break;
      default:
        return false;
    }
    return !(TViewState{currentCol, currentRow, leftCol, topRow, selection} == before);
  }
  switch (key) {
    case VK_TAB:
      if (!hasCurrent) break;
      if (shift & ssShift) {
        if (currentCol > firstCol) moveTo(currentCol - 1, currentRow);
      } else if (currentCol < colProps.count) {
        setCurrentCell(currentCol + 1, currentRow);
        if (currentCol > rightCol) ++leftCol;
      }
      break;
    case VK_PRIOR: {
      if (!hasCurrent) break;
      // A page back: the old top row shows at the bottom, whatever row the
      // current cell is on.
      int newTop = topRowShowing(topRow);
      int step = topRow - newTop;
      topRow = newTop;
      setCurrentCell(currentCol, std::max(firstRow, currentRow - step));
      break;
    }
    case VK_NEXT: {
      if (!hasCurrent) break;
      int newTop = std::max(bottomRow, topRow) + 1;
      if (newTop > rowProps.count) break;
      int step = newTop - topRow;
      topRow = newTop;
      setCurrentCell(currentCol, std::clamp(currentRow + step, firstRow, rowProps.count));
      break;
    }
    case VK_END:
      if (hasCurrent) moveTo(std::max(firstCol, std::min(lastColumnWithRow(currentRow), colProps.count)), currentRow);
      break;
    case VK_HOME:
      if (hasCurrent) moveTo(firstCol, currentRow);
      break;
    case VK_LEFT:
      if (hasCurrent && currentCol > firstCol) moveTo(currentCol - 1, currentRow);
      break;
    case VK_UP:
      if (hasCurrent && currentRow > firstRow) moveTo(currentCol, currentRow - 1);
      break;
    case VK_RIGHT:
      if (hasCurrent && currentCol < colProps.count) moveTo(currentCol + 1, currentRow);
      break;
    case VK_DOWN:
      if (hasCurrent && currentRow < rowProps.count) moveTo(currentCol, currentRow + 1);
      break;
    default:
      return false;
  }
  return !(TViewState{currentCol, currentRow, leftCol, topRow, selection} == before);
}

// ---- Mouse ----

void TSheet::mouseDown(int x, int y, bool shift, bool ctrl) {
  const POINT previousAnchor = anchor;
  const RECT previousSelection = selection;
  const bool hadSelection = previousSelection.left >= 1 && previousSelection.top >= 1;
  const TPointLocation location = locatePoint(x, y);
  const POINT place = location.place;
  resizeState = location.area;
  if (place.x < 0 || place.y < 0 || place.x > colProps.count || place.y > rowProps.count) {
    setCurrentCell(-1, -1);
    return;
  }
  bool onColumnBorder = resizeState == areaFixedColumnBorder || resizeState == areaColumnBorder;
  bool onRowBorder = resizeState == areaFixedRowBorder || resizeState == areaRowBorder;
  if ((onColumnBorder && colProps.sizable) || (onRowBorder && rowProps.sizable)) {
    resizeIndex_ = location.borderIndex;
    resizeOrigin_ = location.borderOrigin;
    return;
  }
  const int firstCol = colProps.fixedCount + 1;
  const int firstRow = rowProps.fixedCount + 1;
  const bool inFixedCols = place.x < firstCol;
  const bool inFixedRows = place.y < firstRow;
  if (inFixedCols && inFixedRows) {
    // The corner: the first place, or everything.
    if (multiSelect) {
      selectAll();
    } else {
      setCurrentCell(firstCol, firstRow);
    }
  } else if (inFixedCols) {
    // A row header: whole rows.
    setCurrentCell(firstCol, place.y);
    if (multiSelect) {
      int top = place.y;
      int bottom = place.y;
      if (shift && previousAnchor.y >= firstRow) {
        top = std::min<int>(previousAnchor.y, place.y);
        bottom = std::max<int>(previousAnchor.y, place.y);
      } else if (ctrl && hadSelection) {
        top = std::min<int>(previousSelection.top, place.y);
        bottom = std::max<int>(previousSelection.bottom, place.y);
      }
      selection = RECT{firstCol, top, colProps.count, bottom};
    }
  } else if (inFixedRows) {
    setCurrentCell(place.x, firstRow);
    if (multiSelect) {
      int left = place.x;
      int right = place.x;
      if (shift && previousAnchor.x >= firstCol) {
        left = std::min<int>(previousAnchor.x, place.x);
        right = std::max<int>(previousAnchor.x, place.x);
      } else if (ctrl && hadSelection) {
        left = std::min<int>(previousSelection.left, place.x);
        right = std::max<int>(previousSelection.right, place.x);
      }
      selection = RECT{left, firstRow, right, rowProps.count};
    }
  } else {
    setCurrentCell(place.x, place.y);
    if (multiSelect && shift && previousAnchor.x >= firstCol && previousAnchor.y >= firstRow) {
      selection = RECT{std::min<LONG>(previousAnchor.x, place.x), std::min<LONG>(previousAnchor.y, place.y),
                       std::max<LONG>(previousAnchor.x, place.x), std::max<LONG>(previousAnchor.y, place.y)};
    } else if (multiSelect && ctrl && hadSelection) {
      selection = RECT{std::min<LONG>(previousSelection.left, place.x), std::min<LONG>(previousSelection.top, place.y),
                       std::max<LONG>(previousSelection.right, place.x),
                       std::max<LONG>(previousSelection.bottom, place.y)};
    }
  }
}

void TSheet::mouseMove(int x, int y) {
  if (resizeState == areaFixedColumnBorder || resizeState == areaColumnBorder) {
    setColWidth(resizeIndex_, x - resizeOrigin_);
    return;
  }
  if (resizeState == areaFixedRowBorder || resizeState == areaRowBorder) {
    setRowHeight(resizeIndex_, y - resizeOrigin_);
    return;
  }
  if (resizeState != areaCell) return;
  POINT place;
  int cellLeft = 0;
  int cellTop = 0;
  pointToCell(x, y, place, cellLeft, cellTop);
  if (place.x <= colProps.fixedCount || place.x > colProps.count || place.y <= rowProps.fixedCount ||
      place.y > rowProps.count) {
    return;
  }
  if (multiSelect && anchor.x >= 1 && anchor.y >= 1 && hasCurrentCell()) {
    selection = RECT{std::min<LONG>(currentCol, place.x), std::min<LONG>(currentRow, place.y),
                     std::max<LONG>(currentCol, place.x), std::max<LONG>(currentRow, place.y)};
  } else {
    setCurrentCell(place.x, place.y);
  }
  // A drag past the last shown column or row scrolls on.
  if (place.x > rightCol) leftCol = std::min<int>(leftCol + place.x - rightCol, colProps.count);
  if (place.y > bottomRow) topRow = std::min<int>(topRow + place.y - bottomRow, rowProps.count);
}
