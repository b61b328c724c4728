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
#include <cstring>
#include <span>
#include <string_view>
#include <system_error>

#include "sheet/FormulaTokenizer.h"
#include "sheet/FunctionNames.h"
#include "sheet/OperatorOrder.h"

namespace {

using TPackedToken = TCompiledFormula::TPackedToken;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isBinary(std::uint8_t code) { return (code >= opEqual && code <= opPower) || code == opRange; }

// What was read: the end, an operand (made in place in the output) or an
// operator (a call's name and id kept aside).
struct TRead {
  std::uint8_t tokenClass;
  std::uint8_t operatorCode;
};

// An operator waiting on the stack; a call with its argument count, id and
// name. Plain fields: the compiler's stack of them is left unset.
struct TWaiting {
  std::uint8_t operatorCode;
  std::int32_t count;
  std::int32_t functionId;
  const char* name;
  std::size_t nameSize;
};

class TPlainCompiler {
 public:
  TPlainCompiler(std::string_view text, char decimalSeparator, char listSeparator)
      : text_(text), decimalSeparator_(decimalSeparator), listSeparator_(listSeparator) {}

  // False for a text left to infixToRPN.
  bool compile();
  // The tokens without the closing "=", and the call names the block
  // holds after the formula's text.
  std::span<const TPackedToken> output() const { return {output_.data(), outputCount_}; }
  std::string_view appended() const { return {appended_.data(), appendedSize_}; }

 private:
  // More tokens than this go to the general compiler.
  static constexpr std::size_t capacity = 64;
  // Longer call names, all told, go there too.
  static constexpr std::size_t appendedCapacity = 256;
  // What read gives for a text whose reading is left to the general compiler.
  static constexpr TRead refused{tokenOpenBrace, 0};

  TRead read();
  TRead readNumber();
  TRead readString();
  TRead readWord();
  TRead operatorOf(std::uint8_t code, std::size_t length) {
    position_ += length;
    return {tokenOperator, code};
  }
  // The operand goes to the output, counted when it is accepted.
  TRead operand(TPackedToken packed) {
    if (outputCount_ == capacity) return refused;
    output_[outputCount_] = packed;
    return {tokenOperand, 0};
  }
  // Where a text the formula spells lies; false beyond a token's reach.
  bool placeOf(std::string_view spelled, std::uint32_t& place) const {
    return TCompiledFormula::textPlace(static_cast<std::size_t>(spelled.data() - text_.data()), spelled.size(), place);
  }
  bool accepts(TRead token);
  void emitOperand();
  bool push(std::uint8_t code);
  bool reduce();
  bool emitCall(const TWaiting& call);
  TWaiting* nearestCall() { return callCount_ == 0 ? nullptr : &stack_[calls_[callCount_ - 1]]; }

