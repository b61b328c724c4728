#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/Asset.h"
#include "model/Forex.h"
#include "model/Portfolio.h"
#include "model/PortfolioTable.h"
#include "model/Transaction.h"
#include "sheet/BoundCells.h"
#include "tests/model/SampleWorkFolder.h"
#include "tests/sheet/SheetTestSupport.h"

namespace {

// A sheet bound to the sample portfolios, the euro portfolio current. Both
// portfolios number their transactions from 1, so a number means a different
// transaction in each.
class BoundObjects : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(table.openAll(sample.folios, true, {}, nullptr, true, false), 0);
    ASSERT_EQ(table.loadForexTables({}, nullptr), 0);
    table.setCurrentIndex(0);
    sheet.portfolioTable = &table;
  }

  TTransaction& transaction(int portfolio, std::int32_t number) {
    TTransaction* found = table.items(portfolio)->findTransaction(number);
    EXPECT_NE(found, nullptr);
    return *found;
  }

  TSampleWorkFolder sample;
  TPortfolioTable table;
  TSheet sheet;
};

}  // namespace

TEST_F(BoundObjects, CellsShowThePropertiesOfTheObjectsTheyAreBoundTo) {
  enter(sheet, 1, 1, "1", 10);
  enter(sheet, 1, 2, "0", 12);
  enter(sheet, 1, 3, "2", 10);
  enter(sheet, 2, 1, "1", 15);
  enter(sheet, 2, 2, "2", 16);
  enter(sheet, 2, 3, "2", 18);
  enter(sheet, 2, 4, "5", 13);
  enter(sheet, 3, 1, "3", 21);
  enter(sheet, 3, 2, "3", 22);
  enter(sheet, 3, 3, "3", 23);
  enter(sheet, 3, 4, "3", 24);
  enter(sheet, 3, 5, "3", 26);
  enter(sheet, 3, 6, "11", 27);
  enter(sheet, 3, 7, "51", 26);
  EXPECT_EQ(shown(sheet, 1, 1), "Retirement Account");
  EXPECT_EQ(shown(sheet, 1, 2), "EUR");
  EXPECT_EQ(shown(sheet, 1, 3), "#N/A") << "two portfolios are open";
  EXPECT_EQ(shown(sheet, 2, 1), "CHF");
  EXPECT_EQ(shown(sheet, 2, 2), "95");
  EXPECT_EQ(shown(sheet, 2, 3), "5");
  EXPECT_EQ(shown(sheet, 2, 4), "#N/A") << "five assets, indexes 0 to 4";
  EXPECT_EQ(shown(sheet, 3, 1), "5/24/2023");
  EXPECT_EQ(shown(sheet, 3, 2), "10:30:00 AM");
  EXPECT_EQ(shown(sheet, 3, 3), "-16");
  EXPECT_EQ(shown(sheet, 3, 4), "-785.12");
  EXPECT_EQ(shown(sheet, 3, 5), "SELL");
  EXPECT_EQ(shown(sheet, 3, 6), "1");
  EXPECT_EQ(shown(sheet, 3, 7), "#N/A") << "the euro portfolio's numbers end at 50";

  // Assets and transactions are those of the current portfolio.
  table.setCurrentIndex(1);
  EXPECT_EQ(shown(sheet, 2, 1), "USD");
  EXPECT_EQ(shown(sheet, 3, 4), "-5,795.76");
  table.setCurrentIndex(-1);
  EXPECT_EQ(shown(sheet, 2, 1), "#N/A");
  EXPECT_EQ(shown(sheet, 3, 4), "#N/A");
  EXPECT_EQ(shown(sheet, 1, 1), "Retirement Account") << "portfolios need no current one";
  sheet.showErrorTexts = false;
  EXPECT_EQ(shown(sheet, 2, 1), "");
}

