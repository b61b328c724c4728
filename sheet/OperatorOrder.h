#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "sheet/TokenObject.h"

// The order of two operators, top on the stack and incoming, as
// comparePrecedence gives it: 1 reduce, 0 or -1 push. Both formula
// compilers decide with it, so that they give one compiled list.
constexpr int operatorOrder(std::uint8_t top, std::uint8_t code) {
  switch (top) {
    case opCloseBracket:
      return code == opOpenBracket ? 0 : 1;
    case opListSeparator:
      return code == opListSeparator ? 0 : 1;
    case opEqual: case opNotEqual: case opGreater: case opLess: case opGreaterEqual: case opLessEqual:
      return code <= opLessEqual ? 1 : -1;
    case opAdd: case opSubtract: case opOr: case opXor: case opConcatenate:
      return code <= opConcatenate ? 1 : -1;
    case opMultiply: case opDivide: case opDiv: case opMod: case opAnd:
      return code <= opAnd ? 1 : -1;
    case opPower:
      return code >= opPower ? -1 : 1;
    case opPercent:
      return 1;
    case opRange:
      return code <= opRange ? 1 : -1;
    case opFunctionCall:
      return code <= opFunctionCall ? 1 : -1;
    case opUnaryPlus: case opUnaryMinus: case opNot:
      return code >= opPower ? -1 : 1;
    case opOpenBracket:
      return code == opCloseBracket ? 0 : -1;
    default:
      // The formula-start marker waits below every operator for the end.
      return -1;
  }
}

// Every pair of operator codes looked up at once: the compiler asks for one
// order per token it reads and one per token it reduces.
inline constexpr std::size_t operatorCodes = opFormulaStart + 1;
inline constexpr auto operatorOrders = [] {
  std::array<std::array<std::int8_t, operatorCodes>, operatorCodes> orders{};
  for (std::size_t top = 0; top < operatorCodes; ++top) {
    for (std::size_t code = 0; code < operatorCodes; ++code) {
      orders[top][code] = static_cast<std::int8_t>(operatorOrder(static_cast<std::uint8_t>(top),
                                                                 static_cast<std::uint8_t>(code)));
    }
  }
  return orders;
}();
