#include <gtest/gtest.h>

#include <windows.h>

#include "model/Asset.h"
#include "model/PortableIniFile.h"
#include "model/PriceCache.h"
#include "model/Prices.h"
#include "platform/CalendarDates.h"
#include "platform/LocaleSettings.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/DamagedRecords.h"

namespace {

double day(int year, int month, int d) {
  double date = 0;
  encodeDate(year, month, d, date);
  return date;
}

// A portfolio folder of its own with one hand-made asset: 10 units bought on
// 3 January 2024, 5 sold on 5 January, prices from 2 to 5 January (the 4th
// without a Close).
class HandMadeAsset : public testing::Test {
 protected:
  void SetUp() override {
    forceFolders(folder + "1.TRN");
    writeWholeFile(sample.quotes + "ACME.TXT",
                   "20240102;10.5;100\r\n20240103;11;120\r\n20240104;;500\r\n20240105;12.25;90\r\n");
    writeWholeFile(folder + "1.INI",
                   "[Asset]\r\nName=Acme\r\nSymbol=ACM\r\nCurrency=usd\r\n"
                   "PriceHistoryLocation=<QUOTES>ACME.TXT\r\nPriceHistoryFormatString=YYYYMMDD;C;V\r\n"
                   "[Allocation]\r\nStocks=60\r\nBonds=39.9995\r\nCash=0\r\nOther=0\r\n");
    writeTransaction(1, 1, day(2024, 1, 3) + 0.5, 10, 110, 5);
    writeTransaction(2, 2, day(2024, 1, 5) + 0.5, -5, -61.25, 5);
  }

  void writeTransaction(int file, int number, double dateTime, double units, double value, double fees) {
    TPortableIniFile ini(folder + "1.TRN\\" + std::to_string(file) + ".INI");
    ini.writeInteger("Transaction", "Number", number);
    ini.writeInteger("Transaction", "Soft", 0);
    ini.writeFloat("Transaction", "DateTime", dateTime);
    ini.writeFloat("Transaction", "Units", units);
    ini.writeFloat("Transaction", "Value", value);
    ini.writeFloat("Transaction", "Fees", fees);
  }

  TSampleWorkFolder sample;
  std::string folder = sample.folios + "9\\";
  TAsset asset;
};

}  // namespace

TEST(Allocation, SumsMustBeWholeAndSingleSettersRebalance) {
  TAllocation allocation;
  EXPECT_TRUE(allocation.setAll(50, 20, 29.9995, 0));
  EXPECT_FALSE(allocation.setAll(50, 20, 29.99, 0));
  EXPECT_EQ(allocation.Cash(), 29.9995);
  allocation.setAll(50, 20, 30, 0);
  allocation.setCash(30);
  EXPECT_EQ(allocation.Other(), 0);
  allocation.setStocks(90);
  EXPECT_EQ(allocation.Cash(), -10);
  allocation.setOther(5);
  EXPECT_EQ(allocation.Cash(), -15);

  TAllocation fresh;
  double stocks = -1, bonds = -1, cash = -1, other = -1;
  EXPECT_FALSE(fresh.get(stocks, bonds, cash, other));
  fresh.setBonds(100);
  EXPECT_TRUE(fresh.get(stocks, bonds, cash, other));
  EXPECT_EQ(cash, 0);
}

TEST_F(HandMadeAsset, LoadsWithPricesTransactionsAndAllocation) {
  std::vector<int> codes;
  ASSERT_EQ(asset.load(folder, 1, [&](void*, int code, const std::string& text) {
    codes.push_back(code);
    EXPECT_EQ(text, "Acme (ACM)");
  }, nullptr), 0);
  EXPECT_EQ(codes, (std::vector<int>{13, 14, 15, 16}));
  EXPECT_EQ(asset.getCurrency(), "USD");
  EXPECT_EQ(asset.PriceHistoryLocation(), upperCase(sample.quotes + "ACME.TXT"));
  EXPECT_EQ(asset.TransactionFolder(), folder + "1.TRN\\");
  EXPECT_EQ(asset.transactionCount(), 2);
  EXPECT_EQ(asset.Prices().count(), 4);
  double stocks = 0, bonds = 0, cash = 0, other = 0;
  EXPECT_TRUE(asset.getAllocation(stocks, bonds, cash, other));
  EXPECT_EQ(bonds, 39.9995);

  long double value = -1;
  bool ok = false;
  asset.navAt(false, value, ok, day(2024, 1, 2) + 0.9);  // nothing held yet: no price needed
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, 0);
  asset.navAt(false, value, ok, day(2024, 1, 3) + 0.9);
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, 110);
  asset.navAt(false, value, ok, day(2024, 1, 4) + 0.1);  // a record without a Close
  EXPECT_FALSE(ok);
  asset.navAt(false, value, ok, day(2024, 1, 6));  // a Saturday
  EXPECT_FALSE(ok);
  asset.navAt(true, value, ok, day(2024, 1, 6));
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, 5 * 12.25L);

  double date = 0;
  bool found = false;
  asset.firstQuoteDate(date, found);
  EXPECT_EQ(date, day(2024, 1, 2));
  asset.lastTransactionDate(date, found);
  EXPECT_EQ(date, day(2024, 1, 5) + 0.5);
}

