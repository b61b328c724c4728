#include <gtest/gtest.h>

#include "tests/sheet/SheetTestSupport.h"

namespace {

std::string formulaAt(const TSheet& sheet, int col, int row) {
  const TCell* cell = sheet.getCell(col, row);
  return cell ? std::string(cell->formula()) : "(empty)";
}

void select(TSheet& sheet, int left, int top, int right, int bottom) {
  sheet.currentCol = left;
  sheet.currentRow = top;
  sheet.selection = RECT{left, top, right, bottom};
}

}  // namespace

TEST(SheetStructure, MovedFormulasFollowTheirCellsAndOthersKeepTheirPlaces) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 1, 2, "10");
  enter(sheet, 1, 4, "7");
  enter(sheet, 1, 5, "=A4+$A$1");
  enter(sheet, 1, 6, "100");
  enter(sheet, 2, 1, "=A5");
  select(sheet, 1, 3, 1, 3);
  ASSERT_TRUE(sheet.deleteSelectedRows());
  EXPECT_EQ(formulaAt(sheet, 1, 4), "=A3+$A$1");
  EXPECT_EQ(shown(sheet, 1, 4), "8");
  EXPECT_EQ(formulaAt(sheet, 2, 1), "=A5") << "a cell that stays keeps its formula";
  EXPECT_EQ(shown(sheet, 2, 1), "100") << "and sees what moved into the place";
  EXPECT_EQ(sheet.currentRow, 3);

  // The links are fresh: changes reach the moved formula and the readers of
  // the places, not the old places.
  sheet.setCellContent(1, 3, 0, "8", 1);
  EXPECT_EQ(shown(sheet, 1, 4), "9");
  sheet.setCellContent(1, 5, 0, "200", 1);
  EXPECT_EQ(shown(sheet, 2, 1), "200");
  EXPECT_EQ(shown(sheet, 1, 4), "9");

  // Two rows inserted before row 1: relative rows grow, absolute rows stay.
  select(sheet, 1, 1, 1, 2);
  ASSERT_TRUE(sheet.insertRowsAtSelection());
  EXPECT_EQ(formulaAt(sheet, 1, 6), "=A5+$A$1");
  EXPECT_EQ(formulaAt(sheet, 2, 3), "=A7");
  EXPECT_EQ(shown(sheet, 2, 3), "200");
  EXPECT_EQ(sheet.getCell(1, 1), nullptr);
}

TEST(SheetStructure, ReferencesMovedOffTheSheetBecomeRefErrors) {
  TSheet sheet;
  enter(sheet, 2, 1, "1");
  enter(sheet, 2, 4, "=SUM(B1:B3) + $B1 + B$1 + \"A1\"");
  enter(sheet, 2, 5, "=B1+1E999");
  sheet.shiftRows(4, -3);
  EXPECT_EQ(formulaAt(sheet, 2, 1), "=SUM(#REF!:#REF!) + #REF! + B$1 + \"A1\"");
  EXPECT_NE(sheet.getCell(2, 1)->state, stateValid);
  EXPECT_EQ(formulaAt(sheet, 2, 2), "=B1+1E999") << "a formula the tokenizer rejects moves unchanged";

  TSheet columns;
  enter(columns, 1, 1, "5");
  enter(columns, 3, 1, "=A1*2+$A1");
  columns.shiftColumns(2, 2);
  EXPECT_EQ(formulaAt(columns, 5, 1), "=C1*2+$A1");
  columns.shiftColumns(5, -4);
  EXPECT_EQ(formulaAt(columns, 1, 1), "=#REF!*2+$A1") << "the cell took the place of the deleted A1";
  EXPECT_EQ(columns.cells.size(), 1u);
}

TEST(SheetStructure, LockedCellsStayAndBlockMoves) {
  TSheet sheet;
  for (int row = 1; row <= 5; ++row) enter(sheet, 1, row, std::to_string(row));
  sheet.getCell(1, 2)->locked = true;
  sheet.shiftRows(4, -2);  // deletes rows 2 and 3
  EXPECT_EQ(shown(sheet, 1, 2), "2") << "a locked cell is never freed";
  EXPECT_EQ(shown(sheet, 1, 3), "5") << "the cell from row 4 stayed, so row 5 moved into row 3";
  EXPECT_EQ(shown(sheet, 1, 4), "4");
  EXPECT_EQ(sheet.getCell(1, 5), nullptr);

  select(sheet, 1, 2, 1, 2);
  EXPECT_FALSE(sheet.clearSelection()) << "only locked cells";
  EXPECT_EQ(shown(sheet, 1, 2), "2");
}

TEST(SheetStructure, ClearingShiftsUpOnlyFromTheSelectionRightward) {
  TSheet sheet;
  for (int col = 1; col <= 4; ++col) {
    for (int row = 1; row <= 4; ++row) enter(sheet, col, row, std::to_string(col * 10 + row));
  }
  enter(sheet, 3, 4, "=C3+1");
  select(sheet, 2, 1, 2, 2);
  ASSERT_TRUE(sheet.clearSelectionShiftUp());
  EXPECT_EQ(shown(sheet, 1, 1), "11");
  EXPECT_EQ(shown(sheet, 2, 1), "23");
  EXPECT_EQ(shown(sheet, 3, 1), "31") << "a place still occupied takes nothing";
  EXPECT_EQ(shown(sheet, 4, 1), "41");
  EXPECT_EQ(sheet.selection.bottom, 2) << "the selection stays";
  EXPECT_EQ(sheet.cells[1].size(), 2u) << "emptied tails are trimmed";

  TSheet gaps;
  enter(gaps, 1, 1, "1");
  enter(gaps, 1, 2, "2");
  enter(gaps, 2, 3, "3");
  enter(gaps, 2, 5, "5");
  select(gaps, 2, 1, 2, 2);
  EXPECT_FALSE(gaps.clearSelectionShiftUp()) << "nothing freed, nothing moves";
  select(gaps, 2, 3, 2, 3);
  ASSERT_TRUE(gaps.clearSelectionShiftUp());
  EXPECT_EQ(shown(gaps, 2, 4), "5");
  EXPECT_EQ(gaps.getCell(2, 5), nullptr);
}

TEST(SheetStructure, SizesMoveWithTheirRowsAndColumns) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 2, 6, "6");
  sheet.setRowHeight(5, 30);
  sheet.setColWidth(2, 90);
  int headerWidth = sheet.getColWidth(0);
  sheet.shiftRows(3, 2);
  EXPECT_EQ(sheet.getRowHeight(7), 30);
  EXPECT_EQ(sheet.getRowHeight(5), sheet.getDefaultRowHeight());
  EXPECT_EQ(shown(sheet, 2, 8), "6");
  EXPECT_EQ(sheet.cells[0].size(), 3u) << "every column grows, also one shorter than the insertion point";
  sheet.shiftColumns(1, 1);
  EXPECT_EQ(sheet.getColWidth(3), 90);
  EXPECT_EQ(shown(sheet, 3, 8), "6");
  EXPECT_EQ(sheet.getColWidth(0), headerWidth) << "the header keeps its size";
  select(sheet, 1, 1, 1, 1);
  ASSERT_TRUE(sheet.deleteSelectedColumns());
  EXPECT_EQ(sheet.getColWidth(2), 90);
  EXPECT_EQ(shown(sheet, 1, 1), "1");
  EXPECT_EQ(shown(sheet, 2, 8), "6");
}
