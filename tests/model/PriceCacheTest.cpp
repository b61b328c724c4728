#include <gtest/gtest.h>
#include <windows.h>

#include "model/PriceCache.h"
#include "platform/FileSystem.h"
#include "platform/LocaleSettings.h"
#include "tests/support/TestFolders.h"

namespace {

const char* const closeFormat = "YYYY-MM-DD;C";

class PriceCache : public testing::Test {
 protected:
  void SetUp() override { pricesTable().clear(); }
  void TearDown() override { pricesTable().clear(); }

  TPrices* acquire(const std::string& location, const void* user, const std::string& format = closeFormat) {
    TPrices* prices = nullptr;
    EXPECT_EQ(pricesTable().acquire(location, format, prices, user), 0) << location;
    return prices;
  }

  TTemporaryFolder folder;
  const int assetA = 0, assetB = 0, assetC = 0;  // users are compared by address
};

}  // namespace

TEST_F(PriceCache, AssetsNamingOneFileShareOneSeries) {
  writeWholeFile(folder.path() + "q.csv", "2024-01-02;2\n2024-01-01;1\n");
  TPrices* first = acquire(" " + folder.path() + "q.csv", &assetA);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->count(), 2);
  EXPECT_EQ(acquire(lowerCase(folder.path()) + "Q.CSV\t", &assetB), first);
  EXPECT_EQ(pricesTable().entryCount(), 1);
  // Another format string reads its own series.
  TPrices* other = acquire(folder.path() + "q.csv", &assetC, "YYYY-MM-DD;C*");
  EXPECT_NE(other, first);
  EXPECT_EQ(pricesTable().entryCount(), 2);
}

TEST_F(PriceCache, TheLastHolderFreesTheSeriesAndOthersCannot) {
  writeWholeFile(folder.path() + "q.csv", "2024-01-01;1\n");
  TPrices* prices = acquire(folder.path() + "q.csv", &assetA);
  acquire(folder.path() + "q.csv", &assetB);
  pricesTable().release(prices, &assetC);  // never held it
  pricesTable().release(prices, &assetA);
  EXPECT_EQ(pricesTable().entryCount(), 1);
  pricesTable().release(prices, &assetA);  // released already
  EXPECT_EQ(pricesTable().entryCount(), 1);
  pricesTable().release(prices, &assetB);
  EXPECT_EQ(pricesTable().entryCount(), 0);
  pricesTable().release(prices, &assetB);  // a freed series is no longer known
  pricesTable().release(pricesTable().nullSeries(), &assetB);
  EXPECT_EQ(pricesTable().entryCount(), 0);
}

TEST_F(PriceCache, BlankLocationsGiveTheNullSeries) {
  EXPECT_EQ(acquire("", &assetA), pricesTable().nullSeries());
  EXPECT_EQ(acquire("  \t", &assetA, "invalid"), pricesTable().nullSeries());
  EXPECT_EQ(pricesTable().entryCount(), 0);
  EXPECT_TRUE(pricesTable().nullSeries()->isNull());
}

TEST_F(PriceCache, FailuresCacheNothing) {
  TPrices* prices = nullptr;
  writeWholeFile(folder.path() + "bad.csv", "Date;Close\nno quotes here\n");
  EXPECT_EQ(pricesTable().acquire(folder.path() + "bad.csv", closeFormat, prices, &assetA), -7);
  EXPECT_EQ(pricesTable().acquire(folder.path() + "bad.csv", "DMY C", prices, &assetA), -6);
  EXPECT_EQ(prices, nullptr);
  EXPECT_EQ(pricesTable().entryCount(), 0);
}

TEST_F(PriceCache, AMissingFileIsAnEmptySeriesThatCanBeSaved) {
  const std::string file = folder.path() + "new.csv";
  TPrices* prices = acquire(file, &assetA);
  ASSERT_NE(prices, nullptr);
  EXPECT_EQ(prices->count(), 0);
  EXPECT_EQ(pricesTable().save(prices), 0);  // nothing changed: nothing written
  EXPECT_FALSE(fileExists(file));
  EXPECT_EQ(pricesTable().reloadAll(), 0) << "a file not written yet is no failure";
  TQuoteRecord quote;
  quote.Year = 2024, quote.Month = 1, quote.Day = 2, quote.Close = 2, quote.Mask = quoteDateBits | quoteCloseBit;
  prices->addQuote(quote, false, 0);
  quote.Day = 1, quote.Close = 1;
  prices->addQuote(quote, false, 0);
  prices->addQuote(quote, false, 0);
  EXPECT_EQ(pricesTable().save(prices), 0);
  EXPECT_EQ(readWholeFile(file), "2024-01-01;1\n2024-01-02;2\n");
  EXPECT_FALSE(prices->modified());
}

TEST_F(PriceCache, ATestAlignmentLeavesNothingToSave) {
  const std::string file = folder.path() + "q.csv";
  const std::string text = "Date;Close\r\n2024-01-01;1.00\r\n2024-01-01;1.5\r\n2024-01-02;2.1234567\r\n";
  writeWholeFile(file, text);
  TPrices* prices = acquire(file, &assetA);
  double first = 0;
  bool found = false;
  prices->firstDate(first, found);
  ASSERT_EQ(prices->alignToDates({first + 1}, first - 1, 1.0 / 86400), 0);
  EXPECT_EQ(pricesTable().save(prices), -1);
  ASSERT_EQ(prices->restore(), 0);
  EXPECT_EQ(pricesTable().save(prices), 0);
  EXPECT_EQ(readWholeFile(file), text);
}

TEST_F(PriceCache, ReloadAllKeepsSeriesIdentityAndTheRecordsOfFilesItCannotRead) {
  writeWholeFile(folder.path() + "a.csv", "2024-01-01;1\n");
  writeWholeFile(folder.path() + "b.csv", "2024-01-01;1\n");
  writeWholeFile(folder.path() + "c.csv", "2024-01-01;1\n");
  TPrices* a = acquire(folder.path() + "a.csv", &assetA);
  TPrices* b = acquire(folder.path() + "b.csv", &assetA);
  TPrices* c = acquire(folder.path() + "c.csv", &assetA);
  writeWholeFile(folder.path() + "b.csv", "broken\n");
  writeWholeFile(folder.path() + "c.csv", "2024-01-01;1\n2024-01-02;3\n");
  EXPECT_EQ(pricesTable().reloadAll(), -7);
  EXPECT_EQ(a->count(), 1);
  EXPECT_EQ(b->count(), 1);
  EXPECT_EQ(c->count(), 2);
  EXPECT_EQ(pricesTable().entryCount(), 3);

  // A file held open by the downloader while it writes: the series keeps
  // its records, so a later edit and save cannot overwrite the file with
  // only the new ones.
  HANDLE locked = CreateFileA((folder.path() + "c.csv").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_NE(pricesTable().reloadAll(), 0);
  CloseHandle(locked);
  EXPECT_EQ(c->count(), 2);
  EXPECT_FALSE(c->modified());
}
