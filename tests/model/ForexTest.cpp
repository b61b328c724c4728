#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Directories.h"
#include "model/Forex.h"
#include "model/UnreadableFiles.h"
#include "tests/support/TestFolders.h"

namespace {

constexpr double jan1 = 45292;  // 1 January 2024

class Forex : public testing::Test {
 protected:
  void SetUp() override {
    previousFolder = getDirectory("<FOREX>");
    setDirectory("<FOREX>", folder.path());
    forexTables().clearTables();
    ASSERT_EQ(forexTables().setFormat(TForexTables::defaultFormat), 0);
  }
  void TearDown() override {
    forexTables().clearTables();
    setDirectory("<FOREX>", previousFolder);
  }

  void writeTable(const std::string& name, const std::string& lines) { writeWholeFile(folder.path() + name, lines); }

  int getTable(const std::string& from, const std::string& to) {
    double loadTime = 0;
    return forexTables().getTable(
        from, to, [this](void*, int code, const std::string& text) { progress.push_back(std::to_string(code) + " " + text); },
        nullptr, loadTime);
  }

  long double convert(const std::string& from, const std::string& to, long double amount, double date,
                      bool atDate = true) {
    long double result = -1;
    double rateDate = 0;
    EXPECT_TRUE(forexTables().convert(from, to, amount, date, atDate, result, rateDate)) << from << to;
    lastRateDate = rateDate;
    return result;
  }

  bool converts(const std::string& from, const std::string& to) {
    long double result = 0;
    double rateDate = 0;
    return forexTables().convert(from, to, 1, jan1, true, result, rateDate);
  }

  TTemporaryFolder folder;
  std::string previousFolder;
  std::vector<std::string> progress;
  double lastRateDate = 0;
};

}  // namespace

TEST_F(Forex, TheOppositeFileIsReadAndInverted) {
  writeTable("USDtoEUR.CSV", "20240101,0.8\n20240102,0.5\n");
  const int index = getTable("eur ", "usd");
  ASSERT_GE(index, 0);
  EXPECT_EQ(progress, (std::vector<std::string>{"19 EUR->USD", "19 USD->EUR", "0 ", "18 EUR->USD", "0 "}));
  EXPECT_EQ(forexTables().tableCount(), 2);
  TForex& table = forexTables().table(index);
  EXPECT_EQ(table.FromCode, "EUR");
  EXPECT_EQ(table.ToCode, "USD");
  EXPECT_FALSE(table.Derived);
  EXPECT_EQ(convert("EUR", "USD", 10, jan1 + 1), 20);

  // Both directions are cached: no file is read again.
  progress.clear();
  EXPECT_EQ(getTable("USD", "EURO"), index - 1);
  EXPECT_EQ(getTable("EUR", "USD"), index);
  EXPECT_TRUE(progress.empty());
}

TEST_F(Forex, ACachedOppositeTableIsInvertedWithoutReading) {
  writeTable("CHFtoUSD.CSV", "20240101,1.25\n");
  ASSERT_EQ(getTable("CHF", "USD"), 0);
  progress.clear();
  ASSERT_EQ(getTable("USD", "CHF"), 1);
  EXPECT_EQ(progress, (std::vector<std::string>{"18 USD->CHF", "0 "}));
  EXPECT_EQ(convert("USD", "CHF", 5, jan1), 4);
}

TEST_F(Forex, CrossRatesThroughTheDollarKeepOnlyDaysWithBothRates) {
  writeTable("CHFtoUSD.CSV", "20240101,1.1\n20240102,1.2\n20240104,1.4\n");
  writeTable("USDtoJPY.CSV", "20240101,140\n20240103,150\n20240104,160\n");
  const int index = getTable("CHF", "JPY");
  ASSERT_GE(index, 0);
  TForex& cross = forexTables().table(index);
  EXPECT_TRUE(cross.Derived);
  EXPECT_EQ(cross.FromCode, "CHF");
  EXPECT_EQ(cross.ToCode, "JPY");
  ASSERT_EQ(cross.count(), 2);
  EXPECT_EQ(cross.records()[0].Date, jan1);
  EXPECT_EQ(cross.records()[0].Value, 1.1L * 140);
  EXPECT_EQ(cross.records()[1].Date, jan1 + 3);
  EXPECT_EQ(cross.records()[1].Value, 1.4L * 160);
  EXPECT_EQ(progress.front(), "19 CHF->JPY");
  EXPECT_EQ(progress.back(), "0 ");
  EXPECT_EQ(progress[progress.size() - 2], "18 CHF->JPY");
  // The legs stay cached.
  EXPECT_NE(forexTables().findTable("CHF", "USD"), nullptr);
  EXPECT_NE(forexTables().findTable("USD", "JPY"), nullptr);
}

