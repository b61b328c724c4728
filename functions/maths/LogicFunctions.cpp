#include "functions/maths/LogicFunctions.h"

#include "sheet/EvalContext.h"
#include "sheet/Sheet.h"

namespace {

// IF (condition [, then [, else]]). Both branches have been evaluated
// already; the one chosen is handed on, and an empty one gives the
// condition as 1 or 0.
void evalIF(TEvalContext& context) {
  const int count = context.argumentCount();
  std::int32_t condition = 0;
  if (count < 1 || count > 3 || !context.integerArgument(0, condition)) return;
  const bool isTrue = condition != 0;
  if (count == 1 || (count == 2 && !isTrue)) {
    context.setIntegerResult(isTrue ? 1 : 0);
    return;
  }
  TTokenObject* chosen = context.argument(isTrue ? 1 : 2);
  if (chosen == nullptr) return;
  if (chosen->value.kind == valueIdentifier)
    context.sheet.resolveToken(*chosen, context.recordDependents, false, true, context.column, context.row);
  if (chosen->value.kind == valueEmpty) {
    context.setIntegerResult(isTrue ? 1 : 0);
    return;
  }
  context.token.assign(chosen);
  context.evalSetResult(context.token.value.kind, count);
}

// ADDRESS (row, column [, kind]): kind 1 to 4 makes both parts absolute,
// the row only, the column only, neither.
void evalADDRESS(TEvalContext& context) {
  const int count = context.argumentCount();
  std::int32_t row = 0, column = 0, kind = 1;
  if (count < 2 || count > 3 || !context.integerArgument(0, row) || !context.integerArgument(1, column)) return;
  if (count == 3) {
    if (!context.integerArgument(2, kind)) return;
    if (kind < 1 || kind > 4) {
      context.fail(errNum);
      return;
    }
  }
  const bool absoluteRow = kind == 1 || kind == 2;
  const bool absoluteColumn = kind == 1 || kind == 3;
  context.setStringResult(context.sheet.cellAddressText(column, row, absoluteRow, absoluteColumn));
}

}  // namespace

void registerLogicFunctions(TBuiltinTable& table) {
  table[FunctionIdOf("IF")] = evalIF;
  table[FunctionIdOf("ADDRESS")] = evalADDRESS;
}
