#include "functions/ArrayStorage.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/NumericErrors.h"
#include "sheet/Sheet.h"

namespace {

std::int64_t checkedCount(int cols, int rows) {
  if (cols < 0 || rows < 0) throw ERangeError();
  return static_cast<std::int64_t>(cols) * rows;
}

void prepare(TArray& array, int cols, int rows, bool resize) {
  std::int64_t count = checkedCount(cols, rows);
  if (resize) array.setSize2D(rows, cols);
  if (array.elementCount() < count) throw ERangeError();
}

}  // namespace

void storeNumber(TValueRecord& element, long double value) {
  if (std::isnan(value)) throw EInvalidOp();
  if (std::fabs(value) > std::numeric_limits<double>::max()) throw EOverflow();
  element.clear();
  element.kind = valueNumber;
  element.number = static_cast<double>(value);
}

void storeVectorInArray(const std::vector<long double>& vector, int cols, int rows, TArray& array, bool resize) {
  prepare(array, cols, rows, resize);
  std::size_t count = static_cast<std::size_t>(checkedCount(cols, rows));
  if (vector.size() < count) throw ERangeError();
  for (std::size_t i = 0; i < count; ++i) storeNumber(array.elements()[i], vector[i]);
}

void storeMatrixInArray(const TMatrix& matrix, int cols, int rows, TArray& array, bool resize) {
  prepare(array, cols, rows, resize);
  if (matrix.rows() < static_cast<std::size_t>(rows) || matrix.columns() < static_cast<std::size_t>(cols)) {
    throw ERangeError();
  }
  std::size_t next = 0;
  for (int row = 0; row < rows; ++row) {
    for (int col = 0; col < cols; ++col) storeNumber(array.elements()[next++], matrix(row, col));
  }
}

void arrayToMatrix(const TSheet& sheet, const TArray& array, int cols, int rows, TMatrix& matrix) {
  if (array.elementCount() < checkedCount(cols, rows)) throw ERangeError();
  matrix.assign(static_cast<std::size_t>(rows), static_cast<std::size_t>(cols));
  std::size_t next = 0;
  for (int row = 0; row < rows; ++row) {
    for (int col = 0; col < cols; ++col) {
      TValueRecord element = array.elements()[next++];
      if (sheet.convertValue(element, valueNumber)) matrix(row, col) = element.number;
    }
  }
}