TEST_F(Forex, TablesThatCannotBeMade) {
  EXPECT_EQ(getTable("EUR", "USD"), -2);
  EXPECT_EQ(getTable("EUR", "GBP"), -2);
  EXPECT_EQ(forexTables().tableCount(), 0);
  writeTable("EURtoUSD.CSV", "20240101,1.1\n");
  EXPECT_EQ(getTable("EUR", "GBP"), -2);  // the leg found stays cached
  EXPECT_EQ(forexTables().tableCount(), 1);
  writeTable("USDtoGBP.CSV", "date,rate\nnothing usable\n");
  EXPECT_EQ(getTable("USD", "GBP"), -2);

  EXPECT_EQ(forexTables().setFormat("yyyymmdd"), -6);
  EXPECT_EQ(getTable("EUR", "CHF"), -6);
  EXPECT_EQ(forexTables().tableCount(), 1);
}

TEST_F(Forex, ConversionAtDates) {
  writeTable("EURtoUSD.CSV", "20240105,1.5\n20240102,1.2\n20240103,1.3\n");
  ASSERT_EQ(getTable("EUR", "USD"), 0);
  EXPECT_EQ(convert("EUR", "USD", 10, jan1), 12);  // before the first: the first rate
  EXPECT_EQ(lastRateDate, jan1 + 1);
  EXPECT_EQ(convert("EUR", "USD", 10, jan1 + 3), 13);  // the last rate before, no interpolation
  EXPECT_EQ(convert("EUR", "USD", 10, jan1 + 2.75), 13);
  EXPECT_EQ(convert("EUR", "USD", 10, jan1 + 30), 15);
  EXPECT_EQ(convert("EUR", "USD", 10, jan1 + 1, false), 15);  // the latest rate
  EXPECT_EQ(convert(" eur", "USDollar", 10, jan1 + 1), 12);
  EXPECT_EQ(convert("USD", "EUR", 12, jan1 + 1), 10);  // through the cached opposite table
  EXPECT_EQ(convert("GBP", "gbp", 7, jan1), 7);        // no table needed
  EXPECT_EQ(lastRateDate, jan1);
  EXPECT_FALSE(converts("EUR", "GBP"));
}

TEST_F(Forex, ZeroRatesNeverGiveInfiniteAmounts) {
  writeTable("EURtoUSD.CSV", "20240101,0\n20240102,2\n20240103,0\n");
  ASSERT_EQ(getTable("EUR", "USD"), 0);
  EXPECT_FALSE(converts("EUR", "USD"));
  EXPECT_FALSE(converts("USD", "EUR"));
  long double result = 0;
  double rateDate = 0;
  EXPECT_TRUE(forexTables().convert("EUR", "USD", 3, jan1 + 1, true, result, rateDate));
  EXPECT_EQ(result, 6);

  // The inverse leaves the zero days out and falls back on the 2.
  ASSERT_EQ(getTable("USD", "EUR"), 1);
  TForex& inverse = forexTables().table(1);
  ASSERT_EQ(inverse.count(), 1);
  EXPECT_EQ(inverse.records()[0].Value, 0.5L);
  EXPECT_EQ(convert("USD", "EUR", 4, jan1 + 2), 2);
}

TEST_F(Forex, AlignRestoreAndMergeOverAllTables) {
  writeTable("EURtoUSD.CSV", "20240101,1\n20240102,2\n20240103,8\n");
  writeTable("USDtoCHF.CSV", "20240104,1\n20240102,1\n");
  ASSERT_EQ(getTable("EUR", "USD"), 0);
  ASSERT_EQ(getTable("USD", "CHF"), 1);
  std::vector<double> dates{jan1 + 1};
  EXPECT_EQ(forexTables().mergeAllDates(dates), 0);
  EXPECT_EQ(dates, (std::vector<double>{jan1, jan1 + 1, jan1 + 2, jan1 + 3}));

  EXPECT_EQ(forexTables().restoreAll(), -7);
  EXPECT_EQ(forexTables().alignAllToDates({jan1 + 2, jan1 + 1}, jan1), 0);
  EXPECT_EQ(forexTables().table(0).records()[1].Value, 4);  // 1 × 8 / 2
  EXPECT_EQ(forexTables().table(0).records()[2].Value, 8);  // 4 × 2 / 1
  EXPECT_EQ(forexTables().restoreAll(), 0);
  EXPECT_EQ(forexTables().table(0).records()[1].Value, 2);
}

