#include <gtest/gtest.h>

#include "functions/ArrayStorage.h"
#include "platform/NumericErrors.h"
#include "sheet/Sheet.h"

TEST(ArrayStorage, VectorsAndMatricesGoRowByRow) {
  TArray array;
  storeVectorInArray({1, 2, 3, 4, 5, 6}, 3, 2, array, true);
  ASSERT_EQ(array.dimensions(), (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(array.at(1, 0).kind, valueNumber);
  EXPECT_EQ(array.at(1, 0).number, 4.0);
  TSheet sheet;
  TValueRecord text;
  text.kind = valueString;
  text.string = "x";
  array.at(0, 1) = text;
  text.string = "2.5";
  array.at(1, 2) = text;
  TMatrix matrix;
  arrayToMatrix(sheet, array, 3, 2, matrix);
  EXPECT_EQ(matrix(0, 1), 0.0L) << "no number: 0";
  EXPECT_EQ(matrix(1, 2), 2.5L);
  TArray copy;
  storeMatrixInArray(matrix, 3, 2, copy, true);
  EXPECT_EQ(copy.at(1, 1).number, 5.0);
}

TEST(ArrayStorage, ShortSourcesAndUnrepresentableValuesFail) {
  TArray array;
  EXPECT_THROW(storeVectorInArray({1, 2}, 3, 1, array, true), ERangeError);
  TArray small;
  small.setSize2D(1, 1);
  EXPECT_THROW(storeVectorInArray({1, 2}, 2, 1, small, false), ERangeError) << "array too small";
  EXPECT_THROW(storeVectorInArray({1e400L}, 1, 1, array, true), EOverflow);
  TSheet sheet;
  TMatrix matrix;
  array.setSize2D(1, 1);
  EXPECT_THROW(arrayToMatrix(sheet, array, 2, 1, matrix), ERangeError);
}
