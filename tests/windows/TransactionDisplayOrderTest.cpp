#include <gtest/gtest.h>

#include "model/Asset.h"
#include "model/Portfolio.h"
#include "tests/model/SampleWorkFolder.h"
#include "windows/TransactionDisplayOrder.h"

namespace {

// Two assets: the first holds transactions 1, 3 and 5, the second 2 and 4.
class OrderedTransactions : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(maker.createNew("Made", "MAD", folder, "EUR"), 0);
    ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0);
    ASSERT_EQ(portfolio.newAsset("One", "ONE", true, constantPriceFormat, "", "EUR"), 0);
    ASSERT_EQ(portfolio.newAsset("Two", "TWO", true, constantPriceFormat, "", "EUR"), 0);
    ASSERT_EQ(portfolio.addTransaction(0, 0, 45000, 1, 0, 0, "", "", true), 0);
    ASSERT_EQ(portfolio.addTransaction(1, 0, 45000, 1, 0, 0, "", "", true), 0);
    ASSERT_EQ(portfolio.addTransaction(0, 0, 45000, 1, 0, 0, "", "", true), 0);
    order.loadFromTransactions(portfolio);
  }

  std::vector<int32_t> numbersOf(const std::vector<int>& positions) const {
    std::vector<int32_t> numbers;
    for (const int position : positions) numbers.push_back(portfolio.TransactionNumbers()[position]);
    return numbers;
  }

  TSampleWorkFolder sample;
  std::string folder = sample.folios + "7\\";
  int32_t serials = 0;
  TPortfolio maker{serials};
  TPortfolio portfolio{serials};
  TTransactionDisplayOrder order;
};

}  // namespace

TEST_F(OrderedTransactions, WithoutStoredOrderLinesComeInNumberOrder) {
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, true, nullptr)), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, false, portfolio.assets(0))), (std::vector<int32_t>{1, 3, 5}));
  EXPECT_TRUE(order.linePositions(portfolio, false, nullptr).empty());
}

TEST_F(OrderedTransactions, AnAssetsOwnOrderCarriesIntoThePortfolioViewInItsSlots) {
  std::vector<int> lines = order.linePositions(portfolio, false, portfolio.assets(0));
  std::reverse(lines.begin(), lines.end());
  order.capture(lines, false, portfolio.TransactionNumbers());
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, false, portfolio.assets(0))), (std::vector<int32_t>{5, 3, 1}));
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, true, nullptr)), (std::vector<int32_t>{5, 2, 3, 4, 1}));
  // Stored and read back, the whole-portfolio order stays.
  order.storeInTransactions(portfolio);
  TTransactionDisplayOrder reloaded;
  reloaded.loadFromTransactions(portfolio);
  EXPECT_EQ(numbersOf(reloaded.linePositions(portfolio, true, nullptr)), (std::vector<int32_t>{5, 2, 3, 4, 1}));
}

TEST_F(OrderedTransactions, AddedLinesFollowTheInsertionLineAndSurvivorsKeepTheirPlaces) {
  ASSERT_EQ(portfolio.addTransaction(1, 0, 45000, 1, 0, 0, "", "", true), 0);  // number 6
  // Nothing selected: after the last line.
  order.placeAdded(5, -1, 6, true, portfolio.TransactionNumbers());
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, true, nullptr)), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
  // The window takes the view's order before it adds.
  order.capture(order.linePositions(portfolio, false, portfolio.assets(1)), false, portfolio.TransactionNumbers());
  ASSERT_EQ(portfolio.addTransaction(1, 0, 45000, 1, 0, 0, "", "", true), 0);  // number 7
  // In the second asset's view, after its first line (transaction 2).
  order.placeAdded(6, 1, 2, false, portfolio.TransactionNumbers());
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, false, portfolio.assets(1))),
            (std::vector<int32_t>{2, 7, 4, 6}));
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, true, nullptr)), (std::vector<int32_t>{1, 2, 7, 3, 4, 5, 6}));

  const std::vector<int32_t> before = portfolio.TransactionNumbers();
  ASSERT_EQ(portfolio.deleteTransaction(3), 0);
  order.keepAfterDeletion(before, portfolio.TransactionNumbers());
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, true, nullptr)), (std::vector<int32_t>{1, 2, 7, 4, 5, 6}));
}

TEST_F(OrderedTransactions, MergedLinesFollowTheAnchorAndLaterLinesMakeRoom) {
  // Transactions 3 and 5 of the first asset merge into 6, anchored after line 4.
  const std::vector<int32_t> before = portfolio.TransactionNumbers();
  ASSERT_EQ(portfolio.addTransaction(0, 0, 45000, 2, 0, 0, "", "", true), 0);
  ASSERT_EQ(portfolio.deleteTransaction(3), 0);
  ASSERT_EQ(portfolio.deleteTransaction(5), 0);
  const std::vector<int32_t>& after = portfolio.TransactionNumbers();
  std::vector<bool> inView;
  for (const int32_t number : after) inView.push_back(portfolio.findTransactionAsset(number) == portfolio.assets(0));
  EXPECT_EQ(order.placeMerged(4, 1, before, after, inView), 1);  // transaction 1 kept its line
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, true, nullptr)), (std::vector<int32_t>{1, 2, 6, 4}));
}

TEST_F(OrderedTransactions, TheOrderStaysWithItsTransactionsWhenTheListIsRebuiltElsewhere) {
  std::vector<int> lines = order.linePositions(portfolio, true, nullptr);
  std::reverse(lines.begin(), lines.end());
  order.capture(lines, true, portfolio.TransactionNumbers());
  const std::vector<int32_t> reversed{5, 4, 3, 2, 1};
  ASSERT_EQ(numbersOf(order.linePositions(portfolio, true, nullptr)), reversed);
  // A trading system's run lists the numbers asset by asset: 1 3 5 2 4.
  ASSERT_EQ(portfolio.deleteTransactionsBetweenDates(-1, true, 0, 1), 0);
  ASSERT_NE(portfolio.TransactionNumbers(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, true, nullptr)), reversed);
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, false, portfolio.assets(1))), (std::vector<int32_t>{4, 2}));
  order.storeInTransactions(portfolio);
  TTransactionDisplayOrder reloaded;
  reloaded.loadFromTransactions(portfolio);
  EXPECT_EQ(numbersOf(reloaded.linePositions(portfolio, true, nullptr)), reversed);

  // Taken again, added to and deleted from after another rebuild.
  ASSERT_EQ(portfolio.deleteTransactionsBetweenDates(-1, true, 0, 1), 0);
  order.capture(order.linePositions(portfolio, false, portfolio.assets(0)), false, portfolio.TransactionNumbers());
  ASSERT_EQ(portfolio.addTransaction(1, 0, 45000, 1, 0, 0, "", "", true), 0);  // number 6
  const std::vector<int32_t>& numbers = portfolio.TransactionNumbers();
  order.placeAdded(static_cast<int>(numbers.size()) - 1, -1, 4, false, numbers);
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, true, nullptr)), (std::vector<int32_t>{5, 4, 3, 2, 1, 6}));
  ASSERT_EQ(portfolio.deleteTransactionsBetweenDates(-1, true, 0, 1), 0);
  const std::vector<int32_t> before = portfolio.TransactionNumbers();
  ASSERT_EQ(portfolio.deleteTransaction(3), 0);
  order.keepAfterDeletion(before, portfolio.TransactionNumbers());
  EXPECT_EQ(numbersOf(order.linePositions(portfolio, true, nullptr)), (std::vector<int32_t>{5, 4, 2, 1, 6}));
}
