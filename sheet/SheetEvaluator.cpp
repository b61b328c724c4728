// The operators of compiled formulas and the dispatch of function calls: one
// step of the evaluation at a time, with every failure turned into a cell
// error code.
#include <cmath>
#include <exception>
#include <limits>

#include "model/Power.h"
#include "model/TextFormatting.h"
#include "platform/NumericErrors.h"
#include "sheet/ArrayOperators.h"
#include "sheet/BuiltinDispatch.h"
#include "sheet/Sheet.h"

namespace {

constexpr int matrixSumId = 82;
constexpr int matrixDifferenceId = 83;
constexpr int matrixProductId = 78;
constexpr long double percent = 100.0L;

// The two operands before the operator, or nullptr.
TTokenObject* operandAt(TEvalContext& context, int position) {
  TTokenObject* operand = context.list.getItem(position);
  return operand && operand->tokenClass == tokenOperand ? operand : nullptr;
}

void setNumber(TEvalContext& context, long double value, int count) {
  // A fault names the failure better than the value it left.
  if (floatingPointFaultPending()) raiseFloatingPointFaults();
  if (std::isnan(value)) throw EInvalidOp();
  if (std::fabs(value) > std::numeric_limits<double>::max()) throw EOverflow();
  context.token.value.number = static_cast<double>(value);
  context.evalSetResult(valueNumber, count);
}

void setInteger(TEvalContext& context, std::int32_t value, int count) {
  context.token.value.integer = value;
  context.evalSetResult(valueInteger, count);
}

long double numberAt(TEvalContext& context, int position) { return context.list.getItem(position)->value.number; }
std::int32_t integerAt(TEvalContext& context, int position) { return context.list.getItem(position)->value.integer; }

// A built-in routine reached from an operator, with the operator's two
// operands as its arguments.
void callMatrixRoutine(TEvalContext& context, int id) {
  context.token.value.integer = 2;
  if (TBuiltinRoutine routine = builtinRoutines()[static_cast<std::size_t>(id)]) routine(context);
}

void evalComparison(TEvalContext& context, std::uint8_t code) {
  TTokenObject* left = operandAt(context, context.index - 2);
  TTokenObject* right = operandAt(context, context.index - 1);
  if (!left || !right) return;
  int order = 0;
  if (!context.sheet.compareValues(left->value, right->value, order, context.column, context.row,
                                   context.recordDependents, false)) {
    return;
  }
  setInteger(context, comparisonHolds(code, order) ? 1 : 0, 2);
}

// The scalar form of the comparisons, OR, XOR, AND, "&", "^" and ":" on the
// two operands before the operator; no result when they do not fit.
void evalScalarOperator(TEvalContext& context, std::uint8_t code) {
  int rightIndex = context.index - 1;
  int leftIndex = context.index - 2;
  TTokenObject* left = operandAt(context, leftIndex);
  TTokenObject* right = operandAt(context, rightIndex);
  if (!left || !right) return;
  switch (code) {
    case opEqual: case opNotEqual: case opGreater: case opLess: case opGreaterEqual: case opLessEqual:
      evalComparison(context, code);
      return;
    case opOr:
    case opXor: {
      bool leftConverts = context.evalConvertArgs(1, valueInteger, leftIndex);
      bool rightConverts = context.evalConvertArgs(1, valueInteger, rightIndex);
      if (!leftConverts && !rightConverts) return;
      // One side that is no integer takes the other side's value.
      std::int32_t a = leftConverts ? left->value.integer : right->value.integer;
      std::int32_t b = rightConverts ? right->value.integer : left->value.integer;
      bool truth = code == opOr ? (a != 0 || b != 0) : ((a != 0) != (b != 0));
      setInteger(context, truth ? 1 : 0, 2);
      return;
    }
    case opAnd:
      if (!context.evalConvertArgs(2, valueInteger, rightIndex)) return;
      setInteger(context, left->value.integer != 0 && right->value.integer != 0 ? 1 : 0, 2);
      return;
    case opConcatenate: {
      if (!context.evalConvertArgs(2, valueString, rightIndex)) return;
      if (left->value.string.size() + right->value.string.size() > maxSheetTextLength) return;
      std::string joined = left->value.string + right->value.string;
      context.token.value.string = std::move(joined);
      context.evalSetResult(valueString, 2);
      return;
    }
    case opPower:
      if (!context.evalConvertArgs(2, valueNumber, rightIndex)) return;
      setNumber(context, power(left->value.number, right->value.number), 2);
      return;
    case opRange: {
      if (left->value.kind != valueIdentifier || right->value.kind != valueIdentifier) return;
      std::string range = left->value.string + ":" + right->value.string;
      context.token.value.string = std::move(range);
      context.evalSetResult(valueIdentifier, 2);
      return;
    }
    default:
      return;
  }
}

// "+" and "-": numbers; else the right operand alone as a sign; else the
// matrix sum or difference of two arrays; else the right array signed.
void evalAddSubtract(TEvalContext& context, bool add) {
  int right = context.index - 1;
  if (context.evalConvertArgs(2, valueNumber, right)) {
    long double a = numberAt(context, right - 1);
    long double b = numberAt(context, right);
    setNumber(context, add ? a + b : a - b, 2);
    return;
  }
  if (context.evalConvertArgs(1, valueNumber, right)) {
    long double b = numberAt(context, right);
    setNumber(context, add ? b : -b, 1);
    return;
  }
  callMatrixRoutine(context, add ? matrixSumId : matrixDifferenceId);
  if (context.committed) return;
  context.errorCode = errValue;
  evalArrayArithmetic(context, right, 1, add ? 1.0 : -1.0);
}

void evalMultiply(TEvalContext& context) {
  int right = context.index - 1;
  int left = right - 1;
  if (context.evalConvertArgs(2, valueNumber, right)) {
    setNumber(context, numberAt(context, left) * numberAt(context, right), 2);
  } else if (context.evalConvertArgs(1, valueNumber, right)) {
    evalArrayArithmetic(context, left, 2, numberAt(context, right));
  } else if (context.evalConvertArgs(1, valueNumber, left)) {
    evalArrayArithmetic(context, right, 2, numberAt(context, left));
  } else {
    callMatrixRoutine(context, matrixProductId);
  }
}

void evalDivide(TEvalContext& context) {
  int right = context.index - 1;
  int left = right - 1;
  if (context.evalConvertArgs(2, valueNumber, right)) {
    setNumber(context, numberAt(context, left) / numberAt(context, right), 2);
  } else if (context.evalConvertArgs(1, valueNumber, right)) {
    long double reciprocal = 1.0L / numberAt(context, right);
    if (floatingPointFaultPending()) raiseFloatingPointFaults();
    evalArrayArithmetic(context, left, 2, static_cast<double>(reciprocal));
  }
}

void evalDivMod(TEvalContext& context, std::uint8_t code) {
  int right = context.index - 1;
  int left = right - 1;
  if (context.evalConvertArgs(2, valueInteger, right)) {
    std::int32_t a = integerAt(context, left);
    std::int32_t b = integerAt(context, right);
    if (b == 0) throw EDivByZero();
    // The one quotient that does not fit 32 bits.
    if (a == std::numeric_limits<std::int32_t>::min() && b == -1) return;
    setInteger(context, code == opDiv ? a / b : a % b, 2);
  } else if (context.evalConvertArgs(1, valueInteger, right)) {
    evalArrayDivMod(context, left, integerAt(context, right), code, 2);
  }
}

void evalUnary(TEvalContext& context, std::uint8_t code) {
  int operand = context.index - 1;
  switch (code) {
    case opPercent:
      if (context.evalConvertArgs(1, valueNumber, operand)) setNumber(context, numberAt(context, operand) / percent, 1);
      return;
    case opNot:
      if (context.evalConvertArgs(1, valueInteger, operand)) setInteger(context, integerAt(context, operand) == 0, 1);
      return;
    default: {
      bool negate = code == opUnaryMinus;
      if (context.evalConvertArgs(1, valueNumber, operand)) {
        long double x = numberAt(context, operand);
        setNumber(context, negate ? -x : x, 1);
      } else {
        evalArrayArithmetic(context, operand, 1, negate ? -1.0 : 1.0);
      }
      return;
    }
  }
}

// A function the sheet does not have built in: one of the user's macros.
void callScriptFunction(TEvalContext& context) {
  int count = context.argumentCount();
  auto fillArguments = [&context, count](TScriptArguments& arguments) {
    for (int i = 0; i < count; ++i) {
      TTokenObject* operand = context.list.getItem(context.index - count + i);
      if (!operand || operand->tokenClass != tokenOperand) {
        arguments.setValue(i, TValueRecord());
        continue;
      }
      if (operand->value.kind == valueIdentifier) {
        context.sheet.resolveToken(*operand, context.recordDependents, true, true, context.column, context.row);
      }
      switch (operand->value.kind) {
        case valueIdentifier: {
          TValueRecord name;
          name.kind = valueString;
          name.string = operand->value.string;
          arguments.setValue(i, name);
          break;
        }
        case valueArrayConstant: {
          TArray constant;
          constant.loadFromConstant(operand->subList());
          if (!arguments.setArray(i, &constant)) return false;
          break;
        }
        case valueOwnedArray:
        case valueBorrowedArray:
          if (!arguments.setArray(i, operand->subArray())) return false;
          break;
        default:
          arguments.setValue(i, operand->value);
          break;
      }
    }
    return true;
  };
  TScriptValue result;
  std::uint8_t code =
      context.sheet.macroCallout.callFunction(context.token.value.string, count, fillArguments, result);
  if (code != stateValid) {
    context.fail(code);
    return;
  }
  context.token.value = result.value;
  if (result.value.kind == valueOwnedArray) context.token.setOwnedArray(std::move(result.array));
  context.evalSetResult(result.value.kind, count);
}

void evalFunctionCall(TEvalContext& context) {
  int id = context.token.functionId;
  if (id < 1 || id > builtInFunctionCount) {
    callScriptFunction(context);
    return;
  }
  TBuiltinRoutine routine = builtinRoutines()[static_cast<std::size_t>(id)];
  if (!routine) {
    context.fail(errName);
    return;
  }
  routine(context);
}

void applyOperator(TEvalContext& context) {
  std::uint8_t code = context.token.operatorCode;
  switch (code) {
    case opEqual:
    case opNotEqual:
      evalScalarOperator(context, code);
      if (!context.committed) evalArrayEquality(context, code == opEqual);
      return;
    case opGreater: case opLess: case opGreaterEqual: case opLessEqual:
    case opOr: case opXor: case opConcatenate: case opAnd: case opPower: case opRange:
      evalScalarOperator(context, code);
      return;
    case opAdd:
    case opSubtract:
      evalAddSubtract(context, code == opAdd);
      return;
    case opMultiply:
      evalMultiply(context);
      return;
    case opDivide:
      evalDivide(context);
      return;
    case opDiv:
    case opMod:
      evalDivMod(context, code);
      return;
    case opPercent: case opUnaryPlus: case opUnaryMinus: case opNot:
      evalUnary(context, code);
      return;
    case opFunctionCall:
      evalFunctionCall(context);
      return;
    default:
      return;
  }
}

// Runs one step: the error code it leaves, every failure mapped to its code.
std::uint8_t runStep(TEvalContext& context, void (*step)(TEvalContext&), TBuiltinRoutine routine) {
  clearFloatingPointFaults();
  try {
    if (routine) {
      routine(context);
    } else {
      step(context);
    }
    // Faults are flags on this processor: an operation that faulted counts
    // as failed, committed result or not.
    if (floatingPointFaultPending()) raiseFloatingPointFaults();
    return context.errorCode;
  } catch (const ECircularReference&) {
    return errCirc;
  } catch (const EInvalidReference&) {
    return errRef;
  } catch (const EZeroDivide&) {
    return errDivZero;
  } catch (const EDivByZero&) {
    return errDivZero;
  } catch (const EInvalidOp&) {
    return errNum;
  } catch (...) {
    return errValue;
  }
}

std::uint8_t finishStep(TEvalContext& context, int& index, std::uint8_t code) {
  clearFloatingPointFaults();
  // After a commit the call token stands elsewhere: a successful step goes
  // on after the result, a failed one (a fault after the commit) is skipped
  // like any failed step, from the result's place.
  if (context.committed) index = code == stateValid ? context.index : context.index - 1;
  return code;
}

}  // namespace

std::uint8_t TSheet::evaluateOperator(TRPNstackObject& list, int& index, bool record, int col, int row) {
  TTokenObject* token = list.getItem(index);
  if (!token) return errValue;
  // Every formula ends with its "=": checked here, without the machinery of
  // a step that computes. Nothing is computed, so no fault can arise.
  if (token->operatorCode == opFormulaStart && token->tokenClass == tokenOperator) {
    clearFloatingPointFaults();
    const TTokenObject* operand = list.getItem(0);
    if (index != 1 || index != list.count() - 1 || operand->tokenClass != tokenOperand) return errNA;
    list.deleteRange(index, index);
    return stateValid;
  }
  TEvalContext context(*this, list, index, record, col, row);
  return finishStep(context, index, runStep(context, applyOperator, nullptr));
}

std::uint8_t runBuiltinStep(TSheet& sheet, TRPNstackObject& list, int& index, bool recordDependents, int column,
                            int row, TBuiltinRoutine routine) {
  if (!list.getItem(index)) return errValue;
  TEvalContext context(sheet, list, index, recordDependents, column, row);
  return finishStep(context, index, runStep(context, nullptr, routine));
}
