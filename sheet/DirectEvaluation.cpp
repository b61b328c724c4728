// A cell's compiled formula evaluated where it stands: operands go on a
// small stack of values, each operator takes its operands from the top and
// leaves its result there, so a formula costs one step per token and no
// copy. Numbers travel this way, and texts as far as "&" and the built-ins
// take them; SUM and VLOOKUP read their ranges where the sheet keeps them,
// without an array or a working list. The first step that would meet
// anything else (a text where a number is wanted, an array, a value that
// does not convert, a reference beyond the sheet, a fault, an error) gives
// up, and the working copy evaluates the formula from the start: every step
// that went before read the same references in the same order and recorded
// the same links, which a second recording leaves as they are, and nothing
// else was changed, so the result is the working copy's in every case.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Power.h"
#include "model/Rounding.h"
#include "model/TextFormatting.h"
#include "platform/FloatingPoint.h"
#include "platform/NumericErrors.h"
#include "sheet/BuiltinDispatch.h"
#include "sheet/CompiledFormula.h"
#include "sheet/FunctionNames.h"
#include "sheet/NumberText.h"
#include "sheet/Sheet.h"

namespace {

using TPackedToken = TCompiledFormula::TPackedToken;

constexpr long double percent = 100.0L;

// A value on the stack: a number, integer or text (the fields a token would
// hold), or a name or reference not read yet (a range: first and last). A
// text stands in the formula or in the text kept for its place on the
// stack, never in another place's.
struct TDirectValue {
  std::uint8_t kind;
  std::int32_t integer;
  double number;
  const TPackedToken* name;
  const TPackedToken* rangeEnd;
  std::string_view text;
};

class TDirectEvaluation {
 public:
  TDirectEvaluation(TSheet& sheet, const TCompiledFormula& formula, TDirectValue* stack, int col, int row,
                    bool record)
      : sheet_(sheet), formula_(formula), stack_(stack), col_(col), row_(row), record_(record),
        recording_(record && col >= 1 && row >= 1) {}

  // The formula's one value, a number or integer, into result; false when
  // the working copy must evaluate it. Giving up is common while a full
  // recalculation meets cells not computed yet, so it is a plain return,
  // not an exception.
  bool run(TDirectValue& result) {
    for (const TPackedToken& token : formula_.packedTokens()) {
      if (token.tokenClass == tokenOperand) {
        stack_[depth_++] = TDirectValue{token.kind, token.integer(), token.number(),
                                        token.kind == valueIdentifier ? &token : nullptr, nullptr,
                                        token.kind == valueString ? formula_.textOf(token) : std::string_view()};
      } else if (token.operatorCode != opFormulaStart) {
        if (!apply(token)) return false;
      }
    }
    // The closing "=": what is left unread is read as the working copy
    // reads it; a text is the result as it stands.
    if (stack_[0].kind != valueString && !read(stack_[0])) return false;
    result = stack_[0];
    return true;
  }

 private:
  // A value where a number is wanted: a number as it is, a reference read
  // as the sheet reads it; a text gives up, since converting it is the
  // working copy's.
  bool read(TDirectValue& value) {
    if (value.kind == valueString) return false;
    if (value.kind != valueIdentifier) return true;
    if (!readCell(value) || value.kind == valueString) return false;
    return true;
  }

  // The cell a reference names, as the sheet reads it: its value (a text
  // left in scratch_), and the link recorded after it (ECircularReference,
  // and so giving up, on a cycle).
  bool readCell(TDirectValue& value) {
    const TPackedToken* name = value.name;
    if (value.rangeEnd || name->refCol() == 0) return false;
    if (name->refCol() > sheet_.getColCount() || name->refRow() > sheet_.getRowCount()) return false;
    const TCell* cell = sheet_.getCell(name->refCol(), name->refRow());
    if (!cell || cell->state != stateValid) return false;
    scratch_.kind = valueEmpty;
    scratch_.integer = 0;
    scratch_.number = 0.0;
    if (!cell->readValue(scratch_) || scratch_.kind < valueInteger || scratch_.kind > valueString) return false;
    if (recording_) sheet_.dependents.addDependent({col_ - 1, row_ - 1}, {name->refCol() - 1, name->refRow() - 1});
    value = TDirectValue{scratch_.kind, scratch_.integer, scratch_.number, nullptr, nullptr, std::string_view()};
    return true;
  }

