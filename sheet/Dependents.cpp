#include "sheet/Dependents.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <utility>

#include "sheet/RangeLinks.h"
#include "sheet/ReadRects.h"

namespace {
// Beyond this many rectangles a binary search in the precedent's list is
// the cheaper test.
constexpr std::size_t readsScannedFirst = 16;
// How many places ahead a range's walk asks for the next lists.
constexpr std::int32_t prefetchDistance = 8;
// A page holds this many rows of one column: enough that a walk down a
// column looks a page up once in a while, few enough that a lone link far
// down the sheet costs little.
constexpr int pageShift = 5;
constexpr std::int32_t pageRows = 1 << pageShift;

std::uint64_t pageKey(TCellCoord place) {
  return (std::uint64_t{static_cast<std::uint32_t>(place.col)} << 32) |
         (static_cast<std::uint32_t>(place.row) >> pageShift);
}

// The order of TCellCoord as one number.
std::uint64_t sortKey(TCellCoord place) {
  return (std::uint64_t{static_cast<std::uint32_t>(place.col) ^ 0x80000000u} << 32) |
         (static_cast<std::uint32_t>(place.row) ^ 0x80000000u);
}

std::size_t rowInPage(TCellCoord place) { return static_cast<std::size_t>(place.row & (pageRows - 1)); }

struct TPageKeyHash {
  std::size_t operator()(std::uint64_t key) const {
    // Keys of neighbouring pages differ in a few low bits of either half.
    key ^= key >> 29;
    key *= 0xBF58476D1CE4E5B9ull;
    key ^= key >> 32;
    return static_cast<std::size_t>(key);
  }
};
}  // namespace

struct TDependents::TPlaceLinks {
  TDependentList dependents;  // sorted, no duplicates
  TReadRects reads;                    // what this place's formula recorded
  std::uint32_t visitMark = 0;
  bool inUse = false;  // holds a link either way; counted in its page
};

struct TDependents::TPage {
  std::array<TPlaceLinks, pageRows> places;
  std::uint32_t used = 0;  // places in use
};

// The pages in groups of neighbouring pages of one column, the groups by
// key, and a few groups looked up lately, each in the slot of its key: a
// formula's links touch the pages of its own place and those of the few
// places it reads, over and over, and a change running down a column goes
// from page to page. A lone link far down the sheet costs its group's
// table and its page.
struct TDependents::TPages {
  static constexpr int groupShift = 6;
  static constexpr std::size_t groupPages = std::size_t{1} << groupShift;
  static constexpr std::size_t cachedGroups = 8;
  struct TGroup {
    std::array<std::unique_ptr<TPage>, groupPages> pages;
    std::uint32_t used = 0;  // pages held
  };
  struct TCached {
    std::uint64_t key = 0;
    TGroup* group = nullptr;
  };

  std::unordered_map<std::uint64_t, std::unique_ptr<TGroup>, TPageKeyHash> groups;
  std::array<TCached, cachedGroups> cache{};
  std::size_t pageCount = 0;

  static std::uint64_t groupKey(std::uint64_t pageKey) {
    return (pageKey & ~std::uint64_t{0xFFFFFFFF}) | ((pageKey & 0xFFFFFFFF) >> groupShift);
  }
  static std::size_t indexInGroup(std::uint64_t pageKey) {
    return static_cast<std::size_t>(pageKey) & (groupPages - 1);
  }
  static std::size_t slotOf(std::uint64_t key) {
    return static_cast<std::size_t>(key ^ (key >> 32)) & (cachedGroups - 1);
  }

