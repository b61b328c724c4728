#pragma once
#include <cstdint>

#include "sheet/EvalContext.h"
#include "sheet/Sheet.h"

// The corners of a range argument, 1-based and in order.
struct TRangePlaces {
  int firstCol = 0, firstRow = 0, lastCol = 0, lastRow = 0;

  std::int64_t rows() const { return std::int64_t{lastRow} - firstRow + 1; }
  std::int64_t columns() const { return std::int64_t{lastCol} - firstCol + 1; }
};

// Resolves argument i and, when it is a range reference, gives its corners
// for the caller to read straight from the cells, without making an array of
// it. The range is recorded as read first, whole, as an array argument
// records it, and at most maxRangePlaces places (std::length_error). False, with
// nothing recorded, when the argument is no range reference: the caller then
// reads it as a value or an array.
bool rangeArgument(TEvalContext& context, int i, TRangePlaces& range);

// Argument i read as rangeArgument reads it: visit(const TValueRecord&) gets
// the value of every place in the order an array of the range holds them
// (row by row, left to right; empty and failed cells as empty values) and
// returns false to stop. False, with nothing visited, when the argument is
// no range reference.
template <class Visit>
bool forEachRangeValue(TEvalContext& context, int i, Visit visit) {
  TRangePlaces range;
  if (!rangeArgument(context, i, range)) return false;
  TSheet& sheet = context.sheet;
  TValueRecord value;
  for (int row = range.firstRow; row <= range.lastRow; ++row) {
    for (int col = range.firstCol; col <= range.lastCol; ++col) {
      sheet.cellToValue(sheet.getCell(col, row), false, value);
      if (!visit(value)) return true;
    }
  }
  return true;
}
