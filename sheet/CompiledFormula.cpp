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
    if (!textPlace(textOffset, text.size(), place)) return false;
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
    const TPackedToken::TPlace cell = TPackedToken::cellReference(text.data(), text.size());
    packed.shared_.pair[0] = cell.col;
    packed.shared_.pair[1] = cell.row;
    return noNumber && token.functionId == 0;
  }
  packed.shared_.number = token.number;
  return token.functionId == 0;
}

std::unique_ptr<TCompiledFormula> TCompiledFormula::pack(const TRPNstackObject& list, std::string_view text,
                                                         TSizedPools* pools) {
  const bool closedByMarker = list.count() > 0 && isPlainMarker(*list.getItem(list.count() - 1));
  const auto count = static_cast<std::uint32_t>(list.count() - (closedByMarker ? 1 : 0));
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
  std::string appended;
  for (std::uint32_t index = 0; index < count; ++index) {
    const TTokenObject& item = *list.getItem(static_cast<int>(index));
    const TPlainToken token = plainOf(item);
    TPackedToken& packed = packedTokens[index];
    const std::size_t spelled = token.tokenClass == tokenOperand ? finder.find(token.text()) : notSpelled;
    const std::size_t textOffset = spelled != notSpelled ? spelled : textSize;
    if (!item.subList() && !item.subArray() && packToken(token, item.ok, textOffset, packed)) {
      if (spelled != notSpelled || token.textSize == 0) continue;
      appended.append(token.text());
      textSize += token.textSize;
    } else {
      packed = TPackedToken{};
      packed.flags_ = TPackedToken::wholeFlag;
      withWhole = true;
    }
  }
  std::unique_ptr<TCompiledFormula> formula = allocate(count, textSize, withWhole, pools);
  formula->fill({packedTokens, count}, text, appended, closedByMarker);
  for (std::uint32_t index = 0; index < count && withWhole; ++index) {
    if (!packedTokens[index].whole()) continue;
    TWholeTokens& whole = formula->wholeTokens();
    formula->tokens()[index].small_ = static_cast<std::int32_t>(whole.size());
    whole.push_back(wholeCopy(*list.getItem(static_cast<int>(index))));
  }
  return formula;
}

std::unique_ptr<TCompiledFormula> TCompiledFormula::fromPacked(std::span<const TPackedToken> tokens,
                                                               std::string_view text, std::string_view appended,
                                                               char decimalSeparator, char listSeparator,
                                                               TSizedPools* pools) {
  std::unique_ptr<TCompiledFormula> formula =
      allocate(static_cast<std::uint32_t>(tokens.size()), text.size() + appended.size(), false, pools);
  formula->fill(tokens, text, appended, true);
  formula->spelledInPlace_ = true;
  formula->decimalSeparator_ = decimalSeparator;
  formula->listSeparator_ = listSeparator;
  return formula;
}

void TCompiledFormula::fill(std::span<const TPackedToken> tokens, std::string_view text, std::string_view appended,
                            bool closedByMarker) {
  formulaSize_ = static_cast<std::uint32_t>(text.size());
  char* block = texts();
  if (!text.empty()) std::memcpy(block, text.data(), text.size());
  if (!appended.empty()) std::memcpy(block + text.size(), appended.data(), appended.size());
  if (!tokens.empty()) std::memcpy(static_cast<void*>(this->tokens()), tokens.data(), tokens.size_bytes());
  closedByMarker_ = closedByMarker;
  compiled_ = true;
  directStackDepth_ = static_cast<std::uint8_t>(findDirectStackDepth(tokens, closedByMarker));
}

