#include "functions/lookup/LookupFunctions.h"

#include <limits>
#include <string>

#include "functions/lookup/TableView.h"
#include "platform/LocaleSettings.h"
#include "platform/NumericErrors.h"
#include "sheet/EvalContext.h"
#include "sheet/Sheet.h"

namespace {

constexpr std::int64_t largestCoordinate = std::numeric_limits<std::int32_t>::max();

int signOf(int order) { return (order > 0) - (order < 0); }

// The sheet's comparison of element with value; both are converted in
// place, so callers hand in copies.
bool compareValues(TEvalContext& context, TValueRecord& element, TValueRecord& value, int& order, bool wildcards) {
  return context.sheet.compareValues(element, value, order, context.column, context.row, context.recordDependents,
                                     wildcards);
}

// Argument i with a reference resolved to its cell's value; a range stays
// a name.
TValueRecord resolvedArgument(TEvalContext& context, int i) {
  TTokenObject* operand = context.argument(i);
  if (!operand) return TValueRecord();
  context.sheet.resolveToken(*operand, context.recordDependents, false, true, context.column, context.row);
  return operand->value;
}

bool isScalar(const TValueRecord& value) { return value.kind >= valueInteger && value.kind <= valueString; }

// The reference a function reads: a name operand, or nullptr.
const TTokenObject* referenceArgument(TEvalContext& context, int i) {
  const TTokenObject* operand = context.argument(i);
  return operand && operand->value.kind == valueIdentifier ? operand : nullptr;
}

// A reference moved off the sheet by OFFSET holds this text: reading it is
// an error of its own.
bool isBrokenReference(const std::string& text) { return text.find(cellStateText(errRef)) != std::string::npos; }

// A single place: a cell reference or a range of one cell.
bool parseSingleCell(const TSheet& sheet, const std::string& text, int& column, int& row) {
  bool absoluteRow = false, absoluteColumn = false;
  if (sheet.parseCellRef(text, column, absoluteRow, absoluteColumn, row)) return true;
  int lastColumn = 0, lastRow = 0;
  return sheet.parseRangeRef(text, column, row, lastColumn, lastRow) && lastColumn == column && lastRow == row;
}

void recordRead(TEvalContext& context, int column, int row) {
  if (context.recordDependents && context.column >= 1 && context.row >= 1)
    context.sheet.dependents.addDependent({context.column - 1, context.row - 1}, {column - 1, row - 1});
}

// The call's result is value, with its kind.
void setValueResult(TEvalContext& context, const TValueRecord& value) {
  const int count = context.argumentCount();
  context.token.value = value;
  context.evalSetResult(value.kind, count);
}

// Elements compared with one value by the sheet's comparison. Two texts
// compare by the character codes of their upper-case forms; a text value
// is upper-cased once here rather than again at every element. Casing keeps
// a text's length, so where only equality counts, texts of other lengths
// are told apart without casing them.
bool isNumeric(std::uint8_t kind) { return kind == valueInteger || kind == valueNumber; }

double numberOf(const TValueRecord& value) {
  return value.kind == valueInteger ? static_cast<double>(value.integer) : value.number;
}

class TValueComparison {
 public:
  TValueComparison(TEvalContext& context, bool wildcards, bool equalityOnly)
      : context_(context), wildcards_(wildcards), equalityOnly_(equalityOnly) {}