  TGroup* findGroup(std::uint64_t key) {
    TCached& cached = cache[slotOf(key)];
    if (cached.group && cached.key == key) return cached.group;
    auto found = groups.find(key);
    if (found == groups.end()) return nullptr;
    cached = {key, found->second.get()};
    return cached.group;
  }
  TPage* find(std::uint64_t key) {
    TGroup* group = findGroup(groupKey(key));
    return group ? group->pages[indexInGroup(key)].get() : nullptr;
  }
  // The same without filling the cache: readers of a sheet change nothing.
  const TPage* peek(std::uint64_t key) const {
    const std::uint64_t inGroups = groupKey(key);
    const TCached& cached = cache[slotOf(inGroups)];
    const TGroup* group = cached.group;
    if (!group || cached.key != inGroups) {
      auto found = groups.find(inGroups);
      if (found == groups.end()) return nullptr;
      group = found->second.get();
    }
    return group->pages[indexInGroup(key)].get();
  }
  TPage& grow(std::uint64_t key) {
    const std::uint64_t inGroups = groupKey(key);
    TGroup* group = findGroup(inGroups);
    if (!group) {
      auto& made = groups[inGroups];
      made = std::make_unique<TGroup>();
      group = made.get();
      cache[slotOf(inGroups)] = {inGroups, group};
    }
    std::unique_ptr<TPage>& page = group->pages[indexInGroup(key)];
    if (!page) {
      page = std::make_unique<TPage>();
      ++group->used;
      ++pageCount;
    }
    return *page;
  }
  void erase(std::uint64_t key) {
    const std::uint64_t inGroups = groupKey(key);
    TGroup* group = findGroup(inGroups);
    if (!group) return;
    std::unique_ptr<TPage>& page = group->pages[indexInGroup(key)];
    if (!page) return;
    page.reset();
    --pageCount;
    if (--group->used > 0) return;
    cache[slotOf(inGroups)].group = nullptr;
    groups.erase(inGroups);
  }
  // Frees the pages with no place in use, and the groups left empty.
  void eraseUnused() {
    forget();
    std::erase_if(groups, [this](const auto& entry) {
      TGroup& group = *entry.second;
      for (std::unique_ptr<TPage>& page : group.pages) {
        if (!page || page->used > 0) continue;
        page.reset();
        --group.used;
        --pageCount;
      }
      return group.used == 0;
    });
  }
  template <class Visit>
  void forEachPage(Visit visit) {
    for (auto& [key, group] : groups) {
      for (std::unique_ptr<TPage>& page : group->pages) {
        if (page) visit(*page);
      }
    }
  }
  void forget() { cache.fill({}); }
  void clear() {
    forget();
    groups.clear();
    pageCount = 0;
  }
};

TDependents::TDependents() : pages_(std::make_unique<TPages>()), ranges_(std::make_unique<TRangeLinks>(listPools_)) {}

TDependents::~TDependents() = default;

void TDependents::clear() {
  ++removals_;
  pages_->clear();
  ranges_->clear();
  visit_ = 0;
}

void TDependents::clearForRebuild() {
  ++removals_;
  // A full recalculation records mostly the links it drops here: the places
  // in use keep their lists' room for them. Places and pages that no link
  // used since the last rebuild go now, so storage trails the links by one
  // rebuild. The few large rectangles are filed again as they are read.
  ranges_->clear();
  pages_->eraseUnused();
  pages_->forEachPage([](TPage& page) {
    for (TPlaceLinks& links : page.places) {
      if (!links.inUse) {
        links = TPlaceLinks();
        continue;
      }
      links.dependents.clear();
      links.reads.clear();
      links.visitMark = 0;
      links.inUse = false;
    }
    page.used = 0;
  });
  visit_ = 0;
}

std::size_t TDependents::pageCount() const { return pages_->pageCount; }

std::size_t TDependents::storedRangeCount() const { return ranges_->size(); }

const TDependents::TPlaceLinks* TDependents::find(TCellCoord place) const {
  if (place.col < 0 || place.row < 0) return nullptr;
  const TPage* page = std::as_const(*pages_).peek(pageKey(place));
  return page ? &page->places[rowInPage(place)] : nullptr;
}

TDependents::TPlaceLinks* TDependents::find(TCellCoord place) {
  if (place.col < 0 || place.row < 0) return nullptr;
  TPage* page = pages_->find(pageKey(place));
  return page ? &page->places[rowInPage(place)] : nullptr;
}

TDependents::TPlaceLinks& TDependents::grow(TCellCoord place) { return use(pages_->grow(pageKey(place)), place); }

TDependents::TPlaceLinks& TDependents::use(TPage& page, TCellCoord place) {
  TPlaceLinks& links = page.places[rowInPage(place)];
  if (!links.inUse) {
    links.inUse = true;
    ++page.used;
  }
  return links;
}

void TDependents::release(TCellCoord place) {
  if (place.col < 0 || place.row < 0) return;
  const std::uint64_t key = pageKey(place);
  TPage* page = pages_->find(key);
  if (!page) return;
  TPlaceLinks& links = page->places[rowInPage(place)];
  if (!links.inUse || !links.dependents.empty() || !links.reads.empty()) return;
  links = TPlaceLinks();
  if (--page->used == 0) pages_->erase(key);
}

void TDependents::prefetchList(const TPlaceLinks& links) {
  if (!links.dependents.empty()) __builtin_prefetch(&links.dependents.back(), 1);
}