// A table that is there but cannot be read, or only in part, blanks or
// shifts values without a word unless its file is named; the program never
// writes a table, so each stays byte for byte as it was.
class ForexFileDamage : public Forex {
 protected:
  void SetUp() override {
    Forex::SetUp();
    takeUnreadableFiles();
    takePartlyReadFiles();
  }
  // As the directory table spells the folder.
  std::string tableFile(const std::string& name) { return getDirectory("<FOREX>") + name; }
};

TEST_F(ForexFileDamage, ATableHeldByAnotherProgramIsNamed) {
  const std::string text = "20240101,1.1\n";
  writeTable("EURtoUSD.CSV", text);
  THeldFile held(tableFile("EURtoUSD.CSV"));
  ASSERT_TRUE(held.held());
  EXPECT_EQ(getTable("EUR", "USD"), -2);
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{tableFile("EURtoUSD.CSV")});
  held.release();
  EXPECT_EQ(readWholeFile(tableFile("EURtoUSD.CSV")), text);
}

TEST_F(ForexFileDamage, AFolderUnderATablesNameIsNamed) {
  ASSERT_TRUE(CreateDirectoryA(tableFile("USDtoEUR.CSV").c_str(), nullptr));
  EXPECT_EQ(getTable("EUR", "USD"), -2);
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{tableFile("USDtoEUR.CSV")});
  EXPECT_TRUE(takePartlyReadFiles().empty());
}

TEST_F(ForexFileDamage, AnEmptiedTableIsNamedAsTakenForMissing) {
  writeTable("EURtoUSD.CSV", "");
  EXPECT_EQ(getTable("EUR", "USD"), -2);
  EXPECT_EQ(takeUnreadableFiles(), std::vector<std::string>{tableFile("EURtoUSD.CSV")});
}

TEST_F(ForexFileDamage, LinesThatAreNoRatesAreNamedWhetherOrNotATableIsLeft) {
  const std::string damaged = "20240101,1.1\n2024O102,1.2\n20240103;1.3\n";
  writeTable("EURtoUSD.CSV", damaged);
  ASSERT_EQ(getTable("EUR", "USD"), 0);
  EXPECT_EQ(forexTables().table(0).count(), 1);
  EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{tableFile("EURtoUSD.CSV")});
  EXPECT_TRUE(takeUnreadableFiles().empty());

  const std::string garbage("\xff\xfe" "2\0" "0\0" "2\0" "4\0", 10);
  writeTable("USDtoCHF.CSV", garbage);
  EXPECT_EQ(getTable("USD", "CHF"), -2);
  EXPECT_EQ(takePartlyReadFiles(), std::vector<std::string>{tableFile("USDtoCHF.CSV")});
  EXPECT_EQ(readWholeFile(tableFile("EURtoUSD.CSV")), damaged);
  EXPECT_EQ(readWholeFile(tableFile("USDtoCHF.CSV")), garbage);
}

TEST_F(ForexFileDamage, ColumnNamesAndBlankLinesAreNoDamage) {
  writeTable("EURtoUSD.CSV", "Date,Rate\n\n20240101,1.1\n   \n20240102,1.2\n");
  ASSERT_EQ(getTable("EUR", "USD"), 0);
  EXPECT_TRUE(takePartlyReadFiles().empty());
  EXPECT_TRUE(takeUnreadableFiles().empty());
}

TEST_F(ForexFileDamage, ATableSavedWithAUtf8MarkKeepsItsFirstRate) {
  writeTable("EURtoUSD.CSV", "\xef\xbb\xbf" "20240101,1.1\n20240102,1.2\n");
  ASSERT_EQ(getTable("EUR", "USD"), 0);
  EXPECT_EQ(forexTables().table(0).count(), 2);
  EXPECT_TRUE(takePartlyReadFiles().empty());
  EXPECT_TRUE(takeUnreadableFiles().empty());
}