TCompiledFormula::TPackedToken::TPlace TCompiledFormula::TPackedToken::cellReference(const char* text,
                                                                                     std::size_t size) {
  std::size_t i = 0;
  if (i < size && text[i] == '$') ++i;
  std::int64_t column = 0;
  for (; i < size && isLetter(text[i]); ++i) {
    column = std::min(column * lettersInAlphabet + ((text[i] & ~0x20) - 'A' + 1), placeLimit);
  }
  if (column < 1 || i >= size) return {0, 0};
  if (text[i] == '$') ++i;
  if (i >= size) return {0, 0};
  std::int64_t place = 0;
  for (; i < size; ++i) {
    if (!isDigit(text[i])) return {0, 0};
    place = std::min<std::int64_t>(place * 10 + (text[i] - '0'), placeLimit);
  }
  if (place < 1 || column >= placeLimit || place >= placeLimit) return {0, 0};
  return {static_cast<std::int32_t>(column), static_cast<std::int32_t>(place)};
}

// Numbers, texts, names and references, the arithmetic, comparison and "&" operators,
// ranges and calls of built-in functions, with every operator's operands
// present and one value left for the closing "=".
int TCompiledFormula::findDirectStackDepth(std::span<const TPackedToken> tokens, bool closedByMarker) {
  int depth = 0;
  int deepest = 0;
  for (const TPackedToken& token : tokens) {
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
  return closedByMarker && depth == 1 ? deepest : 0;
}

std::unique_ptr<TCompiledFormula> TCompiledFormula::copy(TSizedPools* pools) const {
  std::unique_ptr<TCompiledFormula> formula = allocate(count_, textSize_, withWhole_, pools);
  std::memcpy(static_cast<void*>(formula->tokens()), tokens(), trailingSize(count_, textSize_, false));
  formula->formulaSize_ = formulaSize_;
  formula->directStackDepth_ = directStackDepth_;
  formula->closedByMarker_ = closedByMarker_;
  formula->compiled_ = compiled_;
  formula->spelledInPlace_ = spelledInPlace_;
  formula->sameReads_ = sameReads_;
  formula->decimalSeparator_ = decimalSeparator_;
  formula->listSeparator_ = listSeparator_;
  if (withWhole_) {
    TWholeTokens& whole = formula->wholeTokens();
    whole.reserve(wholeTokens().size());
    for (const TTokenPtr& token : wholeTokens()) whole.push_back(wholeCopy(*token));
  }
  return formula;
}

std::unique_ptr<TCompiledFormula> TCompiledFormula::copyForText(std::string_view text, char decimalSeparator,
                                                                char listSeparator, TSizedPools* pools) const {
  if (!spelledInPlace_ || withWhole_ || text.size() != formulaSize_ || decimalSeparator != decimalSeparator_ ||
      listSeparator != listSeparator_) {
    return nullptr;
  }
  // One pass over both texts: the names come in the order the formula
  // spells them, and only within them may a digit differ.
  const char* own = texts();
  std::unique_ptr<TCompiledFormula> formula = copy(pools);
  std::size_t compared = 0;
  for (TPackedToken& token : std::span<TPackedToken>(formula->tokens(), count_)) {
    if (!token.isName() || !token.holdsText()) continue;
    const std::size_t start = token.textPlace() >> 16;
    const std::size_t end = start + (token.textPlace() & 0xFFFF);
    if (start < compared || end > text.size()) return nullptr;
    if (std::memcmp(text.data() + compared, own + compared, start - compared) != 0) return nullptr;
    bool renamed = false;
    for (std::size_t place = start; place < end; ++place) {
      if (text[place] == own[place]) continue;
      if (!isDigit(text[place]) || !isDigit(own[place])) return nullptr;
      renamed = true;
    }
    compared = end;
    if (!renamed) continue;
    const TPackedToken::TPlace cell = TPackedToken::cellReference(text.data() + start, end - start);
    token.shared_.pair[0] = cell.col;
    token.shared_.pair[1] = cell.row;
    if (cell.col == 0 || cell.row == 0) formula->sameReads_ = sameReadsUnknown;
  }
  if (std::memcmp(text.data() + compared, own + compared, text.size() - compared) != 0) return nullptr;
  std::memcpy(formula->texts(), text.data(), text.size());
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