TEST_F(BoundObjects, WithoutAPortfolioTableNothingIsFoundAndNothingChanges) {
  sheet.portfolioTable = nullptr;
  std::string text = "kept";
  double number = 7;
  std::int32_t integer = 7;
  bool found = true;
  sheet.getPortfolioName(0, text, found);
  EXPECT_FALSE(found);
  sheet.getAssetCurrency(0, text, found);
  EXPECT_FALSE(found);
  sheet.getAssetPercentStocks(0, number, found);
  EXPECT_FALSE(found);
  sheet.getTransactionSoft(1, integer, found);
  EXPECT_FALSE(found);
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(number, 7);
  EXPECT_EQ(integer, 7);
  EXPECT_FALSE(sheet.setPortfolioName(0, "Other"));
  EXPECT_FALSE(sheet.setAssetCurrency(0, "USD"));
  EXPECT_FALSE(sheet.setAssetPercentBonds(0, 10));
  EXPECT_FALSE(sheet.setTransactionUnits(1, 3));
  EXPECT_EQ(table.items(0)->Name(), "Growth Portfolio");
  EXPECT_EQ(transaction(0, 1).Units(), 5);
  enter(sheet, 1, 1, "0", 13);
  EXPECT_EQ(shown(sheet, 1, 1), "#N/A");
}

