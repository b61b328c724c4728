#pragma once
#include <vector>

// Least-squares regression kernels. The observations y and the regressors x
// are given row by row with their shapes: a single column of y takes the
// columns of x as variables, a single row of y the rows of x, any other shape
// one variable shaped like y. Bad shapes raise ERangeError, a singular system
// EZeroDivide.
//
// The result holds the coefficients in reverse order, m_k ... m_1, then the
// constant b (0 without one); with statistics the standard errors follow in
// the same order, then R^2, the standard error of y, F, the degrees of
// freedom, the regression and the residual sums of squares: 2(k + 1) + 6
// values in all, else k + 1.
void linearRegression(const std::vector<long double>& x, const std::vector<long double>& y, int xColumns,
                      std::vector<long double>& result, bool stats, bool withConstant, int yRows, int yColumns,
                      int xRows);
// The fit of ln y, with the coefficients returned as e^value (y = b m1^x1 ...).
void exponentialRegression(const std::vector<long double>& x, const std::vector<long double>& y, int xColumns,
                           std::vector<long double>& result, bool stats, bool withConstant, int yRows, int yColumns,
                           int xRows);
// The fitted values b + m1 x1 + ... at newCount / k new observations laid out
// like x.
void trendValues(const std::vector<long double>& x, const std::vector<long double>& y,
                 const std::vector<long double>& newX, std::vector<long double>& result, bool withConstant,
                 int newCount, int yRows, int yColumns, int xRows, int xColumns);
// The fitted values b m1^x1 ... of the exponential fit.
void growthValues(const std::vector<long double>& x, const std::vector<long double>& y,
                  const std::vector<long double>& newX, std::vector<long double>& result, bool withConstant,
                  int newCount, int yRows, int yColumns, int xRows, int xColumns);
