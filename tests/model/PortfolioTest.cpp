#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <functional>
#include <map>
#include <optional>

#include "model/PlainText.h"
#include "model/Portfolio.h"
#include "model/PortfolioList.h"
#include "model/PortfolioTable.h"
#include "model/PortableIniFile.h"
#include "model/UnreadableFiles.h"
#include "model/PriceCache.h"
#include "model/Prices.h"
#include "model/Transaction.h"
#include "model/UnreadableFiles.h"
#include "platform/CalendarDates.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/support/DamagedRecords.h"

using namespace std::string_literals;

namespace {

// A portfolio refused tells how the user has it back.
std::vector<std::string> refused(const std::string& why) {
  return {why + " Mend the file, or put back a copy of it, and open the portfolio again."};
}

double day(int year, int month, int d) {
  double date = 0;
  encodeDate(year, month, d, date);
  return date;
}

// A portfolio in euros made through the model itself, with hand-made prices
// and rates: EURtoUSD 1.25 from 2 January 2024 and 1.6 from 5 January;
// USDtoCHF 0.8 throughout, so CHF to EUR goes through the dollar.
class MadePortfolio : public testing::Test {
 protected:
  void SetUp() override {
    writeWholeFile(sample.forex + "EURtoUSD.CSV", "20240102,1.25\r\n20240105,1.6\r\n");
    writeWholeFile(sample.forex + "USDtoCHF.CSV", "20240102,0.8\r\n");
    writeWholeFile(sample.quotes + "US.TXT", "20240102,40\r\n20240103,50\r\n20240105,60\r\n");
    writeWholeFile(sample.quotes + "CH.TXT", "20240102,100\r\n20240104,80\r\n");
    writeWholeFile(sample.quotes + "EU.TXT", "20240102,10\r\n20240103,11\r\n");
    ASSERT_EQ(maker.createNew("Made", "MAD", folder, "EUR"), 0);
    ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0);
    ASSERT_EQ(portfolio.newAsset("US stock", "USS", false, "YYYYMMDD,C", sample.quotes + "US.TXT", "USD"), 0);
    ASSERT_EQ(portfolio.newAsset("Swiss stock", "CHS", false, "YYYYMMDD,C", sample.quotes + "CH.TXT", "CHF"), 0);
    ASSERT_EQ(portfolio.newAsset("Euro bond", "EUB", false, "YYYYMMDD,C", sample.quotes + "EU.TXT", "EUR"), 0);
    for (int i = 0; i < 3; ++i) {
      TTransaction* first = portfolio.assets(i)->Transactions().items(0);
      first->setDateTime(day(2024, 1, 1));  // the empty opening entry, moved before the prices
    }
    portfolio.assets(0)->Allocation().setAll(100, 0, 0, 0);
    portfolio.assets(1)->Allocation().setAll(50, 0, 0, 50);
    portfolio.assets(2)->Allocation().setAll(0, 100, 0, 0);
    ASSERT_EQ(portfolio.addTransaction(0, 0, day(2024, 1, 2) + 0.5, 10, 400, 5, "", "", true), 0);
    ASSERT_EQ(portfolio.addTransaction(1, 0, day(2024, 1, 2) + 0.5, 2, 200, 3, "", "", true), 0);
    ASSERT_EQ(portfolio.addTransaction(2, 0, day(2024, 1, 3) + 0.5, 100, 1100, 0, "", "", false), 0);
  }

  TSampleWorkFolder sample;
  std::string folder = sample.folios + "7\\";
  int32_t serials = 0;
  TPortfolio maker{serials};
  TPortfolio portfolio{serials};
};

// The record a file of the sample's Growth Portfolio holds: its header, the
// Euro Bond Fund's file or one of that fund's transactions.
TCustomPropertyObject& growthRecord(TPortfolio& portfolio, const std::string& file) {
  if (file == "0.INI") return portfolio;
  for (int i = 0; i < portfolio.assetCount(); ++i) {
    TAsset& bonds = *portfolio.assets(i);
    if (bonds.Symbol() != "EBF") continue;
    if (file == "4.INI") return bonds;
    for (int j = 0; j < bonds.transactionCount(); ++j)
      if (bonds.Transactions().items(j)->FileName().ends_with("\\" + file)) return *bonds.Transactions().items(j);
  }
  ADD_FAILURE() << "no record in " << file;
  return portfolio;
}

}  // namespace

TEST_F(MadePortfolio, ValuesInItsCurrencyThroughDirectInverseAndCrossRates) {
  EXPECT_EQ(portfolio.Serial(), 2);
  EXPECT_EQ(portfolio.TransactionNumbers(), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(portfolio.Dates(), (std::vector<double>{day(2024, 1, 2), day(2024, 1, 3), day(2024, 1, 4),
                                                     day(2024, 1, 5)}));
  long double value = 0, native = 0;
  bool ok = false;
  double rateAge = -1;
  // 10 USD shares at 50 = 500 USD at 1.25 USD per EUR.
  portfolio.assetNavAt(0, false, ok, rateAge, value, native, day(2024, 1, 3) + 0.9);
  EXPECT_TRUE(ok);
  EXPECT_EQ(native, 500);
  EXPECT_EQ(value, 500 / 1.25L);
  EXPECT_EQ(rateAge, day(2024, 1, 3) + 0.9 - day(2024, 1, 2));
  // 2 Swiss shares at 100 CHF, CHF to USD 1 / 0.8, USD to EUR 1 / 1.25.
  portfolio.assetNavAt(1, true, ok, rateAge, value, native, day(2024, 1, 3) + 0.9);
  EXPECT_TRUE(ok);
  EXPECT_NEAR(static_cast<double>(value), 200 / 0.8 / 1.25, 1e-12);

  double maxRateAge = 0;
  portfolio.navAt(true, value, ok, maxRateAge, day(2024, 1, 3) + 0.9);
  EXPECT_TRUE(ok);
  EXPECT_NEAR(static_cast<double>(value), 400 + 200 + 1100, 1e-9);
  // The Swiss stock has no price on the 3rd; without earlier prices the sum fails.
  portfolio.navAt(false, value, ok, maxRateAge, day(2024, 1, 3) + 0.9);
  EXPECT_FALSE(ok);

  double stocks = 0, bonds = 0, cash = 0, other = 0;
  portfolio.allocationAt(true, stocks, bonds, cash, other, ok, maxRateAge, day(2024, 1, 3) + 0.9);
  EXPECT_TRUE(ok);
  EXPECT_NEAR(stocks, (400 * 100 + 200 * 50) / 1700.0, 1e-9);
  EXPECT_NEAR(other, 200 * 50 / 1700.0, 1e-9);
  EXPECT_NEAR(bonds, 1100 * 100 / 1700.0, 1e-9);
  portfolio.assets(1)->Allocation().clear();
  portfolio.allocationAt(true, stocks, bonds, cash, other, ok, maxRateAge, day(2024, 1, 3) + 0.9);
  EXPECT_FALSE(ok);

  portfolio.currencyPartAt("chf", true, ok, value, day(2024, 1, 4));
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, 160);
  portfolio.currencyPartAt("JPY", true, ok, value, day(2024, 1, 4));
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, 0);
  portfolio.convertedCurrencyPartAt("USD", true, ok, value, native, maxRateAge, day(2024, 1, 5) + 0.9);
  EXPECT_EQ(native, 600);
  EXPECT_EQ(value, 600 / 1.6L);
}

