#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <vector>

#include "sheet/ObjectPool.h"
#include "sheet/RPNstack.h"

// A cell's formula as it is kept between evaluations: the text as typed,
// and the tokens of its compiled list packed side by side with their texts,
// in one block of memory with the formula's header. A sheet holds one for
// every formula cell, so the text is kept once: a token's text that the
// formula spells as it stands is found in the formula's own text. Packed, a
// typical formula is a few adjacent cache lines instead of a list object, its
// array of pointers and one pooled token of 100 bytes per operand and
// operator, all apart. A formula that did not compile keeps its text alone.
//
// A token holding a nested list (an array constant) is kept whole and
// copied deeply, as TTokenObject::assign copies it.
class TCompiledFormula {
 public:
  // The fields of a token without a sub-object, its text seen where it
  // lies, as packing reads them.
  struct TPlainToken {
    std::uint8_t tokenClass;
    std::uint8_t operatorCode;
    std::uint8_t kind;
    std::int32_t integer;
    std::int32_t functionId;
    double number;
    const char* textData;  // the text as a pointer and a size: a view would be set when made
    std::size_t textSize;
    std::string_view text() const { return {textData, textSize}; }
  };

  // Packs the tokens of list, which stays as it is, compiled from text. The
  // block comes from pools when they are given and serve its size, else
  // from the heap; either way deleting the formula gives it back.
  static std::unique_ptr<TCompiledFormula> pack(const TRPNstackObject& list, std::string_view text = {},
                                                TSizedPools* pools = nullptr);
  // The text of a formula that is not compiled, alone.
  static std::unique_ptr<TCompiledFormula> textOnly(std::string_view text, TSizedPools* pools = nullptr);
  std::unique_ptr<TCompiledFormula> copy(TSizedPools* pools = nullptr) const;
  // The formula of text read with these separators, when text differs from
  // this one's only in digits of its references, as a formula filled down a
  // column does: a copy with those references read again, which is what
  // compiling text would make. nullptr for any other text, and for a
  // formula read otherwise or whose texts are not all found where the
  // formula spells them.
  std::unique_ptr<TCompiledFormula> copyForText(std::string_view text, char decimalSeparator, char listSeparator,
                                                TSizedPools* pools) const;
  ~TCompiledFormula();
  TCompiledFormula(const TCompiledFormula&) = delete;
  TCompiledFormula& operator=(const TCompiledFormula&) = delete;

  // The formula as typed.
  std::string_view text() const { return std::string_view(texts(), formulaSize_); }
  // False for a text kept alone: it has no tokens.
  bool compiled() const { return compiled_; }
  // The tokens of the compiled list, the closing "=" included.
  int count() const { return static_cast<int>(count_) + (closedByMarker_ ? 1 : 0); }

  // A token as it is kept, in 16 bytes: the fields that a token of its
  // kind can hold share their place. A plain cell reference
  // ([$]letters[$]digits) keeps its place beside its text, read once when
  // packed (0 for any other name). A text is found by its offset and length
  // in the formula's texts, each of 16 bits.
  class TPackedToken {
   public:
    // The tokens as pack keeps them, made by a compiler that packs as it
    // reads: place is where the token's text lies in the block (textPlace),
    // 0 for a token without a text.
    // Inline: the token is then put together where it goes, not written
    // field by field elsewhere and read back whole, which stalls.
    static TPackedToken operand(std::uint8_t kind, std::int32_t integer, double number, std::uint32_t place) {
      TPackedToken packed = made(tokenOperand, 0, kind, place != 0);
      packed.small_ = place != 0 ? static_cast<std::int32_t>(place) : integer;
      packed.shared_.number = number;
      return packed;
    }
    static TPackedToken name(std::uint32_t place, std::string_view text) {
      TPackedToken packed = made(tokenOperand, 0, valueIdentifier, true);
      packed.small_ = static_cast<std::int32_t>(place);
      const TPlace cell = cellReference(text.data(), text.size());
      packed.shared_.pair[0] = cell.col;
      packed.shared_.pair[1] = cell.row;
      return packed;
    }
    static TPackedToken operatorToken(std::uint8_t code) { return made(tokenOperator, code, valueEmpty, false); }
    static TPackedToken call(std::int32_t count, std::int32_t functionId, std::uint32_t place) {
      TPackedToken packed = made(tokenOperator, opFunctionCall, valueEmpty, true);
      packed.small_ = count;
      packed.shared_.pair[0] = functionId;
      packed.shared_.pair[1] = static_cast<std::int32_t>(place);
      return packed;
    }

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
    static TPackedToken made(std::uint8_t tokenClass, std::uint8_t operatorCode, std::uint8_t kind, bool withText) {
      TPackedToken packed{};
      packed.tokenClass = tokenClass;
      packed.operatorCode = operatorCode;
      packed.kind = kind;
      packed.flags_ = okFlag | (withText ? textFlag : 0);
      return packed;
    }
    // The place a text of the form [$]letters[$]digits names, the grammar
    // the sheet reads references with; 0 and 0 for any other text. The
    // text comes as its pieces and the place goes back in a register: a
    // view would be passed through memory, and a place written there field
    // by field and read back with the rest of the token stalls.
    struct TPlace {
      std::int32_t col;
      std::int32_t row;
    };
    static TPlace cellReference(const char* text, std::size_t size);
    bool isCall() const { return tokenClass == tokenOperator && operatorCode == opFunctionCall; }
    bool isName() const { return tokenClass == tokenOperand && kind == valueIdentifier; }
    bool holdsPair() const { return isCall() || isName(); }
    bool holdsText() const { return (flags_ & textFlag) != 0; }
    // Where the text lies: in the pair of a call, else in place of the
    // integer (where a whole token keeps its index in the list of whole tokens).
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
  // Where a text of size bytes at offset of the block lies, as a token
  // keeps it; false beyond the reach of its 16 bits.
  static bool textPlace(std::size_t offset, std::size_t size, std::uint32_t& place) {
    if (offset + size > maxTextOffset) return false;
    place = static_cast<std::uint32_t>(offset << 16 | size);
    return true;
  }
  // A formula of tokens packed as they were read, its closing "=" the plain
  // marker; appended holds the texts that text does not spell, in the
  // order of their places.
  static std::unique_ptr<TCompiledFormula> fromPacked(std::span<const TPackedToken> tokens, std::string_view text,
                                                      std::string_view appended, char decimalSeparator,
                                                      char listSeparator, TSizedPools* pools);
  std::string_view textOf(const TPackedToken& token) const {
    if (token.whole() || !token.holdsText()) return {};
    std::uint32_t place = token.textPlace();
    return std::string_view(texts() + (place >> 16), place & 0xFFFF);
  }
  // Whether every evaluation of the formula that gives a result reads the
  // same places, once the sheet has found it out: kept with the formula so
  // that a column filled with it is looked at once. A copy whose renamed
  // references no longer all name a cell is unknown again.
  enum TSameReads : std::uint8_t { sameReadsUnknown, sameReadsAlways, sameReadsNot };
  TSameReads sameReads() const { return static_cast<TSameReads>(sameReads_); }
  // Kept only for an answer that no reference's place could change: the
  // sheet tells which.
  void keepSameReads(bool same) const { sameReads_ = same ? sameReadsAlways : sameReadsNot; }
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