void TDependents::prefetchLinks(TCellCoord place) const {
  const auto* links = reinterpret_cast<const char*>(find(place));
  if (!links) return;
  // A place's links may straddle two lines.
  __builtin_prefetch(links);
  __builtin_prefetch(links + sizeof(TPlaceLinks) - 1);
}

std::uint32_t TDependents::nextVisit() {
  if (++visit_ == 0) {
    // The marks wrapped round: forget them all.
    pages_->forEachPage([](TPage& page) {
      for (TPlaceLinks& links : page.places) links.visitMark = 0;
    });
    visit_ = 1;
  }
  return visit_;
}

template <class Visit>
bool TDependents::anyDependent(TCellCoord place, Visit visit) const {
  if (const TPlaceLinks* links = find(place); links && links->dependents.any(visit)) return true;
  return ranges_->anyHolding(place, [&visit](const TDependentList& list) { return list.any(visit); });
}

template <class Reach>
bool TDependents::walkDependents(TCellCoord from, Reach reach) {
  // Diamonds (a column of =A(n-1)+A(n-2)) reach the same place along many
  // paths: each place is reached once.
  const std::uint32_t visit = nextVisit();
  if (TPlaceLinks* start = find(from)) start->visitMark = visit;
  pending_.clear();
  pending_.push_back(from);
  while (!pending_.empty()) {
    const TCellCoord place = pending_.back();
    pending_.pop_back();
    const bool ended = anyDependent(place, [&](TCellCoord dependent) {
      TPlaceLinks* links = find(dependent);
      if (links && links->visitMark == visit) return false;
      if (reach(dependent)) return true;
      if (links) links->visitMark = visit;
      if ((links && !links->dependents.empty()) || ranges_->mayHold(dependent.col)) pending_.push_back(dependent);
      return false;
    });
    if (ended) return true;
  }
  return false;
}

bool TDependents::isReachable(TCellCoord from, TCellCoord to) { return reaches(from, find(from), to); }

bool TDependents::reaches(TCellCoord from, const TPlaceLinks* fromLinks, TCellCoord to) {
  if (from == to) return true;
  // The common case of a formula being entered, whose links are tested one
  // by one.
  if (readByNone(from, fromLinks)) return false;
  return walkDependents(from, [to](TCellCoord dependent) { return dependent == to; });
}

bool TDependents::readByNone(TCellCoord place) const { return readByNone(place, find(place)); }

bool TDependents::readByNone(TCellCoord place, const TPlaceLinks* links) const {
  return !ranges_->mayHold(place.col) && (!links || links->dependents.empty());
}

void TDependents::collectReachable(TCellCoord from) {
  reached_.clear();
  reached_.push_back(from);
  walkDependents(from, [this](TCellCoord dependent) {
    reached_.push_back(dependent);
    return false;
  });
}

bool TDependents::insertLink(TCellCoord dependent, TCellCoord precedent) {
  return grow(precedent).dependents.insertSorted(dependent, listPools_);
}

bool TDependents::eraseLink(TCellCoord dependent, TCellCoord precedent) {
  TPlaceLinks* links = find(precedent);
  if (!links || !links->dependents.eraseSorted(dependent)) return false;
  ++removals_;
  if (links->dependents.empty()) release(precedent);
  return true;
}

void TDependents::linkRect(TCellCoord dependent, const TCellRect& rect) {
  if (TRangeLinks::storedOnce(rect)) {
    ranges_->link(rect, dependent);
    return;
  }
  // Every place, a page at a time: one look-up for its rows.
  for (std::int32_t col = rect.first.col; col <= rect.last.col; ++col) {
    for (std::int32_t row = rect.first.row; row <= rect.last.row;) {
      TPage& page = pages_->grow(pageKey({col, row}));
      const std::int32_t pageEnd = std::min(rect.last.row, row | (pageRows - 1));
      for (; row <= pageEnd; ++row) {
        // The lists of a column lie all over the heap: asking for one a few
        // places ahead hides the wait for its memory.
        if (row + prefetchDistance <= pageEnd) prefetchList(page.places[rowInPage({col, row + prefetchDistance})]);
        use(page, {col, row}).dependents.insertSorted(dependent, listPools_);
      }
    }
  }
}

void TDependents::recordRead(TCellCoord dependent, const TCellRect& rect) {
  auto& reads = grow(dependent).reads;
  const bool storedOnce = TRangeLinks::storedOnce(rect);
  // A rectangle inside the new one is kept only where its links are not
  // the new one's: a small one's links lie in places the large one does
  // not link one by one, and the others that share them may stay.
  reads.eraseIf([&](const TCellRect& read) {
    if (!rect.contains(read.first) || !rect.contains(read.last)) return false;
    if (!TRangeLinks::storedOnce(read)) return !storedOnce;
    ranges_->unlink(read, dependent);
    return true;
  });
  reads.push_back(rect, listPools_);
}

