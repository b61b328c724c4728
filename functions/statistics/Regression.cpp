#include "functions/statistics/Regression.h"

#include <cmath>
#include <cstdint>

#include "functions/CheckedArithmetic.h"
#include "functions/maths/Matrix.h"
#include "functions/statistics/Statistics.h"
#include "model/Power.h"
#include "platform/NumericErrors.h"

namespace {

// The library answers NaN for the root of a negative number (one that
// rounding pushed below zero); the sheet shows it as an invalid operation.
long double rootOf(long double x) {
  if (!(x >= 0)) throw EInvalidOp();
  return std::sqrt(x);
}

// Where variable j of observation i sits: values[i * observationStride +
// j * variableStride]. Sizes are held in 64 bits so that no product of two
// shapes wraps.
struct TRegressionLayout {
  std::int64_t observations = 0;
  std::int64_t variables = 0;
  std::int64_t observationStride = 0;
  std::int64_t variableStride = 0;

  long double at(const std::vector<long double>& values, std::int64_t i, std::int64_t j) const {
    return values[i * observationStride + j * variableStride];
  }
};

TRegressionLayout layoutOf(int yRows, int yColumns, int xRows, int xColumns) {
  if (yRows < 0 || yColumns < 0 || xRows < 0 || xColumns < 0) throw ERangeError();
  TRegressionLayout layout;
  layout.observations = std::int64_t{yRows} * yColumns;
  if (yColumns == 1) {
    layout.variables = xColumns;
    layout.observationStride = xColumns;
    layout.variableStride = 1;
  } else if (yRows == 1) {
    layout.variables = xRows;
    layout.observationStride = 1;
    layout.variableStride = xColumns;
  } else {
    layout.variables = 1;
    layout.observationStride = 1;
    layout.variableStride = 0;
  }
  // No variable at all would leave nothing to fit (and a division by a zero
  // count below).
  if (layout.variables < 1) throw ERangeError();
  return layout;
}

TRegressionLayout checkedLayout(const std::vector<long double>& x, const std::vector<long double>& y, int xColumns,
                                int yRows, int yColumns, int xRows) {
  TRegressionLayout layout = layoutOf(yRows, yColumns, xRows, xColumns);
  std::int64_t xCount = std::int64_t{xColumns} * xRows;
  if (static_cast<std::int64_t>(x.size()) < xCount || static_cast<std::int64_t>(y.size()) < layout.observations ||
      layout.observations * layout.variables != xCount || xCount % layout.variables != 0)
    throw ERangeError();
  return layout;
}

// The regressors of one observation, with a leading 1 for the constant.
void regressorsOf(const TRegressionLayout& layout, const std::vector<long double>& x, std::int64_t i,
                  bool withConstant, std::vector<long double>& row) {
  std::size_t offset = withConstant ? 1 : 0;
  if (withConstant) row[0] = 1.0L;
  for (std::int64_t j = 0; j < layout.variables; ++j) row[offset + j] = layout.at(x, i, j);
}

}  // namespace

// Least squares through the normal equations A c = B.
void linearRegression(const std::vector<long double>& x, const std::vector<long double>& y, int xColumns,
                      std::vector<long double>& result, bool stats, bool withConstant, int yRows, int yColumns,
                      int xRows) {
  TRegressionLayout layout = checkedLayout(x, y, xColumns, yRows, yColumns, xRows);
  const std::int64_t n = layout.observations, k = layout.variables;
  // More unknowns than observations is a singular system; refusing it here
  // also keeps a wide x from sizing a huge normal matrix.
  if ((withConstant ? k + 1 : k) > n) throw EZeroDivide();
  const int p = static_cast<int>(withConstant ? k + 1 : k);
  // The normal equations (half the products, but each through the layout,
  // so counted whole), their solution or inverse, and the fitted values.
  const double order = p;
  requireMatrixWork(n * order * order + (stats ? order * order * order : order * order * order / 3) + n * order);

  TMatrix a(p, p), b(p, 1);
  std::vector<long double> row(p);
  for (std::int64_t i = 0; i < n; ++i) {
    regressorsOf(layout, x, i, withConstant, row);
    for (int r = 0; r < p; ++r) {
      long double* aRow = a.rowData(r);
      for (int c = r; c < p; ++c) aRow[c] += row[r] * row[c];
      b(r, 0) += row[r] * y[i];
    }
  }
  for (int r = 1; r < p; ++r)
    for (int c = 0; c < r; ++c) a(r, c) = a(c, r);

  TMatrix coefficients;
  if (!stats) {
    if (!solveLinearSystem(a, b, coefficients, p)) throw EZeroDivide();
  } else {
    if (!invertMatrix(a, p)) throw EZeroDivide();
    matrixProduct(a, b, coefficients);
  }

  result.assign(stats ? 2 * (k + 1) + 6 : k + 1, 0.0L);
  std::size_t constantIndex = withConstant ? 1 : 0;
  for (std::int64_t j = 0; j < k; ++j) result[j] = coefficients(constantIndex + (k - 1 - j), 0);
  result[k] = withConstant ? coefficients(0, 0) : 0.0L;
  if (!stats) return;

  long double yMean = arithmeticMean(y, static_cast<int>(n));
  long double totalSquares = 0.0L, residualSquares = 0.0L;
  for (std::int64_t i = 0; i < n; ++i) {
    regressorsOf(layout, x, i, withConstant, row);
    long double fitted = 0.0L;
    for (int r = 0; r < p; ++r) fitted += coefficients(r, 0) * row[r];
    totalSquares += (y[i] - yMean) * (y[i] - yMean);
    residualSquares += (fitted - y[i]) * (fitted - y[i]);
  }
  long double regressionSquares = totalSquares - residualSquares;
  long double degrees = static_cast<long double>(withConstant ? n - k - 1 : n - k);
  long double standardErrorY = rootOf(quotient(residualSquares, degrees));

  for (int i = p - 1; i >= 0; --i) result[k + 1 + (p - 1 - i)] = rootOf(a(i, i)) * standardErrorY;
  std::size_t summary = 2 * (k + 1);
  result[summary] = quotient(regressionSquares, totalSquares);
  result[summary + 1] = standardErrorY;
  result[summary + 2] = quotient(degrees * regressionSquares, k * residualSquares);
  result[summary + 3] = degrees;
  result[summary + 4] = regressionSquares;
  result[summary + 5] = residualSquares;
}

