#pragma once
#include <memory>
#include <vector>

#include "sheet/TokenObject.h"

// A list of tokens that owns them: a compiled formula in postfix order, and
// the compiler's operator stack.
//
// The evaluator works on a copy of a cell's compiled list (assign), which it
// rewrites in place: it writes each result into the operator token and
// deletes the operand tokens before it (deleteRange). Tokens come from the
// list's factory when it has one, so a copy costs no heap call per token.
class TRPNstackObject {
 public:
  // Without a factory the list's new tokens come from the heap.
  explicit TRPNstackObject(std::shared_ptr<TTokenObjectFactory> factory = nullptr);
  ~TRPNstackObject();
  TRPNstackObject(const TRPNstackObject&) = delete;
  TRPNstackObject& operator=(const TRPNstackObject&) = delete;

  // Frees every token.
  void clear();
  // Clear, then (source not nullptr) adopt the source's factory and copy
  // every token deeply (TTokenObject::assign).
  void assign(const TRPNstackObject* source);

  // Appends the token itself; the list owns it from now on.
  void push(TTokenPtr token);
  // Appends a new token assigned from token.
  void pushCopy(const TTokenObject& token);
  // The last token, nullptr when the list is empty.
  TTokenObject* top() const;
  // Removes the last token and hands it over; nullptr when empty.
  TTokenPtr pop();
  // Frees the tokens first..last (clamped to the list) and closes the gap;
  // nothing when first > last.
  void deleteRange(int first, int last);
  // The token at index, nullptr outside 0..count-1.
  TTokenObject* getItem(int index) const;
  int count() const { return static_cast<int>(items_.size()); }

  // A cleared token from the factory, or from the heap when the list has no
  // factory (or the pool has no memory left).
  TTokenPtr newToken() const;
  const std::shared_ptr<TTokenObjectFactory>& factory() const { return factory_; }

 private:
  void shrinkWhenSpare();

  std::shared_ptr<TTokenObjectFactory> factory_;
  std::vector<TTokenPtr> items_;
};
