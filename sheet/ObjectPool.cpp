#include "sheet/ObjectPool.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Slots are aligned for any object; block memory from new[] is aligned the
// same way.
constexpr std::size_t slotAlignment = alignof(std::max_align_t);
static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ >= slotAlignment);

// The block sizing rule counts each slot as the object plus a 4-byte entry
// of a free stack, as it always has, though free slots now keep their list
// in themselves.
constexpr int blockBudget = 8192;
constexpr int minimumSlotsPerBlock = 10;

std::size_t roundedSlotSize(int objectSize) {
  std::size_t size = static_cast<std::size_t>(std::max(1, objectSize));
  return (size + slotAlignment - 1) / slotAlignment * slotAlignment;
}

}  // namespace

TObjectBlock::TObjectBlock(int capacity, TBlockEmptyHandler onEmpty, int objectSize, TBlockEmptyHandler onReopen)
    : onEmpty_(onEmpty),
      onReopen_(onReopen),
      capacity_(std::max(1, capacity)),
      freeCount_(0),
      slotSize_(roundedSlotSize(objectSize)),
      memory_(nullptr, TMemoryRelease{false}) {
  totalByteSize_ = slotSize_ * static_cast<std::size_t>(capacity_);
  memory_.reset(new std::byte[totalByteSize_]);
  slots_ = memory_.get();
  untouched_ = capacity_;
  freeCount_ = capacity_;
}

TObjectBlock::TObjectBlock(TAligned, TBlockEmptyHandler onEmpty, int objectSize, TBlockEmptyHandler onReopen)
    : onEmpty_(onEmpty),
      onReopen_(onReopen),
      slotSize_(roundedSlotSize(objectSize)),
      // Windows hands out address space on boundaries of its allocation
      // granularity, 64 KB: a block of at most that size needs no rounding
      // of its own.
      memory_(static_cast<std::byte*>(
                  VirtualAlloc(nullptr, alignedBlockBytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)),
              TMemoryRelease{true}) {
  void* memory = memory_.get();
  if (!memory) throw std::bad_alloc();
  // A block must hold one slot after the word naming it; a larger object
  // is refused as if no memory were left, and its maker falls back.
  if (reinterpret_cast<std::uintptr_t>(memory) % alignedBlockBytes != 0 ||
      slotSize_ > alignedBlockBytes - slotAlignment) {
    throw std::bad_alloc();
  }
  TObjectBlock* self = this;
  std::memcpy(memory, &self, sizeof(self));
  slots_ = memory_.get() + slotAlignment;
  capacity_ = static_cast<int>((alignedBlockBytes - slotAlignment) / slotSize_);
  totalByteSize_ = alignedBlockBytes;
  untouched_ = capacity_;
  freeCount_ = capacity_;
}

TObjectBlock& TObjectBlock::blockOf(const void* slot) {
  TObjectBlock* block = nullptr;
  std::memcpy(&block, reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(slot) & ~(alignedBlockBytes - 1)),
              sizeof(block));
  return *block;
}

void TObjectBlock::TMemoryRelease::operator()(std::byte* memory) const {
  if (aligned) {
    VirtualFree(memory, 0, MEM_RELEASE);
  } else {
    delete[] memory;
  }
}

TObjectBlock::~TObjectBlock() = default;

void* TObjectBlock::takeSlot() {
  if (freeCount_ < 1) return nullptr;
  --freeCount_;
  if (void* slot = released_) {
    std::memcpy(&released_, slot, sizeof(void*));
    return slot;
  }
  return slots_ + slotSize_ * static_cast<std::size_t>(--untouched_);
}

void TObjectBlock::releaseSlot(void* object) {
  // A release beyond the block's capacity is a slot released twice: it is
  // dropped instead of counted.
  if (freeCount_ >= capacity_) return;
  std::memcpy(object, &released_, sizeof(void*));
  released_ = object;
  ++freeCount_;
  if (freeCount_ < capacity_) {
    if (freeCount_ == 1 && onReopen_.code) onReopen_.code(onReopen_.data, *this);
    return;
  }
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
  onReopen_ = {};
}

TObjectFactory::TObjectFactory(int objectSize)
    : slotsPerBlock_(std::max(minimumSlotsPerBlock, blockBudget / (std::max(1, objectSize) + 4))),
      objectSize_(std::max(1, objectSize)) {}

