#pragma once
#include <cstdint>
#include <stdexcept>

#include "sheet/EvalContext.h"
#include "sheet/Sheet.h"

// Reads argument i straight from the cells when it is a range reference,
// without making an array of it: visit(const TValueRecord&) gets the value
// of every place in the order an array of the range holds them (row by row,
// left to right; empty and failed cells as empty values) and returns false
// to stop. The range is recorded as read first, whole, as an array argument
// records it, and the same size limit holds. False, with nothing visited,
// when the argument is no range reference: the caller then reads it as a
// value or an array.
template <class Visit>
bool forEachRangeValue(TEvalContext& context, int i, Visit visit) {
  TTokenObject* operand = context.argument(i);
  if (!operand || operand->value.kind != valueIdentifier) return false;
  TSheet& sheet = context.sheet;
  sheet.resolveToken(*operand, context.recordDependents, false, true, context.column, context.row);
  int firstCol = 0, firstRow = 0, lastCol = 0, lastRow = 0;
  if (operand->value.kind != valueIdentifier ||
      !sheet.parseRangeRef(operand->value.string, firstCol, firstRow, lastCol, lastRow)) {
    return false;
  }
  std::int64_t places = (static_cast<std::int64_t>(lastRow) - firstRow + 1) * (lastCol - firstCol + 1);
  if (places > maxArrayElements) throw std::length_error("range too large");
  if (context.recordDependents && context.column >= 1 && context.row >= 1) {
    sheet.dependents.addDependentRange({context.column - 1, context.row - 1}, {firstCol - 1, firstRow - 1},
                                       {lastCol - 1, lastRow - 1});
  }
  TValueRecord value;
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int col = firstCol; col <= lastCol; ++col) {
      sheet.cellToValue(sheet.getCell(col, row), false, value);
      if (!visit(value)) return true;
    }
  }
  return true;
}