  void setValue(const TValueRecord& value) {
    value_ = value;
    textValue_ = value.kind == valueString && !wildcards_;
    if (textValue_) upperValue_ = upperCase(value.string);
  }
  bool holdsNumber() const { return isNumeric(value_.kind); }
  // The sign of element against the value; false when the two cannot be
  // compared. The element is converted in place.
  bool order(TValueRecord& element, int& sign) {
    // Two numbers compare as the sheet's comparison would (integers as
    // integers, else both as doubles), neither converted nor copied: most
    // searches are through number keys.
    if (isNumeric(element.kind) && isNumeric(value_.kind)) {
      if (element.kind == valueInteger && value_.kind == valueInteger) {
        sign = (element.integer > value_.integer) - (element.integer < value_.integer);
      } else {
        const double a = numberOf(element), b = numberOf(value_);
        sign = a < b ? -1 : (a > b ? 1 : 0);
      }
      return true;
    }
    if (textValue_ && element.kind == valueString) {
      if (equalityOnly_ && element.string.size() != upperValue_.size()) {
        sign = 1;
        return true;
      }
      sign = signOf(upperCase(element.string).compare(upperValue_));
      return true;
    }
    probe_ = value_;
    if (!compareValues(context_, element, probe_, sign, wildcards_)) return false;
    sign = signOf(sign);
    return true;
  }

