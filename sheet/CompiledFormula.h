#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sheet/RPNstack.h"

// A cell's compiled formula as it is kept between evaluations: the tokens of
// the compiled list packed side by side with their texts in one buffer.
// Every evaluation walks a cell's whole compiled list to copy it; packed, a
// typical formula fits in a few cache lines instead of one pooled token of
// 100 bytes per operand and operator scattered over the pool.
//
// A token holding a nested list (an array constant) is kept whole and
// copied deeply, as TTokenObject::assign copies it.
class TCompiledFormula {
 public:
  // Packs the tokens of list, which stays as it is.
  explicit TCompiledFormula(const TRPNstackObject& list);
  TCompiledFormula(const TCompiledFormula& source);
  TCompiledFormula& operator=(const TCompiledFormula&) = delete;

  int count() const { return static_cast<int>(tokens_.size()); }
  // Refills list with a copy of the compiled tokens, each equal to what
  // TTokenObject::assign makes of the original; the list's own tokens are
  // reused.
  void unpackInto(TRPNstackObject& list) const;

 private:
  static constexpr std::int32_t noSubObject = -1;

  struct TPackedToken {
    std::uint8_t tokenClass;
    std::uint8_t operatorCode;
    std::uint8_t kind;
    bool ok;
    std::int32_t functionId;
    std::int32_t integer;
    std::uint32_t textLength;
    double number;
    std::uint32_t textOffset;
    std::int32_t wholeToken;  // index in wholeTokens_, or noSubObject
  };

  std::vector<TPackedToken> tokens_;
  std::string texts_;
  std::vector<TTokenPtr> wholeTokens_;  // the tokens with a sub-object
};
