#include <gtest/gtest.h>

#include <vector>

#include "model/History.h"
#include "tests/support/TestFolders.h"

namespace {

const TQuoteFormat rateFormat = compileQuoteFormat("yyyymmdd,c", false);
constexpr double march1 = 45352;  // 1 March 2024

std::vector<double> datesOf(const THistory& history) {
  std::vector<double> dates;
  for (const THistoryRecord& record : history.records()) dates.push_back(record.Date);
  return dates;
}

std::vector<long double> valuesOf(const THistory& history) {
  std::vector<long double> values;
  for (const THistoryRecord& record : history.records()) values.push_back(record.Value);
  return values;
}

class History : public testing::Test {
 protected:
  // Loads the lines into the series; fails the test unless that gives `expected`.
  void load(const std::string& text, int expected = 0) {
    writeWholeFile(folder.path() + "h.csv", text);
    ASSERT_EQ(history.load(folder.path() + "h.csv", rateFormat), expected);
  }
  TTemporaryFolder folder;
  THistory history;
};

}  // namespace

TEST_F(History, LoadKeepsFileOrderAndSkipsLinesWithoutFullDateAndClose) {
  load("date,rate\r\n20240303,3\n20240301,1\r20240230,9\n20240302,\n2024030,5\n20240302,2\n\x01\x02garbage");
  EXPECT_FALSE(history.sorted());
  EXPECT_EQ(datesOf(history), (std::vector<double>{march1 + 2, march1, march1 + 1}));
  EXPECT_EQ(history.indexOfDate(march1), 0);  // the first search sorts
  EXPECT_TRUE(history.sorted());
  EXPECT_EQ(valuesOf(history), (std::vector<long double>{1, 2, 3}));
}

TEST_F(History, LoadFailuresLeaveAnEmptySeries) {
  load("20240301,1\n");
  load("20240301,\n20240302,\n", -7);
  EXPECT_EQ(history.count(), 0);
  EXPECT_EQ(history.load(folder.path() + "missing.csv", rateFormat), -2);
  EXPECT_EQ(history.load(folder.path() + "h.csv", TQuoteFormat{}), -6);
}

TEST_F(History, IndexOfDateGivesANeighbourInsideAndMinusOneOutside) {
  load("20240301,1\n20240303,3\n20240305,5\n");
  EXPECT_EQ(history.indexOfDate(march1 + 2), 1);
  const int between = history.indexOfDate(march1 + 3);
  EXPECT_TRUE(between == 1 || between == 2);
  EXPECT_EQ(history.indexOfDate(march1 - 1), -1);
  EXPECT_EQ(history.indexOfDate(march1 + 5), -1);
  THistory empty;
  EXPECT_EQ(empty.indexOfDate(march1), -1);
}

TEST_F(History, MergeDatesAppendsOncePerMissingRecord) {
  load("20240302,1\n20240301,1\n20240302,1\n");
  std::vector<double> dates{march1};
  EXPECT_EQ(history.mergeDates(dates), 0);
  EXPECT_EQ(dates, (std::vector<double>{march1, march1 + 1, march1 + 1}));
}

TEST_F(History, AlignKeepsDatesInPlaceAndRestoreGivesBackTheLoadedSeries) {
  load("20240301,100\n20240302,110\n20240303,99\n20240304,108.9\n20240305,100\n");
  const std::vector<double> loadedDates = datesOf(history);
  history.ensureSorted();
  const std::vector<long double> loadedValues = valuesOf(history);

  // fromDate after the last date: unchanged.
  ASSERT_EQ(history.alignToDates({march1 + 3, march1 + 1}, march1 + 30), 0);
  EXPECT_EQ(valuesOf(history), loadedValues);
  EXPECT_TRUE(history.aligned());

  // Reversed dates chain the steps latest first.
  ASSERT_EQ(history.alignToDates({march1 + 4, march1 + 3, march1 + 2, march1 + 1}, march1), 0);
  EXPECT_EQ(datesOf(history), loadedDates);
  const std::vector<long double> aligned = valuesOf(history);
  EXPECT_EQ(aligned[0], 100);
  EXPECT_NEAR(static_cast<double>(aligned[1]), 100 * 100 / 108.9, 1e-12);
  EXPECT_NEAR(static_cast<double>(aligned[4]), 100, 1e-12);

  // A list that covers only some records: the rest follow in their order
  // and every date stays where it was.
  ASSERT_EQ(history.alignToDates({march1 + 3}, march1), 0);
  EXPECT_EQ(datesOf(history), loadedDates);
  EXPECT_TRUE(history.sorted());

  ASSERT_EQ(history.restore(), 0);
  EXPECT_EQ(valuesOf(history), loadedValues);
  EXPECT_EQ(datesOf(history), loadedDates);
  EXPECT_EQ(history.restore(), -7);
}

TEST_F(History, AlignStoresZeroForAZeroStep) {
  load("20240301,1\n20240302,0\n20240303,4\n");
  ASSERT_EQ(history.alignToDates({march1 + 2, march1 + 1}, march1), 0);
  EXPECT_EQ(valuesOf(history), (std::vector<long double>{1, 0, 0}));  // 1 × 4 / 0, then 0 × 0 / 1
}