TEST_F(BoundObjects, TextsChangeOnlyWhenTheyDifferAndChangesReachTheReaders) {
  enter(sheet, 1, 1, "0", 10);
  enter(sheet, 2, 1, "=A1+1");
  enter(sheet, 1, 2, "2", 14);
  enter(sheet, 2, 2, "=A2+1");
  sheet.autoRecalculate = false;

  EXPECT_FALSE(sheet.setPortfolioName(0, "  Growth Portfolio \t"));
  EXPECT_EQ(shown(sheet, 2, 1), "1") << "no change starts no recalculation";
  EXPECT_TRUE(sheet.setPortfolioName(0, "  growth portfolio "));
  EXPECT_EQ(table.items(0)->Name(), "growth portfolio") << "trimmed, compared case by case";
  EXPECT_EQ(shown(sheet, 2, 1), "#N/A") << "the readers of the bound cell are due again";
  EXPECT_EQ(shown(sheet, 2, 2), "3") << "another object's reader";

  EXPECT_FALSE(sheet.setAssetSymbol(2, "ATC "));
  EXPECT_TRUE(sheet.setAssetSymbol(2, "ATC.N"));
  EXPECT_EQ(shown(sheet, 1, 2), "ATC.N");
  EXPECT_EQ(shown(sheet, 2, 2), "#N/A");
  EXPECT_FALSE(sheet.setPortfolioCurrency(0, " eur")) << "the code as it would be stored";

  // Shares and transaction properties change on every call.
  EXPECT_TRUE(sheet.setAssetPercentStocks(2, 95));
  EXPECT_TRUE(sheet.setTransactionUnits(1, 5));
  EXPECT_FALSE(sheet.setTransactionUnits(1, std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(sheet.setTransactionDate(1, std::numeric_limits<double>::infinity()));
  EXPECT_EQ(transaction(0, 1).DateTime(), 44602.4375);
}

TEST_F(BoundObjects, DateAndTimeAreSetApartAndADateChangeReordersTheHoldings) {
  TAsset& nordwind = *table.items(0)->assets(0);
  TTransactionTable& trades = nordwind.Transactions();
  EXPECT_EQ(trades.unitsAt(44601), 0);
  EXPECT_EQ(trades.unitsAt(45071), 23);  // 5 + 34 - 16

  // The sale of 16 units moves to before the first purchase.
  ASSERT_TRUE(sheet.setTransactionDate(3, 44600.9));
  EXPECT_EQ(transaction(0, 3).DateTime(), 44600.4375) << "the time of day stays";
  EXPECT_EQ(trades.unitsAt(44601), -16);
  EXPECT_EQ(trades.unitsAt(44603), -11);
  ASSERT_TRUE(sheet.setTransactionTime(3, 3.75));
  EXPECT_EQ(transaction(0, 3).DateTime(), 44600.75) << "the date stays";

  ASSERT_EQ(table.saveAll(), 0);
  TPortfolioTable reopened;
  ASSERT_EQ(reopened.open(sample.folios + "1\\", false, {}, nullptr, true, false), 0);
  EXPECT_EQ(reopened.items(0)->findTransaction(3)->DateTime(), 44600.75);
  EXPECT_EQ(reopened.items(0)->assets(0)->Transactions().unitsAt(44601), -16);
}

TEST_F(BoundObjects, ADateTheTransactionCannotHoldIsRefusedAndDateAndTimeNeverMoveEachOther) {
  const double evening = 45646.0 + (20 * 3600 + 53 * 60 + 4) / 86400.0;  // 20 Dec 2024 8:53:04 PM
  TTransaction& trade = transaction(0, 3);
  trade.setDateTime(evening);
  EXPECT_FALSE(sheet.setTransactionDate(3, -10)) << "20 Dec 1899";
  EXPECT_FALSE(sheet.setTransactionDate(3, 2958466)) << "1 Jan 10000";
  EXPECT_EQ(trade.DateTime(), evening);
  ASSERT_TRUE(sheet.setTransactionDate(3, 0));  // 30 Dec 1899, the first day held
  ASSERT_TRUE(sheet.setTransactionDate(3, 45646));
  EXPECT_EQ(trade.DateTime(), evening);

  // A date-time before day 0 from an old file: its time is read and set on
  // its own day.
  trade.setDateTime(-10.25);  // 20 Dec 1899 6:00 AM
  double time = 0;
  bool found = false;
  sheet.getTransactionTime(3, time, found);
  ASSERT_TRUE(found);
  EXPECT_EQ(time, 0.25);
  ASSERT_TRUE(sheet.setTransactionTime(3, 0.75));
  EXPECT_EQ(trade.DateTime(), -10.75);
  ASSERT_TRUE(sheet.setTransactionDate(3, 45646));
  EXPECT_EQ(trade.DateTime(), 45646.75);
}

TEST_F(BoundObjects, CurrencyChangesLoadTheRatesTheyNeed) {
  table.setCurrentIndex(1);
  forexTables().clearTables();
  ASSERT_TRUE(sheet.setAssetCurrency(0, " chf"));
  EXPECT_EQ(table.items(1)->assets(0)->getCurrency(), "CHF");
  EXPECT_NE(forexTables().findTable("CHF", "USD"), nullptr);
  EXPECT_NE(forexTables().findTable("EUR", "USD"), nullptr) << "the whole table's rates";
  EXPECT_NE(forexTables().findTable("CHF", "EUR"), nullptr) << "the other portfolio's too";

  forexTables().clearTables();
  ASSERT_TRUE(sheet.setPortfolioCurrency(1, "chf"));
  EXPECT_EQ(table.items(1)->getCurrency(), "CHF");
  EXPECT_NE(forexTables().findTable("USD", "CHF"), nullptr);
  EXPECT_EQ(forexTables().findTable("CHF", "EUR"), nullptr) << "only this portfolio's rates";
}

TEST_F(BoundObjects, TheEditorWritesThePropertyOfTheCurrentCellInItsKind) {
  enter(sheet, 1, 1, "3", 23);
  enter(sheet, 1, 2, "3", 21);
  enter(sheet, 1, 3, "0", 11);
  enter(sheet, 1, 4, "3", 20);
  enter(sheet, 1, 5, "3", 27);
  enter(sheet, 1, 6, "7", 1);
  sheet.currentCol = 1;

  sheet.currentRow = 1;
  sheet.setCurrentObjectText(" 12.5 ");
  EXPECT_EQ(transaction(0, 3).Units(), 12.5);
  sheet.setCurrentObjectText("twelve");
  EXPECT_EQ(transaction(0, 3).Units(), 12.5) << "a text that is no number is dropped";
  std::string text;
  sheet.getCurrentObjectText(text);
  EXPECT_EQ(text, "12.5");
  EXPECT_EQ(sheet.currentObjectInteger(), 12);

  sheet.currentRow = 2;
  EXPECT_EQ(sheet.currentObjectNumber(), 45070);
  sheet.setCurrentObjectNumber(45100);
  EXPECT_EQ(transaction(0, 3).DateTime(), 45100.4375);

  sheet.currentRow = 3;
  sheet.setCurrentObjectInteger(42);
  EXPECT_EQ(table.items(0)->Symbol(), "42");
  sheet.setCurrentCellLocked(true);
  sheet.setCurrentObjectText("GRW");
  EXPECT_EQ(table.items(0)->Symbol(), "42") << "locked";
  sheet.getCurrentObjectText(text);
  EXPECT_EQ(text, "");

  sheet.currentRow = 4;
  sheet.setCurrentObjectInteger(9);
  EXPECT_EQ(sheet.currentObjectInteger(), 3) << "the number is read only";
  sheet.currentRow = 5;
  EXPECT_EQ(sheet.currentObjectInteger(), 0);
  sheet.setCurrentObjectText("1");
  EXPECT_EQ(transaction(0, 3).Soft(), 1);
  sheet.currentRow = 6;
  sheet.setCurrentObjectText("8");
  EXPECT_EQ(shown(sheet, 1, 6), "7") << "no bound cell";
  EXPECT_EQ(sheet.currentObjectNumber(), 0);
}

TEST_F(BoundObjects, ChangesMadeThroughBoundCellsAreSaved) {
  enter(sheet, 1, 1, "1", 13);
  enter(sheet, 1, 2, "1", 17);
  enter(sheet, 1, 3, "13", 25);
  enter(sheet, 1, 4, "13", 26);
  enter(sheet, 1, 5, "1", 11);
  auto* name = static_cast<TCellObject*>(sheet.getCell(1, 1));
  auto* bonds = static_cast<TCellObject*>(sheet.getCell(1, 2));
  auto* fees = static_cast<TCellObject*>(sheet.getCell(1, 3));
  auto* flag = static_cast<TCellObject*>(sheet.getCell(1, 4));
  auto* symbol = static_cast<TCellObject*>(sheet.getCell(1, 5));
  TValueRecord value;
  value.kind = valueString;
  value.string = "Helvetia Pharma Holding";
  EXPECT_TRUE(name->setPropertyValue(value));
  value.string = "20";
  EXPECT_TRUE(bonds->setPropertyValue(value));
  value.string = "15.75";
  EXPECT_TRUE(fees->setPropertyValue(value));
  value.string = "BUY LIMIT";
  EXPECT_TRUE(flag->setPropertyValue(value));
  value.string = "RET";
  EXPECT_TRUE(symbol->setPropertyValue(value));
  EXPECT_EQ(shown(sheet, 1, 2), "20");
  ASSERT_EQ(table.saveAll(), 0);

  TPortfolioTable reopened;
  ASSERT_EQ(reopened.openAll(sample.folios, true, {}, nullptr, true, false), 0);
  const TAsset& pharma = *reopened.items(0)->assets(1);
  EXPECT_EQ(pharma.Name(), "Helvetia Pharma Holding");
  EXPECT_EQ(pharma.Allocation().Bonds(), 20);
  EXPECT_EQ(pharma.Allocation().Cash(), -20) << "cash balances the shares";
  const TTransaction& purchase = *reopened.items(0)->findTransaction(13);
  EXPECT_EQ(purchase.Fees(), 15.75L);
  EXPECT_EQ(purchase.Flag(), "BUY LIMIT");
  EXPECT_EQ(reopened.items(1)->Symbol(), "RET");
  EXPECT_EQ(reopened.items(1)->findTransaction(13)->Fees(), transaction(1, 13).Fees()) << "the other 13 untouched";
}
