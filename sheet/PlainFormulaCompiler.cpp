// The compile of a formula typed into a cell is a good part of entering it:
// the general compiler makes a pooled token object with its own text for
// every operand and operator, and packing copies them again. Here the
// tokens are small values whose texts are views of the formula, read and
// ordered by the same rules (the tokenizer's reading, the operator orders,
// the reductions and argument counts of infixToRPN), for the text that
// infixToRPN compiles without a fault and without a rule of its own.
#include "sheet/PlainFormulaCompiler.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <system_error>

#include "sheet/FormulaTokenizer.h"
#include "sheet/FunctionNames.h"
#include "sheet/OperatorOrder.h"

namespace {

using TPlainToken = TCompiledFormula::TPlainToken;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isOperator(const TPlainToken& token, std::uint8_t code) {
  return token.tokenClass == tokenOperator && token.operatorCode == code;
}

bool isBinary(std::uint8_t code) { return (code >= opEqual && code <= opPower) || code == opRange; }

class TPlainCompiler {
 public:
  TPlainCompiler(std::string_view text, char decimalSeparator, char listSeparator)
      : text_(text), decimalSeparator_(decimalSeparator), listSeparator_(listSeparator) {}

  // False for a text left to infixToRPN.
  bool compile();
  std::span<const TPlainToken> output() const { return {output_.data(), outputCount_}; }

 private:
  // More tokens than this go to the general compiler.
  static constexpr std::size_t capacity = 64;

  bool read(TPlainToken& token);
  bool readNumber(TPlainToken& token);
  bool readString(TPlainToken& token);
  bool readWord(TPlainToken& token);
  void setOperator(TPlainToken& token, std::uint8_t code, std::size_t length) {
    token.tokenClass = tokenOperator;
    token.operatorCode = code;
    position_ += length;
  }
  bool accepts(const TPlainToken& token);
  bool emitOperand(const TPlainToken& operand);
  bool push(const TPlainToken& token);
  bool reduce();
  TPlainToken* nearestCall() { return callCount_ == 0 ? nullptr : &stack_[calls_[callCount_ - 1]]; }

