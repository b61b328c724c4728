#pragma once
#include <cstddef>
#include <vector>

// A dense matrix of extended values, stored row by row. A column vector is a
// matrix of one column.
class TMatrix {
public:
  TMatrix() = default;
  TMatrix(std::size_t rows, std::size_t columns, long double fill = 0.0L);

  std::size_t rows() const { return rowCount; }
  std::size_t columns() const { return columnCount; }
  // Resizes to rows x columns with every element set to fill.
  void assign(std::size_t rows, std::size_t columns, long double fill = 0.0L);

  long double& operator()(std::size_t row, std::size_t column) { return elements[row * columnCount + column]; }
  long double operator()(std::size_t row, std::size_t column) const { return elements[row * columnCount + column]; }
  long double* rowData(std::size_t row) { return elements.data() + row * columnCount; }
  const long double* rowData(std::size_t row) const { return elements.data() + row * columnCount; }

private:
  std::size_t rowCount = 0;
  std::size_t columnCount = 0;
  std::vector<long double> elements;
};

// LU decomposition with partial pivoting through a row permutation: row i of
// the decomposed matrix lives in physical row perm[i]. Returns the number of
// row exchanges, or -1 when the elimination faulted (a zero pivot, overflow).
// A matrix smaller than n x n raises ERangeError.
int luDecompose(TMatrix& a, std::vector<int>& perm, int n);

// Solves one right-hand column b (overwritten) against a decomposed matrix and
// writes the solution into entry `column` of every row of x. False when the
// substitution faulted or n < 1.
bool luSolveColumn(int column, int n, const std::vector<int>& perm, const TMatrix& a, TMatrix& x, TMatrix& b);

// Decomposes a (destroying it); 0 when the decomposition failed.
long double matrixDeterminant(TMatrix& a, int n);

// Replaces a by its inverse; false when the matrix is singular or a
// substitution faulted (a then holds the partial decomposition).
bool invertMatrix(TMatrix& a, int n);

// Solves a.x = b, destroying a and b and sizing x to n x 1; false when the
// system is singular or n < 1.
bool solveLinearSystem(TMatrix& a, TMatrix& b, TMatrix& x, int n);

// c = a.b; false (c untouched) when either is empty or the shapes disagree.
bool matrixProduct(const TMatrix& a, const TMatrix& b, TMatrix& c);

// The most multiply-add steps one matrix routine of the sheet may take, under
// a second of work: MINVERSE of a 4096 x 4096 array would block the
// window for over a minute with no way to stop it.
inline constexpr double maxMatrixWork = 2e8;

// Raises ERangeError ("#VALUE!") before work of more steps than
// maxMatrixWork begins.
void requireMatrixWork(double steps);
