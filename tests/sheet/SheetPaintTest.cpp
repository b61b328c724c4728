#include <gtest/gtest.h>

#include "sheet/SheetCanvas.h"
#include "tests/sheet/PaintSurface.h"
#include "tests/sheet/SheetGeometry.h"
#include "tests/sheet/SheetTestSupport.h"

namespace {

constexpr std::uint8_t stringCell = 2;

}  // namespace

TEST(SheetPaint, HeadersGridCellsAndTheEmptyRest) {
  TSheet sheet;
  prepare(sheet, 3, 4);
  sheet.currentCol = 2;
  sheet.currentRow = 2;
  sheet.selection = RECT{2, 2, 2, 2};
  TPaintSurface surface(300, 200);
  paint(sheet, surface, surface.rect());
  EXPECT_EQ(sheet.rightCol, 3);
  EXPECT_EQ(sheet.bottomRow, 4);
  EXPECT_EQ(surface.pixel(31, 21), fill);
  EXPECT_EQ(surface.pixel(79, 25), face) << "the grid line after column A";
  EXPECT_EQ(surface.pixel(50, 99), face) << "the grid line after row 4";
  EXPECT_EQ(surface.countColor(RECT{180, 0, 300, 200}, background), 120 * 200) << "right of the last column";
  EXPECT_EQ(surface.countColor(RECT{0, 100, 300, 200}, background), 300 * 100) << "below the last row";
  // The header of column A: raised frame, face inside.
  EXPECT_EQ(surface.pixel(30, 10), colorToRGB(static_cast<std::int32_t>(0x80000005u)));
  EXPECT_EQ(surface.pixel(78, 10), colorToRGB(static_cast<std::int32_t>(0x80000010u)));
  EXPECT_EQ(surface.pixel(79, 10), colorToRGB(static_cast<std::int32_t>(0x80000006u)));
  EXPECT_EQ(surface.pixel(32, 3), face);
  EXPECT_EQ(surface.pixel(0, 25), colorToRGB(static_cast<std::int32_t>(0x80000005u))) << "row header frame";
  EXPECT_EQ(surface.pixel(5, 5), face) << "the corner";
  // The current cell alone is selected: filled and framed just outside.
  EXPECT_EQ(surface.pixel(100, 50), highlight);
  EXPECT_EQ(surface.pixel(100, 39), highlight);
  EXPECT_EQ(surface.pixel(129, 50), highlight);
  EXPECT_EQ(surface.pixel(79, 50), highlight);

  sheet.selection = RECT{2, 2, 3, 3};
  paint(sheet, surface, surface.rect());
  EXPECT_EQ(surface.pixel(100, 39), face) << "no frame round a larger selection";
  EXPECT_EQ(surface.pixel(170, 70), highlight);
  EXPECT_EQ(surface.pixel(60, 70), fill);
}

TEST(SheetPaint, WithoutHeadersThePlacesStartAtTheCornerAndNothingLeavesTheRect) {
  TSheet sheet;
  prepare(sheet, 2, 2);
  sheet.setShowColCoords(false);
  sheet.setShowRowCoords(false);
  sheet.selection = RECT{1, 1, 1, 1};
  TPaintSurface surface(300, 200);
  RECT rect{10, 10, 200, 150};
  paint(sheet, surface, rect);
  EXPECT_EQ(surface.pixel(10, 10), highlight);
  EXPECT_EQ(surface.pixel(60, 10), fill) << "column B starts 50 pixels on";
  EXPECT_EQ(surface.pixel(120, 60), background);
  EXPECT_EQ(surface.countColor(RECT{200, 0, 300, 200}, RGB(0, 0, 0)), 100 * 200) << "clipped to the rect";
  EXPECT_EQ(surface.countColor(RECT{0, 150, 200, 200}, RGB(0, 0, 0)), 200 * 50);
}

TEST(SheetPaint, TextRunsOnOverEmptyNeighboursOnly) {
  TSheet sheet;
  prepare(sheet, 12, 3);
  std::string longText(40, 'W');
  enter(sheet, 1, 1, longText, stringCell);
  TPaintSurface surface(300, 100);
  paint(sheet, surface, surface.rect());
  RECT columnB{80, 20, 129, 39};
  EXPECT_GT(surface.countColor(columnB, ink), 0) << "B1 is empty";
  enter(sheet, 2, 1, "", stringCell);
  paint(sheet, surface, surface.rect());
  EXPECT_EQ(surface.countColor(columnB, ink), 0) << "B1 holds a cell";

  // A right-aligned text beyond the right edge runs leftward into view.
  sheet.setCellContent(9, 2, alignRight, longText, stringCell);
  paint(sheet, surface, surface.rect());
  EXPECT_EQ(sheet.rightCol, 5);
  EXPECT_GT(surface.countColor(RECT{230, 40, 300, 59}, ink), 0);
}

