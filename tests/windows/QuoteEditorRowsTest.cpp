#include <gtest/gtest.h>

#include "model/Asset.h"
#include "model/Portfolio.h"
#include "model/Prices.h"
#include "platform/CalendarDates.h"
#include "tests/model/SampleWorkFolder.h"
#include "windows/QuoteEditorRows.h"

namespace {

double day(int year, int month, int d) {
  double date = 0;
  encodeDate(year, month, d, date);
  return date;
}

// An asset with open and close prices of its own file, in a portfolio made
// through the model.
class QuoteEditing : public testing::Test {
 protected:
  void SetUp() override {
    writeWholeFile(priceFile, "20240102,1,2\r\n20240103,3,4\r\n");
    ASSERT_EQ(maker.createNew("Made", "MAD", folder, "EUR"), 0);
    ASSERT_EQ(portfolio.load(folder, false, {}, nullptr, true, false), 0);
    ASSERT_EQ(portfolio.newAsset("Stock", "STK", false, "YYYYMMDD,O,C", priceFile, "EUR"), 0);
    asset = portfolio.assets(0);
    rows.load(asset->Prices(), static_cast<uint16_t>(asset->priceFormatFields()));
  }

  TSampleWorkFolder sample;
  std::string folder = sample.folios + "7\\";
  std::string priceFile = sample.quotes + "STK.TXT";
  int32_t serials = 0;
  TPortfolio maker{serials};
  TPortfolio portfolio{serials};
  TAsset* asset = nullptr;
  TQuoteEditorRows rows;
};

}  // namespace

TEST_F(QuoteEditing, CommitKeepsTheFirstOfRepeatedDatesDropsUnavailableDatesAndSavesAtOnce) {
  ASSERT_EQ(rows.columnCount(), 3);  // Date, Open, Close
  ASSERT_EQ(rows.rowCount(), 2);
  rows.setValue(0, 1, day(2024, 1, 2));  // a second 2 January below the first
  rows.insertUnavailableRow(0);          // a new row left without a date
  rows.insertUnavailableRow(3);
  rows.setValue(0, 3, day(2024, 1, 1) + 0.25);
  rows.setValue(2, 3, 9);  // its Open stays unavailable
  EXPECT_TRUE(rows.modified());
  ASSERT_EQ(rows.commitAndSave(*asset), TQuoteEditorRows::commitDone);
  EXPECT_EQ(readWholeFile(priceFile), "20240101,,9\r\n20240102,1,2\r\n");
  EXPECT_EQ(asset->Prices().count(), 2);
}

TEST_F(QuoteEditing, CommitWithoutAValidDateIsRefusedAndTheFileStays) {
  rows.markUnavailable(0, 0, 0, 1);
  EXPECT_EQ(rows.commitAndSave(*asset), TQuoteEditorRows::commitNoValidRow);
  rows.deleteRows(0, 1);
  rows.insertUnavailableRow(0);
  EXPECT_EQ(rows.commitAndSave(*asset), TQuoteEditorRows::commitNoValidRow);
  EXPECT_EQ(asset->Prices().count(), 2);
  EXPECT_EQ(readWholeFile(priceFile), "20240102,1,2\r\n20240103,3,4\r\n");
}

TEST_F(QuoteEditing, ArithmeticSkipsCellsWithoutAValidNumber) {
  rows.insertUnavailableRow(2);
  rows.markUnavailable(1, 0, 1, 0);
  ASSERT_TRUE(rows.applyArithmetic(TQuoteEditorRows::addOperation, 7, 0, 0, 2, 2));
  EXPECT_EQ(rows.cell(0, 0).value, day(2024, 1, 9));
  EXPECT_EQ(rows.cell(1, 0).state, TQuoteEditorRows::cellUnavailable);
  EXPECT_EQ(rows.cell(2, 1).value, 11);
  for (int column = 0; column < 3; ++column) EXPECT_EQ(rows.cell(column, 2).state, TQuoteEditorRows::cellUnavailable);
  // No-ops leave the grid and its modified flag alone.
  TQuoteEditorRows fresh;
  fresh.load(asset->Prices(), static_cast<uint16_t>(asset->priceFormatFields()));
  EXPECT_FALSE(fresh.applyArithmetic(TQuoteEditorRows::multiplyOperation, 1, 0, 0, 2, 1));
  EXPECT_FALSE(fresh.applyArithmetic(TQuoteEditorRows::divideOperation, 0, 0, 0, 2, 1));
  EXPECT_FALSE(fresh.modified());
}

TEST_F(QuoteEditing, SortIsStableMovesWholeRowsAndLeavesCommitOff) {
  rows.insertUnavailableRow(2);
  TQuoteEditorRows sorted;
  sorted.load(asset->Prices(), static_cast<uint16_t>(asset->priceFormatFields()));
  ASSERT_TRUE(sorted.sortRows(0, 1, 2, false));
  EXPECT_EQ(sorted.cell(0, 0).value, day(2024, 1, 3));
  EXPECT_EQ(sorted.cell(1, 0).value, 3);
  EXPECT_FALSE(sorted.modified());
  EXPECT_FALSE(sorted.sortRows(0, 1, 2, false));
  // Unavailable keys stay below the numbers, in either direction.
  ASSERT_TRUE(rows.sortRows(0, 2, 2, false));
  EXPECT_EQ(rows.cell(2, 2).state, TQuoteEditorRows::cellUnavailable);
}