void TDependents::addDependent(TCellCoord dependent, TCellCoord precedent) {
  // A formula evaluated again records the same places: its own rectangles,
  // which its other references have just read, answer that without a look
  // at the precedent's list, and a formula just entered has none. A link
  // that exists cannot close a cycle (the lists hold none), so the cycle
  // test is only needed for a new one.
  const TPlaceLinks* own = find(dependent);
  if (linked(own, dependent, precedent)) return;
  if (reaches(dependent, own, precedent)) throw ECircularReference();
  insertLink(dependent, precedent);
  recordRead(dependent, TCellRect{precedent, precedent});
}

void TDependents::addDependentRange(TCellCoord dependent, TCellCoord first, TCellCoord last) {
  if (first.col > last.col || first.row > last.row) return;
  TCellRect rect{first, last};
  const TPlaceLinks* own = find(dependent);
  // Recorded whole before: every link is there already.
  if (own && std::find(own->reads.begin(), own->reads.end(), rect) != own->reads.end()) return;
  // A formula just entered reaches nothing: no cycle can close.
  if (readByNone(dependent, own) && !rect.contains(dependent)) {
    linkRect(dependent, rect);
    recordRead(dependent, rect);
    return;
  }
  // One walk finds every place the dependent reaches; the first of them in
  // the rectangle (column by column) is where the cycle would close.
  collectReachable(dependent);
  TCellCoord stop{last.col + 1, first.row};
  bool cycle = false;
  for (TCellCoord place : reached_) {
    if (rect.contains(place) && place < stop) {
      stop = place;
      cycle = true;
    }
  }
  if (!cycle) {
    linkRect(dependent, rect);
    recordRead(dependent, rect);
    return;
  }
  // Link exactly the places before the stop: the whole columns before it,
  // then the start of its column.
  if (stop.col > first.col) {
    const TCellRect columns{first, {stop.col - 1, last.row}};
    linkRect(dependent, columns);
    recordRead(dependent, columns);
  }
  if (stop.row > first.row) {
    const TCellRect column{{stop.col, first.row}, {stop.col, stop.row - 1}};
    linkRect(dependent, column);
    recordRead(dependent, column);
  }
  throw ECircularReference();
}

void TDependents::removeDependent(TCellCoord dependent, TCellCoord precedent) {
  TPlaceLinks* links = find(dependent);
  if (!links) return;
  bool erased = eraseLink(dependent, precedent);
  // Keep the recorded rectangles exact: each one holding the precedent is
  // cut into the parts around it. A rectangle stored once leaves its store
  // and its parts are linked as rectangles of their own.
  std::vector<TCellRect> kept;
  std::vector<TCellRect> relinked;
  for (const TCellRect& read : links->reads) {
    if (!read.contains(precedent)) {
      kept.push_back(read);
      continue;
    }
    const std::size_t partsBegin = kept.size();
    if (read.first.col < precedent.col) kept.push_back({read.first, {precedent.col - 1, read.last.row}});
    if (read.last.col > precedent.col) kept.push_back({{precedent.col + 1, read.first.row}, read.last});
    if (read.first.row < precedent.row) kept.push_back({{precedent.col, read.first.row}, {precedent.col, precedent.row - 1}});
    if (read.last.row > precedent.row) kept.push_back({{precedent.col, precedent.row + 1}, {precedent.col, read.last.row}});
    if (!TRangeLinks::storedOnce(read)) continue;
    if (ranges_->unlink(read, dependent) && !erased) {
      ++removals_;
      erased = true;
    }
    relinked.insert(relinked.end(), kept.begin() + static_cast<std::ptrdiff_t>(partsBegin), kept.end());
  }
  if (!erased) return;
  links->reads.clear();
  for (const TCellRect& read : kept) links->reads.push_back(read, listPools_);
  // Parts of links that existed: they close no cycle.
  for (const TCellRect& part : relinked) linkRect(dependent, part);
  release(dependent);
}

