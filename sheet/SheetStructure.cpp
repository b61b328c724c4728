// Clearing, inserting, deleting and shifting rows and columns. A cell that
// moves takes its formula along re-spelled by the distance it moved; cells
// that stay keep their formulas, which go on naming the same places.
#include <algorithm>
#include <limits>

#include "platform/LocaleSettings.h"
#include "sheet/FormulaTokenReader.h"
#include "sheet/Sheet.h"

std::int64_t offsetUnlessAbsolute(std::int64_t value, std::int64_t delta, bool absolute) {
  return absolute ? value : value + delta;
}

namespace {

// A reference moved off the sheet's first row or column, or past what a
// reference can name, is written "#REF!".
std::string shiftedAddress(const TSheet& sheet, std::int64_t col, std::int64_t row, bool absRow, bool absCol) {
  constexpr std::int64_t largest = std::numeric_limits<std::int32_t>::max();
  if (col > largest || row > largest) return cellStateText(errRef);
  return sheet.cellAddressText(static_cast<int>(col), static_cast<int>(row), absRow, absCol);
}

char separatorOrSystem(const std::string& separator, char system) {
  return separator.size() == 1 ? separator[0] : system;
}

// Opens count empty slots at index at (at most the size): what stood from
// there on moves up by count.
template <class Slot>
void insertEmpty(std::vector<Slot>& slots, std::size_t at, std::size_t count) {
  std::size_t oldSize = slots.size();
  slots.resize(oldSize + count);
  std::move_backward(slots.begin() + static_cast<std::ptrdiff_t>(at),
                     slots.begin() + static_cast<std::ptrdiff_t>(oldSize), slots.end());
}

}  // namespace

void TSheet::shiftFormulaReferences(int colDelta, int rowDelta, TCell* cell) {
  if (!cell || !cell->hasFormula()) return;
  const TLocaleSettings& locale = localeSettings();
  char decimal = separatorOrSystem(decimalSeparator, locale.decimalSeparator);
  char list = separatorOrSystem(listSeparator, locale.listSeparator);
  const std::string_view formula = cell->formula();
  std::string shifted;
  shifted.reserve(formula.size() + 8);
  TFormulaTokenReader reader(formula, decimal, list);
  while (reader.next()) {
    const TTokenObject& token = reader.token();
    if (!token.ok) return;
    shifted.append(reader.blanksBefore(), ' ');
    int col = 0;
    int row = 0;
    bool absRow = false;
    bool absCol = false;
    if (token.tokenClass == tokenOperand && token.value.kind == valueIdentifier &&
        parseCellRef(token.value.string, col, absRow, absCol, row)) {
      shifted += shiftedAddress(*this, offsetUnlessAbsolute(col, colDelta, absCol),
                                offsetUnlessAbsolute(row, rowDelta, absRow), absRow, absCol);
    } else {
      shifted += reader.spelling();
    }
  }
  shifted.append(reader.blanksBefore(), ' ');
  // The place is not known here; the links of the old formula go with the
  // consistency pass that ends every edit that moves cells.
  cell->setFormula(shifted, false, 0, 0);
}

void TSheet::trimCells() {
  for (auto& column : cells) {
    std::size_t length = column.size();
    while (length > 0 && !column[length - 1]) --length;
    column.resize(length);
  }
  std::size_t columns = cells.size();
  while (columns > 0 && cells[columns - 1].empty()) --columns;
  cells.resize(columns);
}

bool TSheet::clearRange(const RECT& range) {
  bool freed = false;
  int lastCol = std::min<int>(range.right, static_cast<int>(cells.size()));
  for (int col = std::max<int>(1, range.left); col <= lastCol; ++col) {
    auto& column = cells[static_cast<std::size_t>(col) - 1];
    int lastRow = std::min<int>(range.bottom, static_cast<int>(column.size()));
    for (int row = std::max<int>(1, range.top); row <= lastRow; ++row) {
      TCell* cell = column[static_cast<std::size_t>(row) - 1].get();
      if (!cell || cell->locked) continue;
      freeCellAt(col, row);
      freed = true;
    }
  }
  return freed;
}

void TSheet::restoreConsistency() {
  // Links recorded before the cells moved name the old places; none may
  // survive, or a later change would update the wrong cells and miss the
  // right ones.
  ++cellsGeneration_;
  dependents.clear();
  if (autoRecalculate) {
    recalculateAll(false);
  } else {
    markAllDirty();
  }
}

bool TSheet::clearSelection() {
  if (!clearRange(selection)) return false;
  currentCol = selection.left;
  currentRow = selection.top;
  selection = RECT{currentCol, currentRow, currentCol, currentRow};
  trimCells();
  restoreConsistency();
  return true;
}

