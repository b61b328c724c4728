#include "sheet/RangeLinks.h"

#include <algorithm>
#include <utility>

std::size_t TRangeLinks::TRectHash::operator()(const TCellRect& rect) const {
  std::uint64_t key = (std::uint64_t{static_cast<std::uint32_t>(rect.first.col)} << 32) ^
                      static_cast<std::uint32_t>(rect.first.row);
  key = key * 0x9E3779B97F4A7C15ull ^ (std::uint64_t{static_cast<std::uint32_t>(rect.last.col)} << 32) ^
        static_cast<std::uint32_t>(rect.last.row);
  key ^= key >> 29;
  key *= 0xBF58476D1CE4E5B9ull;
  key ^= key >> 32;
  return static_cast<std::size_t>(key);
}

bool TRangeLinks::link(const TCellRect& rect, TCellCoord dependent) {
  if (lastLinked_ >= rects_.size() || !(rects_[lastLinked_].rect == rect)) {
    auto [found, added] = ids_.try_emplace(rect, static_cast<std::uint32_t>(rects_.size()));
    if (added) {
      rects_.push_back(TStored{rect, TDependentList()});
      file(found->second);
    }
    lastLinked_ = found->second;
  }
  TDependentList& list = rects_[lastLinked_].dependents;
  const bool wasEmpty = list.empty();
  if (!list.insertSorted(dependent, pools_)) return false;
  if (wasEmpty) ++live_;
  return true;
}

bool TRangeLinks::unlink(const TCellRect& rect, TCellCoord dependent) {
  auto found = ids_.find(rect);
  if (found == ids_.end()) return false;
  TDependentList& list = rects_[found->second].dependents;
  if (!list.eraseSorted(dependent)) return false;
  if (list.empty()) {
    --live_;
    // A rectangle no formula reads stays filed, ready for the next formula
    // that reads it, until they outnumber the rectangles read.
    if (rects_.size() - live_ > live_) compact();
  }
  return true;
}

void TRangeLinks::clear() {
  // Assigned empty rather than cleared, so that the hash tables' buckets go
  // back too.
  rects_ = decltype(rects_)();
  ids_ = decltype(ids_)();
  blocks_ = decltype(blocks_)();
  columnLevels_ = decltype(columnLevels_)();
  wide_ = decltype(wide_)();
  firstCol_ = 0;
  lastCol_ = -1;
  live_ = 0;
}

void TRangeLinks::file(std::uint32_t id) {
  const TCellRect& rect = rects_[id].rect;
  if (firstCol_ > lastCol_) {
    firstCol_ = rect.first.col;
    lastCol_ = rect.last.col;
  } else {
    firstCol_ = std::min(firstCol_, rect.first.col);
    lastCol_ = std::max(lastCol_, rect.last.col);
  }
  if (std::int64_t{rect.last.col} - rect.first.col >= columnsFiledOneByOne) {
    wide_.push_back(id);
    return;
  }
  for (std::int32_t col = rect.first.col; col <= rect.last.col; ++col) {
    std::uint32_t& levels = columnLevels_[col];
    // The rows as the fewest aligned blocks: at each size, the block at
    // either end that the blocks twice its size do not take whole.
    std::uint64_t low = static_cast<std::uint32_t>(rect.first.row);
    std::uint64_t high = std::uint64_t{static_cast<std::uint32_t>(rect.last.row)} + 1;
    for (int level = 0; low < high; ++level, low >>= 1, high >>= 1) {
      if (low & 1) {
        blocks_[blockKey(col, level, static_cast<std::uint32_t>(low++))].push_back(id);
        levels |= std::uint32_t{1} << level;
      }
      if (high & 1) {
        blocks_[blockKey(col, level, static_cast<std::uint32_t>(--high))].push_back(id);
        levels |= std::uint32_t{1} << level;
      }
    }
  }
}

void TRangeLinks::compact() {
  std::vector<TStored> kept;
  kept.reserve(live_);
  for (TStored& stored : rects_) {
    if (!stored.dependents.empty()) kept.push_back(std::move(stored));
  }
  const std::size_t live = live_;
  clear();
  rects_ = std::move(kept);
  live_ = live;
  for (std::uint32_t id = 0; id < rects_.size(); ++id) {
    ids_.emplace(rects_[id].rect, id);
    file(id);
  }
}
