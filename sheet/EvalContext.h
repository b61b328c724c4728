#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "sheet/CellStates.h"
#include "sheet/RPNstack.h"
#include "sheet/ValueArray.h"

class TSheet;

// An argument read as an array: either an array of its own (from a range or
// an array constant, or a copy) that goes with this object, or an array
// borrowed from the argument token that must be neither changed nor freed.
class TArgumentArray {
 public:
  TArgumentArray() = default;
  TArgumentArray(TArgumentArray&&) = default;
  TArgumentArray& operator=(TArgumentArray&&) = default;

  TArray* get() const { return array_; }
  TArray* operator->() const { return array_; }
  TArray& operator*() const { return *array_; }
  explicit operator bool() const { return array_ != nullptr; }
  bool borrowed() const { return array_ && !owned_; }

  // The array as one's own, to change it or hand it on as a result: an
  // owned one is handed over, one borrowed from an argument that owns it is
  // taken from that argument, and any other is copied.
  std::unique_ptr<TArray> take();

 private:
  friend class TEvalContext;
  TArray* array_ = nullptr;
  std::unique_ptr<TArray> owned_;
  TTokenObject* lender_ = nullptr;  // the argument token a borrowed array belongs to
};

// The frame in which every operator and built-in function runs: one step of
// TSheet::evaluateOperator on a compiled list in postfix order.
//
// The call token stands at `index`; its argument count n is in
// token.value.integer and its arguments are the n tokens before it, the
// first one farthest left (argument(0) at index - n ... argument(n - 1) at
// index - 1). Every argument is an operand: a value, an unresolved name or
// reference (kind 4), an array constant (5) or an array (6 own, 7 borrowed).
//
// A routine checks the count, converts its arguments, computes and commits
// its result with one of the set...Result calls (or evalSetResult), which
// replace the call and its arguments by the result. Returning without a
// result leaves errorCode at errValue ("#VALUE!"); fail(code) names another
// error. Exceptions need no catching: TSheet::evaluateOperator maps them
// (EZeroDivide and EDivByZero "#DIV/0!", EInvalidOp "#NUM!",
// ECircularReference "#CIRC!", EInvalidReference "#REF!", anything else
// "#VALUE!"), and floating-point faults left behind by the routine count as
// those exceptions.
class TEvalContext {
 public:
  TEvalContext(TSheet& sheet, TRPNstackObject& list, int index, bool recordDependents, int column, int row);

  TSheet& sheet;
  TRPNstackObject& list;
  int index;            // the call token's position; after a commit, the position after the result
  TTokenObject& token;  // the call token: the result is written into it
  std::uint8_t errorCode = errValue;
  bool recordDependents;  // references read are recorded as read by the cell (column, row)
  int column;
  int row;
  bool committed = false;

  // ---- Arguments ----
  int argumentCount() const { return token.value.integer; }
  // The list position of argument i (0-based).
  int argumentIndex(int i) const { return index - argumentCount() + i; }
  // Argument i (0-based), nullptr when there is no such operand.
  TTokenObject* argument(int i) const;

  // Converts argument i in place and reads it: a reference gives its cell's
  // value, TRUE/FALSE/PI/E and named values theirs. False when it does not
  // convert (an empty cell, a text that is no number, a range, an array).
  bool numberArgument(int i, double& value);
  bool integerArgument(int i, std::int32_t& value);  // numbers truncated toward zero, 32 bits
  bool stringArgument(int i, std::string& value);
  // Argument i as an array: a range (read from the cells and recorded as
  // read), an array constant or an array result. A single value gives no
  // array: it is converted to scalarKind instead and the call is true when
  // that works (the default, valueOwnedArray, accepts arrays only). A
  // read-only array may be borrowed from the argument.
  bool arrayArgument(int i, TArgumentArray& array, std::uint8_t scalarKind = valueOwnedArray, bool readOnly = true);

  // ---- Results (each commits and consumes all argumentCount() arguments) ----
  // Finite numbers only: NaN raises EInvalidOp ("#NUM!"), a value beyond
  // the range of a double EOverflow ("#VALUE!").
  void setNumberResult(long double value);
  void setIntegerResult(std::int32_t value);  // also Booleans: 1 true, 0 false
  // At most maxSheetTextLength characters, else "#VALUE!".
  void setStringResult(std::string value);
  void setArrayResult(std::unique_ptr<TArray> array);
  // Ends the step with this error code (errNA, errNum, errRef, ...);
  // return right after.
  void fail(std::uint8_t code) { errorCode = code; }

  // ---- The frame's primitives, for routines that need more control ----
  // Converts the count operands ending at lastIndex to kind (1 integer, 2
  // number, 3 string; 4 leaves identifiers as they are), in place: the
  // value's kind stays, the field of the asked kind is filled. Identifiers
  // are resolved first (a range stays an identifier and fails).
  bool evalConvertArgs(int count, std::uint8_t kind, int lastIndex);
  // The operand at tokenIndex as an array (see arrayArgument); kind 4 gives
  // no array for an identifier.
  bool evalArgAsArray(std::uint8_t kind, int tokenIndex, TArgumentArray& array, bool readOnly, bool allowBorrow);
  // The call token becomes an operand of kind with the value (and array)
  // written into it beforehand; the count tokens before it are deleted.
  // Take argumentCount() before writing an integer result: both live in
  // token.value.integer.
  void evalSetResult(std::uint8_t kind, int count);
};

// A built-in function routine. Grouped functions register small lambdas
// that pass their selector: [](TEvalContext& c) { evalSumOfSquaresXY(c, 1); }
using TBuiltinRoutine = void (*)(TEvalContext&);
