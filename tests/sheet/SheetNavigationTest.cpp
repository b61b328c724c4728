#include <gtest/gtest.h>

#include "tests/sheet/SheetGeometry.h"
#include "tests/sheet/SheetTestSupport.h"

namespace {

// Ten columns and a hundred rows in a 300 x 200 view: columns 1 to 5 and
// rows 1 to 9 show whole.
struct TNavigationView {
  TNavigationView() : surface(300, 200) {
    prepare(sheet, 10, 100);
    redraw();
  }
  void redraw() { paint(sheet, surface, surface.rect()); }
  bool key(WORD code, TShiftState shift = 0) {
    bool changed = sheet.keyDown(code, shift);
    redraw();
    return changed;
  }
  TSheet sheet;
  TPaintSurface surface;
};

bool sameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

}  // namespace

TEST(SheetNavigation, CurrentCellAndSelectionStayInTheNonFixedArea) {
  TSheet sheet;
  sheet.setColCount(5);
  sheet.setRowCount(5);
  sheet.setFixedCols(1);
  sheet.setCurrentCell(1, 2);
  EXPECT_FALSE(sheet.hasCurrentCell());
  EXPECT_EQ(sheet.selection.left, -1);
  EXPECT_EQ(sheet.resizeState, areaNowhere);
  sheet.setSelection(2, 2, 4, 3);
  EXPECT_EQ(sheet.currentCol, 2);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{2, 2, 4, 3}));
  EXPECT_EQ(sheet.resizeState, areaCell);
  sheet.setSelection(2, 2, 6, 3);
  EXPECT_FALSE(sheet.hasCurrentCell()) << "beyond the column count";
  sheet.selectAll();
  EXPECT_TRUE(sameRect(sheet.selection, RECT{2, 1, 5, 5}));
  sheet.setFixedCols(3);
  EXPECT_EQ(sheet.selection.left, 4) << "the selection gives up its new fixed part";
  EXPECT_FALSE(sheet.hasCurrentCell()) << "the current cell fell into it";
  EXPECT_EQ(sheet.leftCol, 4);
  sheet.setFixedCols(1);
  EXPECT_EQ(sheet.leftCol, 2);
}

TEST(SheetNavigation, ArrowsMoveAndScrollOnlyWhenTheCellLeavesTheView) {
  TNavigationView view;
  TSheet& sheet = view.sheet;
  ASSERT_EQ(sheet.rightCol, 5);
  ASSERT_EQ(sheet.bottomRow, 9);
  sheet.setCurrentCell(4, 9);
  EXPECT_TRUE(view.key(VK_RIGHT));
  EXPECT_EQ(sheet.currentCol, 5);
  EXPECT_EQ(sheet.leftCol, 1) << "column 5 shows whole";
  EXPECT_TRUE(view.key(VK_RIGHT));
  EXPECT_EQ(sheet.leftCol, 2) << "column 6 now shows at the right edge";
  EXPECT_TRUE(view.key(VK_DOWN));
  EXPECT_EQ(sheet.topRow, 2);
  EXPECT_TRUE(view.key(VK_LEFT));
  EXPECT_TRUE(view.key(VK_LEFT));
  EXPECT_TRUE(view.key(VK_LEFT));
  EXPECT_TRUE(view.key(VK_LEFT));
  EXPECT_EQ(sheet.currentCol, 2);
  EXPECT_EQ(sheet.leftCol, 2);
  EXPECT_TRUE(view.key(VK_LEFT));
  EXPECT_EQ(sheet.leftCol, 1);
  EXPECT_FALSE(view.key(VK_LEFT)) << "not into the headers";
  EXPECT_FALSE(view.key(VK_TAB, ssShift));
  EXPECT_FALSE(view.key(VK_LEFT, ssAlt));
  EXPECT_FALSE(view.key('A'));

  EXPECT_TRUE(view.key(VK_RIGHT, ssCtrl));
  EXPECT_EQ(sheet.leftCol, 2);
  EXPECT_EQ(sheet.currentCol, 1) << "Ctrl scrolls without moving the cell";
  EXPECT_TRUE(view.key(VK_HOME, ssCtrl));
  EXPECT_EQ(sheet.leftCol, 1);
  EXPECT_EQ(sheet.topRow, 1);
  EXPECT_EQ(sheet.currentRow, 1);
  sheet.setCurrentCell(5, 1);
  EXPECT_TRUE(view.key(VK_TAB));
  EXPECT_EQ(sheet.currentCol, 6);
  EXPECT_EQ(sheet.leftCol, 2) << "Tab past the last shown column scrolls by one";
}

