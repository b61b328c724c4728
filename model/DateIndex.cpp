#include "model/DateIndex.h"

#include <algorithm>
#include <numeric>

namespace {

// Counts per position with prefix sums and k-th search (Fenwick tree).
class TCountTree {
 public:
  explicit TCountTree(size_t size) : tree_(size + 1, 0) {}

  void add(size_t position, int delta) {
    for (size_t i = position + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
  }
  // Sum of the counts at positions below `end`.
  int prefix(size_t end) const {
    int sum = 0;
    for (size_t i = end; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }
  // The position holding the k-th unit (k from 1).
  size_t findKth(int k) const {
    size_t position = 0;
    size_t step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2) {
      if (position + step < tree_.size() && tree_[position + step] < k) {
        position += step;
        k -= tree_[position];
      }
    }
    return position;
  }

 private:
  std::vector<int> tree_;
};

// The position at which bisecting 0..size-1 first meets the run of equal
// dates first..last.
int bisectionHit(int first, int last, int size) {
  int lo = 0, hi = size - 1;
  for (;;) {
    const int mid = (lo + hi) / 2;
    if (mid > last) hi = mid - 1;
    else if (mid >= first) return mid;
    else lo = mid + 1;
  }
}

}  // namespace

std::vector<int32_t> dateIndexAsInserted(const std::vector<double>& dates) {
  const int count = static_cast<int>(dates.size());
  std::vector<int32_t> index(count);
  std::iota(index.begin(), index.end(), 0);
  // Common cases: dates strictly rising or strictly falling.
  if (std::adjacent_find(dates.begin(), dates.end(), std::greater_equal<double>()) == dates.end()) return index;
  if (std::adjacent_find(dates.begin(), dates.end(), std::less_equal<double>()) == dates.end()) {
    std::reverse(index.begin(), index.end());
    return index;
  }

  // Rank the distinct dates; records of one rank form a run in the index.
  std::vector<int32_t> byDate(index);
  std::stable_sort(byDate.begin(), byDate.end(), [&](int32_t a, int32_t b) { return dates[a] < dates[b]; });
  std::vector<int32_t> rank(count);
  std::vector<int32_t> runStart;  // first index position of each rank
  for (int i = 0; i < count; ++i) {
    if (i == 0 || dates[byDate[i]] != dates[byDate[i - 1]]) runStart.push_back(i);
    rank[byDate[i]] = static_cast<int32_t>(runStart.size() - 1);
  }
  const size_t rankCount = runStart.size();
  runStart.push_back(count);

  // Replay the additions: a record lands at the number of earlier records
  // with smaller dates, and among equal dates one before the bisection hit.
  TCountTree arrived(rankCount);
  std::vector<int32_t> arrivedOfRank(rankCount, 0);
  std::vector<int32_t> offsetInRun(count);
  for (int i = 0; i < count; ++i) {
    const int r = rank[i];
    const int first = arrived.prefix(r);
    const int equal = arrivedOfRank[r];
    int offset = 0;
    if (equal > 0) offset = std::max(first, bisectionHit(first, first + equal - 1, i) - 1) - first;
    offsetInRun[i] = offset;
    arrived.add(r, 1);
    ++arrivedOfRank[r];
  }

  // Within each run, the last addition keeps its offset; walking the
  // additions backwards, each takes the offset-th slot still free.
  for (size_t r = 0; r < rankCount; ++r) {
    const int start = runStart[r];
    const int size = runStart[r + 1] - start;
    if (size == 1) {
      index[start] = byDate[start];
      continue;
    }
    TCountTree freeSlots(size);
    for (int s = 0; s < size; ++s) freeSlots.add(s, 1);
    // byDate holds the run's records in arrival order (the sort was stable).
    for (int k = size - 1; k >= 0; --k) {
      const int32_t record = byDate[start + k];
      const size_t slot = freeSlots.findKth(offsetInRun[record] + 1);
      index[start + slot] = record;
      freeSlots.add(slot, -1);
    }
  }
  return index;
}
