#include "functions/RangeValues.h"

#include <stdexcept>

bool rangeArgument(TEvalContext& context, int i, TRangePlaces& range) {
  TTokenObject* operand = context.argument(i);
  if (!operand || operand->value.kind != valueIdentifier) return false;
  TSheet& sheet = context.sheet;
  sheet.resolveToken(*operand, context.recordDependents, false, true, context.column, context.row);
  if (operand->value.kind != valueIdentifier ||
      !sheet.parseRangeRef(operand->value.string, range.firstCol, range.firstRow, range.lastCol, range.lastRow)) {
    return false;
  }
  if (range.rows() * range.columns() > maxRangePlaces) throw std::length_error("range too large");
  if (context.recordDependents && context.column >= 1 && context.row >= 1) {
    sheet.dependents.addDependentRange({context.column - 1, context.row - 1},
                                       {range.firstCol - 1, range.firstRow - 1},
                                       {range.lastCol - 1, range.lastRow - 1});
  }
  return true;
}
