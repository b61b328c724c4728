#include "tests/support/AllocationCount.h"

#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t largestSmallBlock = 256;

thread_local long long allocations = 0;
thread_local long long largeAllocations = 0;

}  // namespace

long long threadAllocations() { return allocations; }

long long threadLargeAllocations() { return largeAllocations; }

// In place of the library's own, which takes the block from malloc too, so
// that the library's operator delete frees it. Linked only into a test
// program that counts.
void* operator new(std::size_t size) {
  ++allocations;
  if (size > largestSmallBlock) ++largeAllocations;
  for (;;) {
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}
