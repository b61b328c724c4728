#include "sheet/StoredFormula.h"

#include <memory>

#include "sheet/FormulaCompiler.h"
#include "sheet/FormulaRespelling.h"

namespace {

bool isFormulaContent(std::string_view content) { return !content.empty() && content.front() == '='; }

bool isFieldFormula(std::string_view content, char decimalSeparator, char listSeparator) {
  if (content.empty()) return false;
  if (content.front() == '=') return true;
  TRPNstackObject compiled(std::make_shared<TTokenObjectFactory>());
  TSyntaxFlags flags;
  if (!infixToRPN(compiled, content, decimalSeparator, listSeparator, flags)) return false;
  for (int i = 0; i < compiled.count(); ++i) {
    if (compiled.getItem(i)->tokenClass == tokenOperator) return true;
  }
  return false;
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

std::string fieldContentFromStore(std::string_view stored, char decimalSeparator, char listSeparator) {
  if (!isFieldFormula(stored, storedDecimalSeparator, storedListSeparator)) return std::string(stored);
  return formulaFromStore(stored, decimalSeparator, listSeparator);
}

std::string fieldContentToStore(std::string_view content, char decimalSeparator, char listSeparator) {
  if (!isFieldFormula(content, decimalSeparator, listSeparator)) return std::string(content);
  return formulaToStore(content, decimalSeparator, listSeparator);
}