TEST_F(MadePortfolio, SumsAndFlowsInItsCurrency) {
  long double value = 0;
  bool ok = false;
  portfolio.feesAt(value, ok, day(2024, 1, 31));
  EXPECT_TRUE(ok);
  EXPECT_NEAR(static_cast<double>(value), 5 / 1.25 + 3 / 0.8 / 1.25, 1e-12);
  TFlowList flows;
  portfolio.principalFlows(flows, ok, day(2024, 1, 2), day(2024, 1, 3) + 0.5);
  EXPECT_TRUE(ok);
  ASSERT_EQ(flows.size(), 4u);
  EXPECT_NEAR(static_cast<double>(flows[1]), 400 / 1.25 + 200 / 0.8 / 1.25, 1e-9);
  EXPECT_EQ(flows[3], 1100);

  double date = 0;
  bool found = false;
  portfolio.lastTradeDate(date, found);
  EXPECT_EQ(date, day(2024, 1, 3) + 0.5);
  portfolio.latestFirstQuoteDate(date, found);
  EXPECT_EQ(date, day(2024, 1, 2));
  portfolio.earliestLastQuoteDate(date, found);
  EXPECT_EQ(date, day(2024, 1, 3));
}

TEST_F(MadePortfolio, TransactionNumbersStayUniqueAndNeverWrap) {
  EXPECT_EQ(portfolio.nextTransactionNumber(), 7);
  ASSERT_NE(portfolio.findTransaction(5), nullptr);
  EXPECT_EQ(portfolio.findTransactionAsset(5), portfolio.assets(1));
  EXPECT_EQ(portfolio.transactionByIndex(5)->Number(), 6);
  EXPECT_EQ(portfolio.deleteTransaction(2), 0);
  EXPECT_EQ(portfolio.deleteTransaction(2), -7);
  EXPECT_EQ(portfolio.indexOfTransactionNumber(3), 1);
  EXPECT_EQ(portfolio.addTransaction(9, 0, 0, 0, 0, 0, "", "", false), -7);

  portfolio.findTransaction(6)->setNumber(INT32_MAX);
  EXPECT_EQ(portfolio.nextTransactionNumber(), -4);
  EXPECT_EQ(portfolio.addTransaction(0, 0, day(2024, 2, 1), 1, 1, 0, "", "", true), -4);
  EXPECT_EQ(portfolio.assets(0)->transactionCount(), 2);
}

TEST_F(MadePortfolio, AnAssetThatCannotLoadLeavesNoFilesBehind) {
  writeWholeFile(sample.quotes + "BAD.TXT", "nothing that reads as a quote\r\n");
  EXPECT_EQ(portfolio.newAsset("Bad", "BAD", false, "YYYYMMDD,C", sample.quotes + "BAD.TXT", "EUR"), -7);
  EXPECT_EQ(portfolio.assetCount(), 3);
  EXPECT_FALSE(pathExists(folder + "4.INI"));
  EXPECT_FALSE(pathExists(folder + "4.TRN"));
  // A transaction folder left without its asset file does not block new assets.
  forceFolders(folder + "4.TRN");
  ASSERT_EQ(portfolio.newAsset("Cash", "CSH", true, "", "", "EUR"), 0);
  EXPECT_EQ(portfolio.assets(3)->Number(), 5);
  EXPECT_EQ(portfolio.assets(3)->Transactions().items(0)->Number(), 7);

  TPortfolio reopened{serials};
  ASSERT_EQ(reopened.load(folder, false, {}, nullptr, true, false), 0);
  EXPECT_EQ(reopened.assetCount(), 4);
}

TEST_F(MadePortfolio, DeletingTheLastAssetsSucceeds) {
  portfolio.setCurrentAssetIndex(2);
  EXPECT_EQ(portfolio.deleteAsset(3), -7);
  ASSERT_EQ(portfolio.deleteAsset(0), 0);
  EXPECT_FALSE(pathExists(folder + "1.TRN"));
  EXPECT_EQ(portfolio.currentAssetIndex(), -1);  // index 2 no longer exists
  EXPECT_EQ(portfolio.TransactionNumbers(), (std::vector<int32_t>{2, 5, 3, 6}));
  ASSERT_EQ(portfolio.deleteAsset(0), 0);
  ASSERT_EQ(portfolio.deleteAsset(0), 0);
  EXPECT_EQ(portfolio.assetCount(), 0);
  EXPECT_TRUE(portfolio.Dates().empty());
  EXPECT_EQ(portfolio.deleteTransactionsBetweenDates(-1, false, 0, 1e6), 0);
  EXPECT_EQ(portfolio.rebuildTransactionNumbers(), 0);

  long double value = -1;
  bool ok = false;
  double maxRateAge = 0;
  portfolio.navAt(true, value, ok, maxRateAge, day(2024, 1, 3));
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, 0);
  double stocks, bonds, cash, other;
  portfolio.allocationAt(true, stocks, bonds, cash, other, ok, maxRateAge, day(2024, 1, 3));
  EXPECT_FALSE(ok);
  double date = 0;
  bool found = true;
  portfolio.firstTradeDate(date, found);
  EXPECT_FALSE(found);
  EXPECT_EQ(folderContents(folder).size(), 4u);  // the header and the three view folders
}

