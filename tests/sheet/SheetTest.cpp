#include <gtest/gtest.h>

#include "sheet/Props.h"
#include "sheet/ValueCells.h"
#include "tests/sheet/SheetTestSupport.h"

TEST(Props, ExplicitSizesGrowAndShiftWithTheirRows) {
  TProps props;
  EXPECT_EQ(props.setSize(5, 2), 6);
  ASSERT_EQ(props.sizes.size(), 6u);
  EXPECT_EQ(props.getSize(0), 16);
  EXPECT_EQ(props.getSize(-1), 16);
  EXPECT_EQ(props.getSize(99), 16);
  props.setSize(2, 30);
  props.shiftSizes(0, 3);
  EXPECT_EQ(props.getSize(2), 30) << "nothing moves before the header";
  props.shiftSizes(1, 2);  // two rows inserted before row 1
  EXPECT_EQ(props.getSize(4), 30);
  EXPECT_EQ(props.getSize(7), 6);
  props.shiftSizes(3, -2);  // rows 1 and 2 deleted
  EXPECT_EQ(props.getSize(2), 30);
  EXPECT_EQ(props.getSize(5), 6);
  props.shiftSizes(20, -5);  // beyond the stored sizes
  EXPECT_EQ(props.sizes.size(), 15u);
  EXPECT_EQ(props.getSize(14), 16);
  TProps three;
  three.setSize(2, 40);
  three.swapSizes(1, 9);
  EXPECT_EQ(three.sizes.size(), 10u);
  EXPECT_EQ(three.getSize(2), 40);
}

TEST(Sheet, CountsKeepTheViewAndCurrentCellInside) {
  TSheet sheet;
  sheet.currentCol = 5;
  sheet.currentRow = 2;
  sheet.setColCount(0);
  EXPECT_EQ(sheet.getColCount(), 1);
  EXPECT_EQ(sheet.currentCol, -1);
  sheet.colProps.fixedCount = 1;
  sheet.setColCount(10);
  sheet.setLeftCol(1);
  EXPECT_EQ(sheet.leftCol, 2);
  EXPECT_GT(sheet.getDefaultRowHeight(), 0);
  sheet.setDefaultRowHeight(2);
  EXPECT_EQ(sheet.getDefaultRowHeight(), 6);
}

TEST(Sheet, NumberTextsUseTheSheetsSeparators) {
  TSheet sheet;
  sheet.decimalSeparator = ",";
  sheet.thousandSeparator = ".";
  EXPECT_DOUBLE_EQ(sheet.strToFloat("1.234.567,25"), 1234567.25);
  EXPECT_EQ(sheet.floatToStr(0.5), "0,5");
  EXPECT_EQ(sheet.floatToStr(1e20), "1E20");
  EXPECT_EQ(sheet.floatToStr(-0.00001234), "-1,234E-5");
  EXPECT_EQ(sheet.floatToStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(sheet.floatToStr(-999999999999999.0), "-999999999999999");
  EXPECT_EQ(sheet.floatToStr(1e15), "1E15");
  EXPECT_EQ(sheet.floatToStr(-2500.0), "-2500");
  EXPECT_THROW(sheet.strToFloat("1,2,3"), EConvertError);
  EXPECT_THROW(sheet.strToFloat("1e999"), EConvertError) << "no infinities";
  EXPECT_EQ(sheet.strToIntStrict(" -12 "), -12);
  EXPECT_EQ(sheet.strToIntStrict("+7"), 7);
  EXPECT_EQ(sheet.strToIntStrict("-2147483648"), -2147483647 - 1);
  for (const char* bad : {"", "-", "12a", "1 2", "2147483648"}) EXPECT_THROW(sheet.strToIntStrict(bad), EConvertError) << bad;
}

// A text of no given kind that is a number in the sheet's spelling makes a
// number cell holding that number, and replaces a formula there as a typed
// number does; a text cell stays one.
TEST(Sheet, ANumberThatDecidesItsCellsKindBecomesItsValue) {
  TSheet sheet;
  sheet.decimalSeparator = ",";
  sheet.thousandSeparator = ".";
  constexpr std::uint8_t noKind = 255;
  enter(sheet, 1, 1, " 1.234,5\t", noKind);
  enter(sheet, 1, 2, "-1,5E3", noKind);
  enter(sheet, 2, 1, "=A1*2");
  enter(sheet, 2, 2, "=B1+1");
  enter(sheet, 3, 1, "x", 2);
  enter(sheet, 3, 1, "5", noKind);
  enter(sheet, 2, 1, "7", noKind);
  const auto* first = dynamic_cast<const TCellDouble*>(sheet.getCell(1, 1));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->value, 1234.5);
  EXPECT_EQ(sheet.getCellNumber(1, 2), -1500);
  EXPECT_FALSE(sheet.getCell(2, 1)->hasFormula());
  EXPECT_EQ(sheet.getCellNumber(2, 1), 7);
  EXPECT_EQ(sheet.getCellNumber(2, 2), 8) << "its readers see the number";
  EXPECT_EQ(sheet.getCell(3, 1)->cellType(), 2);
}