  // A value on the stack where a text is wanted, converted as the sheet
  // converts it.
  bool readText(TDirectValue& value) {
    if (value.kind == valueIdentifier) {
      if (!readCell(value)) return false;
      if (value.kind == valueString) value.text = keepText(value, scratch_.string);
    }
    if (value.kind == valueInteger) {
      value.text = keepText(value, std::to_string(value.integer));
    } else if (value.kind == valueNumber) {
      clearFloatingPointFaults();
      std::string text = sheet_.floatToStr(value.number);
      if (floatingPointFaultPending()) return false;
      value.text = keepText(value, std::move(text));
    }
    return true;
  }

  // The text kept for the place of value on the stack.
  std::string& textAt(const TDirectValue& value) {
    const auto place = static_cast<std::size_t>(&value - stack_);
    if (formula_.directStackDepth() <= inlineTextCount) {
      if (!inlineTexts_) inlineTexts_.emplace();
      return (*inlineTexts_)[place];
    }
    if (!texts_) texts_ = std::make_unique<std::string[]>(static_cast<std::size_t>(formula_.directStackDepth()));
    return texts_[place];
  }

  template <class Text>
  std::string_view keepText(const TDirectValue& value, Text&& text) {
    std::string& kept = textAt(value);
    kept = std::forward<Text>(text);
    return kept;
  }

  // "&": both sides as texts (right first, as the working copy converts
  // operands), joined in the left one's place.
  bool concatenate(const TPackedToken& token) {
    TDirectValue& right = stack_[depth_ - 1];
    TDirectValue& left = stack_[depth_ - 2];
    if (!readText(right) || !readText(left)) return false;
    if (left.text.size() + right.text.size() > maxSheetTextLength) return false;
    std::string& joined = textAt(left);
    if (left.text.data() != joined.data()) joined.assign(left.text);
    joined.append(right.text);
    --depth_;
    left = TDirectValue{valueString, token.integer(), token.number(), nullptr, nullptr, joined};
    return true;
  }

  static long double number(const TDirectValue& value) {
    return value.kind == valueInteger ? value.integer : value.number;
  }

  static bool integer(const TDirectValue& value, std::int32_t& whole) {
    if (value.kind == valueInteger) {
      whole = value.integer;
      return true;
    }
    return truncateToInt32(value.number, whole);
  }

  // The result replaces the operator's operands; a number as a token keeps
  // it, or giving up where the token would fail.
  bool setNumber(const TPackedToken& token, int operands, long double value) {
    if (std::isnan(value) || std::fabs(value) > std::numeric_limits<double>::max()) return false;
    depth_ -= operands - 1;
    stack_[depth_ - 1] = TDirectValue{valueNumber, token.integer(), static_cast<double>(value), nullptr, nullptr, {}};
    return true;
  }

  bool setInteger(const TPackedToken& token, int operands, std::int32_t value) {
    depth_ -= operands - 1;
    stack_[depth_ - 1] = TDirectValue{valueInteger, value, token.number(), nullptr, nullptr, {}};
    return true;
  }

