#pragma once
#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "sheet/PooledItems.h"

// A place of the sheet's grid, 0-based (column - 1, row - 1).
struct TCellCoord {
  std::int32_t col = 0;
  std::int32_t row = 0;
  // Dependents lists are sorted by column, then by row.
  auto operator<=>(const TCellCoord&) const = default;
};

// A rectangle of places, corners inclusive, first <= last in both directions.
struct TCellRect {
  TCellCoord first;
  TCellCoord last;
  bool contains(TCellCoord place) const {
    return place.col >= first.col && place.col <= last.col && place.row >= first.row && place.row <= last.row;
  }
  bool operator==(const TCellRect&) const = default;
};

// The sorted places whose formulas read one place (or one large rectangle,
// stored once). Most places are read by one or two formulas, and a sheet of
// many formulas holds such a list for nearly every place: up to two live in
// the list itself, so that they cost no heap block. Cleared, a list keeps
// its room.
//
// A place read by thousands (a rate, a table) gets its readers in no
// order that suits a sorted array: rows entered one by one in two columns
// put each new reader before the other column's, and a column cleared from
// the top takes them off the front. A list of blockedFrom places or more
// that is changed anywhere but at its end is kept from then on in sorted
// blocks of at most maxBlock, so that a change moves one block's places,
// not the whole list's; one filled in order stays a single array.
class TDependentList {
 public:
  TDependentList() = default;
  ~TDependentList() { freeHeap(); }
  TDependentList(const TDependentList&) = delete;
  TDependentList& operator=(const TDependentList&) = delete;
  TDependentList(TDependentList&& other) noexcept { take(other); }
  TDependentList& operator=(TDependentList&& other) noexcept {
    if (this != &other) {
      freeHeap();
      take(other);
    }
    return *this;
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const TCellCoord& front() const { return blocked() ? storage_.blocks->front().front() : flat()[0]; }
  const TCellCoord& back() const { return blocked() ? storage_.blocks->back().back() : flat()[size_ - 1]; }
  // Calls visit(first, last) for each run of places side by side in
  // memory, in order, until visit returns true; true when it did.
  template <class Visit>
  bool anyRun(Visit visit) const {
    if (!blocked()) return size_ != 0 && visit(flat(), flat() + size_);
    for (const TBlock& block : *storage_.blocks) {
      if (visit(block.data(), block.data() + block.size())) return true;
    }
    return false;
  }
  // Calls visit(place) for each place in order until visit returns true.
  template <class Visit>
  bool any(Visit visit) const {
    return anyRun([&visit](const TCellCoord* first, const TCellCoord* last) {
      for (; first != last; ++first) {
        if (visit(*first)) return true;
      }
      return false;
    });
  }
  void clear() {
    if (blocked()) storage_.blocks->clear();
    size_ = 0;
  }

  // Inserts place where it sorts; false when it is there already.
  bool insertSorted(TCellCoord place, TSizedPools& pools) {
    if (blocked()) return insertBlocked(place);
    // Lists are mostly filled in order: a full recalculation records the
    // dependents of a place as its walk reaches them.
    if (empty() || back() < place) {
      insert(size_, place, pools);
      return true;
    }
    const TCellCoord* position = lowerBound(place);
    if (position != flat() + size_ && *position == place) return false;
    if (size_ >= blockedFrom && makeBlocked()) return insertBlocked(place);
    insert(static_cast<std::size_t>(position - flat()), place, pools);
    return true;
  }
  // Drops place; false when it was not there.
  bool eraseSorted(TCellCoord place) {
    if (blocked()) return eraseBlocked(place);
    const TCellCoord* position = lowerBound(place);
    if (position == flat() + size_ || *position != place) return false;
    if (size_ >= blockedFrom && position + 1 != flat() + size_ && makeBlocked()) return eraseBlocked(place);
    erase(static_cast<std::size_t>(position - flat()));
    return true;
  }
  bool containsSorted(TCellCoord place) const {
    if (blocked()) {
      if (storage_.blocks->empty()) return false;
      const TBlock& block = *blockFor(place);
      return std::binary_search(block.begin(), block.end(), place);
    }
    const TCellCoord* position = lowerBound(place);
    return position != flat() + size_ && *position == place;
  }

 private:
  static constexpr std::uint32_t inPlaceCapacity = 2;
  static constexpr std::uint32_t blockedFrom = 512;
  static constexpr std::size_t maxBlock = 256;
  using TBlock = std::vector<TCellCoord>;
  using TBlocks = std::vector<TBlock>;  // none empty, each sorting before the next
  // capacity_ of a blocked list.
  static constexpr std::uint32_t blockedMark = 0;

  bool blocked() const { return capacity_ == blockedMark; }
  const TCellCoord* flat() const { return onHeap() ? storage_.heap : storage_.inPlace; }
  const TCellCoord* lowerBound(TCellCoord place) const { return std::lower_bound(flat(), flat() + size_, place); }
  // place at index position, the places from there on moved up.
  void insert(std::size_t position, TCellCoord place, TSizedPools& pools) {
    if (size_ == capacity_) grow(pools);
    TCellCoord* items = data();
    for (std::size_t i = size_; i > position; --i) items[i] = items[i - 1];
    items[position] = place;
    ++size_;
  }
  void erase(std::size_t position) {
    TCellCoord* items = data();
    for (std::size_t i = position + 1; i < size_; ++i) items[i - 1] = items[i];
    --size_;
  }
  // The block where place is or would go: the last whose first place is
  // not after it (the first block for a place before them all).
  TBlocks::iterator blockFor(TCellCoord place) const {
    TBlocks& blocks = *storage_.blocks;
    auto after = std::upper_bound(blocks.begin(), blocks.end(), place,
                                  [](TCellCoord key, const TBlock& block) { return key < block.front(); });
    return after == blocks.begin() ? after : after - 1;
  }
  bool insertBlocked(TCellCoord place) {
    TBlocks& blocks = *storage_.blocks;
    if (blocks.empty()) blocks.emplace_back();
    // Readers still come mostly in order: the last block without a search.
    auto block = blocks.back().empty() || blocks.back().back() < place ? blocks.end() - 1 : blockFor(place);
    auto position = std::lower_bound(block->begin(), block->end(), place);
    if (position != block->end() && *position == place) return false;
    block->insert(position, place);
    ++size_;
    if (block->size() > maxBlock) {
      // The upper half placed before the lower one is cut: a want of memory
      // leaves one block too large rather than places lost.
      const auto index = block - blocks.begin();
      const std::size_t half = block->size() / 2;
      blocks.insert(block + 1, TBlock(block->begin() + static_cast<std::ptrdiff_t>(half), block->end()));
      blocks[static_cast<std::size_t>(index)].resize(half);
    }
    return true;
  }
  bool eraseBlocked(TCellCoord place) {
    TBlocks& blocks = *storage_.blocks;
    if (blocks.empty()) return false;
    auto block = blockFor(place);
    auto position = std::lower_bound(block->begin(), block->end(), place);
    if (position == block->end() || *position != place) return false;
    block->erase(position);
    --size_;
    if (block->empty()) blocks.erase(block);
    return true;
  }
  // The flat list into blocks of half the largest size, so that the
  // next places go in without a split. False, the list left as it is, when
  // memory is short: a reader then goes in or out as it did, and dropping
  // one never fails.
  bool makeBlocked() {
    std::unique_ptr<TBlocks> blocks;
    try {
      blocks = std::make_unique<TBlocks>();
      const TCellCoord* items = flat();
      for (std::size_t first = 0; first < size_; first += maxBlock / 2) {
        const std::size_t last = std::min<std::size_t>(size_, first + maxBlock / 2);
        blocks->emplace_back(items + first, items + last);
      }
    } catch (const std::bad_alloc&) {
      return false;
    }
    freeHeap();
    storage_.blocks = blocks.release();
    capacity_ = blockedMark;
    return true;
  }

  bool onHeap() const { return capacity_ > inPlaceCapacity; }
  TCellCoord* data() { return onHeap() ? storage_.heap : storage_.inPlace; }
  void grow(TSizedPools& pools) {
    const std::uint32_t capacity = capacity_ * 2;
    auto* items = takeItems<TCellCoord>(capacity, pools);
    const TCellCoord* from = flat();
    for (std::uint32_t i = 0; i < size_; ++i) items[i] = from[i];
    freeHeap();
    storage_.heap = items;
    capacity_ = capacity;
  }
  void freeHeap() {
    if (blocked()) {
      delete storage_.blocks;
    } else if (onHeap()) {
      releaseItems(storage_.heap, capacity_);
    }
  }
  // Leaves other empty, with its room in place again.
  void take(TDependentList& other) {
    storage_ = other.storage_;
    size_ = other.size_;
    capacity_ = other.capacity_;
    other.size_ = 0;
    other.capacity_ = inPlaceCapacity;
  }

  union TStorage {
    TCellCoord inPlace[inPlaceCapacity];
    TCellCoord* heap;
    TBlocks* blocks;
  } storage_{};
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = inPlaceCapacity;
};

class TRangeLinks;

// A reference that would make a formula depend on its own result.
struct ECircularReference : std::runtime_error {
  ECircularReference() : std::runtime_error("") {}
};

// For every place that formulas read (a precedent), the sorted list of the
// places whose formulas read it (its dependents); recalculation walks these
// lists after a change. A link that would close a cycle is refused with
// ECircularReference, so the lists never hold a cycle.
//
// A large rectangle is stored once with the list of the formulas reading it
// (TRangeLinks): a place's dependents are its own list merged with the lists
// of the stored rectangles holding it.
//
// Beside the lists, every dependent keeps the rectangles it has recorded, so
// that dropping a formula's links costs the size of what it read, not a pass
// over every list.
//
// The lists are kept in pages of a few rows of one column, made when a place
// in them gets its first link and freed when the last place in them loses
// its last: memory follows the links that exist, not the largest row or
// column ever read (a sheet has 2,147,483,647 rows).
class TDependents {
 public:
  TDependents();
  ~TDependents();
  TDependents(const TDependents&) = delete;
  TDependents& operator=(const TDependents&) = delete;

