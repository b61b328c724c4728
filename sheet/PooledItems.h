#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "sheet/ObjectPool.h"

// Room for the items of a growing list from sized pools, and from the heap
// beyond the largest pooled size: entering formulas makes and grows lists of
// links by the thousand, and a heap call costs many times what a pool's
// slot does. The items are given back with the count they were taken with.
template <class T>
T* takeItems(std::uint32_t count, TSizedPools& pools) {
  const std::size_t size = std::size_t{count} * sizeof(T);
  void* memory = TSizedPools::serves(size) ? pools.take(size) : ::operator new(size);
  if (!memory) throw std::bad_alloc();
  T* items = static_cast<T*>(memory);
  std::uninitialized_value_construct_n(items, count);
  return items;
}

template <class T>
void releaseItems(T* items, std::uint32_t count) {
  std::destroy_n(items, count);
  if (TSizedPools::serves(std::size_t{count} * sizeof(T))) {
    TSizedPools::release(items);
  } else {
    ::operator delete(items);
  }
}