  std::string_view text_;
  char decimalSeparator_;
  char listSeparator_;
  std::size_t position_ = 0;
  std::array<TPackedToken, capacity> output_;
  std::size_t outputCount_ = 0;
  std::array<char, appendedCapacity> appended_;
  std::size_t appendedSize_ = 0;
  std::array<TWaiting, capacity> stack_;
  std::size_t stackCount_ = 0;
  // The call read last, until it is pushed.
  std::string_view callName_;
  std::int32_t callId_ = 0;
  // Stack positions of the calls waiting there, innermost last.
  std::array<std::size_t, capacity> calls_;
  std::size_t callCount_ = 0;
  // The open brackets, innermost last: true for a call's.
  std::array<bool, capacity> callBrackets_;
  std::size_t bracketCount_ = 0;
  // Where the text stands: an operand (or "(") comes next, else an
  // operator, ")", a separator or the end.
  bool operandDue_ = true;
  bool callNamed_ = false;          // a call's name was read: its "(" follows
  bool callBracketOpened_ = false;  // the token before was a call's "("
};

// infixToRPN's loop: an operand goes out at once, an operator waits on the
// stack after those it ends have left it, and the end empties the stack.
bool TPlainCompiler::compile() {
  const TRead start = read();
  if (start.tokenClass != tokenOperator || start.operatorCode != opEqual) return false;
  if (!push(opFormulaStart)) return false;
  while (true) {
    const TRead current = read();
    if (!accepts(current)) return false;
    if (current.tokenClass == tokenOperand) {
      emitOperand();
      continue;
    }
    // The end reduces every operator; an operator as the table says.
    while (stackCount_ > 0 && (current.tokenClass == tokenEnd ||
                               operatorOrders[stack_[stackCount_ - 1].operatorCode][current.operatorCode] == 1)) {
      if (!reduce()) return false;
    }
    if (current.tokenClass == tokenEnd) return true;
    if (!push(current.operatorCode)) return false;
  }
}

// The next token as getFormulaToken reads it; refused for one whose
// reading is left to it (a sign, an exponent, a brace, AND, OR, XOR, NOT)
// or that fails.
TRead TPlainCompiler::read() {
  while (position_ < text_.size() && text_[position_] == ' ') ++position_;
  if (position_ >= text_.size()) return {tokenEnd, 0};
  const char c = text_[position_];
  if (c == '+' || c == '-') {
    if (operandDue_) return refused;
    return operatorOf(c == '+' ? opAdd : opSubtract, 1);
  }
  if (c == decimalSeparator_ || isDigit(c)) return readNumber();
  std::size_t operatorLength = 0;
  if (const std::uint8_t code = formulaOperatorAt(text_, position_, operatorLength)) {
    return operatorOf(code, operatorLength);
  }
  if (c == '{' || c == '}') return refused;
  if (c == '"') return readString();
  if (c == listSeparator_) return operatorOf(opListSeparator, 1);
  return readWord();
}

TRead TPlainCompiler::readNumber() {
  bool separatorTaken = false;
  const std::size_t end = formulaDigitsEnd(text_, position_, decimalSeparator_, separatorTaken);
  if (end + 1 < text_.size() && (text_[end] == 'E' || text_[end] == 'e')) return refused;
  std::string_view digits = text_.substr(position_, end - position_);
  position_ = end;
  std::array<char, 64> normalised;
  if (separatorTaken && decimalSeparator_ != '.') {
    if (digits.size() > normalised.size()) return refused;
    for (std::size_t i = 0; i < digits.size(); ++i) normalised[i] = digits[i] == decimalSeparator_ ? '.' : digits[i];
    digits = std::string_view(normalised.data(), digits.size());
  }
  const char* last = digits.data() + digits.size();
  if (!separatorTaken) {
    std::int32_t integer = 0;
    auto [end32, error32] = std::from_chars(digits.data(), last, integer);
    if (error32 == std::errc() && end32 == last) return operand(TPackedToken::operand(valueInteger, integer, 0.0, 0));
  }
  // Too large for 32 bits, or written with the separator. Beyond the double
  // range the general reading decides.
  double number = 0.0;
  auto [end64, error64] = std::from_chars(digits.data(), last, number, std::chars_format::general);
  if (error64 != std::errc() || end64 != last) return refused;
  return operand(TPackedToken::operand(valueNumber, 0, number, 0));
}

TRead TPlainCompiler::readString() {
  // A quote written twice inside reads as a second text here, an operand
  // after an operand, which is not accepted.
  const std::size_t quote = text_.find('"', position_ + 1);
  if (quote == std::string_view::npos) return refused;
  const std::string_view inside = text_.substr(position_ + 1, quote - position_ - 1);
  position_ = quote + 1;
  std::uint32_t place = 0;
  if (!inside.empty() && !placeOf(inside, place)) return refused;
  return operand(TPackedToken::operand(valueString, 0, 0.0, place));
}

TRead TPlainCompiler::readWord() {
  std::size_t end = position_ + 1;
  while (end < text_.size() && !isFormulaWordDelimiter(text_[end], listSeparator_)) ++end;
  const std::string_view word = text_.substr(position_, end - position_);
  position_ = end;
  if (const std::uint8_t code = formulaKeywordOperator(word)) {
    if (code != opDiv && code != opMod) return refused;
    return {tokenOperator, code};
  }
  if (end + 1 < text_.size() && text_[end] == '(') {
    callName_ = word;
    callId_ = FunctionIdOf(word);
    return {tokenOperator, opFunctionCall};
  }
  std::uint32_t place = 0;
  if (!placeOf(word, place)) return refused;
  return operand(TPackedToken::name(place, word));
}

// Whether the token may stand where the text is; anything infixToRPN would
// refuse, or read in a way of its own, is not accepted.
bool TPlainCompiler::accepts(TRead token) {
  const bool afterCallBracket = callBracketOpened_;
  callBracketOpened_ = false;
  if (token.tokenClass == tokenOpenBrace) return false;
  const std::uint8_t code = token.tokenClass == tokenOperator ? token.operatorCode : 0;
  if (callNamed_) {
    callNamed_ = false;
    // The name was read as a call only because "(" follows it.
    if (code != opOpenBracket || bracketCount_ == capacity) return false;
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
  switch (code) {
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
      if (operandDue_ || !isBinary(code)) return false;
      operandDue_ = true;
      return true;
  }
}

// The operand read goes out at once, counted by the call it stands in.
void TPlainCompiler::emitOperand() {
  if (TWaiting* call = nearestCall(); call && call->count == 0) call->count = 1;
  ++outputCount_;
}

bool TPlainCompiler::push(std::uint8_t code) {
  if (stackCount_ == capacity) return false;
  if (code == opFunctionCall) {
    calls_[callCount_++] = stackCount_;
    stack_[stackCount_++] = TWaiting{code, 0, callId_, callName_.data(), callName_.size()};
  } else {
    stack_[stackCount_++] = TWaiting{code, 0, 0, nullptr, 0};
  }
  return true;
}

// infixToRPN's reduction: operators leave the stack while the one below
// orders before the one taken; brackets and separators go, each separator
// and the first of anything else inside a call counting an argument.
bool TPlainCompiler::reduce() {
  int order = -1;
  do {
    const TWaiting token = stack_[--stackCount_];
    const std::uint8_t code = token.operatorCode;
    if (code == opFunctionCall) --callCount_;
    order = stackCount_ == 0 ? -1 : operatorOrders[stack_[stackCount_ - 1].operatorCode][code];
    if (code == opCloseBracket || code == opOpenBracket) continue;
    if (TWaiting* call = nearestCall(); call && (code == opListSeparator || call->count == 0)) ++call->count;
    if (code == opListSeparator) continue;
    // The "=" the formula starts with closes it, and is not kept there.
    if (code == opFormulaStart && stackCount_ == 0) continue;
    if (outputCount_ == capacity) return false;
    if (code != opFunctionCall) {
      output_[outputCount_++] = TPackedToken::operatorToken(code);
    } else if (!emitCall(token)) {
      return false;
    }
  } while (order != -1);
  return true;
}

// A call as it leaves the stack, its name appended after those before.
bool TPlainCompiler::emitCall(const TWaiting& call) {
  std::uint32_t place = 0;
  if (appendedSize_ + call.nameSize > appendedCapacity ||
      !TCompiledFormula::textPlace(text_.size() + appendedSize_, call.nameSize, place)) {
    return false;
  }
  std::memcpy(appended_.data() + appendedSize_, call.name, call.nameSize);
  appendedSize_ += call.nameSize;
  output_[outputCount_++] = TPackedToken::call(call.count, call.functionId, place);
  return true;
}

}  // namespace

std::unique_ptr<TCompiledFormula> compilePlainFormula(std::string_view text, char decimalSeparator,
                                                      char listSeparator, TSizedPools* pools) {
  TPlainCompiler compiler(text, decimalSeparator, listSeparator);
  if (!compiler.compile()) return nullptr;
  return TCompiledFormula::fromPacked(compiler.output(), text, compiler.appended(), decimalSeparator, listSeparator,
                                      pools);
}
