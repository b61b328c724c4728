#pragma once
#include <array>
#include <cstddef>
#include <memory>
#include <vector>

// Pooled allocation of many small objects of one size (formula tokens, cells,
// cell formats, compiled formulas): one memory block holds a few kilobytes of
// slots (64 KB for the aligned blocks of cells and compiled formulas), so
// taking and returning an object is a stack operation instead of a heap call.
//
// The pools hand out raw slots; the typed factories built on TObjectFactory
// construct their objects in them with placement new and give the slot back
// through TObjectBlock::releaseSlot after running the destructor.

class TObjectBlock;

// Called when every slot of a block is free again: a plain function and its
// context, like a method pointer (the factory and its removeBlock).
struct TBlockEmptyHandler {
  void (*code)(void* data, TObjectBlock& block) = nullptr;
  void* data = nullptr;
};

class TObjectBlock {
 public:
  // capacity is raised to at least 1; each slot holds objectSize bytes,
  // rounded up so that every slot is aligned for any object. onReopen runs
  // when a full block gets a slot back (and is not empty by it).
  TObjectBlock(int capacity, TBlockEmptyHandler onEmpty, int objectSize, TBlockEmptyHandler onReopen = {});
  // A block of alignedBlockBytes on a boundary of that size, as many slots
  // as fit after a word that names the block: the block of an object is
  // found from its address (blockOf), so objects need not carry it. Raises
  // std::bad_alloc when no memory is left.
  struct TAligned {};
  TObjectBlock(TAligned, TBlockEmptyHandler onEmpty, int objectSize, TBlockEmptyHandler onReopen = {});
  // Each block is one call for address space, which costs as much as
  // several of its pages: large blocks keep the calls few.
  static constexpr std::size_t alignedBlockBytes = 64 * 1024;
  // The aligned block that handed out the slot.
  static TObjectBlock& blockOf(const void* slot);
  // Frees the memory; objects still in the slots are not destroyed.
  ~TObjectBlock();
  TObjectBlock(const TObjectBlock&) = delete;
  TObjectBlock& operator=(const TObjectBlock&) = delete;

  // The slot released last, else the highest slot not handed out yet, or
  // nullptr when the block is full.
  void* takeSlot();
  // Gives a slot taken from this block back. When that
  // makes the block entirely free, the onEmpty handler runs and may destroy
  // the block: the caller must not touch the block afterwards.
  void releaseSlot(void* object);

  int capacity() const { return capacity_; }
  int freeCount() const { return freeCount_; }
  std::size_t slotSize() const { return slotSize_; }
  std::size_t totalByteSize() const { return totalByteSize_; }

 private:
  friend class TObjectFactory;
  // The owning factory is gone while objects still live in the block: the
  // block then owns itself and is freed when its last object comes back.
  void orphan();

  TBlockEmptyHandler onEmpty_;
  TBlockEmptyHandler onReopen_;
  std::size_t position_ = 0;  // index in the owning factory's list
  bool queued_ = false;       // listed among the factory's reopened blocks
  int capacity_;
  int freeCount_;
  std::size_t slotSize_;
  std::size_t totalByteSize_;
  // Heap memory, or the whole of an aligned block.
  struct TMemoryRelease {
    bool aligned;
    void operator()(std::byte* memory) const;
  };
  std::unique_ptr<std::byte[], TMemoryRelease> memory_;
  std::byte* slots_;
  // The slots below this index were never handed out. A released slot
  // holds the address of the slot released before it: free slots cost no
  // memory beside them.
  int untouched_;
  void* released_ = nullptr;
  bool orphaned_ = false;
};

// The blocks of one object size. Typed factories (tokens, cells, formats)
// derive from it and construct their objects in the slots from takeSlot.
class TObjectFactory {
 public:
  // objectSize is raised to at least 1; a block holds
  // max(10, 8192 div (objectSize + 4)) slots.
  explicit TObjectFactory(int objectSize);
  // Aligned blocks (TObjectBlock::TAligned): a pool of many objects that
  // find their block from their address.
  TObjectFactory(TObjectBlock::TAligned, int objectSize);
  // Frees every block whose slots are all free. A block that still holds
  // objects is left to free itself when its last object is released, so an
  // object that outlives its factory never points into freed memory.
  virtual ~TObjectFactory();
  TObjectFactory(const TObjectFactory&) = delete;
  TObjectFactory& operator=(const TObjectFactory&) = delete;

  int slotsPerBlock() const { return slotsPerBlock_; }
  int objectSize() const { return objectSize_; }
  int blockCount() const { return static_cast<int>(blocks_.size()); }
  const TObjectBlock& block(int index) const { return *blocks_[index]; }

  // A free slot and the block it belongs to. The last block is asked first;
  // swaps keep a block with free slots at the end. Full blocks that got a
  // slot back are remembered, so a search never walks every block: pools of
  // compiled formulas hold thousands of them, and each evaluation takes and
  // returns slots. When every block is full a new one is added. nullptr
  // (and block nullptr) when no memory is left.
  void* takeSlot(TObjectBlock*& block);

  // The onEmpty handler of every block of the factory: frees the block
  // unless it is the factory's only one.
  void removeBlock(TObjectBlock& block);

 private:
  static void blockEmptied(void* factory, TObjectBlock& block);
  static void blockReopened(void* factory, TObjectBlock& block);
  // Hands out a slot of the block at index, with the swaps that keep a
  // block with free slots at the end.
  void* takeFrom(std::size_t index, TObjectBlock*& block);
  void swapBlocks(std::size_t a, std::size_t b);

  int slotsPerBlock_;
  int objectSize_;
  bool aligned_ = false;
  std::vector<std::unique_ptr<TObjectBlock>> blocks_;
  // Blocks that were full and got slots back, latest last; may hold blocks
  // that are full again.
  std::vector<TObjectBlock*> reopened_;
  // The last block freed, kept for the next one needed.
  std::unique_ptr<TObjectBlock> spare_;
};

// Objects of many sizes (compiled formulas with their texts) from pools of
// aligned blocks, one pool for each step of 16 bytes, made on first use: a
// sheet holds thousands of such objects, and the heap would add a header to
// each and take a lock for each.
class TSizedPools {
 public:
  // Memory for size bytes from the pool of its size; nullptr beyond the
  // largest size or when no memory is left (the heap then serves).
  void* take(std::size_t size);
  // Gives memory from take back to its block.
  static void release(void* memory) { TObjectBlock::blockOf(memory).releaseSlot(memory); }
  // Whether take serves a block of size bytes (while memory is left).
  static bool serves(std::size_t size) { return size > 0 && size <= largestSize; }

 private:
  static constexpr std::size_t sizeStep = 16;
  static constexpr std::size_t largestSize = 512;
  std::array<std::unique_ptr<TObjectFactory>, largestSize / sizeStep> pools_;
};
