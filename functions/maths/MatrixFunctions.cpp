#include "functions/maths/MatrixFunctions.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "functions/ArrayStorage.h"
#include "functions/maths/Matrix.h"
#include "functions/SeriesGathering.h"
#include "platform/NumericErrors.h"
#include "sheet/Sheet.h"

namespace {

using TSeries = std::vector<long double>;

// A two-dimensional array argument with at least one element; empty for
// anything else (a scalar, a name that is no range, an empty array).
TArgumentArray arrayOperand(TEvalContext& c, int i) {
  TArgumentArray array;
  if (!c.arrayArgument(i, array) || !array || array->dimensionCount() != 2 || array->elementCount() == 0) {
    return TArgumentArray();
  }
  return array;
}

int rowsOf(const TArray& array) { return array.dimensions()[0]; }
int columnsOf(const TArray& array) { return array.dimensions()[1]; }

// Sizes asked for by arguments are refused beyond what a range may hold.
void checkElementCount(std::int64_t count) {
  if (count < 0 || count > maxArrayElements) throw ERangeError();
}

// Element i as a number, 0 when it is none.
long double numberOrZero(const TSheet& sheet, const TArray& array, std::size_t i) {
  double number = 0.0;
  return elementNumber(sheet, array.elements()[i], number) ? number : 0.0L;
}

// ---- Element-wise and matrix arithmetic ----

// MSUM (selector 0) and MSUB (1): a + b or a - b element by element, built
// in the second argument's array.
void evalMSUM_MSUB(TEvalContext& c, int selector) {
  if (c.argumentCount() != 2) return;
  TArgumentArray a = arrayOperand(c, 0);
  TArgumentArray b = arrayOperand(c, 1);
  if (!a || !b || a->dimensions() != b->dimensions()) return;
  const std::size_t count = a->elements().size();
  TSeries values(count);
  for (std::size_t i = 0; i < count; ++i) {
    const long double left = numberOrZero(c.sheet, *a, i), right = numberOrZero(c.sheet, *b, i);
    values[i] = selector == 0 ? left + right : left - right;
  }
  const int rows = rowsOf(*b), columns = columnsOf(*b);
  std::unique_ptr<TArray> result = b.take();
  storeVectorInArray(values, columns, rows, *result, false);
  c.setArrayResult(std::move(result));
}

void evalMSUM(TEvalContext& c) { evalMSUM_MSUB(c, 0); }
void evalMSUB(TEvalContext& c) { evalMSUM_MSUB(c, 1); }

// The numbers of an array with a mark for the elements that are numbers.
struct TMarkedNumbers {
  std::vector<double> values;
  std::vector<char> present;
};

TMarkedNumbers markedNumbers(const TSheet& sheet, const TArray& array) {
  TMarkedNumbers numbers;
  numbers.values.resize(array.elements().size(), 0.0);
  numbers.present.resize(array.elements().size(), 0);
  for (std::size_t i = 0; i < array.elements().size(); ++i) {
    numbers.present[i] = elementNumber(sheet, array.elements()[i], numbers.values[i]);
  }
  return numbers;
}

// MMULT (a, b): the matrix product, each sum in double precision over the
// products whose two factors are numbers.
void evalMMULT(TEvalContext& c) {
  if (c.argumentCount() != 2) return;
  TArgumentArray a = arrayOperand(c, 0);
  TArgumentArray b = arrayOperand(c, 1);
  if (!a || !b || columnsOf(*a) != rowsOf(*b)) return;
  const int rows = rowsOf(*a), inner = columnsOf(*a), columns = columnsOf(*b);
  checkElementCount(std::int64_t{rows} * columns);
  requireMatrixWork(static_cast<double>(rows) * inner * columns);
  const TMarkedNumbers left = markedNumbers(c.sheet, *a);
  const TMarkedNumbers right = markedNumbers(c.sheet, *b);
  std::vector<double> sums(static_cast<std::size_t>(rows) * columns, 0.0);
  // Row by row of b, so that every sum still adds its products in k order.
  for (int i = 0; i < rows; ++i) {
    double* sumRow = sums.data() + static_cast<std::size_t>(i) * columns;
    for (int k = 0; k < inner; ++k) {
      const std::size_t leftIndex = static_cast<std::size_t>(i) * inner + k;
      if (!left.present[leftIndex]) continue;
      const double factor = left.values[leftIndex];
      const std::size_t rightRow = static_cast<std::size_t>(k) * columns;
      for (int j = 0; j < columns; ++j) {
        if (right.present[rightRow + j]) sumRow[j] += factor * right.values[rightRow + j];
      }
    }
  }
  auto result = std::make_unique<TArray>();
  storeVectorInArray(TSeries(sums.begin(), sums.end()), columns, rows, *result, true);
  c.setArrayResult(std::move(result));
}

// SUMPRODUCT (array1, array2 [, ...]): arrays without elements are left
// out; the others pair their elements by position in storage order.
void evalSUMPRODUCT(TEvalContext& c) {
  const int count = c.argumentCount();
  if (count < 2) return;
  std::vector<TArgumentArray> arrays;
  for (int i = 0; i < count; ++i) {
    TArgumentArray array;
    if (!c.arrayArgument(i, array) || !array) return;
    if (array->elementCount() == 0) continue;
    if (!arrays.empty() && array->elementCount() != arrays.front()->elementCount()) return;
    arrays.push_back(std::move(array));
  }
  if (arrays.empty()) return;
  long double sum = 0.0L;
  const std::size_t positions = arrays.front()->elements().size();
  for (std::size_t p = 0; p < positions; ++p) {
    long double product = 1.0L;
    bool allNumbers = true;
    for (const TArgumentArray& array : arrays) {
      double number = 0.0;
      if (!elementNumber(c.sheet, array->elements()[p], number)) {
        allNumbers = false;
        break;
      }
      product *= number;
    }
    if (allNumbers) sum += product;
  }
  c.setNumberResult(sum);
}

// SUMX2MY2 (selector 1), SUMX2PY2 (2) and SUMXMY2 (3) over two arrays of
// equal element count.
void evalSumOfSquaresXY(TEvalContext& c, int selector) {
  if (c.argumentCount() != 2) return;
  TArgumentArray x = arrayOperand(c, 0);
  TArgumentArray y = arrayOperand(c, 1);
  if (!x || !y || x->elementCount() != y->elementCount()) return;
  long double sum = 0.0L;
  for (std::size_t i = 0; i < x->elements().size(); ++i) {
    const long double a = numberOrZero(c.sheet, *x, i), b = numberOrZero(c.sheet, *y, i);
    switch (selector) {
      case 1:
        sum += a * a - b * b;
        break;
      case 2:
        sum += a * a + b * b;
        break;
      default:
        sum += (a - b) * (a - b);
        break;
    }
  }
  c.setNumberResult(sum);
}

// ---- Matrices ----

// The steps of the work on a square matrix of the order, which must stay
// within the bound before the matrix is even built.
using TMatrixWork = double (*)(double order);
double decompositionWork(double n) { return n * n * n / 3; }
double inversionWork(double n) { return n * n * n; }
double solutionWork(double n) { return n * n * n / 3 + n * n; }

// A square array argument as a matrix; false when the argument is none.
bool squareMatrix(TEvalContext& c, const TArgumentArray& array, TMatrix& matrix, int& order, TMatrixWork work) {
  if (!array || rowsOf(*array) != columnsOf(*array)) return false;
  order = rowsOf(*array);
  requireMatrixWork(work(order));
  arrayToMatrix(c.sheet, *array, order, order, matrix);
  return true;
}

// M1 (n): the n x n identity matrix of integers.
void evalM1(TEvalContext& c) {
  std::int32_t order = 0;
  if (c.argumentCount() != 1 || !c.integerArgument(0, order)) return;
  if (order < 1) throw ERangeError();
  checkElementCount(std::int64_t{order} * order);
  auto result = std::make_unique<TArray>();
  result->setSize2D(order, order);
  for (std::int32_t r = 0; r < order; ++r) {
    for (std::int32_t col = 0; col < order; ++col) {
      TValueRecord& element = result->at(r, col);
      element.kind = valueInteger;
      element.integer = r == col ? 1 : 0;
    }
  }
  c.setArrayResult(std::move(result));
}

// MAKEVECTOR (n [, start [, step]]): the column start, start + step, ...
void evalMAKEVECTOR(TEvalContext& c) {
  const int count = c.argumentCount();
  std::int32_t length = 0;
  double start = 1.0, step = 1.0;
  if (count < 1 || count > 3 || !c.integerArgument(0, length) || (count > 1 && !c.numberArgument(1, start)) ||
      (count > 2 && !c.numberArgument(2, step))) {
    return;
  }
  if (length < (count > 1 ? 1 : 0)) throw ERangeError();
  checkElementCount(length);
  TSeries values(static_cast<std::size_t>(length));
  for (std::int32_t k = 0; k < length; ++k) values[k] = start + static_cast<long double>(k) * step;
  auto result = std::make_unique<TArray>();
  storeVectorInArray(values, 1, length, *result, true);
  c.setArrayResult(std::move(result));
}

// MDETERM (square array): a singular matrix, whose decomposition meets a
// zero pivot, has the determinant 0.
void evalMDETERM(TEvalContext& c) {
  TMatrix matrix;
  int order = 0;
  if (c.argumentCount() != 1 || !squareMatrix(c, arrayOperand(c, 0), matrix, order, decompositionWork)) return;
  c.setNumberResult(matrixDeterminant(matrix, order));
}

// MINVERSE (square array): "#N/A" for a matrix that cannot be inverted.
void evalMINVERSE(TEvalContext& c) {
  if (c.argumentCount() != 1) return;
  TMatrix matrix;
  int order = 0;
  TArgumentArray array = arrayOperand(c, 0);
  if (!squareMatrix(c, array, matrix, order, inversionWork)) return;
  if (!invertMatrix(matrix, order)) {
    c.fail(errNA);
    return;
  }
  std::unique_ptr<TArray> result = array.take();
  storeMatrixInArray(matrix, order, order, *result, false);
  c.setArrayResult(std::move(result));
}

// MSOLVE (A, b): the column x with A x = b, over b's array; "#N/A" for a
// system that cannot be solved.
void evalMSOLVE(TEvalContext& c) {
  TMatrix matrix, rightHandSide, solution;
  int order = 0;
  if (c.argumentCount() != 2 || !squareMatrix(c, arrayOperand(c, 0), matrix, order, solutionWork)) return;
  TArgumentArray column = arrayOperand(c, 1);
  if (!column || rowsOf(*column) != order || columnsOf(*column) != 1) return;
  arrayToMatrix(c.sheet, *column, 1, order, rightHandSide);
  if (!solveLinearSystem(matrix, rightHandSide, solution, order)) {
    c.fail(errNA);
    return;
  }
  std::unique_ptr<TArray> result = column.take();
  storeMatrixInArray(solution, 1, order, *result, false);
  c.setArrayResult(std::move(result));
}

// ---- Reshaping, in the argument's own array where it has one ----

void reshape(TEvalContext& c, bool (TArray::*change)()) {
  if (c.argumentCount() != 1) return;
  TArgumentArray array = arrayOperand(c, 0);
  if (!array) return;
  std::unique_ptr<TArray> result = array.take();
  ((*result).*change)();
  c.setArrayResult(std::move(result));
}

void evalTRANSPOSE(TEvalContext& c) { reshape(c, &TArray::transpose); }
void evalFLIPROWS(TEvalContext& c) { reshape(c, &TArray::flipRows); }
void evalFLIPCOLS(TEvalContext& c) { reshape(c, &TArray::flipCols); }

// SWAPROWS and SWAPCOLS (array, first, second): 1-based indexes.
void exchange(TEvalContext& c, bool rows) {
  std::int32_t first = 0, second = 0;
  if (c.argumentCount() != 3 || !c.integerArgument(1, first) || !c.integerArgument(2, second)) return;
  TArgumentArray array = arrayOperand(c, 0);
  if (!array) return;
  const std::int32_t limit = rows ? rowsOf(*array) : columnsOf(*array);
  if (first < 1 || first > limit || second < 1 || second > limit) throw ERangeError();
  std::unique_ptr<TArray> result = array.take();
  const std::int32_t lines = rows ? columnsOf(*result) : rowsOf(*result);
  for (std::int32_t i = 0; i < lines; ++i) {
    if (rows) {
      std::swap(result->at(first - 1, i), result->at(second - 1, i));
    } else {
      std::swap(result->at(i, first - 1), result->at(i, second - 1));
    }
  }
  c.setArrayResult(std::move(result));
}

void evalSWAPROWS(TEvalContext& c) { exchange(c, true); }
void evalSWAPCOLS(TEvalContext& c) { exchange(c, false); }

void add(TBuiltinTable& table, std::string_view name, TBuiltinRoutine routine) {
  table.at(static_cast<std::size_t>(FunctionIdOf(name))) = routine;
}

}  // namespace

void registerMatrixFunctions(TBuiltinTable& table) {
  add(table, "FLIPCOLS", evalFLIPCOLS);
  add(table, "FLIPROWS", evalFLIPROWS);
  add(table, "M1", evalM1);
  add(table, "MAKEVECTOR", evalMAKEVECTOR);
  add(table, "MDETERM", evalMDETERM);
  add(table, "MINVERSE", evalMINVERSE);
  add(table, "MMULT", evalMMULT);
  add(table, "MSOLVE", evalMSOLVE);
  add(table, "MSUM", evalMSUM);
  add(table, "MSUB", evalMSUB);
  add(table, "SUMPRODUCT", evalSUMPRODUCT);
  add(table, "SUMX2MY2", [](TEvalContext& c) { evalSumOfSquaresXY(c, 1); });
  add(table, "SUMX2PY2", [](TEvalContext& c) { evalSumOfSquaresXY(c, 2); });
  add(table, "SUMXMY2", [](TEvalContext& c) { evalSumOfSquaresXY(c, 3); });
  add(table, "SWAPCOLS", evalSWAPCOLS);
  add(table, "SWAPROWS", evalSWAPROWS);
  add(table, "TRANSPOSE", evalTRANSPOSE);
}
