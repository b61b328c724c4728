// The built-in calls of a formula evaluated where it stands: IF and the
// functions of one number or of a number and digits straight from their
// arithmetic, SUM, LEN and VLOOKUP on the stack with their ranges read where
// the sheet keeps them, and any other routine on a working list of its own.
#include "sheet/DirectEvaluation.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Rounding.h"
#include "platform/NumericErrors.h"
#include "sheet/BuiltinDispatch.h"
#include "sheet/FunctionNames.h"
#include "sheet/Sheet.h"
#include "sheet/ValueCells.h"

bool TDirectEvaluation::call(const TPackedToken& token) {
  static const int conditionalId = FunctionIdOf("IF");
  static const int sumId = FunctionIdOf("SUM");
  static const int lengthId = FunctionIdOf("LEN");
  static const int verticalLookupId = FunctionIdOf("VLOOKUP");
  const int id = token.functionId();
  if (id == conditionalId) return choose(token);
  const TNumberKernel& kernel = numberKernels()[static_cast<std::size_t>(id)];
  if (kernel.shape == TNumberKernel::oneNumber) return computeOneNumber(token, kernel);
  if (kernel.shape == TNumberKernel::rounding) return round(token, kernel);
  TInPlace outcome = TInPlace::leftToRoutine;
  if (id == sumId) {
    outcome = sum(token);
  } else if (id == lengthId) {
    outcome = length(token);
  } else if (id == verticalLookupId) {
    outcome = lookUpVertically(token);
  }
  if (outcome != TInPlace::leftToRoutine) return outcome == TInPlace::done;
  return callRoutine(token);
}

// IF (condition [, then [, else]]) as its routine decides: the condition
// as an integer, a branch left out or empty as the condition's 1 or 0,
// else the branch chosen (read if it is a reference), whole.
bool TDirectEvaluation::choose(const TPackedToken& token) {
  int count = token.integer();
  if (count < 1 || count > 3) return false;
  TDirectValue* arguments = stack_ + depth_ - count;
  std::int32_t condition = 0;
  if (!read(arguments[0]) || !integer(arguments[0], condition)) return false;
  bool isTrue = condition != 0;
  if (count == 1 || (count == 2 && !isTrue)) return setInteger(token, count, isTrue ? 1 : 0);
  TDirectValue chosen = arguments[isTrue ? 1 : 2];
  if (!read(chosen)) return false;
  depth_ -= count - 1;
  stack_[depth_ - 1] = chosen;
  return true;
}

// The faults a kernel leaves count as its routine's failure. The flags are
// not cleared first: reading them is what a simple formula's check costs, and
// a fault left over from elsewhere only makes the evaluation give up to the
// working copy, which clears them round each of its steps.
template <class Compute>
bool TDirectEvaluation::computeChecked(const TPackedToken& token, int count, Compute compute) {
  long double value = compute();
  return !floatingPointFaultPending() && setNumber(token, count, value);
}

bool TDirectEvaluation::computeOneNumber(const TPackedToken& token, const TNumberKernel& kernel) {
  if (token.integer() != 1 || !read(stack_[depth_ - 1])) return false;
  double x = static_cast<double>(number(stack_[depth_ - 1]));
  return computeChecked(token, 1, [&] { return kernel.compute(x); });
}

bool TDirectEvaluation::round(const TPackedToken& token, const TNumberKernel& kernel) {
  int count = token.integer();
  if (count < (kernel.digitsRequired ? 2 : 1) || count > 2) return false;
  TDirectValue* arguments = stack_ + depth_ - count;
  if (!read(arguments[0])) return false;
  double x = static_cast<double>(number(arguments[0]));
  std::int32_t digits = 0;
  if (count == 2 && (!read(arguments[1]) || !integer(arguments[1], digits))) return false;
  return computeChecked(token, count, [&] { return roundToDigits(digits, kernel.roundingMode, x); });
}

// Any other built-in routine works on tokens: its arguments and call are
// made in a working list of their own, just as the working copy would
// hold them.
bool TDirectEvaluation::callRoutine(const TPackedToken& token) {
  if (!builtinRoutines()[static_cast<std::size_t>(token.functionId())]) return false;
  int count = token.integer();
  TWorkingLists::TLease list = sheet_.leaseWorkingList();
  list->deleteRange(0, list->count() - 1);
  for (int i = depth_ - count; i < depth_; ++i) {
    const TDirectValue& value = stack_[i];
    TTokenPtr argument = list->newToken();
    argument->tokenClass = tokenOperand;
    argument->value.kind = value.kind;
    if (value.kind == valueIdentifier) {
      argument->value.string.assign(formula_.textOf(*value.name));
      if (value.rangeEnd) argument->value.string.append(":").append(formula_.textOf(*value.rangeEnd));
    } else {
      argument->value.integer = value.integer;
      argument->value.number = value.number;
      argument->value.string.assign(value.text);
    }
    list->push(std::move(argument));
  }
  TTokenPtr callToken = list->newToken();
  callToken->tokenClass = tokenOperator;
  callToken->operatorCode = opFunctionCall;
  callToken->functionId = token.functionId();
  callToken->value.kind = token.kind;
  callToken->value.integer = count;
  callToken->value.number = token.number();
  callToken->value.string.assign(formula_.textOf(token));
  list->push(std::move(callToken));
  int index = count;
  if (sheet_.evaluateOperator(*list, index, record_, col_, row_) != stateValid || list->count() != 1) return false;
  const TTokenObject& result = *list->getItem(0);
  if (result.value.kind < valueInteger || result.value.kind > valueString) return false;
  depth_ -= count - 1;
  TDirectValue& place = stack_[depth_ - 1];
  place = TDirectValue{result.value.kind, result.value.integer, result.value.number, nullptr, nullptr,
                       std::string_view()};
  if (result.value.kind == valueString) place.text = keepText(place, result.value.string);
  return true;
}

