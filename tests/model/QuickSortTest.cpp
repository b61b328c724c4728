#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <random>

#include "model/QuickSort.h"
#include "tests/support/ThreadTime.h"

namespace {

constexpr int32_t intMax = std::numeric_limits<int32_t>::max();
constexpr int32_t intMin = std::numeric_limits<int32_t>::min();
constexpr double inf = std::numeric_limits<double>::infinity();

template <class T>
void expectSortedLikeStd(std::vector<T> values, void (*sort)(std::vector<T>&)) {
  std::vector<T> expected = values;
  std::sort(expected.begin(), expected.end());
  sort(values);
  EXPECT_EQ(values, expected);
}

}  // namespace

TEST(QuickSort, PivotIsTheEndMeanTruncatedTowardZeroWithoutOverflow) {
  using quickSortDetail::midpoint;
  EXPECT_EQ(midpoint(intMax, intMax - 2), intMax - 1);
  EXPECT_EQ(midpoint(intMin, intMin + 2), intMin + 1);
  EXPECT_EQ(midpoint(-3, 0), -1);
  EXPECT_EQ(midpoint(1.5e308, 1.7e308), 1.6e308);
  EXPECT_EQ(midpoint(-inf, inf), 0);
}

TEST(QuickSort, NumbersSortWhateverTheirRange) {
  std::mt19937 random(11);
  std::vector<int32_t> wide(5000);
  for (int32_t& value : wide) value = static_cast<int32_t>(random());
  for (const auto& values : std::vector<std::vector<int32_t>>{
           {}, {5}, {3, 3, 3, 3}, {-1, -3, 2, -2, 0, -1}, {intMax, 5, intMax - 1, 7, intMax, 0},
           {intMin, -5, intMin + 1, intMin, 3, -7}, {intMax, intMin, 0, intMax, intMin, -1}, wide})
    expectSortedLikeStd(values, quickSortIntegers);

  expectSortedLikeStd<double>({1e308, -2, 1.5e308, 3, 1.7e308, -inf, 0, inf, -1e308, inf}, quickSortDoubles);
  expectSortedLikeStd<double>({-inf, 4, 2, 9, -3, inf}, quickSortDoubles);
  std::vector<double> firstFour{5, 1, 4, 2, 3, 0};
  quickSortFirstDoubles(firstFour, 4);
  EXPECT_EQ(firstFour, (std::vector<double>{1, 2, 4, 5, 3, 0}));
  quickSortFirstDoubles(firstFour, 100);
  EXPECT_TRUE(std::is_sorted(firstFour.begin(), firstFour.end()));

  // NaN has no place in an order, but the sort must end and keep every element.
  std::vector<double> withNan{std::nan(""), 3, 1, std::nan(""), 2, -inf, std::nan("")};
  quickSortDoubles(withNan);
  EXPECT_EQ(std::count_if(withNan.begin(), withNan.end(), [](double v) { return std::isnan(v); }), 3);
}

TEST(QuickSort, PairsMoveWithTheirKeys) {
  std::mt19937 random(3);
  std::vector<TSortPair> pairs;
  for (int32_t tag = 0; tag < 2000; ++tag) pairs.push_back({tag, static_cast<int32_t>(random() % 50) - 25});
  std::vector<TSortPair> original = pairs;
  quickSortPairs(pairs);
  std::vector<bool> seen(pairs.size());
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (i > 0) {
      ASSERT_LE(pairs[i - 1].key, pairs[i].key);
    }
    EXPECT_EQ(pairs[i].key, original[pairs[i].tag].key);
    seen[pairs[i].tag] = true;
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 2000);
}

TEST(QuickSort, AdversarialMillionsStayFastAndWithinTheStack) {
  // A sorted list with the smallest element appended makes the end-mean
  // pivot peel off one element per pass.
  const int32_t count = 1000000;
  std::vector<int32_t> rotated(count), organPipe(count), hugeKeys(count);
  for (int32_t i = 0; i < count; ++i) {
    rotated[i] = (i + 1) % count;
    organPipe[i] = std::min(i, count - 1 - i);
    hugeKeys[i] = intMax - (i % 1000) * 3;
  }
  // Quadratic on these, the sorts take hours of processor time.
  const auto start = threadProcessorTime();
  expectSortedLikeStd<double>({rotated.begin(), rotated.end()}, quickSortDoubles);
  for (const auto* values : {&rotated, &organPipe, &hugeKeys}) expectSortedLikeStd(*values, quickSortIntegers);
  EXPECT_LT(threadProcessorTime() - start, std::chrono::seconds(20));
}