TEST_F(HandMadeAsset, ConvertsThroughLoadedCurrencyTablesOnly) {
  ASSERT_EQ(asset.load(folder, 1, {}, nullptr), 0);
  long double value = 0;
  bool ok = true;
  asset.investmentAt("usd ", value, ok, day(2024, 2, 1));
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, 115 + (-61.25L + 5));
  asset.investmentAt("EUR", value, ok, day(2024, 2, 1));
  EXPECT_FALSE(ok);

  // The sample holds EURtoUSD.CSV: USD to EUR is its inverse.
  double loadTime = 0;
  ASSERT_GE(forexTables().getTable("USD", "EUR", {}, nullptr, loadTime), 0);
  asset.principalAt("EUR", value, ok, day(2024, 1, 3) + 0.5);
  EXPECT_TRUE(ok);
  long double expected = 0;
  double rateDate = 0;
  forexTables().convert("USD", "EUR", 110, day(2024, 1, 3) + 0.5, true, expected, rateDate);
  EXPECT_EQ(value, expected);
  EXPECT_NE(value, 110);
  TFlowList flows;
  asset.feeFlows("EUR", flows, ok, 0, day(2025, 1, 1));
  EXPECT_TRUE(ok);
  EXPECT_EQ(flows.size(), 4u);
}

TEST_F(HandMadeAsset, FailedLoadsLeaveItCleared) {
  EXPECT_EQ(asset.load(folder, 2, {}, nullptr), -2);
  writeWholeFile(sample.quotes + "ACME.TXT", "no quote here\r\n");
  EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -7);
  EXPECT_EQ(asset.Number(), -1);
  EXPECT_EQ(asset.transactionCount(), 0);
  EXPECT_TRUE(asset.Prices().isNull());
  EXPECT_EQ(pricesTable().entryCount(), 0);

  // A ticker named AUX names a device, whose reading would never end.
  TPortableIniFile(folder + "1.INI").writeString("Asset", "PriceHistoryLocation", "<QUOTES>AUX.CSV");
  EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -3);
  EXPECT_EQ(pricesTable().entryCount(), 0);

  writeWholeFile(sample.quotes + "ACME.TXT", "20240102;10.5\r\n");
  deleteTree(folder + "1.TRN");
  EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -2);
  EXPECT_EQ(asset.Name(), "");
}

