#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

// The model's one in-place ascending sort. The partition value is the mean of
// the keys at the two ends of the range (a value, not an element); equal keys
// may change their order. Records that sort by a key of their own (dates,
// path lengths) use quickSortBy with the same scheme.

struct TSortPair {
  int32_t tag;
  int32_t key;
};

void quickSortPairs(std::vector<TSortPair>& pairs);
void quickSortIntegers(std::vector<int32_t>& values);
// Sorts the first count values; a count beyond the array's size sorts the whole array.
void quickSortFirstDoubles(std::vector<double>& values, size_t count);
void quickSortDoubles(std::vector<double>& values);

// Sorts items[0 .. count-1] by keyOf(item), a number (integral or floating).
template <class T, class KeyOf>
void quickSortBy(T* items, size_t count, KeyOf keyOf);

// ---------------------------------------------------------------------------

namespace quickSortDetail {

// The mean of the two end keys. Integer means truncate toward zero and are
// taken in a wider type so that large keys cannot overflow into a value
// outside the range; a floating sum that overflows is halved first, and the
// mean of -inf and +inf is taken as 0, so the pivot always lies between them.
template <class K>
K midpoint(K a, K b) {
  if constexpr (std::is_integral_v<K>) {
    if constexpr (sizeof(K) <= 4)
      return static_cast<K>((static_cast<int64_t>(a) + static_cast<int64_t>(b)) / 2);
    else
      return static_cast<K>((static_cast<__int128>(a) + static_cast<__int128>(b)) / 2);
  } else {
    K sum = a + b;
    if (std::isfinite(sum) || std::isnan(a) || std::isnan(b)) return sum / 2;
    if (std::isinf(a) || std::isinf(b)) return std::isnan(sum) ? K(0) : sum;
    return a / 2 + b / 2;
  }
}

template <class T, class KeyOf>
void heapSort(T* items, ptrdiff_t count, KeyOf& keyOf) {
  auto siftDown = [&](ptrdiff_t root, ptrdiff_t end) {
    for (;;) {
      ptrdiff_t child = 2 * root + 1;
      if (child >= end) return;
      if (child + 1 < end && keyOf(items[child]) < keyOf(items[child + 1])) ++child;
      if (!(keyOf(items[root]) < keyOf(items[child]))) return;
      std::swap(items[root], items[child]);
      root = child;
    }
  };
  for (ptrdiff_t start = count / 2 - 1; start >= 0; --start) siftDown(start, count);
  for (ptrdiff_t end = count - 1; end > 0; --end) {
    std::swap(items[0], items[end]);
    siftDown(0, end);
  }
}

// Recursion goes to the smaller part and the loop goes on with the larger,
// so the stack stays logarithmic. Inputs that make the end-mean partition
// peel off a few elements at a time (a sorted list with a smaller element
// appended is one) would take quadratic time; past a generous depth the rest
// of that range is heap-sorted instead.
template <class T, class KeyOf>
void sortRange(T* items, ptrdiff_t lo, ptrdiff_t hi, KeyOf& keyOf, int depthLeft) {
  while (lo < hi) {
    if (depthLeft-- == 0) {
      heapSort(items + lo, hi - lo + 1, keyOf);
      return;
    }
    const auto pivot = midpoint(keyOf(items[lo]), keyOf(items[hi]));
    ptrdiff_t i = lo;
    ptrdiff_t j = hi;
    do {
      // The bounds only matter for keys without a total order (NaN).
      while (i <= hi && keyOf(items[i]) < pivot) ++i;
      while (j >= lo && pivot < keyOf(items[j])) --j;
      if (i <= j) {
        std::swap(items[i], items[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      if (lo < j) sortRange(items, lo, j, keyOf, depthLeft);
      lo = i;
    } else {
      if (i < hi) sortRange(items, i, hi, keyOf, depthLeft);
      hi = j;
    }
  }
}

inline int depthAllowance(size_t count) {
  int levels = 0;
  while (count > 1) {
    count >>= 1;
    ++levels;
  }
  return 4 * levels + 32;
}

}  // namespace quickSortDetail

template <class T, class KeyOf>
void quickSortBy(T* items, size_t count, KeyOf keyOf) {
  if (count < 2) return;
  quickSortDetail::sortRange(items, 0, static_cast<ptrdiff_t>(count) - 1, keyOf,
                             quickSortDetail::depthAllowance(count));
}
