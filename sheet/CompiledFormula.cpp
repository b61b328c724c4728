#include "sheet/CompiledFormula.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <new>
#include <span>
#include <stdexcept>
#include <string>

#include "sheet/FunctionNames.h"

namespace {

constexpr int lettersInAlphabet = 26;
// Places beyond any sheet: a reference past them is kept as text only, and
// its evaluation reports it as the sheet does.
constexpr std::int64_t placeLimit = 1 << 30;

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The place a text of the form [$]letters[$]digits names, the grammar the
// sheet reads references with; false for any other text.
bool plainCellReference(std::string_view text, std::int32_t& col, std::int32_t& row) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  std::int64_t column = 0;
  for (; i < text.size() && isLetter(text[i]); ++i) {
    column = std::min(column * lettersInAlphabet + ((text[i] & ~0x20) - 'A' + 1), placeLimit);
  }
  if (column < 1 || i >= text.size()) return false;
  if (text[i] == '$') ++i;
  if (i >= text.size()) return false;
  std::int64_t place = 0;
  for (; i < text.size(); ++i) {
    if (!isDigit(text[i])) return false;
    place = std::min<std::int64_t>(place * 10 + (text[i] - '0'), placeLimit);
  }
  if (place < 1 || column >= placeLimit || place >= placeLimit) return false;
  col = static_cast<std::int32_t>(column);
  row = static_cast<std::int32_t>(place);
  return true;
}

bool isBinaryOperator(std::uint8_t code) {
  switch (code) {
    case opEqual: case opNotEqual: case opGreater: case opLess: case opGreaterEqual: case opLessEqual:
    case opAdd: case opSubtract: case opMultiply: case opDivide: case opDiv: case opMod: case opPower: case opRange:
      return true;
    default:
      return false;
  }
}

bool isUnaryOperator(std::uint8_t code) {
  return code == opPercent || code == opUnaryPlus || code == opUnaryMinus;
}

// The closing "=" as the compiler makes it, with nothing else in its fields.
bool isPlainMarker(const TCompiledFormula::TPlainToken& token) {
  return token.tokenClass == tokenOperator && token.operatorCode == opFormulaStart && token.functionId == 0 &&
         token.kind == valueEmpty && token.integer == 0 && std::bit_cast<std::uint64_t>(token.number) == 0 &&
         token.textSize == 0;
}

TCompiledFormula::TPlainToken plainOf(const TTokenObject& token) {
  return {token.tokenClass,  token.operatorCode,        token.value.kind,          token.value.integer,
          token.functionId,  token.value.number,        token.value.string.data(), token.value.string.size()};
}

bool isPlainMarker(const TTokenObject& token) {
  return token.ok && !token.subList() && !token.subArray() && isPlainMarker(plainOf(token));
}

constexpr std::size_t notSpelled = std::string_view::npos;

// Finds an operand's text where the formula spells it. Operands come out of
// the compiler in the order they are written, so each is looked for a short
// way past the one before: packing stays linear in the formula's length.
class TSpellingFinder {
 public:
  explicit TSpellingFinder(std::string_view text) : text_(text) {}
  // The text's offset in the formula, or notSpelled.
  std::size_t find(std::string_view wanted) {
    if (wanted.empty() || cursor_ >= text_.size()) return notSpelled;
    const std::size_t windowEnd = std::min(text_.size(), cursor_ + wanted.size() + lookAhead);
    if (windowEnd - cursor_ < wanted.size()) return notSpelled;
    // Compared in place: the texts are a few characters, shorter than the
    // calls of a library search.
    for (std::size_t place = cursor_; place + wanted.size() <= windowEnd; ++place) {
      if (spelledAt(place, wanted)) {
        cursor_ = place + wanted.size();
        return place;
      }
    }
    return notSpelled;
  }

 private:
  // Enough for the operators, brackets, blanks and function names that
  // stand between two operands.
  static constexpr std::size_t lookAhead = 64;
  bool spelledAt(std::size_t place, std::string_view wanted) const {
    for (std::size_t index = 0; index < wanted.size(); ++index) {
      if (text_[place + index] != wanted[index]) return false;
    }
    return true;
  }
  std::string_view text_;
  std::size_t cursor_ = 0;
};

