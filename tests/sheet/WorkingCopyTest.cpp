#include <gtest/gtest.h>

#include "sheet/CompiledFormula.h"
#include "sheet/ValueCells.h"
#include "tests/sheet/SheetTestSupport.h"

// Cells evaluate copies of their compiled formulas in lists the sheet keeps
// for each level of evaluation.

TEST(WorkingCopy, AnEvaluationInsideAnotherLeavesTheOuterCopyAlone) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 1, 2, "2");
  enter(sheet, 1, 3, "3");
  // The criterion is compiled and evaluated while the outer formula is half
  // done, with operands on both sides of the call.
  enter(sheet, 2, 1, "=A3*10+COUNTIF(A1:A3,\">=1+1\")*100+A2");
  EXPECT_EQ(shown(sheet, 2, 1), "232");
  enter(sheet, 2, 2, "=COUNTIF(A1:A3,\">\"&COUNTIF(A1:A3,\">1\"))-A1");
  EXPECT_EQ(shown(sheet, 2, 2), "0");
  sheet.recalculateAll(true);
  EXPECT_EQ(shown(sheet, 2, 1), "232");
  EXPECT_EQ(shown(sheet, 2, 2), "0");
}

TEST(WorkingCopy, AnArrayResultStaysWithItsCellUntilItsNextEvaluation) {
  TSheet sheet;
  enter(sheet, 1, 1, "={{5,6},{7,8}}");
  enter(sheet, 1, 2, "={{1,2,3}}*2");
  enter(sheet, 1, 3, "=A1+1");
  sheet.currentCol = sheet.currentRow = 1;
  ASSERT_NE(sheet.currentCellArray(), nullptr);
  EXPECT_EQ(sheet.currentCellArray()->elementCount(), 4);
  EXPECT_EQ(sheet.currentCellArray()->at(1, 1).integer, 8);
  EXPECT_EQ(shown(sheet, 1, 3), "6");
  sheet.currentRow = 2;
  ASSERT_NE(sheet.currentCellArray(), nullptr);
  EXPECT_EQ(sheet.currentCellArray()->at(0, 2).number, 6.0);
  sheet.currentRow = 3;
  EXPECT_EQ(sheet.currentCellArray(), nullptr);
  enter(sheet, 1, 1, "=9");
  sheet.currentRow = 1;
  EXPECT_EQ(sheet.currentCellArray(), nullptr) << "a scalar result keeps no array";
  EXPECT_EQ(shown(sheet, 1, 3), "10");
}

TEST(WorkingCopy, ACopiedCellKeepsItsOwnCompiledFormulaAndArray) {
  TSheet sheet;
  enter(sheet, 1, 1, "4");
  enter(sheet, 2, 1, "={1,2}+A1");
  enter(sheet, 2, 1, "=A1*{1,2}");
  TCellPtr copy = sheet.getCell(2, 1)->clone();
  enter(sheet, 2, 1, "=A1-1");
  ASSERT_NE(copy->compiledFormula(), nullptr);
  ASSERT_NE(copy->workingCopy(), nullptr);
  EXPECT_EQ(copy->workingCopy()->getItem(0)->subArray()->at(0, 1).number, 8.0);
  sheet.putCell(3, 1, std::move(copy));
  sheet.getCell(3, 1)->evaluate(3, 1, true);
  EXPECT_EQ(shown(sheet, 3, 1), "4");
  EXPECT_EQ(shown(sheet, 2, 1), "3");
}
