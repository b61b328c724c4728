#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "sheet/ObjectPool.h"
#include "sheet/ValueRecord.h"

class TArray;
class TRPNstackObject;

// Token classes: fixed numbers shared by the compiler and the evaluator.
enum : std::uint8_t {
  tokenEnd = 0,         // end of the text
  tokenCloseBrace = 1,  // }
  tokenOperator = 2,
  tokenOperand = 3,
  tokenOpenBrace = 4,   // {
};

// Operator codes of class-2 tokens: fixed numbers shared by the compiler and
// the evaluator.
enum : std::uint8_t {
  opCloseBracket = 1,   // )
  opListSeparator = 2,
  opEqual = 3,          // = comparison
  opNotEqual = 4,       // <>
  opGreater = 5,
  opLess = 6,
  opGreaterEqual = 7,
  opLessEqual = 8,
  opAdd = 9,            // + with two operands
  opSubtract = 10,      // - with two operands
  opOr = 11,
  opXor = 12,
  opConcatenate = 13,   // &
  opMultiply = 14,
  opDivide = 15,
  opDiv = 16,           // integer division
  opMod = 17,
  opAnd = 18,
  opPower = 19,         // ^
  opPercent = 20,       // postfix %
  opRange = 21,         // :
  opFunctionCall = 22,  // name in value.string, argument count in value.integer
  opUnaryPlus = 23,
  opUnaryMinus = 24,
  opNot = 25,
  opOpenBracket = 26,   // (
  // The "=" that opens a formula. It binds looser than every operator, so a
  // compiled formula ends with it and the whole expression is its one
  // operand. The evaluator gives that operand as the result when it is the
  // only token before the marker; any other operand left over means the
  // formula did not reduce to one value ("#N/A").
  opFormulaStart = 27,
};

// Whether a comparison operator holds for two values in the given order
// (negative, zero, positive: left below, equal to, above right).
inline bool comparisonHolds(std::uint8_t code, int order) {
  switch (code) {
    case opEqual: return order == 0;
    case opNotEqual: return order != 0;
    case opGreater: return order > 0;
    case opLess: return order < 0;
    case opGreaterEqual: return order >= 0;
    default: return order <= 0;
  }
}

// One formula token: the tokenizer's output, the compiled formula's element
// and, once the evaluator has written a result into it, an operand.
//
// A token lives either on the heap (new TTokenObject) or in a slot of a token
// pool (TTokenObjectFactory::newToken); `delete` returns either kind to where
// it came from, so owners never need to know which one they hold.
//
// The sub-object is a nested compiled list (kind 5) or a value array (kinds 6
// and 7). Whether the token frees it follows how it was set: lists and owned
// arrays are freed with the token, a borrowed array is only dropped.
class TTokenObject {
 public:
  TTokenObject() noexcept = default;
  // Inline: pools and working lists end tokens by the million, and few hold
  // a sub-object.
  ~TTokenObject() {
    if (subObjectKind_ != SubObjectKind::none) freeSubObject();
  }
  TTokenObject(const TTokenObject&) = delete;
  TTokenObject& operator=(const TTokenObject&) = delete;
  // Heap tokens; pool slots are filled with placement new.
  static void* operator new(std::size_t size);
  static void* operator new(std::size_t, void* slot) noexcept { return slot; }
  static void operator delete(TTokenObject* token, std::destroying_delete_t);

  // Class 0, no operator, function id 0, empty value, ok; the sub-object is
  // freed (a borrowed array only dropped). Inline: the compiler clears every
  // token it reads, and most hold no sub-object.
  void clear() {
    tokenClass = tokenEnd;
    operatorCode = 0;
    functionId = 0;
    if (subObjectKind_ != SubObjectKind::none) freeSubObject();
    value.clear();
    ok = true;
  }
  // A copy of source (nullptr: clear). A nested list is copied deeply from
  // the source list's factory and an owned array deeply; a borrowed array is
  // shared.
  void assign(const TTokenObject* source);

  std::uint8_t tokenClass = tokenEnd;
  std::uint8_t operatorCode = 0;
  // Function-call tokens after binding: the built-in id 1 to 378, or -1 for
  // a name that is not built in; 0 before binding.
  std::int32_t functionId = 0;
  TValueRecord value;
  // False marks a number that failed to convert or a syntax error.
  bool ok = true;

  // The compiled list of an array constant, or nullptr. Inline, as packing
  // and copying ask every token.
  TRPNstackObject* subList() const {
    return subObjectKind_ == SubObjectKind::list ? static_cast<TRPNstackObject*>(subObject_) : nullptr;
  }
  // The array of kinds 6 and 7, or nullptr.
  TArray* subArray() const {
    bool isArray = subObjectKind_ == SubObjectKind::ownedArray || subObjectKind_ == SubObjectKind::borrowedArray;
    return isArray ? static_cast<TArray*>(subObject_) : nullptr;
  }

  // Each setter frees the previous sub-object and sets value.kind to match
  // (5, 6 or 7).
  void setSubList(std::unique_ptr<TRPNstackObject> list);
  void setOwnedArray(std::unique_ptr<TArray> array);
  void setBorrowedArray(TArray* array);
  // Hands an owned array over to the caller, leaving no sub-object; nullptr
  // when the token owns no array (value.kind is left as it is).
  std::unique_ptr<TArray> releaseOwnedArray();
  // Frees an owned sub-object, drops a borrowed one.
  void freeSubObject();

  // The pool block holding this token, nullptr for a heap token.
  TObjectBlock* ownerBlock() const { return ownerBlock_; }

 private:
  friend class TTokenObjectFactory;
  enum class SubObjectKind : std::uint8_t { none, list, ownedArray, borrowedArray };

  TObjectBlock* ownerBlock_ = nullptr;
  void* subObject_ = nullptr;
  SubObjectKind subObjectKind_ = SubObjectKind::none;
};

using TTokenPtr = std::unique_ptr<TTokenObject>;

// The token pool. Shared-owned: every compiled list made from it holds a
// reference, so a list copied into another sheet keeps the pool alive.
class TTokenObjectFactory : public TObjectFactory {
 public:
  TTokenObjectFactory();
  // A cleared token in a pool slot; nullptr only when memory is exhausted.
  TTokenPtr newToken();
};