TTokenPtr wholeCopy(const TTokenObject& token) {
  auto copy = std::make_unique<TTokenObject>();
  copy->assign(&token);
  return copy;
}

}  // namespace

void TCompiledFormula::operator delete(TCompiledFormula* formula, std::destroying_delete_t) {
  const bool pooled = formula->pooled_;
  formula->~TCompiledFormula();
  if (pooled) {
    TSizedPools::release(formula);
  } else {
    ::operator delete(formula);
  }
}

TCompiledFormula::TCompiledFormula(std::uint32_t count, std::uint32_t textSize, bool withWhole, bool pooled)
    : count_(count), textSize_(textSize), withWhole_(withWhole), pooled_(pooled) {
  if (withWhole_) new (&wholeTokens()) TWholeTokens();
}

TCompiledFormula::~TCompiledFormula() {
  if (withWhole_) wholeTokens().~TWholeTokens();
}

std::unique_ptr<TCompiledFormula> TCompiledFormula::allocate(std::uint32_t count, std::size_t textSize,
                                                             bool withWhole, TSizedPools* pools) {
  if (textSize > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("formula too long");
  const std::size_t size = sizeof(TCompiledFormula) + trailingSize(count, textSize, withWhole);
  void* memory = pools ? pools->take(size) : nullptr;
  const bool pooled = memory != nullptr;
  if (!pooled) memory = ::operator new(size);
  return std::unique_ptr<TCompiledFormula>(
      new (memory) TCompiledFormula(count, static_cast<std::uint32_t>(textSize), withWhole, pooled));
}

std::unique_ptr<TCompiledFormula> TCompiledFormula::textOnly(std::string_view text, TSizedPools* pools) {
  std::unique_ptr<TCompiledFormula> formula = allocate(0, text.size(), false, pools);
  formula->formulaSize_ = formula->textSize_;
  if (!text.empty()) std::memcpy(formula->texts(), text.data(), text.size());
  return formula;
}

bool TCompiledFormula::packToken(const TPlainToken& token, bool ok, std::size_t textOffset, TPackedToken& packed) {
  packed = TPackedToken{};
  packed.tokenClass = token.tokenClass;
  packed.operatorCode = token.operatorCode;
  packed.kind = token.kind;
  packed.flags_ = ok ? TPackedToken::okFlag : 0;
  const std::string_view text = token.text();
  std::uint32_t place = 0;
  if (!text.empty()) {
    if (textOffset + text.size() > maxTextOffset) return false;
    place = static_cast<std::uint32_t>(textOffset << 16 | text.size());
    packed.flags_ |= TPackedToken::textFlag;
  }
  // Compared bit for bit: a negative zero is a number of its own.
  const bool noNumber = std::bit_cast<std::uint64_t>(token.number) == 0;
  // Told from the token: the packed fields were just written byte by byte,
  // and reading them back as one word would wait for the writes.
  const bool isCall = token.tokenClass == tokenOperator && token.operatorCode == opFunctionCall;
  const bool isName = token.tokenClass == tokenOperand && token.kind == valueIdentifier;
  if (isCall) {
    packed.small_ = token.integer;
    packed.shared_.pair[0] = token.functionId;
    packed.shared_.pair[1] = static_cast<std::int32_t>(place);
    return noNumber;
  }
  if (!text.empty()) {
    if (token.integer != 0) return false;
    packed.small_ = static_cast<std::int32_t>(place);
  } else {
    packed.small_ = token.integer;
  }
  if (isName) {
    std::int32_t col = 0;
    std::int32_t row = 0;
    if (plainCellReference(text, col, row)) {
      packed.shared_.pair[0] = col;
      packed.shared_.pair[1] = row;
    }
    return noNumber && token.functionId == 0;
  }
  packed.shared_.number = token.number;
  return token.functionId == 0;
}

template <class PlainAt, class WholeAt>
std::unique_ptr<TCompiledFormula> TCompiledFormula::packTokens(std::uint32_t count, bool closedByMarker,
                                                               std::string_view text, TSizedPools* pools,
                                                               PlainAt plainAt, WholeAt wholeAt) {
  // Packed beside the tokens first: the tokens kept whole decide how much
  // text the block holds. Most formulas fit the room on the stack.
  constexpr std::uint32_t tokensOnStack = 64;
  std::array<TPackedToken, tokensOnStack> onStack;
  std::vector<TPackedToken> beyond;
  TPackedToken* packedTokens = onStack.data();
  if (count > tokensOnStack) {
    beyond.resize(count);
    packedTokens = beyond.data();
  }
  std::size_t textSize = text.size();
  bool withWhole = false;
  TSpellingFinder finder(text);
  // The texts the formula does not spell (call names, mostly), in the order
  // they follow it in the block.
  constexpr std::size_t appendedOnStack = 256;
  std::array<char, appendedOnStack> appendedRoom;
  std::string appendedBeyond;
  auto append = [&](std::string_view added) {
    const std::size_t at = textSize - text.size();
    if (appendedBeyond.empty() && at + added.size() <= appendedOnStack) {
      std::memcpy(appendedRoom.data() + at, added.data(), added.size());
      return;
    }
    if (appendedBeyond.empty()) appendedBeyond.assign(appendedRoom.data(), at);
    appendedBeyond.append(added);
  };
  for (std::uint32_t index = 0; index < count; ++index) {
    TPlainToken token{};
    bool ok = true;
    const bool plain = plainAt(index, token, ok);
    TPackedToken& packed = packedTokens[index];
    const std::size_t spelled = token.tokenClass == tokenOperand ? finder.find(token.text()) : notSpelled;
    const std::size_t textOffset = spelled != notSpelled ? spelled : textSize;
    if (plain && packToken(token, ok, textOffset, packed)) {
      if (spelled != notSpelled || token.textSize == 0) continue;
      append(token.text());
      textSize += token.textSize;
    } else {
      packed = TPackedToken{};
      packed.flags_ = TPackedToken::wholeFlag;
      withWhole = true;
    }
  }
  std::unique_ptr<TCompiledFormula> formula = allocate(count, textSize, withWhole, pools);
  formula->formulaSize_ = static_cast<std::uint32_t>(text.size());
  char* texts = formula->texts();
  if (!text.empty()) std::memcpy(texts, text.data(), text.size());
  if (textSize > text.size()) {
    std::memcpy(texts + text.size(), appendedBeyond.empty() ? appendedRoom.data() : appendedBeyond.data(),
                textSize - text.size());
  }
  if (count > 0) std::memcpy(static_cast<void*>(formula->tokens()), packedTokens, count * sizeof(TPackedToken));
  for (std::uint32_t index = 0; index < count && withWhole; ++index) {
    if (!packedTokens[index].whole()) continue;
    TTokenPtr copy = wholeAt(index);
    if (!copy) return nullptr;
    TWholeTokens& whole = formula->wholeTokens();
    formula->tokens()[index].small_ = static_cast<std::int32_t>(whole.size());
    whole.push_back(std::move(copy));
  }
  formula->closedByMarker_ = closedByMarker;
  formula->compiled_ = true;
  formula->directStackDepth_ = static_cast<std::uint8_t>(formula->findDirectStackDepth());
  return formula;
}

std::unique_ptr<TCompiledFormula> TCompiledFormula::pack(const TRPNstackObject& list, std::string_view text,
                                                         TSizedPools* pools) {
  const bool closedByMarker = list.count() > 0 && isPlainMarker(*list.getItem(list.count() - 1));
  const auto count = static_cast<std::uint32_t>(list.count() - (closedByMarker ? 1 : 0));
  auto plainAt = [&list](std::uint32_t index, TPlainToken& plain, bool& ok) {
    const TTokenObject& token = *list.getItem(static_cast<int>(index));
    plain = plainOf(token);
    ok = token.ok;
    return !token.subList() && !token.subArray();
  };
  auto wholeAt = [&list](std::uint32_t index) { return wholeCopy(*list.getItem(static_cast<int>(index))); };
  return packTokens(count, closedByMarker, text, pools, plainAt, wholeAt);
}

std::unique_ptr<TCompiledFormula> TCompiledFormula::pack(std::span<const TPlainToken> tokens, std::string_view text,
                                                         TSizedPools* pools) {
  const bool closedByMarker = !tokens.empty() && isPlainMarker(tokens.back());
  const auto count = static_cast<std::uint32_t>(tokens.size() - (closedByMarker ? 1 : 0));
  auto plainAt = [tokens](std::uint32_t index, TPlainToken& plain, bool&) {
    plain = tokens[index];
    return true;
  };
  return packTokens(count, closedByMarker, text, pools, plainAt, [](std::uint32_t) { return TTokenPtr(); });
}

// Numbers, texts, names and references, the arithmetic, comparison and "&" operators,
// ranges and calls of built-in functions, with every operator's operands
// present and one value left for the closing "=".
int TCompiledFormula::findDirectStackDepth() const {
  int depth = 0;
  int deepest = 0;
  for (std::uint32_t index = 0; index < count_; ++index) {
    const TPackedToken& token = tokens()[index];
    if (token.whole()) return 0;
    if (token.tokenClass == tokenOperand) {
      if (token.kind < valueInteger || token.kind > valueIdentifier) return 0;
      deepest = std::max(deepest, ++depth);
      if (deepest > maxDirectStackDepth) return 0;
      continue;
    }
    if (token.tokenClass != tokenOperator) return 0;
    if (token.operatorCode == opFormulaStart) return 0;
    if (isBinaryOperator(token.operatorCode) || token.operatorCode == opConcatenate) {
      if (depth < 2) return 0;
      --depth;
    } else if (isUnaryOperator(token.operatorCode)) {
      if (depth < 1) return 0;
    } else if (token.operatorCode == opFunctionCall) {
      if (token.functionId() < 1 || token.functionId() > builtInFunctionCount) return 0;
      if (token.integer() < 0 || token.integer() > depth) return 0;
      depth -= token.integer() - 1;
      deepest = std::max(deepest, depth);
      if (deepest > maxDirectStackDepth) return 0;
    } else {
      return 0;
    }
  }
  return closedByMarker_ && depth == 1 ? deepest : 0;
}

std::unique_ptr<TCompiledFormula> TCompiledFormula::copy(TSizedPools* pools) const {
  std::unique_ptr<TCompiledFormula> formula = allocate(count_, textSize_, withWhole_, pools);
  std::memcpy(static_cast<void*>(formula->tokens()), tokens(), trailingSize(count_, textSize_, false));
  formula->formulaSize_ = formulaSize_;
  formula->directStackDepth_ = directStackDepth_;
  formula->closedByMarker_ = closedByMarker_;
  formula->compiled_ = compiled_;
  if (withWhole_) {
    TWholeTokens& whole = formula->wholeTokens();
    whole.reserve(wholeTokens().size());
    for (const TTokenPtr& token : wholeTokens()) whole.push_back(wholeCopy(*token));
  }
  return formula;
}

void TCompiledFormula::unpackInto(TRPNstackObject& list) const {
  list.deleteRange(0, list.count() - 1);
  for (int index = 0; index < count(); ++index) appendToken(index, list);
}

void TCompiledFormula::appendToken(int index, TRPNstackObject& list) const {
  TTokenPtr token = list.newToken();
  if (static_cast<std::uint32_t>(index) == count_) {
    token->clear();
    token->tokenClass = tokenOperator;
    token->operatorCode = opFormulaStart;
    list.push(std::move(token));
    return;
  }
  const TPackedToken& packed = tokens()[index];
  if (packed.whole()) {
    token->assign(wholeTokens()[static_cast<std::size_t>(packed.small_)].get());
  } else {
    token->tokenClass = packed.tokenClass;
    token->operatorCode = packed.operatorCode;
    token->functionId = packed.functionId();
    token->ok = packed.ok();
    token->value.kind = packed.kind;
    token->value.integer = packed.integer();
    token->value.number = packed.number();
    token->value.string.assign(textOf(packed));
  }
  list.push(std::move(token));
}