// The places of a range on the stack as the sheet finds them from its
// text, corners in order. False where the routine's own reading decides:
// a corner that is no plain cell reference or lies beyond the sheet, a
// range of one cell (read as a value), more places than an array holds,
// or a named value that might bear a range's text and stand for it.
bool TDirectEvaluation::rangePlaces(const TDirectValue& value, TPlaces& places) const {
  if (value.kind != valueIdentifier || !value.rangeEnd) return false;
  const TPackedToken& first = *value.name;
  const TPackedToken& last = *value.rangeEnd;
  if (first.refCol() == 0 || last.refCol() == 0) return false;
  const int colLimit = std::max(sheet_.getColCount(), sheet_.readableCols);
  const int rowLimit = std::max(sheet_.getRowCount(), sheet_.readableRows);
  if (std::max(first.refCol(), last.refCol()) > colLimit || std::max(first.refRow(), last.refRow()) > rowLimit) {
    return false;
  }
  places = TPlaces{std::min(first.refCol(), last.refCol()), std::min(first.refRow(), last.refRow()),
                   std::max(first.refCol(), last.refCol()), std::max(first.refRow(), last.refRow())};
  const std::int64_t count = (std::int64_t{places.lastCol} - places.firstCol + 1) *
                             (std::int64_t{places.lastRow} - places.firstRow + 1);
  if (count == 1 || count > maxArrayElements) return false;
  for (const TCustomIdObject& id : sheet_.customIds) {
    if (id.name.find(':') != std::string::npos) return false;
  }
  return true;
}

// A range is recorded as read whole, before any of its cells.
void TDirectEvaluation::recordRange(const TPlaces& places) {
  if (!recording_) return;
  sheet_.dependents.addDependentRange({col_ - 1, row_ - 1}, {places.firstCol - 1, places.firstRow - 1},
                                      {places.lastCol - 1, places.lastRow - 1});
}

// The value of the cell at (col, row) into scratch_ as a range's reader
// sees it: false for an empty place, a cell not valid now or a class
// without a value, all of which read as empty.
bool TDirectEvaluation::readPlace(int col, int row) {
  const TCellGrid& grid = sheet_.cells;
  const auto c = static_cast<std::size_t>(col - 1);
  const auto r = static_cast<std::size_t>(row - 1);
  if (c >= grid.size() || r >= grid[c].size()) return false;
  const TCell* cell = grid[c][r].get();
  return cell && cell->state == stateValid && readCellValue(*cell, scratch_) && scratch_.kind >= valueInteger &&
         scratch_.kind <= valueString;
}

// SUM: numbers as they stand, references read, ranges read in place row
// by row; whatever does not convert to a number is passed over.
TDirectEvaluation::TInPlace TDirectEvaluation::sum(const TPackedToken& token) {
  const int count = token.integer();
  if (count < 1) return TInPlace::leftToRoutine;
  // Checked after, as computeChecked checks.
  long double total = 0.0L;
  for (int i = depth_ - count; i < depth_; ++i) {
    TDirectValue argument = stack_[i];
    if (argument.kind == valueInteger || argument.kind == valueNumber) {
      total += number(argument);
      continue;
    }
    if (argument.kind != valueIdentifier) return TInPlace::leftToRoutine;
    if (!argument.rangeEnd) {
      if (!readCell(argument)) return TInPlace::leftToRoutine;
      if (scratch_.kind == valueString && !sheet_.convertValue(scratch_, valueNumber)) continue;
      total += scratch_.kind == valueInteger ? scratch_.integer : scratch_.number;
      continue;
    }
    TPlaces places;
    if (!rangePlaces(argument, places)) return TInPlace::leftToRoutine;
    recordRange(places);
    addRangeNumbers(places, total);
  }
  if (floatingPointFaultPending()) return TInPlace::gaveUp;
  return setNumber(token, count, total) ? TInPlace::done : TInPlace::gaveUp;
}

