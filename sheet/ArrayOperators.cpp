#include "sheet/ArrayOperators.h"

#include <cmath>
#include <limits>

#include "platform/NumericErrors.h"
#include "sheet/EvalContext.h"
#include "sheet/Sheet.h"
#include "sheet/TokenObject.h"

namespace {

// The operand at tokenIndex as an array of at least one element; ranges and
// constants give arrays of their own, array results are borrowed.
bool operandArray(TEvalContext& context, int tokenIndex, bool readOnly, TArgumentArray& array) {
  return context.evalArgAsArray(valueOwnedArray, tokenIndex, array, readOnly, true) && array &&
         array->elementCount() >= 1;
}

// Elements compared after promotion to their common kind; texts exactly, so
// case counts here. A pair that has no common kind tells nothing.
bool sameElements(TEvalContext& context, const TArray& left, const TArray& right) {
  for (std::int32_t i = 0; i < left.elementCount(); ++i) {
    TValueRecord a = left.elements()[i];
    TValueRecord b = right.elements()[i];
    switch (context.sheet.unifyValueKinds(a, b, context.column, context.row, context.recordDependents)) {
      case valueInteger:
        if (a.integer != b.integer) return false;
        break;
      case valueNumber:
        if (a.number != b.number) return false;
        break;
      case valueString:
        if (a.string != b.string) return false;
        break;
      default:
        break;
    }
  }
  return true;
}

void setArrayResult(TEvalContext& context, std::unique_ptr<TArray> result, int count) {
  context.token.setOwnedArray(std::move(result));
  context.evalSetResult(valueOwnedArray, count);
}

void setNumberElement(TValueRecord& element, double value) {
  element.clear();
  element.kind = valueNumber;
  element.number = value;
}

void setIntegerElement(TValueRecord& element, std::int32_t value) {
  element.clear();
  element.kind = valueInteger;
  element.integer = value;
}

}  // namespace

void evalArrayEquality(TEvalContext& context, bool equal) {
  TArgumentArray left, right;
  if (!operandArray(context, context.index - 2, true, left) || !operandArray(context, context.index - 1, true, right)) {
    return;
  }
  if (left->dimensions() != right->dimensions()) return;
  bool same = sameElements(context, *left, *right);
  context.token.value.integer = same == equal ? 1 : 0;
  context.evalSetResult(valueInteger, 2);
}

void evalArrayArithmetic(TEvalContext& context, int arrayIndex, int count, double factor) {
  TArgumentArray operand;
  if (!operandArray(context, arrayIndex, false, operand)) return;
  std::unique_ptr<TArray> result = operand.take();
  for (TValueRecord& element : result->elements()) {
    if (!context.sheet.convertValue(element, valueNumber)) {
      setNumberElement(element, 0.0);
      continue;
    }
    long double product = static_cast<long double>(element.number) * factor;
    if (std::fabs(product) > std::numeric_limits<double>::max()) throw EOverflow();
    setNumberElement(element, static_cast<double>(product));
  }
  setArrayResult(context, std::move(result), count);
}

void evalArrayDivMod(TEvalContext& context, int arrayIndex, std::int32_t divisor, std::uint8_t operatorCode,
                     int count) {
  if (operatorCode != opDiv && operatorCode != opMod) return;
  TArgumentArray operand;
  if (!operandArray(context, arrayIndex, false, operand)) return;
  std::unique_ptr<TArray> result = operand.take();
  for (TValueRecord& element : result->elements()) {
    if (!context.sheet.convertValue(element, valueInteger)) {
      setIntegerElement(element, 0);
      continue;
    }
    std::int32_t dividend = element.integer;
    if (divisor == 0) throw EDivByZero();
    // The one quotient beyond 32 bits, refused as the single-value form does.
    if (dividend == std::numeric_limits<std::int32_t>::min() && divisor == -1) throw EIntOverflow();
    setIntegerElement(element, operatorCode == opDiv ? dividend / divisor : dividend % divisor);
  }
  setArrayResult(context, std::move(result), count);
}