TEST_F(MadePortfolio, SoftTransactionsGoAsAGroup) {
  ASSERT_EQ(portfolio.addTransaction(0, 1, day(2024, 1, 4), 1, 50, 0, "SYS", "", false), 0);
  ASSERT_EQ(portfolio.addTransaction(1, 1, day(2024, 1, 4), -1, -80, 0, "SYS", "", true), 0);
  const std::string softFile = portfolio.findTransaction(8)->FileName();
  EXPECT_TRUE(fileExists(softFile));
  ASSERT_EQ(portfolio.deleteTransactionsBetweenDates(-1, true, day(2024, 1, 1), day(2024, 12, 31)), 0);
  EXPECT_EQ(portfolio.TransactionNumbers(), (std::vector<int32_t>{1, 4, 2, 5, 3, 6}));
  EXPECT_FALSE(fileExists(softFile));
}

TEST(SamplePortfolio, LoadsHeadersAloneOrWithEveryAsset) {
  TSampleWorkFolder sample;
  int32_t serials = 0;
  TPortfolio portfolio(serials);
  ASSERT_EQ(portfolio.load(sample.folios + "1", false, {}, nullptr, false, false), 0);
  EXPECT_EQ(portfolio.Name(), "Growth Portfolio");
  EXPECT_EQ(portfolio.assetCount(), 0);
  EXPECT_EQ(portfolio.getCustomProperty("TargetReturn", ".", ","), "0,075");

  std::vector<int> codes;
  ASSERT_EQ(portfolio.load(sample.folios + "1", true, [&](void*, int code, const std::string&) {
    codes.push_back(code);
  }, nullptr, true, false), 0);
  EXPECT_EQ(codes.size(), 1u + 5 * 4);
  EXPECT_EQ(portfolio.assetCount(), 5);
  EXPECT_EQ(portfolio.transactionCount(), 50);
  EXPECT_EQ(portfolio.nextTransactionNumber(), 51);
  EXPECT_EQ(portfolio.Dates().size(), 776u);
  EXPECT_TRUE(std::is_sorted(portfolio.Dates().begin(), portfolio.Dates().end()));
  // Two assets name NWE.CSV with one format: one series serves both portfolios' assets.
  TPortfolio other(serials);
  ASSERT_EQ(other.load(sample.folios + "2", false, {}, nullptr, true, false), 0);
  EXPECT_EQ(&portfolio.assets(0)->Prices(), &other.assets(3)->Prices());

  TPortableIniFile(sample.folios + "2\\0.INI").writeBool("Portfolio", "LoadAlways", false);
  bool skipped = false;
  EXPECT_EQ(other.load(sample.folios + "2", true, {}, nullptr, true, false, &skipped), -7);
  EXPECT_TRUE(skipped);
  EXPECT_EQ(other.assetCount(), 0);
  EXPECT_EQ(other.Name(), "");
}

// An unchanged portfolio once rewrote its header at every save: a property
// another program changed meanwhile went back, and a read-only header
// failed every close.
TEST(SamplePortfolio, OnlyAChangedHeaderIsWrittenAndAnUnchangedOneKeepsWhatOthersWrote) {
  TSampleWorkFolder sample;
  int32_t serials = 0;
  TPortfolio portfolio(serials);
  const std::string folder = sample.folios + "1\\";
  const std::string header = folder + "0.INI";
  ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0);
  // Rates loaded and view settings kept as they were are no header change.
  portfolio.loadForexTables({}, nullptr);
  portfolio.setViewProperty("RowHeight", "18");
  TPortableIniFile(header).writeString("CustomProperties", "TargetReturn", "0.08");
  const std::string edited = readWholeFile(header);
  const int64_t age = fileAge(header);
  SetFileAttributesA(header.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(portfolio.save(), 0);
  EXPECT_EQ(readWholeFile(header), edited);
  EXPECT_EQ(fileAge(header), age);

  // Each of the header's own changes is written; while the header is
  // read-only that fails, and is tried again at the next save.
  const std::vector<std::function<void()>> changes = {
      [&] { portfolio.setName("Growth"); },
      [&] { portfolio.setLoadAlways(false); },
      [&] { portfolio.setCustomProperty("Strategy", "value"); },
      [&] { portfolio.setViewProperty("RowHeight", "22"); }};
  for (const auto& change : changes) {
    change();
    SetFileAttributesA(header.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(portfolio.save(), -4);
    EXPECT_EQ(portfolio.UnsavedFiles(), std::vector<std::string>{header});
    SetFileAttributesA(header.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(portfolio.save(), 0);
    EXPECT_TRUE(portfolio.UnsavedFiles().empty());
  }
  const TPortableIniFile saved(header);
  EXPECT_EQ(saved.readString("Portfolio", "Name", ""), "Growth");
  EXPECT_EQ(saved.readString("Portfolio", "LoadAlways", ""), "0");
  EXPECT_EQ(saved.readString("CustomProperties", "Strategy", ""), "value");
  EXPECT_EQ(saved.readString("ExternalProperties", "RowHeight", ""), "22");
}

// A header another program rewrote in LF line ends, or with a line that is
// no entry, was cut down to the program's change by the next save: the
// mark set by opening a portfolio from the picks, the user's change, the
// mark set in the picks. Every other line now stays as it stood; a header
// no change can go into without loss is left as it is.
TEST(SamplePortfolio, AHeaderInAnotherFormKeepsEveryLineTheProgramDoesNotChange) {
  TSampleWorkFolder sample;
  const std::string folder = sample.folios + "1\\";
  const std::string header = folder + "0.INI";
  const std::string clean = readWholeFile(header);
  const auto replaced = [](std::string text, const std::string& old, const std::string& with) {
    for (size_t at = 0; (at = text.find(old, at)) != std::string::npos; at += with.size()) text.replace(at, old.size(), with);
    return text;
  };
  const std::string lineFeeds = replaced(replaced(clean, "\r\n", "\n"), "LoadAlways=1", "LoadAlways=0");
  const std::string byHand = replaced(replaced(clean, "[CustomProperties]\r\n", "[CustomProperties]\r\nreviewed by hand\r\n"),
                                      "LoadAlways=1", "LoadAlways=0");
  for (const std::string& text : {lineFeeds, byHand}) {
    SCOPED_TRACE(text == lineFeeds ? "LF" : "a line that is no entry");
    const std::string eol = text == lineFeeds ? "\n" : "\r\n";
    writeWholeFile(header, text);
    int32_t serials = 0;
    TPortfolio portfolio(serials);
    ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, true), 0);
    EXPECT_EQ(readWholeFile(header), replaced(text, "LoadAlways=0" + eol, "LoadAlways=1" + eol));
    portfolio.setCustomProperty("TargetReturn", "0.5");
    ASSERT_EQ(portfolio.save(), 0);
    EXPECT_EQ(readWholeFile(header),
              replaced(replaced(text, "LoadAlways=0" + eol, "LoadAlways=1" + eol), "TargetReturn=0.075" + eol,
                       "TargetReturn=0.5" + eol));
    TPortfolioList picks;
    ASSERT_EQ(picks.scan(sample.folios), 0);
    for (int i = 0; i < picks.count(); ++i) picks.items(i)->setLoadAlways(false);
    ASSERT_EQ(picks.saveLoadAlways(), 0);
    EXPECT_EQ(readWholeFile(header), replaced(text, "TargetReturn=0.075" + eol, "TargetReturn=0.5" + eol));
  }
  const std::string unicode = "\xff\xfe[\0P\0o\0r\0t\0f\0o\0l\0i\0o\0]\0\r\0\n\0"s;
  writeWholeFile(header, unicode);
  TPortfolioList picks;
  picks.scan(sample.folios);
  for (int i = 0; i < picks.count(); ++i) picks.items(i)->setLoadAlways(true);
  picks.saveLoadAlways();
  EXPECT_EQ(readWholeFile(header), unicode);
  takeDamagedFiles();
  takeLoadFailures();
}