// The numbers of the next places of a range, at most numberBlockSize of
// them, into block; whatever does not convert is passed over. Kept out of
// line: the sum that takes them is in extended precision, which the
// processor would otherwise store and load round every cell's read, at a
// cost above the read's.
int TDirectEvaluation::readNumbers(TRangeCursor& cursor, double* block) {
  int count = 0;
  for (; cursor.row <= cursor.places.lastRow; ++cursor.row, cursor.col = cursor.places.firstCol) {
    for (; cursor.col <= cursor.places.lastCol; ++cursor.col) {
      if (count == numberBlockSize) return count;
      if (!readPlace(cursor.col, cursor.row)) continue;
      if (scratch_.kind == valueString && !sheet_.convertValue(scratch_, valueNumber)) continue;
      block[count++] = scratch_.kind == valueInteger ? scratch_.integer : scratch_.number;
    }
  }
  return count;
}

// The numbers of a range's places added to total in reading order.
void TDirectEvaluation::addRangeNumbers(const TPlaces& places, long double& total) {
  TRangeCursor cursor{places, places.firstRow, places.firstCol};
  double block[numberBlockSize];
  while (int count = readNumbers(cursor, block)) {
    for (int i = 0; i < count; ++i) total += block[i];
  }
}

// LEN of a value read as a text.
TDirectEvaluation::TInPlace TDirectEvaluation::length(const TPackedToken& token) {
  if (token.integer() != 1) return TInPlace::leftToRoutine;
  TDirectValue& text = stack_[depth_ - 1];
  if (!readText(text)) return TInPlace::gaveUp;
  return setInteger(token, 1, static_cast<std::int32_t>(text.text.size())) ? TInPlace::done : TInPlace::gaveUp;
}

// A whole number argument as its routine converts it.
bool TDirectEvaluation::wholeArgument(TDirectValue argument, std::int32_t& whole) {
  return read(argument) && integer(argument, whole);
}

// VLOOKUP of a number in a range whose keys are all numbers: the first
// key equal to it, or (approximate) the largest key below it, the first
// of equals; the keys need not be sorted. Text keys, misses and the
// errors of the call are its routine's.
TDirectEvaluation::TInPlace TDirectEvaluation::lookUpVertically(const TPackedToken& token) {
  const int count = token.integer();
  if (count < 2 || count > 4) return TInPlace::leftToRoutine;
  const TDirectValue* arguments = stack_ + depth_ - count;
  TDirectValue key = arguments[0];
  if (key.kind == valueIdentifier && !readCell(key)) return TInPlace::leftToRoutine;
  if (key.kind != valueInteger && key.kind != valueNumber) return TInPlace::leftToRoutine;
  TPlaces table;
  if (!rangePlaces(arguments[1], table)) return TInPlace::leftToRoutine;
  recordRange(table);
  std::int32_t column = 1;
  if (count >= 3 && !wholeArgument(arguments[2], column)) return TInPlace::leftToRoutine;
  std::int32_t approximate = 1;
  if (count == 4 && !wholeArgument(arguments[3], approximate)) return TInPlace::leftToRoutine;
  if (column < 1 || column > table.lastCol - table.firstCol + 1) return TInPlace::leftToRoutine;
  const TCellGrid& grid = sheet_.cells;
  const auto keyColumn = static_cast<std::size_t>(table.firstCol - 1);
  if (keyColumn >= grid.size() || static_cast<std::size_t>(table.lastRow) > grid[keyColumn].size()) {
    return TInPlace::leftToRoutine;
  }
  const std::vector<TCellPtr>& keys = grid[keyColumn];
  const TNumberKey lookedUp = TNumberKey::of(key.kind, key.integer, key.number);
  int found = -1;
  TNumberKey best{};
  for (int row = table.firstRow; row <= table.lastRow; ++row) {
    // Keys lie apart, each in a cell object of its own: the cells a few
    // rows on are loaded while this one is compared.
    const auto ahead = static_cast<std::size_t>(row - 1 + keyPrefetchDistance);
    if (ahead < keys.size()) __builtin_prefetch(keys[ahead].get());
    const TCell* cell = keys[static_cast<std::size_t>(row - 1)].get();
    if (!cell || cell->state != stateValid || !readCellValue(*cell, scratch_) ||
        (scratch_.kind != valueInteger && scratch_.kind != valueNumber)) {
      return TInPlace::leftToRoutine;
    }
    const TNumberKey element = TNumberKey::of(scratch_.kind, scratch_.integer, scratch_.number);
    const int sign = element.orderAgainst(lookedUp);
    if (sign == 0) {
      found = row;
      break;
    }
    if (approximate == 0 || sign > 0) continue;
    if (found >= 0 && element.orderAgainst(best) <= 0) continue;
    found = row;
    best = element;
  }
  if (found < 0 || !readPlace(table.firstCol + column - 1, found)) return TInPlace::leftToRoutine;
  depth_ -= count - 1;
  TDirectValue& place = stack_[depth_ - 1];
  place = TDirectValue{scratch_.kind, scratch_.integer, scratch_.number, nullptr, nullptr, std::string_view()};
  if (scratch_.kind == valueString) place.text = keepText(place, scratch_.string);
  return TInPlace::done;
}
