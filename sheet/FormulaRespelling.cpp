#include "sheet/FormulaRespelling.h"

#include "sheet/FormulaTokenReader.h"

std::string translateFormulaSeparators(std::string_view text, char fromDecimal, char toDecimal, char fromList,
                                       char toList) {
  std::string result;
  result.reserve(text.size());
  TFormulaTokenReader reader(text, fromDecimal, fromList);
  while (reader.next()) {
    result.append(reader.blanksBefore(), ' ');
    const TTokenObject& token = reader.token();
    std::string_view spelling = reader.spelling();
    if (token.tokenClass == tokenOperand && (token.value.kind == valueNumber || token.value.kind == valueInteger)) {
      // Every digit, sign and exponent stays as the user wrote it ("0,10",
      // "1,5E3", "12345678901234567890"): printed again from its double, a
      // number would lose what the user typed, and a long one its last
      // digits. A number that does not read is kept the same way.
      for (char c : spelling) result += c == fromDecimal ? toDecimal : c;
    } else if (token.tokenClass == tokenOperator && token.operatorCode == opListSeparator) {
      result += toList;
    } else {
      result += spelling;
    }
  }
  // Trailing blanks too: "F( " calls F, "F(" does not.
  result.append(reader.blanksBefore(), ' ');
  return result;
}