// A portfolio's files were written whole from memory at any save: what
// another program wrote into them since the load went back, and the keys it
// added to a property section went. A save now writes what the program
// changed since the load or its last save, into the file as it stands.
TEST(SamplePortfolio, ASaveWritesOnlyWhatTheProgramChangedAndKeepsWhatAnotherProgramWrote) {
  TSampleWorkFolder sample;
  int32_t serials = 0;
  TPortfolio portfolio(serials);
  const std::string folder = sample.folios + "1\\";
  ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0);
  TAsset& nordwind = *portfolio.assets(0);
  ASSERT_EQ(nordwind.Symbol(), "NWE");
  TTransaction* purchase = nullptr;
  for (int i = 0; i < nordwind.transactionCount(); ++i)
    if (nordwind.Transactions().items(i)->FileName() == folder + "1.TRN\\1.INI")
      purchase = nordwind.Transactions().items(i);
  ASSERT_NE(purchase, nullptr);

  struct TFileCase {
    std::string file;
    TCustomPropertyObject& object;
    std::string theirSection;  // where the other program changes a value
    std::string theirKey;
    std::vector<std::string> counted;  // the sections the record's entry count counts
  };
  const TFileCase cases[] = {
      {folder + "0.INI", portfolio, "CustomProperties", "TargetReturn", {"Portfolio", "CustomProperties"}},
      {folder + "1.INI", nordwind, "CustomProperties", "StopLoss", {"Asset", "Allocation", "CustomProperties"}},
      {folder + "1.TRN\\1.INI", *purchase, "Transaction", "Fees", {"Transaction", "CustomProperties"}}};
  for (const TFileCase& file : cases) {
    SCOPED_TRACE(file.file);
    auto otherProgram = [&](const std::string& section, const std::string& key, const std::string& value) {
      TPortableIniFile ini(file.file);
      ini.writeString(section, key, value);
      ASSERT_TRUE(ini.updateFile());
    };
    // Another value changed by each side, and a key the other adds.
    otherProgram(file.theirSection, file.theirKey, "37");
    otherProgram("CustomProperties", "Advisor", "Meyer");
    file.object.setCustomProperty("Mine", "first");
    ASSERT_EQ(portfolio.save(), 0);
    TPortableIniFile saved(file.file);
    EXPECT_EQ(saved.readString(file.theirSection, file.theirKey, ""), "37");
    EXPECT_EQ(saved.readString("CustomProperties", "Advisor", ""), "Meyer");
    EXPECT_EQ(saved.readString("CustomProperties", "Mine", ""), "first");
    // The count counts the file as written, the other program's key in a
    // section the record writes anew among them: a line cut off later is
    // seen.
    size_t held = 0;
    for (const std::string& section : file.counted) {
      std::vector<std::string> keys;
      saved.readSection(section, keys);
      held += keys.size();
    }
    EXPECT_EQ(saved.readString(file.counted.front(), "Entries", ""), std::to_string(held));

    // The same value changed by both: the program's stands.
    otherProgram("CustomProperties", "Mine", "theirs");
    file.object.setCustomProperty("Mine", "second");
    ASSERT_EQ(portfolio.save(), 0);
    EXPECT_EQ(TPortableIniFile(file.file).readString("CustomProperties", "Mine", ""), "second");

    // A line order alone writes that key and nothing else.
    otherProgram(file.theirSection, file.theirKey, "38");
    const std::string before = readWholeFile(file.file);
    file.object.setViewProperty("DisplayOrder", "7");
    ASSERT_EQ(portfolio.save(), 0);
    writeWholeFile(sample.root + "expected.INI", before);
    TPortableIniFile expected(sample.root + "expected.INI");
    expected.writeString("ExternalProperties", "DisplayOrder", "7");
    ASSERT_TRUE(expected.updateFile());
    EXPECT_EQ(readWholeFile(file.file), readWholeFile(sample.root + "expected.INI"));
  }
}