TEST(SheetNavigation, PagesAndEnds) {
  TNavigationView view;
  TSheet& sheet = view.sheet;
  sheet.setCurrentCell(2, 9);
  EXPECT_TRUE(view.key(VK_NEXT));
  EXPECT_EQ(sheet.topRow, 10);
  EXPECT_EQ(sheet.currentRow, 18);
  EXPECT_TRUE(view.key(VK_PRIOR)) << "a page back even from the bottom row";
  EXPECT_EQ(sheet.topRow, 2);
  EXPECT_EQ(sheet.currentRow, 10);
  EXPECT_FALSE(view.key(VK_NEXT, ssCtrl)) << "already on the bottom row";
  EXPECT_TRUE(view.key(VK_PRIOR, ssCtrl));
  EXPECT_EQ(sheet.currentRow, 2);
  sheet.topRow = 92;
  view.redraw();
  sheet.setCurrentCell(2, 95);
  EXPECT_FALSE(view.key(VK_NEXT)) << "the last page";
  EXPECT_EQ(sheet.topRow, 92);

  enter(sheet, 7, 95, "1");
  enter(sheet, 3, 40, "1");
  EXPECT_TRUE(view.key(VK_END));
  EXPECT_EQ(sheet.currentCol, 7);
  EXPECT_EQ(sheet.leftCol, 3);
  sheet.setCurrentCell(4, 96);
  EXPECT_TRUE(view.key(VK_END));
  EXPECT_EQ(sheet.currentCol, 1) << "an empty row: the first column";
  EXPECT_TRUE(view.key(VK_END, ssCtrl));
  EXPECT_EQ(sheet.currentCol, 7);
  EXPECT_EQ(sheet.currentRow, 95);
  EXPECT_EQ(sheet.bottomRow, 95) << "the last used place shows at the bottom right";
  EXPECT_EQ(sheet.rightCol, 7);
  EXPECT_FALSE(view.key(VK_END, ssCtrl));

  sheet.getCell(7, 95)->locked = true;
  EXPECT_FALSE(view.key(VK_DELETE)) << "only a locked cell selected";
  sheet.setCurrentCell(3, 40);
  EXPECT_TRUE(view.key(VK_DELETE));
  EXPECT_EQ(sheet.getCell(3, 40), nullptr);
}

TEST(SheetNavigation, MouseResizesSelectsAndDrags) {
  TNavigationView view;
  TSheet& sheet = view.sheet;
  sheet.mouseDown(78, 10, false, false);
  EXPECT_EQ(sheet.resizeState, areaFixedColumnBorder);
  sheet.mouseMove(100, 10);
  EXPECT_EQ(sheet.getColWidth(1), 70);
  view.redraw();
  sheet.setColsSizable(false);
  sheet.mouseDown(99, 10, false, false);
  EXPECT_EQ(sheet.resizeState, areaCell) << "not sizable: the press selects";
  EXPECT_EQ(sheet.currentCol, 1);
  EXPECT_EQ(sheet.currentRow, 1) << "a column header: the first row";
  EXPECT_TRUE(sameRect(sheet.selection, RECT{1, 1, 1, 100})) << "the whole column";

  sheet.mouseDown(10, 45, false, false);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{1, 2, 10, 2}));
  sheet.mouseDown(10, 85, true, false);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{1, 2, 10, 4})) << "Shift spans from the anchor";
  sheet.mouseDown(10, 5, false, false);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{1, 1, 10, 100})) << "the corner selects all";

  sheet.mouseDown(130, 45, false, false);
  EXPECT_EQ(sheet.currentCol, 2);
  EXPECT_EQ(sheet.currentRow, 2);
  sheet.mouseMove(180, 85);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{2, 2, 3, 4}));
  sheet.mouseMove(390, 85);
  EXPECT_EQ(sheet.leftCol, 3) << "a drag two columns past the edge scrolls by two";
  EXPECT_TRUE(sameRect(sheet.selection, RECT{2, 2, 7, 4}));
  view.redraw();
  sheet.mouseDown(130, 125, false, true);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{2, 2, 7, 6})) << "Ctrl widens the selection";
  sheet.setColCount(4);
  view.redraw();
  sheet.mouseDown(290, 190, false, false);
  EXPECT_FALSE(sheet.hasCurrentCell()) << "a press beyond the columns";
}

TEST(SheetNavigation, WithoutMultiSelectEveryPressAndDragSelectsOneCell) {
  TNavigationView view;
  TSheet& sheet = view.sheet;
  sheet.setColsSizable(false);
  sheet.setColWidth(1, 70);
  view.redraw();
  sheet.mouseDown(130, 45, false, false);
  sheet.mouseMove(180, 85);
  ASSERT_TRUE(sameRect(sheet.selection, RECT{2, 2, 3, 4}));
  sheet.setMultiSelect(false);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{2, 2, 2, 2})) << "switching off shrinks it to the current cell";
  sheet.selectAll();
  EXPECT_TRUE(sameRect(sheet.selection, RECT{2, 2, 2, 2}));

  sheet.mouseDown(10, 5, false, false);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{1, 1, 1, 1})) << "the corner: the first place only";
  sheet.mouseDown(10, 85, false, false);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{1, 4, 1, 4})) << "a row header: its first cell";
  sheet.mouseDown(130, 10, true, false);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{2, 1, 2, 1})) << "a column header with Shift: its first cell";
  sheet.mouseDown(130, 45, false, false);
  sheet.mouseDown(180, 85, true, false);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{3, 4, 3, 4})) << "Shift spans nothing";
  sheet.mouseDown(130, 125, false, true);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{2, 6, 2, 6})) << "Ctrl widens nothing";
  sheet.mouseMove(180, 45);
  EXPECT_EQ(sheet.currentCol, 3) << "a drag moves the current cell";
  EXPECT_EQ(sheet.currentRow, 2);
  EXPECT_TRUE(sameRect(sheet.selection, RECT{3, 2, 3, 2}));
}
