#include <gtest/gtest.h>

#include <cfenv>
#include <initializer_list>
#include <vector>

#include "functions/maths/Matrix.h"
#include "tests/functions/NumericTestSupport.h"

namespace {

TMatrix matrixOf(std::initializer_list<std::initializer_list<long double>> rows) {
  TMatrix m(rows.size(), rows.begin()->size());
  std::size_t r = 0, c = 0;
  for (auto row : rows) {
    for (long double value : row) m(r, c++) = value;
    ++r, c = 0;
  }
  return m;
}

// A 4 x 4 matrix that needs row exchanges; its inverse and the solution for
// b = (1, 2, 3, 4) were computed exactly with Python fractions.
TMatrix sample() { return matrixOf({{2, -1, 0, 3}, {1, 4, -2, 0.5}, {0, 3, 5, -1}, {6, 1, 1, 2}}); }
const long double sampleInverse[4][4] = {{-57.0L / 340, -1.0L / 20, -9.0L / 136, 157.0L / 680},
                                         {2.0L / 85, 1.0L / 5, 3.0L / 34, -7.0L / 170},
                                         {13.0L / 170, -1.0L / 10, 11.0L / 68, -3.0L / 340},
                                         {77.0L / 170, 1.0L / 10, 5.0L / 68, -57.0L / 340}};

}  // namespace

using Matrix = TClearsFaultFlags;

TEST_F(Matrix, DeterminantCountsExchangesAndFailsToZero) {
  struct Case {
    TMatrix a;
    long double expected;
  } cases[] = {
      {sample(), -340}, {matrixOf({{0, 1}, {1, 0}}), -1},  // one exchange
      {matrixOf({{1, 2}, {2, 4}}), 0},                     // last pivot 0, never divided by
      {matrixOf({{0, 1, 2}, {0, 3, 4}, {0, 5, 6}}), 0},    // 0 / 0 in the first column
      {matrixOf({{0}}), 0},
  };
  for (auto& c : cases) EXPECT_NEAR(matrixDeterminant(c.a, static_cast<int>(c.a.rows())), c.expected, 1e-15L);
}

TEST_F(Matrix, DecompositionPivotsOnTheFirstLargest) {
  TMatrix tie = matrixOf({{2, 1}, {-2, 3}});
  std::vector<int> perm;
  EXPECT_EQ(luDecompose(tie, perm, 2), 0);
  EXPECT_EQ(perm, (std::vector<int>{0, 1}));
  EXPECT_EQ(tie(1, 0), -1.0L);  // the multiplier stays in the physical row
  EXPECT_EQ(tie(1, 1), 4.0L);
  TMatrix swapped = matrixOf({{1, 1}, {3, 1}});
  EXPECT_EQ(luDecompose(swapped, perm, 2), 1);
  EXPECT_EQ(perm, (std::vector<int>{1, 0}));
  TMatrix tooSmall(2, 2);
  EXPECT_THROW(luDecompose(tooSmall, perm, 3), ERangeError);
}

TEST_F(Matrix, InverseMatchesExactValues) {
  TMatrix a = matrixOf({{4, 7}, {2, 6}});
  ASSERT_TRUE(invertMatrix(a, 2));
  const long double expected[2][2] = {{0.6L, -0.7L}, {-0.2L, 0.4L}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) EXPECT_NEAR(a(r, c), expected[r][c], 1e-18L);
  TMatrix b = sample();
  ASSERT_TRUE(invertMatrix(b, 4));
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(b(r, c), sampleInverse[r][c], 1e-17L) << r << "," << c;
}

// The guarded steps report faults as results and leave the caller's own
// pending flags as they found them.
TEST_F(Matrix, SingularMatricesFailWithoutTouchingTheCallersFlags) {
  std::feclearexcept(FE_ALL_EXCEPT);
  TMatrix lastPivotZero = matrixOf({{1, 2}, {2, 4}}), zeroColumn = matrixOf({{0, 1}, {0, 2}});
  EXPECT_FALSE(invertMatrix(lastPivotZero, 2));
  EXPECT_FALSE(invertMatrix(zeroColumn, 2));
  EXPECT_FALSE(floatingPointFaultPending());

  std::feraiseexcept(FE_OVERFLOW);
  TMatrix a = sample();
  EXPECT_TRUE(invertMatrix(a, 4));
  EXPECT_TRUE(floatingPointFaultPending());
  std::feclearexcept(FE_ALL_EXCEPT);
}

TEST_F(Matrix, LinearSystemSolvesAndRejectsAnEmptyOrder) {
  TMatrix a = sample(), b = matrixOf({{1}, {2}, {3}, {4}}), x;
  ASSERT_TRUE(solveLinearSystem(a, b, x, 4));
  ASSERT_EQ(x.rows(), 4u);
  const long double expected[4] = {311.0L / 680, 89.0L / 170, 111.0L / 340, 69.0L / 340};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(x(i, 0), expected[i], 1e-17L);

  TMatrix singular = matrixOf({{1, 2}, {2, 4}}), rhs = matrixOf({{1}, {1}}), empty;
  EXPECT_FALSE(solveLinearSystem(singular, rhs, x, 2));
  // An order below 1 would address row -1.
  EXPECT_FALSE(solveLinearSystem(empty, rhs, x, 0));
  EXPECT_FALSE(luSolveColumn(0, 0, {}, empty, x, rhs));
}

TEST_F(Matrix, ProductChecksShapesAndLeavesTheTargetOnMismatch) {
  TMatrix a = matrixOf({{1, 2, 3}, {4, 5, 6}}), b = matrixOf({{7, 8}, {9, 10}, {11, 12}}), c;
  ASSERT_TRUE(matrixProduct(a, b, c));
  ASSERT_EQ(c.rows(), 2u);
  ASSERT_EQ(c.columns(), 2u);
  EXPECT_EQ(c(0, 0), 58.0L);
  EXPECT_EQ(c(0, 1), 64.0L);
  EXPECT_EQ(c(1, 0), 139.0L);
  EXPECT_EQ(c(1, 1), 154.0L);
  TMatrix untouched = matrixOf({{42}});
  EXPECT_FALSE(matrixProduct(a, a, untouched));
  EXPECT_FALSE(matrixProduct(TMatrix(), b, untouched));
  EXPECT_EQ(untouched(0, 0), 42.0L);
}