// A damaged asset file once loaded as an asset without names, which the
// next save wrote over it; a damaged transaction file was not named.
TEST_F(HandMadeAsset, AFileThatHoldsNoRecordFailsTheLoadNamingIt) {
  const std::string file = folder + "1.INI";
  const std::string clean = readWholeFile(file);
  for (const auto& [name, text] : damagedRecords(clean)) {
    writeWholeFile(file, text);
    EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -7) << name;
    EXPECT_EQ(asset.loadFailure(), ": its file holds no asset") << name;
    EXPECT_EQ(asset.Number(), -1);
  }
  // Every save writes the asset's own section, even with the names empty:
  // without it the file was cut at its top. The format's own form may leave
  // out the allocation, which is then invalid; a file with the entry count
  // never does.
  const struct {
    std::string text;
    std::string failure;
  } parts[] = {
      {"[Allocation]\r\nStocks=100\r\nBonds=0\r\nCash=0\r\nOther=0\r\n", ": its file lacks its section Asset"},
      {"Currency=EUR\r\n[Allocation]\r\nStocks=100\r\nBonds=0\r\nCash=0\r\nOther=0\r\n",
       ": its file lacks its section Asset"},
      {"[Asset]\r\nCurrency=EUR\r\n", ""},
      {"[Asset]\r\nEntries=2\r\nCurrency=EUR\r\n", ": its file lacks its section Allocation"},
  };
  for (const auto& part : parts) {
    writeWholeFile(file, part.text);
    EXPECT_EQ(asset.load(folder, 1, {}, nullptr), part.failure.empty() ? 0 : -7) << part.text;
    EXPECT_EQ(asset.loadFailure(), part.failure) << part.text;
    double stocks = 0, bonds = 0, cash = 0, other = 0;
    EXPECT_FALSE(asset.getAllocation(stocks, bonds, cash, other)) << part.text;
  }
  writeWholeFile(file, clean);
  const std::string transaction = folder + "1.TRN\\2.INI";
  writeWholeFile(transaction, "");
  EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -7);
  EXPECT_EQ(asset.loadFailure(), " (Acme (ACM)): its transaction file 1.TRN\\2.INI holds no transaction");
  EXPECT_EQ(asset.transactionCount(), 0);
}

// An asset file cut short once loaded with defaults for what it lost, and
// one that lost its price file's key as an asset worth 1 a unit. Only an
// asset made without a price file gives its format without one.
TEST_F(HandMadeAsset, AFileCutShortOrGivingAPriceFormatWithoutAPriceFileFailsTheLoadNamingWhy) {
  const std::string file = folder + "1.INI";
  const std::string clean = readWholeFile(file);
  writeWholeFile(file, clean.substr(0, clean.size() - 2));
  EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -7);
  EXPECT_EQ(asset.loadFailure(), " (Acme (ACM)): its file is cut off inside its last line");
  writeWholeFile(file, clean);
  TPortableIniFile(file).writeString("Asset", "PriceHistoryLocation", "");
  EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -7);
  EXPECT_EQ(asset.loadFailure(), " (Acme (ACM)): its file gives a price format but no price file");
  EXPECT_EQ(asset.Number(), -1);
  TPortableIniFile(file).writeString("Asset", "PriceHistoryFormatString", constantPriceFormat);
  ASSERT_EQ(asset.load(folder, 1, {}, nullptr), 0);
  EXPECT_TRUE(asset.noPriceHistoryLocation());
}

// An allocation typed with a decimal comma once loaded as 0 % of each
// class, which the portfolio's figures used and the next save wrote over
// the file; a transaction's number alike.
TEST_F(HandMadeAsset, ANumberThatDoesNotReadFailsTheLoadNamingFileKeyAndValue) {
  const std::string file = folder + "1.INI";
  const std::string clean = readWholeFile(file);
  const std::vector<std::pair<std::string, std::string>> damages = {
      {"Stocks", "62,5"}, {"Bonds", "1.0000000000000OE+0002"}, {"Cash", "1E999"}, {"Other", "-"}};
  for (const auto& [key, value] : damages) {
    TPortableIniFile(file).writeString("Allocation", key, value);
    const std::string text = readWholeFile(file);
    EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -7) << key;
    EXPECT_EQ(asset.loadFailure(),
              " (Acme (ACM)): its file holds \"" + value + "\" for " + key + ", which is no number");
    EXPECT_EQ(asset.Number(), -1);
    EXPECT_EQ(asset.save(), 0);
    EXPECT_EQ(readWholeFile(file), text);
    writeWholeFile(file, clean);
  }
  // The first in the file is told.
  TPortableIniFile(file).writeString("Allocation", "Stocks", "62,5");
  TPortableIniFile(file).writeString("Allocation", "Bonds", "37,5");
  EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -7);
  EXPECT_EQ(asset.loadFailure(), " (Acme (ACM)): its file holds \"62,5\" for Stocks, which is no number");
  writeWholeFile(file, clean);
  ASSERT_EQ(asset.load(folder, 1, {}, nullptr), 0);

  const std::string transaction = folder + "1.TRN\\2.INI";
  TPortableIniFile(transaction).writeString("Transaction", "Fees", "4,9");
  const std::string text = readWholeFile(transaction);
  EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -7);
  EXPECT_EQ(asset.loadFailure(),
            " (Acme (ACM)): its transaction file 1.TRN\\2.INI holds \"4,9\" for Fees, which is no number");
  EXPECT_EQ(asset.transactionCount(), 0);
  EXPECT_EQ(readWholeFile(transaction), text);
}

