#include "sheet/CompiledFormula.h"

#include <limits>
#include <memory>
#include <stdexcept>

namespace {

TTokenPtr wholeCopy(const TTokenObject& token) {
  auto copy = std::make_unique<TTokenObject>();
  copy->assign(&token);
  return copy;
}

}  // namespace

TCompiledFormula::TCompiledFormula(const TRPNstackObject& list) {
  tokens_.reserve(static_cast<std::size_t>(list.count()));
  for (int index = 0; index < list.count(); ++index) {
    const TTokenObject& token = *list.getItem(index);
    const std::string& text = token.value.string;
    if (text.size() > std::numeric_limits<std::uint32_t>::max() - texts_.size()) {
      throw std::length_error("formula texts too long");
    }
    TPackedToken packed{token.tokenClass, token.operatorCode, token.value.kind, token.ok,
                        token.functionId, token.value.integer, static_cast<std::uint32_t>(text.size()),
                        token.value.number, static_cast<std::uint32_t>(texts_.size()), noSubObject};
    texts_ += text;
    if (token.subList() || token.subArray()) {
      packed.wholeToken = static_cast<std::int32_t>(wholeTokens_.size());
      wholeTokens_.push_back(wholeCopy(token));
    }
    tokens_.push_back(packed);
  }
}

TCompiledFormula::TCompiledFormula(const TCompiledFormula& source) : tokens_(source.tokens_), texts_(source.texts_) {
  wholeTokens_.reserve(source.wholeTokens_.size());
  for (const TTokenPtr& token : source.wholeTokens_) wholeTokens_.push_back(wholeCopy(*token));
}

void TCompiledFormula::unpackInto(TRPNstackObject& list) const {
  list.deleteRange(0, list.count() - 1);
  for (const TPackedToken& packed : tokens_) {
    TTokenPtr token = list.newToken();
    if (packed.wholeToken != noSubObject) {
      token->assign(wholeTokens_[static_cast<std::size_t>(packed.wholeToken)].get());
    } else {
      token->tokenClass = packed.tokenClass;
      token->operatorCode = packed.operatorCode;
      token->functionId = packed.functionId;
      token->ok = packed.ok;
      token->value.kind = packed.kind;
      token->value.integer = packed.integer;
      token->value.number = packed.number;
      token->value.string.assign(texts_, packed.textOffset, packed.textLength);
    }
    list.push(std::move(token));
  }
}
