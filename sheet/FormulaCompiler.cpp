#include "sheet/FormulaCompiler.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "sheet/FormulaTokenizer.h"
#include "sheet/OperatorOrder.h"

namespace {

// comparePrecedence for two tokens present: the compiler calls it for every
// token it reads and every one it reduces, so it is kept in reach of inlining.
inline int orderOf(const TTokenObject& top, const TTokenObject& incoming) {
  if (top.tokenClass == tokenOpenBrace) {
    if (incoming.tokenClass == tokenEnd) return 1;
    return incoming.tokenClass == tokenCloseBrace ? 0 : -1;
  }
  if (top.tokenClass == tokenCloseBrace) return incoming.tokenClass == tokenOpenBrace ? -1 : 1;
  if (top.tokenClass != incoming.tokenClass) return top.tokenClass > incoming.tokenClass ? 1 : -1;
  if (top.tokenClass != tokenOperator) return 0;
  if (top.operatorCode < operatorCodes && incoming.operatorCode < operatorCodes) {
    return operatorOrders[top.operatorCode][incoming.operatorCode];
  }
  return operatorOrder(top.operatorCode, incoming.operatorCode);
}

}  // namespace

int comparePrecedence(const TTokenObject* top, const TTokenObject* incoming) {
  if (!incoming) return 1;
  if (!top) return -1;
  return orderOf(*top, *incoming);
}

namespace {

// Stack positions of the function-call tokens on a level's operator stack,
// innermost last. The few that a formula nests live in place: a compile
// takes no heap block for them.
class TCallPositions {
 public:
  void push(int position) {
    if (count_ < inPlace) {
      inPlace_[count_] = position;
    } else {
      beyond_.push_back(position);
    }
    ++count_;
  }
  void pop() {
    if (--count_ >= inPlace) beyond_.pop_back();
  }
  bool empty() const { return count_ == 0; }
  int back() const { return count_ <= inPlace ? inPlace_[count_ - 1] : beyond_.back(); }

 private:
  static constexpr std::size_t inPlace = 8;
  std::array<int, inPlace> inPlace_{};
  std::vector<int> beyond_;
  std::size_t count_ = 0;
};

class TFormulaCompiler {
 public:
  TFormulaCompiler(std::string_view text, char decimalSeparator, char listSeparator, TSyntaxFlags& flags,
                   TRPNstackObject* operatorStack)
      : text_(text), decimalSeparator_(decimalSeparator), listSeparator_(listSeparator), flags_(flags),
        operatorStack_(operatorStack) {}

  // Compiles from start to the end of the text, or inside a brace to its
  // matching "}"; endPosition is then the character after the last token read.
  bool compile(TRPNstackObject& output, std::size_t start, int braceLevel, std::size_t& endPosition);

 private:
  struct TLevel {
    TRPNstackObject& output;
    TRPNstackObject& stack;
    // The argument counting needs the nearest call at every reduction.
    TCallPositions functionCalls;
    int braceLevel;
    int depth = 0;
    std::size_t position;
    std::size_t endPosition;
    TTokenObject previous;
  };

  void read(TLevel& level, TTokenObject& current);
  void checkSyntax(TLevel& level, TTokenObject& current);
  void makeEmptyOperand(TLevel& level, TTokenObject& current);
  void compileArrayConstant(TLevel& level, TTokenObject& current);
  void push(TLevel& level, TTokenPtr current);
  void emitOperand(TLevel& level, TTokenPtr operand);
  void reduce(TLevel& level);
  void discard(TLevel& level, TTokenPtr token);
  TTokenObject* nearestFunctionCall(TLevel& level);

