#include "tests/support/AllocationCount.h"

#include <cstdlib>
#include <new>

namespace {

thread_local long long allocations = 0;

}  // namespace

long long threadAllocations() { return allocations; }

// In place of the library's own, which takes the block from malloc too, so
// that the library's operator delete frees it. Linked only into a test
// program that counts.
void* operator new(std::size_t size) {
  ++allocations;
  for (;;) {
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}