TObjectFactory::TObjectFactory(TObjectBlock::TAligned, int objectSize)
    : slotsPerBlock_(std::max<int>(1, static_cast<int>((TObjectBlock::alignedBlockBytes - slotAlignment) /
                                                       roundedSlotSize(objectSize)))),
      objectSize_(std::max(1, objectSize)),
      aligned_(true) {}

TObjectFactory::~TObjectFactory() {
  for (auto block = blocks_.rbegin(); block != blocks_.rend(); ++block) {
    if ((*block)->freeCount() < (*block)->capacity()) {
      (*block)->orphan();
      block->release();
    }
  }
  blocks_.clear();
}

void* TObjectFactory::takeFrom(std::size_t index, TObjectBlock*& block) {
  void* slot = blocks_[index]->takeSlot();
  if (!slot) return nullptr;
  block = blocks_[index].get();
  std::size_t count = blocks_.size();
  if (count == 1) return slot;
  if (index != count - 1 && block->freeCount() > 0) {
    swapBlocks(index, count - 1);
  } else if (index == count - 1 && block->freeCount() == 0) {
    swapBlocks(count - 1, 0);
  }
  return slot;
}

void TObjectFactory::swapBlocks(std::size_t a, std::size_t b) {
  std::swap(blocks_[a], blocks_[b]);
  blocks_[a]->position_ = a;
  blocks_[b]->position_ = b;
}

void* TObjectFactory::takeSlot(TObjectBlock*& block) {
  if (!blocks_.empty()) {
    if (void* slot = takeFrom(blocks_.size() - 1, block)) return slot;
  }
  while (!reopened_.empty()) {
    TObjectBlock* candidate = reopened_.back();
    reopened_.pop_back();
    candidate->queued_ = false;
    if (candidate->freeCount() == 0) continue;
    return takeFrom(candidate->position_, block);
  }
  try {
    // A block freed a moment ago comes back before new memory is asked for:
    // evaluations take and return tokens at the edge of a block all the time.
    std::unique_ptr<TObjectBlock> fresh = std::move(spare_);
    if (!fresh && aligned_) {
      fresh = std::make_unique<TObjectBlock>(TObjectBlock::TAligned{}, TBlockEmptyHandler{&blockEmptied, this},
                                             objectSize_, TBlockEmptyHandler{&blockReopened, this});
    } else if (!fresh) {
      fresh = std::make_unique<TObjectBlock>(slotsPerBlock_, TBlockEmptyHandler{&blockEmptied, this}, objectSize_,
                                             TBlockEmptyHandler{&blockReopened, this});
    }
    blocks_.push_back(std::move(fresh));
  } catch (const std::bad_alloc&) {
    block = nullptr;
    return nullptr;
  }
  block = blocks_.back().get();
  block->position_ = blocks_.size() - 1;
  return block->takeSlot();
}

void TObjectFactory::removeBlock(TObjectBlock& block) {
  if (blocks_.size() <= 1) return;
  std::size_t index = block.position_;
  if (index >= blocks_.size() || blocks_[index].get() != &block) return;
  if (block.queued_) std::erase(reopened_, &block);
  block.queued_ = false;
  // The last block takes its place: closing the gap would renumber every
  // later block, and a pool holds thousands.
  std::unique_ptr<TObjectBlock> removed = std::move(blocks_[index]);
  if (index != blocks_.size() - 1) {
    blocks_[index] = std::move(blocks_.back());
    blocks_[index]->position_ = index;
  }
  blocks_.pop_back();
  // Every slot is free: the block can serve again as it is.
  if (removed->freeCount() == removed->capacity()) spare_ = std::move(removed);
}

void TObjectFactory::blockEmptied(void* factory, TObjectBlock& block) {
  static_cast<TObjectFactory*>(factory)->removeBlock(block);
}

void TObjectFactory::blockReopened(void* factory, TObjectBlock& block) {
  if (block.queued_) return;
  block.queued_ = true;
  static_cast<TObjectFactory*>(factory)->reopened_.push_back(&block);
}

void* TSizedPools::take(std::size_t size) {
  if (size == 0 || size > largestSize) return nullptr;
  std::size_t index = (size - 1) / sizeStep;
  std::unique_ptr<TObjectFactory>& pool = pools_[index];
  try {
    if (!pool) {
      pool = std::make_unique<TObjectFactory>(TObjectBlock::TAligned{}, static_cast<int>((index + 1) * sizeStep));
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  TObjectBlock* block = nullptr;
  return pool->takeSlot(block);
}
