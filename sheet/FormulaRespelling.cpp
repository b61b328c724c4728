#include "sheet/FormulaRespelling.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "sheet/FormulaTokenReader.h"

namespace {

// Fixed notation while the value has at most this many integer digits and
// is not below 1E-5; scientific notation outside.
constexpr int largestFixedExponent = 14;
constexpr int smallestFixedExponent = -5;

// The shortest digits that read back as the same double, laid out like the
// general number format: "1.5", "1000", "0.00001", "1E15", "1.5E-7".
std::string shortestNumberText(double value, char decimalSeparator) {
  if (value == 0) return std::signbit(value) ? "-0" : "0";
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  (void)error;  // 64 characters hold any double
  std::string_view scientific(buffer, end - buffer);
  std::size_t exponentMark = scientific.find('e');
  int exponent = std::atoi(std::string(scientific.substr(exponentMark + 1)).c_str());
  std::string digits;
  for (char c : scientific.substr(0, exponentMark)) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  std::string text = value < 0 ? "-" : "";
  if (exponent > largestFixedExponent || exponent < smallestFixedExponent) {
    text += digits[0];
    if (digits.size() > 1) text += decimalSeparator + digits.substr(1);
    text += 'E' + std::to_string(exponent);
  } else if (exponent < 0) {
    text += '0';
    text += decimalSeparator;
    text.append(static_cast<std::size_t>(-exponent - 1), '0');
    text += digits;
  } else {
    std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
      text += digits;
      text.append(integerDigits - digits.size(), '0');
    } else {
      text += digits.substr(0, integerDigits);
      text += decimalSeparator;
      text += digits.substr(integerDigits);
    }
  }
  return text;
}

bool isNumber(const TTokenObject& token) {
  return token.tokenClass == tokenOperand && (token.value.kind == valueInteger || token.value.kind == valueNumber);
}

}  // namespace

std::string translateFormulaSeparators(std::string_view text, char fromDecimal, char toDecimal, char fromList,
                                       char toList) {
  std::string result;
  result.reserve(text.size());
  TFormulaTokenReader reader(text, fromDecimal, fromList);
  while (reader.next()) {
    result.append(reader.blanksBefore(), ' ');
    const TTokenObject& token = reader.token();
    std::string_view spelling = reader.spelling();
    if (token.tokenClass == tokenOperand && token.value.kind == valueNumber) {
      // A number that does not read is kept as written, so the user's text
      // survives a load and save; so are numbers that touch each other
      // ("1e5.5"), which another spelling could merge into one.
      std::size_t end = reader.endPosition();
      char next = end < text.size() ? text[end] : ' ';
      bool touchesNext = next == fromDecimal || next == 'E' || next == 'e';
      bool touchesPrevious = reader.previous() && reader.blanksBefore() == 0 && isNumber(*reader.previous());
      if (token.ok && !touchesNext && !touchesPrevious) {
        // The sign stays as written: "-+1" negates the constant +1, "-1"
        // is the constant -1, and -+1^2 differs from -1^2.
        if (spelling.front() == '+') result += '+';
        result += shortestNumberText(token.value.number, toDecimal);
      } else {
        for (char c : spelling) result += c == fromDecimal ? toDecimal : c;
      }
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
