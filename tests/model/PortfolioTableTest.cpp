#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "model/Portfolio.h"
#include "model/PortfolioList.h"
#include "model/PortfolioTable.h"
#include "model/PortableIniFile.h"
#include "model/Prices.h"
#include "model/Transaction.h"
#include "platform/CalendarDates.h"
#include "platform/LocaleSettings.h"
#include "tests/model/SampleWorkFolder.h"

namespace {

class SampleTable : public testing::Test {
 protected:
  int openAll(bool onlyIfLoadAlways = true) {
    return table.openAll(sample.folios, onlyIfLoadAlways, [&](void*, int code, const std::string&) {
      codes.push_back(code);
    }, nullptr, true, false);
  }

  TSampleWorkFolder sample;
  TPortfolioTable table;
  std::vector<int> codes;
};

}  // namespace

TEST_F(SampleTable, OpensEveryMarkedPortfolioAndMergesTheirDates) {
  forceFolders(sample.folios + "notes");
  ASSERT_EQ(openAll(), 0);
  ASSERT_EQ(table.count(), 2);
  EXPECT_EQ(codes.front(), 10);
  EXPECT_EQ(codes[1], 0);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), 17), 2);
  EXPECT_EQ(table.Dates().size(), 776u);
  EXPECT_EQ(table.current(), nullptr);
  EXPECT_EQ(table.indexOfFolder(lowerCase(sample.folios) + "2"), 1);
  EXPECT_EQ(table.open(sample.folios + "2\\", false, {}, nullptr, true, false), 0);
  EXPECT_EQ(table.count(), 2);

  double date = 0;
  bool found = false;
  EXPECT_EQ(table.lastDate(date, found), 775);
  table.firstTradeDate(date, found);
  EXPECT_TRUE(found);
  bool ok = true;
  double rateDate = 0;
  long double result = 0;
  table.convertCurrency("EUR", "usd", ok, rateDate, date + 30, result, 100);
  EXPECT_FALSE(ok);  // no table is loaded until asked for
  ASSERT_EQ(table.loadForexTables({}, nullptr), 0);
  table.convertCurrency("EUR", "usd", ok, rateDate, date + 30, result, 100);
  EXPECT_TRUE(ok);  // the retirement account's euro asset needed it
  EXPECT_GT(result, 100);
}

TEST_F(SampleTable, SkipsUnmarkedPortfoliosButReportsBrokenOnes) {
  TPortableIniFile(sample.folios + "1\\0.INI").writeBool("Portfolio", "LoadAlways", false);
  EXPECT_EQ(openAll(), 0);
  EXPECT_EQ(table.count(), 1);
  // A price file without a valid line is a failure, not a portfolio left
  // closed on purpose, even though both are -7 from the load.
  writeWholeFile(sample.quotes + "GIX.CSV", "garbage\r\n");
  EXPECT_EQ(openAll(), -7);
  EXPECT_EQ(table.count(), 0);
  EXPECT_EQ(table.openAll(sample.root + "NOWHERE", true, {}, nullptr, true, false), -2);
}

TEST_F(SampleTable, SavingUnchangedPortfoliosLeavesEveryFileAsItWas) {
  const auto before = folderContents(sample.root);
  ASSERT_EQ(openAll(), 0);
  ASSERT_EQ(table.saveAll(), 0);
  EXPECT_EQ(folderContents(sample.root), before);
}

TEST_F(SampleTable, ChangesReachTheirFilesOnSaveAndClose) {
  ASSERT_EQ(openAll(), 0);
  TPortfolio& growth = *table.items(0);
  TTransaction& sale = *growth.findTransaction(15);
  const std::string saleFile = sale.FileName();
  const auto before = folderContents(sample.root);
  const double stamp = table.lastChange();
  sale.setUnits(-30);
  EXPECT_GT(table.lastChange(), stamp);
  growth.assets(2)->setPercentStocks(90);
  ASSERT_EQ(table.saveAll(), 0);

  auto after = folderContents(sample.root);
  std::vector<std::string> changed;
  for (const auto& [path, content] : after) {
    if (before.at(path) != content) changed.push_back(path);
  }
  EXPECT_EQ(changed, (std::vector<std::string>{"DATA\\FOLIOS\\1\\2.TRN\\3.INI", "DATA\\FOLIOS\\1\\3.INI"}));
  EXPECT_EQ(saleFile, sample.folios + "1\\2.TRN\\3.INI");
  TTransaction reread;
  ASSERT_EQ(reread.load(saleFile), 0);
  EXPECT_EQ(reread.Units(), -30);

  // Closing saves too, and clears the mark to open it at start.
  growth.setName("Growth");
  ASSERT_EQ(table.close(sample.folios + "1", true, {}, nullptr), 0);
  EXPECT_EQ(table.count(), 1);
  TPortableIniFile header(sample.folios + "1\\0.INI");
  EXPECT_EQ(header.readString("Portfolio", "Name", ""), "Growth");
  EXPECT_FALSE(header.readBool("Portfolio", "LoadAlways", true));
}

