// Compiling a formula text for the sheet and evaluating compiled lists: the
// walk over a list, a cell's formula with its result and array spill, and a
// loose text in one step.
#include <new>
#include <stdexcept>
#include <vector>

#include "platform/FloatingPoint.h"
#include "platform/LocaleSettings.h"
#include "sheet/CompiledFormula.h"
#include "sheet/FormulaCompiler.h"
#include "sheet/FunctionNames.h"
#include "sheet/PlainFormulaCompiler.h"
#include "sheet/Sheet.h"

namespace {

char singleSeparator(const std::string& separator, char systemSeparator) {
  return separator.size() == 1 ? separator[0] : systemSeparator;
}

// The code of a failure raised while identifiers are resolved.
std::uint8_t resolutionFailure(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const ECircularReference&) {
    return errCirc;
  } catch (const EInvalidReference&) {
    return errRef;
  } catch (...) {
    return errValue;
  }
}

}  // namespace

char TSheet::formulaDecimalSeparator() const {
  return singleSeparator(decimalSeparator, localeSettings().decimalSeparator);
}

char TSheet::formulaListSeparator() const { return singleSeparator(listSeparator, localeSettings().listSeparator); }

void TSheet::compileFormula(const std::string& text, TRPNstackObject& list, std::uint8_t& status) {
  status = parseNotCompiled;
  const char decimal = formulaDecimalSeparator();
  const char separator = formulaListSeparator();
  TSyntaxFlags flags;
  TWorkingLists::TLease operators(workingLists_, tokenFactory);
  try {
    if (infixToRPN(list, text, decimal, separator, flags, &*operators)) {
      bindFunctionIds(list);
      status = stateValid;
      return;
    }
  } catch (...) {
    return;
  }
  if (flags.unclosedBracket) {
    status = errUnclosedBracket;
  } else if (flags.unmatchedClosingBracket) {
    status = errUnmatchedBracket;
  } else if (flags.unclosedBrace) {
    status = errUnclosedBrace;
  } else if (flags.unmatchedClosingBrace) {
    status = errUnmatchedBrace;
  } else if (flags.missingOperator) {
    status = errMissingOperator;
  }
}

void TSheet::bindFunctionIds(TRPNstackObject& list) {
  for (int i = 0; i < list.count(); ++i) {
    TTokenObject* token = list.getItem(i);
    if (token->tokenClass == tokenOperator && token->operatorCode == opFunctionCall) {
      token->functionId = FunctionIdOf(token->value.string);
    } else if (token->tokenClass == tokenOperand && token->value.kind == valueArrayConstant && token->subList()) {
      bindFunctionIds(*token->subList());
    }
  }
}

std::uint8_t TSheet::evaluateTokenList(TRPNstackObject& list, int col, int row, bool record) {
  return walkTokens(list, col, row, record, nullptr);
}

