#include "sheet/CompiledFormula.h"

#include <cstring>
#include <limits>
#include <new>
#include <span>
#include <stdexcept>

namespace {

TTokenPtr wholeCopy(const TTokenObject& token) {
  auto copy = std::make_unique<TTokenObject>();
  copy->assign(&token);
  return copy;
}

}  // namespace

void* TCompiledFormula::operator new(std::size_t size, TTrailingBytes trailing) {
  return ::operator new(size + trailing.count);
}

void TCompiledFormula::operator delete(void* block, TTrailingBytes) { ::operator delete(block); }

void TCompiledFormula::operator delete(void* block) { ::operator delete(block); }

TCompiledFormula::TCompiledFormula(std::uint32_t count, std::uint32_t textSize) : count_(count), textSize_(textSize) {}

TCompiledFormula::~TCompiledFormula() = default;

std::unique_ptr<TCompiledFormula> TCompiledFormula::pack(const TRPNstackObject& list) {
  std::size_t textSize = 0;
  for (int index = 0; index < list.count(); ++index) textSize += list.getItem(index)->value.string.size();
  if (textSize > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("formula texts too long");
  const auto count = static_cast<std::uint32_t>(list.count());
  const auto texts = static_cast<std::uint32_t>(textSize);
  std::unique_ptr<TCompiledFormula> formula(new (TTrailingBytes{trailingSize(count, texts)})
                                                TCompiledFormula(count, texts));
  std::uint32_t textOffset = 0;
  for (std::uint32_t index = 0; index < count; ++index) {
    const TTokenObject& token = *list.getItem(static_cast<int>(index));
    const std::string& text = token.value.string;
    std::int32_t wholeToken = noWholeToken;
    if (token.subList() || token.subArray()) {
      wholeToken = static_cast<std::int32_t>(formula->wholeTokens_.size());
      formula->wholeTokens_.push_back(wholeCopy(token));
    }
    new (formula->tokens() + index) TPackedToken{token.tokenClass, token.operatorCode, token.value.kind, token.ok,
                                                 token.functionId, token.value.integer,
                                                 static_cast<std::uint32_t>(text.size()), token.value.number,
                                                 textOffset, wholeToken};
    std::memcpy(formula->texts() + textOffset, text.data(), text.size());
    textOffset += static_cast<std::uint32_t>(text.size());
  }
  return formula;
}

std::unique_ptr<TCompiledFormula> TCompiledFormula::copy() const {
  std::unique_ptr<TCompiledFormula> formula(new (TTrailingBytes{trailingSize(count_, textSize_)})
                                                TCompiledFormula(count_, textSize_));
  std::memcpy(static_cast<void*>(formula->tokens()), tokens(), trailingSize(count_, textSize_));
  formula->wholeTokens_.reserve(wholeTokens_.size());
  for (const TTokenPtr& token : wholeTokens_) formula->wholeTokens_.push_back(wholeCopy(*token));
  return formula;
}

void TCompiledFormula::unpackInto(TRPNstackObject& list) const {
  list.deleteRange(0, list.count() - 1);
  const char* const text = texts();
  for (const TPackedToken& packed : std::span(tokens(), count_)) {
    TTokenPtr token = list.newToken();
    if (packed.wholeToken != noWholeToken) {
      token->assign(wholeTokens_[static_cast<std::size_t>(packed.wholeToken)].get());
    } else {
      token->tokenClass = packed.tokenClass;
      token->operatorCode = packed.operatorCode;
      token->functionId = packed.functionId;
      token->ok = packed.ok;
      token->value.kind = packed.kind;
      token->value.integer = packed.integer;
      token->value.number = packed.number;
      token->value.string.assign(text + packed.textOffset, packed.textLength);
    }
    list.push(std::move(token));
  }
}