  // Every link dropped.
  void clear();
  // Every link dropped before a full recalculation records them again; the
  // storage of the pages still in use is kept for them, the rest freed.
  void clearForRebuild();

  // True when from = to or to can be reached from from by following
  // dependents lists. Iterative, visiting each place once.
  bool isReachable(TCellCoord from, TCellCoord to);

  // Records that dependent's formula reads precedent; raises
  // ECircularReference (recording nothing) when precedent is dependent or
  // can be reached from it. A link already recorded is kept once.
  void addDependent(TCellCoord dependent, TCellCoord precedent);
  // The same for every place of a rectangle, columns in the outer loop; at
  // the first place that would close a cycle ECircularReference is raised
  // and the links recorded before it stay.
  void addDependentRange(TCellCoord dependent, TCellCoord first, TCellCoord last);

  // Drops one link (nothing when it does not exist).
  void removeDependent(TCellCoord dependent, TCellCoord precedent);
  // Drops every link whose dependent is the given place: its formula was
  // changed, cleared or is evaluated afresh.
  void removeFromAll(TCellCoord dependent);

  // A copy of precedent's dependents (empty when no formula reads it).
  std::vector<TCellCoord> getDependents(TCellCoord precedent) const;
  // Appends precedent's dependents to out, sorted, each once. Without const
  // the pages looked up stay at hand for the next places: a propagation
  // goes down a column, and a formula that records nothing looks up none.
  void appendDependents(TCellCoord precedent, std::vector<TCellCoord>& out) const;
  void appendDependents(TCellCoord precedent, std::vector<TCellCoord>& out);
  // True when test(context, dependent) holds for each of precedent's
  // dependents (none: true), read where the lists lie instead of copied;
  // the pages looked up stay at hand as with appendDependents.
  using TDependentTest = bool (*)(void* context, TCellCoord dependent);
  bool allDependents(TCellCoord precedent, TDependentTest test, void* context);
  // True when no formula reads place, so that it reaches no other.
  bool readByNone(TCellCoord place) const;
  // True when dependent's formula has a link to precedent.
  bool hasLink(TCellCoord dependent, TCellCoord precedent) const;
  // Starts loading the links kept for place into the cache: a formula
  // evaluated there records its links against them.
  void prefetchLinks(TCellCoord place) const;
  // Counts the links dropped so far: only a dropped link can break a cycle.
  std::uint64_t removalCount() const { return removals_; }
  // The pages held, each for a few places: what the links cost in memory.
  std::size_t pageCount() const;
  // The large rectangles stored once, each for the formulas reading it.
  std::size_t storedRangeCount() const;