void exponentialRegression(const std::vector<long double>& x, const std::vector<long double>& y, int xColumns,
                           std::vector<long double>& result, bool stats, bool withConstant, int yRows, int yColumns,
                           int xRows) {
  std::vector<long double> logarithms(y.size());
  for (std::size_t i = 0; i < y.size(); ++i) logarithms[i] = naturalLog(y[i]);
  linearRegression(x, logarithms, xColumns, result, stats, withConstant, yRows, yColumns, xRows);
  std::int64_t k = layoutOf(yRows, yColumns, xRows, xColumns).variables;
  for (std::int64_t i = 0; i <= k; ++i) result[i] = exponential(result[i]);
}

namespace {

enum class TFitKind { linear, exponential };

void fittedValues(TFitKind kind, const std::vector<long double>& x, const std::vector<long double>& y,
                  const std::vector<long double>& newX, std::vector<long double>& result, bool withConstant,
                  int newCount, int yRows, int yColumns, int xRows, int xColumns) {
  TRegressionLayout layout = layoutOf(yRows, yColumns, xRows, xColumns);
  const std::int64_t k = layout.variables;
  if (newCount < 0 || static_cast<std::int64_t>(x.size()) % k != 0 ||
      static_cast<std::int64_t>(newX.size()) % k != 0 || static_cast<std::int64_t>(newX.size()) < newCount)
    throw ERangeError();

  std::vector<long double> coefficients;
  if (kind == TFitKind::linear)
    linearRegression(x, y, xColumns, coefficients, false, withConstant, yRows, yColumns, xRows);
  else
    exponentialRegression(x, y, xColumns, coefficients, false, withConstant, yRows, yColumns, xRows);

  // New observations are laid out like the known ones. In the row layout a
  // variable's values fill one row of newX, whose length is the number of new
  // observations, not that of x (which would read past the end of newX).
  TRegressionLayout newLayout = layout;
  const std::int64_t newObservations = newCount / k;
  if (yColumns != 1 && yRows == 1) newLayout.variableStride = newObservations;

  result.assign(newObservations, 0.0L);
  for (std::int64_t i = 0; i < newObservations; ++i) {
    long double value = coefficients[k];
    for (std::int64_t j = k - 1; j >= 0; --j) {
      long double newValue = newLayout.at(newX, i, k - 1 - j);
      if (kind == TFitKind::linear)
        value += coefficients[j] * newValue;
      else
        value *= power(coefficients[j], newValue);
    }
    result[i] = value;
  }
}

}  // namespace

void trendValues(const std::vector<long double>& x, const std::vector<long double>& y,
                 const std::vector<long double>& newX, std::vector<long double>& result, bool withConstant,
                 int newCount, int yRows, int yColumns, int xRows, int xColumns) {
  fittedValues(TFitKind::linear, x, y, newX, result, withConstant, newCount, yRows, yColumns, xRows, xColumns);
}

void growthValues(const std::vector<long double>& x, const std::vector<long double>& y,
                  const std::vector<long double>& newX, std::vector<long double>& result, bool withConstant,
                  int newCount, int yRows, int yColumns, int xRows, int xColumns) {
  fittedValues(TFitKind::exponential, x, y, newX, result, withConstant, newCount, yRows, yColumns, xRows, xColumns);
}
