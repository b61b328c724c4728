#pragma once
#include <cstddef>

// Memory taken from the system and given back to it in whole pages, for
// buffers of many kilobytes that live briefly while small objects are made
// around them. On the heap, such a buffer leaves a hole when freed that the
// small objects made next split, so that the next buffer needs fresh memory:
// loading a portfolio's price files between the transactions of their assets
// left about 40 KB of holes an asset.
void* allocatePages(size_t bytes);  // std::bad_alloc when the system has none
void freePages(void* pages);

template <class T>
struct TPageAllocator {
  using value_type = T;

  TPageAllocator() = default;
  template <class U>
  TPageAllocator(const TPageAllocator<U>&) {}

  T* allocate(size_t count) { return static_cast<T*>(allocatePages(count * sizeof(T))); }
  void deallocate(T* pages, size_t) { freePages(pages); }

  friend bool operator==(const TPageAllocator&, const TPageAllocator&) { return true; }
};
