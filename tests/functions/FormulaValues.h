#pragma once
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "tests/sheet/SheetTestSupport.h"

// The number a loose formula evaluates to; a failure (an error state or a
// result that is no number) fails the test and gives NaN. Named apart from
// numberOf of FormulaResults.h, which lets failures pass as NaN: both live in
// one test executable, where two inline functions of one name would be one.
inline double requiredNumberOf(TSheet& sheet, const std::string& formula) {
  const std::uint8_t code = sheet.parseAndEvaluate(formula, 1, 1, false);
  TValueRecord value = sheet.resultValue;
  if (code != 0 || !sheet.convertValue(value, valueNumber)) {
    ADD_FAILURE() << formula << " gave " << (code != 0 ? cellStateText(code) : "no number");
    return std::numeric_limits<double>::quiet_NaN();
  }
  return value.number;
}