  std::string_view text_;
  char decimalSeparator_;
  char listSeparator_;
  TSyntaxFlags& flags_;
  TRPNstackObject* operatorStack_;  // the outermost level's stack when given
};

bool isOperator(const TTokenObject& token, std::uint8_t code) {
  return token.tokenClass == tokenOperator && token.operatorCode == code;
}

// An operand, ")" or "}" ends an operand: another operand, "(" or "{" may not
// follow it directly.
bool endsOperand(const TTokenObject& token) {
  return token.tokenClass == tokenOperand || token.tokenClass == tokenCloseBrace || isOperator(token, opCloseBracket);
}

// A binary or prefix operator whose right operand must come next.
bool awaitsOperand(const TTokenObject& token) {
  if (token.tokenClass != tokenOperator) return false;
  std::uint8_t code = token.operatorCode;
  return (code >= opEqual && code <= opPower) || code == opRange || code == opUnaryPlus || code == opUnaryMinus ||
         code == opNot;
}

bool startsOperand(const TTokenObject& token) {
  switch (token.tokenClass) {
    case tokenOperand: case tokenOpenBrace:
      return true;
    case tokenOperator:
      return token.operatorCode == opOpenBracket || token.operatorCode == opFunctionCall ||
             token.operatorCode == opUnaryPlus || token.operatorCode == opUnaryMinus || token.operatorCode == opNot;
    default:
      return false;
  }
}

bool TFormulaCompiler::compile(TRPNstackObject& output, std::size_t start, int braceLevel, std::size_t& endPosition) {
  // The outermost level works on the given stack, emptied first (a failed
  // compile leaves its operators there); a constant in braces on its own.
  std::optional<TRPNstackObject> ownStack;
  TRPNstackObject* stack = braceLevel == 0 ? operatorStack_ : nullptr;
  if (stack) {
    while (stack->count() > 0) stack->pop();
  } else {
    stack = &ownStack.emplace(output.factory());
  }
  TLevel level{output, *stack, {}, braceLevel, 0, start, start, {}};
  level.previous.tokenClass = braceLevel > 0 ? tokenOpenBrace : tokenEnd;
  int rememberedCount = output.count();

  TTokenPtr current = output.newToken();
  read(level, *current);
  if (braceLevel == 0 && isOperator(*current, opEqual)) current->operatorCode = opFormulaStart;
  checkSyntax(level, *current);
  while (current->ok) {
    if (level.stack.count() == 0) {
      if (current->tokenClass == tokenEnd || current->tokenClass == tokenCloseBrace) break;
    } else if (orderOf(*level.stack.top(), *current) == 1) {
      reduce(level);
      continue;
    }
    level.position = level.endPosition;
    level.previous.tokenClass = current->tokenClass;
    level.previous.operatorCode = current->operatorCode;
    if (current->tokenClass == tokenOperand) {
      emitOperand(level, std::move(current));
    } else {
      push(level, std::move(current));
    }
    current = output.newToken();
    read(level, *current);
    checkSyntax(level, *current);
  }
  if (current->ok) {
    flags_.unclosedBracket = level.depth > 0;
    flags_.unclosedBrace = braceLevel > 0 && current->tokenClass != tokenCloseBrace;
    current->ok = !flags_.unclosedBracket && !flags_.unclosedBrace;
  }
  endPosition = level.endPosition;
  if (current->ok) {
    discard(level, std::move(current));
    return true;
  }
  output.deleteRange(rememberedCount, output.count() - 1);
  return false;
}

void TFormulaCompiler::read(TLevel& level, TTokenObject& current) {
  getFormulaToken(current, text_, level.position, level.endPosition, decimalSeparator_, listSeparator_, &level.previous);
}

void TFormulaCompiler::checkSyntax(TLevel& level, TTokenObject& current) {
  const TTokenObject& previous = level.previous;
  // "1+" or "1+*2" would otherwise fall back on the one-operand "+" and give
  // a plausible wrong number for a typing slip.
  if (awaitsOperand(previous) && !startsOperand(current)) {
    flags_.missingOperator = true;
    current.ok = false;
    return;
  }
  bool afterSeparator = isOperator(previous, opListSeparator);
  switch (current.tokenClass) {
    case tokenCloseBrace:
      if (afterSeparator) {
        makeEmptyOperand(level, current);
      } else {
        flags_.unclosedBracket = level.depth > 0;
        flags_.unmatchedClosingBrace = level.braceLevel == 0;
        current.ok = !flags_.unclosedBracket && !flags_.unmatchedClosingBrace;
      }
      return;
    case tokenOperand:
      if (endsOperand(previous)) {
        flags_.missingOperator = true;
        current.ok = false;
      }
      return;
    case tokenOpenBrace:
      if (endsOperand(previous)) {
        flags_.missingOperator = true;
        current.ok = false;
      } else {
        compileArrayConstant(level, current);
      }
      return;
    case tokenOperator:
      break;
    default:
      return;
  }
  switch (current.operatorCode) {
    case opCloseBracket:
      if (level.depth == 0) {
        flags_.unmatchedClosingBracket = true;
        current.ok = false;
      } else if (afterSeparator) {
        makeEmptyOperand(level, current);
      } else {
        --level.depth;
      }
      return;
    case opListSeparator:
      if (previous.tokenClass == tokenOpenBrace || afterSeparator || isOperator(previous, opOpenBracket)) {
        makeEmptyOperand(level, current);
      }
      return;
    case opOpenBracket:
      if (endsOperand(previous)) {
        flags_.missingOperator = true;
        current.ok = false;
      } else if (++level.depth > maxNestingDepth) {
        flags_.unclosedBracket = true;
        current.ok = false;
      }
      return;
    default:
      return;
  }
}

// An empty argument or element: the token read stands for nothing, and is
// read again after the empty operand.
void TFormulaCompiler::makeEmptyOperand(TLevel& level, TTokenObject& current) {
  current.clear();
  current.tokenClass = tokenOperand;
  level.endPosition = level.position;
}

void TFormulaCompiler::compileArrayConstant(TLevel& level, TTokenObject& current) {
  if (level.braceLevel >= maxNestingDepth) {
    flags_.unclosedBrace = true;
    current.ok = false;
    return;
  }
  auto elements = std::make_unique<TRPNstackObject>(level.output.factory());
  std::size_t endPosition = level.endPosition;
  if (!compile(*elements, level.endPosition, level.braceLevel + 1, endPosition)) {
    current.ok = false;
    return;
  }
  current.tokenClass = tokenOperand;
  current.setSubList(std::move(elements));
  level.endPosition = endPosition;
}

void TFormulaCompiler::push(TLevel& level, TTokenPtr current) {
  if (isOperator(*current, opFunctionCall)) level.functionCalls.push(level.stack.count());
  level.stack.push(std::move(current));
}

TTokenObject* TFormulaCompiler::nearestFunctionCall(TLevel& level) {
  return level.functionCalls.empty() ? nullptr : level.stack.getItem(level.functionCalls.back());
}

void TFormulaCompiler::reduce(TLevel& level) {
  int order;
  do {
    TTokenPtr token = level.stack.pop();
    if (isOperator(*token, opFunctionCall)) level.functionCalls.pop();
    order = level.stack.count() == 0 ? -1 : orderOf(*level.stack.top(), *token);
    TTokenObject* function = nearestFunctionCall(level);
    if (token->tokenClass == tokenOperator) {
      std::uint8_t code = token->operatorCode;
      if (code == opCloseBracket || code == opOpenBracket) {
        discard(level, std::move(token));
        continue;
      }
      if (function && (code == opListSeparator || function->value.integer == 0)) ++function->value.integer;
      if (code != opListSeparator) {
        level.output.push(std::move(token));
      } else {
        discard(level, std::move(token));
      }
    }
  } while (order != -1);
}

// Whatever token comes after an operand reduces it at once, before the
// stack changes: it goes to the output directly, counted by the call it
// stands in as a reduction would count it.
void TFormulaCompiler::emitOperand(TLevel& level, TTokenPtr operand) {
  if (TTokenObject* function = nearestFunctionCall(level); function && function->value.integer == 0) {
    function->value.integer = 1;
  }
  level.output.push(std::move(operand));
}

// The outermost level's output is a working list that is compiled into again
// and again: its dropped tokens serve the next reads. An array constant's
// list is stored with its formula and keeps none.
void TFormulaCompiler::discard(TLevel& level, TTokenPtr token) {
  if (level.braceLevel == 0) level.output.keep(std::move(token));
}

}  // namespace

bool infixToRPN(TRPNstackObject& output, std::string_view text, char decimalSeparator, char listSeparator,
                TSyntaxFlags& flags, TRPNstackObject* operatorStack) {
  flags = {};
  std::size_t endPosition = 0;
  int rememberedCount = output.count();
  TFormulaCompiler compiler(text, decimalSeparator, listSeparator, flags, operatorStack);
  try {
    return compiler.compile(output, 0, 0, endPosition);
  } catch (const std::bad_alloc&) {
    output.deleteRange(rememberedCount, output.count() - 1);
    return false;
  }
}