// Entering into an empty place the text a new cell of its kind shows for its
// empty value gives that cell as it is, valid and with that text.
TEST(Sheet, TheTextOfAnEmptyValueEntersAsThatValue) {
  for (std::uint8_t code = 1; code <= 27; ++code) {
    TSheet sheet;
    const std::string text = sheet.cellFactory.newCell(code, &sheet)->getEditText();
    enter(sheet, 1, 1, text, code);
    const TCell* cell = sheet.getCell(1, 1);
    ASSERT_NE(cell, nullptr) << int{code};
    EXPECT_EQ(cell->state, stateValid) << int{code};
    EXPECT_FALSE(cell->hasFormula()) << int{code};
    EXPECT_EQ(cell->getEditText(), text) << int{code};
  }
}

TEST(Sheet, CellReferencesParseAndPrint) {
  TSheet sheet;
  int col = 0, row = 0, lastCol = 0, lastRow = 0;
  bool absRow = false, absCol = false;
  EXPECT_TRUE(sheet.parseCellRef("a1", col, absRow, absCol, row));
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, 1);
  EXPECT_TRUE(sheet.parseCellRef("$AB$20", col, absRow, absCol, row));
  EXPECT_EQ(col, 28);
  EXPECT_TRUE(absRow && absCol);
  for (const char* bad : {"A0", "A", "1A", "$", "A1B", "A99999999999"}) {
    EXPECT_FALSE(sheet.parseCellRef(bad, col, absRow, absCol, row)) << bad;
  }
  EXPECT_TRUE(sheet.parseRangeRef("B3 : A1", col, row, lastCol, lastRow));
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, 1);
  EXPECT_EQ(lastCol, 2);
  EXPECT_EQ(lastRow, 3);
  EXPECT_FALSE(sheet.parseRangeRef("B3", col, row, lastCol, lastRow));
  EXPECT_EQ(sheet.cellAddressText(28, 5, false, true), "$AB5");
  EXPECT_EQ(sheet.cellAddressText(0, 5, false, false), "#REF!");
}

TEST(Sheet, ValueConversions) {
  TSheet sheet;
  TValueRecord value;
  value.kind = valueString;
  value.string = "abc";
  EXPECT_FALSE(sheet.convertValue(value, valueNumber));
  value.string = "12/24/2023";
  ASSERT_TRUE(sheet.convertValue(value, valueNumber));
  EXPECT_EQ(value.number, 45284.0);
  EXPECT_EQ(value.kind, valueString) << "the kind stays";
  value.kind = valueNumber;
  value.number = -2.9;
  ASSERT_TRUE(sheet.convertValue(value, valueInteger));
  EXPECT_EQ(value.integer, -2);
  value.number = 3e9;
  EXPECT_FALSE(sheet.convertValue(value, valueInteger));
  value.number = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(sheet.convertValue(value, valueInteger));
  value.clear();
  EXPECT_FALSE(sheet.convertValue(value, valueString));
}