// A working copy filled as the walk goes is consumed from its end: each
// operator finds its operands right before it, so a step closes no gap in
// the middle of the list and a formula takes time in proportion to its
// length; and after a first error the rest is never copied. A list given
// whole (a loose formula's) is walked the same way: its tokens wait beside
// it, and come into it one at a time.
std::uint8_t TSheet::walkTokens(TRPNstackObject& list, int col, int row, bool record,
                                const TCompiledFormula* pending) {
  std::uint8_t code = stateValid;
  int index = 0;
  int next = 0;
  const int total = pending ? pending->count() : 0;
  std::vector<TTokenPtr> waiting;  // the last token first
  if (!pending) {
    waiting.reserve(static_cast<std::size_t>(list.count()));
    while (list.count() > 0) waiting.push_back(list.pop());
  }
  auto comeIn = [&] {
    list.push(std::move(waiting.back()));
    waiting.pop_back();
  };
  auto more = [&] {
    if (index < list.count()) return true;
    if (!waiting.empty()) {
      comeIn();
      return true;
    }
    if (next >= total) return false;
    pending->appendToken(next++, list);
    return true;
  };
  // What the walk left for later stands in the list again, in its order.
  struct TRestBack {
    std::vector<TTokenPtr>& waiting;
    TRPNstackObject& list;
    ~TRestBack() {
      for (; !waiting.empty(); waiting.pop_back()) list.push(std::move(waiting.back()));
    }
  } restBack{waiting, list};
  while ((code == stateValid || !stopAtFirstError) && more()) {
    TTokenObject* token = list.getItem(index);
    std::uint8_t stepCode = stateValid;
    if (token->tokenClass == tokenOperator) {
      stepCode = evaluateOperator(list, index, record, col, row);
      if (stepCode != stateValid) ++index;
    } else if (token->tokenClass == tokenOperand) {
      if (token->value.kind == valueArrayConstant && token->subList()) {
        stepCode = evaluateTokenList(*token->subList(), col, row, record);
      }
      ++index;
    } else {
      stepCode = errNA;
      ++index;
    }
    if (code == stateValid) code = stepCode;
  }
  if (code != stateValid && stopAtFirstError) return code;
  while (!waiting.empty()) comeIn();
  while (next < total) pending->appendToken(next++, list);
  // What is left unresolved is read now: ranges as arrays, every reference
  // recorded, so that even a failed formula is recalculated when they change.
  for (int i = 0; i < list.count(); ++i) {
    TTokenObject* token = list.getItem(i);
    if (token->tokenClass != tokenOperand || token->value.kind != valueIdentifier) continue;
    try {
      resolveToken(*token, record, true, true, col, row);
    } catch (...) {
      if (code == stateValid) code = resolutionFailure(std::current_exception());
      if (stopAtFirstError) return code;
    }
  }
  return code;
}

namespace {

// The first element of an array result as a cell spilled for it would hold
// it: numbers in number cells, the rest as text; nothing for other kinds.
TValueRecord firstElementAsCellValue(const TArray* array) {
  TValueRecord value;
  if (!array || array->elementCount() == 0) return value;
  const TValueRecord& first = array->elements()[0];
  if (first.kind < valueInteger || first.kind > valueIdentifier) return value;
  value = first;
  if (value.kind == valueInteger) {
    value.number = value.integer;
    value.kind = valueNumber;
  }
  if (value.kind == valueIdentifier) value.kind = valueString;
  return value;
}

}  // namespace

std::uint8_t TSheet::evaluateFormula(TRPNstackObject& list, int col, int row, bool record) {
  return evaluateList(list, col, row, record, true);
}

std::uint8_t TSheet::evaluateList(TRPNstackObject& list, int col, int row, bool record, bool forCellFormula,
                                  const TCompiledFormula* pending) {
  // Whatever thread evaluates computes in extended precision; a thread that
  // did not ask for it gets it here.
  if (!hasExtendedPrecision()) setExtendedPrecision();
  try {
    record = record && recordDependents;
    if (forCellFormula && record && !stopAtFirstError && col >= 1 && row >= 1) {
      dependents.removeFromAll({col - 1, row - 1});
    }
    // Emptied, not cleared: the list keeps its tokens for the next formula.
    std::uint8_t code = walkTokens(list, col, row, record, pending);
    if (code != stateValid) {
      list.deleteRange(0, list.count() - 1);
      return code;
    }
    TTokenObject* result = list.count() == 1 ? list.getItem(0) : nullptr;
    if (!result || result->tokenClass != tokenOperand || result->value.kind == valueEmpty) {
      list.deleteRange(0, list.count() - 1);
      return errNA;
    }
    if (result->value.kind == valueArrayConstant) {
      auto array = std::make_unique<TArray>();
      array->loadFromConstant(result->subList());
      result->setOwnedArray(std::move(array));
    } else if (result->value.kind == valueBorrowedArray) {
      auto array = std::make_unique<TArray>();
      array->assign(result->subArray());
      result->setOwnedArray(std::move(array));
    }
    resultValue = result->value;
    resultIsArray = result->value.kind == valueOwnedArray;
    if (resultIsArray) {
      const TArray* array = result->subArray();
      // A loose evaluation (a criterion, a test formula) runs inside the
      // evaluation of the cell at (col, row): it must neither write over
      // that cell nor spill around it.
      TCell* cell = forCellFormula ? getCell(col, row) : nullptr;
      if (forCellFormula && array) {
        // A formula being entered is not in its place yet: a plain cell put
        // there for the first element would take the links just recorded
        // for the place with it, so the first element goes straight to the
        // result.
        int extent = expandVectorResults ? 0 : 1;
        spillArray(*array, col, row, false, extent, extent, cell == nullptr);
      }
      if (cell) {
        cell->state = stateValid;
        cellToValue(cell, false, resultValue);
      } else {
        resultValue = firstElementAsCellValue(array);
      }
    }
    return stateValid;
  } catch (const ECircularReference&) {
    return errCirc;
  } catch (...) {
    return errNA;
  }
}