// An asset or transaction file replaced by a folder was taken as missing
// or passed over, and the asset opened without it.
TEST_F(HandMadeAsset, AFolderUnderAFilesNameFailsTheLoadNamingIt) {
  const std::string transaction = folder + "1.TRN\\2.INI";
  ASSERT_TRUE(deleteFile(transaction));
  ASSERT_TRUE(forceFolders(transaction));
  EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -3);
  EXPECT_EQ(asset.loadFailure(), " (Acme (ACM)): its transaction file 1.TRN\\2.INI is a folder, not a file");
  deleteTree(transaction);
  ASSERT_EQ(asset.load(folder, 1, {}, nullptr), 0);

  ASSERT_TRUE(deleteFile(folder + "1.INI"));
  ASSERT_TRUE(forceFolders(folder + "1.INI"));
  EXPECT_EQ(asset.load(folder, 1, {}, nullptr), -3);
  EXPECT_EQ(asset.loadFailure(), ": it is a folder, not a file");
  EXPECT_EQ(asset.Number(), -1);
}

TEST_F(HandMadeAsset, SavesOnlyWhatChangedAndInPortableForm) {
  ASSERT_EQ(asset.load(folder, 1, {}, nullptr), 0);
  const std::string before = readWholeFile(folder + "1.INI");
  ASSERT_EQ(asset.save(), 0);
  EXPECT_EQ(readWholeFile(folder + "1.INI"), before);

  // What changed is written, in portable form; what did not stays as the
  // file spells it, and so do its lines.
  asset.setName("Acme Corp");
  asset.setCustomProperty("Target", "14.5");
  asset.setPercentBonds(40);
  ASSERT_EQ(asset.save(), 0);
  EXPECT_EQ(readWholeFile(folder + "1.INI"),
            "[Asset]\r\nEntries=11\r\nName=Acme Corp\r\nSymbol=ACM\r\nCurrency=usd\r\n"
            "PriceHistoryLocation=<QUOTES>ACME.TXT\r\nPriceHistoryFormatString=YYYYMMDD;C;V\r\n"
            "[Allocation]\r\nStocks=60\r\nBonds= 4.00000000000000E+0001\r\nCash=0\r\nOther=0\r\n\r\n"
            "[CustomProperties]\r\nTarget=14.5\r\n\r\n");

  // A window's line size is saved though it is no change of the asset.
  const double changed = asset.lastChange();
  asset.setViewProperty("RowHeight", "30");
  EXPECT_EQ(asset.lastChange(), changed);
  ASSERT_EQ(asset.save(), 0);
  EXPECT_NE(readWholeFile(folder + "1.INI").find("[ExternalProperties]\r\nRowHeight=30\r\n"), std::string::npos);

  // A price added through the series reaches its file on the asset's save.
  TQuoteRecord quote;
  quote.Close = 13;
  quote.Mask = quoteCloseBit;
  asset.Prices().addRecord(quote, true, 0, day(2024, 1, 8));
  ASSERT_EQ(asset.save(), 0);
  EXPECT_NE(readWholeFile(sample.quotes + "ACME.TXT").find("20240108;13"), std::string::npos);
}

TEST_F(HandMadeAsset, ASaveWritesItsPriceChangesIntoTheFileAnotherProgramAddedTo) {
  ASSERT_EQ(asset.load(folder, 1, {}, nullptr), 0);
  TQuoteRecord quote;
  quote.Close = 13;
  quote.Mask = quoteCloseBit;
  asset.Prices().addRecord(quote, true, 0, day(2024, 1, 8));
  asset.setName("Acme Corp");
  // The downloader appends the days it fetched while the program runs.
  const std::string file = sample.quotes + "ACME.TXT";
  writeWholeFile(file, readWholeFile(file) + "20240109;12.5;80\r\n");
  ASSERT_EQ(asset.save(), 0);
  EXPECT_EQ(readWholeFile(file),
            "20240102;10.5;100\r\n20240103;11;120\r\n20240104;;500\r\n20240105;12.25;90\r\n20240108;13;\r\n"
            "20240109;12.5;80\r\n");
}

