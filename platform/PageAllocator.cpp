#include "platform/PageAllocator.h"

#include <windows.h>

#include <new>

void* allocatePages(size_t bytes) {
  void* pages = VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (pages == nullptr) throw std::bad_alloc();
  return pages;
}

void freePages(void* pages) {
  if (pages != nullptr) VirtualFree(pages, 0, MEM_RELEASE);
}
