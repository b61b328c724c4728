#include "sheet/RPNstack.h"

#include <algorithm>
#include <utility>

TRPNstackObject::TRPNstackObject(std::shared_ptr<TTokenObjectFactory> factory) : factory_(std::move(factory)) {}

TRPNstackObject::~TRPNstackObject() { clear(); }

void TRPNstackObject::clear() {
  // Tokens go before the storage; the factory reference stays.
  items_.clear();
  items_.shrink_to_fit();
  kept_.clear();
  kept_.shrink_to_fit();
}

void TRPNstackObject::assign(const TRPNstackObject* source) {
  if (source == this) return;
  if (!source) {
    clear();
    return;
  }
  // The copy is made before the old tokens go: source may be nested in one
  // of them.
  std::shared_ptr<TTokenObjectFactory> factory = source->factory_;
  std::vector<TTokenPtr> copies;
  copies.reserve(source->items_.size());
  for (const TTokenPtr& token : source->items_) {
    TTokenPtr copy = factory ? factory->newToken() : nullptr;
    if (!copy) copy = std::make_unique<TTokenObject>();
    copy->assign(token.get());
    copies.push_back(std::move(copy));
  }
  items_.swap(copies);
  copies.clear();
  factory_ = std::move(factory);
}

void TRPNstackObject::growStorage() { items_.reserve(std::max(initialStorage, 2 * items_.capacity())); }

void TRPNstackObject::pushCopy(const TTokenObject& token) {
  TTokenPtr copy = newToken();
  copy->assign(&token);
  push(std::move(copy));
}

void TRPNstackObject::deleteRange(int first, int last) {
  if (first > last || items_.empty()) return;
  int lastIndex = count() - 1;
  first = std::clamp(first, 0, lastIndex);
  last = std::clamp(last, 0, lastIndex);
  for (int index = first; index <= last; ++index) {
    items_[index]->clear();
    kept_.push_back(std::move(items_[index]));
  }
  items_.erase(items_.begin() + first, items_.begin() + last + 1);
  shrinkWhenSpare();
}

TTokenPtr TRPNstackObject::freshToken() {
  if (factory_) {
    if (TTokenPtr token = factory_->newToken()) return token;
  }
  return std::make_unique<TTokenObject>();
}

void TRPNstackObject::shrinkWhenSpare() {
  std::size_t spare = items_.capacity() - items_.size();
  if (spare > storageSlack && spare > items_.size()) items_.shrink_to_fit();
}
