#include <gtest/gtest.h>

#include "model/Asset.h"
#include "model/Portfolio.h"
#include "model/Transaction.h"
#include "tests/model/SampleWorkFolder.h"
#include "windows/AssetLineFilter.h"

// One asset with a price file and one constant-price asset, their holdings
// set by a second transaction on day 45000.
TEST(AssetLineFilter, NullAndShortHoldingsPerWindow) {
  TSampleWorkFolder sample;
  writeWholeFile(sample.quotes + "P.TXT", "20240102,1\r\n");
  const std::string folder = sample.folios + "7\\";
  int32_t serials = 0;
  TPortfolio maker{serials};
  TPortfolio portfolio{serials};
  ASSERT_EQ(maker.createNew("Made", "MAD", folder, "EUR"), 0);
  ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0);
  ASSERT_EQ(portfolio.newAsset("Priced", "P", false, "YYYYMMDD,C", sample.quotes + "P.TXT", "EUR"), 0);
  ASSERT_EQ(portfolio.newAsset("Constant", "C", true, constantPriceFormat, "", "EUR"), 0);
  TAsset& priced = *portfolio.assets(0);
  TAsset& constant = *portfolio.assets(1);
  priced.Transactions().items(0)->setDateTime(44000);
  constant.Transactions().items(0)->setDateTime(44000);
  ASSERT_EQ(portfolio.addTransaction(0, 0, 45000.4, 0.0005L, 0, 0, "", "", false), 0);
  const double toDate = 45000.6;  // taken to day 45001, after the holding changed
  EXPECT_FALSE(assetHasLine(priced, TAssetLineWindow::assets, false, toDate));
  EXPECT_TRUE(assetHasLine(priced, TAssetLineWindow::assets, true, toDate));
  priced.Transactions().findNumber(3)->setUnits(0.001L);
  EXPECT_TRUE(assetHasLine(priced, TAssetLineWindow::assets, false, toDate));
  EXPECT_TRUE(assetHasLine(priced, TAssetLineWindow::quotes, false, toDate));
  priced.Transactions().findNumber(3)->setUnits(-5);
  EXPECT_TRUE(assetHasLine(priced, TAssetLineWindow::assets, false, toDate));
  EXPECT_FALSE(assetHasLine(priced, TAssetLineWindow::quotes, false, toDate));
  // A new constant-price asset holds nothing, and has no quotes.
  EXPECT_FALSE(assetHasLine(constant, TAssetLineWindow::assets, false, toDate));
  EXPECT_TRUE(assetHasLine(constant, TAssetLineWindow::assets, true, toDate));
  EXPECT_FALSE(assetHasLine(constant, TAssetLineWindow::quotes, true, toDate));
}