void TDependents::removeFromAll(TCellCoord dependent) {
  TPlaceLinks* links = find(dependent);
  if (!links || links->reads.empty()) return;
  // Taken out while the links go, and put back empty: a formula evaluated
  // afresh records its rectangles again in the same room.
  TReadRects reads = std::move(links->reads);
  for (const TCellRect& read : reads) {
    if (TRangeLinks::storedOnce(read)) {
      if (ranges_->unlink(read, dependent)) ++removals_;
      continue;
    }
    for (std::int32_t col = read.first.col; col <= read.last.col; ++col) {
      for (std::int32_t row = read.first.row; row <= read.last.row; ++row) eraseLink(dependent, {col, row});
    }
  }
  reads.clear();
  if (TPlaceLinks* kept = find(dependent)) kept->reads = std::move(reads);
  release(dependent);
}

std::vector<TCellCoord> TDependents::getDependents(TCellCoord precedent) const {
  std::vector<TCellCoord> dependents;
  appendDependents(precedent, dependents);
  return dependents;
}

void TDependents::appendDependents(TCellCoord precedent, std::vector<TCellCoord>& out) const {
  appendDependents(find(precedent), precedent, out);
}

void TDependents::appendDependents(TCellCoord precedent, std::vector<TCellCoord>& out) {
  appendDependents(find(precedent), precedent, out);
}

bool TDependents::allDependents(TCellCoord precedent, TDependentTest test, void* context) {
  const auto fails = [test, context](TCellCoord dependent) { return !test(context, dependent); };
  if (const TPlaceLinks* links = find(precedent); links && links->dependents.any(fails)) return false;
  return !ranges_->anyHolding(precedent, [&fails](const TDependentList& list) { return list.any(fails); });
}

void TDependents::appendDependents(const TPlaceLinks* links, TCellCoord precedent,
                                   std::vector<TCellCoord>& out) const {
  const std::size_t base = out.size();
  auto append = [&out](const TCellCoord* first, const TCellCoord* last) {
    out.insert(out.end(), first, last);
    return false;
  };
  if (links) links->dependents.anyRun(append);
  // The lists of the rectangles holding the place follow. Each is sorted,
  // and rectangles filed side by side were mostly read by formulas side by
  // side: the few ascending runs they make are merged.
  bool sorted = true;
  ranges_->anyHolding(precedent, [&](const TDependentList& list) {
    if (out.size() > base && !(out.back() < list.front())) {
      if (sorted) {
        runStarts_.assign(1, 0);
        sorted = false;
      }
      runStarts_.push_back(out.size() - base);
    }
    return list.anyRun(append);
  });
  if (!sorted) mergeRuns(out, base);
}

void TDependents::mergeRuns(std::vector<TCellCoord>& out, std::size_t base) const {
  // Compared as one number each: the member-wise order costs twice the time.
  auto less = [](TCellCoord a, TCellCoord b) { return sortKey(a) < sortKey(b); };
  const std::size_t count = out.size() - base;
  mergeScratch_.resize(count);
  TCellCoord* from = out.data() + base;
  TCellCoord* to = mergeScratch_.data();
  runStarts_.push_back(count);
  // Neighbouring runs merged in pairs until one is left; the last entry of
  // runStarts_ is where the last run ends.
  while (runStarts_.size() > 2) {
    const std::size_t runs = runStarts_.size() - 1;
    std::size_t kept = 0;
    for (std::size_t run = 0; run < runs; run += 2) {
      const std::size_t begin = runStarts_[run];
      const std::size_t middle = runStarts_[run + 1];
      const std::size_t end = run + 2 <= runs ? runStarts_[run + 2] : middle;
      std::merge(from + begin, from + middle, from + middle, from + end, to + begin, less);
      runStarts_[kept++] = begin;
    }
    runStarts_[kept++] = count;
    runStarts_.resize(kept);
    std::swap(from, to);
  }
  if (from != out.data() + base) std::copy(from, from + count, out.data() + base);
  out.erase(std::unique(out.begin() + static_cast<std::ptrdiff_t>(base), out.end()), out.end());
}

bool TDependents::hasLink(TCellCoord dependent, TCellCoord precedent) const {
  return linked(find(dependent), dependent, precedent);
}

bool TDependents::linked(const TPlaceLinks* links, TCellCoord dependent, TCellCoord precedent) const {
  if (!links) return false;
  // The links of a formula are the places of the rectangles it recorded.
  if (links->reads.size() <= readsScannedFirst) {
    for (const TCellRect& read : links->reads) {
      if (read.contains(precedent)) return true;
    }
    return false;
  }
  if (const TPlaceLinks* read = find(precedent); read && read->dependents.containsSorted(dependent)) return true;
  return ranges_->anyHolding(precedent, [dependent](const TDependentList& list) { return list.containsSorted(dependent); });
}
