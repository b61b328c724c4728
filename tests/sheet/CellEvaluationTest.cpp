#include <gtest/gtest.h>

#include "sheet/BoundCells.h"
#include "sheet/ValueCells.h"
#include "tests/sheet/SheetTestSupport.h"

TEST(CellEvaluation, ChangedMeansANewStateOrANewValidValue) {
  TSheet sheet;
  enter(sheet, 1, 1, "2");
  enter(sheet, 2, 1, "=A1*2");
  TCell* cell = sheet.getCell(2, 1);
  EXPECT_FALSE(cell->evaluate(2, 1, true)) << "same value";
  sheet.getCell(1, 1)->setText("3", 1, 1);
  EXPECT_TRUE(cell->evaluate(2, 1, true));
  sheet.getCell(1, 1)->setText("=1/0", 1, 1);
  sheet.getCell(1, 1)->evaluate(1, 1, true);
  EXPECT_TRUE(cell->evaluate(2, 1, true)) << "valid to error";
  EXPECT_EQ(cell->state, errValue) << "an error cell reads as empty, and empty is no number";
  EXPECT_FALSE(cell->evaluate(2, 1, true)) << "an error that stays is no change";
}

TEST(CellEvaluation, CellsWithoutASheetKeepTheirFormulaUncomputed) {
  TCellPtr cell = newHeapCell(1, nullptr);
  EXPECT_FALSE(cell->setText("=1+1", 1, 1));
  EXPECT_EQ(cell->formula(), "=1+1");
  EXPECT_EQ(cell->getText(true), "#N/A") << "no sheet: the error text always shows";
  EXPECT_TRUE(cell->setText("1.5", 1, 1));
  EXPECT_EQ(cell->getText(true), "1.5");
  TCellPtr copy = cell->clone();
  EXPECT_EQ(copy->getText(false), "1.5");
  EXPECT_EQ(copy->allocationKind(), allocatedOnHeap);
}

TEST(CellEvaluation, ResultsConvertToTheCellsKind) {
  TSheet sheet;
  enter(sheet, 1, 1, "=\"12\"&\"3\"", 5);
  EXPECT_EQ(shown(sheet, 1, 1), "123");
  enter(sheet, 1, 2, "=\"twelve\"", 5);
  EXPECT_EQ(shown(sheet, 1, 2), "#N/A");
  enter(sheet, 1, 3, "=7/2", 2);
  EXPECT_EQ(shown(sheet, 1, 3), "3.5");
  enter(sheet, 1, 4, "=1=1", 6);
  EXPECT_EQ(shown(sheet, 1, 4), "1");
  enter(sheet, 1, 5, "=A1+1", 20);
  EXPECT_EQ(sheet.getCellInteger(1, 5), 124) << "a bound cell's formula gives its id";
  enter(sheet, 1, 6, "=0.75", 4);
  EXPECT_EQ(shown(sheet, 1, 6), "6:00:00 PM");
  EXPECT_EQ(sheet.getCellText(1, 6, false), "0.75");
  enter(sheet, 1, 7, "=255", 8);
  EXPECT_EQ(shown(sheet, 1, 7), "255");
  enter(sheet, 1, 8, "=4", 9);
  EXPECT_EQ(shown(sheet, 1, 8), "4") << "no image list: the number";
}

TEST(CellEvaluation, CellsTakeOverFormatAndFormulaWhenTheirTypeChanges) {
  TSheet sheet;
  enter(sheet, 1, 1, "=2+3");
  TCell* cell = sheet.getCell(1, 1);
  cell->setFillColor(0x222222);
  cell->numberFormatting()->trail = "!";
  cell->alignment = alignRight;
  sheet.currentCol = sheet.currentRow = 1;
  sheet.setCurrentCellContent(5, "=2+3", alignRight);
  TCell* integer = sheet.getCell(1, 1);
  EXPECT_EQ(integer->cellType(), 5);
  EXPECT_EQ(integer->formula(), "=2+3");
  EXPECT_EQ(sheet.currentCellFillColor(), 0x222222);
  EXPECT_EQ(shown(sheet, 1, 1), "5!");
  TCellPtr other = sheet.cellFactory.newCell(1, &sheet);
  other->assignFormat(integer);
  EXPECT_EQ(other->numberFormatting()->trail, "!");
  EXPECT_EQ(other->alignment, alignRight);
  EXPECT_EQ(other->format(), nullptr) << "the format copy is assign's business";
}