  bool apply(const TPackedToken& token) {
    if (token.operatorCode == opFunctionCall) return call(token);
    if (token.operatorCode == opConcatenate) return concatenate(token);
    TDirectValue& right = stack_[depth_ - 1];
    switch (token.operatorCode) {
      case opAdd:
      case opSubtract:
      case opMultiply:
      case opDivide: {
        // Converted right to left, as the working copy converts operands.
        TDirectValue& left = stack_[depth_ - 2];
        if (!read(right) || !read(left)) return false;
        long double a = number(left);
        long double b = number(right);
        switch (token.operatorCode) {
          case opAdd: return setNumber(token, 2, a + b);
          case opSubtract: return setNumber(token, 2, a - b);
          case opMultiply: return setNumber(token, 2, a * b);
          default: return b != 0 && setNumber(token, 2, a / b);
        }
      }
      case opPower: {
        TDirectValue& left = stack_[depth_ - 2];
        if (!read(right) || !read(left)) return false;
        // The power rule raises or leaves a fault for what it cannot give.
        clearFloatingPointFaults();
        long double value = power(number(left), number(right));
        return !floatingPointFaultPending() && setNumber(token, 2, value);
      }
      case opDiv:
      case opMod: {
        TDirectValue& left = stack_[depth_ - 2];
        std::int32_t a = 0;
        std::int32_t b = 0;
        if (!read(right) || !integer(right, b) || !read(left) || !integer(left, a)) return false;
        if (b == 0 || (a == std::numeric_limits<std::int32_t>::min() && b == -1)) return false;
        return setInteger(token, 2, token.operatorCode == opDiv ? a / b : a % b);
      }
      case opEqual: case opNotEqual: case opGreater: case opLess: case opGreaterEqual: case opLessEqual: {
        // Compared left first, as two values are brought to one kind.
        TDirectValue& left = stack_[depth_ - 2];
        if (!read(left) || !read(right)) return false;
        int order = 0;
        if (left.kind == valueInteger && right.kind == valueInteger) {
          order = left.integer < right.integer ? -1 : (left.integer > right.integer ? 1 : 0);
        } else {
          double a = static_cast<double>(number(left));
          double b = static_cast<double>(number(right));
          order = a < b ? -1 : (a > b ? 1 : 0);
        }
        bool truth = false;
        switch (token.operatorCode) {
          case opEqual: truth = order == 0; break;
          case opNotEqual: truth = order != 0; break;
          case opGreater: truth = order > 0; break;
          case opLess: truth = order < 0; break;
          case opGreaterEqual: truth = order >= 0; break;
          default: truth = order <= 0; break;
        }
        return setInteger(token, 2, truth ? 1 : 0);
      }
      case opPercent:
        return read(right) && setNumber(token, 1, number(right) / percent);
      case opUnaryPlus:
      case opUnaryMinus:
        return read(right) && setNumber(token, 1, token.operatorCode == opUnaryMinus ? -number(right) : number(right));
      case opRange: {
        TDirectValue& left = stack_[depth_ - 2];
        if (left.kind != valueIdentifier || right.kind != valueIdentifier || left.rangeEnd || right.rangeEnd) {
          return false;
        }
        left.rangeEnd = right.name;
        --depth_;
        return true;
      }
      default:
        return false;
    }
  }