// The assets' files are read ahead of the load; one that another program
// holds still fails the load as unreadable, and loads once let go.
TEST(SamplePortfolio, AFileHeldByAnotherProgramFailsTheLoadAsUnreadable) {
  TSampleWorkFolder sample;
  const std::string folder = sample.folios + "2\\";
  int32_t serials = 0;
  TPortfolio portfolio(serials);
  for (const std::string& held : {folder + "1.TRN\\3.INI", folder + "4.INI"}) {
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), -3) << held;
    EXPECT_EQ(portfolio.assetCount(), 0);
    CloseHandle(holder);
    ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0) << held;
    EXPECT_EQ(portfolio.assetCount(), 5);
  }
  takeUnreadableFiles();
}

TEST(SamplePortfolio, OnlyCanonicalAssetFilesLoadAndOneBadPriceFileFailsAll) {
  TSampleWorkFolder sample;
  const std::string folder = sample.folios + "2\\";
  writeWholeFile(folder + "notes.INI", "[Asset]\r\nName=not an asset\r\n");
  copyFile(folder + "1.INI", folder + "01.INI", true);
  ::deleteFile(folder + "2.INI");
  deleteTree(folder + "2.TRN");
  int32_t serials = 0;
  TPortfolio portfolio(serials);
  ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0);
  EXPECT_EQ(portfolio.assetCount(), 4);

  writeWholeFile(sample.quotes + "UST.CSV", "a price file without a single valid line\r\n");
  EXPECT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), -7);
  EXPECT_EQ(portfolio.assetCount(), 0);
  EXPECT_EQ(pricesTable().entryCount(), 0);
}

// A portfolio kept closed by one of its assets once said nothing of which
// asset or why; a damaged name is cut to fit the line.
TEST(SamplePortfolio, AnAssetThatKeepsItsPortfolioClosedIsNamedWithWhy) {
  TSampleWorkFolder sample;
  const std::string folder = sample.folios + "1\\";
  {
    TPortableIniFile ini(folder + "2.INI");
    ini.writeString("Asset", "PriceHistoryLocation", "COM1");
    ini.writeString("Asset", "Name", std::string(200001, '('));
  }
  takeLoadFailures();
  std::vector<std::string> failed;
  const TProgressProcedure progress = [&failed](void*, int code, const std::string& text) {
    if (code == progressAssetFailed) failed.push_back(text);
  };
  int32_t serials = 0;
  TPortfolio portfolio(serials);
  EXPECT_NE(portfolio.load(folder, false, progress, nullptr, true, false), 0);
  EXPECT_EQ(portfolio.assetCount(), 0);
  const std::string asset =
      folder + "2.INI (" + std::string(57, '(') + "...): its price file \"COM1\" cannot be read";
  EXPECT_EQ(failed, std::vector<std::string>{asset});
  EXPECT_EQ(takeLoadFailures(), refused("Portfolio Growth Portfolio (GRW) not opened: asset " + asset + "."));
  takeUnreadableFiles();
}

// A header, asset or transaction file emptied, of junk or in UTF-16 once
// opened as a made-up object that the close wrote over the file, without a
// word. Now its portfolio stays closed and is named with the file, and
// neither the saves at close nor the marks of the picks touch any file.
TEST(SamplePortfolio, AFileThatHoldsNoRecordKeepsItsPortfolioClosedNamedAndAsItWas) {
  TSampleWorkFolder sample;
  const std::string folder = sample.folios + "2\\";
  const std::string portfolio = "Portfolio Retirement Account (IRA) not opened: asset " + folder + "1.INI";
  const std::map<std::string, std::string> told = {
      {"0.INI", "Portfolio not opened: its file " + folder + "0.INI holds no portfolio."},
      {"1.INI", portfolio + ": its file holds no asset."},
      {"1.TRN\\1.INI",
       portfolio + " (Global Index ETF (GIX)): its transaction file 1.TRN\\1.INI holds no transaction."}};
  takeLoadFailures();
  for (const auto& [file, line] : told) {
    const std::string clean = readWholeFile(folder + file);
    for (const auto& [name, text] : damagedRecords(clean)) {
      writeWholeFile(folder + file, text);
      const std::map<std::string, std::string> before = folderContents(sample.root);
      TPortfolioTable table;
      EXPECT_NE(table.openAll(sample.folios, true, {}, nullptr, true, false), 0) << file << ", " << name;
      EXPECT_EQ(table.count(), 1);
      EXPECT_EQ(table.indexOfFolder(folder), -1);
      TPortfolioList picks;
      picks.scan(sample.folios);
      EXPECT_EQ(takeLoadFailures(), refused(line)) << file << ", " << name;
      picks.saveLoadAlways();
      table.saveAll();
      EXPECT_EQ(folderContents(sample.root), before) << file << ", " << name;
    }
    writeWholeFile(folder + file, clean);
  }
  takeUnreadableFiles();

  // A header damaged after it was listed takes no mark either.
  TPortfolioList picks;
  ASSERT_EQ(picks.scan(sample.folios), 0);
  ASSERT_EQ(picks.count(), 2);
  writeWholeFile(folder + "0.INI", "");
  for (int i = 0; i < picks.count(); ++i) picks.items(i)->setLoadAlways(false);
  EXPECT_EQ(picks.saveLoadAlways(), -4);
  EXPECT_EQ(readWholeFile(folder + "0.INI"), "");
  EXPECT_FALSE(TPortableIniFile(sample.folios + "1\\0.INI").readBool("Portfolio", "LoadAlways", true));
}