TEST_F(SampleTable, AFailedSaveKeepsThePortfolioOpen) {
  ASSERT_EQ(openAll(), 0);
  TTransaction& sale = *table.items(1)->findTransaction(3);
  sale.setFlag("changed");
  HANDLE held = CreateFileA(sale.FileName().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(table.close(sample.folios + "2", false, {}, nullptr), -4);
  CloseHandle(held);
  ASSERT_EQ(table.count(), 2);
  ASSERT_EQ(table.close(sample.folios + "2", false, {}, nullptr), 0);
  TTransaction reread;
  ASSERT_EQ(reread.load(sample.folios + "2\\1.TRN\\3.INI"), 0);
  EXPECT_EQ(reread.Flag(), "changed");
}

TEST_F(SampleTable, ClosingKeepsTheSamePortfolioCurrent) {
  ASSERT_EQ(openAll(), 0);
  std::string folder;
  ASSERT_EQ(table.newPortfolio("Third", "T3", folder, sample.folios, "GBP"), 0);
  ASSERT_EQ(table.count(), 3);
  table.setCurrentIndex(1);
  TPortfolio* current = table.current();
  current->setCurrentAssetIndex(2);
  const double currentChange = table.CurrentChange();
  table.setCurrentIndex(1);
  EXPECT_EQ(table.CurrentChange(), currentChange);
  EXPECT_EQ(current->currentAssetIndex(), 2);

  ASSERT_EQ(table.close(folder, false, {}, nullptr), 0);  // after the current one
  EXPECT_EQ(table.currentIndex(), 1);
  ASSERT_EQ(table.close(sample.folios + "1", false, {}, nullptr), 0);  // before it
  EXPECT_EQ(table.currentIndex(), 0);
  EXPECT_EQ(table.current(), current);
  EXPECT_GT(table.CurrentChange(), currentChange);
  ASSERT_EQ(table.close(sample.folios + "2", false, {}, nullptr), 0);
  EXPECT_EQ(table.currentIndex(), -1);
  EXPECT_EQ(table.close(sample.folios + "2", false, {}, nullptr), 0);
}

TEST_F(SampleTable, NewDuplicateAndDeleteWorkOnTheirOwnFolders) {
  ASSERT_EQ(openAll(), 0);
  std::string folder;
  ASSERT_EQ(table.newPortfolio(" Third ", "T3", folder, sample.folios, "gbp"), 0);
  EXPECT_EQ(folder, sample.folios + "3\\");
  EXPECT_EQ(folderContents(folder), (std::map<std::string, std::string>{
                                         {"0.INI", "[Portfolio]\r\nEntries=5\r\nName=Third\r\nSymbol=T3\r\n"
                                                   "Currency=GBP\r\nLoadAlways=1\r\n\r\n"},
                                         {"Browsers\\", ""},
                                         {"Charts\\", ""},
                                         {"Graphs\\", ""}}));
  ASSERT_EQ(table.count(), 3);
  EXPECT_EQ(table.items(2)->getCurrency(), "GBP");

  ASSERT_EQ(table.duplicatePortfolio(0, sample.folios), 0);
  ASSERT_EQ(table.count(), 4);
  EXPECT_EQ(folderContents(sample.folios + "4"), folderContents(sample.folios + "1"));
  EXPECT_EQ(table.items(3)->Name(), "Growth Portfolio");
  EXPECT_EQ(table.items(3)->transactionCount(), 50);
  EXPECT_EQ(table.duplicatePortfolio(4, sample.folios), -7);

  const auto others = folderContents(sample.folios + "2");
  ASSERT_EQ(table.deletePortfolio(0), 0);
  EXPECT_FALSE(pathExists(sample.folios + "1"));
  EXPECT_EQ(folderContents(sample.folios + "2"), others);
  EXPECT_EQ(table.count(), 3);
  EXPECT_EQ(table.items(2)->Folder(), sample.folios + "4\\");
  EXPECT_EQ(table.Dates().size(), 776u);
  EXPECT_EQ(table.deletePortfolio(3), -7);

  // The freed number is the next new portfolio's.
  ASSERT_EQ(table.newPortfolio("Fourth", "F", folder, sample.folios, "EUR"), 0);
  EXPECT_EQ(folder, sample.folios + "1\\");
}

TEST_F(SampleTable, PortfolioListReadsHeadersOnly) {
  TPortfolioList list;
  EXPECT_EQ(list.scan(sample.root + "NOWHERE"), -2);
  ASSERT_EQ(list.scan(sample.folios), 0);
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.items(1)->Name(), "Retirement Account");
  EXPECT_EQ(list.items(1)->assetCount(), 0);
  EXPECT_EQ(list.add(sample.folios + "1\\"), 0);
  EXPECT_EQ(list.count(), 2);
  list.items(0)->setLoadAlways(false);
  const auto before = readWholeFile(sample.folios + "1\\0.INI");
  ASSERT_EQ(list.saveLoadAlways(), 0);
  std::string expected = before;
  expected.replace(expected.find("LoadAlways=1"), 12, "LoadAlways=0");
  EXPECT_EQ(readWholeFile(sample.folios + "1\\0.INI"), expected);

  // A mark the user left as it was is not written: what another program
  // set since stays.
  TPortableIniFile(sample.folios + "2\\0.INI").writeBool("Portfolio", "LoadAlways", false);
  const auto edited = readWholeFile(sample.folios + "2\\0.INI");
  ASSERT_EQ(list.saveLoadAlways(), 0);
  EXPECT_EQ(readWholeFile(sample.folios + "2\\0.INI"), edited);
  EXPECT_EQ(readWholeFile(sample.folios + "1\\0.INI"), expected);
}

