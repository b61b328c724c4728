#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "sheet/ValueArray.h"

namespace {

// A rows x columns array whose elements are the integers 10 * row + column.
TArray numbered(int rows, int columns) {
  TArray array;
  array.setSize2D(rows, columns);
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      array.at(row, column).kind = valueInteger;
      array.at(row, column).integer = 10 * row + column;
    }
  }
  return array;
}

std::string rowsText(const TArray& array) {
  std::string text;
  for (int row = 0; row < array.dimensions()[0]; ++row) {
    if (row > 0) text += ';';
    for (int column = 0; column < array.dimensions()[1]; ++column) {
      if (column > 0) text += ',';
      const TValueRecord& element = array.at(row, column);
      text += element.kind == valueEmpty ? "_" : std::to_string(element.integer);
    }
  }
  return text;
}

}  // namespace

TEST(ValueArray, ShapeIsRowMajor) {
  TArray array;
  array.setDimensions({2, 3, 4});
  EXPECT_EQ(array.strides(), (std::vector<std::int32_t>{12, 4, 1}));
  EXPECT_EQ(array.elementCount(), 24);
  EXPECT_EQ(array.getBounds(), (std::vector<std::int32_t>{0, 1, 0, 2, 0, 3}));
  array.setDimensions({});
  EXPECT_EQ(array.dimensionCount(), 0);
  EXPECT_EQ(array.elementCount(), 0);
  array.setSize2D(-3, 5);
  EXPECT_EQ(array.elementCount(), 0) << "a negative size counts as none";
  EXPECT_THROW(array.setDimensions({65536, 65536}), std::length_error);
  EXPECT_EQ(array.elementCount(), 0);
  // The limit of a range holds for every array, in any number of dimensions.
  EXPECT_THROW(array.setDimensions({2, 4096, 2049}), std::length_error);
  EXPECT_THROW(array.setSize2D(1, maxArrayElements + 1), std::length_error);
  array.setSize2D(1, maxArrayElements);
  EXPECT_EQ(array.elementCount(), maxArrayElements);
}

TEST(ValueArray, TransposeMovesElementToMirroredPlace) {
  TArray wide = numbered(2, 3);
  ASSERT_TRUE(wide.transpose());
  EXPECT_EQ(wide.dimensions(), (std::vector<std::int32_t>{3, 2}));
  EXPECT_EQ(wide.strides(), (std::vector<std::int32_t>{2, 1}));
  EXPECT_EQ(rowsText(wide), "0,10;1,11;2,12");

  TArray square = numbered(3, 3);
  ASSERT_TRUE(square.transpose());
  EXPECT_EQ(rowsText(square), "0,10,20;1,11,21;2,12,22");

  TArray row = numbered(1, 4);
  ASSERT_TRUE(row.transpose());
  EXPECT_EQ(rowsText(row), "0;1;2;3");

  TArray line;
  line.setDimensions({4});
  EXPECT_FALSE(line.transpose());
  TArray cube;
  cube.setDimensions({2, 2, 2});
  EXPECT_FALSE(cube.transpose());
  EXPECT_FALSE(cube.flipRows());
  EXPECT_FALSE(cube.flipCols());
}

TEST(ValueArray, FlipsKeepTheMiddleOfOddCounts) {
  TArray array = numbered(3, 2);
  ASSERT_TRUE(array.flipRows());
  EXPECT_EQ(rowsText(array), "20,21;10,11;0,1");
  TArray columns = numbered(2, 3);
  ASSERT_TRUE(columns.flipCols());
  EXPECT_EQ(rowsText(columns), "2,1,0;12,11,10");
}
