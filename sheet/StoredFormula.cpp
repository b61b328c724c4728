#include "sheet/StoredFormula.h"

#include "sheet/FormulaRespelling.h"
#include "sheet/NumberText.h"

namespace {

bool isFormulaContent(std::string_view content) { return !content.empty() && content.front() == '='; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isPlainNumber(std::string_view text, char decimalSeparator) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto skipBlanks = [&] {
    while (i < n && text[i] == ' ') ++i;
  };
  auto digits = [&] {
    const std::size_t first = i;
    while (i < n && isDigit(text[i])) ++i;
    return i - first;
  };
  skipBlanks();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < n && text[i] == decimalSeparator) {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  skipBlanks();
  return i == n;
}

std::string respelledNumber(std::string_view text, char fromDecimal, char toDecimal) {
  std::string result(text);
  if (!isPlainNumber(text, fromDecimal)) return result;
  for (char& c : result) {
    if (c == fromDecimal) c = toDecimal;
  }
  return result;
}

}  // namespace

std::string formulaFromStore(std::string_view stored, char decimalSeparator, char listSeparator) {
  return translateFormulaSeparators(stored, storedDecimalSeparator, decimalSeparator, storedListSeparator,
                                    listSeparator);
}

std::string formulaToStore(std::string_view formula, char decimalSeparator, char listSeparator) {
  return translateFormulaSeparators(formula, decimalSeparator, storedDecimalSeparator, listSeparator,
                                    storedListSeparator);
}

std::string contentFromStore(std::string_view stored, bool textCell, char decimalSeparator, char listSeparator) {
  if (textCell && !isFormulaContent(stored)) return std::string(stored);
  return formulaFromStore(stored, decimalSeparator, listSeparator);
}

std::string contentToStore(std::string_view content, bool textCell, char decimalSeparator, char listSeparator) {
  if (textCell && !isFormulaContent(content)) return std::string(content);
  return formulaToStore(content, decimalSeparator, listSeparator);
}

std::string numberFromStore(std::string_view stored, char decimalSeparator) {
  return respelledNumber(stored, storedDecimalSeparator, decimalSeparator);
}

std::string numberToStore(std::string_view number, char decimalSeparator) {
  return respelledNumber(number, decimalSeparator, storedDecimalSeparator);
}

std::string groupedNumberToStore(std::string_view number, char decimalSeparator, char thousandSeparator) {
  double value = 0;
  if (thousandSeparator == decimalSeparator || isPlainNumber(number, decimalSeparator) ||
      !textToFloat(std::string(number), std::string(1, decimalSeparator), std::string(1, thousandSeparator), value))
    return numberToStore(number, decimalSeparator);
  // A number as the settings read it: every character but its digits, signs,
  // exponent and decimal separator is a separator between the thousands.
  std::string plain;
  for (char c : number) {
    if (isDigit(c) || c == '+' || c == '-' || c == 'E' || c == 'e') {
      plain += c;
    } else if (c == decimalSeparator) {
      plain += storedDecimalSeparator;
    }
  }
  return plain;
}