TEST(SheetPaint, FixedColumnsStayWhileTheRestScrolls) {
  TSheet sheet;
  prepare(sheet, 20, 20);
  sheet.setFixedCols(1);
  sheet.leftCol = 5;
  enter(sheet, 5, 1, "5", stringCell);
  TPaintSurface surface(300, 100);
  paint(sheet, surface, surface.rect());
  EXPECT_EQ(sheet.rightCol, 8);
  EXPECT_EQ(surface.pixel(32, 23), face) << "the fixed column is drawn as a header";
  EXPECT_EQ(surface.pixel(30, 25), colorToRGB(static_cast<std::int32_t>(0x80000005u)));
  EXPECT_EQ(surface.pixel(120, 25), fill);
  POINT place;
  int left = 0;
  int top = 0;
  sheet.pointToCell(85, 25, place, left, top);
  EXPECT_EQ(place.x, 5);
  EXPECT_EQ(left, 80);
  sheet.pointToCell(340, 25, place, left, top);
  EXPECT_EQ(place.x, 10) << "past the edge the walk goes on";
  sheet.setDefaultMaxDecimals(20);
  EXPECT_EQ(sheet.defaultMaxDecimals, 15);
}

TEST(SheetPaint, PointsFallIntoCellsBordersOrNowhere) {
  TSheet sheet;
  prepare(sheet, 3, 4);
  sheet.currentCol = 2;
  sheet.currentRow = 2;
  enter(sheet, 2, 2, "text", stringCell);
  TPaintSurface surface(300, 200);
  paint(sheet, surface, surface.rect());
  EXPECT_EQ(sheet.hitTest(79, 10), areaFixedColumnBorder);
  EXPECT_EQ(sheet.hitTest(79, 25), areaColumnBorder);
  EXPECT_EQ(sheet.hitTest(82, 25), areaColumnBorder) << "a left edge belongs to the column before";
  EXPECT_EQ(sheet.hitTest(50, 39), areaRowBorder);
  EXPECT_EQ(sheet.hitTest(10, 39), areaFixedRowBorder);
  EXPECT_EQ(sheet.hitTest(50, 30), areaCell);
  EXPECT_EQ(sheet.hitTest(10, 30), areaNowhere) << "a row header";
  EXPECT_EQ(sheet.hitTest(250, 50), areaNowhere) << "beyond the columns";
  POINT place;
  POINT origin;
  EXPECT_EQ(sheet.pointArea(105, 45, place, origin), areaCell);
  EXPECT_EQ(place.x, 2);
  EXPECT_EQ(place.y, 2);
  EXPECT_EQ(origin.x, 80);
  EXPECT_EQ(origin.y, 40);

  RECT rect;
  sheet.getCurrentCellRect(rect);
  EXPECT_EQ(rect.left, 80);
  EXPECT_EQ(rect.top, 40);
  EXPECT_EQ(rect.right, 180) << "widened over the empty C2";
  EXPECT_EQ(rect.bottom, 60);
  sheet.getCell(2, 2)->alignment = alignRight;
  sheet.getCurrentCellRect(rect);
  EXPECT_EQ(rect.left, 30);
  EXPECT_EQ(rect.right, 130);
  sheet.currentRow = 9;
  sheet.getCurrentCellRect(rect);
  EXPECT_EQ(rect.left, -1) << "not drawn";
}

TEST(SheetPaint, FormattedSheetPicture) {
  TSheet sheet;
  prepare(sheet, 5, 8);
  sheet.defaultFont.color = static_cast<std::int32_t>(0x80000008u);
  sheet.setFixedRows(1);
  const char* headers[] = {"Asset", "Units", "Price", "Value", "Note"};
  for (int col = 1; col <= 5; ++col) enter(sheet, col, 1, headers[col - 1], stringCell);
  const char* names[] = {"Oak Fund", "Birch Bond", "Cash", "Ash Shares", "Elm Index", "Pine Corp"};
  for (int row = 2; row <= 7; ++row) {
    std::string r = std::to_string(row);
    enter(sheet, 1, row, names[row - 2], stringCell);
    enter(sheet, 2, row, std::to_string(row * 7 - 20));
    enter(sheet, 3, row, std::to_string(row * 3) + ".25");
    enter(sheet, 4, row, "=B" + r + "*C" + r);
  }
  enter(sheet, 5, 3, "a long note that runs on", stringCell);
  sheet.selection = RECT{4, 2, 4, 7};
  sheet.setSelectionThreshold(false, 0);
  sheet.setSelectionConditionalFillColor(RGB(255, 200, 200));
  sheet.selection = RECT{1, 2, 1, 7};
  TFontProperties bold = sheet.defaultFont;
  bold.style = fsBold;
  sheet.setSelectionFont(&bold);
  sheet.setSelectionFillColor(RGB(220, 255, 220));
  sheet.currentCol = 3;
  sheet.currentRow = 4;
  sheet.selection = RECT{3, 4, 3, 4};
  TPaintSurface surface(330, 200);
  paint(sheet, surface, surface.rect());
  EXPECT_EQ(surface.pixel(76, 57), RGB(220, 255, 220)) << "a cell's own fill";
  EXPECT_EQ(surface.pixel(226, 57), RGB(255, 200, 200)) << "the conditional fill of a negative value";
  EXPECT_EQ(surface.pixel(226, 76), fill) << "a positive value keeps the plain fill";
  EXPECT_EQ(surface.pixel(176, 96), highlight);
  EXPECT_EQ(surface.pixel(32, 22), face) << "the fixed row";
  EXPECT_TRUE(surface.savePng(executableFolder() + "formatted-sheet.png"));
}