namespace {

// Every series of every open asset as (date, close) pairs in date order.
std::vector<std::vector<std::pair<double, long double>>> allCloses(const TPortfolioTable& table) {
  std::vector<std::vector<std::pair<double, long double>>> series;
  for (int p = 0; p < table.count(); ++p) {
    for (int a = 0; a < table.items(p)->assetCount(); ++a) {
      TPrices& prices = table.items(p)->assets(a)->Prices();
      auto& closes = series.emplace_back();
      for (int i = 0; i < prices.count(); ++i) {
        double date = 0;
        TQuoteRecord quote;
        prices.getRecordBySortedIndex(i, date, quote);
        closes.emplace_back(date, quote.Close);
      }
    }
  }
  return series;
}

}  // namespace

TEST_F(SampleTable, AlignedPricesComeBackAsLoadedAndLeaveEveryFileAlone) {
  const auto files = folderContents(sample.root);
  ASSERT_EQ(openAll(), 0);
  const auto loaded = allCloses(table);
  std::vector<double> shuffled(table.Dates().rbegin(), table.Dates().rend());
  const double fromDate = table.Dates()[10];
  for (int p = 0; p < table.count(); ++p) ASSERT_EQ(table.items(p)->alignPricesToDates(shuffled, fromDate, 0.5), 0);
  const auto aligned = allCloses(table);
  ASSERT_EQ(aligned.size(), loaded.size());
  EXPECT_NE(aligned, loaded);
  for (size_t s = 0; s < loaded.size(); ++s) {
    ASSERT_EQ(aligned[s].size(), loaded[s].size());
    for (size_t i = 0; i < loaded[s].size(); ++i) EXPECT_EQ(aligned[s][i].first, loaded[s][i].first);
  }
  // Aligned twice (a second test run) keeps the loaded records, not the first copy.
  ASSERT_EQ(table.items(0)->alignPricesToDates(shuffled, fromDate, 0.5), 0);
  EXPECT_EQ(table.saveAll(), -1) << "a test copy is never written";
  EXPECT_EQ(folderContents(sample.root), files);

  TAsset& asset = *table.items(0)->assets(0);
  ASSERT_EQ(asset.restorePrices(), 0);
  EXPECT_EQ(asset.restorePrices(), -7);
  for (int p = 0; p < table.count(); ++p) EXPECT_EQ(table.items(p)->restoreAlignedPrices(), 0);
  EXPECT_EQ(allCloses(table), loaded);
  for (int p = 0; p < table.count(); ++p) {
    for (int a = 0; a < table.items(p)->assetCount(); ++a) EXPECT_FALSE(table.items(p)->assets(a)->Prices().modified());
  }
  ASSERT_EQ(table.saveAll(), 0);
  EXPECT_EQ(folderContents(sample.root), files);
}