std::uint8_t TSheet::parseAndEvaluate(const std::string& text, int col, int row, bool record) {
  // Criteria of aggregate functions are evaluated through here and may call
  // those functions again: a criterion that reaches itself must end.
  if (parseDepth_ >= maxParseDepth) return errValue;
  struct TDepth {
    int& depth;
    explicit TDepth(int& value) : depth(++value) {}
    ~TDepth() { --depth; }
  } depth(parseDepth_);
  try {
    TWorkingLists::TLease list(workingLists_, tokenFactory);
    list->deleteRange(0, list->count() - 1);
    std::uint8_t status = parseNotCompiled;
    compileFormula(text, *list, status);
    if (status == stateValid) status = evaluateList(*list, col, row, record, false);
    return status;
  } catch (...) {
    return errNA;
  }
}

void TSheet::retireFormula(std::unique_ptr<TCompiledFormula> formula) {
  retiredFormulas_.push_back(std::move(formula));
}

std::unique_ptr<TCompiledFormula> TSheet::compileCellFormula(const std::string& text, std::uint8_t& status, int col,
                                                             int row) {
  try {
    const char decimal = formulaDecimalSeparator();
    const char separator = formulaListSeparator();
    const TCell* above = col >= 1 && row > 1 ? getCell(col, row - 1) : nullptr;
    const TCompiledFormula* model = above ? above->compiledFormula() : nullptr;
    if (auto formula = model ? model->copyForText(text, decimal, separator, &formulaPools) : nullptr) {
      status = stateValid;
      return formula;
    }
    if (auto formula = compilePlainFormula(text, decimal, separator, &formulaPools)) {
      status = stateValid;
      return formula;
    }
  } catch (...) {
    // The general compile meets the same fault and reports it.
  }
  TWorkingLists::TLease list(workingLists_, tokenFactory);
  list->deleteRange(0, list->count() - 1);
  compileFormula(text, *list, status);
  if (status != stateValid) return TCompiledFormula::textOnly(text, &formulaPools);
  try {
    return TCompiledFormula::pack(*list, text, &formulaPools);
  } catch (...) {
    status = parseNotCompiled;
    return TCompiledFormula::textOnly(text, &formulaPools);
  }
}

std::uint8_t TSheet::evaluateCompiledFormula(const TCompiledFormula& formula, int col, int row, bool record,
                                             std::unique_ptr<TRPNstackObject>& arrayResult) {
  struct TDepth {
    TSheet& sheet;
    explicit TDepth(TSheet& owner) : sheet(owner) { ++sheet.formulaEvaluationDepth_; }
    ~TDepth() {
      if (--sheet.formulaEvaluationDepth_ == 0) sheet.retiredFormulas_.clear();
    }
  } depth(*this);
  if (evaluateDirectly(formula, col, row, record)) return stateValid;
  TWorkingLists::TLease list(workingLists_, tokenFactory);
  list->deleteRange(0, list->count() - 1);
  std::uint8_t code = evaluateList(*list, col, row, record, true, &formula);
  if (code == stateValid && resultIsArray) {
    if (!arrayResult) arrayResult = std::make_unique<TRPNstackObject>(tokenFactory);
    arrayResult->push(list->pop());
  }
  return code;
}