  std::string_view text_;
  char decimalSeparator_;
  char listSeparator_;
  std::size_t position_ = 0;
  std::array<TPlainToken, capacity> output_;
  std::size_t outputCount_ = 0;
  std::array<TPlainToken, capacity> stack_;
  std::size_t stackCount_ = 0;
  // Stack positions of the calls waiting there, innermost last.
  std::array<std::size_t, capacity> calls_;
  std::size_t callCount_ = 0;
  // The open brackets, innermost last: true for a call's.
  std::array<bool, capacity> callBrackets_;
  std::size_t bracketCount_ = 0;
  // Where the text stands: an operand (or "(") comes next, else an
  // operator, ")", a separator or the end.
  bool operandDue_ = true;
  bool callNamed_ = false;        // a call's name was read: its "(" follows
  bool callBracketOpened_ = false;  // the token before was a call's "("
};

bool TPlainCompiler::compile() {
  TPlainToken current{};
  if (!read(current) || !isOperator(current, opEqual)) return false;
  current.operatorCode = opFormulaStart;
  while (true) {
    if (stackCount_ == 0) {
      if (current.tokenClass == tokenEnd) return true;
    } else if (current.tokenClass != tokenOperand) {
      const TPlainToken& top = stack_[stackCount_ - 1];
      // The end reduces every operator; an operator as the table says.
      if (current.tokenClass == tokenEnd || operatorOrders[top.operatorCode][current.operatorCode] == 1) {
        if (!reduce()) return false;
        continue;
      }
    }
    if (!(current.tokenClass == tokenOperand ? emitOperand(current) : push(current))) return false;
    current = TPlainToken{};
    if (!read(current) || !accepts(current)) return false;
  }
}

// The next token as getFormulaToken reads it; false for one whose reading
// is left to it (a sign, an exponent, a brace, a text with a quote, AND, OR,
// XOR, NOT) or that fails.
bool TPlainCompiler::read(TPlainToken& token) {
  while (position_ < text_.size() && text_[position_] == ' ') ++position_;
  if (position_ >= text_.size()) return true;
  const char c = text_[position_];
  const char next = position_ + 1 < text_.size() ? text_[position_ + 1] : '\0';
  if (c == '+' || c == '-') {
    if (operandDue_) return false;
    setOperator(token, c == '+' ? opAdd : opSubtract, 1);
    return true;
  }
  if (c == decimalSeparator_ || isDigit(c)) return readNumber(token);
  switch (c) {
    case ':': setOperator(token, opRange, 1); return true;
    case '=': setOperator(token, opEqual, 1); return true;
    case '&': setOperator(token, opConcatenate, 1); return true;
    case '*': setOperator(token, opMultiply, 1); return true;
    case '/': setOperator(token, opDivide, 1); return true;
    case '^': setOperator(token, opPower, 1); return true;
    case '%': setOperator(token, opPercent, 1); return true;
    case '(': setOperator(token, opOpenBracket, 1); return true;
    case ')': setOperator(token, opCloseBracket, 1); return true;
    case '>':
      if (next == '=') {
        setOperator(token, opGreaterEqual, 2);
      } else {
        setOperator(token, opGreater, 1);
      }
      return true;
    case '<':
      if (next == '>' || next == '=') {
        setOperator(token, next == '>' ? opNotEqual : opLessEqual, 2);
      } else {
        setOperator(token, opLess, 1);
      }
      return true;
    case '{': case '}':
      return false;
    case '"':
      return readString(token);
    default:
      break;
  }
  if (c == listSeparator_) {
    setOperator(token, opListSeparator, 1);
    return true;
  }
  return readWord(token);
}

bool TPlainCompiler::readNumber(TPlainToken& token) {
  std::size_t end = position_;
  bool separatorTaken = false;
  while (end < text_.size()) {
    if (isDigit(text_[end])) {
      ++end;
    } else if (text_[end] == decimalSeparator_ && !separatorTaken) {
      separatorTaken = true;
      ++end;
    } else {
      break;
    }
  }
  if (end + 1 < text_.size() && (text_[end] == 'E' || text_[end] == 'e')) return false;
  std::string_view digits = text_.substr(position_, end - position_);
  position_ = end;
  token.tokenClass = tokenOperand;
  std::array<char, 64> normalised;
  if (separatorTaken && decimalSeparator_ != '.') {
    if (digits.size() > normalised.size()) return false;
    for (std::size_t i = 0; i < digits.size(); ++i) normalised[i] = digits[i] == decimalSeparator_ ? '.' : digits[i];
    digits = std::string_view(normalised.data(), digits.size());
  }
  const char* last = digits.data() + digits.size();
  if (!separatorTaken) {
    token.kind = valueInteger;
    auto [end32, error32] = std::from_chars(digits.data(), last, token.integer);
    if (error32 == std::errc() && end32 == last) return true;
  }
  // Too large for 32 bits, or written with the separator. Beyond the double
  // range the general reading decides.
  token.kind = valueNumber;
  auto [end64, error64] = std::from_chars(digits.data(), last, token.number, std::chars_format::general);
  return error64 == std::errc() && end64 == last;
}

bool TPlainCompiler::readString(TPlainToken& token) {
  // A quote written twice inside reads as a second text here, an operand
  // after an operand, which is not accepted.
  const std::size_t quote = text_.find('"', position_ + 1);
  if (quote == std::string_view::npos) return false;
  token.tokenClass = tokenOperand;
  token.kind = valueString;
  token.setText(text_.substr(position_ + 1, quote - position_ - 1));
  position_ = quote + 1;
  return true;
}

bool TPlainCompiler::readWord(TPlainToken& token) {
  std::size_t end = position_ + 1;
  while (end < text_.size() && !isFormulaWordDelimiter(text_[end], listSeparator_)) ++end;
  const std::string_view word = text_.substr(position_, end - position_);
  position_ = end;
  if (const std::uint8_t code = formulaKeywordOperator(word)) {
    if (code != opDiv && code != opMod) return false;
    token.tokenClass = tokenOperator;
    token.operatorCode = code;
  } else if (end + 1 < text_.size() && text_[end] == '(') {
    token.tokenClass = tokenOperator;
    token.operatorCode = opFunctionCall;
    token.setText(word);
    token.functionId = FunctionIdOf(word);
  } else {
    token.tokenClass = tokenOperand;
    token.kind = valueIdentifier;
    token.setText(word);
  }
  return true;
}

// Whether the token may stand where the text is; anything infixToRPN would
// refuse, or read in a way of its own, is not accepted.
bool TPlainCompiler::accepts(const TPlainToken& token) {
  const bool afterCallBracket = callBracketOpened_;
  callBracketOpened_ = false;
  if (callNamed_) {
    callNamed_ = false;
    // The name was read as a call only because "(" follows it.
    if (!isOperator(token, opOpenBracket) || bracketCount_ == capacity) return false;
    callBrackets_[bracketCount_++] = true;
    callBracketOpened_ = true;
    return true;
  }
  if (token.tokenClass == tokenEnd) return !operandDue_ && bracketCount_ == 0;
  if (token.tokenClass == tokenOperand) {
    if (!operandDue_) return false;
    operandDue_ = false;
    return true;
  }
  switch (token.operatorCode) {
    case opFunctionCall:
      callNamed_ = true;
      return operandDue_;
    case opOpenBracket:
      if (!operandDue_ || bracketCount_ == capacity) return false;
      callBrackets_[bracketCount_++] = false;
      return true;
    case opCloseBracket:
      // Only a call may close with nothing inside.
      if (bracketCount_ == 0 || (operandDue_ && !afterCallBracket)) return false;
      --bracketCount_;
      operandDue_ = false;
      return true;
    case opListSeparator:
      if (operandDue_ || bracketCount_ == 0 || !callBrackets_[bracketCount_ - 1]) return false;
      operandDue_ = true;
      return true;
    case opPercent:
      return !operandDue_;
    default:
      if (operandDue_ || !isBinary(token.operatorCode)) return false;
      operandDue_ = true;
      return true;
  }
}

// An operand goes to the output at once, counted by the call it stands in.
bool TPlainCompiler::emitOperand(const TPlainToken& operand) {
  if (outputCount_ == capacity) return false;
  if (TPlainToken* call = nearestCall(); call && call->integer == 0) call->integer = 1;
  output_[outputCount_++] = operand;
  return true;
}

bool TPlainCompiler::push(const TPlainToken& token) {
  if (stackCount_ == capacity) return false;
  if (token.operatorCode == opFunctionCall) calls_[callCount_++] = stackCount_;
  stack_[stackCount_++] = token;
  return true;
}

// infixToRPN's reduction: operators leave the stack while the one below
// orders before the one taken; brackets and separators go, each separator
// and the first of anything else inside a call counting an argument.
bool TPlainCompiler::reduce() {
  int order = -1;
  do {
    const TPlainToken token = stack_[--stackCount_];
    if (token.operatorCode == opFunctionCall) --callCount_;
    order = stackCount_ == 0 ? -1 : operatorOrders[stack_[stackCount_ - 1].operatorCode][token.operatorCode];
    const std::uint8_t code = token.operatorCode;
    if (code == opCloseBracket || code == opOpenBracket) continue;
    if (TPlainToken* call = nearestCall(); call && (code == opListSeparator || call->integer == 0)) ++call->integer;
    if (code == opListSeparator) continue;
    if (outputCount_ == capacity) return false;
    output_[outputCount_++] = token;
  } while (order != -1);
  return true;
}

}  // namespace

std::unique_ptr<TCompiledFormula> compilePlainFormula(std::string_view text, char decimalSeparator,
                                                      char listSeparator, TSizedPools* pools) {
  TPlainCompiler compiler(text, decimalSeparator, listSeparator);
  if (!compiler.compile()) return nullptr;
  return TCompiledFormula::pack(compiler.output(), text, pools);
}