  bool call(const TPackedToken& token) {
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

  // A built-in computed here: done, given up (the working copy evaluates
  // the formula), or left to its routine in a working list for a case read
  // here only as far as the stack is unchanged (what was read recorded the
  // same links the routine records again).
  enum class TInPlace { done, gaveUp, leftToRoutine };

  struct TPlaces {
    int firstCol, firstRow, lastCol, lastRow;
  };

  // The places of a range on the stack as the sheet finds them from its
  // text, corners in order. False where the routine's own reading decides:
  // a corner that is no plain cell reference or lies beyond the sheet, a
  // range of one cell (read as a value), more places than an array holds,
  // or a named value that might bear a range's text and stand for it.
  bool rangePlaces(const TDirectValue& value, TPlaces& places) const {
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
  void recordRange(const TPlaces& places) {
    if (!recording_) return;
    sheet_.dependents.addDependentRange({col_ - 1, row_ - 1}, {places.firstCol - 1, places.firstRow - 1},
                                        {places.lastCol - 1, places.lastRow - 1});
  }

  // The value of the cell at (col, row) into scratch_ as a range's reader
  // sees it: false for an empty place, a cell not valid now or a class
  // without a value, all of which read as empty.
  bool readPlace(int col, int row) {
    const TCellGrid& grid = sheet_.cells;
    const auto c = static_cast<std::size_t>(col - 1);
    const auto r = static_cast<std::size_t>(row - 1);
    if (c >= grid.size() || r >= grid[c].size()) return false;
    const TCell* cell = grid[c][r].get();
    return cell && cell->state == stateValid && cell->readValue(scratch_) && scratch_.kind >= valueInteger &&
           scratch_.kind <= valueString;
  }

  // SUM: numbers as they stand, references read, ranges read in place row
  // by row; whatever does not convert to a number is passed over.
  TInPlace sum(const TPackedToken& token) {
    const int count = token.integer();
    if (count < 1) return TInPlace::leftToRoutine;
    clearFloatingPointFaults();
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

  // A range's places in reading order, row by row.
  struct TRangeCursor {
    TPlaces places;
    int row;
    int col;
  };
  static constexpr int numberBlockSize = 64;

  // The numbers of the next places of a range, at most numberBlockSize of
  // them, into block; whatever does not convert is passed over. Kept out of
  // line: the sum that takes them is in extended precision, which the
  // processor would otherwise store and load round every cell's read, at a
  // cost above the read's.
  [[gnu::noinline]] int readNumbers(TRangeCursor& cursor, double* block) {
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
  void addRangeNumbers(const TPlaces& places, long double& total) {
    TRangeCursor cursor{places, places.firstRow, places.firstCol};
    double block[numberBlockSize];
    while (int count = readNumbers(cursor, block)) {
      for (int i = 0; i < count; ++i) total += block[i];
    }
  }

  // LEN of a value read as a text.
  TInPlace length(const TPackedToken& token) {
    if (token.integer() != 1) return TInPlace::leftToRoutine;
    TDirectValue& text = stack_[depth_ - 1];
    if (!readText(text)) return TInPlace::gaveUp;
    return setInteger(token, 1, static_cast<std::int32_t>(text.text.size())) ? TInPlace::done : TInPlace::gaveUp;
  }

  // A whole number argument as its routine converts it.
  bool wholeArgument(TDirectValue argument, std::int32_t& whole) {
    return read(argument) && integer(argument, whole);
  }

  // VLOOKUP of a number in a range whose keys are all numbers: the first
  // key equal to it, or (approximate) the largest key below it, the first
  // of equals; the keys need not be sorted. Text keys, misses and the
  // errors of the call are its routine's.
  TInPlace lookUpVertically(const TPackedToken& token) {
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
      if (!cell || cell->state != stateValid || !cell->readValue(scratch_) ||
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

  static constexpr int keyPrefetchDistance = 4;

  // A number key as the sheet compares two: integers as integers, else
  // both as doubles.
  struct TNumberKey {
    bool whole;
    std::int32_t integer;
    double number;

    static TNumberKey of(std::uint8_t kind, std::int32_t integer, double number) {
      return TNumberKey{kind == valueInteger, integer, kind == valueInteger ? integer : number};
    }
    int orderAgainst(const TNumberKey& other) const {
      if (whole && other.whole) return (integer > other.integer) - (integer < other.integer);
      return (number > other.number) - (number < other.number);
    }
  };

  // IF (condition [, then [, else]]) as its routine decides: the condition
  // as an integer, a branch left out or empty as the condition's 1 or 0,
  // else the branch chosen (read if it is a reference), whole.
  bool choose(const TPackedToken& token) {
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

  // The faults a kernel leaves count as its routine's failure.
  template <class Compute>
  bool computeChecked(const TPackedToken& token, int count, Compute compute) {
    clearFloatingPointFaults();
    long double value = compute();
    return !floatingPointFaultPending() && setNumber(token, count, value);
  }

  bool computeOneNumber(const TPackedToken& token, const TNumberKernel& kernel) {
    if (token.integer() != 1 || !read(stack_[depth_ - 1])) return false;
    double x = static_cast<double>(number(stack_[depth_ - 1]));
    return computeChecked(token, 1, [&] { return kernel.compute(x); });
  }

  bool round(const TPackedToken& token, const TNumberKernel& kernel) {
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
  bool callRoutine(const TPackedToken& token) {
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

  TSheet& sheet_;
  const TCompiledFormula& formula_;
  TDirectValue* stack_;
  int depth_ = 0;
  int col_;
  int row_;
  bool record_;     // handed to the built-in routines, as the working copy hands it
  bool recording_;  // references read here are recorded
  TValueRecord scratch_;
  // The texts kept, made by the first text that needs keeping: in place for
  // a formula of a few levels, which most formulas with texts are, so that
  // their evaluation takes no heap block.
  static constexpr int inlineTextCount = 4;
  std::optional<std::array<std::string, inlineTextCount>> inlineTexts_;
  std::unique_ptr<std::string[]> texts_;
};

}  // namespace

bool TSheet::evaluateDirectly(const TCompiledFormula& formula, int col, int row, bool record) {
  if (formula.directStackDepth() == 0 || !stopAtFirstError) return false;
  if (!hasExtendedPrecision()) setExtendedPrecision();
  // Left unset: every formula writes a place before it reads it, and setting
  // each of them would cost a simple formula more than computing it.
  union TStack {
    TStack() {}
    TDirectValue places[TCompiledFormula::maxDirectStackDepth];
  } stack;
  TDirectValue result;
  TDirectEvaluation evaluation(*this, formula, stack.places, col, row, record && recordDependents);
  try {
    // A cycle is refused with ECircularReference: the working copy meets
    // it again and reports it.
    if (!evaluation.run(result)) return false;
    resultValue.string.assign(result.text);
  } catch (...) {
    return false;
  }
  resultValue.kind = result.kind;
  resultValue.integer = result.integer;
  resultValue.number = result.number;
  resultIsArray = false;
  return true;
}
