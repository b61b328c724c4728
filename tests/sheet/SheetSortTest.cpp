#include <gtest/gtest.h>

#include <vector>

#include "tests/sheet/SheetTestSupport.h"

namespace {

constexpr std::uint8_t numberCell = 1;
constexpr std::uint8_t stringCell = 2;

std::vector<std::string> column(const TSheet& sheet, int col, int rows) {
  std::vector<std::string> texts;
  for (int row = 1; row <= rows; ++row) texts.push_back(sheet.getCell(col, row) ? shown(sheet, col, row) : "-");
  return texts;
}

}  // namespace

TEST(SheetSort, NumbersThenTextsByCodesThenTheRest) {
  TSheet sheet;
  enter(sheet, 1, 1, "b", stringCell);
  enter(sheet, 1, 2, "B", stringCell);
  enter(sheet, 1, 3, "a", stringCell);
  ASSERT_TRUE(sheet.sortRange(true, true, 1, 3, 1, 1, 1));
  EXPECT_EQ(column(sheet, 1, 3), (std::vector<std::string>{"B", "a", "b"}));

  TSheet mixed;
  enter(mixed, 1, 1, "3");
  enter(mixed, 1, 2, "x", stringCell);
  enter(mixed, 2, 3, "was empty", stringCell);
  enter(mixed, 1, 4, "1");
  for (int row = 1; row <= 4; ++row) enter(mixed, 3, row, std::to_string(row));
  ASSERT_TRUE(mixed.sortRange(true, true, 1, 4, 1, 1, 3));
  EXPECT_EQ(column(mixed, 1, 4), (std::vector<std::string>{"1", "3", "x", "-"}));
  EXPECT_EQ(column(mixed, 3, 4), (std::vector<std::string>{"4", "1", "2", "3"})) << "whole rows move";
  EXPECT_EQ(shown(mixed, 2, 4), "was empty");
  ASSERT_TRUE(mixed.sortRange(false, true, 1, 4, 1, 1, 3));
  EXPECT_EQ(column(mixed, 1, 4), (std::vector<std::string>{"x", "3", "1", "-"}));
  EXPECT_FALSE(mixed.sortRange(true, true, 4, 9, 1, 1, 3)) << "limited to the used rows, one row is no sort";
  EXPECT_FALSE(mixed.sortRange(true, true, 0, 4, 1, 1, 3));
}

TEST(SheetSort, ErrorsSortAsZeroOrEmptyTextAndEqualTextsKeepTheirOrder) {
  TSheet sheet;
  enter(sheet, 1, 1, "5");
  enter(sheet, 1, 2, "=1/0");
  enter(sheet, 1, 3, "-1");
  enter(sheet, 1, 4, "m", stringCell);
  enter(sheet, 1, 5, "=1/0", stringCell);
  enter(sheet, 1, 6, "m", stringCell);
  enter(sheet, 1, 7, "1.7E308");
  enter(sheet, 1, 8, "1.6E308");
  enter(sheet, 1, 9, "m", stringCell);
  for (int row = 1; row <= 9; ++row) enter(sheet, 2, row, std::to_string(row));
  ASSERT_TRUE(sheet.sortRange(true, true, 1, 9, 1, 1, 2));
  // Keys near the top of the double range sort without overflow.
  EXPECT_EQ(column(sheet, 2, 9), (std::vector<std::string>{"3", "2", "1", "8", "7", "5", "4", "6", "9"}));
}

TEST(SheetSort, MovedFormulasKeepReadingTheirOwnRecord) {
  TSheet sheet;
  const char* names[] = {"pear", "apple", "fig"};
  for (int row = 1; row <= 3; ++row) {
    enter(sheet, 1, row, names[row - 1], stringCell);
    enter(sheet, 2, row, std::to_string(row * 10));
    enter(sheet, 3, row, "=B" + std::to_string(row) + "*2");
  }
  enter(sheet, 5, 1, "=C1");
  ASSERT_TRUE(sheet.sortRange(true, true, 1, 3, 1, 1, 3));
  EXPECT_EQ(column(sheet, 1, 3), (std::vector<std::string>{"apple", "fig", "pear"}));
  EXPECT_EQ(sheet.getCell(3, 1)->formula(), "=B1*2");
  EXPECT_EQ(column(sheet, 3, 3), (std::vector<std::string>{"40", "60", "20"}));
  EXPECT_EQ(shown(sheet, 5, 1), "40") << "a formula elsewhere does not follow the record";
  // No link of the old order survives.
  sheet.setCellContent(2, 1, 0, "7", numberCell);
  EXPECT_EQ(shown(sheet, 3, 1), "14");
  EXPECT_EQ(shown(sheet, 5, 1), "14");
  sheet.setCellContent(2, 3, 0, "8", numberCell);
  EXPECT_EQ(column(sheet, 3, 3), (std::vector<std::string>{"14", "60", "16"}));
}