void TSheet::moveCellsUp(int firstCol, int belowRow, int height) {
  for (int col = std::max(1, firstCol); col <= static_cast<int>(cells.size()); ++col) {
    auto& column = cells[static_cast<std::size_t>(col) - 1];
    for (int row = std::max(belowRow + 1, height + 1); row <= static_cast<int>(column.size()); ++row) {
      auto& source = column[static_cast<std::size_t>(row) - 1];
      auto& target = column[static_cast<std::size_t>(row - height) - 1];
      if (!source || target) continue;
      target = std::move(source);
      shiftFormulaReferences(0, -height, target.get());
    }
  }
}

bool TSheet::clearSelectionShiftUp() {
  RECT range = selection;
  if (!clearRange(range)) return false;
  moveCellsUp(range.left, range.bottom, range.bottom - range.top + 1);
  trimCells();
  restoreConsistency();
  return true;
}

void TSheet::moveColumns(int from, int count) {
  if (count < 0) {
    int target = from + count;
    if (target < 1) return;
    colProps.shiftSizes(from, count);
    for (int col = target; col < from && col <= static_cast<int>(cells.size()); ++col) {
      for (auto& cell : cells[static_cast<std::size_t>(col) - 1]) {
        if (cell && !cell->locked) cell.reset();
      }
    }
    for (int col = from; col <= static_cast<int>(cells.size()); ++col) {
      auto& source = cells[static_cast<std::size_t>(col) - 1];
      auto& destination = cells[static_cast<std::size_t>(col + count) - 1];
      for (std::size_t row = 0; row < source.size(); ++row) {
        if (!source[row]) continue;
        if (destination.size() <= row) destination.resize(row + 1);
        if (destination[row]) continue;
        destination[row] = std::move(source[row]);
        shiftFormulaReferences(target - from, 0, destination[row].get());
      }
    }
    trimCells();
  } else if (count > 0) {
    if (from < 1) return;
    colProps.shiftSizes(from, count);
    std::size_t at = std::min(static_cast<std::size_t>(from) - 1, cells.size());
    insertEmpty(cells, at, static_cast<std::size_t>(count));
    for (std::size_t col = at + static_cast<std::size_t>(count); col < cells.size(); ++col) {
      for (auto& cell : cells[col]) shiftFormulaReferences(count, 0, cell.get());
    }
  }
}

void TSheet::moveRows(int from, int count) {
  if (count < 0) {
    int target = from + count;
    if (target < 1) return;
    rowProps.shiftSizes(from, count);
    for (auto& column : cells) {
      for (int row = target; row < from && row <= static_cast<int>(column.size()); ++row) {
        auto& cell = column[static_cast<std::size_t>(row) - 1];
        if (cell && !cell->locked) cell.reset();
      }
      for (int row = from; row <= static_cast<int>(column.size()); ++row) {
        auto& source = column[static_cast<std::size_t>(row) - 1];
        auto& destination = column[static_cast<std::size_t>(row + count) - 1];
        if (!source || destination) continue;
        destination = std::move(source);
        shiftFormulaReferences(0, target - from, destination.get());
      }
    }
    trimCells();
  } else if (count > 0) {
    if (from < 1) return;
    rowProps.shiftSizes(from, count);
    for (auto& column : cells) {
      std::size_t at = std::min(static_cast<std::size_t>(from) - 1, column.size());
      insertEmpty(column, at, static_cast<std::size_t>(count));
      for (std::size_t row = at + static_cast<std::size_t>(count); row < column.size(); ++row) {
        shiftFormulaReferences(0, count, column[row].get());
      }
    }
  }
}

void TSheet::shiftColumns(int from, int count) {
  if (count == 0 || from < 1 || from + count < 1) return;
  moveColumns(from, count);
  restoreConsistency();
}

void TSheet::shiftRows(int from, int count) {
  if (count == 0 || from < 1 || from + count < 1) return;
  moveRows(from, count);
  restoreConsistency();
}

bool TSheet::deleteSelectedRows() {
  if (!hasCurrentCell() || selection.top < 1) return false;
  moveRows(selection.bottom + 1, -(selection.bottom - selection.top + 1));
  currentCol = selection.left;
  currentRow = selection.top;
  selection = RECT{currentCol, currentRow, currentCol, currentRow};
  restoreConsistency();
  return true;
}

bool TSheet::deleteSelectedColumns() {
  if (!hasCurrentCell() || selection.left < 1) return false;
  moveColumns(selection.right + 1, -(selection.right - selection.left + 1));
  currentCol = selection.left;
  currentRow = selection.top;
  selection = RECT{currentCol, currentRow, currentCol, currentRow};
  restoreConsistency();
  return true;
}

bool TSheet::insertRowsAtSelection() {
  if (!hasCurrentCell() || selection.top < 1) return false;
  moveRows(selection.top, selection.bottom - selection.top + 1);
  restoreConsistency();
  return true;
}
