#pragma once
#include <string>

#include "tests/sheet/SheetTestSupport.h"

// Formulas evaluated for a place away from the data (so that no array result
// spills over it), their whole result written as text: integers, numbers and
// texts plainly, an empty value as nothing, an array as {a,b;c,d} (rows
// separated by ";"), a name or reference left over as ref:text, a failure as
// its error text.

constexpr int resultColumn = 30;
constexpr int resultRow = 40;

inline std::string valueText(TSheet& sheet, const TValueRecord& value) {
  if (value.kind == valueIdentifier) return "ref:" + value.string;
  if (value.kind == valueEmpty) return "";
  TValueRecord copy = value;
  return sheet.convertValue(copy, valueString) ? copy.string : "kind" + std::to_string(value.kind);
}

inline std::string arrayText(TSheet& sheet, const TArray& array) {
  if (array.dimensionCount() != 2) return "not 2D";
  std::string text = "{";
  for (int r = 0; r < array.dimensions()[0]; ++r) {
    if (r > 0) text += ';';
    for (int c = 0; c < array.dimensions()[1]; ++c) {
      if (c > 0) text += ',';
      text += valueText(sheet, array.at(r, c));
    }
  }
  return text + "}";
}

// With resolveReferences off, a reference the formula gives stays as it is.
inline std::string resultText(TSheet& sheet, const std::string& formula, bool resolveReferences = true) {
  TRPNstackObject list(sheet.tokenFactory);
  std::uint8_t code = parseNotCompiled;
  sheet.compileFormula(formula, list, code);
  if (code != stateValid) return cellStateText(code);
  if (resolveReferences) {
    code = sheet.evaluateTokenList(list, resultColumn, resultRow, false);
  } else {
    for (int index = 0; code == stateValid && index < list.count();) {
      if (list.getItem(index)->tokenClass == tokenOperator) {
        code = sheet.evaluateOperator(list, index, false, resultColumn, resultRow);
      } else {
        ++index;
      }
    }
  }
  if (code != stateValid) return cellStateText(code);
  if (list.count() != 1) return "no single value";
  const TTokenObject& result = *list.getItem(0);
  if (result.value.kind == valueArrayConstant) {
    TArray array;
    array.loadFromConstant(result.subList());
    return arrayText(sheet, array);
  }
  if (result.subArray()) return arrayText(sheet, *result.subArray());
  return valueText(sheet, result.value);
}