TEST(SheetSort, ColumnsSortByARow) {
  TSheet sheet;
  enter(sheet, 1, 1, "2");
  enter(sheet, 2, 1, "1");
  enter(sheet, 1, 2, "=A1+100");
  sheet.setColWidth(1, 50);
  ASSERT_TRUE(sheet.sortRange(true, false, 1, 2, 1, 1, 2));
  EXPECT_EQ(shown(sheet, 1, 1), "1");
  EXPECT_EQ(sheet.getCell(2, 2)->formula(), "=B1+100");
  EXPECT_EQ(shown(sheet, 2, 2), "102");
  EXPECT_EQ(sheet.getColWidth(1), 50) << "a sort keeps the sizes";
}

TEST(SheetSort, ArraysSortInsideTheirBounds) {
  TArray array;
  array.setSize2D(4, 2);
  auto set = [&](int row, TValueRecord key, int mark) {
    array.at(row, 0) = key;
    array.at(row, 1).kind = valueInteger;
    array.at(row, 1).integer = mark;
  };
  TValueRecord text;
  text.kind = valueString;
  text.string = "z";
  TValueRecord number;
  number.kind = valueNumber;
  number.number = 2.5;
  TValueRecord whole;
  whole.kind = valueInteger;
  whole.integer = 1;
  set(0, text, 1);
  set(1, TValueRecord(), 2);
  set(2, number, 3);
  set(3, whole, 4);
  TSheet sheet;
  EXPECT_FALSE(sheet.msortArray(true, true, 1, 5, 1, 1, 2, array));
  EXPECT_FALSE(sheet.msortArray(true, true, 1, 4, 3, 1, 2, array)) << "a key outside the array";
  EXPECT_FALSE(sheet.msortArray(true, true, 1, 4, 1, 0, 2, array));
  ASSERT_TRUE(sheet.msortArray(false, true, 1, 4, 1, 1, 2, array));
  std::vector<int> marks;
  for (int row = 0; row < 4; ++row) marks.push_back(array.at(row, 1).integer);
  EXPECT_EQ(marks, (std::vector<int>{1, 3, 4, 2}));
  ASSERT_TRUE(sheet.msortArray(true, false, 1, 2, 1, 1, 4, array));
  EXPECT_EQ(array.at(0, 0).integer, 1) << "row 1 holds z and 1: the number first";
  EXPECT_EQ(array.at(0, 1).string, "z");
}

TEST(SheetSort, ExchangesMoveCellsSizesAndFormulas) {
  TSheet sheet;
  enter(sheet, 1, 1, "1");
  enter(sheet, 1, 2, "2");
  enter(sheet, 2, 1, "=A1+$A$2");
  enter(sheet, 2, 3, "x", stringCell);
  sheet.setRowHeight(1, 40);
  EXPECT_FALSE(sheet.exchangeRows(1, 4)) << "row 4 is not used";
  EXPECT_FALSE(sheet.exchangeRows(2, 2));
  ASSERT_TRUE(sheet.exchangeRows(1, 3));
  EXPECT_EQ(sheet.getRowHeight(3), 40);
  EXPECT_EQ(sheet.getCell(2, 3)->formula(), "=A3+$A$2");
  EXPECT_EQ(shown(sheet, 2, 1), "x");
  EXPECT_EQ(shown(sheet, 2, 3), "3");
  sheet.setCellContent(1, 3, 0, "5", numberCell);
  EXPECT_EQ(shown(sheet, 2, 3), "7") << "the exchanged formula's links are fresh";
  sheet.setColWidth(2, 70);
  ASSERT_TRUE(sheet.exchangeColumns(1, 2));
  EXPECT_EQ(sheet.getColWidth(1), 70);
  EXPECT_EQ(sheet.getCell(1, 3)->formula(), "=#REF!+$A$2");
  EXPECT_EQ(shown(sheet, 2, 3), "5");
  EXPECT_FALSE(sheet.exchangeColumns(1, 3));
}
