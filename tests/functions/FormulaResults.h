#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "sheet/Sheet.h"

// Evaluates formulas for place (1, 1) without spilling array results into
// the cells, so that tests may keep their data anywhere on the sheet.

namespace formula_results {

inline std::string elementText(const TValueRecord& element) {
  char text[40];
  switch (element.kind) {
    case valueEmpty:
      return "_";
    case valueInteger:
      return std::to_string(element.integer);
    case valueNumber:
      std::snprintf(text, sizeof text, "%.15g", element.number);
      return text;
    default:
      return "'" + element.string + "'";
  }
}

// Runs the formula; calls show(result) with the single operand left, or
// gives the error text.
template <typename TShow>
std::string evaluate(TSheet& sheet, const std::string& formula, TShow show) {
  TRPNstackObject list(sheet.tokenFactory);
  std::uint8_t status = parseNotCompiled;
  sheet.compileFormula(formula, list, status);
  if (status == stateValid) status = sheet.evaluateTokenList(list, 1, 1, false);
  if (status != stateValid) return cellStateText(status);
  if (list.count() != 1) return "operands: " + std::to_string(list.count());
  return show(*list.getItem(0));
}

}  // namespace formula_results

// The number a formula gives; NaN for an error or a value that is no number.
inline double numberOf(TSheet& sheet, const std::string& formula) {
  double number = std::numeric_limits<double>::quiet_NaN();
  formula_results::evaluate(sheet, formula, [&](TTokenObject& result) {
    if (result.value.kind == valueNumber) number = result.value.number;
    if (result.value.kind == valueInteger) number = result.value.integer;
    return std::string();
  });
  return number;
}

// A scalar result as text (numbers to 15 digits), an array as
// "rows x columns: elements in row order" with "_" for an empty element,
// or the error text.
inline std::string resultOf(TSheet& sheet, const std::string& formula) {
  return formula_results::evaluate(sheet, formula, [](TTokenObject& result) {
    const TArray* array = result.subArray();
    if (result.value.kind != valueOwnedArray && result.value.kind != valueBorrowedArray) {
      return formula_results::elementText(result.value);
    }
    if (!array || array->dimensionCount() != 2) return std::string("not a table");
    std::string text = std::to_string(array->dimensions()[0]) + "x" + std::to_string(array->dimensions()[1]) + ":";
    for (const TValueRecord& element : array->elements()) {
      text += ' ';
      text += formula_results::elementText(element);
    }
    return text;
  });
}

// An array result as numbers in row order (NaN for an element that is no
// number) with its shape; no rows for an error or a scalar.
struct TNumberTable {
  int rows = 0;
  int columns = 0;
  std::vector<double> values;
};

inline TNumberTable tableOf(TSheet& sheet, const std::string& formula) {
  TNumberTable table;
  formula_results::evaluate(sheet, formula, [&](TTokenObject& result) {
    const TArray* array = result.subArray();
    if (result.value.kind != valueOwnedArray || !array || array->dimensionCount() != 2) return std::string();
    table.rows = array->dimensions()[0];
    table.columns = array->dimensions()[1];
    for (const TValueRecord& element : array->elements()) {
      double number = std::numeric_limits<double>::quiet_NaN();
      if (element.kind == valueNumber) number = element.number;
      if (element.kind == valueInteger) number = element.integer;
      table.values.push_back(number);
    }
    return std::string();
  });
  return table;
}

struct TFormulaCase {
  std::string formula;
  double expected;
};

// Within tolerance relative to the expected value, absolute below 1.
inline void expectNumbers(TSheet& sheet, const std::vector<TFormulaCase>& cases, double tolerance) {
  for (const TFormulaCase& c : cases) {
    EXPECT_NEAR(numberOf(sheet, c.formula), c.expected, tolerance * std::fmax(1.0, std::fabs(c.expected))) << c.formula;
  }
}

// Formula and result text pairs.
inline void expectResults(TSheet& sheet, const std::vector<std::pair<std::string, std::string>>& cases) {
  for (const auto& [formula, expected] : cases) EXPECT_EQ(resultOf(sheet, formula), expected) << formula;
}
