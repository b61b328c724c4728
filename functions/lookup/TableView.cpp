#include "functions/lookup/TableView.h"

#include "functions/RangeValues.h"
#include "sheet/Sheet.h"

bool TTableView::read(TEvalContext& context, int i) {
  sheet_ = &context.sheet;
  array_ = TArgumentArray();
  rows_ = columns_ = 0;
  // A single cell, a constant or a named value gives its value; a range is
  // read cell by cell when asked.
  TRangePlaces range;
  if (rangeArgument(context, i, range)) {
    firstColumn_ = range.firstCol;
    firstRow_ = range.firstRow;
    rows_ = static_cast<std::int32_t>(range.rows());
    columns_ = static_cast<std::int32_t>(range.columns());
    return true;
  }
  if (!context.arrayArgument(i, array_) || !array_) return false;
  if (array_->dimensionCount() != 2 || array_->elementCount() < 1) return false;
  rows_ = array_->dimensions()[0];
  columns_ = array_->dimensions()[1];
  return true;
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