TEST_F(QuoteEditing, EmptyAndInvalidCellsBlockTheCommitUntilGivenAValueOrMarkedUnavailable) {
  ASSERT_TRUE(rows.emptyCells(0, 0, 0, 0));  // the first date
  EXPECT_FALSE(rows.emptyCells(0, 0, 0, 0));
  rows.setInvalid(2, 1);
  EXPECT_TRUE(rows.modified());
  const std::vector<TQuoteEditorRows::TCellPlace> blocking = rows.blockingCells();
  ASSERT_EQ(blocking.size(), 2u);
  EXPECT_EQ(blocking[0].column, 0);
  EXPECT_EQ(blocking[0].row, 0);
  EXPECT_EQ(blocking[1].column, 2);
  EXPECT_EQ(blocking[1].row, 1);
  EXPECT_EQ(rows.commitCheck(), TQuoteEditorRows::commitBlocked);
  EXPECT_EQ(rows.commitAndSave(*asset), TQuoteEditorRows::commitBlocked);
  EXPECT_EQ(asset->Prices().count(), 2);
  EXPECT_EQ(readWholeFile(priceFile), "20240102,1,2\r\n20240103,3,4\r\n");
  // Neither is a number to the arithmetic.
  EXPECT_FALSE(rows.applyArithmetic(TQuoteEditorRows::addOperation, 1, 0, 0, 0, 0));

  rows.setValue(0, 0, day(2024, 1, 4));
  rows.markUnavailable(2, 1, 2, 1);
  EXPECT_TRUE(rows.blockingCells().empty());
  ASSERT_EQ(rows.commitAndSave(*asset), TQuoteEditorRows::commitDone);
  EXPECT_EQ(readWholeFile(priceFile), "20240103,3,\r\n20240104,1,2\r\n");
}

TEST_F(QuoteEditing, ARowGivenValuesWithoutADateBlocksTheCommitWhileOneLeftAsLoadedDrops) {
  rows.insertUnavailableRow(2);
  rows.setValue(2, 2, 50);  // a close typed into a new row, its date not
  const std::vector<TQuoteEditorRows::TCellPlace> blocking = rows.blockingCells();
  ASSERT_EQ(blocking.size(), 1u);
  EXPECT_EQ(blocking[0].column, 0);
  EXPECT_EQ(blocking[0].row, 2);
  EXPECT_EQ(rows.commitAndSave(*asset), TQuoteEditorRows::commitBlocked);
  EXPECT_EQ(readWholeFile(priceFile), "20240102,1,2\r\n20240103,3,4\r\n");

  // A date put away from a row as loaded drops that row; a value given to
  // such a row since blocks again.
  rows.setValue(0, 2, day(2024, 1, 4));
  rows.markUnavailable(0, 0, 0, 0);
  EXPECT_TRUE(rows.blockingCells().empty());
  rows.applyArithmetic(TQuoteEditorRows::addOperation, 1, 1, 0, 1, 0);
  EXPECT_EQ(rows.blockingCells().size(), 1u);
  rows.deleteRows(0, 0);
  ASSERT_EQ(rows.commitAndSave(*asset), TQuoteEditorRows::commitDone);
  EXPECT_EQ(readWholeFile(priceFile), "20240103,3,4\r\n20240104,,50\r\n");
}

TEST_F(QuoteEditing, ACommitKeepsTheLinesAnotherProgramWroteMeanwhileAndTakesThemIn) {
  // The companion downloader appends a day and corrects one the user does
  // not touch, after the editor read the series.
  writeWholeFile(priceFile, "20240102,1,2.5\r\n20240103,3,4\r\n20240104,5,6\r\n");
  rows.setValue(2, 1, 40);  // the user's close of 3 January
  ASSERT_EQ(rows.commitAndSave(*asset), TQuoteEditorRows::commitDone);
  EXPECT_EQ(readWholeFile(priceFile), "20240102,1,2.5\r\n20240103,3,40\r\n20240104,5,6\r\n");
  EXPECT_FALSE(asset->Prices().modified());
  TQuoteEditorRows shown;
  shown.load(asset->Prices(), static_cast<uint16_t>(asset->priceFormatFields()));
  ASSERT_EQ(shown.rowCount(), 3) << "the series takes in the appended day";
  EXPECT_EQ(shown.cell(2, 0).value, 2.5L);
  EXPECT_EQ(shown.cell(2, 1).value, 40);
}

TEST_F(QuoteEditing, ACommitTheFileCannotTakeLeavesTheFileTheSeriesAndTheRows) {
  const std::string rewritten = "Date;Open;Close\r\n2024-01-02;1;2\r\n2024-01-03;3;4\r\n";
  writeWholeFile(priceFile, rewritten);
  rows.setValue(2, 1, 40);
  EXPECT_EQ(rows.commitAndSave(*asset), -8);
  EXPECT_EQ(readWholeFile(priceFile), rewritten);
  EXPECT_FALSE(asset->Prices().modified()) << "nothing else may write the refused edit later";
  EXPECT_EQ(asset->Prices().count(), 2);
  EXPECT_TRUE(rows.modified());
  EXPECT_EQ(asset->save(), 0);
  EXPECT_EQ(readWholeFile(priceFile), rewritten);
}
