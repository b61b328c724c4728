#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "sheet/Dependents.h"

// The large rectangles that formulas read, each stored once with the sorted
// list of the places whose formulas read it: a table read by 100,000
// lookups costs one list of 100,000 places instead of 100,000 places in
// each of its cells.
//
// A place finds the rectangles holding it through blocks of rows aligned to
// powers of two: a rectangle is filed, in each of its columns, under the few
// largest aligned blocks that make up its rows. A column of =SUM($A$1:A#)
// files each of its rectangles a few dozen times instead of once a row, and
// a place looks at one block of each size that its column uses. A
// rectangle of very many columns (a row read to the sheet's last column) is
// kept aside and tested whole, so that filing it costs no more than a
// narrow one.
class TRangeLinks {
 public:
  // The lists take their room from pools, which outlive them.
  explicit TRangeLinks(TSizedPools& pools) : pools_(pools) {}

  // A rectangle of more places than this is stored once; a smaller one is
  // linked in each of its places, where a look-up costs less.
  static constexpr std::uint64_t placesLinkedOneByOne = 32;
  static constexpr std::int64_t columnsFiledOneByOne = 256;
  static bool storedOnce(const TCellRect& rect) {
    const auto cols = static_cast<std::uint64_t>(rect.last.col - rect.first.col) + 1;
    const auto rows = static_cast<std::uint64_t>(rect.last.row - rect.first.row) + 1;
    return cols * rows > placesLinkedOneByOne;
  }

  // Adds dependent to rect's list; false when it was there.
  bool link(const TCellRect& rect, TCellCoord dependent);
  // Drops dependent from rect's list; false when it was not there.
  bool unlink(const TCellRect& rect, TCellCoord dependent);
  void clear();
  // The rectangles read by at least one formula.
  std::size_t size() const { return live_; }
  // False when no stored rectangle can hold a place of the column.
  bool mayHold(std::int32_t col) const { return live_ != 0 && col >= firstCol_ && col <= lastCol_; }

  // Calls visit(list) with the dependents of each rectangle holding place,
  // until visit returns true; true when it did.
  template <class Visit>
  bool anyHolding(TCellCoord place, Visit visit) const {
    if (!mayHold(place.col) || place.row < 0) return false;
    for (std::uint32_t id : wide_) {
      const TStored& stored = rects_[id];
      if (stored.rect.first.col <= place.col && place.col <= stored.rect.last.col &&
          stored.rect.first.row <= place.row && place.row <= stored.rect.last.row && !stored.dependents.empty() &&
          visit(stored.dependents))
        return true;
    }
    auto column = columnLevels_.find(place.col);
    if (column == columnLevels_.end()) return false;
    const auto row = static_cast<std::uint32_t>(place.row);
    for (std::uint32_t levels = column->second; levels != 0; levels &= levels - 1) {
      const int level = std::countr_zero(levels);
      auto block = blocks_.find(blockKey(place.col, level, row >> level));
      if (block == blocks_.end()) continue;
      for (std::uint32_t id : block->second) {
        const TDependentList& list = rects_[id].dependents;
        if (!list.empty() && visit(list)) return true;
      }
    }
    return false;
  }

 private:
  struct TStored {
    TCellRect rect;
    TDependentList dependents;  // sorted, no duplicates
  };
  struct TRectHash {
    std::size_t operator()(const TCellRect& rect) const;
  };

  // Aligned blocks are numbered as in a binary heap over 2^31 rows: the
  // number tells both the block's size and its place.
  static std::uint64_t blockKey(std::int32_t col, int level, std::uint32_t index) {
    return (std::uint64_t{static_cast<std::uint32_t>(col)} << 32) | (std::uint32_t{1} << (31 - level)) | index;
  }
  void file(std::uint32_t id);
  // Rebuilds the store from the rectangles still read.
  void compact();

  TSizedPools& pools_;
  std::vector<TStored> rects_;
  std::unordered_map<TCellRect, std::uint32_t, TRectHash> ids_;
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> blocks_;
  // Per column, bit n set when a block of 2^n rows holds a rectangle.
  std::unordered_map<std::int32_t, std::uint32_t> columnLevels_;
  std::vector<std::uint32_t> wide_;
  std::int32_t firstCol_ = 0;
  std::int32_t lastCol_ = -1;
  std::size_t live_ = 0;  // rectangles whose list is not empty
  // The rectangle linked last: a column of lookups links one table over
  // and over. An index, checked against the rectangle it names.
  std::size_t lastLinked_ = 0;
};