TEST_F(SampleTable, PricesAndCurrencyTablesReloadUnderTheAssetsHoldingThem) {
  ASSERT_EQ(openAll(), 0);
  ASSERT_EQ(table.loadForexTables({}, nullptr), 0);
  TPortfolio& portfolio = *table.items(0);
  TAsset& asset = *portfolio.assets(0);
  TPrices* held = &asset.Prices();
  const int records = held->count();
  const size_t dates = table.Dates().size();
  double date = 0;
  ASSERT_TRUE(encodeDate(2025, 1, 3, date));
  {
    std::string text = readWholeFile(sample.quotes + "NWE.CSV") + "2025-01-03,56,57,55,56.5,1000\r\n";
    writeWholeFile(sample.quotes + "NWE.CSV", text);
    writeWholeFile(sample.forex + "EURtoUSD.CSV", readWholeFile(sample.forex + "EURtoUSD.CSV") + "20250103,2\r\n");
  }
  ASSERT_EQ(table.reloadPrices(), 0);
  EXPECT_EQ(&asset.Prices(), held) << "the assets keep the series they hold";
  EXPECT_EQ(held->count(), records + 1);
  EXPECT_EQ(table.Dates().size(), dates + 1);
  EXPECT_EQ(table.Dates().back(), date);

  bool ok = false;
  double rateDate = 0;
  long double result = 0;
  table.convertCurrency("EUR", "USD", ok, rateDate, date, result, 100);
  ASSERT_TRUE(ok);
  EXPECT_LT(result, 150) << "the table loaded before the change";
  ASSERT_EQ(table.reloadForexTables({}, nullptr), 0);
  table.convertCurrency("EUR", "USD", ok, rateDate, date, result, 100);
  EXPECT_TRUE(ok);
  EXPECT_EQ(result, 200);
  long double value = 0;
  portfolio.navAt(true, value, ok, rateDate, date);
  EXPECT_TRUE(ok);

  // A series holding a test copy is not reloaded, and a file that has gone
  // bad leaves the records held.
  std::vector<double> shuffled(table.Dates().rbegin(), table.Dates().rend());
  ASSERT_EQ(asset.alignPricesToDates(shuffled, table.Dates()[5], 0.5), 0);
  EXPECT_EQ(table.reloadPrices(), -1);
  ASSERT_EQ(asset.restorePrices(), 0);
  writeWholeFile(sample.quotes + "NWE.CSV", "no prices here\r\n");
  EXPECT_NE(table.reloadPrices(), 0);
  EXPECT_EQ(held->count(), records + 1);
}

// Windows know the portfolio they show by its serial alone.
TEST_F(SampleTable, SerialNumbersAreNeverGivenTwiceAcrossClearsAndReopens) {
  ASSERT_EQ(openAll(), 0);
  std::set<int32_t> serials;
  for (int i = 0; i < table.count(); ++i) serials.insert(table.items(i)->Serial());
  table.clear();
  ASSERT_EQ(openAll(), 0);
  ASSERT_EQ(table.count(), 2);
  for (int i = 0; i < table.count(); ++i) EXPECT_TRUE(serials.insert(table.items(i)->Serial()).second);
  ASSERT_EQ(table.close(sample.folios + "2", false, {}, nullptr), 0);
  ASSERT_EQ(table.open(sample.folios + "2\\", false, {}, nullptr, true, false), 0);
  EXPECT_TRUE(serials.insert(table.items(1)->Serial()).second);
}
