#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "sheet/ObjectPool.h"
#include "sheet/TokenObject.h"

TEST(ObjectPool, BlockSizeFollowsTheEightKilobyteRule) {
  EXPECT_EQ(TObjectFactory(4000).slotsPerBlock(), 10);
  EXPECT_EQ(TObjectFactory(0).objectSize(), 1);
  TTokenObjectFactory tokens;
  EXPECT_EQ(tokens.slotsPerBlock(), 8192 / (static_cast<int>(sizeof(TTokenObject)) + 4));
}

TEST(ObjectPool, SlotsAreAlignedAndDoNotOverlapTheFreeStack) {
  // Odd sizes round up; every slot is written completely and the stack of
  // free slots behind them must still hand out every slot exactly once.
  for (int objectSize : {1, 13, 24, 100, 4000}) {
    TObjectBlock block(10, {}, objectSize);
    std::vector<void*> slots;
    while (void* slot = block.takeSlot()) {
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(slot) % alignof(std::max_align_t), 0u);
      std::memset(slot, 0xAB, static_cast<std::size_t>(objectSize));
      slots.push_back(slot);
    }
    ASSERT_EQ(slots.size(), 10u);
    EXPECT_GT(static_cast<char*>(slots.front()), static_cast<char*>(slots.back())) << "highest slot first";
    for (void* slot : slots) block.releaseSlot(slot);
    std::set<void*> again;
    while (void* slot = block.takeSlot()) again.insert(slot);
    EXPECT_EQ(again, std::set<void*>(slots.begin(), slots.end()));
  }
}

TEST(ObjectPool, AlignedBlocksAreFoundFromTheirObjects) {
  constexpr int objectSize = 64;
  auto factory = std::make_unique<TObjectFactory>(TObjectBlock::TAligned{}, objectSize);
  const int perBlock = factory->slotsPerBlock();
  EXPECT_EQ(perBlock, static_cast<int>((TObjectBlock::alignedBlockBytes - alignof(std::max_align_t)) / objectSize));
  std::vector<std::pair<void*, TObjectBlock*>> taken;
  TObjectBlock* block = nullptr;
  for (int index = 0; index <= perBlock; ++index) {
    void* slot = factory->takeSlot(block);
    ASSERT_NE(slot, nullptr);
    // Written whole: the word naming the block must survive its neighbours.
    std::memset(slot, 0xCD, objectSize);
    taken.emplace_back(slot, block);
  }
  ASSERT_EQ(factory->blockCount(), 2);
  for (auto& [slot, owner] : taken) EXPECT_EQ(&TObjectBlock::blockOf(slot), owner);
  // Objects that outlive their factory still find their block, which goes
  // with the last of them.
  factory.reset();
  for (auto& [slot, owner] : taken) TObjectBlock::blockOf(slot).releaseSlot(slot);
  // An object larger than a block is refused, not written beyond it.
  TObjectFactory huge(TObjectBlock::TAligned{}, 70000);
  EXPECT_EQ(huge.takeSlot(block), nullptr);
}

TEST(ObjectPool, EmptyBlockIsFreedUnlessItIsTheOnlyOne) {
  TObjectFactory factory(4000);
  TObjectBlock* block = nullptr;
  std::vector<std::pair<void*, TObjectBlock*>> taken;
  for (int index = 0; index < 11; ++index) {
    void* slot = factory.takeSlot(block);
    taken.emplace_back(slot, block);
  }
  ASSERT_EQ(factory.blockCount(), 2);
  // The eleventh slot opened the second block; returning it frees that block.
  taken.back().second->releaseSlot(taken.back().first);
  taken.pop_back();
  EXPECT_EQ(factory.blockCount(), 1);
  for (auto& [slot, owner] : taken) owner->releaseSlot(slot);
  EXPECT_EQ(factory.blockCount(), 1);
  EXPECT_EQ(factory.block(0).freeCount(), 10);
}

TEST(ObjectPool, FreedSlotsAreReusedBeforeANewBlockIsMade) {
  TObjectFactory factory(4000);
  std::vector<std::pair<void*, TObjectBlock*>> taken;
  TObjectBlock* block = nullptr;
  for (int index = 0; index < 30; ++index) {
    void* slot = factory.takeSlot(block);
    taken.emplace_back(slot, block);
  }
  ASSERT_EQ(factory.blockCount(), 3);
  // One slot back in every block, in an order that makes the search swap.
  for (int index : {25, 3, 14}) taken[index].second->releaseSlot(taken[index].first);
  for (int index = 0; index < 3; ++index) ASSERT_NE(factory.takeSlot(block), nullptr);
  EXPECT_EQ(factory.blockCount(), 3);
  factory.takeSlot(block);
  EXPECT_EQ(factory.blockCount(), 4);
}

TEST(ObjectPool, TokenOutlivingItsFactoryStaysUsable) {
  auto factory = std::make_shared<TTokenObjectFactory>();
  TTokenPtr token = factory->newToken();
  ASSERT_NE(token->ownerBlock(), nullptr);
  factory.reset();
  token->value.string = "still alive after the pool's owner is gone";
  EXPECT_EQ(token->value.string.size(), 42u);
  token.reset();  // frees the orphaned block with its last token
}