 private:
  struct TPlaceLinks;
  struct TPage;
  struct TPages;

  const TPlaceLinks* find(TCellCoord place) const;
  TPlaceLinks* find(TCellCoord place);
  TPlaceLinks& grow(TCellCoord place);
  // The place's links in its page, counted in use.
  static TPlaceLinks& use(TPage& page, TCellCoord place);
  // Frees the place's lists when it holds no link, and its page when that
  // was the page's last place in use.
  void release(TCellCoord place);
  std::uint32_t nextVisit();
  // Calls visit(dependent) for each of place's dependents, those of its own
  // list first, until visit returns true; a dependent may come twice.
  template <class Visit>
  bool anyDependent(TCellCoord place, Visit visit) const;
  // Depth first along the dependents lists from `from`, visiting each place
  // once: reach(dependent) is called for every place not reached yet and
  // ends the walk by returning true. False when nothing ended it.
  template <class Reach>
  bool walkDependents(TCellCoord from, Reach reach);
  // hasLink, with the dependent's links (nullptr: it has none).
  bool linked(const TPlaceLinks* links, TCellCoord dependent, TCellCoord precedent) const;
  // isReachable, with from's links when known (nullptr: it has none).
  bool reaches(TCellCoord from, const TPlaceLinks* fromLinks, TCellCoord to);
  bool readByNone(TCellCoord place, const TPlaceLinks* links) const;
  // Every place reachable from from (from included) into reached_.
  void collectReachable(TCellCoord from);
  // Starts loading the end of the place's list into the cache.
  static void prefetchList(const TPlaceLinks& links);
  // Links dependent to every place of rect: once for the rectangle when it
  // is large, in each place otherwise. No cycle test.
  void linkRect(TCellCoord dependent, const TCellRect& rect);
  // Sorts the runs of out from base on (their starts in runStarts_) into
  // one, each place once.
  void mergeRuns(std::vector<TCellCoord>& out, std::size_t base) const;
  void appendDependents(const TPlaceLinks* links, TCellCoord precedent, std::vector<TCellCoord>& out) const;
  // Inserts dependent into precedent's own list; false when it was there.
  bool insertLink(TCellCoord dependent, TCellCoord precedent);
  bool eraseLink(TCellCoord dependent, TCellCoord precedent);
  void recordRead(TCellCoord dependent, const TCellRect& rect);

  // The room of the longer lists; it outlives them.
  TSizedPools listPools_;
  std::unique_ptr<TPages> pages_;
  std::unique_ptr<TRangeLinks> ranges_;
  std::uint32_t visit_ = 0;
  std::uint64_t removals_ = 0;
  std::vector<TCellCoord> pending_;
  std::vector<TCellCoord> reached_;
  // Room for merging the lists of a place's dependents.
  mutable std::vector<std::size_t> runStarts_;
  mutable std::vector<TCellCoord> mergeScratch_;
};