TEST(Sheet, WildcardsMatchAnyRunAndAnyCharacter) {
  TSheet sheet;
  auto matches = [&](const char* text, const char* pattern) {
    TValueRecord a, b;
    a.kind = b.kind = valueString;
    a.string = text;
    b.string = pattern;
    int order = 1;
    return sheet.compareValues(a, b, order, 1, 1, false, true) && order == 0;
  };
  EXPECT_TRUE(matches("abc", "A*"));
  EXPECT_TRUE(matches("abc", "a?c"));
  EXPECT_TRUE(matches("abc", "*c"));
  EXPECT_TRUE(matches("abc", "*b*"));
  EXPECT_FALSE(matches("abc", "b*"));
  // A first occurrence is not always the right one.
  EXPECT_TRUE(matches("abab", "*b"));
  EXPECT_TRUE(matches("banana", "*ana"));
  EXPECT_TRUE(matches("banana", "b*n*a"));
  EXPECT_FALSE(matches("banana", "*an"));
  EXPECT_TRUE(matches("", "*"));
  EXPECT_FALSE(matches("ab", "???"));
}

TEST(Sheet, PlacesKeepTheirCellsAndCellsTheirKinds) {
  TSheet sheet;
  enter(sheet, 2, 3, "5");
  TCell* cell = sheet.getCell(2, 3);
  sheet.putCell(2, 3, TCellPtr(cell));
  EXPECT_EQ(sheet.getCell(2, 3), cell) << "storing the same cell keeps it";
  EXPECT_EQ(sheet.getCell(2, 4), nullptr);
  EXPECT_EQ(sheet.getCell(0, 3), nullptr);
  POINT extent = sheet.getUsedExtent();
  EXPECT_EQ(extent.x, 2);
  EXPECT_EQ(extent.y, 3);
  EXPECT_EQ(sheet.lastColumnWithRow(3), 2);
  EXPECT_EQ(sheet.lastColumnWithRow(4), 0);
  enter(sheet, 3, 3, "x", 2);
  sheet.currentCol = 2;
  sheet.currentRow = 3;
  sheet.selection = RECT{2, 3, 3, 3};
  sheet.getCell(3, 3)->locked = true;
  EXPECT_TRUE(sheet.setSelectionType(0));
  EXPECT_EQ(sheet.getCell(2, 3), nullptr);
  EXPECT_NE(sheet.getCell(3, 3), nullptr) << "locked cells stay";
}

TEST(Sheet, SelectionTypeChangeKeepsTheValue) {
  TSheet sheet;
  enter(sheet, 1, 1, "42.7");
  sheet.currentCol = sheet.currentRow = 1;
  sheet.selection = RECT{1, 1, 1, 1};
  EXPECT_TRUE(sheet.setSelectionType(5));
  EXPECT_EQ(sheet.currentCellType(), 5);
  EXPECT_EQ(sheet.currentCellInteger(), 42);
}

TEST(Sheet, CellRangeBlocksHoldTheirCells) {
  TSheet sheet;
  sheet.setColCount(10);
  sheet.setRowCount(100);
  TSheet::TCellBlock block;
  sheet.createCellRange(1, alignRight, block, RECT{2, 1, 3, 50});
  ASSERT_EQ(block.count, 100);
  EXPECT_EQ(sheet.getCell(3, 50)->alignment, alignRight);
  enter(sheet, 3, 50, "7.5");
  EXPECT_EQ(sheet.getCellNumber(3, 50), 7.5);
  TSheet::TCellBlock refused;
  sheet.createCellRange(1, 0, refused, RECT{2, 1, 11, 2});
  EXPECT_EQ(refused.count, 0) << "beyond the column count";
  sheet.setColCount(2147483647);
  sheet.setRowCount(2147483647);
  sheet.createCellRange(1, 0, refused, RECT{2, 1, 2000000000, 2000000000});
  EXPECT_EQ(refused.count, 0) << "a block that large is not even tried";
  sheet.clearCells();
}
