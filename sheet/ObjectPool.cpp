#include "sheet/ObjectPool.h"

#include <algorithm>
#include <new>
#include <utility>

namespace {

// Slots are aligned for any object; block memory from new[] is aligned the
// same way.
constexpr std::size_t slotAlignment = alignof(std::max_align_t);
static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ >= slotAlignment);

// The block sizing rule counts each slot as the object plus one 4-byte stack
// entry, as it always has; the memory itself uses real pointer sizes.
constexpr int blockBudget = 8192;
constexpr int minimumSlotsPerBlock = 10;

std::size_t roundedSlotSize(int objectSize) {
  std::size_t size = static_cast<std::size_t>(std::max(1, objectSize));
  return (size + slotAlignment - 1) / slotAlignment * slotAlignment;
}

}  // namespace

TObjectBlock::TObjectBlock(int capacity, TBlockEmptyHandler onEmpty, int objectSize)
    : onEmpty_(onEmpty),
      capacity_(std::max(1, capacity)),
      freeCount_(0),
      slotSize_(roundedSlotSize(objectSize)) {
  std::size_t slotsBytes = slotSize_ * static_cast<std::size_t>(capacity_);
  totalByteSize_ = slotsBytes + sizeof(void*) * static_cast<std::size_t>(capacity_);
  memory_ = std::make_unique_for_overwrite<std::byte[]>(totalByteSize_);
  freeStack_ = reinterpret_cast<void**>(memory_.get() + slotsBytes);
  for (int slot = 0; slot < capacity_; ++slot) freeStack_[slot] = memory_.get() + slotSize_ * slot;
  freeCount_ = capacity_;
}

TObjectBlock::~TObjectBlock() = default;

void* TObjectBlock::takeSlot() {
  if (freeCount_ < 1) return nullptr;
  return freeStack_[--freeCount_];
}

void TObjectBlock::releaseSlot(void* object) {
  // A slot released twice would overrun the stack; the second release is
  // dropped instead.
  if (freeCount_ >= capacity_) return;
  freeStack_[freeCount_++] = object;
  if (freeCount_ < capacity_) return;
  if (orphaned_) {
    delete this;
    return;
  }
  TBlockEmptyHandler handler = onEmpty_;
  if (handler.code) handler.code(handler.data, *this);
}

void TObjectBlock::orphan() {
  orphaned_ = true;
  onEmpty_ = {};
}

TObjectFactory::TObjectFactory(int objectSize)
    : slotsPerBlock_(std::max(minimumSlotsPerBlock, blockBudget / (std::max(1, objectSize) + 4))),
      objectSize_(std::max(1, objectSize)) {}

TObjectFactory::~TObjectFactory() {
  for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block) {
    if ((*block)->freeCount() < (*block)->capacity()) {
      (*block)->orphan();
      block->release();
    }
  }
  blocks_.clear();
}

void* TObjectFactory::takeSlot(TObjectBlock*& block) {
  int count = blockCount();
  for (int index = count - 1; index >= 0; --index) {
    void* slot = blocks_[index]->takeSlot();
    if (!slot) continue;
    block = blocks_[index].get();
    if (count == 1) return slot;
    if (index != count - 1 && block->freeCount() > 0) {
      std::swap(blocks_[index], blocks_[count - 1]);
    } else if (index == count - 1 && block->freeCount() == 0) {
      std::swap(blocks_[count - 1], blocks_[0]);
    }
    return slot;
  }
  try {
    blocks_.push_back(std::make_unique<TObjectBlock>(slotsPerBlock_, TBlockEmptyHandler{&blockEmptied, this}, objectSize_));
  } catch (const std::bad_alloc&) {
    block = nullptr;
    return nullptr;
  }
  block = blocks_.back().get();
  return block->takeSlot();
}

void TObjectFactory::removeBlock(TObjectBlock& block) {
  if (blocks_.size() <= 1) return;
  for (auto position = blocks_.end(); position != blocks_.begin();) {
    --position;
    if (position->get() == &block) {
      blocks_.erase(position);
      return;
    }
  }
}

void TObjectFactory::blockEmptied(void* factory, TObjectBlock& block) {
  static_cast<TObjectFactory*>(factory)->removeBlock(block);
}
