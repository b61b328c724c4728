// A cell's compiled formula evaluated where it stands: operands go on a
// small stack of values, each operator takes its operands from the top and
// leaves its result there, so a formula costs one step per token and no
// copy. Numbers travel this way, and texts as far as "&" and the built-ins
// take them; SUM and VLOOKUP read their ranges where the sheet keeps them,
// without an array or a working list. The first step that would meet
// anything else (a text where a number is wanted, an array, a value that
// does not convert, a reference beyond the sheet, a fault, an error) gives
// up, and the working copy evaluates the formula from the start: every step
// that went before read the same references in the same order and recorded
// the same links, which a second recording leaves as they are, and nothing
// else was changed, so the result is the working copy's in every case.
#include "sheet/DirectEvaluation.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "model/Power.h"
#include "model/TextFormatting.h"
#include "platform/FloatingPoint.h"
#include "platform/NumericErrors.h"
#include "sheet/CompiledFormula.h"
#include "sheet/NumberText.h"
#include "sheet/Sheet.h"
#include "sheet/ValueCells.h"

namespace {

constexpr long double percent = 100.0L;

}  // namespace

const TDirectValue* TDirectEvaluation::run() {
  for (const TPackedToken& token : formula_.packedTokens()) {
    if (token.tokenClass == tokenOperand) {
      stack_[depth_++] = TDirectValue{token.kind, token.integer(), token.number(),
                                      token.kind == valueIdentifier ? &token : nullptr, nullptr,
                                      token.kind == valueString ? formula_.textOf(token) : std::string_view()};
    } else if (token.operatorCode != opFormulaStart) {
      if (!apply(token)) return nullptr;
    }
  }
  // The closing "=": what is left unread is read as the working copy
  // reads it; a text is the result as it stands. The result is read where
  // it lies, field by field: copied whole, its just written fields would
  // be loaded in wider pieces than they were stored, which stalls.
  if (stack_[0].kind != valueString && !read(stack_[0])) return nullptr;
  return stack_;
}

// A value where a number is wanted: a number as it is, a reference read
// as the sheet reads it; a text gives up, since converting it is the
// working copy's.
bool TDirectEvaluation::read(TDirectValue& value) {
  if (value.kind == valueString) return false;
  if (value.kind != valueIdentifier) return true;
  if (!readCell(value) || value.kind == valueString) return false;
  return true;
}

// The cell a reference names, as the sheet reads it: its value (a text
// left in scratch_), and the link recorded after it (ECircularReference,
// and so giving up, on a cycle).
bool TDirectEvaluation::readCell(TDirectValue& value) {
  const TPackedToken* name = value.name;
  if (value.rangeEnd || name->refCol() == 0) return false;
  if (name->refCol() > sheet_.getColCount() || name->refRow() > sheet_.getRowCount()) return false;
  const TCell* cell = sheet_.getCell(name->refCol(), name->refRow());
  if (!cell || cell->state != stateValid) return false;
  scratch_.kind = valueEmpty;
  scratch_.integer = 0;
  scratch_.number = 0.0;
  if (!readCellValue(*cell, scratch_) || scratch_.kind < valueInteger || scratch_.kind > valueString) return false;
  if (recording_) sheet_.dependents.addDependent({col_ - 1, row_ - 1}, {name->refCol() - 1, name->refRow() - 1});
  value = TDirectValue{scratch_.kind, scratch_.integer, scratch_.number, nullptr, nullptr, std::string_view()};
  return true;
}

// A value on the stack where a text is wanted, converted as the sheet
// converts it.
bool TDirectEvaluation::readText(TDirectValue& value) {
  if (value.kind == valueIdentifier) {
    if (!readCell(value)) return false;
    if (value.kind == valueString) value.text = keepText(value, scratch_.string);
  }
  if (value.kind == valueInteger) {
    value.text = keepText(value, std::to_string(value.integer));
  } else if (value.kind == valueNumber) {
    // Checked after, as computeChecked checks.
    std::string text = sheet_.floatToStr(value.number);
    if (floatingPointFaultPending()) return false;
    value.text = keepText(value, std::move(text));
  }
  return true;
}

// The text kept for the place of value on the stack.
std::string& TDirectEvaluation::textAt(const TDirectValue& value) {
  const auto place = static_cast<std::size_t>(&value - stack_);
  if (formula_.directStackDepth() <= inlineTextCount) {
    if (!inlineTexts_) inlineTexts_.emplace();
    return (*inlineTexts_)[place];
  }
  if (!texts_) texts_ = std::make_unique<std::string[]>(static_cast<std::size_t>(formula_.directStackDepth()));
  return texts_[place];
}

bool TDirectEvaluation::integer(const TDirectValue& value, std::int32_t& whole) {
  if (value.kind == valueInteger) {
    whole = value.integer;
    return true;
  }
  return truncateToInt32(value.number, whole);
}

// The result replaces the operator's operands; a number as a token keeps
// it, or giving up where the token would fail.
bool TDirectEvaluation::setNumber(const TPackedToken& token, int operands, long double value) {
  if (std::isnan(value) || std::fabs(value) > std::numeric_limits<double>::max()) return false;
  depth_ -= operands - 1;
  stack_[depth_ - 1] = TDirectValue{valueNumber, token.integer(), static_cast<double>(value), nullptr, nullptr, {}};
  return true;
}

