#include "sheet/EvalContext.h"

#include <cmath>
#include <limits>

#include "model/TextFormatting.h"
#include "platform/NumericErrors.h"
#include "sheet/Sheet.h"

std::unique_ptr<TArray> TArgumentArray::take() {
  if (owned_) {
    array_ = nullptr;
    return std::move(owned_);
  }
  if (!array_) return nullptr;
  if (lender_ && lender_->value.kind == valueOwnedArray && lender_->subArray() == array_) {
    array_ = nullptr;
    std::unique_ptr<TArray> taken = lender_->releaseOwnedArray();
    lender_ = nullptr;
    return taken;
  }
  auto copy = std::make_unique<TArray>();
  copy->assign(array_);
  array_ = nullptr;
  lender_ = nullptr;
  return copy;
}

TEvalContext::TEvalContext(TSheet& sheet, TRPNstackObject& list, int index, bool recordDependents, int column,
                           int row)
    : sheet(sheet),
      list(list),
      index(index),
      token(*list.getItem(index)),
      recordDependents(recordDependents),
      column(column),
      row(row) {}

TTokenObject* TEvalContext::argument(int i) const {
  if (i < 0 || i >= argumentCount()) return nullptr;
  TTokenObject* argumentToken = list.getItem(argumentIndex(i));
  return argumentToken && argumentToken->tokenClass == tokenOperand ? argumentToken : nullptr;
}

bool TEvalContext::evalConvertArgs(int count, std::uint8_t kind, int lastIndex) {
  int first = lastIndex - count + 1;
  if (first < 0) return false;
  if (count <= 0) return true;
  for (int position = lastIndex; position >= first; --position) {
    TTokenObject* operand = list.getItem(position);
    if (!operand || operand->tokenClass != tokenOperand) return false;
    if (operand->value.kind == valueIdentifier) {
      if (kind == valueIdentifier) continue;
      sheet.resolveToken(*operand, recordDependents, false, true, column, row);
    }
    if (!sheet.convertValue(operand->value, kind)) return false;
  }
  return true;
}

bool TEvalContext::evalArgAsArray(std::uint8_t kind, int tokenIndex, TArgumentArray& array, bool readOnly,
                                  bool allowBorrow) {
  array = TArgumentArray();
  TTokenObject* operand = list.getItem(tokenIndex);
  if (!operand || operand->tokenClass != tokenOperand) return false;
  switch (operand->value.kind) {
    case valueIdentifier: {
      if (kind == valueIdentifier) return true;
      sheet.resolveToken(*operand, recordDependents, false, true, column, row);
      if (operand->value.kind != valueIdentifier) return sheet.convertValue(operand->value, kind);
      int firstCol = 0, firstRow = 0, lastCol = 0, lastRow = 0;
      if (!sheet.parseRangeRef(operand->value.string, firstCol, firstRow, lastCol, lastRow)) return false;
      auto values = std::make_unique<TArray>();
      sheet.rangeToArray(firstCol, firstRow, lastCol, lastRow, *values);
      if (recordDependents && column >= 1 && row >= 1) {
        sheet.dependents.addDependentRange({column - 1, row - 1}, {firstCol - 1, firstRow - 1},
                                           {lastCol - 1, lastRow - 1});
      }
      array.owned_ = std::move(values);
      array.array_ = array.owned_.get();
      return true;
    }
    case valueArrayConstant: {
      auto values = std::make_unique<TArray>();
      values->loadFromConstant(operand->subList());
      array.owned_ = std::move(values);
      array.array_ = array.owned_.get();
      return true;
    }
    case valueOwnedArray:
    case valueBorrowedArray: {
      TArray* source = operand->subArray();
      if (!source) return false;
      if (allowBorrow && (readOnly || operand->value.kind == valueOwnedArray)) {
        array.array_ = source;
        array.lender_ = operand;
        return true;
      }
      array.owned_ = std::make_unique<TArray>();
      array.owned_->assign(source);
      array.array_ = array.owned_.get();
      return true;
    }
    default:
      return sheet.convertValue(operand->value, kind);
  }
}

void TEvalContext::evalSetResult(std::uint8_t kind, int count) {
  token.tokenClass = tokenOperand;
  token.value.kind = kind;
  if (count > 0) list.deleteRange(index - count, index - 1);
  index = index - count + 1;
  errorCode = stateValid;
  committed = true;
}

bool TEvalContext::numberArgument(int i, double& value) {
  if (!argument(i) || !evalConvertArgs(1, valueNumber, argumentIndex(i))) return false;
  value = argument(i)->value.number;
  return true;
}

bool TEvalContext::integerArgument(int i, std::int32_t& value) {
  if (!argument(i) || !evalConvertArgs(1, valueInteger, argumentIndex(i))) return false;
  value = argument(i)->value.integer;
  return true;
}

bool TEvalContext::stringArgument(int i, std::string& value) {
  if (!argument(i) || !evalConvertArgs(1, valueString, argumentIndex(i))) return false;
  value = argument(i)->value.string;
  return true;
}

bool TEvalContext::arrayArgument(int i, TArgumentArray& array, std::uint8_t scalarKind, bool readOnly) {
  if (!argument(i)) return false;
  return evalArgAsArray(scalarKind, argumentIndex(i), array, readOnly, true);
}

void TEvalContext::setNumberResult(long double value) {
  // A fault names the failure better than the value it left.
  if (floatingPointFaultPending()) raiseFloatingPointFaults();
  if (std::isnan(value)) throw EInvalidOp();
  if (std::fabs(value) > std::numeric_limits<double>::max()) throw EOverflow();
  int count = argumentCount();
  token.value.number = static_cast<double>(value);
  evalSetResult(valueNumber, count);
}

void TEvalContext::setIntegerResult(std::int32_t value) {
  int count = argumentCount();
  token.value.integer = value;
  evalSetResult(valueInteger, count);
}

void TEvalContext::setStringResult(std::string value) {
  if (value.size() > maxSheetTextLength) return;
  int count = argumentCount();
  token.value.string = std::move(value);
  evalSetResult(valueString, count);
}

void TEvalContext::setArrayResult(std::unique_ptr<TArray> array) {
  if (!array) return;
  int count = argumentCount();
  token.setOwnedArray(std::move(array));
  evalSetResult(valueOwnedArray, count);
}