// A record file cut short, or one that lost its price file's key, still
// read as settings: the portfolio opened with defaults for what was gone
// (a purchase's value cut to its first digits, Nordwind's units worth 1
// each, the header's properties) and said nothing. Now it stays closed,
// named with the file and why, and neither saves nor marks touch a file.
TEST(SamplePortfolio, AFileCutShortKeepsItsPortfolioClosedNamedAndAsItWas) {
  TSampleWorkFolder sample;
  const std::string folder = sample.folios + "1\\";
  const std::string asset = "Portfolio Growth Portfolio (GRW) not opened: asset " + folder +
                            "1.INI (Nordwind Energie AG (NWE)): its ";
  const std::string header = "Portfolio Growth Portfolio (GRW) not opened: its file " + folder + "0.INI ";
  const std::string noLineEnd = "is cut off inside its last line.";
  struct TCut {
    std::string file;
    std::string keptUpTo;  // the file ends after it
    std::string told;
  };
  const TCut cuts[] = {
      {"1.TRN\\1.INI", "Value= 1.97", asset + "transaction file 1.TRN\\1.INI " + noLineEnd},
      {"1.TRN\\1.INI", "Value= 1.97550000000000E+0002\r\n",
       asset + "transaction file 1.TRN\\1.INI lacks Fees in section Transaction."},
      {"1.INI", "Stocks= 1.00000000000000E+0002\r\n", asset + "file lacks Bonds in section Allocation."},
      {"0.INI", "Strategy=grow", header + noLineEnd},
      {"0.INI", "Currency=EUR\r\n", header + "lacks LoadAlways in section Portfolio."}};
  takeLoadFailures();
  const auto opensNotAndWritesNothing = [&](const std::string& told, const std::string& what) {
    const std::map<std::string, std::string> before = folderContents(sample.root);
    TPortfolioTable table;
    table.openAll(sample.folios, false, {}, nullptr, true, false);
    EXPECT_EQ(table.indexOfFolder(folder), -1) << what;
    EXPECT_EQ(table.count(), 1) << what;
    TPortfolioList picks;
    picks.scan(sample.folios);
    EXPECT_EQ(takeLoadFailures(), refused(told)) << what;
    picks.saveLoadAlways();
    table.saveAll();
    EXPECT_EQ(folderContents(sample.root), before) << what;
  };
  for (const TCut& cut : cuts) {
    const std::string clean = readWholeFile(folder + cut.file);
    const size_t at = clean.find(cut.keptUpTo);
    ASSERT_NE(at, std::string::npos) << cut.keptUpTo;
    writeWholeFile(folder + cut.file, clean.substr(0, at + cut.keptUpTo.size()));
    opensNotAndWritesNothing(cut.told, cut.file + " " + cut.keptUpTo);
    writeWholeFile(folder + cut.file, clean);
  }

  // One byte less in the key of Nordwind's price file: a price format
  // without a price file. Only an asset made without one has that.
  const std::string clean = readWholeFile(folder + "1.INI");
  std::string renamed = clean;
  renamed.erase(renamed.find("Location="), 1);
  writeWholeFile(folder + "1.INI", renamed);
  opensNotAndWritesNothing(asset + "file gives a price format but no price file.", "no price file");
  writeWholeFile(folder + "1.INI", clean);
  TPortfolioTable table;
  ASSERT_EQ(table.openAll(sample.folios, false, {}, nullptr, true, false), 0);
  ASSERT_EQ(table.count(), 2);
  EXPECT_TRUE(takeLoadFailures().empty());
  takeUnreadableFiles();
}

// Cut exactly at a line end, a record gave no sign of it: the header
// opened without its target return, an asset without its properties. A
// header that lost a bracket put the entries below it into the section
// before: the portfolio opened without its strategy, and the user's edit
// was refused only at the close. Each keeps its portfolio closed now,
// named with the file and why, and nothing is written.
TEST(SamplePortfolio, ARecordCutAtALineEndOrWithEntriesInTheWrongSectionKeepsItsPortfolioClosed) {
  TSampleWorkFolder sample;
  const std::string folder = sample.folios + "1\\";
  const std::string asset = "Portfolio Growth Portfolio (GRW) not opened: asset " + folder +
                            "1.INI (Nordwind Energie AG (NWE)): its ";
  const std::string header = "Portfolio Growth Portfolio (GRW) not opened: its file " + folder + "0.INI ";
  struct TDamage {
    std::string file;
    std::string from;  // taken out, or the file cut after it when to is absent
    std::optional<std::string> to;
    std::string told;
  };
  const TDamage damages[] = {
      {"0.INI", "Strategy=growth\r\n", std::nullopt, header + "holds 6 of the 8 entries its count names."},
      {"1.INI", "Other= 0.00000000000000E+0000\r\n", std::nullopt,
       asset + "file holds 10 of the 12 entries its count names."},
      {"1.INI", "[Allocation]\r\n", std::nullopt, asset + "file lacks Stocks in section Allocation."},
      // Cut at its top, an asset opened without its names, currency and
      // price file, the portfolio's figures blank.
      {"1.INI", "[Asset]\r\nEntries=12\r\nName=Nordwind Energie AG\r\n", "",
       "Portfolio Growth Portfolio (GRW) not opened: asset " + folder + "1.INI: its file lacks its section Asset."},
      // Without its count, nothing told that the currency was lost.
      {"1.INI", "Entries=12\r\nName=Nordwind Energie AG\r\nSymbol=NWE\r\nCurrency=EUR\r\n",
       "Name=Nordwind Energie AG\r\nSymbol=NWE\r\n", asset + "file lacks Currency in section Asset."},
      {"0.INI", "Entries=8\r\nName=Growth Portfolio\r\nSymbol=GRW\r\nCurrency=EUR\r\n",
       "Name=Growth Portfolio\r\nSymbol=GRW\r\n", header + "lacks Currency in section Portfolio."},
      {"0.INI", "[CustomProperties]", "[CustomProperties",
       header + "holds the line \"[CustomProperties\", a section header that lost a bracket."},
      {"0.INI", "[CustomProperties]", "CustomProperties]",
       header + "holds the line \"CustomProperties]\", a section header that lost a bracket."},
      {"1.TRN\\1.INI", "[CustomProperties]", "[CustomProperties",
       asset + "transaction file 1.TRN\\1.INI holds the line \"[CustomProperties\", a section header that lost a "
               "bracket."}};
  takeLoadFailures();
  for (const TDamage& damage : damages) {
    const std::string what = damage.file + " " + damage.from;
    const std::string clean = readWholeFile(folder + damage.file);
    const size_t at = clean.find(damage.from);
    ASSERT_NE(at, std::string::npos) << what;
    std::string damaged = clean.substr(0, at + damage.from.size());
    if (damage.to) damaged = clean.substr(0, at) + *damage.to + clean.substr(at + damage.from.size());
    writeWholeFile(folder + damage.file, damaged);
    const std::map<std::string, std::string> before = folderContents(sample.root);
    {
      TPortfolioTable table;
      table.openAll(sample.folios, false, {}, nullptr, true, false);
      EXPECT_EQ(table.indexOfFolder(folder), -1) << what;
      EXPECT_EQ(table.count(), 1) << what;
      EXPECT_EQ(takeLoadFailures(), refused(damage.told)) << what;
      table.saveAll();
    }
    EXPECT_EQ(folderContents(sample.root), before) << what;
    writeWholeFile(folder + damage.file, clean);
  }
  takePartlyReadFiles();
  takeDamagedFiles();
  TPortfolioTable table;
  ASSERT_EQ(table.openAll(sample.folios, false, {}, nullptr, true, false), 0);
  EXPECT_EQ(table.count(), 2);
  EXPECT_TRUE(takeLoadFailures().empty());
}