TEST(CellEvaluation, ChangesOfBoundObjectsReachTheirReaders) {
  TSheet sheet;
  enter(sheet, 1, 1, "3", 13);
  enter(sheet, 2, 1, "=A1*2");
  enter(sheet, 1, 2, "4", 13);
  enter(sheet, 2, 2, "=A2*2");
  sheet.autoRecalculate = false;
  sheet.objectChanged(objectAsset, 3);
  EXPECT_EQ(shown(sheet, 2, 1), "#N/A") << "marked for recalculation";
  EXPECT_EQ(shown(sheet, 2, 2), "8") << "another asset";
  sheet.objectChanged(objectPortfolio, 4);
  EXPECT_EQ(shown(sheet, 2, 2), "8") << "another kind of object";
}

TEST(CellEvaluation, WithoutStopAtFirstErrorTheFirstErrorIsKept) {
  TSheet sheet;
  sheet.stopAtFirstError = false;
  EXPECT_EQ(evaluated(sheet, "=(1/0)+(5 DIV 0)+NOT \"x\""), "#DIV/0!");
  EXPECT_EQ(evaluated(sheet, "=(0/0)+(1/0)"), "#NUM!");
  sheet.stopAtFirstError = true;
  EXPECT_EQ(evaluated(sheet, "=(0/0)+(1/0)"), "#NUM!");
}

TEST(CellEvaluation, FunctionIdsAreBoundInsideArrayConstantsToo) {
  TSheet sheet;
  TRPNstackObject list(sheet.tokenFactory);
  std::uint8_t status = 2;
  sheet.compileFormula("={SUM(1),FOO(2)}", list, status);
  ASSERT_EQ(status, 0);
  const TRPNstackObject* elements = list.getItem(0)->subList();
  ASSERT_NE(elements, nullptr);
  std::vector<int> ids;
  for (int i = 0; i < elements->count(); ++i) {
    if (elements->getItem(i)->operatorCode == opFunctionCall) ids.push_back(elements->getItem(i)->functionId);
  }
  EXPECT_EQ(ids, (std::vector<int>{48, -1}));
  sheet.decimalSeparator = "<>";
  sheet.compileFormula("=1.5", list, status);
  EXPECT_EQ(status, 0) << "a separator of two characters falls back to the system's";
}

// A formula typed into a cell is read with the sheet's own separators,
// whichever compiler takes it.
TEST(CellEvaluation, FormulasInCellsReadTheSheetsSeparators) {
  TSheet sheet;
  sheet.decimalSeparator = ",";
  sheet.listSeparator = ";";
  enter(sheet, 1, 1, "=SUM(1,5)");
  enter(sheet, 1, 2, "=SUM(1,5;2)");
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(1, 1), 1.5);
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(1, 2), 3.5);
  sheet.decimalSeparator = ".";
  sheet.listSeparator = ",";
  enter(sheet, 1, 3, "=SUM(1,5)");
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(1, 3), 6);
  // A formula filled down is read with the separators of its own time,
  // like one entered where none stands above it.
  sheet.decimalSeparator = ",";
  sheet.listSeparator = ";";
  enter(sheet, 2, 1, "=SUM(A1;2,5)");
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(2, 1), 4);
  sheet.decimalSeparator = ".";
  sheet.listSeparator = ",";
  enter(sheet, 2, 2, "=SUM(A2;2,5)");
  enter(sheet, 3, 5, "=SUM(A2;2,5)");
  EXPECT_EQ(shown(sheet, 2, 2), shown(sheet, 3, 5));
  enter(sheet, 2, 3, "=SUM(A3,1.5)");
  EXPECT_DOUBLE_EQ(sheet.getCellNumber(2, 3), 7.5);
}
