#include "sheet/RPNstack.h"

#include <algorithm>
#include <utility>

namespace {
// Storage doubles from a size that holds most formulas, and is given back
// once more than storageSlack slots, and more slots than are used, are
// spare: growing and shrinking in proportion keeps deep operator stacks
// linear, and a compiled cell formula holds little unused storage.
constexpr std::size_t initialStorage = 16;
constexpr std::size_t storageSlack = 128;
}  // namespace

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

void TRPNstackObject::push(TTokenPtr token) {
  if (items_.size() == items_.capacity()) items_.reserve(std::max(initialStorage, 2 * items_.capacity()));
  items_.push_back(std::move(token));
}

void TRPNstackObject::pushCopy(const TTokenObject& token) {
  TTokenPtr copy = newToken();
  copy->assign(&token);
  push(std::move(copy));
}

TTokenObject* TRPNstackObject::top() const { return items_.empty() ? nullptr : items_.back().get(); }

TTokenPtr TRPNstackObject::pop() {
  if (items_.empty()) return nullptr;
  TTokenPtr token = std::move(items_.back());
  items_.pop_back();
  shrinkWhenSpare();
  return token;
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

TTokenObject* TRPNstackObject::getItem(int index) const {
  if (index < 0 || index >= count()) return nullptr;
  return items_[index].get();
}

TTokenPtr TRPNstackObject::newToken() {
  if (!kept_.empty()) {
    TTokenPtr token = std::move(kept_.back());
    kept_.pop_back();
    return token;
  }
  if (factory_) {
    if (TTokenPtr token = factory_->newToken()) return token;
  }
  return std::make_unique<TTokenObject>();
}

void TRPNstackObject::shrinkWhenSpare() {
  std::size_t spare = items_.capacity() - items_.size();
  if (spare > storageSlack && spare > items_.size()) items_.shrink_to_fit();
}
