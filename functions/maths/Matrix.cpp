#include "functions/maths/Matrix.h"

#include <cmath>
#include <utility>

#include "functions/FaultWatch.h"
#include "platform/NumericErrors.h"

TMatrix::TMatrix(std::size_t rows, std::size_t columns, long double fill) { assign(rows, columns, fill); }

void TMatrix::assign(std::size_t rows, std::size_t columns, long double fill) {
  rowCount = rows;
  columnCount = columns;
  elements.assign(rows * columns, fill);
}

void requireMatrixWork(double steps) {
  if (steps > maxMatrixWork) throw ERangeError();
}

namespace {

bool holdsSquare(const TMatrix& a, int n) {
  return a.rows() >= static_cast<std::size_t>(n) && a.columns() >= static_cast<std::size_t>(n);
}

}  // namespace

// Gaussian elimination with partial pivoting, rows addressed through perm.
// The decomposition and the substitutions report a zero pivot or an overflow
// as a failed result rather than an exception, watching the fault flags.
int luDecompose(TMatrix& a, std::vector<int>& perm, int n) {
  perm.resize(n > 0 ? n : 0);
  for (int i = 0; i < n; ++i) perm[i] = i;
  if (n <= 0) return 0;
  if (!holdsSquare(a, n)) throw ERangeError();

  TFaultWatch watch;
  int exchanges = 0;
  for (int k = 0; k < n; ++k) {
    long double best = 0.0L;
    int pivot = k;
    for (int i = k; i < n; ++i) {
      long double size = std::fabs(a(perm[i], k));
      if (size > best) {
        best = size;
        pivot = i;
      }
    }
    if (pivot != k) {
      std::swap(perm[k], perm[pivot]);
      ++exchanges;
    }
    const long double* pivotRow = a.rowData(perm[k]);
    for (int i = k + 1; i < n; ++i) {
      long double* row = a.rowData(perm[i]);
      long double factor = row[k] / pivotRow[k];
      row[k] = factor;
      for (int j = k + 1; j < n; ++j) row[j] -= factor * pivotRow[j];
    }
    if (watch.faulted()) return -1;
  }
  return exchanges;
}

// Forward substitution in permuted order, then back substitution.
bool luSolveColumn(int column, int n, const std::vector<int>& perm, const TMatrix& a, TMatrix& x, TMatrix& b) {
  if (n < 1) return false;
  if (!holdsSquare(a, n) || perm.size() < static_cast<std::size_t>(n) || b.rows() < static_cast<std::size_t>(n) ||
      b.columns() < 1 || x.rows() < static_cast<std::size_t>(n) || column < 0 ||
      x.columns() <= static_cast<std::size_t>(column))
    throw ERangeError();

  TFaultWatch watch;
  // Row by row: each b[perm[i]] still subtracts its terms for k = 0, 1, ...
  // in that order, but reads its row of L contiguously instead of walking
  // down a column.
  std::vector<long double> forward(n);
  for (int i = 0; i < n; ++i) {
    const long double* row = a.rowData(perm[i]);
    long double value = b(perm[i], 0);
    for (int k = 0; k < i; ++k) value -= row[k] * forward[k];
    forward[i] = value;
    b(perm[i], 0) = value;
  }
  // The solution is built contiguously and then copied into its column of x.
  std::vector<long double> solution(n);
  solution[n - 1] = forward[n - 1] / a(perm[n - 1], n - 1);
  for (int i = n - 2; i >= 0; --i) {
    const long double* row = a.rowData(perm[i]);
    long double sum = 0.0L;
    for (int j = i + 1; j < n; ++j) sum += row[j] * solution[j];
    solution[i] = (forward[i] - sum) / row[i];
  }
  for (int i = 0; i < n; ++i) x(i, column) = solution[i];
  return !watch.faulted();
}

long double matrixDeterminant(TMatrix& a, int n) {
  std::vector<int> perm;
  int exchanges = luDecompose(a, perm, n);
  if (exchanges < 0) return 0.0L;
  long double determinant = 1.0L;
  for (int i = 0; i < n; ++i) determinant *= a(perm[i], i);
  return exchanges % 2 != 0 ? -determinant : determinant;
}

bool invertMatrix(TMatrix& a, int n) {
  std::vector<int> perm;
  if (luDecompose(a, perm, n) < 0) return false;
  if (n <= 0) return true;
  TMatrix unitColumn(n, 1);
  TMatrix inverse(n, n);
  for (int c = 0; c < n; ++c) {
    unitColumn.assign(n, 1);
    unitColumn(c, 0) = 1.0L;
    if (!luSolveColumn(c, n, perm, a, inverse, unitColumn)) return false;
  }
  a = std::move(inverse);
  return true;
}

bool solveLinearSystem(TMatrix& a, TMatrix& b, TMatrix& x, int n) {
  if (n < 1) return false;
  std::vector<int> perm;
  if (luDecompose(a, perm, n) < 0) return false;
  x.assign(n, 1);
  return luSolveColumn(0, n, perm, a, x, b);
}

bool matrixProduct(const TMatrix& a, const TMatrix& b, TMatrix& c) {
  std::size_t rows = a.rows(), inner = a.columns(), columns = b.columns();
  if (rows < 1 || inner < 1 || b.rows() < 1 || columns < 1 || b.rows() != inner) return false;
  // Row by row, each element still sums its products in the order m = 0, 1, ...
  TMatrix product(rows, columns);
  for (std::size_t i = 0; i < rows; ++i) {
    const long double* left = a.rowData(i);
    long double* target = product.rowData(i);
    for (std::size_t m = 0; m < inner; ++m) {
      const long double* right = b.rowData(m);
      for (std::size_t j = 0; j < columns; ++j) target[j] += left[m] * right[j];
    }
  }
  c = std::move(product);
  return true;
}
