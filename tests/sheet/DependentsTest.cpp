#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <random>
#include <set>
#include <vector>

#include "sheet/Dependents.h"
#include "sheet/ReadRects.h"
#include "tests/support/ThreadTime.h"

namespace {
constexpr TCellCoord A1{0, 0}, A2{0, 1}, A3{0, 2}, B1{1, 0}, C1{2, 0}, D1{3, 0};

// How many more heap blocks this thread may take before the heap refuses,
// while a test sets it; negative: no limit.
thread_local int allocationsLeft = -1;

struct THeapShortage {
  explicit THeapShortage(int allowed) { allocationsLeft = allowed; }
  ~THeapShortage() { allocationsLeft = -1; }
};
}  // namespace

void* operator new(std::size_t size) {
  if (allocationsLeft == 0) throw std::bad_alloc();
  if (allocationsLeft > 0) --allocationsLeft;
  if (void* memory = std::malloc(size != 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

TEST(Dependents, LinksThatWouldCloseACycleAreRefused) {
  TDependents links;
  EXPECT_THROW(links.addDependent(A1, A1), ECircularReference);
  links.addDependent(B1, A1);  // B1 reads A1
  links.addDependent(C1, B1);
  EXPECT_THROW(links.addDependent(A1, C1), ECircularReference);
  EXPECT_TRUE(links.getDependents(C1).empty()) << "nothing recorded";
  links.addDependent(A1, D1);
  EXPECT_EQ(links.getDependents(D1), std::vector<TCellCoord>{A1});
}

// A place that nothing reads reaches nothing, but a place read only through
// a rectangle stored once has no list of its own and still reaches its readers.
TEST(Dependents, APlaceReadOnlyThroughAStoredRangeStillClosesACycle) {
  TDependents links;
  const TCellCoord tableStart{5, 0}, tableEnd{6, 99}, inside{5, 20};
  links.addDependentRange(B1, tableStart, tableEnd);
  links.addDependent(C1, B1);
  EXPECT_THROW(links.addDependent(inside, C1), ECircularReference);
  EXPECT_THROW(links.addDependent(inside, B1), ECircularReference);
  links.addDependent(inside, D1);
  EXPECT_EQ(links.getDependents(D1), std::vector<TCellCoord>{inside});
  links.addDependent(A3, C1);
  EXPECT_EQ(links.getDependents(C1), std::vector<TCellCoord>{A3});
}

TEST(Dependents, ListsStaySortedWithoutDuplicates) {
  TDependents links;
  links.addDependent(C1, A1);
  links.addDependent(A2, A1);
  links.addDependent(B1, A1);
  links.addDependent(A2, A1);
  EXPECT_EQ(links.getDependents(A1), (std::vector<TCellCoord>{A2, B1, C1}));
  EXPECT_TRUE(links.getDependents(D1).empty());
  // Lists grow past the two places they hold themselves and shrink back.
  links.addDependent(A3, A1);
  links.addDependent(D1, A1);
  links.removeDependent(B1, A1);
  links.removeDependent(A2, A1);
  EXPECT_EQ(links.getDependents(A1), (std::vector<TCellCoord>{A3, C1, D1}));
  links.removeDependent(D1, A1);
  links.removeDependent(A3, A1);
  links.addDependent(B1, A1);
  EXPECT_EQ(links.getDependents(A1), (std::vector<TCellCoord>{B1, C1}));
  // Past the pooled sizes onto the heap, in reverse order, and back.
  std::vector<TCellCoord> many;
  for (std::int32_t row = 200; row > 0; --row) {
    links.addDependent({5, row}, A1);
    many.insert(many.begin(), TCellCoord{5, row});
  }
  many.insert(many.begin(), {B1, C1});
  EXPECT_EQ(links.getDependents(A1), many);
  for (std::int32_t row = 1; row <= 200; ++row) links.removeDependent({5, row}, A1);
  EXPECT_EQ(links.getDependents(A1), (std::vector<TCellCoord>{B1, C1}));
}

TEST(Dependents, RangeLinksStopAtTheFirstPlaceClosingACycle) {
  TDependents links;
  links.addDependent(A3, C1);  // A3 reads C1
  // B1 reads A1:A3 and column C; C1 reads B1 ... A3 reads C1: B1 -> C1 -> A3.
  links.addDependent(C1, B1);
  EXPECT_THROW(links.addDependentRange(B1, A1, A3), ECircularReference);
  EXPECT_EQ(links.getDependents(A1), std::vector<TCellCoord>{B1}) << "made before the cycle: kept";
  EXPECT_EQ(links.getDependents(A2), std::vector<TCellCoord>{B1});
  EXPECT_TRUE(links.getDependents(A3).empty());
  links.removeFromAll(B1);
  EXPECT_TRUE(links.getDependents(A1).empty());
  EXPECT_TRUE(links.getDependents(A2).empty());
}

TEST(Dependents, RemovingLinksKeepsTheRestExact) {
  TDependents links;
  links.addDependentRange(D1, A1, C1);
  links.addDependentRange(D1, A1, C1);
  links.addDependent(D1, A2);
  links.removeDependent(D1, B1);
  EXPECT_TRUE(links.getDependents(B1).empty());
  EXPECT_EQ(links.getDependents(A1), std::vector<TCellCoord>{D1});
  // The range is recorded again in full after one of its links went.
  links.addDependentRange(D1, A1, C1);
  EXPECT_EQ(links.getDependents(B1), std::vector<TCellCoord>{D1});
  links.removeFromAll(D1);
  for (TCellCoord place : {A1, B1, C1, A2}) EXPECT_TRUE(links.getDependents(place).empty());
  // Without its old links the place may be read the other way round.
  links.addDependent(A1, D1);
}

TEST(Dependents, APlaceCutOutOfARecordedRangeIsLinkedAgain) {
  TDependents links;
  links.addDependentRange(D1, A1, C1);
  links.removeDependent(D1, B1);
  links.addDependent(D1, B1);
  EXPECT_EQ(links.getDependents(B1), std::vector<TCellCoord>{D1});
  links.removeFromAll(D1);
  links.addDependent(D1, C1);
  EXPECT_EQ(links.getDependents(C1), std::vector<TCellCoord>{D1});
  EXPECT_TRUE(links.getDependents(A1).empty());
}

TEST(Dependents, ClearingForARebuildDropsEveryLink) {
  TDependents links;
  links.addDependent(B1, A1);
  links.addDependentRange(C1, A1, A3);
  std::uint64_t removals = links.removalCount();
  links.clearForRebuild();
  EXPECT_GT(links.removalCount(), removals) << "a dropped link may have broken a cycle";
  for (TCellCoord place : {A1, A2, A3}) EXPECT_TRUE(links.getDependents(place).empty());
  EXPECT_NO_THROW(links.addDependent(A1, B1)) << "the old link no longer closes a cycle";
  EXPECT_THROW(links.addDependent(B1, A1), ECircularReference);
  links.addDependentRange(C1, A1, A3);
  EXPECT_EQ(links.getDependents(A2), std::vector<TCellCoord>{C1}) << "recorded in full, not taken as known";
  // Lists filled in order and out of it stay sorted.
  links.addDependent(D1, A3);
  links.addDependent(A2, A3);
  EXPECT_EQ(links.getDependents(A3), (std::vector<TCellCoord>{A2, C1, D1}));
}

TEST(Dependents, StorageFollowsTheLinksThatExist) {
  // Places far down and far right of a sheet of 2,147,483,647 rows cost a
  // page each, not every row and column before them; the pages go with
  // their last link.
  TDependents links;
  const TCellCoord distant{0, 99999999}, farther{475253, 2147483646}, alsoFar{0, 99999998};
  links.addDependent(A1, distant);
  links.addDependent(A1, alsoFar);
  links.addDependent(B1, farther);
  links.addDependentRange(C1, {5, 16000000}, {5, 16000100});
  EXPECT_LE(links.pageCount(), 10u);
  EXPECT_EQ(links.getDependents(distant), std::vector<TCellCoord>{A1});
  EXPECT_EQ(links.getDependents(farther), std::vector<TCellCoord>{B1});
  EXPECT_THROW(links.addDependent(farther, B1), ECircularReference);
  links.removeDependent(A1, distant);
  EXPECT_EQ(links.getDependents(alsoFar), std::vector<TCellCoord>{A1}) << "its neighbour in the page stays";
  links.removeFromAll(A1);
  links.removeFromAll(B1);
  links.removeFromAll(C1);
  EXPECT_EQ(links.pageCount(), 0u);
  for (TCellCoord place : {distant, alsoFar, farther, TCellCoord{5, 16000050}})
    EXPECT_TRUE(links.getDependents(place).empty());

  // Pages a little apart in one column are found after a neighbour went,
  // and after all of them went and one came back.
  const TCellCoord above{0, 99999899};
  links.addDependent(A1, distant);
  links.addDependent(A2, above);
  links.removeFromAll(A1);
  EXPECT_EQ(links.getDependents(above), std::vector<TCellCoord>{A2});
  EXPECT_TRUE(links.getDependents(distant).empty());
  links.removeFromAll(A2);
  EXPECT_EQ(links.pageCount(), 0u);
  links.addDependent(A3, distant);
  EXPECT_EQ(links.getDependents(distant), std::vector<TCellCoord>{A3});
  EXPECT_TRUE(links.getDependents(above).empty());
  links.removeFromAll(A3);

  // A rebuild keeps the pages still read and frees the others by the next.
  links.addDependent(A2, distant);
  links.addDependent(A3, farther);
  links.clearForRebuild();
  links.addDependent(A2, distant);
  links.clearForRebuild();
  EXPECT_EQ(links.pageCount(), 2u) << "the page of A2 and the page of distant";
  EXPECT_TRUE(links.getDependents(distant).empty());
}

// Rectangles of many places are stored once for all the formulas reading
// them; what each place reports must not tell the difference.
TEST(Dependents, LargeRangesMergeWithTheLinksOfTheirPlaces) {
  TDependents links;
  const TCellCoord table{5, 0}, tableEnd{6, 99}, inside{6, 49}, E1{4, 0}, E2{4, 1};
  links.addDependent(B1, inside);  // then through its range too: listed once
  links.addDependentRange(E2, table, tableEnd);
  links.addDependentRange(B1, table, tableEnd);
  links.addDependent(E1, inside);
  links.addDependentRange(A2, {6, 40}, {6, 79});
  EXPECT_EQ(links.storedRangeCount(), 2u);
  EXPECT_EQ(links.getDependents(inside), (std::vector<TCellCoord>{A2, B1, E1, E2}));
  EXPECT_EQ(links.getDependents(table), (std::vector<TCellCoord>{B1, E2}));
  EXPECT_TRUE(links.hasLink(B1, tableEnd));
  EXPECT_FALSE(links.hasLink(A2, tableEnd));
  // The same rectangle from a place inside it would close a cycle.
  EXPECT_THROW(links.addDependent(inside, E2), ECircularReference);
  EXPECT_THROW(links.addDependentRange({5, 10}, table, tableEnd), ECircularReference);
  EXPECT_EQ(links.getDependents({5, 9}), (std::vector<TCellCoord>{B1, E2, {5, 10}})) << "made before the cycle";
  EXPECT_EQ(links.getDependents({5, 10}), (std::vector<TCellCoord>{B1, E2}));
  links.removeFromAll({5, 10});

  // Cut out of its rectangle, a place loses the link; the rest keeps it.
  links.removeDependent(E2, {5, 50});
  EXPECT_EQ(links.getDependents({5, 50}), std::vector<TCellCoord>{B1});
  EXPECT_EQ(links.getDependents({5, 51}), (std::vector<TCellCoord>{B1, E2}));
  EXPECT_EQ(links.getDependents(tableEnd), (std::vector<TCellCoord>{B1, E2}));
  links.removeDependent(B1, inside);
  EXPECT_EQ(links.getDependents(inside), (std::vector<TCellCoord>{A2, E1, E2})) << "both of B1's links went";
  // A larger rectangle takes in those recorded before it.
  links.addDependentRange(E2, {5, 0}, {7, 199});
  for (TCellCoord dependent : {A2, B1, E1, E2}) links.removeFromAll(dependent);
  EXPECT_EQ(links.storedRangeCount(), 0u);
  EXPECT_EQ(links.pageCount(), 0u);
  for (TCellCoord place : {table, inside, tableEnd, TCellCoord{5, 50}, TCellCoord{7, 150}})
    EXPECT_TRUE(links.getDependents(place).empty());
}

// A table read again after most others stopped being read, and the store
// was made anew without them, still gathers its own readers.
TEST(Dependents, ATableReadAgainAfterTheStoreShrankKeepsItsReaders) {
  TDependents links;
  for (int table = 0; table < 40; ++table) links.addDependentRange({2, table}, {0, table * 100}, {0, table * 100 + 99});
  links.addDependentRange({3, 0}, {0, 500}, {0, 599});
  for (int table = 0; table < 26; ++table) {
    if (table != 5) links.removeFromAll({2, table});
  }
  EXPECT_EQ(links.storedRangeCount(), 15u);
  links.addDependentRange({3, 1}, {0, 500}, {0, 599});
  EXPECT_EQ(links.getDependents({0, 550}), (std::vector<TCellCoord>{{2, 5}, {3, 0}, {3, 1}}));
  EXPECT_EQ(links.getDependents({0, 2650}), (std::vector<TCellCoord>{{2, 26}}));
  EXPECT_EQ(links.getDependents({0, 3050}), (std::vector<TCellCoord>{{2, 30}}));
}

// A column of running sums: every formula reads its own rectangle from the
// top, and a place is read by all the sums below it.
TEST(Dependents, ManyRangesOfOneColumnAreFoundByTheirPlaces) {
  TDependents links;
  constexpr int rows = 300;
  for (int row = 0; row < rows; ++row) links.addDependentRange({1, row}, A1, {0, row});
  EXPECT_EQ(links.getDependents({0, rows - 1}), (std::vector<TCellCoord>{{1, rows - 1}}));
  const auto readers = links.getDependents({0, 100});
  ASSERT_EQ(readers.size(), static_cast<std::size_t>(rows - 100));
  for (int row = 100; row < rows; ++row) EXPECT_EQ(readers[row - 100], (TCellCoord{1, row}));
  EXPECT_TRUE(links.isReachable({0, 7}, {1, 250}));
  EXPECT_FALSE(links.isReachable({0, 251}, {1, 250}));
  for (int row = 0; row < rows; row += 2) links.removeFromAll({1, row});
  EXPECT_EQ(links.getDependents({0, 297}), (std::vector<TCellCoord>{{1, 297}, {1, 299}}));
}

// A row read to the last column of the sheet must cost what a short row
// costs: it once filed itself in each of its twelve million columns.
TEST(Dependents, ARowReadToTheLastColumnIsCheap) {
  TDependents links;
  const TCellCoord first{0, 11}, last{12356629, 11};
  const auto started = threadProcessorTime();
  links.addDependentRange(A1, first, last);
  links.addDependentRange(A2, first, last);
  EXPECT_EQ(links.getDependents({6000000, 11}), (std::vector<TCellCoord>{A1, A2}));
  EXPECT_EQ(links.getDependents(last), (std::vector<TCellCoord>{A1, A2}));
  EXPECT_TRUE(links.getDependents({6000000, 12}).empty());
  EXPECT_TRUE(links.isReachable({700, 11}, A2));
  EXPECT_THROW(links.addDependent({9000000, 11}, A1), ECircularReference);
  links.removeFromAll(A1);
  links.removeFromAll(A2);
  EXPECT_EQ(links.storedRangeCount(), 0u);
  EXPECT_TRUE(links.getDependents({6000000, 11}).empty());
  EXPECT_LT(threadProcessorTime() - started, std::chrono::seconds(1));
}

// Rows entered one by one in columns that all read one place (a rate) or
// one table: the place's readers sort by column, so each new reader goes
// in before the readers of the next column, and clearing a column from the
// top takes readers off the front. A list that moved the readers behind at
// every change took the square of its length: 120,000 readers, seconds,
// where as many formulas each reading a place of its own take milliseconds.
TEST(Dependents, ReadersOfOnePlaceComeAndGoInTimeLinearInTheirCount) {
  constexpr std::int32_t readers = 120000;
  const TCellCoord rate{0, 0}, tableStart{8, 0}, tableEnd{9, 99};
  auto enterAndClear = [&](TDependents& links, std::int32_t columns) {
    const std::int32_t rows = readers / columns;
    for (std::int32_t row = 1; row <= rows; ++row) {
      for (std::int32_t col = 1; col <= columns; ++col) {
        links.addDependent({col, row}, rate);
        links.addDependentRange({col + 2, row}, tableStart, tableEnd);
      }
    }
    std::vector<TCellCoord> expected;
    for (std::int32_t col = 1; col <= columns; ++col) {
      for (std::int32_t row = 1; row <= rows; ++row) expected.push_back({col, row});
    }
    EXPECT_EQ(links.getDependents(rate), expected);
    std::vector<TCellCoord> table = links.getDependents({9, 50});
    EXPECT_EQ(table.size(), expected.size());
    EXPECT_EQ(table.front(), (TCellCoord{3, 1}));
    EXPECT_EQ(table.back(), (TCellCoord{columns + 2, rows}));
    EXPECT_TRUE(links.hasLink({1, rows / 2}, rate));
    EXPECT_FALSE(links.hasLink({1, rows + 1}, rate));
    // The first column cleared from the top, and every other row of the
    // first column reading the table.
    for (std::int32_t row = 1; row <= rows; ++row) {
      links.removeFromAll({1, row});
      if (row % 2 == 0) links.removeFromAll({3, row});
    }
    EXPECT_FALSE(links.hasLink({1, rows / 2}, rate));
    std::vector<TCellCoord> left = links.getDependents(rate);
    EXPECT_EQ(left.size(), expected.size() - static_cast<std::size_t>(rows));
    if (columns > 1) {
      EXPECT_EQ(left.front(), (TCellCoord{2, 1}));
    }
    EXPECT_EQ(links.getDependents({8, 0}).size(), expected.size() - static_cast<std::size_t>(rows / 2));
    links.addDependent({1, 7}, rate);
    EXPECT_EQ(links.getDependents(rate).front(), (TCellCoord{1, 7}));
  };
  auto timed = [](auto work) {
    const auto started = threadProcessorTime();
    work();
    return threadProcessorTime() - started;
  };
  const auto placesOfTheirOwn = timed([&] {
    TDependents links;
    for (std::int32_t row = 1; row <= readers; ++row) {
      links.addDependent({1, row}, {0, row});
      links.addDependent({3, row}, {8, row});
    }
    for (std::int32_t row = 1; row <= readers; ++row) {
      links.removeFromAll({1, row});
      links.removeFromAll({3, row});
    }
  });
  for (std::int32_t columns : {1, 2}) {
    TDependents links;
    const auto onePlace = timed([&] { enterAndClear(links, columns); });
    EXPECT_LT(onePlace, placesOfTheirOwn * 2 + std::chrono::milliseconds(100))
        << columns << " columns: " << std::chrono::duration<double>(onePlace).count() << " s against "
        << std::chrono::duration<double>(placesOfTheirOwn).count() << " s";
  }
}

// The long lists' blocks split and empty under readers coming and going in
// any order, before the first block and after the last.
TEST(Dependents, ALongListAgreesWithASortedSetWhateverTheOrderOfChanges) {
  TDependents links;
  std::set<TCellCoord> expected;
  std::mt19937 random(43);
  std::uniform_int_distribution<std::int32_t> col(1, 6), row(1, 800);
  for (int change = 0; change < 40000; ++change) {
    const TCellCoord reader{col(random), row(random)};
    // Readers come more often than they go until the list is long, then
    // both alike, then mostly go.
    const int comeIn = change < 15000 ? 3 : change < 30000 ? 2 : 1;
    if (static_cast<int>(random() % 4) < comeIn) {
      links.addDependent(reader, A1);
      expected.insert(reader);
    } else {
      links.removeDependent(reader, A1);
      expected.erase(reader);
    }
    if (change % 5000 == 4999) {
      ASSERT_EQ(links.getDependents(A1), std::vector<TCellCoord>(expected.begin(), expected.end())) << change;
      ASSERT_EQ(links.hasLink(reader, A1), expected.count(reader) == 1);
      ASSERT_TRUE(links.isReachable(A1, *expected.rbegin()));
    }
  }
  for (const TCellCoord reader : std::vector<TCellCoord>(expected.begin(), expected.end())) {
    links.removeDependent(reader, A1);
  }
  EXPECT_TRUE(links.getDependents(A1).empty());
  links.addDependent(B1, A1);
  EXPECT_EQ(links.getDependents(A1), std::vector<TCellCoord>{B1});
}

// Putting a long list into blocks takes memory. Without it, a reader
// still goes in or out as it did before there were blocks: dropping the
// links of a formula that goes must never fail half-way.
TEST(Dependents, ALongListTakesAndDropsReadersWhenMemoryIsShort) {
  TDependents links;
  std::vector<TCellCoord> expected;
  for (std::int32_t row = 1; row <= 600; ++row) {
    links.addDependent({1, row}, A1);
    expected.push_back({1, row});
  }
  bool dropped = false;
  try {
    THeapShortage shortage(0);
    links.removeFromAll({1, 300});
    dropped = true;
  } catch (const std::bad_alloc&) {
  }
  EXPECT_TRUE(dropped) << "the heap's refusal went out of removeFromAll";
  expected.erase(expected.begin() + 299);
  EXPECT_EQ(links.getDependents(A1), expected);
  // With memory again the list goes into blocks, which later split.
  for (std::int32_t row = 1; row <= 600; ++row) links.addDependent({0, row + 1000}, A1);
  for (std::int32_t row = 1; row <= 600; ++row) expected.insert(expected.begin() + row - 1, {0, row + 1000});
  EXPECT_EQ(links.getDependents(A1), expected);
}

TEST(ReadRects, EveryFormKeepsTheRectanglesInOrder) {
  const TCellRect a1{A1, A1}, b1{B1, B1}, c1{C1, C1}, range{A1, A3};
  auto items = [](const TReadRects& list) { return std::vector<TCellRect>(list.begin(), list.end()); };
  TSizedPools pools;
  TReadRects list;
  list.push_back(a1, pools);
  list.push_back(b1, pools);
  EXPECT_EQ(items(list), (std::vector<TCellRect>{a1, b1})) << "two places inside";
  list.push_back(range, pools);
  list.push_back(c1, pools);
  list.push_back(a1, pools);
  EXPECT_EQ(items(list), (std::vector<TCellRect>{a1, b1, range, c1, a1})) << "moved to the heap and grown";
  list.eraseIf([&](const TCellRect& rect) { return rect == a1; });
  EXPECT_EQ(items(list), (std::vector<TCellRect>{b1, range, c1}));

  TReadRects moved = std::move(list);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(items(moved), (std::vector<TCellRect>{b1, range, c1}));
  list.push_back(range, pools);
  list.push_back(a1, pools);
  EXPECT_EQ(items(list), (std::vector<TCellRect>{range, a1})) << "a range first, then a place";

  TReadRects places;
  places.push_back(a1, pools);
  places.push_back(b1, pools);
  places.eraseIf([&](const TCellRect& rect) { return rect == a1; });
  places.push_back(c1, pools);
  EXPECT_EQ(items(places), (std::vector<TCellRect>{b1, c1}));
  places.clear();
  places.push_back(range, pools);
  EXPECT_EQ(items(places), std::vector<TCellRect>{range}) << "cleared, a range fits inside again";

  // Grown past the pooled sizes onto the heap, and given back from there.
  std::vector<TCellRect> many;
  for (std::int32_t row = 0; row < 100; ++row) {
    many.push_back({{0, row}, {1, row}});
    places.push_back(many.back(), pools);
  }
  many.insert(many.begin(), range);
  EXPECT_EQ(items(places), many);
}
