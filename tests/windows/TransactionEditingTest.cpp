#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "model/Prices.h"
#include "model/QuoteRecord.h"
#include "windows/TransactionEditing.h"

TEST(TransactionAutoComplete, ValueBuysWholeUnitsAndKeepsTheAmount) {
  TTradeAmounts amounts{0, 1000, 0};
  ASSERT_TRUE(autoCompleteAmounts(transactionValueKind, 30, amounts));
  EXPECT_EQ(amounts.units, 33);
  EXPECT_EQ(amounts.value, 990);
  EXPECT_EQ(amounts.fees, 10);
  TTradeAmounts priced{4, 0, 2};
  ASSERT_TRUE(autoCompleteAmounts(transactionUnitsKind, 2.5L, priced));
  EXPECT_EQ(priced.value, 10);
  EXPECT_EQ(priced.fees, 2);
  // A close of 0 (or worse) would turn the whole amount into fees.
  for (const long double price : {0.0L, -3.0L, std::nanl("")}) {
    TTradeAmounts unchanged{1, 1000, 0};
    EXPECT_FALSE(autoCompleteAmounts(transactionValueKind, price, unchanged));
    EXPECT_EQ(unchanged.units, 1);
    EXPECT_EQ(unchanged.value, 1000);
  }
}

TEST(TransactionAutoComplete, CloseIsTheLatestUsableOnOrBeforeTheDate) {
  TPrices prices;
  TQuoteRecord quote;
  quote.Close = 5;
  quote.Mask = quoteCloseBit;
  prices.addRecord(quote, false, 0, 12);
  TQuoteRecord withoutClose;
  withoutClose.Open = 7;
  withoutClose.Mask = quoteOpenBit;
  prices.addRecord(withoutClose, false, 0, 10);
  quote.Close = 6;
  prices.addRecord(quote, false, 0, 14);
  quote.Close = 4;
  prices.addRecord(quote, false, 0, 8);
  long double close = 0;
  ASSERT_TRUE(latestCloseAtOrBefore(prices, 13.5, close));
  EXPECT_EQ(close, 5);
  ASSERT_TRUE(latestCloseAtOrBefore(prices, 11, close));
  EXPECT_EQ(close, 4);  // skips the record without a close
  ASSERT_TRUE(latestCloseAtOrBefore(prices, 14, close));
  EXPECT_EQ(close, 6);
  EXPECT_FALSE(latestCloseAtOrBefore(prices, 7.9, close));
}

TEST(TransactionRenumbering, SkipsNumbersHeldByOtherAssets) {
  // Lines 7, 2, 9 of one asset; another asset holds 1 and 3.
  EXPECT_EQ(planRenumbering({7, 2, 9}, {1, 2, 3, 7, 9}), (std::vector<int32_t>{2, 4, 5}));
  EXPECT_EQ(planRenumbering({}, {1, 3}), std::vector<int32_t>{});
  EXPECT_EQ(planRenumbering({5}, {INT_MAX - 1, 5}), std::vector<int32_t>{1});
}

TEST(TransactionDisplayOrder, UnknownKeysFollowInEntryOrderAndEqualKeysKeepTheirs) {
  EXPECT_EQ(orderByDisplayKeys({5, -1, 3, 5, -1, 2}, 5), (std::vector<int>{5, 2, 0, 3, 1, 4}));
}