 private:
  TEvalContext& context_;
  bool wildcards_;
  bool equalityOnly_;
  bool textValue_ = false;
  TValueRecord value_;
  std::string upperValue_;
  TValueRecord probe_;
};

// The position (0-based) of the first of count elements equal to value;
// when none is, matchType 1 gives the largest element below value and -1
// the smallest above it (the first of equals), 0 nothing (-1). The
// elements need not be sorted.
template <typename ElementAt>
std::int64_t findPosition(TEvalContext& context, std::int64_t count, ElementAt elementAt, const TValueRecord& value,
                          int matchType, bool wildcards) {
  TValueComparison withValue(context, wildcards, matchType == 0);
  withValue.setValue(value);
  TValueComparison withRemembered(context, false, false);
  std::int64_t remembered = -1;
  const bool numericValue = isNumeric(value.kind);
  TValueRecord element;
  for (std::int64_t i = 0; i < count; ++i) {
    elementAt(i, element);
    // Numbers compared with numbers are left as read.
    const bool unconverted = numericValue && isNumeric(element.kind);
    int sign = 0;
    if (!withValue.order(element, sign)) continue;
    if (sign == 0) return i;
    if (matchType == 0 || sign != -matchType) continue;
    if (!unconverted) elementAt(i, element);
    if (remembered >= 0) {
      int better = 0;
      if (unconverted && withRemembered.holdsNumber()) {
        withRemembered.order(element, better);
      } else {
        TValueRecord candidate = element;
        if (!withRemembered.order(candidate, better)) continue;
      }
      if (better != matchType) continue;
    }
    remembered = i;
    withRemembered.setValue(element);
  }
  return remembered;
}

// VLOOKUP (vertical) and HLOOKUP: value, table[, n[, approximate]].
void evalTableLookup(TEvalContext& context, bool vertical) {
  const int count = context.argumentCount();
  if (count < 2 || count > 4) return;
  const TValueRecord value = resolvedArgument(context, 0);
  if (!isScalar(value)) return;
  TTableView table;
  if (!table.read(context, 1)) return;
  std::int32_t n = 1;
  if (count >= 3 && !context.integerArgument(2, n)) return;
  std::int32_t approximate = 1;
  if (count == 4 && !context.integerArgument(3, approximate)) approximate = 1;
  if (n < 1) return;
  if (n > (vertical ? table.columns() : table.rows())) {
    context.fail(errRef);
    return;
  }
  const std::int32_t keyCount = vertical ? table.rows() : table.columns();
  auto keyAt = [&table, vertical](std::int64_t i, TValueRecord& key) {
    if (vertical) {
      table.get(static_cast<std::int32_t>(i), 0, key);
    } else {
      table.get(0, static_cast<std::int32_t>(i), key);
    }
  };
  const std::int64_t found = findPosition(context, keyCount, keyAt, value, approximate != 0 ? 1 : 0, false);
  if (found < 0) {
    context.fail(errNA);
    return;
  }
  const auto at = static_cast<std::int32_t>(found);
  TValueRecord result;
  if (vertical) {
    table.get(at, n - 1, result);
  } else {
    table.get(n - 1, at, result);
  }
  setValueResult(context, result);
}

// MATCH (value, array[, matchType]): a 1-based position in row-major order.
void evalMATCH(TEvalContext& context) {
  const int count = context.argumentCount();
  if (count < 2 || count > 3) return;
  const TValueRecord value = resolvedArgument(context, 0);
  TTableView array;
  if (!array.read(context, 1)) return;
  std::int32_t matchType = 1;
  if (count == 3 && !context.integerArgument(2, matchType)) return;
  if (matchType < -1 || matchType > 1) throw ERangeError();
  auto elementAt = [&array](std::int64_t i, TValueRecord& element) { array.getAt(i, element); };
  const std::int64_t found = findPosition(context, array.elementCount(), elementAt, value, matchType, matchType == 0);
  if (found < 0) {
    context.fail(errNA);
    return;
  }
  context.setIntegerResult(static_cast<std::int32_t>(found + 1));
}

// LOOKUP (value, table) searches the longer side of the table and returns
// from its last row or column; LOOKUP (value, lookupVector, resultVector)
// returns the element at the matching position of the result vector.
void evalLOOKUP(TEvalContext& context) {
  const int count = context.argumentCount();
  if (count == 2) {
    TTableView table;
    const TValueRecord value = resolvedArgument(context, 0);
    if (!isScalar(value) || !table.read(context, 1)) return;
    const bool vertical = table.columns() <= table.rows();
    const std::int32_t keyCount = vertical ? table.rows() : table.columns();
    auto keyAt = [&table, vertical](std::int64_t i, TValueRecord& key) {
      if (vertical) {
        table.get(static_cast<std::int32_t>(i), 0, key);
      } else {
        table.get(0, static_cast<std::int32_t>(i), key);
      }
    };
    const std::int64_t found = findPosition(context, keyCount, keyAt, value, 1, false);
    if (found < 0) {
      context.fail(errNA);
      return;
    }
    const auto at = static_cast<std::int32_t>(found);
    TValueRecord result;
    if (vertical) {
      table.get(at, table.columns() - 1, result);
    } else {
      table.get(table.rows() - 1, at, result);
    }
    setValueResult(context, result);
    return;
  }
  if (count != 3) return;
  const TValueRecord value = resolvedArgument(context, 0);
  TTableView lookupVector, resultVector;
  if (!lookupVector.read(context, 1) || !resultVector.read(context, 2)) return;
  if (lookupVector.elementCount() > resultVector.elementCount()) return;
  auto elementAt = [&lookupVector](std::int64_t i, TValueRecord& element) { lookupVector.getAt(i, element); };
  const std::int64_t found = findPosition(context, lookupVector.elementCount(), elementAt, value, 1, false);
  if (found < 0) {
    context.fail(errNA);
    return;
  }
  TValueRecord result;
  resultVector.getAt(found, result);
  setValueResult(context, result);
}

// INDEX (array[, row[, column]]): 0 stands for all rows (columns).
void evalINDEX(TEvalContext& context) {
  const int count = context.argumentCount();
  if (count < 1 || count > 3) return;
  TTableView array;
  if (!array.read(context, 0)) return;
  std::int32_t row = 0, column = 0;
  if (count >= 2) {
    const bool emptyRow = count == 3 && resolvedArgument(context, 1).kind == valueEmpty;
    if (!emptyRow && !context.integerArgument(1, row)) return;
  }
  if (count == 3 && !context.integerArgument(2, column)) return;
  if (row < 0 || row > array.rows() || column < 0 || column > array.columns()) {
    context.fail(errRef);
    return;
  }
  if (row > 0 && column > 0) {
    TValueRecord element;
    array.get(row - 1, column - 1, element);
    setValueResult(context, element);
  } else if (row > 0) {
    context.setArrayResult(array.block(row - 1, row - 1, 0, array.columns() - 1));
  } else if (column > 0) {
    context.setArrayResult(array.block(0, array.rows() - 1, column - 1, column - 1));
  } else {
    context.setArrayResult(array.take());
  }
}

// SUBARRAY (array, firstRow, lastRow, firstColumn, lastColumn): a last of
// 0 stands for the array's last row (column).
void evalSUBARRAY(TEvalContext& context) {
  if (context.argumentCount() != 5) return;
  TTableView array;
  if (!array.read(context, 0)) return;
  std::int32_t firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
  if (!context.integerArgument(1, firstRow) || !context.integerArgument(2, lastRow) ||
      !context.integerArgument(3, firstColumn) || !context.integerArgument(4, lastColumn)) {
    return;
  }
  if (lastRow == 0) lastRow = array.rows();
  if (lastColumn == 0) lastColumn = array.columns();
  if (firstRow < 1 || firstColumn < 1 || lastRow < firstRow || lastColumn < firstColumn || lastRow > array.rows() ||
      lastColumn > array.columns()) {
    context.fail(errRef);
    return;
  }
  context.setArrayResult(array.block(firstRow - 1, lastRow - 1, firstColumn - 1, lastColumn - 1));
}

// CHOOSE (k, value1, ...): the k-th value as it is (an array stays an array,
// a reference a reference).
void evalCHOOSE(TEvalContext& context) {
  const int count = context.argumentCount();
  std::int32_t k = 0;
  if (count < 1 || !context.integerArgument(0, k) || k < 1 || k >= count) return;
  TTokenObject* chosen = context.argument(k);
  if (!chosen) return;
  if (chosen->value.kind == valueOwnedArray) {
    context.token.setOwnedArray(chosen->releaseOwnedArray());
  } else {
    context.token.assign(chosen);
  }
  context.evalSetResult(context.token.value.kind, count);
}

// ROWS (x): rows of an array or range, 1 for anything else.
void evalROWS(TEvalContext& context) {
  if (context.argumentCount() != 1) return;
  const TTokenObject* operand = context.argument(0);
  if (!operand) return;
  if (operand->value.kind == valueIdentifier) {
    if (isBrokenReference(operand->value.string)) {
      context.fail(errRef);
      return;
    }
    int firstColumn = 0, firstRow = 0, lastColumn = 0, lastRow = 0;
    const bool range = context.sheet.parseRangeRef(operand->value.string, firstColumn, firstRow, lastColumn, lastRow);
    context.setIntegerResult(range ? lastRow - firstRow + 1 : 1);
    return;
  }
  if (operand->value.kind < valueArrayConstant) {
    context.setIntegerResult(1);
    return;
  }
  TArgumentArray array;
  if (!context.arrayArgument(0, array) || !array || array->dimensionCount() < 1) return;
  context.setIntegerResult(array->dimensions()[0]);
}

// COLUMNS (x): columns of a two-dimensional array or range.
void evalCOLUMNS(TEvalContext& context) {
  if (context.argumentCount() != 1) return;
  const TTokenObject* operand = context.argument(0);
  if (!operand) return;
  if (operand->value.kind == valueIdentifier) {
    if (isBrokenReference(operand->value.string)) {
      context.fail(errRef);
      return;
    }
    int firstColumn = 0, firstRow = 0, lastColumn = 0, lastRow = 0;
    if (context.sheet.parseRangeRef(operand->value.string, firstColumn, firstRow, lastColumn, lastRow))
      context.setIntegerResult(lastColumn - firstColumn + 1);
    return;
  }
  if (operand->value.kind < valueArrayConstant) return;
  TArgumentArray array;
  if (!context.arrayArgument(0, array) || !array || array->dimensionCount() != 2) return;
  context.setIntegerResult(array->dimensions()[1]);
}

// ROW (reference) and COLUMN: the number of the formula's own cell, of a
// referenced cell, or of each row (column) of a referenced range.
void evalRowOrColumn(TEvalContext& context, bool rows) {
  const int count = context.argumentCount();
  if (count == 0) {
    context.setIntegerResult(rows ? context.row : context.column);
    return;
  }
  const TTokenObject* reference = count == 1 ? referenceArgument(context, 0) : nullptr;
  if (!reference) return;
  const std::string& text = reference->value.string;
  if (isBrokenReference(text)) {
    context.fail(errRef);
    return;
  }
  int firstColumn = 0, firstRow = 0, lastColumn = 0, lastRow = 0;
  if (!context.sheet.parseRangeRef(text, firstColumn, firstRow, lastColumn, lastRow)) {
    if (!parseSingleCell(context.sheet, text, firstColumn, firstRow)) return;
    context.setIntegerResult(rows ? firstRow : firstColumn);
    return;
  }
  const int first = rows ? firstRow : firstColumn;
  const std::int64_t length = static_cast<std::int64_t>(rows ? lastRow : lastColumn) - first + 1;
  if (length == 1) {
    context.setIntegerResult(first);
    return;
  }
  if (length > maxArrayElements) return;
  auto numbers = std::make_unique<TArray>();
  const auto size = static_cast<std::int32_t>(length);
  if (rows) {
    numbers->setSize2D(size, 1);
  } else {
    numbers->setSize2D(1, size);
  }
  for (std::int32_t i = 0; i < size; ++i) {
    TValueRecord& element = numbers->elements()[static_cast<std::size_t>(i)];
    element.kind = valueInteger;
    element.integer = first + i;
  }
  context.setArrayResult(std::move(numbers));
}

// Writes one corner of a moved reference; off the sheet's top or left it is
// the error text, so that the reference cannot be read.
std::string cornerText(const TSheet& sheet, std::int64_t column, std::int64_t row, bool absoluteRow,
                       bool absoluteColumn) {
  if (column < 1 || row < 1) return cellStateText(errRef);
  return sheet.cellAddressText(static_cast<int>(column), static_cast<int>(row), absoluteRow, absoluteColumn);
}

// OFFSET (reference, rows, columns[, height[, width]]): the reference moved
// and resized, as a reference.
void evalOFFSET(TEvalContext& context) {
  const int count = context.argumentCount();
  if (count < 3 || count > 5) return;
  const TTokenObject* reference = referenceArgument(context, 0);
  if (!reference) return;
  const std::string text = reference->value.string;
  if (isBrokenReference(text)) {
    context.fail(errRef);
    return;
  }
  std::int32_t rowShift = 0, columnShift = 0, height = 0, width = 0;
  if (!context.integerArgument(1, rowShift) || !context.integerArgument(2, columnShift)) return;
  // A size that does not convert counts as not given.
  if (count >= 4 && !context.integerArgument(3, height)) height = 0;
  if (count == 5 && !context.integerArgument(4, width)) width = 0;
  if (height < 0 || width < 0) throw ERangeError();

  int firstColumn = 0, firstRow = 0, lastColumn = 0, lastRow = 0;
  bool firstAbsRow = false, firstAbsColumn = false, lastAbsRow = false, lastAbsColumn = false;
  if (!context.sheet.parseRangeRef(text, firstColumn, firstRow, lastColumn, lastRow, firstAbsRow, firstAbsColumn,
                                   lastAbsRow, lastAbsColumn)) {
    if (!context.sheet.parseCellRef(text, firstColumn, firstAbsRow, firstAbsColumn, firstRow)) return;
    lastColumn = firstColumn;
    lastRow = firstRow;
    lastAbsRow = firstAbsRow;
    lastAbsColumn = firstAbsColumn;
  }
  const std::int64_t top = static_cast<std::int64_t>(firstRow) + rowShift;
  const std::int64_t left = static_cast<std::int64_t>(firstColumn) + columnShift;
  const std::int64_t bottom = height > 0 ? top + height - 1 : static_cast<std::int64_t>(lastRow) + rowShift;
  const std::int64_t right = width > 0 ? left + width - 1 : static_cast<std::int64_t>(lastColumn) + columnShift;
  if ((bottom - top + 1) * (right - left + 1) > maxArrayElements) return;
  if (bottom > largestCoordinate || right > largestCoordinate) {
    context.fail(errRef);
    return;
  }
  std::string moved = cornerText(context.sheet, left, top, firstAbsRow, firstAbsColumn);
  if (bottom != top || right != left) {
    moved += ':';
    moved += cornerText(context.sheet, right, bottom, lastAbsRow, lastAbsColumn);
  }
  const int argumentCount = context.argumentCount();
  context.token.value.string = std::move(moved);
  context.evalSetResult(valueIdentifier, argumentCount);
}

// INDIRECT (reference): the value of the cell named by the text in the
// referenced cell.
void evalINDIRECT(TEvalContext& context) {
  if (context.argumentCount() != 1) return;
  const TTokenObject* reference = referenceArgument(context, 0);
  if (!reference) return;
  int column = 0, row = 0;
  if (!parseSingleCell(context.sheet, reference->value.string, column, row)) {
    context.fail(errRef);
    return;
  }
  recordRead(context, column, row);
  TValueRecord named;
  context.sheet.cellToValue(context.sheet.getCell(column, row), false, named);
  if (named.kind != valueString || !parseSingleCell(context.sheet, named.string, column, row)) {
    context.fail(errRef);
    return;
  }
  recordRead(context, column, row);
  TValueRecord value;
  context.sheet.cellToValue(context.sheet.getCell(column, row), false, value);
  setValueResult(context, value);
}

// ARRAY (reference): the array result of the referenced cell's formula,
// shared without a copy.
void evalARRAY(TEvalContext& context) {
  if (context.argumentCount() != 1) return;
  const TTokenObject* reference = referenceArgument(context, 0);
  int column = 0, row = 0;
  if (!reference || !parseSingleCell(context.sheet, reference->value.string, column, row)) {
    context.fail(errRef);
    return;
  }
  recordRead(context, column, row);
  const TCell* cell = context.sheet.getCell(column, row);
  const TRPNstackObject* result =
      cell && cell->state == stateValid && cell->hasFormula() ? cell->workingCopy() : nullptr;
  const TTokenObject* first = result && result->count() == 1 ? result->getItem(0) : nullptr;
  TArray* array = first && first->tokenClass == tokenOperand ? first->subArray() : nullptr;
  if (!array) {
    context.fail(errNA);
    return;
  }
  const int count = context.argumentCount();
  context.token.setBorrowedArray(array);
  context.evalSetResult(valueBorrowedArray, count);
}

// AVAILABLE (x): whether x, resolved, holds anything.
void evalAVAILABLE(TEvalContext& context) {
  if (context.argumentCount() != 1) return;
  TTokenObject* operand = context.argument(0);
  if (!operand) return;
  context.sheet.resolveToken(*operand, context.recordDependents, true, true, context.column, context.row);
  context.setIntegerResult(operand->value.kind != valueEmpty ? 1 : 0);
}

}  // namespace

void registerLookupFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("AVAILABLE")] = evalAVAILABLE;
  table[FunctionIdOf("CHOOSE")] = evalCHOOSE;
  table[FunctionIdOf("COLUMN")] = [](TEvalContext& context) { evalRowOrColumn(context, false); };
  table[FunctionIdOf("COLUMNS")] = evalCOLUMNS;
  table[FunctionIdOf("HLOOKUP")] = [](TEvalContext& context) { evalTableLookup(context, false); };
  table[FunctionIdOf("INDEX")] = evalINDEX;
  table[FunctionIdOf("INDIRECT")] = evalINDIRECT;
  table[FunctionIdOf("LOOKUP")] = evalLOOKUP;
  table[FunctionIdOf("MATCH")] = evalMATCH;
  table[FunctionIdOf("OFFSET")] = evalOFFSET;
  table[FunctionIdOf("ROW")] = [](TEvalContext& context) { evalRowOrColumn(context, true); };
  table[FunctionIdOf("ROWS")] = evalROWS;
  table[FunctionIdOf("SUBARRAY")] = evalSUBARRAY;
  table[FunctionIdOf("ARRAY")] = evalARRAY;
  table[FunctionIdOf("VLOOKUP")] = [](TEvalContext& context) { evalTableLookup(context, true); };
}
