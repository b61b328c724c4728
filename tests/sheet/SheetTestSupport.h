#pragma once
#include <string>

#include "sheet/Sheet.h"

// Writes typed text into a place as the grid's editor does (a number cell
// for numbers and formulas unless another type code is given) and reads
// the display text back.
inline void enter(TSheet& sheet, int col, int row, const std::string& text, std::uint8_t typeCode = 1) {
  sheet.setCellContent(col, row, 0, text, typeCode);
}

inline std::string shown(const TSheet& sheet, int col, int row) { return sheet.getCellText(col, row, true); }

// Evaluates a loose formula text for place (1, 1) and gives the sheet's
// result as text, or the error text.
inline std::string evaluated(TSheet& sheet, const std::string& text) {
  std::uint8_t code = sheet.parseAndEvaluate(text, 1, 1, false);
  if (code != 0) return cellStateText(code);
  TValueRecord value = sheet.resultValue;
  if (value.kind == valueIdentifier) return "id:" + value.string;
  if (!sheet.convertValue(value, valueString)) return "kind" + std::to_string(value.kind);
  return value.string;
}
