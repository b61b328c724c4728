#pragma once
#include <cstdint>

#include "sheet/CellStates.h"
#include "sheet/EvalContext.h"
#include "sheet/Sheet.h"
#include "sheet/ValueRecord.h"

// A table argument of a built-in read where it stands: a range straight from
// the sheet's cells, or an array (borrowed when the argument holds one), so
// that a search through a large range does not first copy every cell.
class TTableView {
 public:
  // Argument i as a two-dimensional table of at least one element; false
  // for a single value or an array of another shape. A range is recorded
  // as read; one of more than maxArrayElements places raises
  // std::length_error ("#VALUE!") like any range read into an array.
  bool read(TEvalContext& context, int i);

  std::int32_t rows() const { return rows_; }
  std::int32_t columns() const { return columns_; }
  std::int64_t elementCount() const { return static_cast<std::int64_t>(rows_) * columns_; }

  // Element (row, column), 0-based, copied into value (a copy, since the
  // sheet's comparison converts what it is given).
  // Searches read every key through here, so a range's cell is read where
  // the sheet keeps it, as the sheet's own value of a valid cell.
  void get(std::int32_t row, std::int32_t column, TValueRecord& value) const {
    if (array_) {
      value = array_->at(row, column);
      return;
    }
    value.clear();
    const TCell* cell = cellAt(row, column);
    if (cell && cell->state == stateValid && !cell->readValue(value)) value.clear();
  }
  // Element p of the row-major order, 0-based.
  void getAt(std::int64_t position, TValueRecord& value) const {
    get(static_cast<std::int32_t>(position / columns_), static_cast<std::int32_t>(position % columns_), value);
  }

  // The block of rows firstRow..lastRow and columns firstColumn..lastColumn
  // (0-based, inclusive) as a new array.
  std::unique_ptr<TArray> block(std::int32_t firstRow, std::int32_t lastRow, std::int32_t firstColumn,
                                std::int32_t lastColumn) const;
  // The whole table as an array of the caller's own.
  std::unique_ptr<TArray> take();

 private:
  const TCell* cellAt(std::int32_t row, std::int32_t column) const {
    const auto c = static_cast<std::size_t>(firstColumn_ - 1 + column);
    const auto r = static_cast<std::size_t>(firstRow_ - 1 + row);
    const TCellGrid& grid = sheet_->cells;
    return c < grid.size() && r < grid[c].size() ? grid[c][r].get() : nullptr;
  }

  const TSheet* sheet_ = nullptr;
  TArgumentArray array_;  // empty when the table is a range
  int firstColumn_ = 0;   // the range's top left cell, 1-based
  int firstRow_ = 0;
  std::int32_t rows_ = 0;
  std::int32_t columns_ = 0;
};