  // The block is the object and its tokens and texts after it, made by
  // allocate; the block goes back where it came from.
  static void operator delete(TCompiledFormula* formula, std::destroying_delete_t);

 private:
  // Copies the texts and tokens into the block, which allocate made for
  // them, and finishes the header.
  void fill(std::span<const TPackedToken> tokens, std::string_view text, std::string_view appended,
            bool closedByMarker);
  // directStackDepth for these tokens.
  static int findDirectStackDepth(std::span<const TPackedToken> tokens, bool closedByMarker);
  using TWholeTokens = std::vector<TTokenPtr>;
  // A block for count tokens and textSize bytes of texts, and a place for the
  // list of whole tokens when withWhole.
  static std::unique_ptr<TCompiledFormula> allocate(std::uint32_t count, std::size_t textSize, bool withWhole,
                                                    TSizedPools* pools);
  TCompiledFormula(std::uint32_t count, std::uint32_t textSize, bool withWhole, bool pooled);
  TPackedToken* tokens() { return reinterpret_cast<TPackedToken*>(this + 1); }
  const TPackedToken* tokens() const { return reinterpret_cast<const TPackedToken*>(this + 1); }
  char* texts() { return reinterpret_cast<char*>(tokens() + count_); }
  const char* texts() const { return reinterpret_cast<const char*>(tokens() + count_); }
  // The tokens with a sub-object, rare: their list lies after the texts, and
  // only in a block that has such a token, so that the header stays small.
  static std::size_t wholeTokensOffset(std::uint32_t count, std::size_t textSize) {
    return (count * sizeof(TPackedToken) + textSize + alignof(TWholeTokens) - 1) / alignof(TWholeTokens) *
           alignof(TWholeTokens);
  }
  TWholeTokens& wholeTokens() const {
    return *std::launder(reinterpret_cast<TWholeTokens*>(const_cast<char*>(reinterpret_cast<const char*>(this + 1)) +
                                                         wholeTokensOffset(count_, textSize_)));
  }
  static std::size_t trailingSize(std::uint32_t count, std::size_t textSize, bool withWhole) {
    return withWhole ? wholeTokensOffset(count, textSize) + sizeof(TWholeTokens)
                     : count * sizeof(TPackedToken) + textSize;
  }
  // The token packed, its text at textOffset; false when its fields do not
  // share their place.
  static bool packToken(const TPlainToken& token, bool ok, std::size_t textOffset, TPackedToken& packed);
  static constexpr std::size_t maxTextOffset = 0xFFFF;

  std::uint32_t count_;
  // The formula's text first, then the texts of tokens that it does not
  // spell as they stand. Texts are found by 16-bit offsets: a token whose
  // text lies beyond is kept whole.
  std::uint32_t textSize_;
  std::uint32_t formulaSize_ = 0;
  std::uint8_t directStackDepth_ = 0;
  bool closedByMarker_ : 1 = false;  // a plain closing "=" follows the tokens kept
  bool compiled_ : 1 = false;
  bool withWhole_ : 1;
  bool pooled_ : 1;  // the block is a slot of sized pools, else heap memory
  // Every operand's text is found at the place the formula spells it, read
  // with these separators (none when not).
  bool spelledInPlace_ : 1 = false;
  mutable std::uint8_t sameReads_ : 2 = sameReadsUnknown;
  char decimalSeparator_ = 0;
  char listSeparator_ = 0;
};
static_assert(sizeof(TCompiledFormula) == 16);
