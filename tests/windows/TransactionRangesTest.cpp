#include <gtest/gtest.h>

#include "model/Asset.h"
#include "model/Portfolio.h"
#include "model/Transaction.h"
#include "model/TransactionTable.h"
#include "platform/CalendarDates.h"
#include "platform/DateTime.h"
#include "tests/model/SampleWorkFolder.h"
#include "windows/TransactionRanges.h"

namespace {

double day(int year, int month, int d) {
  double date = 0;
  encodeDate(year, month, d, date);
  return date;
}

// One asset whose opening transaction (number 1) lies on 1 January 2024.
class MergingTransactions : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(maker.createNew("Made", "MAD", folder, "EUR"), 0);
    ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0);
    ASSERT_EQ(portfolio.newAsset("Stock", "STK", true, constantPriceFormat, "", "EUR"), 0);
    asset = portfolio.assets(0);
    asset->Transactions().items(0)->setDateTime(day(2024, 1, 1));
  }

  TSampleWorkFolder sample;
  std::string folder = sample.folios + "7\\";
  int32_t serials = 0;
  TPortfolio maker{serials};
  TPortfolio portfolio{serials};
  TAsset* asset = nullptr;
  std::string why;
};

}  // namespace

TEST_F(MergingTransactions, MergedTransactionCarriesWhatTheDeletionTakes) {
  double from = 0;
  double to = 0;
  mergeWindow(day(2024, 1, 10), day(2024, 1, 12), from, to);
  // The one stamped at the window's very start is deleted, so it is summed too.
  ASSERT_EQ(portfolio.addTransaction(0, 0, from, 1, 3, 0.5L, "", "", true), 0);
  asset->Transactions().findNumber(2)->setDateTime(from);  // exactly, not as read back from its file
  ASSERT_EQ(portfolio.addTransaction(0, 0, day(2024, 1, 10) + 0.5, 10, 100, 5, "", "", true), 0);
  ASSERT_EQ(portfolio.addTransaction(0, 0, day(2024, 1, 12) + 0.9, -4, -40, 2, "", "", true), 0);
  ASSERT_EQ(portfolio.addTransaction(0, 0, day(2024, 1, 13), 50, 50, 50, "", "", true), 0);
  int merged = 0;
  ASSERT_EQ(
      mergeTransactions(portfolio, {asset}, true, merged, day(2024, 1, 11), day(2024, 1, 10), day(2024, 1, 12), why),
      0);
  EXPECT_EQ(merged, 1);
  ASSERT_EQ(asset->transactionCount(), 3);  // the opening one, the one after, the merged one
  TTransaction* sum = asset->Transactions().findNumber(6);
  ASSERT_NE(sum, nullptr);
  EXPECT_EQ(sum->Units(), 7);
  EXPECT_EQ(sum->Value(), 63);
  EXPECT_EQ(sum->Fees(), 7.5L);
  EXPECT_EQ(sum->DateTime(), day(2024, 1, 11));
  const std::string& shortDate = localeSettings().shortDateFormat;
  EXPECT_EQ(sum->getCustomProperty("_COMMENT"),
            formatDateTime(shortDate, day(2024, 1, 9)) + " ... " + formatDateTime(shortDate, day(2024, 1, 12)));
  EXPECT_EQ(portfolio.TransactionNumbers(), (std::vector<int32_t>{1, 5, 6}));
}

TEST_F(MergingTransactions, KeepsSourcesOnRequestAndLeavesAnEmptyRangeAlone) {
  ASSERT_EQ(portfolio.addTransaction(0, 0, day(2024, 1, 10), 10, 100, 5, "", "", true), 0);
  ASSERT_EQ(portfolio.addTransaction(0, 0, day(2024, 1, 11), -4, -40, 2, "", "", true), 0);
  int merged = 0;
  EXPECT_EQ(mergeTransactions(portfolio, {asset}, true, merged, day(2024, 3, 1), day(2024, 2, 1), day(2024, 2, 9), why),
            0);
  EXPECT_EQ(merged, 0);
  ASSERT_EQ(
      mergeTransactions(portfolio, {asset}, false, merged, day(2024, 1, 11), day(2024, 1, 10), day(2024, 1, 11), why),
      0);
  EXPECT_EQ(asset->transactionCount(), 4);
  const TTransaction* sum = asset->Transactions().findNumber(4);
  ASSERT_NE(sum, nullptr);
  EXPECT_EQ(sum->Units(), 6);
  EXPECT_EQ(sum->Value(), 60);
  EXPECT_EQ(sum->Fees(), 7);
  EXPECT_EQ(deleteTransactionRange(portfolio, {asset}, 2, 3, why), 0);
  EXPECT_EQ(portfolio.TransactionNumbers(), (std::vector<int32_t>{1, 4}));
  EXPECT_EQ(deleteTransactionRange(portfolio, {asset}, 2, 3, why), 0);
}

TEST(MergeDates, StartAndEndDragEachOtherAndTheDestination) {
  TMergeDates dates;
  dates.reset(10, 20, 20, 5, 30);
  dates.setStart(25);
  EXPECT_EQ(dates.end(), 25);
  EXPECT_EQ(dates.destination(), 25);
  dates.setEnd(8);
  EXPECT_EQ(dates.start(), 8);
  EXPECT_EQ(dates.destination(), 8);
  dates.setStart(1);
  EXPECT_EQ(dates.start(), 5);
}

TEST(NumberRange, TypedNumbersAreTruncatedAndClamped) {
  TNumberRange range;
  range.reset(10, 1, 7, 7);
  EXPECT_EQ(range.start(), 7);
  EXPECT_EQ(range.end(), 7);
  range.typeStart("3.9");
  EXPECT_EQ(range.start(), 3);
  range.typeEnd("50");
  EXPECT_EQ(range.end(), 10);
  range.typeEnd("abc");
  EXPECT_EQ(range.end(), 10);
  range.typeStart("5");
  range.typeEnd("2");
  EXPECT_EQ(range.start(), 2);
  EXPECT_EQ(range.end(), 2);
  range.setStart(1);
  range.stepStart(-1);
  EXPECT_EQ(range.start(), 1);
  range.stepEnd(1);
  EXPECT_EQ(range.end(), 3);
}

TEST_F(MergingTransactions, AMergeWhoseSumNoFileHoldsAddsNothing) {
  const double large = 1.5e308;
  ASSERT_EQ(portfolio.addTransaction(0, 0, day(2024, 1, 10), 1, large, 0, "", "", true), 0);
  ASSERT_EQ(portfolio.addTransaction(0, 0, day(2024, 1, 11), 1, large, 0, "", "", true), 0);
  int merged = 0;
  EXPECT_EQ(
      mergeTransactions(portfolio, {asset}, true, merged, day(2024, 1, 11), day(2024, 1, 10), day(2024, 1, 11), why),
      -4);
  EXPECT_EQ(merged, 0);
  EXPECT_EQ(asset->transactionCount(), 3);
  EXPECT_EQ(portfolio.TransactionNumbers(), (std::vector<int32_t>{1, 2, 3}));
  TTransactionTable reloaded;
  ASSERT_EQ(reloaded.loadDirectory(asset->TransactionFolder()), 0);
  EXPECT_EQ(reloaded.count(), 3);
}
