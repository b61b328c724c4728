#include <gtest/gtest.h>

#include "sheet/ValueCells.h"
#include "tests/sheet/SheetTestSupport.h"

namespace {

void select(TSheet& sheet, int left, int top, int right, int bottom) {
  sheet.currentCol = left;
  sheet.currentRow = top;
  sheet.selection = RECT{left, top, right, bottom};
}

}  // namespace

TEST(SheetValues, CurrentCellSettersConvertAndPropagate) {
  TSheet sheet;
  enter(sheet, 1, 1, "1", 5);
  enter(sheet, 2, 1, "=A1*3");
  select(sheet, 1, 1, 1, 1);
  sheet.setCurrentCellNumber(4.9);
  EXPECT_EQ(sheet.currentCellInteger(), 4) << "an integer cell truncates";
  EXPECT_EQ(shown(sheet, 2, 1), "12");
  sheet.setCurrentCellString("7");
  EXPECT_EQ(shown(sheet, 2, 1), "21");
  sheet.setCurrentCellString("seven");
  EXPECT_EQ(sheet.currentCellInteger(), 0) << "no number: 0";
  sheet.setCurrentCellLocked(true);
  sheet.setCurrentCellInteger(9);
  EXPECT_EQ(sheet.currentCellInteger(), 0) << "locked";
  EXPECT_FALSE(sheet.markCurrentCellDirty());
}

TEST(SheetValues, SelectionsMarkLockAndFormatOnlyTheirCells) {
  TSheet sheet;
  enter(sheet, 1, 1, "=2");
  enter(sheet, 1, 2, "=3");
  enter(sheet, 2, 1, "=4");
  sheet.getCell(1, 2)->locked = true;
  select(sheet, 1, 1, 1, 5);
  EXPECT_TRUE(sheet.markSelectionDirty());
  EXPECT_EQ(shown(sheet, 1, 1), "#N/A");
  EXPECT_EQ(shown(sheet, 1, 2), "3") << "locked";
  EXPECT_EQ(shown(sheet, 2, 1), "4") << "outside";
  EXPECT_FALSE(sheet.markSelectionDirty()) << "already marked";
  sheet.setSelectionFillColor(0x00AA00);
  EXPECT_EQ(sheet.currentCellFillColor(), 0x00AA00);
  sheet.currentRow = 2;
  EXPECT_EQ(sheet.currentCellFillColor(), sheet.defaultFillColor) << "locked cells keep theirs";
  sheet.setSelectionLocked(false);
  EXPECT_FALSE(sheet.currentCellLocked());
}

TEST(SheetValues, FormatForAValueFollowsTheCellsKind) {
  TSheet sheet;
  TFontProperties font;
  std::int32_t fill = 0;
  sheet.getCurrentCellFormatForNumber(5, font, fill);
  EXPECT_EQ(fill, sheet.defaultFillColor) << "no current cell";
  enter(sheet, 1, 1, "1", 5);
  select(sheet, 1, 1, 1, 1);
  sheet.setSelectionConditionalFillColor(0x0000CC);
  sheet.setSelectionThreshold(true, 2);
  sheet.getCurrentCellFormatForNumber(2.9, font, fill);
  EXPECT_EQ(fill, sheet.defaultFillColor) << "2.9 is 2 for an integer cell: not above";
  sheet.getCurrentCellFormatForNumber(3.1, font, fill);
  EXPECT_EQ(fill, 0x0000CC);
  fill = 77;
  sheet.getCurrentCellFormatForText("many", font, fill);
  EXPECT_EQ(fill, 77) << "a text that is no number changes nothing";
  sheet.getCurrentCellFormatForText(" 5 ", font, fill);
  EXPECT_EQ(fill, 0x0000CC);
  enter(sheet, 2, 1, "abc", 2);
  select(sheet, 2, 1, 2, 1);
  sheet.setSelectionConditionalFillColor(0x0000CC);
  sheet.getCurrentCellFormatForNumber(9, font, fill);
  EXPECT_EQ(fill, sheet.defaultFillColor) << "text cells have no conditional format";
}

TEST(SheetValues, NumberOptionsReachOnlyCellsThatHaveThem) {
  TSheet sheet;
  enter(sheet, 1, 1, "3.14159");
  select(sheet, 1, 1, 1, 1);
  sheet.setCurrentCellMaxDecimals(40);
  EXPECT_EQ(shown(sheet, 1, 1), "3.14159") << "at most 15 decimals";
  sheet.setCurrentCellMaxDecimals(3);
  sheet.setCurrentCellFixedDecimals(true);
  sheet.setCurrentCellTrail(" m");
  EXPECT_EQ(shown(sheet, 1, 1), "3.142 m");
  enter(sheet, 2, 1, "x", 2);
  select(sheet, 2, 1, 2, 1);
  sheet.setCurrentCellTrail(" m");
  EXPECT_EQ(shown(sheet, 2, 1), "x");
}

TEST(SheetValues, SpilledArraysFillOrClearPlaces) {
  TSheet sheet;
  enter(sheet, 2, 1, "old", 2);
  enter(sheet, 3, 1, "9");
  TArray values;
  values.setSize2D(1, 3);
  values.at(0, 0).kind = valueNumber;
  values.at(0, 0).number = 1.5;
  values.at(0, 1).kind = valueInteger;
  values.at(0, 1).integer = 2;
  EXPECT_TRUE(sheet.spillArray(values, 1, 1, false, 0, 0));
  EXPECT_EQ(sheet.getCell(1, 1)->cellType(), 1) << "a new number cell";
  EXPECT_EQ(shown(sheet, 2, 1), "2") << "an existing text cell takes the value as text";
  EXPECT_EQ(shown(sheet, 3, 1), "9") << "an empty element leaves the place";
  EXPECT_TRUE(sheet.spillArray(values, 1, 1, true, 0, 2));
  EXPECT_NE(sheet.getCell(3, 1), nullptr) << "beyond the column limit";
  EXPECT_TRUE(sheet.spillArray(values, 1, 1, true, 0, 0));
  EXPECT_EQ(sheet.getCell(3, 1), nullptr);
  TArray flat;
  flat.setDimensions({3});
  EXPECT_FALSE(sheet.spillArray(flat, 1, 1, true, 0, 0));
}

TEST(SheetValues, NamedValuesIgnoreCaseAndBlanks) {
  TSheet sheet;
  TValueRecord value;
  value.kind = valueInteger;
  value.integer = 3;
  sheet.setCustomId("  Limit", value);
  value.integer = 4;
  sheet.setCustomId("LIMIT ", value);
  ASSERT_EQ(sheet.customIds.size(), 1u);
  TValueRecord found;
  found.kind = valueString;
  EXPECT_FALSE(sheet.getCustomId("other", found));
  EXPECT_EQ(found.kind, valueString) << "left as it was";
  EXPECT_TRUE(sheet.getCustomId("limit", found));
  EXPECT_EQ(found.integer, 4);
  sheet.freeCustomIds();
  EXPECT_EQ(evaluated(sheet, "=LIMIT"), "id:LIMIT");
}

TEST(SheetValues, ClearingCellsForgetsLinksAndResult) {
  TSheet sheet;
  enter(sheet, 1, 1, "2");
  enter(sheet, 1, 2, "=A1");
  sheet.clearCells();
  EXPECT_EQ(sheet.getCell(1, 2), nullptr);
  EXPECT_TRUE(sheet.dependents.getDependents({0, 0}).empty());
  EXPECT_EQ(sheet.resultValue.kind, valueEmpty);
  sheet.recalculateAll(true);
}
