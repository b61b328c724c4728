#pragma once
#include <algorithm>
#include <cstdint>
#include <utility>

#include "sheet/Dependents.h"

// The rectangles one formula has recorded as read. Nearly every formula
// records one or two, and a sheet holds such a list for every formula: the
// first rectangle lives in the list itself, so that a formula reading one
// place or one range costs no heap block of its own. Cleared, a list keeps
// its room for the rectangles recorded again.
class TReadRects {
 public:
  TReadRects() = default;
  ~TReadRects() { freeHeap(); }
  TReadRects(const TReadRects&) = delete;
  TReadRects& operator=(const TReadRects&) = delete;
  TReadRects(TReadRects&& other) noexcept { take(other); }
  TReadRects& operator=(TReadRects&& other) noexcept {
    if (this != &other) {
      freeHeap();
      take(other);
    }
    return *this;
  }

  const TCellRect* begin() const { return onHeap() ? storage_.heap : &storage_.single; }
  const TCellRect* end() const { return begin() + size_; }
  std::uint32_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void clear() { size_ = 0; }

  void push_back(const TCellRect& rect) {
    if (size_ == capacity_) grow();
    data()[size_++] = rect;
  }
  // Drops the rectangles for which drop(rect) is true, keeping the order.
  template <class Drop>
  void eraseIf(Drop drop) {
    TCellRect* items = data();
    size_ = static_cast<std::uint32_t>(std::remove_if(items, items + size_, drop) - items);
  }

 private:
  bool onHeap() const { return capacity_ > 1; }
  TCellRect* data() { return onHeap() ? storage_.heap : &storage_.single; }
  void grow() {
    // Room for exactly two at first: the other common case, a formula that
    // reads two places.
    const std::uint32_t capacity = capacity_ == 1 ? 2 : capacity_ * 2;
    auto* items = new TCellRect[capacity];
    std::copy(begin(), end(), items);
    freeHeap();
    storage_.heap = items;
    capacity_ = capacity;
  }
  void freeHeap() {
    if (onHeap()) delete[] storage_.heap;
  }
  // Leaves other empty, with its rectangle in place again.
  void take(TReadRects& other) {
    storage_ = other.storage_;
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 1);
  }

  union TStorage {
    TCellRect single;
    TCellRect* heap;
  } storage_{TCellRect{}};
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = 1;
};
