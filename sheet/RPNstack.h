#pragma once
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "sheet/TokenObject.h"

// A list of tokens that owns them: a compiled formula in postfix order, and
// the compiler's operator stack.
//
// The evaluator works on a copy of a cell's compiled list, which it rewrites
// in place: it writes each result into the operator token and deletes the
// operand tokens before it (deleteRange). Deleted tokens are kept, cleared,
// for the list's next new tokens: a list refilled for every evaluation then
// takes no token from a pool and touches no memory that went cold. Other
// tokens come from the list's factory when it has one.
class TRPNstackObject {
 public:
  // Without a factory the list's new tokens come from the heap.
  explicit TRPNstackObject(std::shared_ptr<TTokenObjectFactory> factory = nullptr);
  ~TRPNstackObject();
  TRPNstackObject(const TRPNstackObject&) = delete;
  TRPNstackObject& operator=(const TRPNstackObject&) = delete;

  // Frees every token, the kept ones too.
  void clear();
  // Clear, then (source not nullptr) adopt the source's factory and copy
  // every token deeply (TTokenObject::assign).
  void assign(const TRPNstackObject* source);

  // Appends the token itself; the list owns it from now on.
  void push(TTokenPtr token) {
    if (items_.size() == items_.capacity()) growStorage();
    items_.push_back(std::move(token));
  }
  // Appends a new token assigned from token.
  void pushCopy(const TTokenObject& token);
  // The last token, nullptr when the list is empty.
  TTokenObject* top() const { return items_.empty() ? nullptr : items_.back().get(); }
  // Removes the last token and hands it over; nullptr when empty.
  TTokenPtr pop() {
    if (items_.empty()) return nullptr;
    TTokenPtr token = std::move(items_.back());
    items_.pop_back();
    if (items_.capacity() > storageSlack) shrinkWhenSpare();
    return token;
  }
  // Removes the tokens first..last (clamped to the list) and closes the gap;
  // nothing when first > last. Each token is cleared (its sub-object freed)
  // and kept for newToken.
  void deleteRange(int first, int last);
  // The token at index, nullptr outside 0..count-1.
  TTokenObject* getItem(int index) const {
    return index < 0 || index >= count() ? nullptr : items_[static_cast<std::size_t>(index)].get();
  }
  int count() const { return static_cast<int>(items_.size()); }

  // A cleared token: one the list kept, else one from the factory, else
  // from the heap (no factory, or the pool has no memory left).
  TTokenPtr newToken() {
    if (kept_.empty()) return freshToken();
    TTokenPtr token = std::move(kept_.back());
    kept_.pop_back();
    return token;
  }
  // Takes back a token the caller no longer needs, cleared, for newToken:
  // the compiler drops its brackets and separators here.
  void keep(TTokenPtr token) {
    token->clear();
    kept_.push_back(std::move(token));
  }
  const std::shared_ptr<TTokenObjectFactory>& factory() const { return factory_; }

 private:
  // Storage doubles from a size that holds most formulas, and is given back
  // once more than storageSlack slots, and more slots than are used, are
  // spare: growing and shrinking in proportion keeps deep operator stacks
  // linear, and a compiled cell formula holds little unused storage.
  static constexpr std::size_t initialStorage = 16;
  static constexpr std::size_t storageSlack = 128;

  void growStorage();
  TTokenPtr freshToken();
  void shrinkWhenSpare();

  std::shared_ptr<TTokenObjectFactory> factory_;
  std::vector<TTokenPtr> items_;
  std::vector<TTokenPtr> kept_;  // deleted tokens, cleared, for reuse
};