// A record file cut or missing a key while the program ran took only the
// user's change at the next save, and a count of what the program held:
// what was lost was in no file any more, and the next start refused the
// whole portfolio. Such a file now takes the whole record, and is named.
TEST(SamplePortfolio, ARecordThatLostEntriesWhileOpenTakesTheWholeRecordAtItsNextSaveAndIsNamed) {
  TSampleWorkFolder sample;
  const std::string folder = sample.folios + "1\\";
  struct TDamage {
    std::string file;
    std::string from;
    bool cut;  // the file cut after from, else from taken out
    std::string section;  // an entry the damage took, read back after the save
    std::string key;
    std::string lost;  // and of what
  };
  const TDamage damages[] = {
      {"0.INI", "Strategy=growth\r\n", false, "CustomProperties", "Strategy",
       "Strategy out of the portfolio Growth Portfolio"},
      {"4.INI", "Cash= 1.00000000000000E+0001\r\n", true, "CustomProperties", "Duration",
       "Other, Duration, ColWidth and QuoteColWidth out of the asset Euro Bond Fund of Growth Portfolio"},
      {"4.TRN\\2.INI", "Fees= 4.62000000000000E+0000\r\n", false, "Transaction", "Fees",
       "Fees out of transaction "}};
  takeSavedWhole();
  for (const TDamage& damage : damages) {
    SCOPED_TRACE(damage.file);
    const std::string file = folder + damage.file;
    const std::string clean = readWholeFile(file);
    const std::string held = TPortableIniFile(file).readString(damage.section, damage.key, "");
    int32_t serials = 0;
    TPortfolio portfolio(serials);
    ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0);
    const size_t at = clean.find(damage.from);
    ASSERT_NE(at, std::string::npos);
    writeWholeFile(file, damage.cut ? clean.substr(0, at + damage.from.size())
                                    : clean.substr(0, at) + clean.substr(at + damage.from.size()));
    growthRecord(portfolio, damage.file).setCustomProperty("Broker", "Comdirect");
    ASSERT_EQ(portfolio.save(), 0);
    const std::string object =
        damage.lost.ends_with("transaction ")
            ? TPortableIniFile(file).readString("Transaction", "Number", "") + " of the asset Euro Bond Fund of Growth Portfolio"
            : "";
    EXPECT_EQ(takeSavedWhole(), std::vector<std::string>{"Another program had cut " + damage.lost + object +
                                                           " while this program ran; it put back what it holds."});
    EXPECT_EQ(TPortableIniFile(file).readString(damage.section, damage.key, ""), held);
    TPortfolio again(serials);
    EXPECT_EQ(again.load(folder, false, {}, nullptr, true, false), 0);
    EXPECT_TRUE(takeSavedWhole().empty());
    writeWholeFile(file, clean);
  }
}

// A record saved before records had an entry count gained none when a
// value changed, and one as its section's last entry when the number of
// entries changed: a cut just before it went unseen. The count now stands
// first, from the first save of any change.
TEST(SamplePortfolio, ARecordWithoutACountFirstInItsSectionGainsOneThereAtItsFirstSave) {
  TSampleWorkFolder sample;
  const std::string folder = sample.folios + "1\\";
  struct TRecord {
    std::string file;
    std::string section;
    bool countLast;  // else without a count
    std::string property;  // one the record holds, changed
  };
  const TRecord records[] = {{"0.INI", "Portfolio", false, "Strategy"},
                             {"4.INI", "Asset", true, "Duration"},
                             {"4.TRN\\2.INI", "Transaction", false, "_COMMENT"}};
  for (const TRecord& record : records) {
    SCOPED_TRACE(record.file);
    const std::string file = folder + record.file;
    TPortableIniFile old(file);
    const std::string count = old.readString(record.section, "Entries", "");
    old.writeString(record.section, "Entries", "");
    if (record.countLast) old.writeString(record.section, "Entries", count);
    ASSERT_TRUE(old.updateFile());
    int32_t serials = 0;
    TPortfolio portfolio(serials);
    ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0);
    growthRecord(portfolio, record.file).setCustomProperty(record.property, "changed");
    takeSavedWhole();
    ASSERT_EQ(portfolio.save(), 0);
    EXPECT_EQ(takeSavedWhole(), std::vector<std::string>{}) << "a count it never had is no entry it lost";
    const std::string saved = readWholeFile(file);
    EXPECT_EQ(saved.find("Entries="), saved.find("[" + record.section + "]\r\n") + record.section.size() + 4) << saved;
    TPortfolio again(serials);
    EXPECT_EQ(again.load(folder, false, {}, nullptr, true, false), 0);
  }
  EXPECT_TRUE(takeLoadFailures().empty());
}