// A read-only asset file once kept the transactions' changes from their own
// files too, and nothing told which file had failed.
TEST_F(HandMadeAsset, ASaveThatCannotWriteReportsItAndNamesTheFile) {
  ASSERT_EQ(asset.load(folder, 1, {}, nullptr), 0);
  asset.setSymbol("ACX");
  ASSERT_TRUE(asset.Transactions().findNumber(1)->setFees(6));
  SetFileAttributesA((folder + "1.INI").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(asset.save(), -4);
  EXPECT_EQ(asset.UnsavedFiles(), std::vector<std::string>{folder + "1.INI"});
  EXPECT_EQ(TPortableIniFile(folder + "1.TRN\\1.INI").readFloat("Transaction", "Fees", 0), 6);
  SetFileAttributesA((folder + "1.INI").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(asset.save(), 0);
  EXPECT_TRUE(asset.UnsavedFiles().empty());
  EXPECT_NE(readWholeFile(folder + "1.INI").find("Symbol=ACX"), std::string::npos);

  // A transaction file that fails is named; the asset file is written.
  asset.setSymbol("ACY");
  ASSERT_TRUE(asset.Transactions().findNumber(2)->setFees(8));
  SetFileAttributesA((folder + "1.TRN\\2.INI").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(asset.save(), -4);
  SetFileAttributesA((folder + "1.TRN\\2.INI").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(asset.UnsavedFiles(), std::vector<std::string>{folder + "1.TRN\\2.INI"});
  EXPECT_NE(readWholeFile(folder + "1.INI").find("Symbol=ACY"), std::string::npos);
}

TEST_F(HandMadeAsset, CreateNewChecksBeforeMakingAnything) {
  EXPECT_EQ(asset.createNew("B", "B", false, 7, 1, "YYYYMMDD C", sample.quotes + "B.TXT", folder, "EUR"), -4);
  EXPECT_EQ(asset.createNew("B", "B", false, 7, 2, "YYYYMMDD C", sample.data + "MISSING\\B.TXT", folder, "EUR"), -2);
  EXPECT_EQ(asset.createNew("B", "B", false, 7, 2, "DMY", sample.quotes + "B.TXT", folder, "EUR"), -6);
  EXPECT_FALSE(pathExists(folder + "2.TRN"));

  ASSERT_EQ(asset.createNew(" Bravo ", " BRV", false, 7, 2, " YYYYMMDD C ", sample.quotes + "B.TXT", folder,
                            "eur"), 0);
  TAsset created;
  ASSERT_EQ(created.load(folder, 2, {}, nullptr), 0);
  EXPECT_EQ(created.Name(), "Bravo");
  EXPECT_EQ(created.PriceHistoryFormatString(), "YYYYMMDD C");
  EXPECT_EQ(created.getCurrency(), "EUR");
  ASSERT_EQ(created.transactionCount(), 1);
  EXPECT_EQ(created.Transactions().items(0)->Number(), 7);
  EXPECT_EQ(created.Transactions().items(0)->Units(), 0);
  EXPECT_TRUE(fileExists(folder + "2.TRN\\1.INI"));
}

TEST_F(HandMadeAsset, DeletingFilesStaysWithinItsOwn) {
  ASSERT_EQ(asset.load(folder, 1, {}, nullptr), 0);
  EXPECT_EQ(asset.deletionPaths(), (std::vector<std::string>{folder + "1.INI", folder + "1.TRN\\"}));
  // A cleared asset's names are empty or relative: nothing may go.
  EXPECT_TRUE(TAsset().deletionPaths().empty());
}

TEST(SampleAsset, EveryQuoteFormatOfTheSampleReadsAllDays) {
  TSampleWorkFolder sample;
  for (const char* portfolio : {"1\\", "2\\"}) {
    for (int number = 1; number <= 5; ++number) {
      TAsset asset;
      ASSERT_EQ(asset.load(sample.folios + portfolio, number, {}, nullptr), 0) << portfolio << number;
      if (asset.noPriceHistoryLocation()) {
        EXPECT_TRUE(asset.Prices().isNull());
        continue;
      }
      EXPECT_EQ(asset.Prices().count(), 776) << asset.Symbol();
      EXPECT_EQ(asset.priceFormatFields() & quoteCloseBit, quoteCloseBit);
      EXPECT_FALSE(asset.priceHistoryInForexDir());
    }
  }
}