bool TDirectEvaluation::setInteger(const TPackedToken& token, int operands, std::int32_t value) {
  depth_ -= operands - 1;
  stack_[depth_ - 1] = TDirectValue{valueInteger, value, token.number(), nullptr, nullptr, {}};
  return true;
}

bool TDirectEvaluation::apply(const TPackedToken& token) {
  if (token.operatorCode == opFunctionCall) return call(token);
  if (token.operatorCode == opConcatenate) return concatenate(token);
  TDirectValue& right = stack_[depth_ - 1];
  switch (token.operatorCode) {
    case opAdd:
    case opSubtract:
    case opMultiply:
    case opDivide: {
      // Converted right to left, as the working copy converts operands.
      TDirectValue& left = stack_[depth_ - 2];
      if (!read(right) || !read(left)) return false;
      long double a = number(left);
      long double b = number(right);
      switch (token.operatorCode) {
        case opAdd: return setNumber(token, 2, a + b);
        case opSubtract: return setNumber(token, 2, a - b);
        case opMultiply: return setNumber(token, 2, a * b);
        default: return b != 0 && setNumber(token, 2, a / b);
      }
    }
    case opPower: {
      TDirectValue& left = stack_[depth_ - 2];
      if (!read(right) || !read(left)) return false;
      // The power rule raises or leaves a fault for what it cannot give:
      // checked after, as computeChecked checks.
      long double value = power(number(left), number(right));
      return !floatingPointFaultPending() && setNumber(token, 2, value);
    }
    case opDiv:
    case opMod: {
      TDirectValue& left = stack_[depth_ - 2];
      std::int32_t a = 0;
      std::int32_t b = 0;
      if (!read(right) || !integer(right, b) || !read(left) || !integer(left, a)) return false;
      if (b == 0 || (a == std::numeric_limits<std::int32_t>::min() && b == -1)) return false;
      return setInteger(token, 2, token.operatorCode == opDiv ? a / b : a % b);
    }
    case opEqual: case opNotEqual: case opGreater: case opLess: case opGreaterEqual: case opLessEqual: {
      // Compared left first, as two values are brought to one kind.
      TDirectValue& left = stack_[depth_ - 2];
      if (!read(left) || !read(right)) return false;
      int order = 0;
      if (left.kind == valueInteger && right.kind == valueInteger) {
        order = left.integer < right.integer ? -1 : (left.integer > right.integer ? 1 : 0);
      } else {
        double a = static_cast<double>(number(left));
        double b = static_cast<double>(number(right));
        order = a < b ? -1 : (a > b ? 1 : 0);
      }
      return setInteger(token, 2, comparisonHolds(token.operatorCode, order) ? 1 : 0);
    }
    case opPercent:
      return read(right) && setNumber(token, 1, number(right) / percent);
    case opUnaryPlus:
    case opUnaryMinus:
      return read(right) && setNumber(token, 1, token.operatorCode == opUnaryMinus ? -number(right) : number(right));
    case opRange: {
      TDirectValue& left = stack_[depth_ - 2];
      if (left.kind != valueIdentifier || right.kind != valueIdentifier || left.rangeEnd || right.rangeEnd) {
        return false;
      }
      left.rangeEnd = right.name;
      --depth_;
      return true;
    }
    default:
      return false;
  }
}

// "&": both sides as texts (right first, as the working copy converts
// operands), joined in the left one's place.
bool TDirectEvaluation::concatenate(const TPackedToken& token) {
  TDirectValue& right = stack_[depth_ - 1];
  TDirectValue& left = stack_[depth_ - 2];
  if (!readText(right) || !readText(left)) return false;
  if (left.text.size() + right.text.size() > maxSheetTextLength) return false;
  std::string& joined = textAt(left);
  if (left.text.data() != joined.data()) joined.assign(left.text);
  joined.append(right.text);
  --depth_;
  left = TDirectValue{valueString, token.integer(), token.number(), nullptr, nullptr, joined};
  return true;
}

bool TSheet::evaluateDirectly(const TCompiledFormula& formula, int col, int row, bool record) {
  if (formula.directStackDepth() == 0 || !stopAtFirstError) return false;
  if (!hasExtendedPrecision()) setExtendedPrecision();
  // Left unset: every formula writes a place before it reads it, and setting
  // each of them would cost a simple formula more than computing it.
  union TStack {
    TStack() {}
    TDirectValue places[TCompiledFormula::maxDirectStackDepth];
  } stack;
  TDirectEvaluation evaluation(*this, formula, stack.places, col, row, record && recordDependents);
  const TDirectValue* result = nullptr;
  try {
    // A cycle is refused with ECircularReference: the working copy meets
    // it again and reports it.
    result = evaluation.run();
    if (!result) return false;
    // Most results are numbers: their empty text needs no copy.
    if (result->kind == valueString) {
      resultValue.string.assign(result->text);
    } else {
      resultValue.string.clear();
    }
  } catch (...) {
    return false;
  }
  resultValue.kind = result->kind;
  resultValue.integer = result->integer;
  resultValue.number = result->number;
  resultIsArray = false;
  return true;
}