// A number typed with a decimal comma, with a letter O for a zero or too
// large for its kind once became 0 in the portfolio's figures, and the
// close wrote 0 over it. Now its portfolio stays closed, named with the
// file, the key and the value, and neither saves nor marks touch a file.
TEST(SamplePortfolio, ANumberThatDoesNotReadKeepsItsPortfolioClosedNamedAndAsItWas) {
  TSampleWorkFolder sample;
  const std::string folder = sample.folios + "2\\";
  const std::string asset =
      "Portfolio Retirement Account (IRA) not opened: asset " + folder + "1.INI (Global Index ETF (GIX)): its ";
  struct TDamage {
    std::string file;
    std::string section;
    std::string key;
    std::string value;
  };
  const std::vector<TDamage> damages = {{"1.INI", "Allocation", "Stocks", "62,5"},
                                        {"1.INI", "Allocation", "Bonds", " 1.0000000000000OE+0002"},
                                        {"1.TRN\\1.INI", "Transaction", "Fees", "4,9"},
                                        {"1.TRN\\1.INI", "Transaction", "Units", "2,3E+0001"},
                                        {"1.TRN\\1.INI", "Transaction", "Soft", "1E300"}};
  takeLoadFailures();
  for (const TDamage& damage : damages) {
    const std::string file = folder + damage.file;
    const std::string clean = readWholeFile(file);
    TPortableIniFile(file).writeString(damage.section, damage.key, damage.value);
    const std::string told = asset + (damage.file == "1.INI" ? "file " : "transaction file " + damage.file + " ") +
                             "holds \"" + trimmedText(damage.value) + "\" for " + damage.key +
                             ", which is no number.";
    const std::map<std::string, std::string> before = folderContents(sample.root);
    TPortfolioTable table;
    EXPECT_NE(table.openAll(sample.folios, true, {}, nullptr, true, false), 0) << damage.key;
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(table.indexOfFolder(folder), -1);
    TPortfolioList picks;
    picks.scan(sample.folios);
    EXPECT_EQ(takeLoadFailures(), refused(told));
    picks.saveLoadAlways();
    table.saveAll();
    EXPECT_EQ(folderContents(sample.root), before) << damage.key;
    writeWholeFile(file, clean);
  }

  // The header's mark is read for the picks before any load: one that does
  // not read is taken as not set and told, and stays as the file spells it
  // until the user sets the mark.
  const std::string header = folder + "0.INI";
  TPortableIniFile(header).writeString("Portfolio", "LoadAlways", "1E300");
  const std::string told = "Portfolio Retirement Account (IRA) not marked to open at the start: its file " + header +
                           " holds \"1E300\" for LoadAlways, which is no number.";
  const std::map<std::string, std::string> before = folderContents(sample.root);
  TPortfolioTable table;
  EXPECT_EQ(table.openAll(sample.folios, true, {}, nullptr, true, false), 0);
  EXPECT_EQ(table.count(), 1);
  EXPECT_EQ(table.indexOfFolder(folder), -1);
  TPortfolioList picks;
  ASSERT_EQ(picks.scan(sample.folios), 0);
  ASSERT_EQ(picks.count(), 2);
  TPortfolio* pick = picks.items(0)->Folder() == folder ? picks.items(0) : picks.items(1);
  EXPECT_FALSE(pick->LoadAlways());
  EXPECT_EQ(takeLoadFailures(), std::vector<std::string>{told});
  EXPECT_EQ(picks.saveLoadAlways(), 0);
  table.saveAll();
  EXPECT_EQ(folderContents(sample.root), before);

  // Opened all the same, it is whole; a change of the header leaves the mark.
  int32_t serials = 0;
  TPortfolio portfolio(serials);
  ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0);
  EXPECT_EQ(portfolio.assetCount(), 5);
  portfolio.setName("Retirement");
  ASSERT_EQ(portfolio.save(), 0);
  EXPECT_EQ(TPortableIniFile(header).readString("Portfolio", "Name", ""), "Retirement");
  EXPECT_EQ(TPortableIniFile(header).readString("Portfolio", "LoadAlways", ""), "1E300");
  // The mark the user sets is written.
  pick->setLoadAlways(true);
  ASSERT_EQ(picks.saveLoadAlways(), 0);
  EXPECT_EQ(TPortableIniFile(header).readString("Portfolio", "LoadAlways", ""), "1");
  takeLoadFailures();
  takeUnreadableFiles();
}

// A header, asset or transaction file replaced by a folder was taken as
// missing: the portfolio opened without the asset or the transaction, its
// figures wrong without a word, or was left out of the start unnamed.
TEST(SamplePortfolio, AFolderUnderAFilesNameKeepsItsPortfolioClosedAndNamed) {
  TSampleWorkFolder sample;
  const std::string folder = sample.folios + "2\\";
  const std::string asset = "Portfolio Retirement Account (IRA) not opened: asset " + folder + "1.INI";
  const std::map<std::string, std::string> told = {
      {"0.INI", "Portfolio not opened: its file " + folder + "0.INI is a folder, not a file."},
      {"1.INI", asset + ": it is a folder, not a file."},
      {"1.TRN\\1.INI", asset + " (Global Index ETF (GIX)): its transaction file 1.TRN\\1.INI is a folder, not a file."}};
  takeLoadFailures();
  for (const auto& [file, line] : told) {
    const std::string clean = readWholeFile(folder + file);
    ASSERT_TRUE(deleteFile(folder + file));
    ASSERT_TRUE(forceFolders(folder + file));
    const std::map<std::string, std::string> before = folderContents(sample.root);
    TPortfolioTable table;
    EXPECT_NE(table.openAll(sample.folios, true, {}, nullptr, true, false), 0) << file;
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(table.indexOfFolder(folder), -1);
    TPortfolioList picks;
    picks.scan(sample.folios);
    EXPECT_EQ(takeLoadFailures(), refused(line)) << file;
    picks.saveLoadAlways();
    table.saveAll();
    EXPECT_EQ(folderContents(sample.root), before) << file;
    ASSERT_TRUE(deleteTree(folder + file));
    writeWholeFile(folder + file, clean);
  }
  takeUnreadableFiles();
}
