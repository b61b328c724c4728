#include "functions/TableView.h"

#include <stdexcept>

#include "sheet/Sheet.h"

bool TTableView::read(TEvalContext& context, int i) {
  sheet_ = &context.sheet;
  array_ = TArgumentArray();
  rows_ = columns_ = 0;
  TTokenObject* operand = context.argument(i);
  if (!operand) return false;
  if (operand->value.kind == valueIdentifier) {
    // A single cell, a constant or a named value gives its value; a range
    // stays a name and is read cell by cell when asked.
    context.sheet.resolveToken(*operand, context.recordDependents, false, true, context.column, context.row);
    if (operand->value.kind == valueIdentifier) {
      int lastColumn = 0, lastRow = 0;
      if (!context.sheet.parseRangeRef(operand->value.string, firstColumn_, firstRow_, lastColumn, lastRow))
        return false;
      const std::int64_t rows = static_cast<std::int64_t>(lastRow) - firstRow_ + 1;
      const std::int64_t columns = static_cast<std::int64_t>(lastColumn) - firstColumn_ + 1;
      if (rows * columns > maxArrayElements) throw std::length_error("range too large");
      if (context.recordDependents && context.column >= 1 && context.row >= 1) {
        context.sheet.dependents.addDependentRange({context.column - 1, context.row - 1},
                                                   {firstColumn_ - 1, firstRow_ - 1}, {lastColumn - 1, lastRow - 1});
      }
      rows_ = static_cast<std::int32_t>(rows);
      columns_ = static_cast<std::int32_t>(columns);
      return true;
    }
  }
  if (!context.arrayArgument(i, array_) || !array_) return false;
  if (array_->dimensionCount() != 2 || array_->elementCount() < 1) return false;
  rows_ = array_->dimensions()[0];
  columns_ = array_->dimensions()[1];
  return true;
}

void TTableView::get(std::int32_t row, std::int32_t column, TValueRecord& value) const {
  if (array_) {
    value = array_->at(row, column);
    return;
  }
  sheet_->cellToValue(sheet_->getCell(firstColumn_ + column, firstRow_ + row), false, value);
}

std::unique_ptr<TArray> TTableView::block(std::int32_t firstRow, std::int32_t lastRow, std::int32_t firstColumn,
                                          std::int32_t lastColumn) const {
  auto result = std::make_unique<TArray>();
  result->setSize2D(lastRow - firstRow + 1, lastColumn - firstColumn + 1);
  for (std::int32_t r = firstRow; r <= lastRow; ++r) {
    for (std::int32_t c = firstColumn; c <= lastColumn; ++c) get(r, c, result->at(r - firstRow, c - firstColumn));
  }
  return result;
}

std::unique_ptr<TArray> TTableView::take() {
  if (array_) return array_.take();
  return block(0, rows_ - 1, 0, columns_ - 1);
}
