#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "sheet/RPNstack.h"

// A cell's compiled formula as it is kept between evaluations: the tokens of
// the compiled list packed side by side, followed by their texts, in one
// block of memory with the formula's header. Every evaluation copies a
// cell's whole compiled list; packed, a typical formula is a few adjacent
// cache lines instead of a list object, its array of pointers and one
// pooled token of 100 bytes per operand and operator, all apart.
//
// A token holding a nested list (an array constant) is kept whole and
// copied deeply, as TTokenObject::assign copies it.
class TCompiledFormula {
 public:
  // Packs the tokens of list, which stays as it is.
  static std::unique_ptr<TCompiledFormula> pack(const TRPNstackObject& list);
  std::unique_ptr<TCompiledFormula> copy() const;
  ~TCompiledFormula();
  TCompiledFormula(const TCompiledFormula&) = delete;
  TCompiledFormula& operator=(const TCompiledFormula&) = delete;

  // The tokens of the compiled list, the closing "=" included.
  int count() const { return static_cast<int>(count_) + (closedByMarker_ ? 1 : 0); }

  // A token as it is kept, in 16 bytes: the fields that a token of its
  // kind can hold share their place. A plain cell reference
  // ([$]letters[$]digits) keeps its place beside its text, read once when
  // packed (0 for any other name). A text is found by its offset and length
  // in the formula's texts, each of 16 bits.
  class TPackedToken {
   public:
    std::uint8_t tokenClass;
    std::uint8_t operatorCode;
    std::uint8_t kind;

   private:
    std::uint8_t flags_;

   public:
    bool ok() const { return (flags_ & okFlag) != 0; }
    // Kept whole beside the packed tokens (a token with a sub-object, or
    // one whose fields do not share their place); nothing else is read then.
    bool whole() const { return (flags_ & wholeFlag) != 0; }
    std::int32_t integer() const { return holdsText() && !isCall() ? 0 : small_; }
    double number() const { return holdsPair() ? 0.0 : shared_.number; }
    std::int32_t functionId() const { return isCall() ? shared_.pair[0] : 0; }
    std::int32_t refCol() const { return isName() ? shared_.pair[0] : 0; }
    std::int32_t refRow() const { return isName() ? shared_.pair[1] : 0; }

   private:
    friend class TCompiledFormula;
    static constexpr std::uint8_t okFlag = 1;
    static constexpr std::uint8_t wholeFlag = 2;
    static constexpr std::uint8_t textFlag = 4;
    bool isCall() const { return tokenClass == tokenOperator && operatorCode == opFunctionCall; }
    bool isName() const { return tokenClass == tokenOperand && kind == valueIdentifier; }
    bool holdsPair() const { return isCall() || isName(); }
    bool holdsText() const { return (flags_ & textFlag) != 0; }
    // Where the text lies: in the pair of a call, else in place of the
    // integer (where a whole token keeps its index in wholeTokens_).
    std::uint32_t textPlace() const {
      return isCall() ? static_cast<std::uint32_t>(shared_.pair[1]) : static_cast<std::uint32_t>(small_);
    }

    std::int32_t small_;  // the integer, or the text's place
    union {
      double number;
      std::int32_t pair[2];  // a call's function id and text place; a reference's column and row
    } shared_;
  };
  static_assert(sizeof(TPackedToken) == 16);
  // The tokens kept: the formula's closing "=" is not among them when it is
  // the plain marker that every compiled formula ends with.
  std::span<const TPackedToken> packedTokens() const { return {tokens(), count_}; }
  std::string_view textOf(const TPackedToken& token) const {
    if (token.whole() || !token.holdsText()) return {};
    std::uint32_t place = token.textPlace();
    return std::string_view(texts() + (place >> 16), place & 0xFFFF);
  }
  // The most values the formula holds at once when it is evaluated straight
  // from its tokens (TSheet::evaluateDirectly), 0 when it has a token that
  // only a working copy evaluates.
  int directStackDepth() const { return directStackDepth_; }
  static constexpr int maxDirectStackDepth = 32;
  // Refills list with a copy of the compiled tokens, each equal to what
  // TTokenObject::assign makes of the original; the list's own tokens are
  // reused.
  void unpackInto(TRPNstackObject& list) const;
  // Appends a copy of the token at index to list, as unpackInto copies it.
  void appendToken(int index, TRPNstackObject& list) const;

  // The block is the object and its tokens and texts after it.
  struct TTrailingBytes {
    std::size_t count;
  };
  static void* operator new(std::size_t size, TTrailingBytes trailing);
  static void operator delete(void* block, TTrailingBytes trailing);
  static void operator delete(void* block);

 private:
  int findDirectStackDepth() const;

  TCompiledFormula(std::uint32_t count, std::uint16_t textSize);
  TPackedToken* tokens() { return reinterpret_cast<TPackedToken*>(this + 1); }
  const TPackedToken* tokens() const { return reinterpret_cast<const TPackedToken*>(this + 1); }
  char* texts() { return reinterpret_cast<char*>(tokens() + count_); }
  const char* texts() const { return reinterpret_cast<const char*>(tokens() + count_); }
  // The token packed, its text at textOffset; false when its fields do not
  // share their place.
  static bool packToken(const TTokenObject& token, std::size_t textOffset, TPackedToken& packed);
  static constexpr std::size_t maxTextOffset = 0xFFFF;
  static std::size_t trailingSize(std::uint32_t count, std::uint32_t textSize) {
    return count * sizeof(TPackedToken) + textSize;
  }

  std::uint32_t count_;
  // Texts are found by 16-bit offsets: a token whose text lies beyond is
  // kept whole.
  std::uint16_t textSize_;
  std::uint8_t directStackDepth_ = 0;
  bool closedByMarker_ = false;  // a plain closing "=" follows the tokens kept
  // The tokens with a sub-object, rare: made for the first of them, so that
  // the header of a formula without one stays small.
  std::unique_ptr<std::vector<TTokenPtr>> wholeTokens_;
};
static_assert(sizeof(TCompiledFormula) == 16);
