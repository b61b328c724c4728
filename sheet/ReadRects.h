#pragma once
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>

#include "sheet/Dependents.h"

// The rectangles one formula has recorded as read. Nearly every formula
// records one or two, and a sheet holds such a list for every formula: the
// list itself holds one rectangle, or two single places (the common formula
// reading two cells), so that such a formula costs no heap block of its
// own. Cleared, a list keeps its room for the rectangles recorded again.
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

  // Gives the rectangles by value: places kept alone are made rectangles.
  class TIterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = TCellRect;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = TCellRect;

    TIterator(const TReadRects& list, std::uint32_t index) : list_(&list), index_(index) {}
    TCellRect operator*() const { return list_->at(index_); }
    TIterator& operator++() {
      ++index_;
      return *this;
    }
    TIterator operator++(int) {
      TIterator before = *this;
      ++index_;
      return before;
    }
    bool operator==(const TIterator& other) const { return index_ == other.index_; }

   private:
    const TReadRects* list_;
    std::uint32_t index_;
  };

  TIterator begin() const { return {*this, 0}; }
  TIterator end() const { return {*this, size_}; }
  std::uint32_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void clear() { size_ = 0; }

  void push_back(const TCellRect& rect, TSizedPools& pools) {
    if (!onHeap()) {
      const bool single = rect.first == rect.last;
      // An empty list takes the form its first rectangle fits best.
      if (size_ == 0) capacity_ = single ? placesInside : 1;
      if (size_ < capacity_ && (capacity_ == 1 || single)) {
        put(size_++, rect);
        return;
      }
      moveToHeap(pools);
    } else if (size_ == capacity_) {
      grow(pools);
    }
    storage_.heap[size_++] = rect;
  }
  // Drops the rectangles for which drop(rect) is true, keeping the order.
  template <class Drop>
  void eraseIf(Drop drop) {
    std::uint32_t kept = 0;
    for (std::uint32_t index = 0; index < size_; ++index) {
      const TCellRect rect = at(index);
      if (!drop(rect)) put(kept++, rect);
    }
    size_ = kept;
  }

 private:
  // capacity_ tells the form: 1, one rectangle inside; placesInside, up to
  // two single places inside; more, the rectangles on the heap.
  static constexpr std::uint32_t placesInside = 2;
  // A lookup formula reads a place and a table: room for one more.
  static constexpr std::uint32_t firstHeapCapacity = 3;

  bool onHeap() const { return capacity_ > placesInside; }
  TCellRect at(std::uint32_t index) const {
    if (onHeap()) return storage_.heap[index];
    if (capacity_ == 1) return storage_.single;
    return {storage_.places[index], storage_.places[index]};
  }
  // Stores rect at index, in the list's form (a single place when places are kept).
  void put(std::uint32_t index, const TCellRect& rect) {
    if (onHeap()) {
      storage_.heap[index] = rect;
    } else if (capacity_ == 1) {
      storage_.single = rect;
    } else {
      storage_.places[index] = rect.first;
    }
  }
  void moveToHeap(TSizedPools& pools) {
    auto* items = takeItems<TCellRect>(firstHeapCapacity, pools);
    for (std::uint32_t index = 0; index < size_; ++index) items[index] = at(index);
    storage_.heap = items;
    capacity_ = firstHeapCapacity;
  }
  void grow(TSizedPools& pools) {
    const std::uint32_t capacity = capacity_ * 2;
    auto* items = takeItems<TCellRect>(capacity, pools);
    for (std::uint32_t index = 0; index < size_; ++index) items[index] = storage_.heap[index];
    releaseItems(storage_.heap, capacity_);
    storage_.heap = items;
    capacity_ = capacity;
  }
  void freeHeap() {
    if (onHeap()) releaseItems(storage_.heap, capacity_);
  }
  // Leaves other empty, with its room inside again.
  void take(TReadRects& other) {
    storage_ = other.storage_;
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, placesInside);
  }

  union TStorage {
    TCellRect single;
    TCellCoord places[placesInside];
    TCellRect* heap;
  } storage_{TCellRect{}};
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = placesInside;
};
